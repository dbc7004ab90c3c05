// The forms a typed text may have taken on its way from the user's mind to
// the search field: typed with the other keyboard layout, written in Latin
// letters, or with ё for е. Each function gives the text back in the form
// the edition's names are written in, so that what is left to forgive are
// the typing slips that an edit distance measures.
#pragma once

#include <QString>
#include <QStringList>

// What a match found only through another form of the text (other layout,
// other script) costs on top of its typing slips.
inline constexpr double kOtherForm = 0.25;

// The words of a text as they are compared: lower case, ё as е, split at
// everything that is neither a letter nor a digit ("Аптека «Ёлка-2»" gives
// аптека, елка, 2).
QStringList ComparedWords(const QString& text);
// The same for one run of letters and digits already cut out of a text.
QString ComparedWord(QStringView word);

// Where the words of ComparedWords lie in the text: start and length of each.
struct WordSpan {
    qsizetype start = 0;
    qsizetype length = 0;
};
QList<WordSpan> WordSpans(const QString& text);

// The text as the same keys give it in the other layout, ЙЦУКЕН and QWERTY:
// a text of mostly Latin letters becomes Cyrillic ("Ktybyf" gives "Ленина",
// "K.,jdm" gives "Любовь"), any other becomes Latin ("руддщ" gives "hello").
QString SwapKeyboardLayout(const QString& text);

// Russian written in Latin letters read back into Cyrillic, whichever of
// the common schemes wrote it (passport, GOST, BGN, the informal one):
// "Shchukina", "Schukina" and "Shhukina" all give "щукина";
// "Juzhnaja", "Yuzhnaya" and "Iuzhnaia" give "южная". Lower case.
// The passport's "ia" and "iu" for я and ю are as often и followed by a
// vowel ("Entuziastov"); without `iWithVowelIsOneLetter` they read so.
QString LatinToCyrillic(const QString& text, bool iWithVowelIsOneLetter = true);
// Cyrillic written out in Latin letters (the common BGN way, lower case):
// "Автофаворит" gives "avtofavorit".
QString CyrillicToLatin(const QString& text);

// Which alphabet most letters of a text belong to.
bool MostlyLatin(const QString& text);
bool HasCyrillic(const QString& text);
