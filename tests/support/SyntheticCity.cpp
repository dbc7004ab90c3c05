#include "SyntheticCity.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <functional>
#include <cmath>
#include <random>

namespace {

const QStringList kStreetNames = {
    "Ленина",     "Мира",       "Советская", "Гагарина",    "Пушкина",   "Лермонтова", "Чехова",
    "Садовая",    "Школьная",   "Полевая",   "Лесная",      "Заречная",  "Молодёжная", "Набережная",
    "Строителей", "Кирова",     "Горького",  "Комсомольская", "Октябрьская", "Первомайская",
    "Победы",     "Юбилейная",  "Береговая", "Вокзальная",  "Зелёная",   "Новая",      "Рабочая",
    "Северная",   "Южная",      "Восточная", "Западная",    "Цветочная", "Солнечная",  "Трудовая",
    "Фрунзе",     "Чапаева",    "Суворова",  "Калинина",    "Маяковского", "Есенина"};

const QStringList kDistrictNames = {"Центральный район", "Ленинский район", "Октябрьский район",
                                    "Заречный район"};

// Street classes as the map marks them in a road's StyleCode.
constexpr std::uint8_t kStreet = 0;
constexpr std::uint8_t kMainStreet = 1;
constexpr std::uint8_t kAvenue = 2;

class CityBuilder {
public:
    explicit CityBuilder(const SyntheticCityOptions& options)
        : options_(options), random_(options.seed),
          side_(std::max(1, static_cast<int>(std::ceil(std::sqrt(
                                double(std::max(1, options.buildings)) /
                                (kSyntheticBuildingsPerSide * kSyntheticBuildingsPerSide))))))
    {
    }

    std::vector<TPMXMapObjectMem> build()
    {
        addBuildings();
        addRoads();
        addOtherObjects();
        return std::move(objects_);
    }

private:
    double cityWidth() const { return side_ * kSyntheticBlockPitch; }

    // Horizontal streets run west to east at the south edge of each block
    // row; vertical ones south to north at the west edge of each column.
    QString streetName(bool horizontal, int line) const
    {
        const auto round = static_cast<int>(line / kStreetNames.size());
        const QString& name = kStreetNames[line % kStreetNames.size()];
        // The names are feminine adjectives, so the kinds are feminine too.
        const QString kind = horizontal ? QStringLiteral("улица") : QStringLiteral("аллея");
        const QString base = QStringLiteral("%1 %2").arg(kind, name);
        return round == 0 ? base : QStringLiteral("%1-й %2").arg(round + 1).arg(base);
    }
    static std::uint8_t roadClass(int line) { return line % 6 == 0 ? kAvenue : line % 3 == 0 ? kMainStreet : kStreet; }

    TPMXMapObjectMem& add(std::int32_t type)
    {
        TPMXMapObjectMem& object = objects_.emplace_back();
        object.ID = static_cast<std::int32_t>(objects_.size());
        object.ObjType = type;
        return object;
    }

    static void centreOn(TPMXMapObjectMem& object)
    {
        double x = 0;
        double y = 0;
        for (const MapPoint& p : object.Geometry) {
            x += p.x;
            y += p.y;
        }
        const auto count = static_cast<double>(object.Geometry.size());
        object.X = static_cast<float>(x / count);
        object.Y = static_cast<float>(y / count);
    }

    static std::vector<MapPoint> box(double left, double bottom, double right, double top)
    {
        return {{float(left), float(bottom)}, {float(right), float(bottom)}, {float(right), float(top)},
                {float(left), float(top)}};
    }

    int floors()
    {
        const int kind = std::uniform_int_distribution<int>(0, 9)(random_);
        if (kind < 6)
            return std::uniform_int_distribution<int>(1, 5)(random_);
        if (kind < 9)
            return 9;
        return std::uniform_int_distribution<int>(12, 16)(random_);
    }

    void addBuildings()
    {
        const int perSide = kSyntheticBuildingsPerSide;
        const double cell = (kSyntheticBlockPitch - kSyntheticStreetWidth) / perSide;
        std::uniform_real_distribution<double> size(0.55 * cell, 0.85 * cell);
        std::uniform_real_distribution<double> slack(0, 1);
        int made = 0;
        for (int blockY = 0; blockY < side_ && made < options_.buildings; ++blockY)
            for (int blockX = 0; blockX < side_ && made < options_.buildings; ++blockX)
                for (int cellY = 0; cellY < perSide && made < options_.buildings; ++cellY)
                    for (int cellX = 0; cellX < perSide && made < options_.buildings; ++cellX, ++made) {
                        const double width = size(random_);
                        const double depth = size(random_);
                        const double left = blockX * kSyntheticBlockPitch + cellX * cell +
                                            slack(random_) * (cell - width);
                        const double bottom = blockY * kSyntheticBlockPitch + cellY * cell +
                                              slack(random_) * (cell - depth);
                        TPMXMapObjectMem& building = add(otBuilding);
                        building.Geometry = box(left, bottom, left + width, bottom + depth);
                        centreOn(building);
                        building.Floors = floors();
                        building.HasAddress = true;
                        building.Street = streetName(true, blockY);
                        const int along = blockX * perSide + cellX;
                        const int number = cellY % 2 == 0 ? 2 * along + 1 : 2 * along + 2;
                        building.House = cellY < 2 ? QString::number(number)
                                                   : QStringLiteral("%1к%2").arg(number).arg(cellY - 1);
                    }
    }

