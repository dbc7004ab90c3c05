// The main window's creation when something is wrong: a temporary folder that
// cannot be made, an edition without its map scales or with a scale that is
// no number, and a window closed before it was ever shown. The window opens
// with all it can set up, says what is wrong once, and never writes the
// defaults over what the user kept.
#include "Datamodule.h"
#include "MailEnvironment.h"
#include "MainWindowWorld.h"
#include "MapFormat.h"
#include "Minireg.h"
#include "SyntheticCity.h"
#include "TDataMap.h"
#include "TfrmMain.h"
#include "TfrmSettings.h"
#include "Uidlist.h"

#include <QAction>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

class MainWindowFaults : public ::testing::Test {
protected:
    MainWindowFaults() {
        SetMailMessageHandler([this](const TMessageRequest& request) { reports << request.Text; });
    }
    // The window goes while the world's registry is still in place.
    ~MainWindowFaults() override {
        CloseTestEdition();
        SetMailMessageHandler(nullptr);
    }

    void makeWorld(const std::function<void(TinyEdition&)>& extra = {}) {
        world = std::make_unique<MainWindowWorld>(extra);
    }

    void open() {
        OpenTestEdition();
        frmMain = new TfrmMain;
    }

    static std::uint32_t stored(const std::string& path) {
        std::uint32_t value = 0;
        EXPECT_TRUE(RegGetDWORD(HKEY_CURRENT_USER, path, value)) << path;
        return value;
    }

    std::unique_ptr<MainWindowWorld> world;
    QStringList reports;
};

void AddCity(TinyEdition& edition) {
    SyntheticCityOptions options;
    options.buildings = 100;
    edition.addContent(2, writeMapFile(syntheticCity(options)));
}

} // namespace

TEST_F(MainWindowFaults, ATemporaryFolderThatCannotBeMadeIsToldAndTheRestOfTheCreationRuns) {
    makeWorld(AddCity);
    // A file where the program's folder should be: the folder cannot be made.
    QFile blocker(QString::fromStdString(world->folder.file("runtime") + "/Varindel TLX Company"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    RegSetDWORD(HKEY_CURRENT_USER, std::string(kTestFavorites) + "1", 42);

    open();

    ASSERT_EQ(reports.size(), 1) << reports.join("\n").toStdString();
    EXPECT_TRUE(reports[0].startsWith("Не удалось создать временную папку")) << reports[0].toStdString();
    EXPECT_TRUE(reports[0].endsWith("Прайс-лист и статьи не будут показаны."));
    EXPECT_TRUE(TempPath.isEmpty());
    EXPECT_TRUE(DM->qFirms.Active()) << "the queries are open";
    EXPECT_GT(frmMain->DataMap->GetCount(), 100) << "the map is loaded";
    EXPECT_EQ(MapScale, 5000);
    EXPECT_EQ(RegTabsHeight, kTestTabsHeight);
    ASSERT_NE(Favorites, nullptr);
    EXPECT_EQ(Favorites->IDs, std::vector<std::int32_t>({42})) << "the user's lists are read";
}

TEST_F(MainWindowFaults, AWindowNeverShownLeavesTheStoredPageHeights) {
    makeWorld();
    RegSetDWORD(HKEY_CURRENT_USER, std::string(kTestTabsHeight) + "0", 300);
    open();
    CloseTestEdition();
    EXPECT_EQ(stored(std::string(kTestTabsHeight) + "0"), 300u)
        << "the heights were never read, so not written";
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, std::string(kTestTabsHeight) + "1"));
}

TEST_F(MainWindowFaults, ACreationStoppedBeforeTheSettingsLeavesTheStoredSetting) {
    makeWorld([](TinyEdition& edition) {
        edition.exec("UPDATE Content SET Data = ?1 WHERE TypeID = 9", {QByteArray("пять тысяч")});
    });
    RegSetDWORD(HKEY_CURRENT_USER, kView3DRegPath, 1);
    open();
    ASSERT_EQ(reports.size(), 1) << "the scale that is no number is told";
    CloseTestEdition();
    EXPECT_EQ(stored(kView3DRegPath), 1u) << "the 3D view was never read, so not overwritten";
}

TEST_F(MainWindowFaults, MissingScaleItemsGiveScalesFittedToTheMapAndOneReport) {
    makeWorld([](TinyEdition& edition) {
        AddCity(edition);
        edition.exec("DELETE FROM Content WHERE TypeID BETWEEN 9 AND 12");
    });
    open();
    EXPECT_EQ(reports, QStringList({"В издании нет масштабов карты (пункты 9, 10, 11, 12): "
                                    "взяты масштабы по размерам карты."}));
    EXPECT_GT(MinScale, 0);
    EXPECT_GT(MaxScale, MapScale);
    EXPECT_GT(StepScale, 0);

    const double before = frmMain->DataMap->GetScale();
    frmMain->NScaleDec->trigger(); // "Увеличить"
    EXPECT_GT(frmMain->DataMap->GetScale(), before) << "the map comes closer instead of collapsing to a dot";
    frmMain->NIncScale->trigger(); // "Уменьшить"
    frmMain->NIncScale->trigger();
    EXPECT_GE(frmMain->DataMap->GetScale(), MinScale);
    EXPECT_EQ(reports.size(), 1) << "said once";
}
