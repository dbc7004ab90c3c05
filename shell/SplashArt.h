// The pictures of the splash and the closing screen, drawn by the program
// itself so that the cut-out colour of the splash stays exact (pure yellow,
// which no compressed picture file would keep).
#pragma once

#include <QColor>
#include <QImage>

// The splash's cut-out colour: pixels of it are not part of the window.
inline const QColor kSplashTransparent(255, 255, 0);

// 474 by 610: rounded card with a blue title band, a white field for the
// banners and the gauge, and a city skyline along the bottom edge whose sky
// is cut out.
QImage SplashPicture();
// 464 by 455: the background of the closing screen behind its four banners.
QImage FinishPicture();
