// The main window's print button and menu: the menu under the button, saving
// the stamped map where the user chose (or nowhere when cancelled, and with
// the progress window gone after a failure), and the preview filled with the
// stamped map before it is shown.
#include "MapExport.h"
#include "MapPrintMenu.h"
#include "TDataMap.h"
#include "TestEnvironment.h"
#include "TfrmPrintPreView.h"
#include "TfrmProgress.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

TPMXMapObjectMem building(std::int32_t id, float x, float y, float half)
{
    TPMXMapObjectMem object;
    object.ID = id;
    object.ObjType = otBuilding;
    object.X = x;
    object.Y = y;
    object.Geometry = {{x - half, y - half}, {x + half, y - half}, {x + half, y + half}, {x - half, y + half}};
    return object;
}

// A main window with the print button over a small map, and the two
// windows the menu uses.
struct MainWindowWithMap {
    QWidget window;
    QToolButton* btPrint = new QToolButton(&window);
    TDataMap* map = new TDataMap(&window);
    TfrmProgress progress;
    TfrmPrintPreView preview;
    MapPrintMenu menu{map, btPrint, &window};

    MainWindowWithMap()
    {
        window.resize(700, 500);
        btPrint->setGeometry(120, 0, 60, 60);
        map->setGeometry(0, 60, 480, 360);
        MapModel model;
        model.append(building(1, 0, 0, 40));
        map->setModel(std::move(model));
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        map->ViewXY(0, 0, 5000);
        frmProgress = &progress;
        frmPrintPreView = &preview;
    }
    ~MainWindowWithMap()
    {
        frmProgress = nullptr;
        frmPrintPreView = nullptr;
    }
    QImage stampedMap() { return StampedBitmap(map->Picture(), LoadStamp("VDLLOGO"), LoadStamp("VDLCAPT")); }
};

} // namespace

TEST(PrintMenu, ButtonPopsUpPrintThenSaveUnderItself)
{
    MainWindowWithMap main;
    ASSERT_EQ(main.menu.pmPrint->actions().size(), 2);
    EXPECT_EQ(main.menu.pmPrint->actions()[0]->text(), "Печать");
    EXPECT_EQ(main.menu.pmPrint->actions()[1]->text(), "Сохранить в файл");
    main.btPrint->click();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.menu.pmPrint));
    EXPECT_EQ(main.menu.pmPrint->pos(), main.btPrint->mapToGlobal(QPoint(0, 60)));
    main.menu.pmPrint->close();
}

TEST(PrintMenu, SaveDialogOffersTheRouteMapNameAndAsksBeforeOverwriting)
{
    MainWindowWithMap main;
    QFileDialog* dialog = main.menu.sdPicture;
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_TRUE(dialog->defaultSuffix().isEmpty());
    EXPECT_TRUE(dialog->isSizeGripEnabled());
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    QTimer::singleShot(0, dialog, [dialog] {
        EXPECT_EQ(QFileInfo(dialog->selectedFiles().value(0)).fileName(), "Схема проезда.bmp");
        dialog->reject();
    });
    EXPECT_TRUE(main.menu.AskFileName().isEmpty()) << "cancelled";
}

TEST(PrintMenu, SaveWritesTheStampedMapAsBmpAndClosesTheProgress)
{
    MainWindowWithMap main;
    TemporaryFolder folder;
    const QString fileName = QString::fromStdString(folder.file("route.png"));
    // NOLINTNEXTLINE(performance-no-automatic-move): a captured name, copied since it may be asked again
    main.menu.AskFileName = [&] { return fileName; };
    main.menu.NMapSaveToFile->trigger();

    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(2), QByteArray("BM"));
    EXPECT_EQ(QImage(fileName, "bmp").convertToFormat(QImage::Format_RGB32), main.stampedMap());
    EXPECT_EQ(main.progress.windowTitle(), "Предпросмотр");
    EXPECT_EQ(main.progress.lCont->text(), "Сохранение");
    EXPECT_FALSE(main.progress.isVisible());
}

TEST(PrintMenu, CancelledSaveWritesNothingAndShowsNoProgress)
{
    MainWindowWithMap main;
    main.menu.AskFileName = [] { return QString(); };
    main.menu.NMapSaveToFileClick();
    EXPECT_EQ(main.progress.windowTitle(), "Отправка");
    EXPECT_FALSE(main.progress.isVisible());
}

TEST(PrintMenu, FailedSaveReachesTheCallerWithTheProgressClosed)
{
    MainWindowWithMap main;
    TemporaryFolder folder;
    main.menu.AskFileName = [&] { return QString::fromStdString(folder.file("no/such/folder.bmp")); };
    EXPECT_THROW(main.menu.NMapSaveToFileClick(), ESaveError);
    EXPECT_FALSE(main.progress.isVisible());
}

TEST(PrintMenu, PrintFillsThePreviewWithTheStampedMapThenShowsIt)
{
    MainWindowWithMap main;
    bool progressGone = false;
    QSize shownPicture;
    main.menu.ShowPreview = [&] {
        progressGone = !main.progress.isVisible();
        shownPicture = main.preview.imgPreView->pixmap().size();
    };
    main.menu.nMapPrint->trigger();
    EXPECT_TRUE(progressGone);
    EXPECT_EQ(shownPicture, QSize(480, 360));
    EXPECT_EQ(main.preview.imgPreView->pixmap().toImage().convertToFormat(QImage::Format_RGB32), main.stampedMap());
}

TEST(PrintMenu, ShortcutsPrintAndSaveFromTheMainWindow)
{
    MainWindowWithMap main;
    EXPECT_EQ(main.menu.nMapPrint->shortcut(), QKeySequence(QKeySequence::Print));
    EXPECT_EQ(main.menu.NMapSaveToFile->shortcut(), QKeySequence(QKeySequence::Save));
    EXPECT_TRUE(main.window.actions().contains(main.menu.nMapPrint));
    EXPECT_TRUE(main.window.actions().contains(main.menu.NMapSaveToFile));
}
