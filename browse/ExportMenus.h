// The menu items that save what the user found for other programs: the
// firm list and a firm's sheet from the firm list's pop-up menu, the diary
// from it on the diary page, the bookmarks from the bookmark tabs' menu.
// Each file dialog starts in the folder its kind of file was last saved to.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class MapEngine;
class QAction;
class QMenu;
class QWidget;
class TBookmarks;
class TDM;
class THTMListBox;
class TIDList;
struct ExportFirm;

inline constexpr const char* kSaveListCaption = "Сохранить список…";
inline constexpr const char* kPrintCardCaption = "Печать карточки…";
inline constexpr const char* kSaveCardCaption = "Сохранить карточку в PDF…";
inline constexpr const char* kSaveDiaryCaption = "Сохранить дневник…";
inline constexpr const char* kSaveBookmarksCaption = "Сохранить закладки…";

struct TExportControls {
    QWidget* window = nullptr; // the dialogs' parent
    QMenu* pmFirms = nullptr;
    QMenu* pmBookmarks = nullptr;
    THTMListBox* lbFirms = nullptr;
    TIDList* IDList = nullptr;
    TDM* DataModule = nullptr;
    MapEngine* DataMap = nullptr;
    std::function<int()> ActivePage;
    std::function<TBookmarks*()> Bookmarks;
    std::string diaryNotesPrefix;
    std::string diaryObjectsPrefix;
};

// The folder a kind of file was last saved to; the home folder at first.
QString LastExportFolder(const QString& kind);
void RememberExportFolder(const QString& kind, const QString& filePath);

// The pages of the firm list whose lines are firms: categories,
// favourites, search results, a building's firms.
bool IsFirmListPage(int page);

class ExportMenus : public QObject {
    Q_OBJECT
public:
    ExportMenus(TExportControls controls, QObject* parent = nullptr);

    QAction* NSaveList = nullptr;
    QAction* NPrintCard = nullptr;
    QAction* NSaveCardPdf = nullptr;
    QAction* NSaveDiary = nullptr;
    QAction* NSaveBookmarks = nullptr;

    void SaveList();
    void PrintCard();
    void SaveCardPdf();
    void SaveDiary();
    void SaveBookmarks();

    // The save dialog: caption, starting file path, filters; the chosen
    // path (empty when cancelled) and the chosen filter. A QFileDialog
    // unless set.
    std::function<QString(const QString& caption, const QString& start, const QString& filters, QString& filter)>
        AskFileName;
    // Tells a failure or what could not be written; a message box unless set.
    std::function<void(const QString&)> ShowMessage;

private:
    void pmFirmsPopup();
    // The firms of the list's lines, as many as the list has lines.
    bool listIsFirms() const;
    std::vector<int> listedFirms() const;
    int firmUnderCursor() const;
    QString askPath(const QString& kind, const QString& caption, const QString& fileName, const QString& filters,
                    QString& filter);
    void report(const QString& text) const;

    TExportControls c_;
};
