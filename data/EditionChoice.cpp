#include "EditionChoice.h"

#include "Vdlconsts.h"

#include <QFileInfo>

bool EditionFileExists(int edition)
{
    return edition >= 1 && edition <= kEditionCount && QFileInfo(QString::fromUtf8(MapFiles[edition])).isFile();
}

QList<TEditionItem> AvailableEditions()
{
    QList<TEditionItem> items;
    for (int edition = 1; edition <= kEditionCount; ++edition)
        if (EditionFileExists(edition))
            items.append({edition, QString::fromUtf8(MapNames[edition])});
    return items;
}

TEditionService EditionService(int selectedEdition)
{
    if (EditionFileExists(selectedEdition))
        return {true, QString::fromUtf8(MapDescriptions[selectedEdition])};
    return {false, kEditionFileNotFound};
}
