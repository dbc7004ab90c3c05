#include "print_cups_server.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QThread>

#include <dlfcn.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kScheduler = "/usr/sbin/cupsd";

bool WriteText(const QString& fileName, const QString& text)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(text.toUtf8()) >= 0;
}

// libcups remembers the server it first talked to; once the library is in
// this process it must be told to read CUPS_SERVER again.
void ForgetRememberedServer()
{
    void* cups = dlopen("libcups.so.2", RTLD_NOW | RTLD_NOLOAD);
    if (!cups)
        return;
    using SetServer = void (*)(const char*);
    if (auto setServer = reinterpret_cast<SetServer>(dlsym(cups, "cupsSetServer")))
        setServer(nullptr);
    dlclose(cups);
}

QString UserHome()
{
    const passwd* user = getpwuid(geteuid());
    return user ? QString::fromLocal8Bit(user->pw_dir) : QDir::homePath();
}

QString UserName()
{
    const passwd* user = getpwuid(geteuid());
    return user ? QString::fromLocal8Bit(user->pw_name) : QString();
}

} // namespace

PrivateCupsServer::PrivateCupsServer() : previousServer_(qgetenv("CUPS_SERVER"))
{
    failure_ = start();
}

PrivateCupsServer::~PrivateCupsServer()
{
    if (scheduler_.state() != QProcess::NotRunning) {
        scheduler_.terminate();
        if (!scheduler_.waitForFinished(5000))
            scheduler_.kill();
        scheduler_.waitForFinished(5000);
    }
    if (previousServer_.isNull())
        qunsetenv("CUPS_SERVER");
    else
        qputenv("CUPS_SERVER", previousServer_);
    ForgetRememberedServer();
}

QString PrivateCupsServer::start()
{
    if (!QFileInfo(kScheduler).isExecutable())
        return "cupsd is not installed";
    // cups-pdf is a back end only root may run, and cupsd runs it as root
    // only when cupsd itself was started by root.
    if (geteuid() != 0)
        return "cups-pdf needs a cupsd started as root";
    if (!folder_.isValid())
        return "no temporary folder";
    const QString root = folder_.path();
    for (const char* sub : {"spool", "tmp", "cache", "state", "log", "ppd"})
        QDir(root).mkpath(sub);
    // Filters run as the unprivileged "lp" and write their files to TempDir.
    chmod(root.toLocal8Bit().constData(), 0755);
    chmod((root + "/tmp").toLocal8Bit().constData(), 01777);
    socket_ = root + "/cups.sock";
    const QString config = QString("Listen %1\n"
                                   "LogLevel warn\n"
                                   "WebInterface No\n"
                                   "Browsing No\n"
                                   "DefaultAuthType None\n"
                                   "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                   "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
                               .arg(socket_);
    const QString files = QString("ServerRoot %1\n"
                                  "RequestRoot %1/spool\n"
                                  "TempDir %1/tmp\n"
                                  "CacheDir %1/cache\n"
                                  "StateDir %1/state\n"
                                  "AccessLog %1/log/access_log\n"
                                  "ErrorLog %1/log/error_log\n"
                                  "PageLog %1/log/page_log\n"
                                  "ServerBin /usr/lib/cups\n"
                                  "DataDir /usr/share/cups\n"
                                  "Sandboxing Relaxed\n")
                              .arg(root);
    if (!WriteText(root + "/cupsd.conf", config) || !WriteText(root + "/cups-files.conf", files))
        return "cannot write the scheduler's configuration";

    scheduler_.setProcessChannelMode(QProcess::MergedChannels);
    scheduler_.start(kScheduler, {"-f", "-c", root + "/cupsd.conf", "-s", root + "/cups-files.conf"});
    if (!scheduler_.waitForStarted(5000))
        return "cupsd did not start: " + scheduler_.errorString();

    qputenv("CUPS_SERVER", socket_.toLocal8Bit());
    ForgetRememberedServer();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000) {
        if (scheduler_.state() == QProcess::NotRunning)
            return "cupsd stopped at once: " + QString::fromLocal8Bit(scheduler_.readAll()).trimmed();
        QString status;
        if (QFileInfo::exists(socket_) && run("lpstat", {"-r"}, &status) && status.contains("is running"))
            return {};
        QThread::msleep(50);
    }
    return "cupsd did not answer within 10 seconds";
}

bool PrivateCupsServer::run(const QString& program, const QStringList& arguments, QString* output)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("CUPS_SERVER", socket_);
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        return false;
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool PrivateCupsServer::addPdfQueue(const QString& name)
{
    return run("lpadmin", {"-p", name, "-v", "cups-pdf:/", "-E", "-P", "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"});
}

bool PrivateCupsServer::removeQueue(const QString& name)
{
    return run("lpadmin", {"-x", name});
}

bool PrivateCupsServer::waitUntilIdle(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    do {
        QString jobs;
        if (run("lpstat", {"-W", "not-completed", "-o"}, &jobs) && jobs.trimmed().isEmpty())
            return true;
        QThread::msleep(100);
    } while (clock.elapsed() < milliseconds);
    return false;
}

QString CupsPdfOutputFolder()
{
    QString out = "${HOME}/PDF";
    QFile config("/etc/cups/cups-pdf.conf");
    if (config.open(QIODevice::ReadOnly)) {
        QTextStream lines(&config);
        while (!lines.atEnd()) {
            const QString line = lines.readLine().trimmed();
            if (line.startsWith("Out ") || line.startsWith("Out\t"))
                out = line.mid(4).trimmed();
        }
    }
    out.replace("${HOME}", UserHome());
    out.replace("${USER}", UserName());
    return QDir::cleanPath(out);
}
