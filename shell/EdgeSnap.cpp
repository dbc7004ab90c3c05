#include "EdgeSnap.h"

#include <cstdlib>

QPoint lip(const QRect& workArea, const QRect& proposed, int distance) {
    // Right and bottom as the first pixel beyond the area, the way the
    // window's own position plus its size is counted.
    const int left = workArea.x();
    const int top = workArea.y();
    const int right = workArea.x() + workArea.width();
    const int bottom = workArea.y() + workArea.height();
    const int cx = proposed.width();
    const int cy = proposed.height();
    int x = proposed.x();
    int y = proposed.y();
    if (std::abs(left - x) <= distance)
        x = left;
    if (std::abs((right - cx) - x) <= distance)
        x = right - cx;
    if (std::abs(top - y) <= distance)
        y = top;
    if (std::abs((bottom - cy) - y) <= distance)
        y = bottom - cy;
    return {x, y};
}
