#include "smtp_TestServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QThread>
#include <QWidget>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

const QString kScripts = QStringLiteral(VARINDEL_TEST_DATA_DIR "/../outreach/");

void MakeCertificate(const QString& folder)
{
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=localhost",
                   "-addext", "subjectAltName=IP:127.0.0.1,DNS:localhost", "-keyout", folder + "/key.pem", "-out",
                   folder + "/cert.pem"});
    openssl.waitForFinished(30000);
}

} // namespace

TTestSmtpServer::TTestSmtpServer()
    : TTestSmtpServer(Options())
{
}

TTestSmtpServer::TTestSmtpServer(const Options& options)
    : options_(options)
{
    QStringList arguments{kScripts + "smtp_server.py", "--out", folder_.path() + "/mail", "--user", options.User,
                          "--password", options.Password};
    if (options.StartTls) {
        MakeCertificate(folder_.path());
        arguments << "--cert" << folder_.path() + "/cert.pem" << "--key" << folder_.path() + "/key.pem";
    }
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QStringLiteral("/usr/bin/python3"), arguments);
    const QDeadlineTimer deadline(20000);
    while (!process_.canReadLine() && !deadline.hasExpired() && process_.state() != QProcess::NotRunning)
        process_.waitForReadyRead(100);
    const QByteArray line = process_.readLine().trimmed();
    if (line.startsWith("PORT "))
        port_ = line.mid(5).toInt();
    EXPECT_NE(port_, 0) << "the test mail server did not start";
}

TTestSmtpServer::~TTestSmtpServer()
{
    // For looking at what arrived by eye: $VARINDEL_KEEP_MAIL_DIR collects the messages.
    const QString keep = qEnvironmentVariable("VARINDEL_KEEP_MAIL_DIR");
    for (int number = 1; !keep.isEmpty() && number <= messageCount(); ++number)
        QFile::copy(stem(number) + ".eml", keep + "/" + QFileInfo(stem(number)).fileName() + "-" +
                                               QString::number(QDateTime::currentMSecsSinceEpoch()) + ".eml");
    process_.closeWriteChannel();
    if (!process_.waitForFinished(5000))
        process_.kill();
    process_.waitForFinished(1000);
}

TMailAccount TTestSmtpServer::account() const
{
    TMailAccount account;
    account.Server = "127.0.0.1";
    account.Port = port_;
    account.User = options_.User.toStdString();
    account.Password = options_.Password.toStdString();
    account.Sender = "robot@varindel.test";
    account.Support = "support@varindel.test";
    account.Developer = "developer@orv.test";
    if (options_.StartTls)
        account.CaFile = (folder_.path() + "/cert.pem").toStdString();
    return account;
}

QString TTestSmtpServer::stem(int number) const
{
    return folder_.path() + QStringLiteral("/mail/%1").arg(number, 3, 10, QChar('0'));
}

int TTestSmtpServer::messageCount() const
{
    return static_cast<int>(QDir(folder_.path() + "/mail").entryList({"*.json"}, QDir::Files).size());
}

bool TTestSmtpServer::waitForMessages(int count, int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    while (messageCount() < count && !deadline.hasExpired())
        QThread::msleep(20);
    return messageCount() >= count;
}

QJsonObject TTestSmtpServer::envelope(int number) const
{
    QFile file(stem(number) + ".json");
    file.open(QIODevice::ReadOnly);
    return QJsonDocument::fromJson(file.readAll()).object();
}

QByteArray TTestSmtpServer::raw(int number) const
{
    QFile file(stem(number) + ".eml");
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

QJsonObject TTestSmtpServer::parsed(int number) const
{
    QProcess parser;
    parser.start(QStringLiteral("/usr/bin/python3"), {kScripts + "mail_parse.py", stem(number) + ".eml"});
    parser.waitForFinished(20000);
    const QByteArray problems = parser.readAllStandardError();
    EXPECT_TRUE(problems.isEmpty()) << problems.toStdString();
    return QJsonDocument::fromJson(parser.readAllStandardOutput()).object();
}

TMailConfigFile::TMailConfigFile(const TMailAccount& account)
    : previous_(qgetenv(kMailConfigVariable))
{
    const QString path = folder_.path() + "/mail.conf";
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(QStringLiteral("# test server\nserver = %1\nport = %2\nuser = %3\npassword = %4\nsender = %5\n"
                              "support = %6\ndeveloper = %7\n")
                   .arg(QString::fromStdString(account.Server))
                   .arg(account.Port)
                   .arg(QString::fromStdString(account.User), QString::fromStdString(account.Password),
                        QString::fromStdString(account.Sender), QString::fromStdString(account.Support),
                        QString::fromStdString(account.Developer))
                   .toUtf8());
    if (!account.CaFile.empty())
        file.write("cafile = " + QByteArray::fromStdString(account.CaFile) + "\n");
    file.close();
    qputenv(kMailConfigVariable, path.toUtf8());
}

TMailConfigFile::~TMailConfigFile()
{
    if (previous_.isEmpty())
        qunsetenv(kMailConfigVariable);
    else
        qputenv(kMailConfigVariable, previous_);
}

void SaveScreenshot(QWidget* window, const QString& name)
{
    const QString folder = qEnvironmentVariable("VARINDEL_SCREENSHOT_DIR");
    if (!folder.isEmpty())
        window->grab().save(folder + "/" + name);
}

TSilentListener::TSilentListener()
{
    descriptor_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(descriptor_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(descriptor_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port_ = ntohs(address.sin_port);
}

TSilentListener::~TSilentListener()
{
    ::close(descriptor_);
}

void TSilentListener::listen()
{
    ::listen(descriptor_, 4);
}

QWidget* NextTabStop(QWidget* from, const QList<QWidget*>& controls)
{
    for (QWidget* next = from->nextInFocusChain(); next && next != from; next = next->nextInFocusChain())
        if (controls.contains(next))
            return next;
    return nullptr;
}

int ClosedPort()
{
    // Bound but never listening: a connection to it is refused.
    static TSilentListener reserved;
    return reserved.port();
}

TMessageRecorder::TMessageRecorder()
{
    SetMailMessageHandler([this](const TMessageRequest& request) { Messages.push_back(request); });
}

TMessageRecorder::~TMessageRecorder()
{
    SetMailMessageHandler(nullptr);
}

QStringList TMessageRecorder::texts() const
{
    QStringList result;
    for (const TMessageRequest& request : Messages)
        result.append(request.Text);
    return result;
}
