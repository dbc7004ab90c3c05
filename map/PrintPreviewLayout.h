// The print preview's size and place: the window takes the picture's size
// plus its two panels and stands in the middle of the screen.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

constexpr int kPreviewSettingsHeight = 67;
constexpr int kPreviewButtonsHeight = 51;
// Narrower than this, the printer list and the copy count would be cut off.
constexpr int kPreviewMinimumWidth = 400;

struct PreviewGeometry {
    QSize client;        // inside the window's frame
    QPoint frameTopLeft; // where the frame's corner goes on the desktop
};

// frame: how much the window's frame adds to the client size. The window is
// centred on screen; a picture too large for the free part of the screen
// (available) gets a smaller window and is scrolled, so the buttons stay in
// reach.
PreviewGeometry PreviewPlacement(QSize picture, QSize frame, QRect screen, QRect available);