    void addRoads()
    {
        const int lines = 2 * (side_ + 1);
        const int total = std::max(0, options_.roadSegments);
        const int piecesPerLine = std::max(1, (total + lines - 1) / lines);
        const double length = cityWidth() + kSyntheticStreetWidth;
        const double start = -kSyntheticStreetWidth;
        int made = 0;
        for (int line = 0; line < lines && made < total; ++line) {
            const bool horizontal = line <= side_;
            const int number = horizontal ? line : line - side_ - 1;
            const double across = number * kSyntheticBlockPitch - kSyntheticStreetWidth / 2;
            for (int piece = 0; piece < piecesPerLine && made < total; ++piece, ++made) {
                const double from = start + length * piece / piecesPerLine;
                const double to = start + length * (piece + 1) / piecesPerLine;
                TPMXMapObjectMem& road = add(otRoad);
                road.Street = streetName(horizontal, number);
                road.StyleCode = roadClass(number);
                std::vector<double> stops{from};
                for (int crossing = 0; crossing <= side_; ++crossing) {
                    const double at = crossing * kSyntheticBlockPitch - kSyntheticStreetWidth / 2;
                    if (at > from && at < to)
                        stops.push_back(at);
                }
                stops.push_back(to);
                for (double along : stops)
                    road.Geometry.push_back(horizontal ? MapPoint{float(along), float(across)}
                                                       : MapPoint{float(across), float(along)});
                road.X = road.Geometry.front().x;
                road.Y = road.Geometry.front().y;
            }
        }
    }

    void addArea(std::int32_t type, const QString& name, std::vector<MapPoint> ring)
    {
        TPMXMapObjectMem& area = add(type);
        area.Name = name;
        area.Geometry = std::move(ring);
        centreOn(area);
    }

    void addOtherObjects()
    {
        int budget = std::max(0, options_.otherObjects);
        const double width = cityWidth();
        const double half = width / 2;
        const double margin = kSyntheticStreetWidth;
        for (int i = 0; i < 4 && budget > 0; ++i, --budget) {
            const int column = i % 2;
            const int row = i / 2;
            addArea(otDistrict, kDistrictNames[i],
                    box(-margin + column * half, -margin + row * half, (column + 1) * half, (row + 1) * half));
        }
        for (int i = 0; i < 9 && budget > 0; ++i, --budget) {
            const double third = width / 3;
            const int column = i % 3;
            const int row = i / 3;
            addArea(otDistrict2, QStringLiteral("Квартал %1").arg(i + 1),
                    box(column * third + 5, row * third + 5, (column + 1) * third - 25, (row + 1) * third - 25));
        }
        if (budget > 0) {
            addRiver(width);
            --budget;
        }
        if (budget > 0) {
            addLake(width);
            --budget;
        }
        if (budget > 0) {
            addRailway(width);
            --budget;
        }
        budget = addMicrodistricts(budget / 3) + budget - budget / 3;
        addPoints(budget);
    }

    void addRiver(double width)
    {
        std::vector<MapPoint> bank;
        const int steps = 40;
        for (int i = 0; i <= steps; ++i) {
            const double x = -200 + (width + 400) * i / steps;
            bank.push_back({float(x), float(-90 + 25 * std::sin(i * 0.5))});
        }
        for (int i = steps; i >= 0; --i) {
            const double x = -200 + (width + 400) * i / steps;
            bank.push_back({float(x), float(-190 + 30 * std::sin(i * 0.4 + 1))});
        }
        addArea(otWater, QStringLiteral("река Светлая"), std::move(bank));
    }

    void addLake(double width)
    {
        std::vector<MapPoint> shore;
        const double radius = std::max(60.0, width / 12);
        const double centreX = width + radius + 60;
        const double centreY = width / 2;
        for (int i = 0; i < 24; ++i) {
            const double angle = i * 2 * M_PI / 24;
            const double wobble = 1 + 0.12 * std::sin(3 * angle);
            shore.push_back({float(centreX + radius * wobble * std::cos(angle)),
                             float(centreY + radius * 0.7 * wobble * std::sin(angle))});
        }
        addArea(otWater, QStringLiteral("озеро Круглое"), std::move(shore));
    }

    void addRailway(double width)
    {
        TPMXMapObjectMem& railway = add(otRailway);
        railway.Name = QStringLiteral("Железная дорога");
        const float north = float(width + 40);
        railway.Geometry = {{-300, north}, {float(width * 0.5), north + 10}, {float(width + 300), north - 30}};
        railway.X = railway.Geometry.front().x;
        railway.Y = railway.Geometry.front().y;
    }

