#include "PrintPreviewLayout.h"

#include <algorithm>

PreviewGeometry PreviewPlacement(QSize picture, QSize frame, QRect screen, QRect available)
{
    QSize client(std::max(picture.width(), kPreviewMinimumWidth),
                 picture.height() + kPreviewSettingsHeight + kPreviewButtonsHeight);
    client = client.boundedTo(available.size() - frame);
    const QSize window = client + frame;
    QPoint corner(screen.left() + (screen.width() - window.width()) / 2,
                  screen.top() + (screen.height() - window.height()) / 2);
    corner.setX(std::clamp(corner.x(), available.left(), available.right() + 1 - window.width()));
    corner.setY(std::clamp(corner.y(), available.top(), available.bottom() + 1 - window.height()));
    return {client, corner};
}
