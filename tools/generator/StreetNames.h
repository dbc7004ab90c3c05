// Gives every street of a city its own Russian name, of a kind that suits
// the street: avenues are "проспект", short ones "переулок" or "проезд",
// roads out of town "шоссе", the rest mostly "улица".
#pragma once

#include "Prng.h"

#include <QSet>
#include <QString>

enum class StreetKind { Avenue, MainStreet, Street, Lane, Passage, Boulevard, Highway };

class StreetNamer {
public:
    explicit StreetNamer(Prng random) : random_(random) {}

    // A name not given before in this city.
    QString name(StreetKind kind);
    // Reserves a name that the city places by itself ("Привокзальная площадь").
    void reserve(const QString& name) { used_.insert(name); }

private:
    QString candidate(StreetKind kind);
    Prng random_;
    QSet<QString> used_;
};
