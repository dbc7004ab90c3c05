// Words the demo editions are made of: street names in their grammatical
// forms, district names, surnames and the brand words of firm names.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// An adjective street name in the three genders that Russian street kinds
// take: "Садовая улица", "Садовый переулок", "Садовое шоссе".
struct AdjectiveName {
    QString feminine;
    QString masculine;
    QString neuter;
};

namespace Vocabulary {

// Adjective names ("Садовая|Садовый|Садовое").
const std::vector<AdjectiveName>& streetAdjectives();
// Names in the genitive that follow the street kind: "улица Ленина".
const QStringList& streetGenitives();
// District names; the first is always the city centre's.
const QStringList& districtNames();
const QStringList& microdistrictNames();
const QStringList& surnames();
const QStringList& givenInitials();
// Words firms are named after: "Вектор", "Сибирь", "Альфа".
const QStringList& brandWords();
const QStringList& legalForms();
const QStringList& noteSentences();
const QStringList& slogans();

// Latin spelling of a Russian text for web addresses: lower case, letters,
// digits and hyphens only.
QString transliterate(const QString& text);

} // namespace Vocabulary
