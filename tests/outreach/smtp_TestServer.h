// The loopback mail server of the outreach tests (smtp_server.py under
// Debian's python3-aiosmtpd), the mail configuration that points the program
// at it, and a recorder of the messages the windows show.
#pragma once

#include "MailAccount.h"
#include "MailEnvironment.h"

#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <vector>

class TTestSmtpServer {
public:
    struct Options {
        QString User = QStringLiteral("vdlmail");
        QString Password = QStringLiteral("SECRET12");
        bool StartTls = false;
    };

    TTestSmtpServer();
    explicit TTestSmtpServer(const Options& options);
    ~TTestSmtpServer();

    int port() const { return port_; }
    // An account that reaches this server with the right password.
    TMailAccount account() const;
    // Waits until `count` messages arrived; false on time-out.
    bool waitForMessages(int count, int timeoutMs = 15000) const;
    int messageCount() const;
    // Envelope facts: mail_from, rcpt_tos, mechanism, login, tls.
    QJsonObject envelope(int number) const;
    // The message as Python's email package reads it (see mail_parse.py).
    QJsonObject parsed(int number) const;
    QByteArray raw(int number) const;

private:
    QString stem(int number) const;

    Options options_;
    QTemporaryDir folder_;
    QProcess process_;
    int port_ = 0;
};

// Points the program's mail configuration at `account` while it lives.
class TMailConfigFile {
public:
    explicit TMailConfigFile(const TMailAccount& account);
    ~TMailConfigFile();

private:
    QTemporaryDir folder_;
    QByteArray previous_;
};

// Saves the window's picture into $VARINDEL_SCREENSHOT_DIR when that is set.
void SaveScreenshot(QWidget* window, const QString& name);

// The next of `controls` that Tab reaches from `from`, skipping labels and inner parts.
QWidget* NextTabStop(QWidget* from, const QList<QWidget*>& controls);

// A loopback socket: bound only, it refuses connections; listening, it takes
// them into its queue and never says a word.
class TSilentListener {
public:
    TSilentListener();
    ~TSilentListener();
    TSilentListener(const TSilentListener&) = delete;
    TSilentListener& operator=(const TSilentListener&) = delete;
    void listen();
    int port() const { return port_; }

private:
    int descriptor_ = -1;
    int port_ = 0;
};

// A port on loopback that refuses connections.
int ClosedPort();

// Collects what the windows would show in message boxes.
class TMessageRecorder {
public:
    TMessageRecorder();
    ~TMessageRecorder();
    std::vector<TMessageRequest> Messages;
    QStringList texts() const;
};
