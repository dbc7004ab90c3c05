#include "ExportMenus.h"

#include "Bookmarks.h"
#include "Buildings.h"
#include "Datamodule.h"
#include "Diary.h"
#include "DiaryCalendar.h"
#include "FirmListFiles.h"
#include "FirmSheet.h"
#include "GeoReference.h"
#include "MapEngine.h"
#include "Minireg.h"
#include "PlaceFiles.h"
#include "SaveFile.h"
#include "THTMListBox.h"
#include "Uidlist.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>

namespace {

const std::string kFoldersKey = "Software\\Varindel TLX Company\\ExportFolders\\";
constexpr int kDiaryPage = 5;

const QString kCsvFilter = QStringLiteral("Таблица CSV (*.csv)");
const QString kVCardFilter = QStringLiteral("Визитные карточки vCard (*.vcf)");
const QString kGpxFilter = QStringLiteral("Путевые точки GPX (*.gpx)");
const QString kKmlFilter = QStringLiteral("Метки KML (*.kml)");

QString withSuffix(QString path, const QString& suffix)
{
    if (QFileInfo(path).suffix().compare(suffix, Qt::CaseInsensitive) != 0)
        path += QLatin1Char('.') + suffix;
    return path;
}

QString fileDialog(QWidget* parent, const QString& caption, const QString& start, const QString& filters, QString& filter)
{
    return QFileDialog::getSaveFileName(parent, caption, start, filters, &filter);
}

QString safeFileName(QString name)
{
    static const QRegularExpression forbidden(QStringLiteral("[\\\\/:*?\"<>|\r\n]+"));
    name.replace(forbidden, QStringLiteral(" "));
    name = name.simplified();
    return name.isEmpty() ? QStringLiteral("Фирма") : name.left(80);
}

} // namespace

QString LastExportFolder(const QString& kind)
{
    std::string folder;
    if (RegGetString(HKEY_CURRENT_USER, kFoldersKey + kind.toStdString(), folder) &&
        QFileInfo(QString::fromStdString(folder)).isDir())
        return QString::fromStdString(folder);
    return QDir::homePath();
}

void RememberExportFolder(const QString& kind, const QString& filePath)
{
    RegSetString(HKEY_CURRENT_USER, kFoldersKey + kind.toStdString(), QFileInfo(filePath).absolutePath().toStdString());
}

bool IsFirmListPage(int page) { return page == 0 || page == 1 || page == 2 || page == 4; }

ExportMenus::ExportMenus(TExportControls controls, QObject* parent) : QObject(parent), c_(std::move(controls))
{
    const auto item = [this](QMenu* menu, const char* name, const char* caption, void (ExportMenus::*slot)()) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    if (c_.pmFirms) {
        c_.pmFirms->addSeparator();
        NSaveList = item(c_.pmFirms, "NSaveList", kSaveListCaption, &ExportMenus::SaveList);
        NPrintCard = item(c_.pmFirms, "NPrintCard", kPrintCardCaption, &ExportMenus::PrintCard);
        NSaveCardPdf = item(c_.pmFirms, "NSaveCardPdf", kSaveCardCaption, &ExportMenus::SaveCardPdf);
        NSaveDiary = item(c_.pmFirms, "NSaveDiary", kSaveDiaryCaption, &ExportMenus::SaveDiary);
        connect(c_.pmFirms, &QMenu::aboutToShow, this, &ExportMenus::pmFirmsPopup);
    }
    if (c_.pmBookmarks)
        NSaveBookmarks = item(c_.pmBookmarks, "NSaveBookmarks", kSaveBookmarksCaption, &ExportMenus::SaveBookmarks);
    AskFileName = [this](const QString& caption, const QString& start, const QString& filters, QString& filter) {
        return fileDialog(c_.window, caption, start, filters, filter);
    };
    ShowMessage = [this](const QString& text) { QMessageBox::warning(c_.window, QStringLiteral("Вариндел"), text); };
}

void ExportMenus::pmFirmsPopup()
{
    const bool firms = listIsFirms();
    NSaveList->setVisible(firms);
    const bool card = firms && firmUnderCursor() > 0;
    NPrintCard->setVisible(card);
    NSaveCardPdf->setVisible(card);
    NSaveDiary->setVisible(c_.ActivePage && c_.ActivePage() == kDiaryPage);
}

bool ExportMenus::listIsFirms() const
{
    if (!c_.ActivePage || !IsFirmListPage(c_.ActivePage()) || !c_.IDList || !c_.lbFirms)
        return false;
    return !c_.IDList->IDs.empty() && static_cast<int>(c_.IDList->IDs.size()) == c_.lbFirms->Count();
}

std::vector<int> ExportMenus::listedFirms() const
{
    if (!listIsFirms())
        return {};
    return {c_.IDList->IDs.begin(), c_.IDList->IDs.end()};
}

int ExportMenus::firmUnderCursor() const
{
    const int line = c_.lbFirms ? c_.lbFirms->ItemIndex() : -1;
    if (!listIsFirms() || line < 0 || line >= static_cast<int>(c_.IDList->IDs.size()))
        return 0;
    return c_.IDList->IDs[static_cast<std::size_t>(line)];
}

QString ExportMenus::askPath(const QString& kind, const QString& caption, const QString& fileName,
                             const QString& filters, QString& filter)
{
    QString path = AskFileName(caption, LastExportFolder(kind) + QLatin1Char('/') + fileName, filters, filter);
    if (!path.isEmpty())
        RememberExportFolder(kind, path);
    return path;
}

