// The texts and icons of a frame: house numbers, names of areas and
// streets, stops, road signs and the program's labels. They are placed in
// order of importance, each only where nothing placed before it lies, and
// drawn in the reverse order so that the most important end up on top.
#pragma once

#include "RenderFrame.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QList>
#include <QStaticText>

#include <memory>
#include <vector>

// The names of one font as they were measured and shaped: a frame of the
// whole city measures some thousand names, and shaping a text costs more
// than drawing it, so each name is shaped once and kept.
class ShapedTexts {
public:
    struct Shape {
        QList<QGlyphRun> glyphs; // laid out with the baseline at the origin
        double width = 0;        // the advance, as QFontMetricsF gives it
    };

    // A name with its halo drawn once at an angle, and where its image lies
    // from the whole pixel nearest the name's centre.
    struct Picture {
        QImage image;
        QPoint offset;
        int angle = 0;  // in kPictureAngleSteps of a degree
        QRgb color = 0;
    };
    static constexpr int kPictureAngleSteps = 2;

    explicit ShapedTexts(const QFont& font) : font_(font), metrics_(font) {}
    const QFont& font() const { return font_; }
    // Measured apart from the shapes: a frame measures every name that may
    // fit, far more than it draws, and a measure is a fraction of a shape.
    double width(const QString& text);
    const Shape& shape(const QString& text);
    // The name in colour with its halo, turned by angle degrees (clockwise
    // on screen) about its centre. A name along a street is drawn at its own
    // angle, and the glyphs of more than a few angles do not stay in the
    // font's cache: drawn each frame they would be rasterized each frame.
    // The reference holds until the next call, which may add a picture.
    const Picture& picture(const QString& text, double angle, const QColor& color);
    qsizetype pictureBytes() const { return pictureBytes_; }
    // From the baseline to the middle of the letters' height, downwards.
    double baselineDrop() const { return (metrics_.ascent() - metrics_.descent()) / 2; }

private:
    QFont font_;
    QFontMetricsF metrics_;
    QHash<QString, Shape> shapes_;
    QHash<QString, double> widths_;
    QHash<QString, std::vector<Picture>> pictures_;
    qsizetype pictureBytes_ = 0;
};


// What is worth keeping from frame to frame: laid-out house numbers, shaped
// names and icons with their background made transparent.
class LabelCaches {
public:
    const QStaticText& houseNumber(const QString& text, const QFont& font);
    // A bitmap icon without an alpha channel gets the colour of its
    // bottom-left pixel as the transparent colour, as bitmap icons do.
    const QImage& icon(const QImage& source);
    // The shaped names of a font; the reference lives as long as the caches.
    ShapedTexts& texts(const QFont& font);

private:
    QFont houseNumberFont_;
    QHash<QString, QStaticText> houseNumbers_;
    QHash<qint64, QImage> icons_;
    std::vector<std::unique_ptr<ShapedTexts>> texts_;
};

struct TextItem {
    QString text;
    QFont font;
    QColor color;
    QPointF centre;
    double angle = 0; // degrees, clockwise on screen
    QRectF box;       // what the text covers, for the placement
};

struct IconItem {
    QImage image; // null: the object's type is drawn as a symbol
    std::int32_t type;
    QRectF box;
};

struct NumberItem {
    QStaticText text;
    QRectF box;
};

struct PlacedLabels {
    std::vector<NumberItem> numbers;
    std::vector<TextItem> areaNames;
    std::vector<TextItem> streetNames;
    std::vector<TextItem> districtNames;
    std::vector<IconItem> points;
    std::vector<IconItem> labels;
};

// Decides what of the frame's texts and icons is shown, and where.
PlacedLabels placeLabels(const RenderFrame& frame, LabelCaches& caches);
// Whether the names of a frame drawn with painter go in as pictures.
bool namesDrawnAsPictures(const QPainter& painter);
// Makes the pictures of the placed names that are not kept yet: a frame at a
// new size of a font needs a picture of every name, which is made while the
// ground is drawn rather than after it.
void makeNamePictures(const PlacedLabels& placed, LabelCaches& caches);
// Whether the icons of many may be laid by a second thread: not while the
// frame's other threads still draw their bands.
enum class IconThreads { One, Shared };
// Draws what placeLabels placed, the most important on top.
void drawLabels(RenderFrame& frame, const PlacedLabels& placed, LabelCaches& caches, IconThreads icons);
