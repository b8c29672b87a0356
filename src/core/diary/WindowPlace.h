#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// Where a window can stand. The X window system keeps positions in 16 bits: a window placed
// beyond them lands elsewhere and takes no mouse input. A stored position beyond them is kept as
// it is; the window stands at the nearest place the system can hold.
class WindowPlace
{
public:
    static constexpr int Lowest = -32768;
    static constexpr int Highest = 32767;

    static QPoint nearest(QPoint stored, QSize window);
    // A window that would stand outside the available area of every screen (its screen has been
    // unplugged) stands at the nearest place inside the first area, the primary screen's; one
    // that reaches into any area stands where it is, however odd. No areas, no change.
    static QPoint onScreen(QPoint at, QSize window, const QList<QRect>& areas);
};
