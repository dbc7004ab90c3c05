// The edition dialog, a real window on the offscreen platform.
#include "TestEnvironment.h"
#include "TfrmMapSelect.h"
#include "TinyEdition.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace {

void touch(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    file.open(QIODevice::WriteOnly);
}

// Runs `act` on the dialog once it is up and modal.
void whenShown(std::function<void(TfrmMapSelect&)> act)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, act = std::move(act)] {
        if (auto* dialog = qobject_cast<TfrmMapSelect*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(*dialog);
        }
    });
    poll->start();
}

QPoint itemCentre(const TfrmMapSelect& dialog, int row)
{
    return dialog.lbMaps->visualItemRect(dialog.lbMaps->item(row)).center();
}

// A double click as the system delivers it: press, release, then the
// double-click event at the same place.
void doubleClick(TfrmMapSelect& dialog, int row)
{
    QWidget* viewport = dialog.lbMaps->viewport();
    const QPoint at = itemCentre(dialog, row);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    QMouseEvent event(QEvent::MouseButtonDblClick, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

// Closes a dialog that a failed test left open, so that the run never hangs.
void giveUpAfterAWhile(TfrmMapSelect& dialog)
{
    QTimer::singleShot(3000, &dialog, [&dialog] { dialog.done(QDialog::Rejected); });
}

class MapSelect : public ::testing::Test {
protected:
    TemporaryFolder folder;
    CurrentFolder here{folder.path()};
};

} // namespace

TEST_F(MapSelect, LaysOutTheDialogAsDesigned)
{
    TfrmMapSelect dialog;
    EXPECT_EQ(dialog.windowTitle(), "Вариндел. Доступные карты");
    EXPECT_EQ(dialog.size(), QSize(396, 251));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize()) << "fixed border";
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_EQ(dialog.Label1->text(), "Выберите карту");
    EXPECT_EQ(dialog.btLoadMap->text(), "Загрузить");
    EXPECT_EQ(dialog.btCancel->text(), "Отмена");
}

TEST_F(MapSelect, BothFilesListedInTableOrderWithTheFirstSelected)
{
    touch(folder.file("datakrv.abs"));
    touch(folder.file("dataomk.abs"));
    TfrmMapSelect dialog;
    ASSERT_EQ(dialog.lbMaps->count(), 2);
    EXPECT_EQ(dialog.lbMaps->item(0)->text(), "Ольмарск");
    EXPECT_EQ(dialog.lbMaps->item(1)->text(), "Корвинск");
    EXPECT_EQ(dialog.lbMaps->currentRow(), 0);
    EXPECT_EQ(dialog.lDescription->text(), "Ольмарск. Сентябрь 2008");
    EXPECT_TRUE(dialog.btLoadMap->isEnabled());
}

TEST_F(MapSelect, OnlyTheSecondFileGivesOneItemThatLoadsAsTwo)
{
    touch(folder.file("datakrv.abs"));
    TfrmMapSelect dialog;
    ASSERT_EQ(dialog.lbMaps->count(), 1);
    EXPECT_EQ(dialog.lbMaps->item(0)->text(), "Корвинск");
    EXPECT_EQ(dialog.lDescription->text(), "Корвинск. Сентябрь 2008");
    giveUpAfterAWhile(dialog);
    whenShown([](TfrmMapSelect& shown) { shown.btLoadMap->click(); });
    EXPECT_EQ(dialog.ShowModal(), 2);
}

TEST_F(MapSelect, NoFileLeavesOnlyCancel)
{
    TfrmMapSelect dialog;
    EXPECT_EQ(dialog.lbMaps->count(), 0);
    EXPECT_FALSE(dialog.btLoadMap->isEnabled());
    EXPECT_EQ(dialog.lDescription->text(), "Файл не найден");
    whenShown([](TfrmMapSelect& shown) {
        QTest::keyClick(shown.lbMaps, Qt::Key_Return);
        EXPECT_TRUE(shown.isVisible()) << "Enter must not load without an edition";
        shown.btCancel->click();
    });
    EXPECT_EQ(dialog.ShowModal(), 0);
}

TEST_F(MapSelect, CancelAfterASelectionGivesZero)
{
    touch(folder.file("dataomk.abs"));
    touch(folder.file("datakrv.abs"));
    TfrmMapSelect dialog;
    whenShown([](TfrmMapSelect& shown) {
        shown.lbMaps->setCurrentRow(1);
        shown.btCancel->click();
    });
    EXPECT_EQ(dialog.ShowModal(), 0);

    TfrmMapSelect again;
    whenShown([](TfrmMapSelect& shown) { QTest::keyClick(shown.lbMaps, Qt::Key_Escape); });
    EXPECT_EQ(again.ShowModal(), 0);
}

TEST_F(MapSelect, DoubleClickLoadsTheClickedEdition)
{
    touch(folder.file("dataomk.abs"));
    touch(folder.file("datakrv.abs"));
    TfrmMapSelect dialog;
    giveUpAfterAWhile(dialog);
    whenShown([](TfrmMapSelect& shown) { doubleClick(shown, 1); });
    EXPECT_EQ(dialog.ShowModal(), 2);
}

TEST_F(MapSelect, DoubleClickDoesNothingWhileLoadingIsImpossible)
{
    touch(folder.file("dataomk.abs"));
    TfrmMapSelect dialog;
    dialog.show();
    QFile::remove(QString::fromStdString(folder.file("dataomk.abs")));
    doubleClick(dialog, 0);
    EXPECT_FALSE(dialog.btLoadMap->isEnabled()) << "the press ran Service, which found no file";
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

TEST_F(MapSelect, KeysAndMouseRefreshTheDescription)
{
    touch(folder.file("dataomk.abs"));
    touch(folder.file("datakrv.abs"));
    TfrmMapSelect dialog;
    dialog.show();
    QTest::keyClick(dialog.lbMaps, Qt::Key_Down);
    EXPECT_EQ(dialog.lbMaps->currentRow(), 1);
    EXPECT_EQ(dialog.lDescription->text(), "Корвинск. Сентябрь 2008") << "the description follows the selection";
    QTest::mousePress(dialog.lbMaps->viewport(), Qt::LeftButton, {}, itemCentre(dialog, 0));
    QTest::mouseRelease(dialog.lbMaps->viewport(), Qt::LeftButton, {}, itemCentre(dialog, 0));
    EXPECT_EQ(dialog.lDescription->text(), "Ольмарск. Сентябрь 2008");

    // A key that does not move the selection still refreshes: the file is gone.
    QFile::remove(QString::fromStdString(folder.file("dataomk.abs")));
    QTest::keyClick(dialog.lbMaps, Qt::Key_Up);
    EXPECT_EQ(dialog.lbMaps->currentRow(), 0);
    EXPECT_FALSE(dialog.btLoadMap->isEnabled());
    EXPECT_EQ(dialog.lDescription->text(), "Файл не найден");

    whenShown([](TfrmMapSelect& shown) { QTest::keyClick(shown.lbMaps, Qt::Key_Escape); });
    dialog.hide();
    EXPECT_EQ(dialog.ShowModal(), 0);
}

TEST_F(MapSelect, EnterLoadsTheSelectedEdition)
{
    touch(folder.file("dataomk.abs"));
    touch(folder.file("datakrv.abs"));
    TfrmMapSelect dialog;
    giveUpAfterAWhile(dialog);
    whenShown([](TfrmMapSelect& shown) {
        QTest::keyClick(shown.lbMaps, Qt::Key_Down);
        QTest::keyClick(shown.lbMaps, Qt::Key_Return);
    });
    EXPECT_EQ(dialog.ShowModal(), 2);
}
