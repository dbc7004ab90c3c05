#include "WindowPlacement.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

void CentreOnActiveWindow(QWidget* window) {
    const QWidget* owner = QApplication::activeWindow();
    QRect area;
    if (owner && owner != window)
        area = owner->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    else
        return;
    QRect placed = window->frameGeometry();
    placed.moveCenter(area.center());
    window->move(placed.topLeft());
}
