// The main window's send menu pmSend under btSendPublish: "Отправить заявку"
// opens the publication request, the submenu "Cвязь с Варинделом" holds the
// six note kinds, each item's tag (the action's data) being its kind.
#pragma once

class QAction;
class QMenu;
class QWidget;

// Builds pmSend with its items (object names NPublish, C1, NPoj, NPredl,
// NNote, NNeto4n, NErr, NAnoth) and connects them.
QMenu* CreatePmSend(QWidget* parent);
// Connects the items of a pmSend built elsewhere: "NPublish" by its object
// name, a note item by its integer tag (the action's data) or else by its
// object name.
void ConnectPmSend(QMenu* pmSend);

// "Отправить заявку": the publication request, modally.
void NPublishClick();
// One handler for the six note items: SndNote with the item's tag.
void NAnothClick(QAction* item);
