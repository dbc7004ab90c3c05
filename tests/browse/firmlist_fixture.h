// A directory panel on a tiny edition: the main window's controls the
// browser works on (tree, firm list, six pages, caption, diary memo, page
// buttons, pop-up menu, map with three buildings) and its globals, with the
// message boxes, articles and flights recorded instead of shown.
#pragma once

#include "Datamodule.h"
#include "DirectoryBrowser.h"
#include "TDataMap.h"
#include "THTMListBox.h"
#include "TPictureContainer.h"
#include "TestEnvironment.h"
#include "TinyEdition.h"
#include "Uidlist.h"
#include "Vdlconsts.h"

#include <QAction>
#include <QButtonGroup>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

// Categories: 1 Медицина > 2 Аптеки > 3 Дежурные; 4 Транспорт (firms, no
// subcategories); 5 Пустая (nothing). Buildings 700, 701, 702 are on the map, 799 is not.
void BuildBrowseEdition(TinyEdition& edition);
QByteArray PngLogo(QColor colour);

class BrowsePanel : public ::testing::Test {
protected:
    BrowsePanel();
    ~BrowsePanel() override;

    QStringList lines() const;
    QTreeWidgetItem* nodeOf(int category) const;
    int labelsOnMap() const;

    TemporaryFolder folder;
    std::unique_ptr<CurrentFolder> here;
    TDM dm;
    TIDList IDList;
    TIDList idLabels;
    TFavorites Favorites;

    QWidget window;
    QTreeWidget* tvFolders = nullptr;
    THTMListBox* lbFirms = nullptr;
    QStackedWidget* pcTabs = nullptr;
    QLabel* lCapTab = nullptr;
    QPlainTextEdit* mDiary = nullptr;
    TDataMap* DataMap = nullptr;
    TPictureContainer* PicCnt = nullptr;
    QToolButton* buttons[6] = {};
    QMenu* pmFirms = nullptr;
    QAction* NAddToFavorites = nullptr;
    QAction* NDelFavorite = nullptr;
    QAction* NFAddBookmark = nullptr;

    QStringList messages;
    std::vector<int> articleOf; // the firms whose article was shown
    int searches = 0;
    int published = 0;
    int tabsChanges = 0;
    std::vector<bool> flying;
    std::unique_ptr<DirectoryBrowser> browser;
};
