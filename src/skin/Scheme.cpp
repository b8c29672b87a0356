#include "skin/Scheme.h"

#include <QPainter>
#include <QPoint>
#include <QRect>

#include <algorithm>
#include <functional>
#include <iterator>

namespace {

struct SamplePoint
{
    QRgb TSchemeColors::*entry;
    QPoint point;
    QRgb builtIn;
};

// Each point lies where the part it colours lies in a frame, as on a thumbnail of a window.
const SamplePoint samplePoints[] = {
    {&TSchemeColors::Outline, {0, 0}, 0x6C3800},
    {&TSchemeColors::PanelBand, {5, 5}, 0xC86800},
    {&TSchemeColors::Face, {6, 6}, 0xFFE5C9},
    {&TSchemeColors::FrameFill, {2, 2}, 0xFFBC75},
    {&TSchemeColors::BoxBorder, {7, 6}, 0x664000},
    {&TSchemeColors::BoxFill, {8, 6}, 0xFFFBF5},
    {&TSchemeColors::EdgeTopLeft, {1, 1}, 0xFFD8AF},
    {&TSchemeColors::EdgeTop, {2, 1}, 0xFFD8AF},
    {&TSchemeColors::EdgeTopRight, {14, 1}, 0xFFBC75},
    {&TSchemeColors::EdgeLeft, {1, 2}, 0xFFD8AF},
    {&TSchemeColors::EdgeRight, {14, 2}, 0xFFA13D},
    {&TSchemeColors::EdgeBottomLeft, {1, 14}, 0xFFBC75},
    {&TSchemeColors::EdgeBottom, {2, 14}, 0xFFA13D},
    {&TSchemeColors::EdgeBottomRight, {14, 14}, 0xFFA13D},
    {&TSchemeColors::PanelTopLeft, {4, 4}, 0xFFA13D},
    {&TSchemeColors::PanelTop, {5, 4}, 0xFFA13D},
    {&TSchemeColors::PanelTopRight, {11, 4}, 0xFFBC75},
    {&TSchemeColors::PanelLeft, {4, 5}, 0xFFA13D},
    {&TSchemeColors::PanelRight, {11, 5}, 0xFFD8AF},
    {&TSchemeColors::PanelBottomLeft, {4, 11}, 0xFFBC75},
    {&TSchemeColors::PanelBottom, {5, 11}, 0xFFD8AF},
    {&TSchemeColors::PanelBottomRight, {11, 11}, 0xFFD8AF},
    {&TSchemeColors::CaptionText, {6, 7}, 0xFFFBF5},
    {&TSchemeColors::CaptionShadow, {7, 7}, 0x505050},
    {&TSchemeColors::DateText, {8, 7}, 0x400000},
    {&TSchemeColors::BodyText, {9, 7}, 0x000000},
    {&TSchemeColors::LabelText, {6, 8}, 0x8C6932},
};
static_assert(std::size(samplePoints) == 27);

QRgb opaque(QRgb colour)
{
    return colour | 0xff000000u;
}

// The picture itself when it is already RGB32, otherwise a converted copy.
QImage asRgb32(const QImage& image)
{
    if (image.format() == QImage::Format_RGB32)
        return image;
    return image.convertToFormat(QImage::Format_RGB32);
}

void makeRgb32(QImage& image)
{
    if (!image.isNull() && image.format() != QImage::Format_RGB32)
        image.convertTo(QImage::Format_RGB32);
}

// Where a frame is painted: a picture's pixels, or a painter on the window itself, so that the
// main window needs no picture of its background.
using Fill = std::function<void(const QRect& area, QRgb colour)>;

// Fills (left, top, right, bottom), right and bottom excluded, clipped to size.
void fillRect(const Fill& fill, QSize size, int left, int top, int right, int bottom, QRgb colour)
{
    // Clamped by hand: QRect would turn a reversed range around instead of leaving it empty.
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, size.width());
    bottom = std::min(bottom, size.height());
    if (left < right && top < bottom)
        fill(QRect(left, top, right - left, bottom - top), opaque(colour));
}

Fill pixelsOf(QImage& image)
{
    return [&image](const QRect& area, QRgb colour) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            std::fill(line + area.left(), line + area.right() + 1, colour);
        }
    };
}

Fill painted(QPainter& painter)
{
    return [&painter](const QRect& area, QRgb colour) { painter.fillRect(area, QColor(colour)); };
}

