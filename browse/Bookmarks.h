// Map bookmarks: tabs above the map that jump to a building. Tab 0 is always
// "Вся карта" (the whole city); the others are kept in the per-user registry
// as numbered values prefix + 1, 2, ...: the building's object ID under the
// values prefix and the tab's caption under the names prefix.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QTabBar;
class TDataMap;

struct Bookmark {
    QString Caption;
    std::int32_t ObjectID = 0;

    bool operator==(const Bookmark&) const = default;
};

inline constexpr const char* kWholeMapCaption = "Вся карта";
// The scale "Вся карта" shows the city at.
inline constexpr double kWholeMapScale = 216;
// The scale a bookmark shows its building at.
inline constexpr double kBookmarkScale = 5000;

// Reads bookmark 1, 2, ... until the first missing object ID; a bookmark
// whose caption is missing is skipped.
std::vector<Bookmark> LoadBookmarks(const std::string& valuesPrefix, const std::string& namesPrefix);
// Deletes both keys, then writes the bookmarks renumbered from 1.
void SaveBookmarks(const std::vector<Bookmark>& bookmarks, const std::string& valuesPrefix,
                   const std::string& namesPrefix);

// The bookmark tabs over a tab bar and the map: loads the bookmarks when
// created and saves them when destroyed. A left click on a tab (or the arrow
// keys) flies to its building; any other button only selects the tab, so
// that the tab's menu acts on it without moving the map.
class TBookmarks : public QObject {
    Q_OBJECT
public:
    TBookmarks(QTabBar& pcBookmarks, TDataMap& map, std::string valuesPrefix, std::string namesPrefix);
    ~TBookmarks() override;

    // The bookmarks after "Вся карта", in tab order.
    const std::vector<Bookmark>& Items() const { return items_; }
    // The tab the last mouse press or selection picked; -1 for none.
    int SelectedIndex() const { return selected_; }

    // Adds a tab for the map's current object when it is a building; the
    // new tab is not selected. False when the object is no building.
    bool AddBookmark();
    // Removes the selected tab unless it is "Вся карта"; false when nothing
    // was removed.
    bool DeleteBookmark();
    // Writes the bookmarks to the registry now.
    void Save() const;

    // Told when a bookmark's building is no longer on the map.
    std::function<void(const QString& message)> OnNotFound;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addTab(const QString& caption, std::int32_t objectId);
    void selectionChanged(int index);
    void showBookmark(std::int32_t objectId);

    QPointer<QTabBar> tabs_;
    TDataMap& map_;
    std::string valuesPrefix_;
    std::string namesPrefix_;
    std::vector<Bookmark> items_;
    int selected_ = 0;
    bool quiet_ = false; // a change of tab made by the program, not a jump
};
