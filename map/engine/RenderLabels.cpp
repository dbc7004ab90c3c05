#include "RenderLabels.h"

#include "FrameWorkers.h"
#include "IconLibrary.h"
#include "LabelPlacer.h"
#include "MapStyle.h"
#include "RenderPixels.h"

#include <QFontMetricsF>
#include <QTextLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <future>

namespace {

// Street names appear once a street is wide enough to carry them.
constexpr double kStreetNamesFromPpm = 0.45;
constexpr double kMainStreetNamesFromPpm = 0.25;
// The same street name is not repeated closer than this many pixels.
constexpr double kStreetNameSpacing = 360;
constexpr double kStreetNameMaxBend = 22;
constexpr int kFallbackIconSize = 14;
// From this many icons in a frame two threads lay them.
constexpr std::size_t kIconsForASecondThread = 400;
constexpr std::size_t kHouseNumberCacheLimit = 20000;
constexpr qsizetype kShapedTextsLimit = 20000;
// A measure is a number beside the text, which the hash shares with the map:
// the names of a city of a million objects fit.
constexpr qsizetype kMeasuredTextsLimit = 500000;
// The names drawn as pictures, kept per font up to this many bytes.
constexpr qsizetype kPictureBytesLimit = qsizetype{8} << 20;
// Fonts follow the scale, so a few of them are kept for going back and forth.
constexpr std::size_t kShapedFontsLimit = 16;

QRectF centredBox(QPointF centre, QSizeF size)
{
    return QRectF(centre.x() - size.width() / 2, centre.y() - size.height() / 2, size.width(), size.height());
}

QImage cachedIcon(const QImage* image, LabelCaches& caches)
{
    return image && !image->isNull() ? caches.icon(*image) : QImage();
}

// The icon every object of the type shows unless it has one of its own:
// looked up once for the thousands of stops of a city seen whole.
QImage standardIcon(const RenderFrame& frame, std::int32_t type, LabelCaches& caches)
{
    const IconLibrary* icons = frame.scene.icons;
    if (!icons || (type != otStop && type != otRoadSign))
        return {};
    return cachedIcon(icons->find(kStandardIconLibrary, type == otStop ? kStopIconName : kRoadSignIconName), caches);
}

QImage iconOf(const RenderFrame& frame, const TPMXMapObjectMem& object, const QImage& standard, LabelCaches& caches)
{
    const IconLibrary* icons = frame.scene.icons;
    if (!object.Zametka || !icons)
        return standard;
    return cachedIcon(icons->find(object.Zametka->LibName, object.Zametka->IconName), caches);
}

void placeIcons(const RenderFrame& frame, std::int32_t type, LabelPlacer& placer, LabelCaches& caches,
                std::vector<IconItem>& out)
{
    const QImage standard = standardIcon(frame, type, caches);
    for (int index : frame.visible[static_cast<std::size_t>(type)]) {
        const TPMXMapObjectMem& object = frame.object(index);
        QImage image = iconOf(frame, object, standard, caches);
        const QSizeF size = image.isNull() ? QSizeF(kFallbackIconSize, kFallbackIconSize) : QSizeF(image.size());
        const QRectF box = centredBox(frame.transform.toPixel(object.X, object.Y), size);
        if (placer.tryPlace(box))
            out.push_back({std::move(image), type, box});
    }
}

void placeAreaNames(const RenderFrame& frame, std::int32_t type, LabelPlacer& placer, LabelCaches& caches,
                    std::vector<TextItem>& out)
{
    const QFont font = type == otWater ? MapStyle::waterNameFont() : MapStyle::districtNameFont(type, frame.ppm);
    const QColor color = type == otWater ? MapStyle::waterNameColor() : MapStyle::districtNameColor(type);
    ShapedTexts& texts = caches.texts(font);
    const double height = QFontMetricsF(font).height();
    for (int index : frame.visible[static_cast<std::size_t>(type)]) {
        const TPMXMapObjectMem& object = frame.object(index);
        if (object.Name.isEmpty())
            continue;
        const QRectF area = frame.pixelBounds(index);
        // A name larger than its area would belong to no place in particular.
        if (height > area.height())
            continue;
        const QSizeF size(texts.width(object.Name), height);
        if (size.width() > area.width() * 1.2)
            continue;
        const QPointF centre = frame.transform.toPixel(object.X, object.Y);
        if (placer.tryPlace(centredBox(centre, size)))
            out.push_back({object.Name, font, color, centre, 0, centredBox(centre, size)});
    }
}

struct StreetCandidate {
    const QString* name;
    LineStretch stretch;
};

// Boxes along a rotated text, a square per letter height, for the placer.
std::vector<QRectF> boxesAlong(const LineStretch& stretch, double width, double height)
{
    const QPointF centre = (stretch.start + stretch.end) / 2;
    const QPointF direction = (stretch.end - stretch.start) / stretch.length();
    const int pieces = std::max(1, static_cast<int>(std::ceil(width / height)));
    std::vector<QRectF> boxes;
    for (int i = 0; i < pieces; ++i) {
        const double along = -width / 2 + (i + 0.5) * width / pieces;
        boxes.push_back(centredBox(centre + direction * along, QSizeF(height, height)));
    }
    return boxes;
}

// The longest straight stretch of a line that lies inside the view: a long
// street crossing the view must carry its name where it can be seen, not in
// a stretch of it far outside.
LineStretch longestVisibleStretch(const QPolygonF& line, const QRectF& view, double maxBendDegrees)
{
    LineStretch best;
    QPolygonF piece;
    auto finishPiece = [&] {
        if (piece.size() >= 2) {
            const LineStretch stretch = longestStraightStretch(piece, maxBendDegrees);
            if (stretch.length() > best.length())
                best = stretch;
        }
        piece.clear();
    };
    for (int i = 1; i < line.size(); ++i) {
        QPointF a = line[i - 1];
        QPointF b = line[i];
        if (!clipSegmentToBox(a, b, view)) {
            finishPiece();
            continue;
        }
        if (!piece.isEmpty() && piece.back() != a)
            finishPiece();
        if (piece.isEmpty())
            piece << a;
        piece << b;
    }
    finishPiece();
    return best;
}

void placeStreetNames(const RenderFrame& frame, LabelPlacer& placer, LabelCaches& caches, std::vector<TextItem>& out)
{
    if (frame.ppm < kMainStreetNamesFromPpm)
        return;
    const QFont font = MapStyle::streetNameFont(frame.ppm);
    const QFontMetricsF metrics(font);
    ShapedTexts& texts = caches.texts(font);
    std::vector<StreetCandidate> candidates;
    QPolygonF line;
    for (int index : frame.visible[otRoad]) {
        const TPMXMapObjectMem& object = frame.object(index);
        if (object.Street.isEmpty() || (object.StyleCode == rcStreet && frame.ppm < kStreetNamesFromPpm))
            continue;
        projectSimplified(object.Geometry, frame.transform, 1.0, line);
        candidates.push_back({&object.Street, longestVisibleStretch(line, frame.pixels, kStreetNameMaxBend)});
    }
    // The longest straight stretches first: that is where a name reads best.
    std::sort(candidates.begin(), candidates.end(), [](const StreetCandidate& a, const StreetCandidate& b) {
        return a.stretch.length() > b.stretch.length();
    });
    QHash<QString, std::vector<QPointF>> placed;
    for (const StreetCandidate& candidate : candidates) {
        const double width = texts.width(*candidate.name);
        const LineStretch& stretch = candidate.stretch;
        if (stretch.length() < width + 2 * metrics.height())
            continue;
        const QPointF centre = (stretch.start + stretch.end) / 2;
        std::vector<QPointF>& others = placed[*candidate.name];
        const bool repeated = std::any_of(others.begin(), others.end(), [&](const QPointF& other) {
            return QLineF(other, centre).length() < kStreetNameSpacing;
        });
        const std::vector<QRectF> boxes = boxesAlong(stretch, width, metrics.height());
        if (repeated || !placer.tryPlace(boxes))
            continue;
        others.push_back(centre);
        // Names never stand on their heads: a line running leftwards is read from its end.
        double angle = stretch.angleDegrees();
        if (angle > 90)
            angle -= 180;
        else if (angle < -90)
            angle += 180;
        QRectF around;
        for (const QRectF& box : boxes)
            around |= box;
        out.push_back({*candidate.name, font, MapStyle::streetNameColor(), centre, angle, around});
    }
}

void placeHouseNumbers(const RenderFrame& frame, LabelPlacer& placer, LabelCaches& caches,
                       std::vector<NumberItem>& out)
{
    const MapOptions& options = frame.scene.options;
    if (!options.NumberDom || options.NumberDomSizeFont <= 0)
        return;
    const QFont font = MapStyle::houseNumberFont(options.NumberDomSizeFont);
    const double lineHeight = QFontMetricsF(font).height();
    for (int index : frame.visible[otBuilding]) {
        const TPMXMapObjectMem& object = frame.object(index);
        if (object.House.isEmpty())
            continue;
        const QRectF building = frame.pixelBounds(index);
        if (building.height() + 2 < lineHeight)
            continue;
        const QStaticText& text = caches.houseNumber(object.House, font);
        const QSizeF size = text.size();
        if (size.width() > building.width() + 2)
            continue;
        QPointF centre = frame.transform.toPixel(object.X, object.Y);
        if (frame.buildingLift > 0)
            centre += frame.roofOffset(object);
        const QRectF box = centredBox(centre, size);
        if (placer.tryPlace(box))
            out.push_back({text, box});
    }
}

void drawGlyphs(QPainter& painter, QPointF baseline, const QList<QGlyphRun>& glyphs)
{
    for (const QGlyphRun& run : glyphs)
        painter.drawGlyphRun(baseline, run);
}

// The halo is the text itself drawn around its place in white: the shapes
// are made once, so the five copies cost only their drawing.
void drawHaloText(QPainter& painter, QPointF baseline, const QList<QGlyphRun>& glyphs, const QColor& color)
{
    painter.setPen(MapStyle::haloColor());
    for (const QPointF shift : {QPointF(-1, 0), QPointF(1, 0), QPointF(0, -1), QPointF(0, 1)})
        drawGlyphs(painter, baseline + shift, glyphs);
    painter.setPen(color);
    drawGlyphs(painter, baseline, glyphs);
}

void makePictures(const std::vector<TextItem>& items, LabelCaches& caches)
{
    for (const TextItem& item : items)
        caches.texts(item.font).picture(item.text, item.angle, item.color);
}

void drawTexts(QPainter& painter, const std::vector<TextItem>& items, LabelCaches& caches)
{
    const bool pictures = namesDrawnAsPictures(painter);
    for (const TextItem& item : items) {
        ShapedTexts& texts = caches.texts(item.font);
        if (pictures) {
            const ShapedTexts::Picture& picture = texts.picture(item.text, item.angle, item.color);
            painter.drawImage(item.centre.toPoint() + picture.offset, picture.image);
            continue;
        }
        const ShapedTexts::Shape& shape = texts.shape(item.text);
        const QPointF baseline(-shape.width / 2, texts.baselineDrop());
        const QTransform kept = painter.transform();
        painter.translate(item.centre);
        if (item.angle != 0)
            painter.rotate(item.angle);
        drawHaloText(painter, baseline, shape.glyphs, item.color);
        painter.setTransform(kept);
    }
}

void drawSymbol(QPainter& painter, std::int32_t type, const QRectF& box)
{
    const QRectF inner = box.adjusted(1, 1, -1, -1);
    if (type == otStop) {
        painter.setPen(QPen(Qt::white, 1));
        painter.setBrush(QColor(0x1f, 0x5f, 0xb4));
        painter.drawRoundedRect(inner, 2, 2);
        painter.setBrush(Qt::white);
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(inner.center(), inner.width() / 5, inner.width() / 5);
    } else if (type == otRoadSign) {
        painter.setPen(QPen(QColor(0xc0, 0x20, 0x20), 2));
        painter.setBrush(Qt::white);
        painter.drawPolygon(QPolygonF({QPointF(inner.center().x(), inner.top()), inner.bottomRight(), inner.bottomLeft()}));
    } else {
        painter.setPen(QPen(Qt::white, 1.5));
        painter.setBrush(QColor(0xd0, 0x30, 0x30));
        painter.drawEllipse(inner);
        painter.setBrush(Qt::white);
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(inner.center(), inner.width() / 6, inner.width() / 6);
    }
}

// The symbols of objects without an icon, drawn once and then copied: a
// whole-city frame may show a thousand stops.
const QImage& symbolImage(std::int32_t type)
{
    static std::array<QImage, 10> symbols;
    QImage& symbol = symbols[static_cast<std::size_t>(std::clamp(type, 0, 9))];
    if (symbol.isNull()) {
        symbol = QImage(kFallbackIconSize, kFallbackIconSize, QImage::Format_ARGB32_Premultiplied);
        symbol.fill(Qt::transparent);
        QPainter painter(&symbol);
        painter.setRenderHint(QPainter::Antialiasing);
        drawSymbol(painter, type, QRectF(0, 0, kFallbackIconSize, kFallbackIconSize));
    }
    return symbol;
}

struct IconAt {
    QPointF topLeft;
    const QImage* image;
};

// The icons of the points and then of the labels, each with the image it
// shows; the symbols are drawn here, on this thread, the first time one is needed.
std::vector<IconAt> iconImages(const PlacedLabels& placed)
{
    std::vector<IconAt> icons;
    icons.reserve(placed.points.size() + placed.labels.size());
    for (const std::vector<IconItem>* items : {&placed.points, &placed.labels})
        for (const IconItem& item : *items)
            icons.push_back({item.box.topLeft(), item.image.isNull() ? &symbolImage(item.type) : &item.image});
    return icons;
}

void layIcons(PixelWriter& pixels, const std::vector<IconAt>& icons)
{
    for (const IconAt& icon : icons)
        pixels.blendImage(icon.topLeft, *icon.image);
}

// Straight into the frame's pixels when all of them can go so; many of
// them, as a city seen whole shows thousands of stops and signs, in the
// upper and the lower half of the frame on two threads.
void drawIcons(QPainter& painter, const QRectF& target, const PlacedLabels& placed, IconThreads threads)
{
    const std::vector<IconAt> icons = iconImages(placed);
    PixelWriter pixels(painter, target);
    const bool direct = pixels.direct() && std::all_of(icons.begin(), icons.end(), [](const IconAt& icon) {
                            return icon.image->format() == QImage::Format_ARGB32_Premultiplied;
                        });
    if (!direct) {
        for (const IconAt& icon : icons)
            painter.drawImage(icon.topLeft, *icon.image);
        return;
    }
    if (threads == IconThreads::One || icons.size() < kIconsForASecondThread) {
        layIcons(pixels, icons);
        return;
    }
    const double middle = std::floor(target.top() + target.height() / 2);
    PixelWriter upper(painter, QRectF(QPointF(target.left(), target.top()), QPointF(target.right(), middle)));
    PixelWriter lower(painter, QRectF(QPointF(target.left(), middle), target.bottomRight()));
    std::future<void> lowerHalf = FrameWorkers::shared().run([&] { layIcons(lower, icons); });
    layIcons(upper, icons);
    lowerHalf.get();
}

} // namespace

