#include "TextForms.h"

#include <QHash>
#include <array>
#include <utility>

namespace {

bool isWordChar(QChar c) {
    return c.isLetterOrNumber();
}

bool isCyrillic(QChar c) {
    return c.script() == QChar::Script_Cyrillic;
}

bool isLatinLetter(QChar c) {
    return c.isLetter() && c.script() == QChar::Script_Latin;
}

// The keys of the three letter rows and the back-quote key, QWERTY and
// ЙЦУКЕН, in the same order, unshifted and shifted.
const QString kLatinKeys =
    QStringLiteral("`qwertyuiop[]asdfghjkl;'zxcvbnm,./~QWERTYUIOP{}ASDFGHJKL:\"ZXCVBNM<>?");
const QString kCyrillicKeys =
    QStringLiteral("ёйцукенгшщзхъфывапролджэячсмитьбю.ЁЙЦУКЕНГШЩЗХЪФЫВАПРОЛДЖЭЯЧСМИТЬБЮ,");

QChar swappedKey(QChar c, const QString& from, const QString& to) {
    const qsizetype at = from.indexOf(c);
    return at < 0 ? c : to.at(at);
}

// Longest spellings first: the reading takes the longest that fits.
const std::array<std::pair<const char*, const char*>, 33> kLatinSpellings = {{
    {"shch", "щ"}, {"sch", "щ"}, {"shh", "щ"}, {"tch", "ч"}, {"zh", "ж"}, {"kh", "х"}, {"ts", "ц"},
    {"tz", "ц"},   {"cz", "ц"},  {"ch", "ч"},  {"sh", "ш"},  {"yu", "ю"}, {"ju", "ю"}, {"iu", "ю"},
    {"ya", "я"},   {"ja", "я"},  {"ia", "я"},  {"yo", "ё"},  {"jo", "ё"}, {"ye", "е"}, {"je", "е"},
    {"e'", "э"},   {"y'", "ы"},  {"''", "ъ"},  {"``", "ъ"},  {"ck", "к"}, {"ph", "ф"}, {"x", "кс"},
    {"'", "ь"},    {"`", "ь"},   {"w", "в"},   {"q", "к"},   {"j", "й"},
}};

const QHash<QChar, QChar>& singleLatinLetters() {
    static const QHash<QChar, QChar> letters = [] {
        const QString latin = QStringLiteral("abcdefghiklmnoprstuvz");
        const QString cyrillic = QStringLiteral("абцдефгхиклмнопрстувз");
        QHash<QChar, QChar> map;
        for (qsizetype i = 0; i < latin.size(); ++i)
            map.insert(latin.at(i), cyrillic.at(i));
        return map;
    }();
    return letters;
}

bool isCyrillicVowel(QChar c) {
    return QStringLiteral("аеёиоуыэюя").contains(c);
}

// A lone y is й after a vowel or at the start of a word, ы elsewhere
// ("Mayakovskiy" has both; "Krasnyy" gives красный).
QChar readLoneY(const QString& read) {
    if (read.isEmpty() || !read.back().isLetter() || isCyrillicVowel(read.back()))
        return QChar(u'й');
    return QChar(u'ы');
}

const QHash<QChar, QString>& cyrillicSpellings() {
    static const QHash<QChar, QString> spellings = [] {
        const QStringList latin = {"a",  "b",  "v",  "g",  "d",    "e", "yo", "zh", "z", "i",  "y",
                                   "k",  "l",  "m",  "n",  "o",    "p", "r",  "s",  "t", "u",  "f",
                                   "kh", "ts", "ch", "sh", "shch", "",  "y",  "",   "e", "yu", "ya"};
        const QString cyrillic = QStringLiteral("абвгдеёжзийклмнопрстуфхцчшщъыьэюя");
        QHash<QChar, QString> map;
        for (qsizetype i = 0; i < cyrillic.size(); ++i)
            map.insert(cyrillic.at(i), latin.at(i));
        return map;
    }();
    return spellings;
}

} // namespace

QString ComparedWord(QStringView word) {
    QString compared = word.toString().toLower();
    compared.replace(QChar(u'ё'), QChar(u'е'));
    return compared;
}

QList<WordSpan> WordSpans(const QString& text) {
    QList<WordSpan> spans;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool inWord = i < text.size() && isWordChar(text.at(i));
        if (inWord && start < 0)
            start = i;
        if (!inWord && start >= 0) {
            spans.append({start, i - start});
            start = -1;
        }
    }
    return spans;
}

QStringList ComparedWords(const QString& text) {
    QStringList words;
    for (const WordSpan& span : WordSpans(text))
        words.append(ComparedWord(QStringView(text).mid(span.start, span.length)));
    return words;
}

bool MostlyLatin(const QString& text) {
    int latin = 0;
    int cyrillic = 0;
    for (const QChar c : text) {
        latin += isLatinLetter(c);
        cyrillic += isCyrillic(c);
    }
    return latin > cyrillic;
}

bool HasCyrillic(const QString& text) {
    for (const QChar c : text)
        if (isCyrillic(c))
            return true;
    return false;
}

QString SwapKeyboardLayout(const QString& text) {
    const bool toCyrillic = MostlyLatin(text);
    const QString& from = toCyrillic ? kLatinKeys : kCyrillicKeys;
    const QString& to = toCyrillic ? kCyrillicKeys : kLatinKeys;
    QString swapped;
    swapped.reserve(text.size());
    for (const QChar c : text)
        swapped.append(swappedKey(c, from, to));
    return swapped;
}

QString LatinToCyrillic(const QString& text, bool iWithVowelIsOneLetter) {
    const QString lower = text.toLower();
    QString read;
    read.reserve(lower.size());
    qsizetype i = 0;
    while (i < lower.size()) {
        bool matched = false;
        for (const auto& [spelling, letter] : kLatinSpellings) {
            const QLatin1StringView latin(spelling);
            if (!iWithVowelIsOneLetter && latin.size() == 2 && latin.front() == u'i')
                continue;
            if (QStringView(lower).mid(i).startsWith(latin)) {
                read += QString::fromUtf8(letter);
                i += latin.size();
                matched = true;
                break;
            }
        }
        if (matched)
            continue;
        const QChar c = lower.at(i++);
        if (c == u'y')
            read += readLoneY(read);
        else
            read += singleLatinLetters().value(c, c);
    }
    return read;
}

QString CyrillicToLatin(const QString& text) {
    const QString lower = text.toLower();
    QString written;
    written.reserve(lower.size() * 2);
    for (const QChar c : lower) {
        const auto spelling = cyrillicSpellings().constFind(c);
        if (spelling == cyrillicSpellings().constEnd())
            written += c;
        else
            written += *spelling;
    }
    return written;
}
