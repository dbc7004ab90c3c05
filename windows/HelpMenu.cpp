#include "HelpMenu.h"

#include "TfrmAbout.h"
#include "TfrmFriends.h"
#include "TfrmSettings.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QUrl>
#include <QWidget>

QString HelpFileName(const QString& localPath) {
    return localPath + QStringLiteral("help.chm");
}

QString LicenseFileName(const QString& localPath) {
    return localPath + QStringLiteral("license.chm");
}

QString HelpMissingText(const QString& localPath) {
    return QStringLiteral("Файл справки ") + HelpFileName(localPath) + QStringLiteral(" не найден\r");
}

QString LicenseMissingText(const QString& localPath) {
    return QStringLiteral("Файл лицензии ") + LicenseFileName(localPath) + QStringLiteral(" не найден\r");
}

QString DocumentNotOpenedText(const QString& fileName) {
    return QStringLiteral("Не удалось открыть файл ") + fileName +
           QStringLiteral(".\nУстановите программу для просмотра документов CHM, например xchm.");
}

THelpMenu::THelpMenu(QWidget* owner) : QObject(owner), pmHelp(new QMenu(owner)), owner_(owner) {
    OpenDocument = [](const QUrl& document) { return QDesktopServices::openUrl(document); };
    ShowError = [this](const QString& message) {
        QMessageBox::critical(owner_, QStringLiteral("Ошибка"), message.trimmed());
    };

    NPricelist = pmHelp->addAction(QStringLiteral("Прайс-лист"), this, &THelpMenu::NPricelistClick);
    NHelp = pmHelp->addAction(QStringLiteral("Справка"), this, &THelpMenu::NHelpClick);
    NHelp->setShortcut(QKeySequence::HelpContents);
    NHelp->setShortcutContext(Qt::ApplicationShortcut);
    owner->addAction(NHelp);
    NLicense = pmHelp->addAction(QStringLiteral("Лицензия"), this, &THelpMenu::NLicenseClick);
    NFriends = pmHelp->addAction(QStringLiteral("Наши партнеры"), this, &THelpMenu::NFriendsClick);
    NSettings = pmHelp->addAction(QStringLiteral("Настройки"), this, &THelpMenu::NSettingsClick);
    NAbout = pmHelp->addAction(QStringLiteral("О программе"), this, &THelpMenu::NAboutClick);
}

void THelpMenu::PopupUnder(QWidget* button) {
    pmHelp->popup(button->mapToGlobal(QPoint(0, button->height())));
}

void THelpMenu::NPricelistClick() {
    if (LoadPriceList)
        LoadPriceList();
}

void THelpMenu::NHelpClick() {
    openShippedDocument(HelpFileName(LocalPath), HelpMissingText(LocalPath));
}

void THelpMenu::NLicenseClick() {
    openShippedDocument(LicenseFileName(LocalPath), LicenseMissingText(LocalPath));
}

void THelpMenu::openShippedDocument(const QString& fileName, const QString& missingText) {
    if (!QFileInfo::exists(fileName)) {
        ShowError(missingText);
        return;
    }
    if (!OpenDocument(QUrl::fromLocalFile(fileName)))
        ShowError(DocumentNotOpenedText(fileName));
}

void THelpMenu::NFriendsClick() {
    if (frmFriends)
        frmFriends->exec();
}

void THelpMenu::NSettingsClick() {
    if (!frmSettings)
        return;
    frmSettings->SetMap(Map);
    frmSettings->exec();
}

void THelpMenu::NAboutClick() {
    if (!frmAbout)
        return;
    frmAbout->SetVersionProgram(VersionProgram);
    frmAbout->OnLicense = [this] { NLicenseClick(); };
    frmAbout->OnHelp = [this] { NHelpClick(); };
    frmAbout->show();
    frmAbout->raise();
}
