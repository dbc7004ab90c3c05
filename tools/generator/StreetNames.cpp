#include "StreetNames.h"

#include "Vocabulary.h"

namespace {

QString adjectiveName(const AdjectiveName& adjective, StreetKind kind)
{
    switch (kind) {
    case StreetKind::Avenue:
        return adjective.masculine + QStringLiteral(" проспект");
    case StreetKind::Lane:
        return adjective.masculine + QStringLiteral(" переулок");
    case StreetKind::Passage:
        return adjective.masculine + QStringLiteral(" проезд");
    case StreetKind::Boulevard:
        return adjective.masculine + QStringLiteral(" бульвар");
    case StreetKind::Highway:
        return adjective.neuter + QStringLiteral(" шоссе");
    case StreetKind::MainStreet:
    case StreetKind::Street:
        break;
    }
    return adjective.feminine + QStringLiteral(" улица");
}

QString genitiveName(const QString& name, StreetKind kind)
{
    switch (kind) {
    case StreetKind::Avenue:
        return QStringLiteral("проспект ") + name;
    case StreetKind::Lane:
        return QStringLiteral("переулок ") + name;
    case StreetKind::Passage:
        return QStringLiteral("проезд ") + name;
    case StreetKind::Boulevard:
        return QStringLiteral("бульвар ") + name;
    case StreetKind::Highway:
    case StreetKind::MainStreet:
    case StreetKind::Street:
        break;
    }
    return QStringLiteral("улица ") + name;
}

// "2-я Садовая улица", "3-й Лесной переулок": how Russian cities tell apart
// streets of the same name.
QString numbered(const QString& name, int number)
{
    const bool feminine = name.endsWith(QStringLiteral("улица"));
    const bool neuter = name.endsWith(QStringLiteral("шоссе"));
    const QString ending = feminine ? QStringLiteral("-я ") : neuter ? QStringLiteral("-е ") : QStringLiteral("-й ");
    return QString::number(number) + ending + name;
}

} // namespace

QString StreetNamer::candidate(StreetKind kind)
{
    // Main streets and avenues bear names of people and ideas more often,
    // highways are named after where they lead.
    const bool genitive = kind != StreetKind::Highway &&
                          random_.chance(kind == StreetKind::Avenue || kind == StreetKind::MainStreet ? 0.7 : 0.3);
    if (genitive)
        return genitiveName(random_.pick(Vocabulary::streetGenitives()), kind);
    return adjectiveName(random_.pick(Vocabulary::streetAdjectives()), kind);
}

QString StreetNamer::name(StreetKind kind)
{
    for (int attempt = 0; attempt < 40; ++attempt) {
        const QString name = candidate(kind);
        if (!used_.contains(name)) {
            used_.insert(name);
            return name;
        }
    }
    // Numbers go only before adjective names: "2-я Садовая улица".
    const QString base = adjectiveName(random_.pick(Vocabulary::streetAdjectives()), kind);
    for (int number = 2;; ++number) {
        const QString name = numbered(base, number);
        if (!used_.contains(name)) {
            used_.insert(name);
            return name;
        }
    }
}