    // Groups of four by four blocks; returns the budget left over.
    int addMicrodistricts(int budget)
    {
        const int groups = (side_ + 3) / 4;
        const double span = 4 * kSyntheticBlockPitch;
        for (int i = 0; i < groups * groups && budget > 0; ++i, --budget) {
            const int column = i % groups;
            const int row = i / groups;
            const double left = column * span;
            const double bottom = row * span;
            const double right = std::min(left + span, cityWidth()) - kSyntheticStreetWidth;
            const double top = std::min(bottom + span, cityWidth()) - kSyntheticStreetWidth;
            addArea(otMicrodistrict, QStringLiteral("Микрорайон %1").arg(i + 1), box(left, bottom, right, top));
        }
        return budget;
    }

    void addPoints(int count)
    {
        std::uniform_int_distribution<int> crossing(0, side_);
        for (int i = 0; i < count; ++i) {
            const bool stop = i % 5 < 3;
            TPMXMapObjectMem& point = add(stop ? otStop : otRoadSign);
            const int column = crossing(random_);
            const int row = crossing(random_);
            // Beside the crossing, on the pavement, not on the road itself.
            point.X = float(column * kSyntheticBlockPitch - kSyntheticStreetWidth / 2 + (stop ? 14 : -14));
            point.Y = float(row * kSyntheticBlockPitch - kSyntheticStreetWidth / 2 + 14);
            point.Name = stop ? QStringLiteral("Остановка «%1»").arg(streetName(true, row)) : QString();
            point.Zametka = TPMXMapZametka{point.X, point.Y, QStringLiteral("ICONS.LIB"),
                                           stop ? QStringLiteral("STOP.BMP") : QStringLiteral("SIGN.BMP")};
        }
    }

    SyntheticCityOptions options_;
    std::mt19937 random_;
    int side_; // blocks along each side of the city
    std::vector<TPMXMapObjectMem> objects_;
};

QImage drawIcon(const std::function<void(QPainter&)>& draw)
{
    QImage image(20, 20, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return image;
}

} // namespace

std::vector<TPMXMapObjectMem> syntheticCityObjects(const SyntheticCityOptions& options)
{
    return CityBuilder(options).build();
}

MapModel syntheticCity(const SyntheticCityOptions& options)
{
    MapModel model;
    model.assign(syntheticCityObjects(options));
    return model;
}

IconLibrary syntheticIcons()
{
    IconLibrary icons;
    const QString library = QStringLiteral("ICONS.LIB");
    icons.addIcon(library, QStringLiteral("OK.BMP"), drawIcon([](QPainter& p) {
                      p.setBrush(QColor(30, 150, 60));
                      p.setPen(QPen(Qt::white, 1.5));
                      p.drawEllipse(QRectF(1, 1, 18, 18));
                      p.setPen(QPen(Qt::white, 2.5));
                      p.drawPolyline(QPolygonF({QPointF(5, 10), QPointF(9, 14), QPointF(15, 6)}));
                  }));
    icons.addIcon(library, QStringLiteral("STOP.BMP"), drawIcon([](QPainter& p) {
                      p.setBrush(QColor(20, 90, 200));
                      p.setPen(QPen(Qt::white, 1.5));
                      p.drawRoundedRect(QRectF(1, 1, 18, 18), 3, 3);
                      p.setPen(Qt::white);
                      p.setFont(QFont(QStringLiteral("DejaVu Sans"), 9, QFont::Bold));
                      p.drawText(QRectF(0, 0, 20, 20), Qt::AlignCenter, QStringLiteral("А"));
                  }));
    icons.addIcon(library, QStringLiteral("SIGN.BMP"), drawIcon([](QPainter& p) {
                      p.setBrush(Qt::white);
                      p.setPen(QPen(QColor(200, 30, 30), 2.5));
                      p.drawPolygon(QPolygonF({QPointF(10, 2), QPointF(18.5, 17), QPointF(1.5, 17)}));
                  }));
    return icons;
}

TPMXMapObjectMem squareObject(std::int32_t id, std::int32_t type, double x, double y, double side)
{
    TPMXMapObjectMem object;
    object.ID = id;
    object.ObjType = type;
    object.X = static_cast<float>(x);
    object.Y = static_cast<float>(y);
    const auto h = static_cast<float>(side / 2);
    object.Geometry = {{object.X - h, object.Y - h}, {object.X + h, object.Y - h}, {object.X + h, object.Y + h},
                       {object.X - h, object.Y + h}};
    return object;
}

TPMXMapObjectMem lineObject(std::int32_t id, std::int32_t type, std::vector<MapPoint> points)
{
    TPMXMapObjectMem object;
    object.ID = id;
    object.ObjType = type;
    object.X = points.front().x;
    object.Y = points.front().y;
    object.Geometry = std::move(points);
    return object;
}

TPMXMapObjectMem roadObject(std::int32_t id, std::uint8_t roadClass, std::vector<MapPoint> points)
{
    TPMXMapObjectMem object = lineObject(id, otRoad, std::move(points));
    object.StyleCode = roadClass;
    return object;
}

TPMXMapObjectMem labelObject(std::int32_t id, double x, double y)
{
    TPMXMapObjectMem object;
    object.ID = id;
    object.ObjType = otLabel;
    object.X = static_cast<float>(x);
    object.Y = static_cast<float>(y);
    return object;
}
