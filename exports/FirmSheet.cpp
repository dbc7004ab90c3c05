#include "FirmSheet.h"

#include "MapEngine.h"
#include "MapRenderer.h"
#include "SaveFile.h"
#include "Viewport.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <cmath>

namespace {

// A map piece: 170 by 85 millimetres of the page, showing 400 metres across.
constexpr double kPieceWidthMm = 170;
constexpr double kPieceHeightMm = 85;
constexpr double kPieceWidthMetres = 400;
// The picture of a piece is drawn at this many pixels per millimetre (about 200 dpi).
constexpr double kPiecePixelsPerMm = 8;
constexpr double kMarginMm = 18;

QFont sheetFont(double points, bool bold = false)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Places blocks of the sheet one under another, turning the page when a
// block does not fit.
class SheetLayout {
public:
    SheetLayout(QPagedPaintDevice& device, QPainter& painter) : device_(device), painter_(painter)
    {
        const double dotsPerMm = device.logicalDpiY() / 25.4;
        dotsPerMm_ = dotsPerMm;
        page_ = QRectF(kMarginMm * dotsPerMm, kMarginMm * dotsPerMm, device.width() - 2 * kMarginMm * dotsPerMm,
                       device.height() - 2 * kMarginMm * dotsPerMm);
        y_ = page_.top();
    }

    double mm(double millimetres) const { return millimetres * dotsPerMm_; }
    double width() const { return page_.width(); }

    // The top of a block of this height, on a new page when this one is full.
    double place(double height)
    {
        if (y_ + height > page_.bottom() && y_ > page_.top()) {
            device_.newPage();
            y_ = page_.top();
        }
        const double top = y_;
        y_ += height;
        return top;
    }

    double textHeight(const QString& line, const QFont& font)
    {
        painter_.setFont(font);
        return painter_.boundingRect(QRectF(0, 0, page_.width(), 1e6), Qt::TextWordWrap, line).height();
    }

    // Text at the top of a block already placed.
    void textAt(double top, const QString& line, const QFont& font)
    {
        painter_.setFont(font);
        painter_.setPen(Qt::black);
        painter_.drawText(QRectF(page_.left(), top, page_.width(), textHeight(line, font)), Qt::TextWordWrap, line);
    }

    void text(const QString& line, const QFont& font, double gapAfterMm = 1)
    {
        textAt(place(textHeight(line, font) + mm(gapAfterMm)), line, font);
    }

    QRectF block(double height) { return QRectF(page_.left(), place(height), page_.width(), height); }

private:
    QPagedPaintDevice& device_;
    QPainter& painter_;
    QRectF page_;
    double dotsPerMm_ = 1;
    double y_ = 0;
};

void labelled(SheetLayout& layout, const QString& label, const QString& value)
{
    if (!value.trimmed().isEmpty())
        layout.text(label + QStringLiteral(": ") + value.trimmed(), sheetFont(10));
}

QString routesText(const QString& ofAddress, const QString& ofFirm) { return ofAddress.isEmpty() ? ofFirm : ofAddress; }

QString addressHeading(const ExportAddress& address)
{
    QString line = AddressLine(address.street, address.house);
    if (line.isEmpty())
        line = QStringLiteral("здание не найдено на карте");
    if (!address.office.isEmpty())
        line += QStringLiteral(", офис ") + address.office;
    return line;
}

void drawCard(SheetLayout& layout, QPainter& painter, const ExportFirm& firm)
{
    const QImage logo = QImage::fromData(firm.logo);
    if (!logo.isNull()) {
        const QRectF box = layout.block(layout.mm(22));
        const QSizeF size = QSizeF(logo.size()).scaled(QSizeF(layout.mm(60), layout.mm(20)), Qt::KeepAspectRatio);
        painter.drawImage(QRectF(box.topLeft(), size), logo);
    }
    layout.text(firm.name, sheetFont(16, true), 3);
    labelled(layout, QStringLiteral("Рубрики"), firm.categories.join(QStringLiteral(", ")));
    labelled(layout, QStringLiteral("Телефоны"), firm.phones);
    labelled(layout, QStringLiteral("Сайт"), firm.web);
    labelled(layout, QStringLiteral("Электронная почта"), firm.email);
    for (const ExportAddress& address : firm.addresses) {
        layout.text(QStringLiteral("Адрес: ") + addressHeading(address), sheetFont(10, true));
        labelled(layout, QStringLiteral("    Телефоны"), address.phones);
        labelled(layout, QStringLiteral("    Автобусы"), routesText(address.bus, firm.bus));
        labelled(layout, QStringLiteral("    Маршрутные такси"), routesText(address.minibus, firm.minibus));
    }
    if (firm.addresses.empty()) {
        labelled(layout, QStringLiteral("Автобусы"), firm.bus);
        labelled(layout, QStringLiteral("Маршрутные такси"), firm.minibus);
    }
    labelled(layout, QStringLiteral("Примечание"), firm.note);
}

// The piece of the map around a building, its outline drawn over in red, with
// the route the map shows, if any, so the sheet tells the way to the firm.
QImage mapPiece(const MapEngine& map, const TPMXMapObjectMem& building)
{
    const QSize pixels(static_cast<int>(kPieceWidthMm * kPiecePixelsPerMm), static_cast<int>(kPieceHeightMm * kPiecePixelsPerMm));
    Viewport view;
    view.setSize(pixels);
    view.centreOn(building.X, building.Y, pixels.width() / kPieceWidthMetres * kPixelsPerMetreUnit);
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const RenderScene live = map.scene();
    const RenderScene piece{live.model, live.icons, view, live.filters, live.options, {}, {}, {}, std::nullopt, live.attribution, live.route};
    MapRenderer renderer;
    renderer.render(piece, painter, image.rect());

    painter.setRenderHint(QPainter::Antialiasing);
    QPen mark(QColor(220, 0, 0), 5);
    painter.setPen(mark);
    if (building.Geometry.size() >= 3) {
        QPolygonF outline;
        for (const MapPoint& point : building.Geometry)
            outline << view.mapToPixel(point.x, point.y);
        painter.setBrush(QColor(220, 0, 0, 60));
        painter.drawPolygon(outline);
    }
    const QPointF centre = view.mapToPixel(building.X, building.Y);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, 40, 40);
    return image;
}

