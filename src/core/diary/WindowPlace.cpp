#include "core/diary/WindowPlace.h"

#include <algorithm>

QPoint WindowPlace::nearest(QPoint stored, QSize window)
{
    // The far edge must be representable too.
    return {std::clamp(stored.x(), Lowest, Highest - window.width()),
            std::clamp(stored.y(), Lowest, Highest - window.height())};
}

QPoint WindowPlace::onScreen(QPoint at, QSize window, const QList<QRect>& areas)
{
    const QRect frame(at, window);
    if (areas.isEmpty() || std::any_of(areas.begin(), areas.end(),
                                       [&](const QRect& area) { return area.intersects(frame); }))
        return at;
    // A window larger than the area shows its top left corner, where the drag strip is.
    const QRect& primary = areas.first();
    return {std::max(primary.left(), std::min(at.x(), primary.right() + 1 - window.width())),
            std::max(primary.top(), std::min(at.y(), primary.bottom() + 1 - window.height()))};
}