const QStaticText& LabelCaches::houseNumber(const QString& text, const QFont& font)
{
    if (font != houseNumberFont_ || static_cast<std::size_t>(houseNumbers_.size()) > kHouseNumberCacheLimit) {
        houseNumbers_.clear();
        houseNumberFont_ = font;
    }
    auto found = houseNumbers_.find(text);
    if (found == houseNumbers_.end()) {
        QStaticText laidOut(text);
        laidOut.setTextFormat(Qt::PlainText);
        laidOut.setPerformanceHint(QStaticText::AggressiveCaching);
        laidOut.prepare(QTransform(), font);
        found = houseNumbers_.insert(text, laidOut);
    }
    return *found;
}

double ShapedTexts::width(const QString& text)
{
    auto found = widths_.find(text);
    if (found != widths_.end())
        return *found;
    if (widths_.size() > kMeasuredTextsLimit)
        widths_.clear();
    return *widths_.insert(text, metrics_.horizontalAdvance(text));
}

const ShapedTexts::Shape& ShapedTexts::shape(const QString& text)
{
    auto found = shapes_.find(text);
    if (found != shapes_.end())
        return *found;
    if (shapes_.size() > kShapedTextsLimit)
        shapes_.clear();
    Shape shape;
    shape.width = metrics_.horizontalAdvance(text);
    QTextLayout layout(text, font_);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    // The layout puts the top of the line at the origin; drawing wants the baseline there.
    const QPointF lift(0, -line.ascent());
    for (QGlyphRun run : layout.glyphRuns()) {
        QList<QPointF> positions = run.positions();
        for (QPointF& position : positions)
            position += lift;
        run.setPositions(positions);
        shape.glyphs.append(run);
    }
    return *shapes_.emplace(text, std::move(shape));
}

