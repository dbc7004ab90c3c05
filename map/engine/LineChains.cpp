#include "LineChains.h"

#include <algorithm>
#include <tuple>

namespace {

// An end of a line, found by its point.
struct EndAt {
    QPointF at;
    int line;
    bool last;
};

bool pointBefore(QPointF a, QPointF b) { return a.x() < b.x() || (a.x() == b.x() && a.y() < b.y()); }

// The ends of all lines, sorted by point: those meeting at a point lie
// together, in the order of their lines.
class EndIndex {
public:
    explicit EndIndex(const std::vector<LineEnds>& lines)
    {
        ends_.reserve(lines.size() * 2);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            ends_.push_back({lines[i].first, static_cast<int>(i), false});
            ends_.push_back({lines[i].last, static_cast<int>(i), true});
        }
        std::sort(ends_.begin(), ends_.end(), [](const EndAt& a, const EndAt& b) {
            if (a.at != b.at)
                return pointBefore(a.at, b.at);
            return std::tie(a.line, a.last) < std::tie(b.line, b.last);
        });
    }

    // The first end at the point, of a line not yet taken, that may join line.
    const EndAt* meeting(QPointF at, int line, const std::vector<bool>& taken,
                         const std::function<bool(int, int)>& joinable) const
    {
        auto it = std::lower_bound(ends_.begin(), ends_.end(), at,
                                   [](const EndAt& end, QPointF point) { return pointBefore(end.at, point); });
        for (; it != ends_.end() && it->at == at; ++it)
            if (!taken[static_cast<std::size_t>(it->line)] && joinable(line, it->line))
                return &*it;
        return nullptr;
    }

private:
    std::vector<EndAt> ends_;
};

} // namespace

LineChains ChainLines(const std::vector<LineEnds>& lines, const std::function<bool(int, int)>& joinable)
{
    const EndIndex index(lines);
    std::vector<bool> taken(lines.size(), false);
    LineChains chains;
    chains.links.reserve(lines.size());
    const auto endOf = [&](const ChainLink& link, bool atLast) {
        const LineEnds& ends = lines[static_cast<std::size_t>(link.line)];
        return atLast != link.reversed ? ends.last : ends.first;
    };
    // What goes before the chain's first line, from it backwards.
    std::vector<ChainLink> before;
    for (std::size_t start = 0; start < lines.size(); ++start) {
        if (taken[start])
            continue;
        taken[start] = true;
        // Back from the first line's first point: a line met at its last
        // point comes before it as it is, one met at its first point turned round.
        before.assign(1, {static_cast<int>(start), false});
        while (const EndAt* met = index.meeting(endOf(before.back(), false), before.back().line, taken, joinable)) {
            taken[static_cast<std::size_t>(met->line)] = true;
            before.push_back({met->line, !met->last});
        }
        chains.links.insert(chains.links.end(), before.rbegin(), before.rend());
        // On from the first line's last point: a line met at its first point
        // runs on as it is, one met at its last point backwards.
        for (ChainLink last = before.front();;) {
            const EndAt* met = index.meeting(endOf(last, true), last.line, taken, joinable);
            if (!met)
                break;
            taken[static_cast<std::size_t>(met->line)] = true;
            last = {met->line, met->last};
            chains.links.push_back(last);
        }
        chains.ends.push_back(static_cast<int>(chains.links.size()));
    }
    return chains;
}
