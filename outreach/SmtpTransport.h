// Sends one message over SMTP with libcurl on a thread of its own, so that the
// windows stay responsive: one connection per message, LOGIN authentication,
// STARTTLS whenever the server offers it. Progress and the outcome arrive as
// signals on the thread that owns the transport (the GUI thread).
#pragma once

#include "MailAccount.h"
#include "MailMessage.h"
#include "Result.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <thread>

// Called from the sending thread with the bytes handed to the server so far.
using TSendProgress = std::function<void(qint64 sent)>;

// The blocking send itself: connect, authenticate, envelope, data, quit. The
// error names the reason in Russian, followed by the library's own detail.
// `cancel` is polled during the transfer; when it turns true the send stops.
Status SendMail(const TMailAccount& account, const QString& envelopeSender, const QStringList& recipients,
                const QByteArray& data, const TSendProgress& progress, const std::atomic<bool>& cancel);

class TSmtpTransport : public QObject {
    Q_OBJECT
public:
    explicit TSmtpTransport(QObject* parent = nullptr);
    // Stops a running send and waits for its thread.
    ~TSmtpTransport() override;

    // Starts sending `message` through `account`. False (and nothing started)
    // while an earlier send of this transport is still running.
    bool Send(const TMailAccount& account, const TMailMessage& message);
    bool Busy() const { return busy_; }

signals:
    void WorkBegin(qint64 total);
    void Work(qint64 count);
    void WorkEnd();
    // After WorkEnd; `error` is empty on success.
    void Finished(bool ok, const QString& error);

private:
    void Join();

    std::thread worker_;
    std::atomic<bool> cancel_{false};
    bool busy_ = false;
};