void paintFrame(const Fill& fill, QSize size, const TSchemeColors& c)
{
    const int w = size.width();
    const int h = size.height();
    // The four sides and four corners of a bevel whose corners are (left, top) and (right,
    // bottom): a side runs between its corners, and draws nothing when they touch.
    const auto bevel = [&](QRect corners, QRgb top, QRgb bottom, QRgb left, QRgb right,
                           QRgb topLeft, QRgb topRight, QRgb bottomLeft, QRgb bottomRight) {
        const int l = corners.left();
        const int t = corners.top();
        const int r = corners.right();
        const int b = corners.bottom();
        fillRect(fill, size, l + 1, t, r, t + 1, top);
        fillRect(fill, size, l + 1, b, r, b + 1, bottom);
        fillRect(fill, size, l, t + 1, l + 1, b, left);
        fillRect(fill, size, r, t + 1, r + 1, b, right);
        fillRect(fill, size, l, t, l + 1, t + 1, topLeft);
        fillRect(fill, size, r, t, r + 1, t + 1, topRight);
        fillRect(fill, size, l, b, l + 1, b + 1, bottomLeft);
        fillRect(fill, size, r, b, r + 1, b + 1, bottomRight);
    };

    fillRect(fill, size, 0, 0, w, h, c.Outline);
    fillRect(fill, size, 2, 2, w - 2, h - 2, c.FrameFill);
    fillRect(fill, size, 5, 21, w - 4, h - 4, c.PanelBand);
    fillRect(fill, size, 6, 22, w - 6, h - 6, c.Face);
    bevel(QRect(QPoint(1, 1), QPoint(w - 2, h - 2)), c.EdgeTop, c.EdgeBottom, c.EdgeLeft,
          c.EdgeRight, c.EdgeTopLeft, c.EdgeTopRight, c.EdgeBottomLeft, c.EdgeBottomRight);
    bevel(QRect(QPoint(4, 20), QPoint(w - 5, h - 5)), c.PanelTop, c.PanelBottom, c.PanelLeft,
          c.PanelRight, c.PanelTopLeft, c.PanelTopRight, c.PanelBottomLeft, c.PanelBottomRight);
}

void paintEditBoxes(const Fill& fill, QSize size, const TSchemeColors& c)
{
    fillRect(fill, size, 46, 67, 216, 91, c.BoxBorder);
    fillRect(fill, size, 47, 68, 215, 90, c.BoxFill);
    fillRect(fill, size, 18, 99, 301, 299, c.BoxBorder);
    fillRect(fill, size, 19, 100, 300, 298, c.BoxFill);
}

// Copies the block (source, size) of from to the picture at target, clipped to both pictures.
void copyBlock(QImage& to, QPoint target, const QImage& from, QRect source)
{
    QRect block = source & from.rect();
    block = block.translated(target - source.topLeft()) & to.rect();
    const QPoint offset = source.topLeft() - target;
    for (int y = block.top(); y <= block.bottom(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(from.constScanLine(y + offset.y()));
        QRgb* out = reinterpret_cast<QRgb*>(to.scanLine(y));
        for (int x = block.left(); x <= block.right(); ++x)
            out[x] = opaque(in[x + offset.x()]);
    }
}

QImage filled(QSize size, QRgb colour)
{
    if (size.isEmpty())
        return QImage();
    QImage image(size, QImage::Format_RGB32);
    image.fill(opaque(colour));
    return image;
}

} // namespace

TSchemeColors Scheme::ReadSchemeColors(const QImage& scheme)
{
    const QImage image = asRgb32(scheme);
    TSchemeColors colours;
    for (const SamplePoint& sample : samplePoints) {
        colours.*sample.entry =
            image.valid(sample.point) ? opaque(image.pixel(sample.point)) : opaque(sample.builtIn);
    }
    return colours;
}

void Scheme::PaintFrame(QImage& image, const TSchemeColors& c)
{
    makeRgb32(image);
    paintFrame(pixelsOf(image), image.size(), c);
}

void Scheme::PaintEditBoxes(QImage& image, const TSchemeColors& c)
{
    makeRgb32(image);
    paintEditBoxes(pixelsOf(image), image.size(), c);
}

void Scheme::paintMainBackground(QPainter& painter, const TSchemeColors& c)
{
    paintFrame(painted(painter), MainSize, c);
    paintEditBoxes(painted(painter), MainSize, c);
}

TSchemeColors Scheme::builtInColors()
{
    TSchemeColors colours;
    for (const SamplePoint& sample : samplePoints)
        colours.*sample.entry = opaque(sample.builtIn);
    return colours;
}

void Scheme::keyStrip(QImage& strip, QRgb face)
{
    makeRgb32(strip);
    if (strip.isNull())
        return;
    const QRgb key = opaque(strip.pixel(0, 0));
    for (int y = 0; y < strip.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(strip.scanLine(y));
        for (int x = 0; x < strip.width(); ++x) {
            if (opaque(line[x]) == key)
                line[x] = opaque(face);
        }
    }
}

QImage Scheme::cutFace(const QImage& strip, int slot, QSize faceSize, bool pressed, QRgb face)
{
    QImage image = filled(faceSize, face);
    if (image.isNull())
        return image;
    const QRect block(SlotWidth * slot, 0, SlotWidth, SlotHeight);
    copyBlock(image, pressed ? QPoint(1, 1) : QPoint(0, 0), asRgb32(strip), block);
    return image;
}

QImage Scheme::buttonPicture(const QImage& faceImage, QSize buttonSize, QRgb face)
{
    QImage image = filled(buttonSize, face);
    if (image.isNull())
        return image;
    const QImage source = asRgb32(faceImage);
    copyBlock(image, QPoint(0, 0), source, source.rect());
    return image;
}