void drawScaleBar(QPainter& painter, const QRectF& piece)
{
    const double metres = ScaleBarMetres(kPieceWidthMetres);
    const double length = piece.width() * metres / kPieceWidthMetres;
    const double unit = piece.height() / kPieceHeightMm; // one millimetre
    const QRectF ground(piece.left() + 2 * unit, piece.bottom() - 9 * unit, length + 4 * unit, 7 * unit);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 220));
    painter.drawRect(ground);
    const double barY = ground.bottom() - 2 * unit;
    painter.setPen(QPen(Qt::black, 0.5 * unit));
    const double left = ground.left() + 2 * unit;
    painter.drawLine(QPointF(left, barY), QPointF(left + length, barY));
    painter.drawLine(QPointF(left, barY - unit), QPointF(left, barY));
    painter.drawLine(QPointF(left + length, barY - unit), QPointF(left + length, barY));
    painter.setFont(sheetFont(8));
    painter.drawText(QRectF(left, ground.top(), length, barY - ground.top() - unit / 2), Qt::AlignHCenter | Qt::AlignBottom,
                     DistanceText(metres));
}

void drawMapPieces(SheetLayout& layout, QPainter& painter, const ExportFirm& firm, const MapEngine& map)
{
    for (const ExportAddress& address : firm.addresses) {
        const int position = map.model().FindObjectID(address.objectId);
        if (position < 0)
            continue;
        const TPMXMapObjectMem& building = map.model().object(position);
        // The heading stays on the page of its piece.
        const QString heading = QStringLiteral("Схема проезда: ") + addressHeading(address);
        const QFont headingFont = sheetFont(10, true);
        const double headingHeight = layout.textHeight(heading, headingFont) + layout.mm(1);
        const QRectF block = layout.block(headingHeight + layout.mm(kPieceHeightMm + 4));
        layout.textAt(block.top(), heading, headingFont);
        const QRectF piece(block.left(), block.top() + headingHeight, layout.mm(kPieceWidthMm), layout.mm(kPieceHeightMm));
        painter.drawImage(piece, mapPiece(map, building));
        painter.setPen(QPen(Qt::black, layout.mm(0.2)));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(piece);
        drawScaleBar(painter, piece);
    }
}

} // namespace

double ScaleBarMetres(double pieceWidthMetres)
{
    const double most = pieceWidthMetres / 4;
    const double power = std::pow(10.0, std::floor(std::log10(most)));
    for (const double step : {5.0, 2.0, 1.0})
        if (step * power <= most)
            return step * power;
    return power;
}

QString DistanceText(double metres)
{
    if (metres >= 1000)
        return QStringLiteral("%1 км").arg(metres / 1000);
    return QStringLiteral("%1 м").arg(metres);
}

void PaintFirmSheet(QPagedPaintDevice& device, const ExportFirm& firm, const MapEngine& map)
{
    QPainter painter(&device);
    SheetLayout layout(device, painter);
    drawCard(layout, painter, firm);
    layout.block(layout.mm(4));
    drawMapPieces(layout, painter, firm, map);
}

Status WriteFirmSheetPdf(const QString& path, const ExportFirm& firm, const MapEngine& map)
{
    return WriteWholeFile(path, [&firm, &map](QIODevice& file) {
        QPdfWriter pdf(&file);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setResolution(300);
        pdf.setTitle(firm.name);
        pdf.setCreator(QStringLiteral("Вариндел"));
        PaintFirmSheet(pdf, firm, map);
        return true;
    });
}
