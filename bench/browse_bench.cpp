// Browsing a demo edition: selecting a category of about 500 firms (list
// filled, labels placed, list and map painted) and opening a firm's card.
//
// The edition is made once in /tmp by the generator next to this benchmark
// (build/bin/varindel-edition generate --edition 1 ... --scale 16), or taken
// from VARINDEL_BENCH_BROWSE_EDITION (a dataomk.abs of edition 1).
#include "Datamodule.h"
#include "DemoEdition.h"
#include "DirectoryBrowser.h"
#include "TDataMap.h"
#include "THTMListBox.h"
#include "TPictureContainer.h"
#include "Uidlist.h"
#include "Vdlconsts.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <benchmark/benchmark.h>
#include <memory>
#include <stdexcept>

namespace {

QString editionPath() { return DemoEdition(1, 16, "VARINDEL_BENCH_BROWSE_EDITION"); }

// Stand-ins for the nine list icons, which live in the program's resources.
void addListIcons(TPictureContainer& pictures) {
    for (const char* name : LoadPics) {
        QPixmap icon(16, 16);
        icon.fill(Qt::darkCyan);
        pictures.Add(QString::fromLatin1(name), icon);
    }
}

QApplication& application() {
    static int argc = 1;
    static char name[] = "browse_bench";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

// The demo edition, its map and a main window's worth of controls, made once.
struct BrowsedEdition {
    std::unique_ptr<TDM> dm;
    TIDList IDList, idLabels;
    TFavorites Favorites;
    QWidget window;
    QTreeWidget* tree = new QTreeWidget;
    THTMListBox* list = new THTMListBox;
    QStackedWidget* pages = new QStackedWidget;
    TDataMap* map = new TDataMap;
    TPictureContainer pictures;
    std::unique_ptr<DirectoryBrowser> browser;
    int largeCategory = 0;
    int otherCategory = 0;
    int largeCount = 0;

    BrowsedEdition() {
        QDir::setCurrent(QFileInfo(editionPath()).path());
        dm = std::make_unique<TDM>();
        if (const Status opened = dm->OpenEdition(1); !opened)
            throw std::runtime_error(opened.error().toStdString());
        for (TQuery* query : {&dm->qContent, &dm->qFolders, &dm->qFirms, &dm->qFirmsStayOnTop})
            query->Open();
        dm->qContent.Locate("TypeID", 2);
        if (const Status loaded = map->LoadFromData(dm->qContent.FieldByName("Data").AsBlob()); !loaded)
            throw std::runtime_error(loaded.error().toStdString());
        chooseCategories();
        buildWindow();
    }

    void chooseCategories() {
        TQuery& q = dm->qTemp;
        q.setSQL(
            "SELECT FoldID, count(*) AS Firms FROM FirmsFold GROUP BY FoldID ORDER BY abs(count(*) - 500), "
            "FoldID");
        q.Open();
        largeCategory = q.FieldByName("FoldID").AsInteger();
        largeCount = q.FieldByName("Firms").AsInteger();
        q.Next();
        otherCategory = q.FieldByName("FoldID").AsInteger();
        q.Close();
    }

    void buildWindow() {
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

    QTreeWidgetItem* node(int category) const {
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            if (CategoryOf(*it) == category)
                return *it;
        }
        return nullptr;
    }
};

BrowsedEdition& edition() {
    application(); // before the first widget of the edition's window
    static BrowsedEdition shared;
    return shared;
}

void BM_BrowseSelectLargeCategory(benchmark::State& state) {
    BrowsedEdition& e = edition();
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
BENCHMARK(BM_BrowseSelectLargeCategory)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_BrowseOpenFirmCard(benchmark::State& state) {
    BrowsedEdition& e = edition();
    e.tree->setCurrentItem(e.node(e.largeCategory));
    const int line = int(e.IDList.IDs.size()) - 1; // the last firm: the longest walk through qFirms
    for (auto _ : state) {
        e.browser->FillItem(line); // the full card
        state.PauseTiming();
        e.browser->FillItem(line); // back to the short form
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BrowseOpenFirmCard)->Unit(benchmark::kMillisecond);

} // namespace
