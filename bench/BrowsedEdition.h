// A demo edition opened as the program opens it, with its map and a main
// window's worth of controls (category tree, firm list, map) driven by the
// program's directory browser, for the browsing benchmarks.
#pragma once

#include "Datamodule.h"
#include "DirectoryBrowser.h"
#include "TDataMap.h"
#include "THTMListBox.h"
#include "TPictureContainer.h"
#include "Uidlist.h"

#include <benchmark/benchmark.h>

#include <QStackedWidget>
#include <QString>
#include <QTreeWidget>
#include <QWidget>

#include <memory>

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
    int largeCategory = 0; // the category whose firm count is nearest the one asked for
    int otherCategory = 0; // the next nearest
    int largeCount = 0;

    // Opens `edition` from `path` (in the edition's own folder) and shows the
    // window with the large category selected. Needs the application
    // (EnsureGuiApplication); throws when the edition cannot be opened.
    BrowsedEdition(const QString& path, int edition, int categoryFirms);

    QTreeWidgetItem* node(int category) const;

private:
    void chooseCategories(int categoryFirms);
    void buildWindow();
};

// Each iteration selects the large category, from the other one selected
// outside the timing: the firm list filled, the labels placed, the window
// painted. Reports the firms listed and the labels placed.
void MeasureSelectLargeCategory(benchmark::State& state, BrowsedEdition& e);

// Each iteration opens the full card of the large category's last firm (the
// longest walk through qFirms); folding it back is outside the timing.
void MeasureOpenFirmCard(benchmark::State& state, BrowsedEdition& e);
