#include "FirmText.h"

#include "Vocabulary.h"

#include <QHash>

namespace {

// Brand prefixes firms of a field like: "АвтоЛидер", "СтройГарант".
QString prefixOf(const QString& topCategory)
{
    static const QHash<QString, QString> prefixes{
        {QStringLiteral("Авто"), QStringLiteral("Авто")},
        {QStringLiteral("Строительство и ремонт"), QStringLiteral("Строй")},
        {QStringLiteral("Продукты питания"), QStringLiteral("Продукт")},
        {QStringLiteral("Здоровье"), QStringLiteral("Мед")},
        {QStringLiteral("Компьютеры и связь"), QStringLiteral("Компью")},
        {QStringLiteral("Финансы и страхование"), QStringLiteral("Финанс")},
        {QStringLiteral("Недвижимость"), QStringLiteral("Дом")},
        {QStringLiteral("Промышленность"), QStringLiteral("Пром")},
        {QStringLiteral("Отдых и развлечения"), QStringLiteral("Тур")},
    };
    return prefixes.value(topCategory);
}

QString brandOf(const QString& topCategory, Prng& random)
{
    QString brand = random.pick(Vocabulary::brandWords());
    const QString prefix = prefixOf(topCategory);
    if (!prefix.isEmpty() && random.chance(0.3))
        brand = prefix + brand;
    if (random.chance(0.08))
        brand += random.chance(0.5) ? QStringLiteral("-Плюс") : QStringLiteral("-Сервис");
    return brand;
}

QString quoted(const QString& brand) { return QStringLiteral("«") + brand + QStringLiteral("»"); }

QString digits(Prng& random, int count)
{
    QString text;
    for (int k = 0; k < count; ++k)
        text += QChar(u'0' + random.range(0, 9));
    return text;
}

} // namespace

FirmName MakeFirmName(const CategoryNode& category, const QString& topCategory, Prng& random)
{
    if (random.chance(0.08)) {
        const QString person = random.pick(Vocabulary::surnames()) + QLatin1Char(' ') +
                               random.pick(Vocabulary::givenInitials());
        return {QStringLiteral("ИП ") + person, person};
    }
    const QString brand = brandOf(topCategory, random);
    const double roll = random.unit();
    if (!category.firmWord.isEmpty() && roll < 0.6)
        return {category.firmWord + QLatin1Char(' ') + quoted(brand), brand};
    if (roll < 0.85)
        return {random.pick(Vocabulary::legalForms()) + QLatin1Char(' ') + quoted(brand), brand};
    return {brand, brand};
}

QString LocalPhone(int edition, Prng& random)
{
    if (edition == 2) {
        static const QString firsts = QStringLiteral("4579");
        return firsts.at(random.range(0, 3)) + digits(random, 2) + QLatin1Char('-') + digits(random, 2) +
               QLatin1Char('-') + digits(random, 2);
    }
    static const QString firsts = QStringLiteral("2356");
    return firsts.at(random.range(0, 3)) + digits(random, 1) + QLatin1Char('-') + digits(random, 2) +
           QLatin1Char('-') + digits(random, 2);
}

QString FirmPhones(int edition, Prng& random)
{
    QStringList numbers{LocalPhone(edition, random)};
    for (int extra = random.range(0, 2); extra > 0; --extra)
        numbers.append(LocalPhone(edition, random));
    if (random.chance(0.15))
        numbers.append(QStringLiteral("факс ") + LocalPhone(edition, random));
    if (random.chance(0.12))
        numbers.append(QStringLiteral("8-9") + digits(random, 2) + QLatin1Char('-') + digits(random, 3) +
                       QLatin1Char('-') + digits(random, 2) + QLatin1Char('-') + digits(random, 2));
    return numbers.join(QStringLiteral(", "));
}

QString WebAddress(const QString& brand, int edition, int variant)
{
    QString slug = Vocabulary::transliterate(brand);
    if (slug.isEmpty())
        slug = QStringLiteral("firma");
    if (variant > 0)
        slug += QString::number(variant + 1);
    return QStringLiteral("www.") + slug + (edition == 2 ? QStringLiteral("-krv") : QStringLiteral("-omk")) +
           QStringLiteral(".example");
}

QString MailAddress(const QString& web, Prng& random)
{
    static const QStringList boxes{QStringLiteral("info"), QStringLiteral("mail"), QStringLiteral("office"),
                                   QStringLiteral("sales"), QStringLiteral("zakaz")};
    const QString domain = web.startsWith(QStringLiteral("www.")) ? web.mid(4) : web;
    return random.pick(boxes) + QLatin1Char('@') + domain;
}

QString RouteText(const QStringList& routes, int limit)
{
    QString text;
    for (const QString& route : routes) {
        const QString next = text.isEmpty() ? route : text + QStringLiteral(", ") + route;
        if (next.size() > limit)
            break;
        text = next;
    }
    return text;
}

QString FirmNote(Prng& random)
{
    QStringList sentences;
    for (int count = random.range(1, 3); count > 0; --count) {
        const QString sentence = random.pick(Vocabulary::noteSentences());
        if (!sentences.contains(sentence))
            sentences.append(sentence);
    }
    return sentences.join(QLatin1Char(' '));
}
