// The main window built over a tiny edition: its creation, first showing,
// page heights, panel button and destruction.
#include "ControlTag.h"
#include "Datamodule.h"
#include "MainWindowWorld.h"
#include "MapFormat.h"
#include "Minireg.h"
#include "SyntheticCity.h"
#include "TDataMap.h"
#include "THTMListBox.h"
#include "TSplitterBar.h"
#include "TfrmMain.h"
#include "Uidlist.h"

#include <QAction>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

QStringList MenuTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << action->text();
    return texts;
}

std::vector<int> PageTags() {
    const int pages = frmMain->pcTabs->count();
    std::vector<int> tags;
    tags.reserve(static_cast<std::size_t>(pages));
    for (int page = 0; page < pages; ++page)
        tags.push_back(Tag(frmMain->pcTabs->widget(page)));
    return tags;
}

class MainWindow : public ::testing::Test {
protected:
    void open() {
        OpenTestEdition();
        frmMain = new TfrmMain;
    }
    void openAndShow() {
        open();
        frmMain->show();
    }
    void TearDown() override { CloseTestEdition(); }

    MainWindowWorld world;
};

} // namespace

TEST_F(MainWindow, ControlsCarryTheirNamesHintsAndMenus) {
    open();
    EXPECT_EQ(frmMain->minimumSize(), QSize(800, 600));
    EXPECT_EQ(frmMain->pnMainBtns->height(), 60);
    EXPECT_EQ(frmMain->btScale->toolTip(), "Масштаб");
    EXPECT_EQ(frmMain->btiMeasure->toolTip(), "Измерение расстояний");
    EXPECT_EQ(frmMain->btSendPublish->toolTip(), "Cвязь с Варинделом");
    EXPECT_TRUE(frmMain->btScaleInc->isHidden());
    EXPECT_TRUE(frmMain->btScaleDec->isHidden());
    EXPECT_TRUE(frmMain->btPick->isChecked());
    EXPECT_TRUE(frmMain->InstrumentButtons->exclusive());
    EXPECT_EQ(frmMain->InstrumentButtons->buttons().size(), 4);
    EXPECT_TRUE(frmMain->lInfo->text().startsWith("Масштаб: 5000"))
        << "the status line follows the map's scale";
    EXPECT_TRUE(frmMain->lInfo->font().bold());
    frmMain->btDragMap->click();
    EXPECT_FALSE(frmMain->btPick->isChecked()) << "one instrument button is down at a time";
    EXPECT_EQ(frmMain->btDiary->toolTip(), "Информация о здании");
    EXPECT_TRUE(frmMain->btFolders->isChecked());
    EXPECT_EQ(frmMain->pcBookmarks->height(), 22);

    EXPECT_EQ(MenuTexts(frmMain->pmHelp), QStringList({"Прайс-лист", "Справка", "Лицензия", "Наши партнеры",
                                                       "Настройки", "О программе"}));
    EXPECT_EQ(MenuTexts(frmMain->pmMap),
              QStringList({"Добавить в закладки", "Добавить в дневник", "Уменьшить", "Увеличить", "",
                           "Маршрут отсюда", "Маршрут сюда", "Пешком", "На машине", "Убрать маршрут"}));
    EXPECT_EQ(MenuTexts(frmMain->pmFirms),
              QStringList({"Добавить в избранное", "Удалить из избранного", "Добавить в закладки", "",
                           "Сохранить список…", "Печать карточки…", "Сохранить карточку в PDF…",
                           "Сохранить дневник…"}));
    EXPECT_EQ(MenuTexts(frmMain->pmBookmarks), QStringList({"Удалить закладку", "Сохранить закладки…"}));
    EXPECT_EQ(MenuTexts(frmMain->pmPrint), QStringList({"Печать", "Сохранить в файл"}));
    EXPECT_EQ(MenuTexts(frmMain->pmSend).first(), "Отправить заявку");
    EXPECT_EQ(frmMain->NSendNote->title(), "Cвязь с Варинделом");
    for (int kind = 0; kind < 6; ++kind)
        EXPECT_EQ(frmMain->NoteActions[kind]->data().toInt(), kind);
    EXPECT_EQ(frmMain->NoteActions[5]->text(), "Другое");
    EXPECT_EQ(frmMain->RefreshNullFolders->text(), "RefreshFolders");
}