void ExportMenus::report(const QString& text) const
{
    if (ShowMessage)
        ShowMessage(text);
}

void ExportMenus::SaveList()
{
    const std::vector<int> ids = listedFirms();
    if (ids.empty())
        return;
    QString filter = kCsvFilter;
    QString path = askPath(QStringLiteral("List"), QString::fromUtf8(kSaveListCaption).chopped(1), QStringLiteral("Список.csv"),
                           kCsvFilter + QStringLiteral(";;") + kVCardFilter, filter);
    if (path.isEmpty())
        return;
    const bool vcard = filter == kVCardFilter || QFileInfo(path).suffix().compare(QStringLiteral("vcf"), Qt::CaseInsensitive) == 0;
    path = withSuffix(path, vcard ? QStringLiteral("vcf") : QStringLiteral("csv"));
    const std::vector<ExportFirm> firms = ReadExportFirms(c_.DataModule->Con, ids, c_.DataMap->model());
    const std::optional<GeoReference> reference = vcard ? ReadGeoReference(c_.DataModule->qContent) : std::nullopt;
    const Status written = WriteWholeFile(path, vcard ? FirmsVCard(firms, reference) : FirmsCsv(firms));
    if (!written)
        report(written.error());
    else if (vcard && !reference)
        report(QStringLiteral("Карточки сохранены без координат. ") + QString::fromUtf8(kNoGeoReference));
}

void ExportMenus::PrintCard()
{
    const int id = firmUnderCursor();
    const std::vector<ExportFirm> firms = ReadExportFirms(c_.DataModule->Con, {id}, c_.DataMap->model());
    if (firms.empty())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(firms.front().name);
    QPrintDialog dialog(&printer, c_.window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    PaintFirmSheet(printer, firms.front(), *c_.DataMap);
}

void ExportMenus::SaveCardPdf()
{
    const int id = firmUnderCursor();
    const std::vector<ExportFirm> firms = ReadExportFirms(c_.DataModule->Con, {id}, c_.DataMap->model());
    if (firms.empty())
        return;
    const QString pdfFilter = QStringLiteral("Документ PDF (*.pdf)");
    QString filter = pdfFilter;
    QString path = askPath(QStringLiteral("Card"), QString::fromUtf8(kSaveCardCaption).chopped(1),
                           safeFileName(firms.front().name) + QStringLiteral(".pdf"), pdfFilter, filter);
    if (path.isEmpty())
        return;
    const Status written = WriteFirmSheetPdf(withSuffix(path, QStringLiteral("pdf")), firms.front(), *c_.DataMap);
    if (!written)
        report(written.error());
}

void ExportMenus::SaveDiary()
{
    QString filter = QStringLiteral("Календарь iCalendar (*.ics)");
    QString path = askPath(QStringLiteral("Diary"), QString::fromUtf8(kSaveDiaryCaption).chopped(1),
                           QStringLiteral("Дневник.ics"), filter, filter);
    if (path.isEmpty())
        return;
    std::vector<DiaryDay> days;
    const MapModel& map = c_.DataMap->model();
    for (const StoredDiaryDay& stored : ReadDiaryDays(c_.diaryNotesPrefix, c_.diaryObjectsPrefix)) {
        DiaryDay day{stored.day, stored.note, {}};
        for (const QString& line : stored.lines) {
            const std::optional<std::int32_t> object = IsDiaryBuildingLine(line) ? HouseLineObject(line) : std::nullopt;
            const int position = object ? map.FindObjectID(*object) : -1;
            if (position >= 0)
                day.buildings << AddressLine(map.object(position).Street, map.object(position).House);
        }
        days.push_back(std::move(day));
    }
    const Status written = WriteWholeFile(withSuffix(path, QStringLiteral("ics")),
                                          DiaryICalendar(days, QDateTime::currentDateTimeUtc()));
    if (!written)
        report(written.error());
}

void ExportMenus::SaveBookmarks()
{
    TBookmarks* bookmarks = c_.Bookmarks ? c_.Bookmarks() : nullptr;
    if (!bookmarks)
        return;
    const std::optional<GeoReference> reference = ReadGeoReference(c_.DataModule->qContent);
    if (!reference) {
        report(QString::fromUtf8(kNoGeoReference));
        return;
    }
    QString filter = kGpxFilter;
    QString path = askPath(QStringLiteral("Bookmarks"), QString::fromUtf8(kSaveBookmarksCaption).chopped(1),
                           QStringLiteral("Закладки.gpx"), kGpxFilter + QStringLiteral(";;") + kKmlFilter, filter);
    if (path.isEmpty())
        return;
    const bool kml = filter == kKmlFilter || QFileInfo(path).suffix().compare(QStringLiteral("kml"), Qt::CaseInsensitive) == 0;
    path = withSuffix(path, kml ? QStringLiteral("kml") : QStringLiteral("gpx"));
    std::vector<MapPlace> places;
    for (const Bookmark& bookmark : bookmarks->Items())
        places.push_back({bookmark.Caption, bookmark.ObjectID});
    const PlacedOnEarth placed = PlaceOnEarth(places, c_.DataMap->model(), *reference);
    const Status written = WriteWholeFile(path, kml ? PlacesKml(placed.places, QStringLiteral("Закладки"))
                                                    : PlacesGpx(placed.places));
    if (!written)
        report(written.error());
    else if (!placed.notOnMap.isEmpty())
        report(QStringLiteral("Эти закладки не записаны, их зданий нет на карте: ") +
               placed.notOnMap.join(QStringLiteral(", ")));
}
