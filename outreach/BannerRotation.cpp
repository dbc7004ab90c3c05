#include "BannerRotation.h"

#include "DataErrors.h"
#include "Datamodule.h"
#include "LoadBan.h"
#include "TBannerImage.h"

#include <QStringList>

#include <algorithm>
#include <limits>

int NextBannerTag(int tag, const std::vector<int>& cycle)
{
    const auto found = std::find(cycle.begin(), cycle.end(), tag);
    if (found == cycle.end())
        return tag;
    const auto next = std::next(found);
    return next == cycle.end() ? cycle.front() : *next;
}

int BannerIntervalMs(int seconds)
{
    constexpr int kLongest = std::numeric_limits<int>::max() / 1000;
    if (seconds <= 0)
        return 0;
    return std::min(seconds, kLongest) * 1000;
}

QString BannerIntervalErrorText(int code, const QString& text)
{
    return QString("Интервал смены баннеров (пункт %1 издания) не число: «%2». Баннеры сменяются раз в %3 секунд.")
        .arg(code)
        .arg(text)
        .arg(kDefaultBannerSeconds);
}

namespace {

int BannerSeconds(int code, QStringList& faults)
{
    try {
        return GetIntFromBase(code);
    } catch (const EConvertError&) {
        faults << BannerIntervalErrorText(code, GetStrFromBase(code));
        return kDefaultBannerSeconds;
    }
}

} // namespace

TBannerRotation::TBannerRotation(TBannerImage* top, TBannerImage* bottom, QObject* parent)
    : QObject(parent), top_(top), bottom_(bottom)
{
    connect(&tBanFrontTR, &QTimer::timeout, this, &TBannerRotation::tBanFrontTRTimer);
    connect(&tBanFrontBR, &QTimer::timeout, this, &TBannerRotation::tBanFrontBRTimer);
}

// A Qt timer of interval 0 fires at every turn of the event loop, so a slot
// without an interval gets no running timer at all and keeps its first banner.
void TBannerRotation::start(TBannerTimer& timer, int seconds, int firstTag)
{
    timer.Tag = firstTag;
    const int interval = BannerIntervalMs(seconds);
    if (interval == 0)
        return;
    timer.setInterval(interval);
    timer.start();
}

void TBannerRotation::StartBanTimer()
{
    QStringList faults;
    const int topSeconds = BannerSeconds(kTopIntervalCode, faults);
    const int bottomSeconds = BannerSeconds(kBottomIntervalCode, faults);
    start(tBanFrontTR, topSeconds, kTopBannerCycle.front());
    start(tBanFrontBR, bottomSeconds, kBottomBannerCycle.front());
    LoadBan(TopTag(), top_);
    LoadBan(BottomTag(), bottom_);
    for (const QString& fault : faults)
        ReportBannerFault(fault);
}

void TBannerRotation::StopBanTimers()
{
    tBanFrontTR.stop();
    tBanFrontBR.stop();
}

void TBannerRotation::advance(TBannerTimer& timer, const std::vector<int>& cycle, TBannerImage* image)
{
    timer.Tag = NextBannerTag(timer.Tag, cycle);
    LoadBan(timer.Tag, image);
}

void TBannerRotation::tBanFrontTRTimer()
{
    advance(tBanFrontTR, kTopBannerCycle, top_);
}

void TBannerRotation::tBanFrontBRTimer()
{
    advance(tBanFrontBR, kBottomBannerCycle, bottom_);
}
