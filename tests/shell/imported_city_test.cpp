// A real city in the real main window: a district of Moscow imported from
// OpenStreetMap by the edition tool, a firm found by its name on the search
// page, its card opened, its address flying the map to its building, and a
// route drawn from that building to another one through the building page.
#include "Datamodule.h"
#include "MainWindowWorld.h"
#include "TDataMap.h"
#include "THTMListBox.h"
#include "TOrvEdit.h"
#include "TfrmMain.h"
#include "Uidlist.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>

#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace {

QString MoscowExtract() {
    const QString path = QDir::cleanPath(QStringLiteral(VARINDEL_TEST_DATA_DIR "/../../../shared/osm"));
    return QDir(path).exists() ? QDir(path).filePath("moscow-ostankino.osm.gz") : QString();
}

// Replaces the world's tiny edition by the imported city, its route graph beside it.
void ImportAsTheEdition(const QString& osm) {
    ASSERT_TRUE(QFile::remove("dataomk.abs"));
    QProcess tool;
    tool.start(QString(VARINDEL_BIN_DIR) + "/varindel-edition",
               {"import", "--edition", "1", "dataomk.abs", "--osm", osm});
    ASSERT_TRUE(tool.waitForFinished(300000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    ASSERT_TRUE(QFile::exists("demoomk.graph"));
}

// The name of the first firm that has a building, and that building.
std::pair<QString, int> PlacedFirm() {
    TQuery firms(DM->Con, "qPlaced",
                 "SELECT F.Name, FA.Obj_ID FROM FIRMS F INNER JOIN FirmsAdr FA ON F.ID = FA.Firm_ID "
                 "WHERE F.TypeID = 2 ORDER BY F.ID LIMIT 1");
    firms.Open();
    if (firms.Eof())
        return {};
    return {firms.FieldByName("Name").AsString(), firms.FieldByName("Obj_ID").AsInteger()};
}

// Clicks with the mouse the first anchor of the list whose href is accepted;
// the href clicked, empty when none is.
QString ClickAnchor(THTMListBox& list, const std::function<bool(const QString&)>& accepted) {
    for (int line = 0; line < list.Count(); ++line) {
        for (int anchor = 0; anchor < list.AnchorCount(line); ++anchor) {
            list.ScrollToItem(line);
            const QPoint centre = list.AnchorRect(line, anchor).center();
            QString href = list.AnchorAtPos(centre);
            if (accepted(href)) {
                QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, centre);
                return href;
            }
        }
    }
    return {};
}

double DistanceFromViewCentre(const TDataMap& map, const TPMXMapObjectMem& object) {
    double x = map.viewSize().width() / 2.0;
    double y = map.viewSize().height() / 2.0;
    map.TransKoordToMap(x, y);
    return std::hypot(x - object.X, y - object.Y);
}

// An addressed building a few hundred metres from the given one.
int BuildingNear(const TDataMap& map, const TPMXMapObjectMem& from) {
    const MapModel& model = map.model();
    for (int position = 0; position < model.GetCount(); ++position) {
        const TPMXMapObjectMem& object = model.object(position);
        const double distance = std::hypot(object.X - from.X, object.Y - from.Y);
        if (object.ObjType == otBuilding && object.HasAddress && distance > 300 && distance < 800)
            return object.ID;
    }
    return 0;
}

class ImportedCity : public ::testing::Test {
protected:
    void TearDown() override {
        if (frmMain || DM)
            CloseTestEdition();
    }
    MainWindowWorld world;
};

} // namespace

TEST_F(ImportedCity, AFirmFoundByNameFliesTheMapToItsBuildingAndARouteLeadsToAnother) {
    const QString osm = MoscowExtract();
    if (osm.isEmpty())
        GTEST_SKIP() << "the real extracts (../shared/osm beside the project) are absent";
    ImportAsTheEdition(osm);
    OpenTestEdition();
    frmMain = new TfrmMain;
    frmMain->show();
    const auto [name, buildingId] = PlacedFirm();
    ASSERT_FALSE(name.isEmpty());

    frmMain->edName->setText(name);
    frmMain->btSearch->click();
    EXPECT_EQ(frmMain->pcTabs->currentIndex(), 2);
    ASSERT_FALSE(IDList->IDs.empty()) << name.toStdString();
    ASSERT_EQ(ClickAnchor(*frmMain->lbFirms, [](const QString& href) { return href == "Open"; }), "Open");

    const TPMXMapObjectMem& building =
        frmMain->DataMap->model().object(frmMain->DataMap->FindObjectID(buildingId));
    const double before = DistanceFromViewCentre(*frmMain->DataMap, building);
    const QString address = QString("A%1").arg(buildingId);
    ASSERT_EQ(ClickAnchor(*frmMain->lbFirms, [&](const QString& href) { return href == address; }), address)
        << frmMain->lbFirms->Items().join("\n").toStdString();
    EXPECT_EQ(frmMain->DataMap->CurrentObject().ID, buildingId);
    EXPECT_LT(DistanceFromViewCentre(*frmMain->DataMap, building), 5.0) << "before the flight " << before;

    frmMain->btBldInfo->click();
    ASSERT_EQ(ClickAnchor(*frmMain->lbBldInfo, [](const QString& href) { return href == "RouteFrom"; }),
              "RouteFrom");
    const int otherId = BuildingNear(*frmMain->DataMap, building);
    ASSERT_NE(otherId, 0);
    ASSERT_TRUE(frmMain->DataMap->EditObject(frmMain->DataMap->FindObjectID(otherId)));
    frmMain->btBldInfo->click();
    ASSERT_EQ(ClickAnchor(*frmMain->lbBldInfo, [](const QString& href) { return href == "RouteTo"; }), "RouteTo");
    EXPECT_GT(frmMain->DataMap->route().size(), 2u);
    ASSERT_GE(frmMain->lbFirms->Count(), 2);
    EXPECT_TRUE(frmMain->lbFirms->Item(0).startsWith("<b>Пешком: ")) << frmMain->lbFirms->Item(0).toStdString();
}
