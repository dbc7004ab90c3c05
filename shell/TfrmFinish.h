// The closing screen: four banners and "Спасибо". It lives its whole life in
// its constructor, which returns when the button is pressed or the tick limit
// (30000 ticks of 100 ms, 50 minutes) is reached; the caller then deletes it.
#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;
class QPushButton;
class TBannerImage;

inline constexpr int kFinishTickMs = 100;
inline constexpr int kFinishTickLimit = 30000;

class TfrmFinish : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFinish(QWidget* parent = nullptr);

    QLabel* ImgRegion;
    TBannerImage* ImgBanFrontTLFin;
    TBannerImage* ImgBanFrontTRFin;
    TBannerImage* ImgBanFrontBLFin;
    TBannerImage* ImgBanFrontBRFin;
    QPushButton* btClose;
    QTimer T;

    void FormShow();
    void TTimer();
    void btCloseClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void createControls();
    void waitForTheEnd();
};

extern TfrmFinish* frmFinish;
// Ticks of 100 ms since the closing screen appeared.
extern int Sec;
