// What the edition dialog lists and shows, without the window: an edition is
// offered when its database file exists in the current folder.
#pragma once

#include <QList>
#include <QString>

struct TEditionItem {
    int edition; // 1-based index into the edition table
    QString name;
};

// The editions whose file exists, in table order.
QList<TEditionItem> AvailableEditions();

bool EditionFileExists(int edition);

// What the dialog's Service shows for the selected edition (0 = nothing selected).
struct TEditionService {
    bool loadEnabled;
    QString description;
};
TEditionService EditionService(int selectedEdition);

inline constexpr const char* kEditionFileNotFound = "Файл не найден";
