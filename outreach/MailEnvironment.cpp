#include "MailEnvironment.h"

#include "Vdlutils.h"

#include <QMessageBox>

namespace {

TMailEnvironment DefaultEnvironment()
{
    TMailEnvironment environment;
    environment.AppDataPath = QString::fromStdString(c_GetAppDataPath());
    const std::string localPath = SlashMust(c_GetAppDataPath()) + "Varindel TLX Company/";
    environment.TempPath = QString::fromStdString(SlashMust(c_GetTempPath()) + "Varindel TLX Company/");
    environment.VersionProgram =
        QStringLiteral("Версия: ") + QString::fromStdString(GetFileVersion(localPath + "PluginManager.bpl"));
    return environment;
}

TMailEnvironment& Environment()
{
    static TMailEnvironment environment = DefaultEnvironment();
    return environment;
}

TMessageHandler& MessageHandler()
{
    static TMessageHandler handler;
    return handler;
}

QMessageBox::Icon BoxIcon(TMessageIcon icon)
{
    switch (icon) {
    case TMessageIcon::Error:
        return QMessageBox::Critical;
    case TMessageIcon::Information:
        return QMessageBox::Information;
    case TMessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

const TMailEnvironment& MailEnvironment()
{
    return Environment();
}

void SetMailEnvironment(const TMailEnvironment& environment)
{
    Environment() = environment;
}

void ShowMailMessage(const TMessageRequest& request)
{
    if (MessageHandler()) {
        MessageHandler()(request);
        return;
    }
    QMessageBox box(BoxIcon(request.Icon), request.Caption, request.Text, QMessageBox::Ok, request.Parent);
    box.exec();
}

void SetMailMessageHandler(TMessageHandler handler)
{
    MessageHandler() = std::move(handler);
}

QString ApplicationTitle()
{
    return QStringLiteral("Вариндел");
}
