#pragma once

#include "skin/SchemeColors.h"

#include <QImage>
#include <QSize>

class QPainter;

// The skin's drawing routines: pure functions on pictures that know nothing of the windows.
// Every picture they return or change in place is in QImage::Format_RGB32, so colours compare
// exactly and no alpha channel takes part. Nothing is ever read or written outside a picture,
// whatever its size.
class Scheme
{
public:
    // Width of one button slot in the strip, and the block cut from it for a face.
    static constexpr int SlotWidth = 26;
    static constexpr int SlotHeight = 22;
    // The main window's background.
    static constexpr QSize MainSize{320, 320};

    // Reads the 27 sample points of a scheme bitmap. A point that lies outside the picture (a
    // scheme shorter than 15 rows) keeps the built-in colour of its entry.
    static TSchemeColors ReadSchemeColors(const QImage& scheme);

    // Paints a window frame over the whole picture, sized by the picture itself.
    static void PaintFrame(QImage& image, const TSchemeColors& c);

    // Paints the title box and the body box at their places on the 320 x 320 main background.
    static void PaintEditBoxes(QImage& image, const TSchemeColors& c);

    // The main window's background, frame and edit boxes, painted straight onto the window:
    // the same pixels as both routines above give a picture of MainSize, held by no picture.
    static void paintMainBackground(QPainter& painter, const TSchemeColors& c);

    // The colours of the built-in scheme.
    static TSchemeColors builtInColors();

    // Replaces every pixel of the strip's key colour (its pixel (0, 0)) by face, in place.
    static void keyStrip(QImage& strip, QRgb face);

    // A button face cut from slot 0..3 of a keyed strip: filled with face, then the slot's
    // 26 x 22 block copied to (0, 0), or to (1, 1) for the pressed face, clipped to faceSize.
    static QImage cutFace(const QImage& strip, int slot, QSize faceSize, bool pressed, QRgb face);

    // What a day button shows: a picture of the button's size filled with face and the face
    // copied to its top-left corner, clipped. A button larger than its face shows face around it.
    static QImage buttonPicture(const QImage& faceImage, QSize buttonSize, QRgb face);
};
