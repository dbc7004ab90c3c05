// How many typing slips part two words: letters inserted, deleted, changed,
// or two neighbours swapped (the restricted Damerau-Levenshtein distance).
// Only small distances matter, so the counting stops past a limit.
#pragma once

#include <QStringView>

// The distance, or limit + 1 when it is larger than `limit`.
int SlipDistance(QStringView typed, QStringView meant, int limit);

// The smallest distance from `typed` to any beginning of `meant` (what is
// typed so far of a longer name): "ktyby" is 0 from "ленина" once swapped,
// "лнин" is 1 from it. limit + 1 when larger than `limit`.
int PrefixSlipDistance(QStringView typed, QStringView meant, int limit);
