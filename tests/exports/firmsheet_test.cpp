// The firm sheet as PDF, read back with pdftotext.
#include "FirmSheet.h"
#include "MapEngine.h"
#include "MapStyle.h"
#include "SyntheticCity.h"
#include "TestEnvironment.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

// The first buildings of a synthetic city that have an address.
std::vector<TPMXMapObjectMem> addressedBuildings(const MapModel& map, int count)
{
    std::vector<TPMXMapObjectMem> found;
    for (int index = 0; index < map.GetCount() && static_cast<int>(found.size()) < count; ++index)
        if (map.object(index).ObjType == otBuilding && !map.object(index).Street.isEmpty())
            found.push_back(map.object(index));
    return found;
}

QByteArray pngLogo()
{
    QImage logo(120, 40, QImage::Format_RGB32);
    logo.fill(QColor(30, 120, 200));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    logo.save(&buffer, "PNG");
    return bytes;
}

QString pdfText(const QString& path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    EXPECT_TRUE(pdftotext.waitForFinished(60000));
    EXPECT_EQ(pdftotext.exitCode(), 0) << pdftotext.readAllStandardError().toStdString();
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

int pdfPages(const QString& path)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path});
    info.waitForFinished(60000);
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    const qsizetype at = text.indexOf(QStringLiteral("Pages:"));
    return at < 0 ? 0 : text.mid(at + 6).section(QLatin1Char('\n'), 0, 0).trimmed().toInt();
}

} // namespace

TEST(FirmSheet, CardAndAMapPieceForEachBuildingOnA4)
{
    MapEngine map;
    map.setModel(syntheticCity({300, 60, 20, 3}));
    const std::vector<TPMXMapObjectMem> buildings = addressedBuildings(map.model(), 2);
    ASSERT_EQ(buildings.size(), 2u);

    ExportFirm firm;
    firm.name = QStringLiteral("ООО \"Ромашка\"");
    firm.categories = {QStringLiteral("Аптеки"), QStringLiteral("Оптика")};
    firm.phones = QStringLiteral("22-33-44");
    firm.web = QStringLiteral("www.romashka.ru");
    firm.email = QStringLiteral("info@romashka.ru");
    firm.note = QStringLiteral("Круглосуточно");
    firm.logo = pngLogo();
    for (const TPMXMapObjectMem& building : buildings)
        firm.addresses.push_back({building.ID, building.Street, building.House, QStringLiteral("12"),
                                  QStringLiteral("55-66-77"), QStringLiteral("5"), QStringLiteral("3т"),
                                  MapPoint{building.X, building.Y}});

    TemporaryFolder folder;
    const QString path = QString::fromStdString(folder.file("карточка.pdf"));
    ASSERT_TRUE(WriteFirmSheetPdf(path, firm, map).ok());
    const QString text = pdfText(path).simplified();
    for (const QString& expected :
         {QStringLiteral("ООО \"Ромашка\""), QStringLiteral("Рубрики: Аптеки, Оптика"), QStringLiteral("Телефоны: 22-33-44"),
          QStringLiteral("Сайт: www.romashka.ru"), QStringLiteral("Электронная почта: info@romashka.ru"),
          QStringLiteral("Автобусы: 5"), QStringLiteral("Маршрутные такси: 3т"), QStringLiteral("Примечание: Круглосуточно"),
          QStringLiteral("Адрес: %1, %2, офис 12").arg(buildings[0].Street, buildings[0].House),
          QStringLiteral("Схема проезда: %1, %2").arg(buildings[1].Street, buildings[1].House), QStringLiteral("100 м")})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n" << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("Схема проезда")), 2);
    // Two pieces of 85 mm do not fit under the card on one A4 page.
    EXPECT_EQ(pdfPages(path), 2);
}

// Pixels of the route's colour on the first page, rendered by pdftoppm.
static int routePixelsOnFirstPage(const QString& pdf, const QString& folder)
{
    QProcess render;
    render.start(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("100"),
                                              QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                              QStringLiteral("1"), QStringLiteral("-singlefile"), pdf,
                                              folder + QStringLiteral("/page")});
    EXPECT_TRUE(render.waitForFinished(60000));
    const QImage page(folder + QStringLiteral("/page.png"));
    EXPECT_FALSE(page.isNull());
    int count = 0;
    const QColor route = MapStyle::routeColor();
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor pixel = page.pixelColor(x, y);
            count += std::abs(pixel.red() - route.red()) + std::abs(pixel.green() - route.green()) +
                         std::abs(pixel.blue() - route.blue()) < 40;
        }
    return count;
}

TEST(FirmSheet, TheRouteShownOnTheMapIsDrawnOnTheSheet)
{
    MapEngine map;
    map.setModel(syntheticCity({300, 60, 20, 3}));
    const std::vector<TPMXMapObjectMem> buildings = addressedBuildings(map.model(), 1);
    ASSERT_EQ(buildings.size(), 1u);
    const TPMXMapObjectMem& building = buildings[0];
    ExportFirm firm{.name = QStringLiteral("Фирма")};
    firm.addresses.push_back({building.ID, building.Street, building.House, {}, {}, {}, {}, MapPoint{building.X, building.Y}});

    TemporaryFolder folder;
    const QString without = QString::fromStdString(folder.file("без.pdf"));
    ASSERT_TRUE(WriteFirmSheetPdf(without, firm, map).ok());
    map.SetRoute({{building.X - 150, building.Y - 60}, {building.X, building.Y - 60}, {building.X, building.Y}});
    const QString with = QString::fromStdString(folder.file("с маршрутом.pdf"));
    ASSERT_TRUE(WriteFirmSheetPdf(with, firm, map).ok());

    const QString pictures = QString::fromStdString(folder.path());
    EXPECT_EQ(routePixelsOnFirstPage(without, pictures), 0);
    EXPECT_GT(routePixelsOnFirstPage(with, pictures), 40);
}

TEST(FirmSheet, AFailedWriteLeavesNoFile)
{
    MapEngine map;
    TemporaryFolder folder;
    const QString path = QString::fromStdString(folder.file("нет/карточка.pdf"));
    const Status written = WriteFirmSheetPdf(path, ExportFirm{.name = QStringLiteral("Фирма")}, map);
    EXPECT_FALSE(written.ok());
    EXPECT_TRUE(written.error().contains(QStringLiteral("карточка.pdf")));
    EXPECT_FALSE(QFile::exists(path));
}

TEST(FirmSheet, ScaleBarIsARoundQuarterOfThePiece)
{
    EXPECT_EQ(ScaleBarMetres(400), 100);
    EXPECT_EQ(ScaleBarMetres(1000), 200);
    EXPECT_EQ(ScaleBarMetres(30), 5);
    EXPECT_EQ(DistanceText(100), QStringLiteral("100 м"));
    EXPECT_EQ(DistanceText(2000), QStringLiteral("2 км"));
}
