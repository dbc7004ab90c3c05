#include "Bookmarks.h"

#include "Minireg.h"
#include "TDataMap.h"

#include <QMouseEvent>
#include <QTabBar>

namespace {

std::string numbered(const std::string& prefix, std::size_t n) {
    return prefix + std::to_string(n);
}

// Changes of the current tab that the program makes are no jumps.
class QuietChange {
public:
    explicit QuietChange(bool& quiet) : quiet_(quiet), was_(quiet) { quiet_ = true; }
    ~QuietChange() { quiet_ = was_; }

private:
    bool& quiet_;
    bool was_;
};

} // namespace

std::vector<Bookmark> LoadBookmarks(const std::string& valuesPrefix, const std::string& namesPrefix) {
    std::vector<Bookmark> bookmarks;
    std::uint32_t objectId = 0;
    for (std::size_t n = 1; RegGetDWORD(HKEY_CURRENT_USER, numbered(valuesPrefix, n), objectId); ++n) {
        std::string caption;
        if (RegGetString(HKEY_CURRENT_USER, numbered(namesPrefix, n), caption))
            bookmarks.push_back({QString::fromStdString(caption), static_cast<std::int32_t>(objectId)});
    }
    return bookmarks;
}

void SaveBookmarks(const std::vector<Bookmark>& bookmarks, const std::string& valuesPrefix,
                   const std::string& namesPrefix) {
    RegDelKey(HKEY_CURRENT_USER, valuesPrefix);
    RegDelKey(HKEY_CURRENT_USER, namesPrefix);
    for (std::size_t i = 0; i < bookmarks.size(); ++i) {
        RegSetString(HKEY_CURRENT_USER, numbered(namesPrefix, i + 1), bookmarks[i].Caption.toStdString());
        RegSetDWORD(HKEY_CURRENT_USER, numbered(valuesPrefix, i + 1),
                    static_cast<std::uint32_t>(bookmarks[i].ObjectID));
    }
}

TBookmarks::TBookmarks(QTabBar& pcBookmarks, TDataMap& map, std::string valuesPrefix, std::string namesPrefix)
    : QObject(&pcBookmarks), tabs_(&pcBookmarks), map_(map), valuesPrefix_(std::move(valuesPrefix)),
      namesPrefix_(std::move(namesPrefix)) {
    const QuietChange quiet(quiet_);
    while (tabs_->count() > 0)
        tabs_->removeTab(0);
    tabs_->addTab(kWholeMapCaption);
    tabs_->setTabData(0, -1);
    for (const Bookmark& bookmark : LoadBookmarks(valuesPrefix_, namesPrefix_))
        addTab(bookmark.Caption, bookmark.ObjectID);
    tabs_->setCurrentIndex(0);
    tabs_->installEventFilter(this);
    connect(tabs_.data(), &QTabBar::currentChanged, this, &TBookmarks::selectionChanged);
}

TBookmarks::~TBookmarks() {
    Save();
}

void TBookmarks::Save() const {
    SaveBookmarks(items_, valuesPrefix_, namesPrefix_);
}

void TBookmarks::addTab(const QString& caption, std::int32_t objectId) {
    items_.push_back({caption, objectId});
    const int index = tabs_->addTab(caption);
    tabs_->setTabData(index, objectId);
}

bool TBookmarks::AddBookmark() {
    const TPMXMapObjectMem& object = map_.CurrentObject();
    if (object.ObjType != otBuilding || !tabs_)
        return false;
    const QuietChange quiet(quiet_);
    addTab(object.Street + ", " + object.House, object.ID);
    return true;
}

bool TBookmarks::DeleteBookmark() {
    if (selected_ <= 0 || !tabs_ || selected_ >= tabs_->count())
        return false;
    const QuietChange quiet(quiet_);
    items_.erase(items_.begin() + (selected_ - 1));
    tabs_->removeTab(selected_);
    selected_ = tabs_->currentIndex();
    return true;
}

// A press picks the tab under the pointer (none between and after the tabs).
// A left press goes on to the tab bar, which makes a different tab current
// and so jumps; other buttons select quietly.
bool TBookmarks::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tabs_ && event->type() == QEvent::MouseButtonPress) {
        const auto* press = static_cast<QMouseEvent*>(event);
        selected_ = tabs_->tabAt(press->position().toPoint());
        if (press->button() != Qt::LeftButton && selected_ >= 0) {
            const QuietChange quiet(quiet_);
            tabs_->setCurrentIndex(selected_);
        }
    }
    return QObject::eventFilter(watched, event);
}

void TBookmarks::selectionChanged(int index) {
    selected_ = index;
    if (quiet_ || index < 0)
        return;
    showBookmark(tabs_->tabData(index).toInt());
}

void TBookmarks::showBookmark(std::int32_t objectId) {
    if (objectId < 0) {
        map_.SetScale(kWholeMapScale);
        return;
    }
    const int position = map_.FindObjectID(objectId, 0);
    if (position < 0) {
        if (OnNotFound)
            OnNotFound("Объект не найден на карте");
        return;
    }
    map_.EditObject(position);
    const TPMXMapObjectMem& object = map_.CurrentObject();
    map_.ViewXY(object.X, object.Y, kBookmarkScale);
    map_.ForceRedraw = true;
    map_.Risovan();
    map_.update();
}
