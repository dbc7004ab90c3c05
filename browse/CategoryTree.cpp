#include "CategoryTree.h"

#include "Datamodule.h"
#include "TDataMap.h"
#include "Uidlist.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QStyle>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kCategoryRole = Qt::UserRole;
constexpr int kRowsPerUpperMiddle = 30;

QIcon nodeIcon() {
    QIcon icon;
    QStyle* style = QApplication::style();
    icon.addPixmap(style->standardPixmap(QStyle::SP_DirClosedIcon), QIcon::Normal);
    icon.addPixmap(style->standardPixmap(QStyle::SP_DirOpenIcon), QIcon::Selected);
    return icon;
}

// Node additions repaint the tree once, when the bracket closes.
class TreeUpdate {
public:
    explicit TreeUpdate(QTreeWidget& tree) : tree_(tree), enabled_(tree.updatesEnabled()) {
        tree_.setUpdatesEnabled(false);
    }
    ~TreeUpdate() { tree_.setUpdatesEnabled(enabled_); }
    TreeUpdate(const TreeUpdate&) = delete;
    TreeUpdate& operator=(const TreeUpdate&) = delete;

private:
    QTreeWidget& tree_;
    bool enabled_;
};

void redraw(TDataMap& map) {
    map.ForceRedraw = true;
    map.Risovan();
    map.update();
}

} // namespace

int CategoryOf(const QTreeWidgetItem* node) {
    return node ? node->data(0, kCategoryRole).toInt() : 0;
}

int UpperMiddleRows(int treeHeight) {
    return static_cast<int>(std::nearbyint(static_cast<double>(treeHeight) / kRowsPerUpperMiddle));
}

QString CategoryBuildingsSql(int categoryId) {
    return QString(
               "SELECT DISTINCT Obj_ID FROM FirmsAdr WHERE Firm_ID IN (SELECT FirmID FROM FirmsFold WHERE "
               "FoldID = %1)")
        .arg(categoryId);
}

CategoryTree::CategoryTree(CategoryTreeContext context, QObject* parent)
    : QObject(parent), c_(std::move(context)) {
    QTreeWidget* tree = c_.tvFolders;
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setIndentation(19);
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setIconSize(QSize(16, 16));
    tree->setMouseTracking(true);
    tree->viewport()->installEventFilter(this);
    connect(tree, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* node) { tvFoldersExpanding(node); });
    connect(tree, &QTreeWidget::currentItemChanged, this, [this] { tvFoldersChange(); });
}

int CategoryTree::SelectedCategory() const {
    return CategoryOf(c_.tvFolders->currentItem());
}

void CategoryTree::RefreshNullFoldersExecute() {
    QTreeWidget* tree = c_.tvFolders;
    {
        const QSignalBlocker quiet(tree);
        tree->clear();
    }
    tvFoldersExpandLevel(nullptr);
    if (tree->topLevelItemCount() > 0)
        tree->setCurrentItem(tree->topLevelItem(0));
}

void CategoryTree::tvFoldersExpanding(QTreeWidgetItem* node) {
    if (!node || node->childCount() == 0 || CategoryOf(node->child(0)) != 0)
        return;
    const QSignalBlocker quiet(c_.tvFolders);
    qDeleteAll(node->takeChildren());
    tvFoldersExpandLevel(node);
}

void CategoryTree::tvFoldersExpandLevel(QTreeWidgetItem* node) {
    TQuery& level = c_.DataModule->qGetFolder;
    level.Close();
    level.ParamByName("ParentID").setAsInteger(CategoryOf(node));
    level.Open();
    ++levelsRead_;
    TreeUpdate update(*c_.tvFolders);
    for (level.First(); !level.Eof(); level.Next())
        addNode(node, level.FieldByName("ID").AsInteger(), level.FieldByName("Name").AsString());
    level.Close();
}

void CategoryTree::addNode(QTreeWidgetItem* parent, int id, const QString& name) {
    static const QIcon icon = nodeIcon();
    auto* node = new QTreeWidgetItem(QStringList{name});
    node->setData(0, kCategoryRole, id);
    node->setIcon(0, icon);
    if (parent)
        parent->addChild(node);
    else
        c_.tvFolders->addTopLevelItem(node);
    if (hasSubcategories(id))
        node->addChild(new QTreeWidgetItem(QStringList{QString()}));
}

bool CategoryTree::hasSubcategories(int id) {
    TQuery& folders = c_.DataModule->qFolders;
    folders.Open();
    return folders.Locate("ParentID", id);
}

