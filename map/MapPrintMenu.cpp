#include "MapPrintMenu.h"

#include "MapExport.h"
#include "TDataMap.h"
#include "TfrmPrintPreView.h"
#include "TfrmProgress.h"

#include <QAbstractButton>
#include <QAction>
#include <QFileDialog>
#include <QMenu>
#include <QPointer>

namespace {

// frmProgress stands on top while the picture is built and is released
// however the work ends.
class ProgressShown {
public:
    ProgressShown() : progress_(frmProgress)
    {
        if (progress_)
            progress_->Hold();
    }
    ~ProgressShown()
    {
        if (progress_)
            progress_->Release();
    }
    ProgressShown(const ProgressShown&) = delete;
    ProgressShown& operator=(const ProgressShown&) = delete;

private:
    QPointer<TfrmProgress> progress_;
};

} // namespace

MapPrintMenu::MapPrintMenu(TDataMap* map, QAbstractButton* btPrint, QWidget* mainWindow)
    : QObject(mainWindow), map_(map), btPrint_(btPrint)
{
    pmPrint = new QMenu(mainWindow);
    pmPrint->setObjectName("pmPrint");
    nMapPrint = pmPrint->addAction("Печать");
    nMapPrint->setObjectName("nMapPrint");
    nMapPrint->setShortcut(QKeySequence::Print);
    NMapSaveToFile = pmPrint->addAction("Сохранить в файл");
    NMapSaveToFile->setObjectName("NMapSaveToFile");
    NMapSaveToFile->setShortcut(QKeySequence::Save);
    // On the main window too, so the shortcuts work while the menu is closed.
    mainWindow->addAction(nMapPrint);
    mainWindow->addAction(NMapSaveToFile);
    connect(nMapPrint, &QAction::triggered, this, &MapPrintMenu::nMapPrintClick);
    connect(NMapSaveToFile, &QAction::triggered, this, &MapPrintMenu::NMapSaveToFileClick);
    connect(btPrint, &QAbstractButton::clicked, this, &MapPrintMenu::btPrintClick);

    sdPicture = new QFileDialog(mainWindow);
    sdPicture->setObjectName("sdPicture");
    sdPicture->setAcceptMode(QFileDialog::AcceptSave);
    sdPicture->setFileMode(QFileDialog::AnyFile);
    sdPicture->setSizeGripEnabled(true);
    sdPicture->selectFile("Схема проезда.bmp");

    AskFileName = [this] { return runSaveDialog(); };
    ShowPreview = [] {
        if (frmPrintPreView)
            frmPrintPreView->exec();
    };
}

void MapPrintMenu::btPrintClick()
{
    pmPrint->popup(btPrint_->mapToGlobal(QPoint(0, btPrint_->height())));
}

QString MapPrintMenu::runSaveDialog()
{
    if (sdPicture->exec() != QDialog::Accepted || sdPicture->selectedFiles().isEmpty())
        return {};
    return sdPicture->selectedFiles().constFirst();
}

void MapPrintMenu::NMapSaveToFileClick()
{
    const QString fileName = AskFileName();
    if (fileName.isEmpty())
        return;
    ProgressShown progress;
    const QImage bitmap = GetBitmap(*map_);
    if (frmProgress)
        frmProgress->SetCaption("Предпросмотр", "Сохранение");
    SaveBitmap(bitmap, fileName);
}

void MapPrintMenu::nMapPrintClick()
{
    {
        ProgressShown progress;
        const QImage bitmap = GetBitmap(*map_);
        if (frmPrintPreView)
            frmPrintPreView->SetPicture(bitmap);
    }
    ShowPreview();
}
