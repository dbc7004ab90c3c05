// The main window's print button and its menu: "Печать" fills the print
// preview with the stamped map and shows it, "Сохранить в файл" asks for a
// file name and saves the stamped map there as a BMP picture.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QFileDialog;
class QMenu;
class QAbstractButton;
class QWidget;
class TDataMap;

class MapPrintMenu : public QObject {
    Q_OBJECT
public:
    // btPrint pops the menu up; mainWindow also carries the shortcuts and
    // owns the save dialog.
    MapPrintMenu(TDataMap* map, QAbstractButton* btPrint, QWidget* mainWindow);

    void btPrintClick();
    void nMapPrintClick();
    void NMapSaveToFileClick();

    QMenu* pmPrint = nullptr;
    QAction* nMapPrint = nullptr;
    QAction* NMapSaveToFile = nullptr;
    QFileDialog* sdPicture = nullptr;

    // The file the user chose, empty when cancelled (runs sdPicture).
    std::function<QString()> AskFileName;
    // Shows frmPrintPreView modally.
    std::function<void()> ShowPreview;

private:
    QString runSaveDialog();

    TDataMap* map_;
    QAbstractButton* btPrint_;
};
