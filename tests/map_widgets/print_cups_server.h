// A CUPS scheduler of the test's own: its configuration, spool and socket in
// a temporary folder, so that printing tests neither need nor touch the
// machine's print service. The client side of this process is pointed at it
// for the server's lifetime.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class PrivateCupsServer {
public:
    PrivateCupsServer();
    ~PrivateCupsServer();
    PrivateCupsServer(const PrivateCupsServer&) = delete;
    PrivateCupsServer& operator=(const PrivateCupsServer&) = delete;

    // Empty when the scheduler runs; otherwise why it could not start.
    const QString& failure() const { return failure_; }

    // A queue writing PDF files through the cups-pdf back end.
    bool addPdfQueue(const QString& name);
    bool removeQueue(const QString& name);
    // True once no job of the server is pending or printing.
    bool waitUntilIdle(int milliseconds);

private:
    QString start();
    bool run(const QString& program, const QStringList& arguments, QString* output = nullptr);

    QTemporaryDir folder_;
    QProcess scheduler_;
    QString socket_;
    QByteArray previousServer_;
    QString failure_;
};

// Where cups-pdf puts the files of jobs of this process's user: the "Out"
// setting of its configuration, "${HOME}/PDF" unless set.
QString CupsPdfOutputFolder();
