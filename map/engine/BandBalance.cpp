#include "BandBalance.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

std::vector<int> equalCuts(int top, int height, int bands)
{
    std::vector<int> cuts;
    for (int band = 0; band <= bands; ++band)
        cuts.push_back(top + height * band / bands);
    return cuts;
}

} // namespace

std::vector<int> BandBalance::cuts(int top, int height, int bands) const
{
    const bool known = cuts_.size() == static_cast<std::size_t>(bands) + 1 && cuts_.front() == top &&
                       cuts_.back() == top + height && times_.size() == static_cast<std::size_t>(bands);
    if (!known || bands < 2)
        return equalCuts(top, height, bands);
    // All bands end together when each takes the time the frame's work
    // leaves it after its start: (the work and every start) / bands, less its own start.
    double work = 0;
    double starts = 0;
    for (const BandTime& time : times_) {
        work += time.drawing;
        starts += time.start;
    }
    if (work <= 0)
        return equalCuts(top, height, bands);
    const double end = (work + starts) / bands;
    // The work of the frame before spread evenly over the rows of each of
    // its bands; each new cut where the work above it is that of the bands above.
    std::vector<int> cuts{top};
    double wanted = 0;
    double before = 0; // the work of the old bands above band
    std::size_t band = 0;
    for (int next = 0; next + 1 < bands; ++next) {
        wanted += std::max(end - times_[static_cast<std::size_t>(next)].start, 0.0);
        while (band + 1 < times_.size() && before + times_[band].drawing < wanted)
            before += times_[band++].drawing;
        const double rows = cuts_[band + 1] - cuts_[band];
        const double share = times_[band].drawing > 0 ? (wanted - before) / times_[band].drawing : 1;
        const double balanced = cuts_[band] + rows * std::clamp(share, 0.0, 1.0);
        // Half way from the old cut: a frame's times wander by a tenth or
        // so, and a cut following each of them would swing about.
        const int cut = static_cast<int>(std::lround((balanced + cuts_[static_cast<std::size_t>(next) + 1]) / 2));
        // Every band keeps a row at least.
        cuts.push_back(std::clamp(cut, cuts.back() + 1, top + height - (bands - next - 1)));
    }
    cuts.push_back(top + height);
    return cuts;
}

void BandBalance::learn(const std::vector<int>& cuts, const std::vector<BandTime>& times)
{
    cuts_ = cuts;
    times_ = times;
}