void CategoryTree::tvFoldersChange() {
    QTreeWidgetItem* selected = c_.tvFolders->currentItem();
    {
        TreeUpdate update(*c_.tvFolders);
        if (selected)
            scrollIntoUpperMiddle(selected);
        if (c_.ShowPage)
            c_.ShowPage(0, true);
    }
    removeLabels();
    if (selected)
        placeLabels(CategoryOf(selected));
}

void CategoryTree::scrollIntoUpperMiddle(QTreeWidgetItem* node) {
    QTreeWidgetItem* top = node;
    QTreeWidgetItem* current = node;
    for (int i = UpperMiddleRows(c_.tvFolders->height()); i > 0; --i) {
        if (current) {
            top = current;
            current = c_.tvFolders->itemAbove(current);
        }
    }
    c_.tvFolders->scrollToItem(top, QAbstractItemView::PositionAtTop);
}

void CategoryTree::removeLabels() {
    TDataMap& map = *c_.DataMap;
    for (const std::int32_t label : c_.idLabels->IDs) {
        const int index = map.FindObjectID(label, 0);
        if (index >= 0)
            map.DeleteObject(index, false);
    }
    c_.idLabels->ClearAndFree();
}

void CategoryTree::placeLabels(int categoryId) {
    TDataMap& map = *c_.DataMap;
    TIDList& labels = *c_.idLabels;
    TQuery& buildings = c_.DataModule->qTemp;
    buildings.setSQL(CategoryBuildingsSql(categoryId));
    buildings.Open();
    const size_t count = size_t(buildings.RecordCount());
    labels.IDs.assign(count, 0);
    labels.Values.assign(count, 0);
    labels.Flags.assign(count, false);
    map.DisablePaint();
    for (buildings.First(); !buildings.Eof(); buildings.Next()) {
        const int building = buildings.FieldByName("Obj_ID").AsInteger();
        const int index = map.FindObjectID(building, 0);
        if (index < 0)
            continue;
        map.EditObject(index);
        const float x = map.CurrentObject().X;
        const float y = map.CurrentObject().Y;
        map.AppendObject();
        map.CurrentObject().StyleCode = 7;
        map.CurrentObject().ObjType = 9;
        map.CurrentObject().DisplayParam = 20;
        map.DetailPutZametka({x, y, "ICONS.LIB", "OK.BMP"});
        map.PostObject();
        const size_t row = size_t(buildings.RecNo() - 1);
        labels.IDs[row] = map.CurrentObject().ID;
        labels.Values[row] = building;
    }
    buildings.Close();
    map.EnablePaint();
    redraw(map);
}

void CategoryTree::ShowCategory(int id) {
    TQuery& folders = c_.DataModule->qFolders;
    folders.Open();
    folders.First();
    if (!folders.Locate("ID", id))
        return;
    if (c_.ActivePage && c_.ActivePage() != 0 && c_.ShowPage)
        c_.ShowPage(0, false);
    if (SelectedCategory() == id)
        return;
    const std::vector<int> chain = ancestorChain();
    if (chain.empty())
        return;
    QTreeWidgetItem* node = topLevelNodeOf(chain.back());
    for (auto entry = chain.rbegin() + 1; node && entry != chain.rend(); ++entry) {
        node->setExpanded(true);
        tvFoldersExpanding(node);
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < node->childCount() && !next; ++i) {
            if (CategoryOf(node->child(i)) == *entry)
                next = node->child(i);
        }
        node = next;
    }
    if (node)
        c_.tvFolders->setCurrentItem(node);
}

// [id, parent, grandparent, ..., top-level ancestor], starting from the
// qFolders row of id. A parent that is no category, or a loop in the data,
// gives no chain: there is no path in the tree to open.
std::vector<int> CategoryTree::ancestorChain() {
    TQuery& folders = c_.DataModule->qFolders;
    std::vector<int> chain;
    int parent = folders.FieldByName("ParentID").AsInteger();
    while (parent > 0) {
        const int current = folders.FieldByName("ID").AsInteger();
        if (std::find(chain.begin(), chain.end(), current) != chain.end() || !folders.Locate("ID", parent))
            return {};
        chain.push_back(current);
        parent = folders.FieldByName("ParentID").AsInteger();
    }
    chain.push_back(folders.FieldByName("ID").AsInteger());
    return chain;
}

QTreeWidgetItem* CategoryTree::topLevelNodeOf(int id) const {
    for (QTreeWidgetItemIterator it(c_.tvFolders); *it; ++it) {
        if (CategoryOf(*it) == id)
            return *it;
    }
    return nullptr;
}

bool CategoryTree::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove && watched == c_.tvFolders->viewport() &&
        !c_.tvFolders->hasFocus())
        c_.tvFolders->setFocus();
    return QObject::eventFilter(watched, event);
}