const ShapedTexts::Picture& ShapedTexts::picture(const QString& text, double angle, const QColor& color)
{
    const int steps = static_cast<int>(std::lround(angle * kPictureAngleSteps));
    std::vector<Picture>& kept = pictures_[text];
    const auto found = std::find_if(kept.begin(), kept.end(), [&](const Picture& picture) {
        return picture.angle == steps && picture.color == color.rgba();
    });
    if (found != kept.end())
        return *found;
    if (pictureBytes_ > kPictureBytesLimit) {
        pictures_.clear();
        pictureBytes_ = 0;
    }
    const Shape& shaped = shape(text);
    const QPointF baseline(-shaped.width / 2, baselineDrop());
    // The letters with their halo and smoothing, and room for a slanted
    // letter's overhang; turned, the box around them.
    const double overhang = metrics_.height() / 4;
    const QRectF letters(baseline.x() - 2 - overhang, baseline.y() - metrics_.ascent() - 2,
                         shaped.width + 4 + 2 * overhang, metrics_.height() + 4);
    QTransform turn;
    turn.rotate(static_cast<double>(steps) / kPictureAngleSteps);
    const QRect box = turn.mapRect(letters).toAlignedRect();
    Picture picture{QImage(box.size(), QImage::Format_ARGB32_Premultiplied), box.topLeft(), steps, color.rgba()};
    picture.image.fill(Qt::transparent);
    {
        QPainter painter(&picture.image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.translate(-box.topLeft());
        painter.setTransform(turn, true);
        drawHaloText(painter, baseline, shaped.glyphs, color);
    }
    pictureBytes_ += picture.image.sizeInBytes();
    // The list is kept in the hash, which the clearing above may have emptied.
    std::vector<Picture>& list = pictures_[text];
    list.push_back(std::move(picture));
    return list.back();
}

ShapedTexts& LabelCaches::texts(const QFont& font)
{
    // The most recently used font stays last, so the fonts of the frame
    // under way are never the ones dropped.
    const auto found = std::find_if(texts_.begin(), texts_.end(),
                                    [&](const std::unique_ptr<ShapedTexts>& texts) { return texts->font() == font; });
    if (found != texts_.end()) {
        std::rotate(found, found + 1, texts_.end());
        return *texts_.back();
    }
    if (texts_.size() >= kShapedFontsLimit)
        texts_.erase(texts_.begin());
    texts_.push_back(std::make_unique<ShapedTexts>(font));
    return *texts_.back();
}

const QImage& LabelCaches::icon(const QImage& source)
{
    auto found = icons_.find(source.cacheKey());
    if (found != icons_.end())
        return *found;
    QImage icon = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (!source.hasAlphaChannel() && source.height() > 0) {
        const QRgb background = source.pixel(0, source.height() - 1);
        QImage mask = source.createMaskFromColor(background, Qt::MaskOutColor);
        icon.setAlphaChannel(mask.convertToFormat(QImage::Format_Grayscale8));
    }
    return *icons_.insert(source.cacheKey(), icon);
}

PlacedLabels placeLabels(const RenderFrame& frame, LabelCaches& caches)
{
    LabelPlacer placer(frame.pixels);
    PlacedLabels placed;
    placeIcons(frame, otLabel, placer, caches, placed.labels);
    placeIcons(frame, otStop, placer, caches, placed.points);
    placeIcons(frame, otRoadSign, placer, caches, placed.points);
    placeAreaNames(frame, otDistrict, placer, caches, placed.districtNames);
    placeAreaNames(frame, otDistrict2, placer, caches, placed.districtNames);
    placeStreetNames(frame, placer, caches, placed.streetNames);
    placeAreaNames(frame, otWater, placer, caches, placed.areaNames);
    placeAreaNames(frame, otMicrodistrict, placer, caches, placed.areaNames);
    placeHouseNumbers(frame, placer, caches, placed.numbers);
    return placed;
}

bool namesDrawnAsPictures(const QPainter& painter)
{
    // Into a frame drawn at its own size the names go as pictures made once;
    // scaled (a preview, a print) they are drawn as glyphs, sharp at any size.
    return painter.deviceTransform().type() <= QTransform::TxTranslate;
}

void makeNamePictures(const PlacedLabels& placed, LabelCaches& caches)
{
    makePictures(placed.areaNames, caches);
    makePictures(placed.streetNames, caches);
    makePictures(placed.districtNames, caches);
}

void drawLabels(RenderFrame& frame, const PlacedLabels& placed, LabelCaches& caches, IconThreads icons)
{
    QPainter& painter = frame.painter;
    painter.setFont(MapStyle::houseNumberFont(frame.scene.options.NumberDomSizeFont));
    painter.setPen(MapStyle::houseNumberColor());
    for (const NumberItem& number : placed.numbers)
        painter.drawStaticText(number.box.topLeft(), number.text);
    drawTexts(painter, placed.areaNames, caches);
    drawTexts(painter, placed.streetNames, caches);
    drawTexts(painter, placed.districtNames, caches);
    drawIcons(painter, frame.pixels, placed, icons);
}