TEST_F(MainWindow, MenuItemsCarryOutTheSharedActions) {
    open();
    int added = 0;
    QObject::connect(frmMain->aAddBookmark, &QAction::triggered, [&added] { ++added; });
    frmMain->NAddBookmark->trigger();
    frmMain->NFAddBookmark->trigger();
    EXPECT_EQ(added, 2);
    frmMain->NFAddBookmark->setVisible(false);
    EXPECT_TRUE(frmMain->NAddBookmark->isVisible()) << "hiding an item in one menu leaves the others";
}

TEST_F(MainWindow, CreationReadsTheEditionParametersAndRegistryNames) {
    open();
    EXPECT_EQ(MapScale, 5000);
    EXPECT_EQ(MinScale, 200);
    EXPECT_EQ(MaxScale, 20000);
    EXPECT_EQ(StepScale, 500);
    EXPECT_EQ(RegTabsHeight, kTestTabsHeight);
    EXPECT_EQ(RegDiary, "Не найдено в базе");
    EXPECT_EQ(LocalPath.toStdString(), world.programFolder());
    EXPECT_TRUE(VersionProgram.startsWith("Версия: "));
    EXPECT_GT(VersionProgram.size(), QString("Версия: ").size())
        << "a version even without PluginManager.bpl";
    EXPECT_NE(IDList, nullptr);
    EXPECT_NE(idLabels, nullptr);
    EXPECT_NE(FindHouses, nullptr);
    EXPECT_NE(Favorites, nullptr);
    EXPECT_EQ(frmMain->MonthCalendar->selectedDate(), QDate::currentDate());
    EXPECT_EQ(frmMain->MonthCalendar->firstDayOfWeek(), Qt::Monday);
    EXPECT_EQ(frmMain->DataMap->GetScale(), 5000);
    EXPECT_EQ(frmMain->DataMap->GetInstrument(), 2);
    EXPECT_EQ(frmMain->cbStreet->currentText(), "Улица");
    EXPECT_EQ(frmMain->cbfhStreet->palette().color(QPalette::Text), QColor(128, 128, 128));
    EXPECT_TRUE(DM->qFirms.Active());
    EXPECT_TRUE(DM->qFirmsStayOnTop.Active());
}

TEST_F(MainWindow, TempPathIsMadeForTheUserAlone) {
    open();
    const QString runtime = QString::fromStdString(world.folder.file("runtime"));
    EXPECT_EQ(TempPath, runtime + "/Varindel TLX Company/");
    EXPECT_TRUE(QFileInfo(TempPath).isDir());
}

TEST(MainWindowMap, TheMapAndItsStreetsComeFromTheEdition) {
    MainWindowWorld world([](TinyEdition& edition) {
        SyntheticCityOptions options;
        options.buildings = 100;
        edition.addContent(2, writeMapFile(syntheticCity(options)));
    });
    OpenTestEdition();
    frmMain = new TfrmMain;
    EXPECT_GT(frmMain->DataMap->GetCount(), 100);
    EXPECT_GT(frmMain->cbStreet->count(), 3);
    EXPECT_EQ(frmMain->cbStreet->count(), frmMain->cbfhStreet->count());
    EXPECT_EQ(frmMain->cbStreet->currentText(), "Улица");
    EXPECT_FALSE(frmMain->LoadIconFile()) << "the edition has no icon library";
    CloseTestEdition();
}

TEST_F(MainWindow, FirstShowingFillsTheTopLevelOnce) {
    openAndShow();
    QTreeWidget* tree = frmMain->tvFolders;
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), "Аптеки");
    EXPECT_EQ(tree->topLevelItem(1)->text(0), "Банки");
    EXPECT_EQ(tree->currentItem(), tree->topLevelItem(0));
    EXPECT_EQ(tree->currentItem()->data(0, Qt::UserRole).toInt(), 11);

    tree->clear();
    SetTag(frmMain->tsFolders, 77);
    frmMain->hide();
    frmMain->show();
    EXPECT_EQ(tree->topLevelItemCount(), 0) << "the show handler ran once";
    EXPECT_EQ(Tag(frmMain->tsFolders), 77);
}

TEST_F(MainWindow, PagesOpenWithTheirDesignHeightsAndCaptions) {
    openAndShow();
    EXPECT_EQ(PageTags(), std::vector<int>({250, 10, 160, 120, 50, 0}));
    EXPECT_EQ(frmMain->pcTabs->height(), 250);
    frmMain->btFind->click();
    EXPECT_EQ(frmMain->pcTabs->currentWidget(), frmMain->tsFind);
    EXPECT_EQ(frmMain->pcTabs->height(), 160);
    EXPECT_EQ(frmMain->lCapTab->text(), "Поиск организаций");
    frmMain->btDiary->click();
    EXPECT_EQ(frmMain->pcTabs->height(), 0);
    EXPECT_EQ(frmMain->mDiary->height(), 120);
    EXPECT_EQ(frmMain->lCapTab->text(), "Дневник");
    EXPECT_TRUE(frmMain->btDiary->isChecked()) << "the pressed button stays down";
    frmMain->ShowPage(4, true);
    EXPECT_EQ(frmMain->mDiary->height(), 0);
    EXPECT_TRUE(frmMain->btBldInfo->isChecked());
    EXPECT_EQ(frmMain->lCapTab->text(), "Информация об объекте");
}

