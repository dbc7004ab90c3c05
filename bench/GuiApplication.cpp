#include "GuiApplication.h"

#include <QApplication>

void EnsureGuiApplication()
{
    if (QGuiApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "varindel_bench";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}
