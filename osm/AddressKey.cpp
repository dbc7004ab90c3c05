#include "AddressKey.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace {

QString folded(const QString& text)
{
    QString result = text.toLower();
    result.replace(QChar(0x0451), QChar(0x0435)); // ё -> е
    return result;
}

// Every spelling of a street type word, as one token.
const QHash<QString, QString>& streetTypes()
{
    static const QHash<QString, QString> types{
        {"улица", "ул"},      {"ул", "ул"},         {"проспект", "пр-т"}, {"пр-т", "пр-т"},   {"пр", "пр-т"},
        {"просп", "пр-т"},    {"переулок", "пер"},  {"пер", "пер"},       {"бульвар", "б-р"}, {"б-р", "б-р"},
        {"бул", "б-р"},       {"шоссе", "ш"},       {"ш", "ш"},           {"площадь", "пл"},  {"пл", "пл"},
        {"проезд", "пр-д"},   {"пр-д", "пр-д"},     {"набережная", "наб"}, {"наб", "наб"},    {"тупик", "туп"},
        {"туп", "туп"},       {"аллея", "ал"},      {"ал", "ал"},         {"микрорайон", "мкр"}, {"мкр", "мкр"},
    };
    return types;
}

} // namespace

QString NormalisedStreet(const QString& street)
{
    static const QRegularExpression separators(QStringLiteral("[\\s.,\"«»'()]+"));
    QStringList words = folded(street).split(separators, Qt::SkipEmptyParts);
    for (QString& word : words)
        word = streetTypes().value(word, word);
    std::sort(words.begin(), words.end());
    return words.join(QLatin1Char(' '));
}

QString NormalisedHouse(const QString& house)
{
    static const QRegularExpression leadingDom(QStringLiteral("^\\s*(дом|д\\.)\\s*"),
                                               QRegularExpression::UseUnicodePropertiesOption);
    static const QRegularExpression building(QStringLiteral("(корпус|корп\\.?|кор\\.?)"),
                                             QRegularExpression::UseUnicodePropertiesOption);
    static const QRegularExpression structure(QStringLiteral("(строение|стр\\.?)"),
                                              QRegularExpression::UseUnicodePropertiesOption);
    static const QRegularExpression letter(QStringLiteral("(литера|лит\\.?)"),
                                           QRegularExpression::UseUnicodePropertiesOption);
    static const QRegularExpression blanks(QStringLiteral("[\\s.,]+"));
    QString key = folded(house);
    key.replace(leadingDom, QString());
    key.replace(building, QStringLiteral("к"));
    key.replace(structure, QStringLiteral("с"));
    key.replace(letter, QString());
    key.replace(blanks, QString());
    return key;
}

QString AddressKey(const QString& street, const QString& house)
{
    return NormalisedStreet(street) + QLatin1Char('|') + NormalisedHouse(house);
}
