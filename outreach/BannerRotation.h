// The two rotating banners of the main window: each slot walks its own
// cycle of content codes on its own timer, whose interval the edition sets
// (items 35 and 36, in seconds).
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <vector>

class TBannerImage;

// A timer that carries the content code its slot shows now.
class TBannerTimer : public QTimer {
public:
    int Tag = 0;
};

inline const std::vector<int> kTopBannerCycle = {21, 25, 27, 29, 31, 33};
inline const std::vector<int> kBottomBannerCycle = {22, 26, 28, 30, 32, 34};
inline constexpr int kTopIntervalCode = 35;
inline constexpr int kBottomIntervalCode = 36;
// The seconds between changes when the edition's interval is no number.
inline constexpr int kDefaultBannerSeconds = 15;

// The code after `tag` in `cycle`, back to the first after the last; a tag
// outside the cycle stays as it is.
int NextBannerTag(int tag, const std::vector<int>& cycle);

// A timer interval in milliseconds for `seconds` between changes; 0 (the
// timer never fires) for 0 or less, and at most what a timer can hold.
int BannerIntervalMs(int seconds);

// The report of an interval item whose text is no number.
QString BannerIntervalErrorText(int code, const QString& text);

class TBannerRotation : public QObject {
    Q_OBJECT
public:
    TBannerRotation(TBannerImage* top, TBannerImage* bottom, QObject* parent = nullptr);

    // Reads the intervals from the edition, sets the first tags, starts the
    // timers that have an interval and loads the first banner of each slot.
    // An interval that is no number gives kDefaultBannerSeconds and is
    // reported (ReportBannerFault) once everything has started.
    void StartBanTimer();
    // Both timers stop; the banners keep what they show.
    void StopBanTimers();

    void tBanFrontTRTimer();
    void tBanFrontBRTimer();

    TBannerTimer tBanFrontTR;
    TBannerTimer tBanFrontBR;
    int TopTag() const { return tBanFrontTR.Tag; }
    int BottomTag() const { return tBanFrontBR.Tag; }

private:
    static void advance(TBannerTimer& timer, const std::vector<int>& cycle, TBannerImage* image);
    static void start(TBannerTimer& timer, int seconds, int firstTag);

    TBannerImage* top_;
    TBannerImage* bottom_;
};
