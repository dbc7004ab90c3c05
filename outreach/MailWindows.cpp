#include "MailWindows.h"

#include "MailEnvironment.h"

#include <QScreen>
#include <QWidget>

void CentreOnMainWindow(QWidget* window)
{
    const QWidget* owner = MailEnvironment().MainWindow;
    const QRect area = owner && owner->isVisible() ? owner->frameGeometry() : window->screen()->availableGeometry();
    window->move(area.center() - window->rect().center());
}