TEST_F(MainWindow, APageIndexOutsideTheSixChangesNothing) {
    openAndShow();
    frmMain->lbFirms->Add("Банк «Север»");
    frmMain->ShowPage(6, true);
    frmMain->ShowPage(-1, true);
    EXPECT_EQ(frmMain->pcTabs->currentIndex(), 0);
    EXPECT_EQ(frmMain->lCapTab->text(), "Каталог предприятий");
    EXPECT_TRUE(frmMain->lbFirms->Items().contains("Банк «Север»"));
}

TEST_F(MainWindow, TheSplitterSetsTheActivePagesHeightOnlyAndNeverBelowTen) {
    openAndShow();
    frmMain->Splitterlf->MoveBy(-70);
    EXPECT_EQ(Tag(frmMain->tsFolders), 180);
    EXPECT_EQ(frmMain->pcTabs->height(), 180);
    frmMain->ShowPage(3, false);
    EXPECT_EQ(frmMain->pcTabs->height(), 120);
    frmMain->Splitterlf->MoveBy(-500);
    EXPECT_EQ(frmMain->pcTabs->height(), 10);
    EXPECT_EQ(PageTags(), std::vector<int>({180, 10, 160, 10, 50, 0}));
}

TEST_F(MainWindow, PageHeightsLastFromOneRunToTheNext) {
    openAndShow();
    frmMain->Splitterlf->MoveBy(-100);
    frmMain->ShowPage(2, false);
    frmMain->Splitterlf->MoveBy(-1000);
    CloseTestEdition();

    std::uint32_t stored = 0;
    ASSERT_TRUE(RegGetDWORD(HKEY_CURRENT_USER, std::string(kTestTabsHeight) + "2", stored));
    EXPECT_EQ(stored, 10u);

    openAndShow();
    EXPECT_EQ(PageTags(), std::vector<int>({150, 10, 10, 120, 50, 0}));
    EXPECT_EQ(frmMain->pcTabs->height(), 150);
}

TEST_F(MainWindow, AStoredHeightBeyondAnyScreenIsCut) {
    RegSetDWORD(HKEY_CURRENT_USER, std::string(kTestTabsHeight) + "1", 0xFFFFFFF0u);
    openAndShow();
    EXPECT_EQ(Tag(frmMain->tsFavorites), kLargestTabsHeight);
}

TEST_F(MainWindow, ThePanelButtonHidesAndShowsThePanel) {
    openAndShow();
    frmMain->btPHide->click();
    EXPECT_FALSE(frmMain->pnFirms->isVisible());
    EXPECT_EQ(Tag(frmMain->btPHide), 0);
    frmMain->btPHide->click();
    EXPECT_TRUE(frmMain->pnFirms->isVisible());
    EXPECT_EQ(Tag(frmMain->btPHide), 1);
}

TEST_F(MainWindow, FavoritesAreReadAtCreationAndWrittenAtDestruction) {
    RegSetDWORD(HKEY_CURRENT_USER, std::string(kTestFavorites) + "1", 42);
    RegSetDWORD(HKEY_CURRENT_USER, std::string(kTestFavorites) + "2", 7);
    open();
    EXPECT_EQ(Favorites->IDs, std::vector<std::int32_t>({42, 7}));
    Favorites->Delete(0);
    CloseTestEdition();
    std::uint32_t first = 0;
    ASSERT_TRUE(RegGetDWORD(HKEY_CURRENT_USER, std::string(kTestFavorites) + "1", first));
    EXPECT_EQ(first, 7u);
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, std::string(kTestFavorites) + "2"));
}

TEST_F(MainWindow, DestructionFreesTheListsCreationMade) {
    open();
    ASSERT_NE(IDList, nullptr);
    ASSERT_NE(idLabels, nullptr);
    ASSERT_NE(Favorites, nullptr);
    CloseTestEdition();
    EXPECT_EQ(IDList, nullptr);
    EXPECT_EQ(idLabels, nullptr);
    EXPECT_EQ(Favorites, nullptr);
}
