#include "EditDistance.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

// Words longer than this are compared on their first letters only; no name
// of the edition has a word this long, and the rows stay on the stack.
constexpr qsizetype kLongest = 63;

// Fills the rows of the distance table one typed letter after another and
// hands each finished row to `row`, which returns false to stop early.
template <typename RowSeen> void fillTable(QStringView typed, QStringView meant, RowSeen row) {
    const qsizetype n = std::min(typed.size(), kLongest);
    const qsizetype m = std::min(meant.size(), kLongest);
    std::array<std::array<int, kLongest + 1>, 3> rows{};
    for (qsizetype j = 0; j <= m; ++j)
        rows[0][size_t(j)] = int(j);
    if (!row(rows[0], 0, m))
        return;
    for (qsizetype i = 1; i <= n; ++i) {
        auto& current = rows[size_t(i % 3)];
        const auto& previous = rows[size_t((i - 1) % 3)];
        const auto& beforePrevious = rows[size_t((i + 1) % 3)];
        current[0] = int(i);
        for (qsizetype j = 1; j <= m; ++j) {
            const bool same = typed[i - 1] == meant[j - 1];
            int best = std::min({previous[size_t(j)] + 1, current[size_t(j - 1)] + 1,
                                 previous[size_t(j - 1)] + (same ? 0 : 1)});
            if (i > 1 && j > 1 && typed[i - 1] == meant[j - 2] && typed[i - 2] == meant[j - 1])
                best = std::min(best, beforePrevious[size_t(j - 2)] + 1);
            current[size_t(j)] = best;
        }
        if (!row(current, i, m))
            return;
    }
}

} // namespace

int SlipDistance(QStringView typed, QStringView meant, int limit) {
    if (std::abs(typed.size() - meant.size()) > limit)
        return limit + 1;
    int distance = limit + 1;
    const qsizetype n = std::min(typed.size(), kLongest);
    fillTable(typed, meant, [&](const auto& row, qsizetype i, qsizetype m) {
        // A row whose smallest entry is past the limit only grows from there.
        if (*std::min_element(row.begin(), row.begin() + m + 1) > limit)
            return false;
        if (i == n)
            distance = std::min(row[size_t(m)], limit + 1);
        return true;
    });
    return distance;
}

int PrefixSlipDistance(QStringView typed, QStringView meant, int limit) {
    // A beginning longer than this costs more than the limit in insertions.
    meant = meant.first(std::min(meant.size(), typed.size() + limit));
    int distance = limit + 1;
    const qsizetype n = std::min(typed.size(), kLongest);
    fillTable(typed, meant, [&](const auto& row, qsizetype i, qsizetype m) {
        const int smallest = *std::min_element(row.begin(), row.begin() + m + 1);
        if (smallest > limit)
            return false;
        if (i == n)
            distance = smallest;
        return true;
    });
    return distance;
}
