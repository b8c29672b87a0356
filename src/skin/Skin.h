#pragma once

#include "skin/SchemeColors.h"

#include <QImage>

// The look of every window, computed at start-up from the scheme bitmap and the button strip.
// Windows take it by const reference and copy what they show.
class Skin
{
public:
    // The built-in pictures, or the user's where they replace them.
    static Skin build(const QImage& scheme, QImage buttons);

    // The colours; the main window paints its background from them (Scheme::paintMainBackground).
    TSchemeColors SchemeColors{};
    // The 181 x 150 framed background of the secondary windows, painted when one opens: the main
    // window does not show it.
    QImage Image6() const;
    // Day-button faces cut from the strip: normal and pressed of previous day (4, 5), next day
    // (2, 3), calendar (9, 10) and today (7, 8).
    QImage Image2, Image3, Image4, Image5, Image7, Image8, Image9, Image10;
};
