// Edge snapping of the main window: a window dragged close to an edge of the
// desktop's work area comes to rest flush with that edge.
#pragma once

#include <QPoint>
#include <QRect>

// How close (in pixels, inclusive) a window edge must come to snap.
inline constexpr int kSnapDistance = 10;

// The position the window takes when it is proposed at `proposed` inside
// `workArea`. Left and top are tested first; the right and bottom tests see
// the values those left, so a window as wide as the area ends at its right.
QPoint lip(const QRect& workArea, const QRect& proposed, int distance = kSnapDistance);
