#include "core/WindowPlace.h"

#include <algorithm>

QPoint WindowPlace::nearest(QPoint stored, QSize window)
{
    // The far edge must be representable too.
    return {std::clamp(stored.x(), Lowest, Highest - window.width()),
            std::clamp(stored.y(), Lowest, Highest - window.height())};
}
