#include "PaintHooks.h"

#include "DataErrors.h"
#include "Query.h"
#include "Vdlconsts.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <cmath>

namespace {

void SwitchLayer(MapEngine& map, int type, bool on)
{
    map.SetFilterMassiv(type, on);
    map.SetFilterKateg(type, on);
}

double RoundHalfToEven(double value)
{
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction > 0.5)
        return lower + 1;
    if (fraction < 0.5)
        return lower;
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

} // namespace

void PaintLayers(MapEngine& map)
{
    const double scale = map.GetScale();
    const auto& table = scale > kLayerTablesThreshold ? VisibleObjgMinScale : VisibleObjMinScale;
    for (int type = 0; type < static_cast<int>(table.size()); ++type)
        SwitchLayer(map, type, table[static_cast<std::size_t>(type)]);
    const bool smallDetail = scale > kSmallDetailThreshold;
    SwitchLayer(map, otStop, smallDetail);
    SwitchLayer(map, otRoadSign, smallDetail);
}

int HouseNumberFontSize(double scale) { return static_cast<int>(RoundHalfToEven(scale / 500)); }

void PaintNumberDom(MapEngine& map)
{
    const double scale = map.GetScale();
    if (scale <= kSmallDetailThreshold) {
        map.SetMpNumberDom(false);
        return;
    }
    if (!map.mpNumberDom())
        map.SetMpNumberDom(true);
    map.SetmpNumberDomSizeFont(HouseNumberFontSize(scale));
}

QColor ColorFromWindowsValue(unsigned value)
{
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

QColor SelectedBuildingColor(int firmCount)
{
    return ColorFromWindowsValue(firmCount > 0 ? kBuildingWithFirmsColor : kBuildingWithoutFirmsColor);
}

QString CountFirmsSql(std::int32_t objectId)
{
    return QString("SELECT Count(ID) AS CntFirms FROM FirmsAdr WHERE Obj_ID = %1").arg(objectId);
}

TSelectedBuildingPainter::TSelectedBuildingPainter(const MapEngine& map, TQuery& qTemp,
                                                   std::function<void(const QString&)> reportError)
    : map_(map), qTemp_(qTemp), reportError_(std::move(reportError))
{
}

void TSelectedBuildingPainter::operator()(const TPMXMapObjectMem& object, QPen&, QBrush& brush)
{
    const TPMXMapObjectMem& current = map_.CurrentObject();
    if (current.ObjType != otBuilding || object.ID != current.ID)
        return;
    const std::lock_guard lock(shared_->counting);
    // An exception must not leave the painter of a frame half-way: the count
    // failing only means that the building keeps its usual colour.
    try {
        qTemp_.setSQL(CountFirmsSql(object.ID));
        qTemp_.Open();
        const int firmCount = qTemp_.FieldByName("CntFirms").AsInteger();
        qTemp_.Close();
        brush.setColor(SelectedBuildingColor(firmCount));
    } catch (const EDataError& error) {
        qTemp_.Close();
        if (!shared_->errorReported && reportError_) {
            shared_->errorReported = true;
            report(error.message());
        }
    }
}

void TSelectedBuildingPainter::report(const QString& message)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || QThread::currentThread() == application->thread()) {
        reportError_(message);
        return;
    }
    // The handler shows a message: windows belong to the application's thread.
    QMetaObject::invokeMethod(
        application, [reportError = reportError_, message] { reportError(message); }, Qt::QueuedConnection);
}

void DataMapPaintPolyLine(const TPMXMapObjectMem& object, tPmxLine& line)
{
    if (object.ObjType == otRailway)
        line.Style = 1;
}

void InstallPaintHooks(MapEngine& map, TQuery& qTemp, std::function<void(const QString&)> reportError)
{
    map.OnPaintObject = TSelectedBuildingPainter(map, qTemp, std::move(reportError));
    map.OnPaintPolyLineEvent = DataMapPaintPolyLine;
}
