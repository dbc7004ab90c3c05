// The mark-up of the HTML list boxes: a small HTML dialect (anchors, inline
// pictures by name, line breaks, rules, bold, an item background and a
// horizontal indent), its parser, its layout into positioned runs and the
// painting of a laid-out item. Everything here works without a window, so
// the list box only caches layouts and paints them.
#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

struct MiniHtmlToken {
    enum Kind { Text, Image, Break, Rule, Indent, BoldOn, BoldOff, AnchorOn, AnchorOff, Background };
    Kind kind = Text;
    QString text;  // text with entities decoded; picture name; href; colour name
    QString align; // pictures: "left" or "middle"
    int x = 0;     // indent position
};

// Tags are matched without regard to case; unknown tags are skipped, and a
// "<" that opens no tag is kept as text.
std::vector<MiniHtmlToken> ParseMiniHtml(const QString& markup);

// &lt; &gt; &amp; &quot; &apos; &nbsp; and numeric references.
QString DecodeMiniHtmlEntities(const QString& text);

// "clYellow" and the other colour names of the mark-up, or "#RRGGBB";
// an invalid colour for anything else.
QColor MiniHtmlColor(const QString& name);

using MiniHtmlPictureLookup = std::function<QPixmap(const QString& name)>;

struct MiniHtmlRun {
    enum Kind { Text, Image, Rule };
    Kind kind = Text;
    QRect rect; // in item coordinates
    QString text;
    QString picture;
    bool bold = false;
    int anchor = -1; // index into MiniHtmlLayout::anchors
};

struct MiniHtmlLayout {
    int width = 0;
    int height = 0;
    QColor background; // invalid: the list's own
    std::vector<MiniHtmlRun> runs;
    QStringList anchors; // hrefs, in order of appearance

    // The anchor under a point of the item, -1 when none.
    int AnchorAt(QPoint point) const;
};

inline constexpr int kMiniHtmlMargin = 2;
inline constexpr int kMiniHtmlMinimumHeight = 16;

MiniHtmlLayout LayOutMiniHtml(const QString& markup, int width, const QFont& font,
                              const MiniHtmlPictureLookup& pictures);

// Paints a laid-out item with its top-left corner at origin; the anchor
// hoveredAnchor (-1 for none) is drawn in the hover colour.
void PaintMiniHtml(QPainter& painter, const MiniHtmlLayout& layout, QPoint origin, const QFont& font,
                   const MiniHtmlPictureLookup& pictures, int hoveredAnchor);
