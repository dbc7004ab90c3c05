#include "ApplicationStyle.h"

#include <QApplication>
#include <QStyleFactory>

QPalette VarindelPalette()
{
    const QColor surface(243, 241, 236);
    const QColor button(233, 229, 220);
    const QColor text(33, 37, 41);
    const QColor selection(36, 92, 168);
    const QColor disabledText(150, 150, 150);

    QPalette palette;
    palette.setColor(QPalette::Window, surface);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::AlternateBase, QColor(248, 246, 241));
    palette.setColor(QPalette::ToolTipBase, QColor(255, 252, 224));
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, QColor(128, 128, 128));
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, button);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, QColor(200, 30, 30));
    palette.setColor(QPalette::Highlight, selection);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, QColor(0, 0, 255));
    palette.setColor(QPalette::LinkVisited, QColor(110, 40, 160));
    palette.setColor(QPalette::Light, Qt::white);
    palette.setColor(QPalette::Midlight, QColor(226, 222, 212));
    palette.setColor(QPalette::Mid, QColor(190, 184, 170));
    palette.setColor(QPalette::Dark, QColor(150, 144, 130));
    palette.setColor(QPalette::Shadow, QColor(90, 86, 78));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabledText);
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(160, 160, 160));
    return palette;
}

void ApplyApplicationStyle()
{
    if (QStyle* fusion = QStyleFactory::create("Fusion"))
        QApplication::setStyle(fusion);
    QApplication::setPalette(VarindelPalette());
}
