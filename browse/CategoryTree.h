// The category tree tvFolders: levels read lazily on first expansion (a
// node with subcategories carries one placeholder child until then), the
// selected node scrolled into the upper middle of the view, ShowCategory
// opening the path to a category, and one map label per building of the
// selected category's firms, kept in idLabels.
#pragma once

#include <QObject>
#include <functional>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;
class TDataMap;
class TDM;
class TIDList;

struct CategoryTreeContext {
    QTreeWidget* tvFolders = nullptr;
    TDM* DataModule = nullptr;
    TDataMap* DataMap = nullptr;
    TIDList* idLabels = nullptr;
    std::function<void(int index, bool reload)> ShowPage;
    std::function<int()> ActivePage;
};

// The category ID a node carries; 0 for a placeholder or no node.
int CategoryOf(const QTreeWidgetItem* node);

// How many rows above the selected node the view's top goes: the height
// divided by 30, halves to the even neighbour.
int UpperMiddleRows(int treeHeight);

// "SELECT DISTINCT Obj_ID FROM FirmsAdr WHERE Firm_ID IN (SELECT FirmID FROM
// FirmsFold WHERE FoldID = <id>)".
QString CategoryBuildingsSql(int categoryId);

class CategoryTree : public QObject {
    Q_OBJECT
public:
    explicit CategoryTree(CategoryTreeContext context, QObject* parent = nullptr);

    void RefreshNullFoldersExecute();
    void tvFoldersExpanding(QTreeWidgetItem* node);
    void tvFoldersExpandLevel(QTreeWidgetItem* node);
    void tvFoldersChange();
    void ShowCategory(int id);

    // The selected node's category, 0 when none is selected.
    int SelectedCategory() const;
    // How many levels have been read from the database so far.
    int LevelsRead() const { return levelsRead_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addNode(QTreeWidgetItem* parent, int id, const QString& name);
    bool hasSubcategories(int id);
    void scrollIntoUpperMiddle(QTreeWidgetItem* node);
    void removeLabels();
    void placeLabels(int categoryId);
    std::vector<int> ancestorChain();
    QTreeWidgetItem* topLevelNodeOf(int id) const;

    CategoryTreeContext c_;
    int levelsRead_ = 0;
};
