#include "TfrmStart.h"

#include "LoadBan.h"
#include "SplashArt.h"
#include "TBannerImage.h"
#include "TOrvLink.h"
#include "VersionText.h"

#include "TfrmAbout.h"
#include "TfrmArticle.h"
#include "TfrmFriends.h"
#include "TfrmMiniMap.h"
#include "TfrmPrintPreView.h"
#include "TfrmProgress.h"
#include "TfrmPublish.h"
#include "TfrmSendErrReport.h"
#include "TfrmSendNote.h"
#include "TfrmSettings.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>

#include <algorithm>

TfrmStart* frmStart = nullptr;
bool Actived = false;

namespace {

QLabel* whiteLabel(QWidget* parent, const QString& text, QPoint at)
{
    auto* label = new QLabel(text, parent);
    label->setAutoFillBackground(true);
    QPalette white = label->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(white);
    // The small type of the design.
    QFont small = label->font();
    small.setPixelSize(11);
    label->setFont(small);
    label->move(at);
    label->adjustSize();
    return label;
}

} // namespace

QRegion OpaqueRegion(const QImage& picture, QColor transparent)
{
    const QImage pixels = picture.convertToFormat(QImage::Format_RGB32);
    const QRgb cutOut = transparent.rgb();
    QRegion region;
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        int x = 0;
        while (x < pixels.width()) {
            while (x < pixels.width() && row[x] == cutOut)
                ++x;
            if (x == pixels.width())
                break;
            const int start = x;
            while (x < pixels.width() && row[x] != cutOut)
                ++x;
            region += QRect(start, y, x - start, 1);
        }
    }
    return region;
}

TfrmStart::TfrmStart(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle("Вариндел");
    createControls();
    setFixedSize(ImgRegion->size());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    SetRegion();
    lDescription->setText(kDescriptionText);
    SetVersionText(VersionText());
    // Enter is meant for "Продолжить"; the site link comes next on Tab.
    btContinue->setFocus();
    setTabOrder(btContinue, lVarindelnet);
}

void TfrmStart::SetVersionText(const QString& text)
{
    lVersion->setText(text);
    placeVersionAndDescription();
}

// The version and the description share the white row under the title: the
// description starts at its place or, after a long version, a gap after it;
// both are cut at the row's end rather than run into each other.
void TfrmStart::placeVersionAndDescription()
{
    constexpr int kRowRight = 446;
    constexpr int kGap = 8;
    constexpr int kDescriptionLeft = 116;
    constexpr int kDescriptionRoom = 120;
    lVersion->adjustSize();
    lDescription->adjustSize();
    const int versionRight =
        std::min(lVersion->x() + lVersion->width(), kRowRight - kDescriptionRoom - kGap);
    lVersion->resize(versionRight - lVersion->x(), lVersion->height());
    const int descriptionLeft = std::max(kDescriptionLeft, versionRight + kGap);
    lDescription->move(descriptionLeft, lDescription->y());
    lDescription->resize(std::min(lDescription->width(), kRowRight - descriptionLeft), lDescription->height());
    lVersion->setToolTip(lVersion->text());
    lDescription->setToolTip(lDescription->text());
}

void TfrmStart::createControls()
{
    ImgRegion = new QLabel(this);
    const QImage picture = SplashPicture();
    ImgRegion->setPixmap(QPixmap::fromImage(picture));
    ImgRegion->setGeometry(QRect(QPoint(0, 0), picture.size()));

    lVersion = whiteLabel(this, {}, {28, 67});
    lDescription = whiteLabel(this, {}, {116, 67});
    Label1 = whiteLabel(this, "Наш сайт в Интернете:", {64, 497});

    lVarindelnet = new TOrvLink(this);
    lVarindelnet->setGeometry(256, 494, 100, 16);
    lVarindelnet->SetLink(kProductSite);

    const QImage placeholder = TBannerImage::Placeholder(kSplashBannerSize);
    const auto banner = [&](QPoint at) {
        auto* image = new TBannerImage(this);
        image->setGeometry(QRect(at, kSplashBannerSize));
        image->SetPicture(placeholder);
        connect(image, &TBannerImage::MouseDown, this, &TfrmStart::ImgBanFrontMouseDown);
        return image;
    };
    ImgBanFrontTL = banner({30, 80});
    ImgBanFrontTR = banner({246, 80});
    ImgBanFrontBL = banner({30, 296});
    ImgBanFrontBR = banner({246, 296});

    pb = new QProgressBar(this);
    pb->setGeometry(33, 516, 270, 23);
    pb->setRange(0, 100);
    pb->setValue(0);
    pb->setTextVisible(false);
    QPalette red = pb->palette();
    red.setColor(QPalette::Highlight, QColor(255, 0, 0));
    pb->setPalette(red);

    btContinue = new QPushButton("Продолжить", this);
    btContinue->setGeometry(304, 516, 121, 23);
    QFont bold = btContinue->font();
    bold.setBold(true);
    btContinue->setFont(bold);
    btContinue->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    btContinue->setDefault(true);
    connect(btContinue, &QPushButton::clicked, this, &QDialog::accept);
}

void TfrmStart::IncValue(int n)
{
    pb->setValue(pb->value() + n);
}

void TfrmStart::SetRegion()
{
    const QRegion region = OpaqueRegion(ImgRegion->pixmap().toImage(), kSplashTransparent);
    if (region.isEmpty())
        clearMask();
    else
        setMask(region);
    update();
}

// The work starts on the first activation; a zero timer after the first
// showing starts it too, for window managers that never activate a window
// without a frame. Whichever comes first does the work, once.
void TfrmStart::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TfrmStart::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    QTimer::singleShot(0, this, &TfrmStart::FormActivate);
}

void TfrmStart::FormActivate()
{
    if (Actived || activating_)
        return;
    activating_ = true;
    repaint();
    QApplication::processEvents();
    LoadBan(13, ImgBanFrontTL);
    LoadBan(15, ImgBanFrontBL);
    LoadBan(14, ImgBanFrontTR);
    LoadBan(16, ImgBanFrontBR);
    pb->setValue(0);
    createSecondaryWindows();
    Actived = true;
}

template <typename Window>
static void createWindow(Window*& global, TfrmStart* splash)
{
    global = new Window;
    splash->IncValue(10);
}

void TfrmStart::createSecondaryWindows()
{
    createWindow(frmMiniMap, this);
    createWindow(frmArticle, this);
    createWindow(frmProgress, this);
    createWindow(frmFriends, this);
    createWindow(frmAbout, this);
    createWindow(frmPrintPreView, this);
    createWindow(frmSettings, this);
    createWindow(frmSendErrReport, this);
    createWindow(frmSendNote, this);
    createWindow(frmPublish, this);
}

// A press on a banner goes on like "Продолжить". It does not also open the
// advertised firm: the main window is not shown yet and its first showing
// selects the first category, which would replace the firm at once.
void TfrmStart::ImgBanFrontMouseDown()
{
    accept();
}

// Escape would end the program from its splash; it is ignored. Enter
// presses "Продолжить", the default button.
void TfrmStart::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool RunSplash()
{
    frmStart = new TfrmStart;
    return frmStart->exec() == QDialog::Accepted;
}
