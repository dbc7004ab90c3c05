#include "BrowsedEdition.h"

#include "Vdlconsts.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPixmap>

#include <stdexcept>

namespace {

// Stand-ins for the nine list icons, which live in the program's resources.
void addListIcons(TPictureContainer& pictures) {
    for (const char* name : LoadPics) {
        QPixmap icon(16, 16);
        icon.fill(Qt::darkCyan);
        pictures.Add(QString::fromLatin1(name), icon);
    }
}

} // namespace

BrowsedEdition::BrowsedEdition(const QString& path, int edition, int categoryFirms) {
    QDir::setCurrent(QFileInfo(path).path());
    dm = std::make_unique<TDM>();
    if (const Status opened = dm->OpenEdition(edition); !opened)
        throw std::runtime_error(opened.error().toStdString());
    for (TQuery* query : {&dm->qContent, &dm->qFolders, &dm->qFirms, &dm->qFirmsStayOnTop})
        query->Open();
    dm->qContent.Locate("TypeID", 2);
    if (const Status loaded = map->LoadFromData(dm->qContent.FieldByName("Data").AsBlob()); !loaded)
        throw std::runtime_error(loaded.error().toStdString());
    dm->qContent.Close(); // as the program does: standing on the map's row it would keep SQLite's copy of it
    chooseCategories(categoryFirms);
    buildWindow();
}

void BrowsedEdition::chooseCategories(int categoryFirms) {
    TQuery& q = dm->qTemp;
    q.setSQL(QString("SELECT FoldID, count(*) AS Firms FROM FirmsFold GROUP BY FoldID ORDER BY abs(count(*) - %1), "
                     "FoldID")
                 .arg(categoryFirms));
    q.Open();
    largeCategory = q.FieldByName("FoldID").AsInteger();
    largeCount = q.FieldByName("Firms").AsInteger();
    q.Next();
    otherCategory = q.FieldByName("FoldID").AsInteger();
    q.Close();
}

void BrowsedEdition::buildWindow() {
    auto* layout = new QHBoxLayout(&window);
    pages->addWidget(tree);
    for (int i = 1; i < kPageCount; ++i)
        pages->addWidget(new QWidget);
    layout->addWidget(map, 3);
    layout->addWidget(pages, 1);
    layout->addWidget(list, 1);
    window.resize(1600, 1000);
    window.show();
    addListIcons(pictures);
    list->PictureContainer = &pictures;
    TDirectoryControls controls;
    controls.tvFolders = tree;
    controls.lbFirms = list;
    controls.pcTabs = pages;
    controls.DataMap = map;
    controls.PicCnt = &pictures;
    controls.DataModule = dm.get();
    controls.IDList = &IDList;
    controls.idLabels = &idLabels;
    controls.Favorites = &Favorites;
    TDirectoryCallbacks callbacks;
    callbacks.ShowMessage = [](const QString&) {};
    callbacks.LoadArticle = [](const TQuery&) { return false; };
    browser = std::make_unique<DirectoryBrowser>(controls, callbacks);
    browser->RefreshNullFoldersExecute();
    browser->ShowCategory(otherCategory);
    browser->ShowCategory(largeCategory);
    QApplication::processEvents();
}

QTreeWidgetItem* BrowsedEdition::node(int category) const {
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if (CategoryOf(*it) == category)
            return *it;
    }
    return nullptr;
}

void MeasureSelectLargeCategory(benchmark::State& state, BrowsedEdition& e) {
    QTreeWidgetItem* large = e.node(e.largeCategory);
    QTreeWidgetItem* other = e.node(e.otherCategory);
    for (auto _ : state) {
        state.PauseTiming();
        e.tree->setCurrentItem(other);
        QApplication::processEvents();
        state.ResumeTiming();
        e.tree->setCurrentItem(large);
        e.window.repaint();
    }
    state.counters["firms"] = double(e.IDList.IDs.size());
    state.counters["labels"] = double(e.idLabels.IDs.size());
}

void MeasureOpenFirmCard(benchmark::State& state, BrowsedEdition& e) {
    e.tree->setCurrentItem(e.node(e.largeCategory));
    const int line = int(e.IDList.IDs.size()) - 1;
    for (auto _ : state) {
        e.browser->FillItem(line); // the full card
        state.PauseTiming();
        e.browser->FillItem(line); // back to the short form
        state.ResumeTiming();
    }
}
