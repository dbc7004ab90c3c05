#include "TfrmFinish.h"

#include "LoadBan.h"
#include "SplashArt.h"
#include "TBannerImage.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

TfrmFinish* frmFinish = nullptr;
int Sec = 0;

TfrmFinish::TfrmFinish(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle("Завершение");
    createControls();
    setFixedSize(463, 480);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    T.setInterval(kFinishTickMs);
    connect(&T, &QTimer::timeout, this, &TfrmFinish::TTimer);
    T.start();
    Sec = 0;
    show();
    waitForTheEnd();
    T.stop();
}

void TfrmFinish::createControls()
{
    ImgRegion = new QLabel(this);
    const QImage picture = FinishPicture();
    ImgRegion->setPixmap(QPixmap::fromImage(picture));
    ImgRegion->setGeometry(QRect(QPoint(0, 0), picture.size()));

    const QImage placeholder = TBannerImage::Placeholder(kSplashBannerSize);
    const auto banner = [&](QPoint at) {
        auto* image = new TBannerImage(this);
        image->setGeometry(QRect(at, kSplashBannerSize));
        image->SetPicture(placeholder);
        return image;
    };
    ImgBanFrontTLFin = banner({24, 20});
    ImgBanFrontTRFin = banner({240, 20});
    ImgBanFrontBLFin = banner({22, 232});
    ImgBanFrontBRFin = banner({240, 232});

    btClose = new QPushButton("Спасибо", this);
    btClose->setGeometry(0, 456, 465, 25);
    QFont bold = btClose->font();
    bold.setBold(true);
    btClose->setFont(bold);
    btClose->setDefault(true);
    connect(btClose, &QPushButton::clicked, this, &TfrmFinish::btCloseClick);
}

// Between checks the loop sleeps until something arrives: the timer's next
// tick at the latest, so the limit is reached without a busy processor.
void TfrmFinish::waitForTheEnd()
{
    while (Sec < kFinishTickLimit)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TfrmFinish::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmFinish::FormShow()
{
    LoadBan(17, ImgBanFrontTLFin);
    LoadBan(19, ImgBanFrontBLFin);
    LoadBan(18, ImgBanFrontTRFin);
    LoadBan(20, ImgBanFrontBRFin);
    btClose->setFocus();
}

void TfrmFinish::TTimer()
{
    ++Sec;
}

void TfrmFinish::btCloseClick()
{
    Sec = kFinishTickLimit;
}

// The window has no close box, but a window manager may still close it (or
// the user press Escape); the screen must then end, not wait hidden.
void TfrmFinish::closeEvent(QCloseEvent* event)
{
    btCloseClick();
    event->accept();
}

void TfrmFinish::reject()
{
    btCloseClick();
}
