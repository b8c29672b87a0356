#include "skin/Skin.h"

#include "skin/Scheme.h"

namespace {
const QSize FaceSize(26, 22);
const QSize CalendarFaceSize(26, 23);
const QSize TodayFaceSize(16, 16);
} // namespace

Skin Skin::build(const QImage& scheme, QImage buttons)
{
    Skin s;
    s.SchemeColors = Scheme::ReadSchemeColors(scheme);
    const TSchemeColors& c = s.SchemeColors;

    Scheme::keyStrip(buttons, c.Face);
    s.Image4 = Scheme::cutFace(buttons, 0, FaceSize, false, c.Face);
    s.Image5 = Scheme::cutFace(buttons, 0, FaceSize, true, c.Face);
    s.Image2 = Scheme::cutFace(buttons, 1, FaceSize, false, c.Face);
    s.Image3 = Scheme::cutFace(buttons, 1, FaceSize, true, c.Face);
    s.Image9 = Scheme::cutFace(buttons, 2, CalendarFaceSize, false, c.Face);
    s.Image10 = Scheme::cutFace(buttons, 2, CalendarFaceSize, true, c.Face);
    s.Image7 = Scheme::cutFace(buttons, 3, TodayFaceSize, false, c.Face);
    s.Image8 = Scheme::cutFace(buttons, 3, TodayFaceSize, true, c.Face);
    return s;
}

QImage Skin::Image6() const
{
    QImage frame(181, 150, QImage::Format_RGB32);
    Scheme::PaintFrame(frame, SchemeColors);
    return frame;
}
