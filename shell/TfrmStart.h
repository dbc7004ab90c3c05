// The splash: a borderless window cut out of its picture, standing between
// the edition's opening and the main window. On its first activation it
// loads four banners and creates the secondary windows while its gauge
// fills; then it waits for "Продолжить" or a press on a banner.
#pragma once

#include <QDialog>
#include <QImage>
#include <QRegion>

class QLabel;
class QProgressBar;
class QPushButton;
class TBannerImage;
class TOrvLink;

class TfrmStart : public QDialog {
    Q_OBJECT
public:
    explicit TfrmStart(QWidget* parent = nullptr);

    QLabel* ImgRegion;
    QProgressBar* pb;
    QLabel* lVersion;
    QLabel* lDescription;
    TOrvLink* lVarindelnet;
    QLabel* Label1;
    TBannerImage* ImgBanFrontTL;
    TBannerImage* ImgBanFrontTR;
    TBannerImage* ImgBanFrontBL;
    TBannerImage* ImgBanFrontBR;
    QPushButton* btContinue;

    void IncValue(int n);
    // Shows the version and places it and the description so they never touch.
    void SetVersionText(const QString& text);
    // Shapes the window from ImgRegion's picture.
    void SetRegion();
    void FormActivate();
    void ImgBanFrontMouseDown();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();
    void createSecondaryWindows();
    void placeVersionAndDescription();

    bool activating_ = false;
};

extern TfrmStart* frmStart;
// True once the splash's first activation has done its work.
extern bool Actived;

inline constexpr const char* kDescriptionText = "Информационно-коммерческий справочник Вариндел";
inline constexpr const char* kProductSite = "www.varindel.ru";

// The window shape of a picture: the union of the row runs of pixels that
// are not `transparent`. Empty when every pixel is transparent.
QRegion OpaqueRegion(const QImage& picture, QColor transparent);

// Creates frmStart and runs it modally. True when the user went on
// ("Продолжить" or a banner); false when the system closed the splash, and
// then the program is to end without showing the main window. The splash
// stays, hidden, until the main window's destruction deletes it.
bool RunSplash();
