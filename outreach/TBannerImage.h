// An advertising banner: a picture control that remembers the advertised
// firm in its Tag and reports presses and clicks. LoadBan fills it from the
// edition; the windows that show banners decide what a press or click does.
#pragma once

#include <QImage>
#include <QLabel>

#include <functional>

// The square banner slots of the start and closing windows.
inline constexpr QSize kSplashBannerSize(200, 200);

class TBannerImage : public QLabel {
    Q_OBJECT
public:
    explicit TBannerImage(QWidget* parent = nullptr);

    // The firm the banner advertises (its ID); 0 when it advertises nothing.
    int Tag = 0;
    // Runs on a completed click (press and release inside the banner).
    // Empty for a banner without an advertiser.
    std::function<void(TBannerImage*)> OnClick;

    // Shows `picture` whole: as it is when it fits, scaled down keeping its
    // proportions when it is larger than the control. A null image shows nothing.
    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return picture_; }
    bool HasPicture() const { return !picture_.isNull(); }

    // A quiet picture for a slot that has no banner yet: the slot's size,
    // a soft frame and a word saying that advertising goes here.
    static QImage Placeholder(const QSize& size);

signals:
    void MouseDown(TBannerImage* banner);
    void Clicked(TBannerImage* banner);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showFitted();

    QImage picture_;
    bool pressed_ = false;
};
