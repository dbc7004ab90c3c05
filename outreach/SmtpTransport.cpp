#include "SmtpTransport.h"

#include <curl/curl.h>

#include <QMetaObject>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>

namespace {

// A connection that does not come up in this time is given up; a server that
// stops answering mid-transfer for a minute likewise, so a send never hangs for good.
constexpr long kConnectTimeoutSeconds = 30;
constexpr long kStalledSeconds = 60;
// Smaller upload pieces give the progress window more than one step per message.
constexpr long kUploadPiece = 16L * 1024;

void InitialiseCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct TUpload {
    const QByteArray* Data = nullptr;
    qint64 Offset = 0;
    const TSendProgress* Progress = nullptr;
    const std::atomic<bool>* Cancel = nullptr;
};

size_t ReadPiece(char* buffer, size_t size, size_t count, void* userData)
{
    auto* upload = static_cast<TUpload*>(userData);
    if (upload->Cancel->load())
        return CURL_READFUNC_ABORT;
    const qint64 left = upload->Data->size() - upload->Offset;
    const qint64 piece = std::min<qint64>(left, static_cast<qint64>(size * count));
    std::memcpy(buffer, upload->Data->constData() + upload->Offset, static_cast<size_t>(piece));
    upload->Offset += piece;
    if (piece > 0 && *upload->Progress)
        (*upload->Progress)(upload->Offset);
    return static_cast<size_t>(piece);
}

int StopWhenCancelled(void* userData, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<const std::atomic<bool>*>(userData)->load() ? 1 : 0;
}

QString Reason(CURLcode code, const TMailAccount& account)
{
    const QString server = QStringLiteral("%1:%2").arg(QString::fromStdString(account.Server)).arg(account.Port);
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return QStringLiteral("Почтовый сервер %1 не найден.").arg(server);
    case CURLE_COULDNT_CONNECT:
        return QStringLiteral("Почтовый сервер %1 не принимает соединение.").arg(server);
    case CURLE_OPERATION_TIMEDOUT:
        return QStringLiteral("Почтовый сервер %1 не ответил вовремя.").arg(server);
    case CURLE_LOGIN_DENIED:
        return QStringLiteral("Почтовый сервер %1 не принял имя пользователя или пароль.").arg(server);
    case CURLE_AUTH_ERROR:
        return QStringLiteral("Почтовый сервер %1 не поддерживает вход по имени и паролю (LOGIN).").arg(server);
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
        return QStringLiteral("Соединение с почтовым сервером %1 прервалось.").arg(server);
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
        return QStringLiteral("Не удалось установить защищённое соединение с почтовым сервером %1.").arg(server);
    case CURLE_ABORTED_BY_CALLBACK:
        return QStringLiteral("Отправка прервана.");
    default:
        return QStringLiteral("Почтовый сервер %1 отказался принять письмо.").arg(server);
    }
}

struct TCurlDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct TListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

} // namespace

Status SendMail(const TMailAccount& account, const QString& envelopeSender, const QStringList& recipients,
                const QByteArray& data, const TSendProgress& progress, const std::atomic<bool>& cancel)
{
    InitialiseCurlOnce();
    std::unique_ptr<CURL, TCurlDeleter> curl(curl_easy_init());
    if (!curl)
        return Status::failure(QStringLiteral("Не удалось начать отправку почты."));
    std::unique_ptr<curl_slist, TListDeleter> recipientList;
    for (const QString& recipient : recipients)
        recipientList.reset(curl_slist_append(recipientList.release(), ("<" + recipient.toStdString() + ">").c_str()));

    const std::string url = "smtp://" + account.Server + ":" + std::to_string(account.Port);
    const std::string sender = "<" + envelopeSender.toStdString() + ">";
    TUpload upload{&data, 0, &progress, &cancel};
    char detail[CURL_ERROR_SIZE] = {};
    CURL* handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
    if (!account.CaFile.empty())
        curl_easy_setopt(handle, CURLOPT_CAINFO, account.CaFile.c_str());
    curl_easy_setopt(handle, CURLOPT_USERNAME, account.User.c_str());
    curl_easy_setopt(handle, CURLOPT_PASSWORD, account.Password.c_str());
    curl_easy_setopt(handle, CURLOPT_LOGIN_OPTIONS, "AUTH=LOGIN");
    curl_easy_setopt(handle, CURLOPT_MAIL_FROM, sender.c_str());
    curl_easy_setopt(handle, CURLOPT_MAIL_RCPT, recipientList.get());
    curl_easy_setopt(handle, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(handle, CURLOPT_UPLOAD_BUFFERSIZE, kUploadPiece);
    curl_easy_setopt(handle, CURLOPT_READFUNCTION, ReadPiece);
    curl_easy_setopt(handle, CURLOPT_READDATA, &upload);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, StopWhenCancelled);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &cancel);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, kStalledSeconds);
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, detail);

    const CURLcode code = curl_easy_perform(handle);
    if (code == CURLE_OK)
        return success();
    const QString libraryDetail = QString::fromLocal8Bit(detail[0] ? detail : curl_easy_strerror(code));
    return Status::failure(Reason(code, account) + QStringLiteral(" (") + libraryDetail + QStringLiteral(")"));
}

TSmtpTransport::TSmtpTransport(QObject* parent)
    : QObject(parent)
{
    InitialiseCurlOnce();
}

TSmtpTransport::~TSmtpTransport()
{
    cancel_ = true;
    Join();
}

void TSmtpTransport::Join()
{
    if (worker_.joinable())
        worker_.join();
}

bool TSmtpTransport::Send(const TMailAccount& account, const TMailMessage& message)
{
    if (busy_)
        return false;
    Join();
    busy_ = true;
    cancel_ = false;
    const QByteArray data = message.Compose();
    const QString sender = message.FromAddress;
    const QStringList recipients = message.EnvelopeRecipients();
    worker_ = std::thread([this, account, sender, recipients, data] {
        bool begun = false;
        const TSendProgress progress = [this, &begun, total = data.size()](qint64 sent) {
            if (!begun) {
                begun = true;
                QMetaObject::invokeMethod(this, [this, total] { emit WorkBegin(total); }, Qt::QueuedConnection);
            }
            QMetaObject::invokeMethod(this, [this, sent] { emit Work(sent); }, Qt::QueuedConnection);
        };
        const Status outcome = SendMail(account, sender, recipients, data, progress, cancel_);
        QMetaObject::invokeMethod(
            this,
            [this, begun, ok = outcome.ok(), error = outcome.ok() ? QString() : outcome.error()] {
                Join();
                busy_ = false;
                if (begun)
                    emit WorkEnd();
                emit Finished(ok, error);
            },
            Qt::QueuedConnection);
    });
    return true;
}
