// The 3D view setting: its registry value read and written around the main
// window's life, and the dialog's pending change carried by "Применить".
#include "MapEngine.h"
#include "Minireg.h"
#include "TestEnvironment.h"
#include "TfrmSettings.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace {

std::uint32_t StoredValue() {
    std::uint32_t value = 99;
    EXPECT_TRUE(RegGetDWORD(HKEY_CURRENT_USER, kView3DRegPath, value));
    return value;
}

class SettingsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        map.OnInvalidate = [this] { ++redraws; };
        dialog.SetMap(&map);
    }

    IsolatedRegistry registry;
    MapEngine map;
    int redraws = 0;
    TfrmSettings dialog;
};

} // namespace

TEST(SettingsRegistry, MissingValueKeepsTheDefaultAndTheFirstExitStoresIt) {
    IsolatedRegistry registry;
    for (const bool defaultView : {false, true}) {
        MapEngine map;
        map.SetView3D(defaultView);
        LoadSettingsFromReg(map);
        EXPECT_EQ(map.options().View3D, defaultView);
    }
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, kView3DRegPath));

    MapEngine map;
    SaveSettingsToReg(map);
    EXPECT_EQ(StoredValue(), 0u);
    map.SetView3D(true);
    SaveSettingsToReg(map);
    EXPECT_EQ(StoredValue(), 1u);
}

TEST(SettingsRegistry, StoredOneAndZeroSetTheViewOtherNumbersAreIgnored) {
    IsolatedRegistry registry;
    MapEngine map;
    ASSERT_TRUE(RegSetDWORD(HKEY_CURRENT_USER, kView3DRegPath, 1));
    LoadSettingsFromReg(map);
    EXPECT_TRUE(map.options().View3D);

    ASSERT_TRUE(RegSetDWORD(HKEY_CURRENT_USER, kView3DRegPath, 0));
    LoadSettingsFromReg(map);
    EXPECT_FALSE(map.options().View3D);

    ASSERT_TRUE(RegSetDWORD(HKEY_CURRENT_USER, kView3DRegPath, 7));
    map.SetView3D(true);
    LoadSettingsFromReg(map);
    EXPECT_TRUE(map.options().View3D);
    map.SetView3D(false);
    LoadSettingsFromReg(map);
    EXPECT_FALSE(map.options().View3D);
}

TEST(SettingsRegistry, ATextValueUnderTheNameIsAFailedReadThatChangesNothing) {
    IsolatedRegistry registry;
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, kView3DRegPath, "1"));
    MapEngine map;
    map.SetView3D(true);
    LoadSettingsFromReg(map);
    EXPECT_TRUE(map.options().View3D);
}

TEST_F(SettingsDialog, LayoutAndCaptions) {
    EXPECT_EQ(dialog.windowTitle(), "Настройки");
    EXPECT_EQ(dialog.pcSettings->count(), 1);
    EXPECT_EQ(dialog.pcSettings->tabText(0), "Вид");
    EXPECT_EQ(dialog.chbView3D->text(), "3D вид");
    EXPECT_EQ(dialog.btOk->text(), "OK");
    EXPECT_EQ(dialog.btCancel->text(), "Отмена");
    EXPECT_EQ(dialog.btApply->text(), "Применить");
    EXPECT_GE(dialog.minimumWidth(), 320);
    EXPECT_GE(dialog.minimumHeight(), 350);
}

TEST_F(SettingsDialog, ShowingMirrorsTheMapOptionWithNothingPending) {
    map.SetView3D(true);
    dialog.show();
    EXPECT_TRUE(dialog.chbView3D->isChecked());
    EXPECT_FALSE(dialog.btApply->isEnabled());
    dialog.hide();

    map.SetView3D(false);
    dialog.show();
    EXPECT_FALSE(dialog.chbView3D->isChecked());
    dialog.hide();
}

TEST_F(SettingsDialog, ApplySetsTheMapOptionAndStaysOpen) {
    dialog.show();
    dialog.chbView3D->click();
    EXPECT_TRUE(dialog.btApply->isEnabled());
    EXPECT_FALSE(map.options().View3D) << "nothing changes before applying";
    const int before = redraws;
    dialog.btApply->click();
    EXPECT_TRUE(map.options().View3D);
    EXPECT_GT(redraws, before) << "the map is redrawn in the new mode";
    EXPECT_FALSE(dialog.btApply->isEnabled());
    EXPECT_TRUE(dialog.isVisible());
    dialog.hide();
}

TEST_F(SettingsDialog, TogglingTwiceAndApplyingLeavesTheMapAlone) {
    dialog.show();
    dialog.chbView3D->click();
    dialog.chbView3D->click();
    EXPECT_TRUE(dialog.btApply->isEnabled()) << "any click makes a pending change";
    const int before = redraws;
    dialog.btApply->click();
    EXPECT_FALSE(map.options().View3D);
    EXPECT_EQ(redraws, before);
    EXPECT_FALSE(dialog.btApply->isEnabled());
    dialog.hide();
}

TEST_F(SettingsDialog, OkAppliesAPendingChangeAndCloses) {
    dialog.show();
    dialog.chbView3D->click();
    dialog.btOk->click();
    EXPECT_TRUE(map.options().View3D);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(SettingsDialog, OkWithoutChangeClosesWithoutTouchingTheMap) {
    map.SetView3D(true);
    dialog.show();
    const int before = redraws;
    dialog.btOk->click();
    EXPECT_TRUE(map.options().View3D);
    EXPECT_EQ(redraws, before);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(SettingsDialog, CancelAndTheCloseBoxDiscardThePendingChange) {
    dialog.show();
    dialog.chbView3D->click();
    dialog.btCancel->click();
    EXPECT_FALSE(map.options().View3D);
    EXPECT_FALSE(dialog.isVisible());

    dialog.show();
    EXPECT_FALSE(dialog.chbView3D->isChecked()) << "the next show re-reads the map";
    EXPECT_FALSE(dialog.btApply->isEnabled());
    dialog.chbView3D->click();
    dialog.close();
    EXPECT_FALSE(map.options().View3D);
}

TEST_F(SettingsDialog, RestoringFromMinimisedKeepsThePendingChange) {
    dialog.show();
    dialog.chbView3D->click();
    dialog.showMinimized();
    dialog.showNormal();
    EXPECT_TRUE(dialog.chbView3D->isChecked());
    EXPECT_TRUE(dialog.btApply->isEnabled()) << "the change is still pending";
    dialog.btOk->click();
    EXPECT_TRUE(map.options().View3D);
}

TEST(SettingsWithoutMap, TheDialogOpensAndAppliesWithoutAMapHandedOver) {
    TfrmSettings dialog;
    dialog.show();
    EXPECT_FALSE(dialog.chbView3D->isChecked());
    dialog.chbView3D->click();
    dialog.btOk->click();
    EXPECT_FALSE(dialog.isVisible());
}
