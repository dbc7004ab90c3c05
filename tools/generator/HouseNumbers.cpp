#include "Buildings.h"

#include <algorithm>
#include <map>

namespace {

// The buildings of one side of one street, in the street's direction.
using Side = std::vector<PlacedBuilding*>;

const QString kLetters[] = {QStringLiteral("а"), QStringLiteral("б"), QStringLiteral("в")};

void numberSide(Side& side, bool odd, Prng& random)
{
    std::stable_sort(side.begin(), side.end(),
                     [](const PlacedBuilding* a, const PlacedBuilding* b) { return a->along < b->along; });
    int number = odd ? -1 : 0;
    int letters = 0;  // letters used after the current number
    int corpuses = 1; // buildings numbered under the current number so far
    bool started = false;
    for (PlacedBuilding* building : side) {
        if (building->courtyard && started) {
            building->house = QString::number(number) + QStringLiteral(" корп. ") + QString::number(++corpuses);
            continue;
        }
        if (started && letters < 3 && random.chance(0.06)) {
            // A house built later between two numbers takes a letter.
            building->house = QString::number(number) + kLetters[letters++];
            continue;
        }
        number += 2;
        letters = 0;
        corpuses = 1;
        started = true;
        building->house = QString::number(number);
    }
}

} // namespace

void NumberHouses(std::vector<PlacedBuilding>& buildings, Prng& random)
{
    // Keyed by street and side; an ordered map keeps the numbering order,
    // and so the random draws, the same on every run.
    std::map<std::pair<int, bool>, Side> sides;
    for (PlacedBuilding& building : buildings)
        if (building.street >= 0)
            sides[{building.street, building.oddSide}].push_back(&building);
    for (auto& [key, side] : sides)
        numberSide(side, key.second, random);
}
