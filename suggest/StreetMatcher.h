// The streets a partly typed street name may stand for, as the street
// combos filter their lists while the user types: the typed text is read as
// typed, in the other keyboard layout and from Latin letters, and matched
// against the beginning of every word of a street name, forgiving slips
// ("лнин", "ktyby" and "lenin" all find "улица Ленина").
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class StreetMatcher {
public:
    StreetMatcher() = default;
    explicit StreetMatcher(const QStringList& streets);

    // At most `limit` streets, the likeliest first: a word beginning with the
    // text, then the text inside a word, then the fewest slips; streets that
    // match alike keep their order in the list. All of them for an empty text.
    QStringList Matching(const QString& typed, int limit) const;

private:
    struct Street {
        QString compared;              // the compared words joined by blanks
        std::vector<qsizetype> starts; // where those words begin in it
    };
    double costOf(const Street& street, const QString& typed) const;

    QStringList names_;
    std::vector<Street> streets_;
};
