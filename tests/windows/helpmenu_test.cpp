// The help menu: its items, the shipped documents handed to the desktop or
// the missing-file messages, and the windows it opens with what the main
// window handed over.
#include "HelpMenu.h"
#include "MapEngine.h"
#include "Minireg.h"
#include "TestEnvironment.h"
#include "TfrmAbout.h"
#include "TfrmFriends.h"
#include "TfrmSettings.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class HelpMenu : public ::testing::Test {
protected:
    void SetUp() override {
        menu.LocalPath = QString::fromStdString(folder.path()) + "/";
        menu.OpenDocument = [this](const QUrl& document) {
            opened << document;
            return true;
        };
        menu.ShowError = [this](const QString& message) { errors << message; };
    }

    void writeFile(const std::string& name) {
        QFile file(QString::fromStdString(folder.file(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("ITSF");
    }

    TemporaryFolder folder;
    QWidget owner;
    THelpMenu menu{&owner};
    QList<QUrl> opened;
    QStringList errors;
};

// Closes the modal window that the next event loop pass finds open.
void CloseModalSoon(QDialog* dialog, bool* wasShown) {
    QTimer::singleShot(0, dialog, [dialog, wasShown] {
        *wasShown = dialog->isVisible() && dialog->isModal();
        dialog->reject();
    });
}

} // namespace

TEST_F(HelpMenu, ItemsInMenuOrder) {
    QStringList captions;
    for (const QAction* action : menu.pmHelp->actions())
        captions << action->text();
    EXPECT_EQ(captions, QStringList({"Прайс-лист", "Справка", "Лицензия", "Наши партнеры", "Настройки",
                                     "О программе"}));
    EXPECT_EQ(menu.NHelp->shortcut(), QKeySequence(QKeySequence::HelpContents));
}

TEST_F(HelpMenu, MissingDocumentsGiveTheirMessagesAndOpenNothing) {
    menu.NHelp->trigger();
    menu.NLicense->trigger();
    const QString path = menu.LocalPath;
    EXPECT_EQ(errors, QStringList({"Файл справки " + path + "help.chm не найден\r",
                                   "Файл лицензии " + path + "license.chm не найден\r"}));
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(HelpMenu, ExistingDocumentsAreHandedToTheDesktop) {
    writeFile("help.chm");
    writeFile("license.chm");
    menu.NHelp->trigger();
    menu.NLicense->trigger();
    EXPECT_TRUE(errors.isEmpty());
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(QString::fromStdString(folder.file("help.chm"))));
    EXPECT_EQ(opened[1], QUrl::fromLocalFile(QString::fromStdString(folder.file("license.chm"))));
}

TEST_F(HelpMenu, ADocumentTheDesktopCannotOpenIsReported) {
    writeFile("help.chm");
    menu.OpenDocument = [](const QUrl&) { return false; };
    menu.NHelp->trigger();
    const QString help = QString::fromStdString(folder.file("help.chm"));
    EXPECT_EQ(errors, QStringList({"Не удалось открыть файл " + help +
                                   ".\nУстановите программу для просмотра документов CHM, например xchm."}));
}

TEST_F(HelpMenu, PriceListRunsTheMainWindowsExtraction) {
    int calls = 0;
    menu.LoadPriceList = [&calls] { ++calls; };
    menu.NPricelist->trigger();
    EXPECT_EQ(calls, 1);
}

TEST_F(HelpMenu, AboutShowsTheVersionAndItsLinksRunTheMenuCommands) {
    TfrmAbout about;
    frmAbout = &about;
    menu.VersionProgram = "Версия: 2.1.0.7";
    menu.NAbout->trigger();
    EXPECT_TRUE(about.isVisible());
    EXPECT_FALSE(about.isModal());
    EXPECT_EQ(about.lVersion->text(), "Версия: 2.1.0.7");

    emit about.lnkLicense->linkActivated("command");
    emit about.lnkHelp->linkActivated("command");
    EXPECT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors.value(0).startsWith("Файл лицензии "));
    EXPECT_TRUE(errors.value(1).startsWith("Файл справки "));

    about.btCool->click();
    EXPECT_FALSE(about.isVisible());
    frmAbout = nullptr;
}

TEST_F(HelpMenu, SettingsOpenModallyOnTheHandedOverMap) {
    MapEngine map;
    map.SetView3D(true);
    TfrmSettings settings;
    frmSettings = &settings;
    menu.Map = &map;
    bool wasShown = false;
    bool mirrored = false;
    QTimer::singleShot(0, &settings, [&] { mirrored = settings.chbView3D->isChecked(); });
    CloseModalSoon(&settings, &wasShown);
    menu.NSettings->trigger();
    EXPECT_TRUE(wasShown);
    EXPECT_TRUE(mirrored);
    frmSettings = nullptr;
}

TEST_F(HelpMenu, PartnersOpenModally) {
    TfrmFriends friends;
    frmFriends = &friends;
    bool wasShown = false;
    CloseModalSoon(&friends, &wasShown);
    menu.NFriends->trigger();
    EXPECT_TRUE(wasShown);
    frmFriends = nullptr;
}

TEST(AboutWindow, LabelsFromTheMachineRegistryAndFixedLook) {
    IsolatedRegistry registry;
    const std::string currentVersion = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\";
    ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, currentVersion + "RegisteredOwner", "Иван Петров"));
    ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, currentVersion + "RegisteredOrganization", "ООО «Ромашка»"));
    TfrmAbout about;
    EXPECT_EQ(about.windowTitle(), "О программе");
    EXPECT_EQ(about.lUserName->text(), "Пользователь: Иван Петров");
    EXPECT_EQ(about.lOrganization->text(), "Организация: ООО «Ромашка»");
    EXPECT_EQ(about.lDescription->text(), "Информационно-коммерческий справочник Вариндел");
    EXPECT_EQ(about.lProduct->text(), "VARINDEL");
    EXPECT_EQ(about.lMaker->text(), "Orv. Студия разработки ПО");
    EXPECT_EQ(about.btCool->text(), "Cool!");
    EXPECT_EQ(about.size(), QSize(332, 305));
    EXPECT_EQ(about.palette().color(QPalette::Window), QColor(153, 154, 152));
    EXPECT_TRUE(about.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(about.imgOrv->pixmap().isNull());
}

TEST(AboutWindow, AnEmptyOrganisationLeavesTheBareCaption) {
    IsolatedRegistry registry;
    TfrmAbout about;
    EXPECT_EQ(about.lOrganization->text(), "Организация: ");
    EXPECT_EQ(AboutUserText(""), "Пользователь: ");
}

TEST(PartnersWindow, TwoLinksWithDescriptionsAndAClosingButton) {
    TfrmFriends friends;
    EXPECT_EQ(friends.windowTitle(), "Наши партнеры");
    EXPECT_EQ(friends.size(), QSize(295, 156));
    EXPECT_EQ(friends.lCity->text(), "Всё про город Ольмарск");
    EXPECT_EQ(friends.lRadio->text(), "Первое сетевое Радио города Ольмарска");
    EXPECT_TRUE(friends.lRadio->wordWrap());
    friends.show();
    friends.btClose->click();
    EXPECT_FALSE(friends.isVisible());
}
