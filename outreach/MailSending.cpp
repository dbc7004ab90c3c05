#include "MailSending.h"

#include "SmtpTransport.h"

void AddressMessage(TMailMessage& message, const TMailAccount& account)
{
    message.FromName = QStringLiteral("Varindel");
    message.FromAddress = QString::fromStdString(account.Sender);
    message.Recipient = QString::fromStdString(account.Support);
    message.BlindCopy = QString::fromStdString(account.Developer);
}

void StartSending(QObject* owner, TMailMessage message, TProgressStyle style, TSendOutcome outcome)
{
    const Result<TMailAccount> account = LoadMailAccount();
    if (!account) {
        outcome(false, account.error());
        return;
    }
    AddressMessage(message, account.value());
    auto* transport = new TSmtpTransport(owner);
    ConnectSendProgress(transport, style);
    QObject::connect(transport, &TSmtpTransport::Finished, transport,
                     [transport, outcome = std::move(outcome)](bool ok, const QString& error) {
                         transport->deleteLater();
                         outcome(ok, error);
                     });
    transport->Send(account.value(), message);
}
