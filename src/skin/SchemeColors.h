#pragma once

#include <QRgb>

// The 27 colours of a skin, in the order in which they are read from the scheme bitmap.
// Each value is opaque (alpha 0xff), as an RGB32 picture returns it.
struct TSchemeColors
{
    QRgb Outline = 0;
    QRgb PanelBand = 0;
    QRgb Face = 0;
    QRgb FrameFill = 0;
    QRgb BoxBorder = 0;
    QRgb BoxFill = 0;
    QRgb EdgeTopLeft = 0;
    QRgb EdgeTop = 0;
    QRgb EdgeTopRight = 0;
    QRgb EdgeLeft = 0;
    QRgb EdgeRight = 0;
    QRgb EdgeBottomLeft = 0;
    QRgb EdgeBottom = 0;
    QRgb EdgeBottomRight = 0;
    QRgb PanelTopLeft = 0;
    QRgb PanelTop = 0;
    QRgb PanelTopRight = 0;
    QRgb PanelLeft = 0;
    QRgb PanelRight = 0;
    QRgb PanelBottomLeft = 0;
    QRgb PanelBottom = 0;
    QRgb PanelBottomRight = 0;
    QRgb CaptionText = 0;
    QRgb CaptionShadow = 0;
    QRgb DateText = 0;
    QRgb BodyText = 0;
    QRgb LabelText = 0;

    bool operator==(const TSchemeColors&) const = default;
};
