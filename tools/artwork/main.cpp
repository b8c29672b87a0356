// Draws the program's built-in pictures into the resources folder. With a second folder it also
// writes enlarged previews of every picture and a 1:1 mock of the main window there.

#include "skin/Scheme.h"

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <cmath>
#include <map>
#include <vector>

namespace {

// The warm palette of the built-in scheme, darkest first.
const QColor ink(0x3A, 0x1C, 0x00);
const QColor umber(0x6C, 0x38, 0x00);
const QColor sienna(0x9A, 0x55, 0x12);
const QColor copper(0xC8, 0x68, 0x00);
const QColor amber(0xFF, 0xA1, 0x3D);
const QColor apricot(0xFF, 0xBC, 0x75);
const QColor cream(0xFF, 0xD8, 0xAF);
const QColor face(0xFF, 0xE5, 0xC9);
const QColor paper(0xFF, 0xFB, 0xF5);
const QRgb green = qRgb(0, 255, 0);

QImage transparentImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// ---------------------------------------------------------------------------------------------
// Pixel art from rows of characters.

using Palette = std::map<char, QRgb>;
using Grid = std::vector<QString>;

QImage fromGrid(const Grid& grid, const Palette& palette, QSize canvas, QPoint at)
{
    QImage image(canvas, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < int(grid.size()); ++y) {
        for (int x = 0; x < grid[y].size(); ++x) {
            const auto found = palette.find(grid[y][x].toLatin1());
            if (found != palette.end() && image.valid(at.x() + x, at.y() + y))
                image.setPixel(at.x() + x, at.y() + y, found->second);
        }
    }
    return image;
}

QChar at(const Grid& grid, int x, int y)
{
    if (y < 0 || y >= int(grid.size()) || x < 0 || x >= grid[y].size())
        return QLatin1Char('.');
    return grid[y][x];
}

// Gives a fill colour a lit and a shaded side: the pixels along the outline at the right and
// bottom become `shade`, those at the left and top `light`.
Grid shaded(Grid grid, char fill, char outline, char shade, char light)
{
    const Grid original = grid;
    for (int y = 0; y < int(grid.size()); ++y) {
        for (int x = 0; x < grid[y].size(); ++x) {
            if (original[y][x] != QLatin1Char(fill))
                continue;
            if (at(original, x + 1, y) == QLatin1Char(outline) ||
                at(original, x, y + 1) == QLatin1Char(outline))
                grid[y][x] = QLatin1Char(shade);
            else if (at(original, x - 1, y) == QLatin1Char(outline) ||
                     at(original, x, y - 1) == QLatin1Char(outline))
                grid[y][x] = QLatin1Char(light);
        }
    }
    return grid;
}

Grid rotatedClockwise(const Grid& grid)
{
    const int height = int(grid.size());
    int width = 0;
    for (const QString& row : grid)
        width = std::max(width, int(row.size()));
    Grid rotated(width, QString(height, QLatin1Char('.')));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            rotated[x][height - 1 - y] = at(grid, x, y);
    }
    return rotated;
}

// A soft drop shadow under every opaque pixel, down and to the right.
QImage withDropShadow(const QImage& art)
{
    QImage result = transparentImage(art.width(), art.height());
    QPainter painter(&result);
    for (int y = 0; y < art.height(); ++y) {
        for (int x = 0; x < art.width(); ++x) {
            if (qAlpha(art.pixel(x, y)) == 0)
                continue;
            painter.fillRect(x + 1, y + 1, 1, 1, QColor(0x20, 0x10, 0x00, 0x48));
            painter.fillRect(x + 2, y + 2, 1, 1, QColor(0x20, 0x10, 0x00, 0x18));
        }
    }
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (int y = 0; y < art.height(); ++y) {
        for (int x = 0; x < art.width(); ++x) {
            if (qAlpha(art.pixel(x, y)) != 0)
                painter.fillRect(x, y, 1, 1, QColor::fromRgba(art.pixel(x, y)));
        }
    }
    painter.end();
    return result.convertToFormat(QImage::Format_ARGB32);
}

// ---------------------------------------------------------------------------------------------
// Cursors.

// A right hand seen from its back, the index finger raised; its tip is the hot spot (7, 0).
const Grid pointingHand = {
    "......KKK............", //
    ".....KWWWK...........", //
    ".....KWWWK...........", //
    ".....KWWWK...........", //
    ".....KWWWK...........", //
    ".....KWWWK...........", //
    ".....KWWWK...........", //
    ".....KWWWKKKK........", //
    ".....KWWWKWWWKKK.....", //
    ".....KWWWKWWWKWWWKK..", //
    ".....KWWWKWWWKWWWKWWK", //
    ".KKK.KWWWKWWWKWWWKWWK", //
    "KWWWKKWWWKWWWKWWWKWWK", //
    "KWWWWKWWWWWWWWWWWWWWK", //
    ".KWWWWWWWWWWWWWWWWWWK", //
    ".KWWWWWWWWWWWWWWWWWWK", //
    "..KWWWWWWWWWWWWWWWWWK", //
    "..KWWWWWWWWWWWWWWWWWK", //
    "...KWWWWWWWWWWWWWWWK.", //
    "....KWWWWWWWWWWWWWWK.", //
    "....KWWWWWWWWWWWWWK..", //
    ".....KWWWWWWWWWWWWK..", //
    ".....KKKKKKKKKKKKKK..", //
    ".....KCCCCCCCCCCCCK..", //
    ".....KCCCCCCCCCCCCK..", //
    ".....KKKKKKKKKKKKKK..", //
};

// The same hand with all four fingers raised.
const Grid openHand = {
    "..........KKK........", //
    "......KKKKWWWKKKK....", //
    ".....KWWWKWWWKWWWK...", //
    ".....KWWWKWWWKWWWKKK.", //
    ".....KWWWKWWWKWWWKWWK", //
    ".....KWWWKWWWKWWWKWWK", //
    ".....KWWWKWWWKWWWKWWK", //
    ".....KWWWKWWWKWWWKWWK", //
    ".....KWWWKWWWKWWWKWWK", //
    ".....KWWWKWWWKWWWKWWK", //
    ".....KWWWKWWWKWWWKWWK", //
    ".KKK.KWWWKWWWKWWWKWWK", //
    "KWWWKKWWWKWWWKWWWKWWK", //
    "KWWWWKWWWWWWWWWWWWWWK", //
    ".KWWWWWWWWWWWWWWWWWWK", //
    ".KWWWWWWWWWWWWWWWWWWK", //
    "..KWWWWWWWWWWWWWWWWWK", //
    "..KWWWWWWWWWWWWWWWWWK", //
    "...KWWWWWWWWWWWWWWWK.", //
    "....KWWWWWWWWWWWWWWK.", //
    "....KWWWWWWWWWWWWWK..", //
    ".....KWWWWWWWWWWWWK..", //
    ".....KKKKKKKKKKKKKK..", //
    ".....KCCCCCCCCCCCCK..", //
    ".....KCCCCCCCCCCCCK..", //
    ".....KKKKKKKKKKKKKK..", //
};

// The hand closed, as when it grips.
const Grid closedHand = {
    "..........KKK........", //
    "......KKKKWWWKKKK....", //
    ".....KWWWKWWWKWWWKKK.", //
    ".....KWWWKWWWKWWWKWWK", //
    ".....KWWWKWWWKWWWKWWK", //
    ".KKK.KWWWKWWWKWWWKWWK", //
    "KWWWKKWWWKWWWKWWWKWWK", //
    "KWWWWKWWWWWWWWWWWWWWK", //
    ".KWWWWWWWWWWWWWWWWWWK", //
    ".KWWWWWWWWWWWWWWWWWWK", //
    "..KWWWWWWWWWWWWWWWWWK", //
    "..KWWWWWWWWWWWWWWWWWK", //
    "...KWWWWWWWWWWWWWWWK.", //
    "....KWWWWWWWWWWWWWWK.", //
    "....KWWWWWWWWWWWWWK..", //
    ".....KWWWWWWWWWWWWK..", //
    ".....KKKKKKKKKKKKKK..", //
    ".....KCCCCCCCCCCCCK..", //
    ".....KCCCCCCCCCCCCK..", //
    ".....KKKKKKKKKKKKKK..", //
};

// A small twinkle that marks the hand shown over a hot spot.
const Grid twinkle = {
    "...K...", //
    "..KAK..", //
    ".KAYAK.", //
    "KAYYYAK", //
    ".KAYAK.", //
    "..KAK..", //
    "...K...", //
};

Palette handPalette(QColor cuff, QColor cuffShade)
{
    return {
        {'K', ink.rgb()},
        {'W', paper.rgb()},
        {'S', qRgb(0xF0, 0xCF, 0xA8)},
        {'L', qRgb(255, 255, 255)},
        {'C', cuff.rgb()},
        {'D', cuffShade.rgb()},
        {'E', cuff.lighter(115).rgb()},
        {'A', amber.rgb()},
        {'Y', qRgb(0xFF, 0xF4, 0xB0)},
    };
}

Grid hand(const Grid& shape)
{
    return shaded(shaded(shape, 'W', 'K', 'S', 'L'), 'C', 'K', 'D', 'E');
}

struct Cursor
{
    QImage image;
    QPoint hotSpot;
};

Cursor makeCursor(const Grid& shape, QPoint at, QPoint tip, QColor cuff, bool twinkling)
{
    const Palette palette = handPalette(cuff, cuff.darker(130));
    QImage image = fromGrid(hand(shape), palette, QSize(32, 32), at);
    if (twinkling) {
        const QImage star = fromGrid(twinkle, palette, QSize(32, 32), at + QPoint(11, -1));
        QPainter painter(&image);
        painter.drawImage(0, 0, star);
    }
    return {withDropShadow(image), at + tip};
}

// ---------------------------------------------------------------------------------------------
// Button strip: four 26 x 22 slots drawn on the panel colour, their background in pure green.

// Shadow of an object: its coverage moved down and right, fading with the distance.
QImage softShadow(const QImage& object)
{
    QImage shadow = transparentImage(object.width(), object.height());
    for (int y = 0; y < object.height(); ++y) {
        for (int x = 0; x < object.width(); ++x) {
            double near = 0;
            double far = 0;
            if (object.valid(x - 1, y - 1))
                near = qAlpha(object.pixel(x - 1, y - 1)) / 255.0;
            if (object.valid(x - 2, y - 2))
                far = qAlpha(object.pixel(x - 2, y - 2)) / 255.0;
            const double a = std::max(0.5 * near, 0.22 * far);
            shadow.setPixelColor(x, y, QColor(0x50, 0x4C, 0x48, int(std::lround(255 * a))));
        }
    }
    return shadow;
}

// Lays the object and its shadow on the panel colour. Pixels that would stay almost bare become
// the key green; every other pixel is blended against the panel colour, never against green, so
// no green fringe survives the keying.
QImage onKey(const QImage& object, const QImage& shadow)
{
    QImage layered = transparentImage(object.width(), object.height());
    QPainter painter(&layered);
    painter.drawImage(0, 0, shadow);
    painter.drawImage(0, 0, object);
    painter.end();

    QImage result(object.size(), QImage::Format_RGB32);
    result.fill(face);
    painter.begin(&result);
    painter.drawImage(0, 0, layered);
    painter.end();
    for (int y = 0; y < result.height(); ++y) {
        for (int x = 0; x < result.width(); ++x) {
            if (qAlpha(layered.pixel(x, y)) < 40)
                result.setPixel(x, y, green);
        }
    }
    return result;
}

QPolygonF polygon(std::initializer_list<QPointF> points)
{
    return QPolygonF(QList<QPointF>(points));
}

// A faceted amber crystal point, upright with its base on the origin's row 10, lit from the top
// left: a six-sided prism with a pointed top and a broken base, three faces turned to the viewer.
void drawCrystal(QPainter& painter)
{
    const QPointF apex(0.5, -10.0);
    const QPointF shoulderLeft(-6.0, -2.5), shoulderRight(6.5, -3.5);
    const QPointF ridgeLeft(-2.0, -1.5), ridgeRight(2.5, -1.5);
    const QPointF baseLeft(-6.0, 7.5), baseRight(6.5, 7.0);
    const QPointF footLeft(-2.0, 10.5), footRight(2.5, 10.5);
    const QPolygonF outline =
        polygon({apex, shoulderRight, baseRight, footRight, footLeft, baseLeft, shoulderLeft});

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xF4, 0xA2, 0x48));
    painter.drawPolygon(outline);
    auto facet = [&](QColor colour, std::initializer_list<QPointF> points) {
        painter.setBrush(colour);
        painter.drawPolygon(polygon(points));
    };
    facet(QColor(0xFF, 0xFC, 0xF2), {apex, shoulderLeft, ridgeLeft});
    facet(QColor(0xFF, 0xD2, 0x94), {apex, ridgeLeft, ridgeRight});
    facet(QColor(0xE0, 0x84, 0x2C), {apex, ridgeRight, shoulderRight});
    facet(QColor(0xFF, 0xE4, 0xBC), {shoulderLeft, baseLeft, footLeft, ridgeLeft});
    facet(QColor(0xF2, 0x9C, 0x40), {ridgeLeft, footLeft, footRight, ridgeRight});
    facet(QColor(0xA8, 0x52, 0x08), {ridgeRight, footRight, baseRight, shoulderRight});
    // A glint on the lit faces.
    facet(QColor(0xFF, 0xFF, 0xFF),
          {QPointF(-4.6, -1.2), QPointF(-3.6, -1.0), QPointF(-3.6, 4.0), QPointF(-4.6, 3.6)});

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(umber, 1.0));
    painter.drawPolygon(outline);
}

QImage crystalSlot()
{
    QImage object = transparentImage(26, 22);
    QPainter painter(&object);
    painter.translate(12.0, 10.0);
    // Sheared rather than turned: the long edges then step cleanly, one pixel every few rows.
    painter.shear(0.3, 0);
    drawCrystal(painter);
    painter.end();
    return object;
}

QImage bookSlot()
{
    QImage object = transparentImage(26, 22);
    QPainter painter(&object);
    painter.setRenderHint(QPainter::Antialiasing);
    const double spine = 12.5;

    // The cover, seen below the pages.
    QPainterPath cover;
    cover.moveTo(spine, 7.0);
    cover.cubicTo(9.0, 4.5, 4.5, 4.5, 1.0, 6.0);
    cover.lineTo(1.0, 18.5);
    cover.cubicTo(4.5, 17.0, 9.0, 17.0, spine, 19.5);
    cover.cubicTo(16.0, 17.0, 20.5, 17.0, 24.0, 18.5);
    cover.lineTo(24.0, 6.0);
    cover.cubicTo(20.5, 4.5, 16.0, 4.5, spine, 7.0);
    painter.setPen(QPen(umber, 1.0));
    painter.setBrush(copper);
    painter.drawPath(cover);

    auto page = [&](double outer, QColor fill) {
        QPainterPath path;
        path.moveTo(spine, 6.0);
        path.cubicTo(spine + (outer - spine) * 0.3, 3.0, spine + (outer - spine) * 0.7, 2.6, outer,
                     3.8);
        path.lineTo(outer, 16.5);
        path.cubicTo(spine + (outer - spine) * 0.7, 15.2, spine + (outer - spine) * 0.3, 15.6,
                     spine, 18.0);
        path.closeSubpath();
        painter.setPen(QPen(sienna, 0.9));
        painter.setBrush(fill);
        painter.drawPath(path);
    };
    page(2.5, paper);
    page(22.5, QColor(0xFF, 0xF1, 0xE0));

    // Lines of writing, crisp so that they stay legible as lines.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(0xC8, 0x94, 0x5C), 1.0));
    for (int i = 0; i < 4; ++i) {
        const int y = 7 + 2 * i;
        painter.drawLine(4, y, 10, y);
        painter.drawLine(15, y, i == 3 ? 18 : 21, y);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(sienna, 1.0));
    painter.drawLine(QPointF(spine, 6.4), QPointF(spine, 17.6));

    // A ribbon marker hanging from the spine.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xA8, 0x3A, 0x10));
    painter.drawPolygon(polygon({QPointF(13.0, 17.0), QPointF(14.6, 17.0), QPointF(14.6, 21.0),
                                 QPointF(13.8, 20.2), QPointF(13.0, 21.0)}));
    painter.end();
    return object;
}

QImage coinSlot()
{
    QImage object = transparentImage(26, 22);
    QPainter painter(&object);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(7.0, 7.0);
    QRadialGradient metal(QPointF(5.0, 4.5), 8.0);
    metal.setColorAt(0.0, QColor(0xFF, 0xF0, 0xC8));
    metal.setColorAt(0.6, QColor(0xF2, 0xB4, 0x5E));
    metal.setColorAt(1.0, QColor(0xC8, 0x74, 0x20));
    painter.setPen(QPen(umber, 1.0));
    painter.setBrush(metal);
    painter.drawEllipse(centre, 6.5, 6.5);
    painter.setPen(QPen(QColor(0xB0, 0x66, 0x18, 200), 0.8));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, 4.7, 4.7);
    painter.end();

    // The "T" as crisp pixels, embossed: dark stroke with a light edge below and right.
    const QRgb dark = qRgb(0x6C, 0x38, 0x00);
    const QRgb light = qRgb(0xFF, 0xF4, 0xD8);
    const QPoint tPixels[] = {{5, 4}, {6, 4}, {7, 4}, {8, 4}, {9, 4}, {7, 5},
                              {7, 6}, {7, 7}, {7, 8}, {7, 9}, {6, 4}, {8, 4}};
    for (QPoint p : tPixels)
        object.setPixelColor(p + QPoint(1, 1), QColor(light));
    for (QPoint p : tPixels)
        object.setPixelColor(p, QColor(dark));
    return object;
}

QImage buttonStrip()
{
    QImage strip(104, 22, QImage::Format_RGB32);
    QPainter painter(&strip);
    const QImage crystal = crystalSlot();
    const QImage objects[] = {crystal, crystal.mirrored(true, false), bookSlot(), coinSlot()};
    for (int i = 0; i < 4; ++i)
        painter.drawImage(26 * i, 0, onKey(objects[i], softShadow(objects[i])));
    painter.end();
    return strip;
}

// ---------------------------------------------------------------------------------------------
// Scheme thumbnail: a tiny skinned window whose sample points carry the built-in colours.

QImage schemeThumbnail()
{
    const TSchemeColors c = Scheme::builtInColors();
    QImage image(16, 16, QImage::Format_RGB32);
    auto fill = [&](int l, int t, int r, int b, QRgb colour) {
        for (int y = t; y < b; ++y) {
            for (int x = l; x < r; ++x)
                image.setPixel(x, y, colour);
        }
    };
    fill(0, 0, 16, 16, c.Outline);
    fill(2, 2, 14, 14, c.FrameFill);
    fill(1, 1, 15, 2, c.EdgeTop);
    fill(1, 14, 15, 15, c.EdgeBottom);
    fill(1, 2, 2, 14, c.EdgeLeft);
    fill(14, 2, 15, 14, c.EdgeRight);
    image.setPixel(1, 1, c.EdgeTopLeft);
    image.setPixel(14, 1, c.EdgeTopRight);
    image.setPixel(1, 14, c.EdgeBottomLeft);
    image.setPixel(14, 14, c.EdgeBottomRight);
    fill(4, 4, 12, 5, c.PanelTop);
    fill(4, 11, 12, 12, c.PanelBottom);
    fill(4, 5, 5, 11, c.PanelLeft);
    fill(11, 5, 12, 11, c.PanelRight);
    image.setPixel(4, 4, c.PanelTopLeft);
    image.setPixel(11, 4, c.PanelTopRight);
    image.setPixel(4, 11, c.PanelBottomLeft);
    image.setPixel(11, 11, c.PanelBottomRight);
    fill(5, 5, 11, 11, c.PanelBand);
    fill(6, 6, 10, 10, c.Face);
    // A box with a line of text in it, and the colours of the writing beside it.
    image.setPixel(7, 6, c.BoxBorder);
    image.setPixel(8, 6, c.BoxFill);
    image.setPixel(9, 6, c.BoxFill);
    image.setPixel(6, 7, c.CaptionText);
    image.setPixel(7, 7, c.CaptionShadow);
    image.setPixel(8, 7, c.DateText);
    image.setPixel(9, 7, c.BodyText);
    image.setPixel(6, 8, c.LabelText);
    return image;
}

// ---------------------------------------------------------------------------------------------
// Title-bar glyphs, the two small pictures and the icon.

// Draws the glyph's shape in dark brown with a one-pixel light edge below and right, so it
// looks pressed into the title band.
QImage engraved(const Grid& shape)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const QRgb dark = umber.rgb();
    const QRgb light = qRgb(0xFF, 0xE8, 0xCC);
    for (int y = 0; y < int(shape.size()); ++y) {
        for (int x = 0; x < shape[y].size(); ++x) {
            if (shape[y][x] == QLatin1Char('#') && at(shape, x + 1, y + 1) != QLatin1Char('#'))
                image.setPixel(x + 1, y + 1, light);
        }
    }
    for (int y = 0; y < int(shape.size()); ++y) {
        for (int x = 0; x < shape[y].size(); ++x) {
            if (shape[y][x] == QLatin1Char('#'))
                image.setPixel(x, y, dark);
        }
    }
    return image;
}

const Grid menuGlyph = {
    "................", //
    "................", //
    "................", //
    "................", //
    "................", //
    "...##########...", //
    "....########....", //
    ".....######.....", //
    "......####......", //
    ".......##.......", //
    "................", //
    "................", //
    "................", //
    "................", //
    "................", //
    "................", //
};

const Grid minimizeGlyph = {
    "................", //
    "................", //
    "................", //
    "................", //
    "................", //
    "................", //
    "................", //
    "................", //
    "................", //
    "................", //
    "...##########...", //
    "...##########...", //
    "................", //
    "................", //
    "................", //
    "................", //
};

const Grid closeGlyph = {
    "................", //
    "................", //
    "................", //
    "...##......##...", //
    "...###....###...", //
    "....###..###....", //
    ".....######.....", //
    "......####......", //
    "......####......", //
    ".....######.....", //
    "....###..###....", //
    "...###....###...", //
    "...##......##...", //
    "................", //
    "................", //
    "................", //
};

// Paints a feather along the diagonal x + y = line, from its nib at s = x - y = nib to its tip
// at s = tip, the vane starting at s = vane: the lit half of the vane 'W', the shaded half 'c',
// the shaft 's', the nib 'n', and an outline 'K' around the vane.
void paintQuill(Grid& grid, int line, int nib, int vane, int tip, double width)
{
    const int size = int(grid.size());
    Grid quill(size, QString(size, QLatin1Char('.')));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int s = x - y;
            const int d = x + y - line;
            if (s < nib || s > tip)
                continue;
            const double peak = vane + 0.45 * (tip - vane);
            const double half = s < vane   ? -1
                                : s < peak ? width * std::sqrt((s - vane + 1) / (peak - vane + 1))
                                           : width * std::sqrt((tip - s) / (tip - peak));
            if (std::abs(d) <= half && d != 0)
                quill[y][x] = QLatin1Char(d < 0 ? 'W' : 'c');
            else if (d == 0)
                quill[y][x] = QLatin1Char(s < nib + 2 ? 'n' : 's');
        }
    }
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const bool vanePixel =
                quill[y][x] == QLatin1Char('W') || quill[y][x] == QLatin1Char('c');
            if (vanePixel && (at(quill, x - 1, y) == QLatin1Char('.') ||
                              at(quill, x + 1, y) == QLatin1Char('.') ||
                              at(quill, x, y - 1) == QLatin1Char('.') ||
                              at(quill, x, y + 1) == QLatin1Char('.')))
                quill[y][x] = QLatin1Char('K');
        }
    }
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (quill[y][x] != QLatin1Char('.'))
                grid[y][x] = quill[y][x];
        }
    }
}

const Palette quillPalette = {
    {'K', umber.rgb()},
    {'W', paper.rgb()},
    {'c', cream.rgb()},
    {'s', sienna.rgb()},
    {'n', ink.rgb()},
    {'o', ink.rgb()},
    {'g', qRgb(0x8C, 0x4F, 0x14)},
    {'h', qRgb(0xD8, 0x96, 0x50)},
    {'d', qRgb(0x5A, 0x2C, 0x04)},
    {'l', paper.rgb()},
};

// A cream quill feather for the caption.
QImage quillPicture()
{
    Grid grid(16, QString(16, QLatin1Char('.')));
    paintQuill(grid, 15, -13, -6, 14, 4.2);
    return fromGrid(grid, quillPalette, QSize(16, 16), QPoint(0, 0));
}

// An inkpot with a quill in it. Its foot is the picture's row 11: on the main window the row
// below is the upper edge of the title box, on which it then stands.
QImage inkpotPicture()
{
    Grid grid(16, QString(16, QLatin1Char('.')));
    paintQuill(grid, 12, 2, 3, 15, 3.6);
    const Grid pot = {
        "......oosoo.....", //
        ".......ogo......", //
        "......oohoo.....", //
        "....oohgggdoo...", //
        "...ohhgggggggo..", //
        "...ohglllllgdo..", //
        "...oggllllgddo..", //
        "....ooooooooo...", //
    };
    for (int y = 0; y < int(pot.size()); ++y) {
        for (int x = 0; x < 16; ++x) {
            if (pot[y][x] != QLatin1Char('.'))
                grid[4 + y][x] = pot[y][x];
        }
    }
    return fromGrid(grid, quillPalette, QSize(16, 16), QPoint(0, 0));
}

// The program icon: a leather-bound diary with a quill laid across it, drawn on a 64-unit grid
// and scaled to size pixels (the desktop's icon theme wants it at several sizes).
QImage iconPicture(int size = 64)
{
    QImage image = transparentImage(size, size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);
    // Shadow under the book.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x40, 0x30, 0x20, 60));
    painter.drawRoundedRect(QRectF(11, 11, 44, 50), 5, 5);
    // Pages seen at the edge.
    painter.setPen(QPen(sienna, 1.2));
    painter.setBrush(paper);
    painter.drawRoundedRect(QRectF(12, 8, 42, 50), 3, 3);
    painter.setPen(QPen(cream, 1.0));
    for (int i = 0; i < 4; ++i)
        painter.drawLine(QPointF(50 + i * 0.9, 11), QPointF(50 + i * 0.9, 55));
    // The cover.
    QLinearGradient leather(QPointF(8, 6), QPointF(50, 58));
    leather.setColorAt(0.0, QColor(0xD8, 0x7A, 0x1C));
    leather.setColorAt(1.0, QColor(0x8A, 0x44, 0x08));
    painter.setPen(QPen(ink, 1.5));
    painter.setBrush(leather);
    painter.drawRoundedRect(QRectF(8, 5, 42, 52), 4, 4);
    // The spine band.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x6C, 0x38, 0x00, 200));
    painter.drawRect(QRectF(9, 6, 6, 50));
    // The label.
    painter.setPen(QPen(umber, 1.2));
    painter.setBrush(face);
    painter.drawRoundedRect(QRectF(21, 14, 22, 13), 2, 2);
    painter.setPen(QPen(QColor(0xC0, 0x8A, 0x50), 1.2));
    painter.drawLine(QPointF(25, 19), QPointF(39, 19));
    painter.drawLine(QPointF(25, 22.5), QPointF(35, 22.5));
    // The quill.
    QPainterPath vane;
    vane.moveTo(22, 52);
    vane.cubicTo(28, 36, 42, 18, 60, 4);
    vane.cubicTo(58, 22, 44, 40, 22, 52);
    painter.setPen(QPen(umber, 1.4));
    painter.setBrush(paper);
    painter.drawPath(vane);
    painter.setPen(QPen(QColor(0xD8, 0xA8, 0x70), 1.0));
    for (int i = 0; i < 5; ++i) {
        const double t = 0.25 + 0.13 * i;
        const QPointF p(22 + 38 * t, 52 - 48 * t);
        painter.drawLine(p, p + QPointF(5, 1.5));
    }
    painter.setPen(QPen(sienna, 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(16, 60), QPointF(56, 8));
    painter.setPen(QPen(ink, 2.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(16, 60), QPointF(19, 56));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// ---------------------------------------------------------------------------------------------
// Previews.

QImage enlarged(const QImage& picture, int factor, QColor backdrop)
{
    QImage big(picture.size() * factor, QImage::Format_RGB32);
    big.fill(backdrop);
    QPainter painter(&big);
    painter.drawImage(QRect(QPoint(0, 0), big.size()), picture);
    return big;
}

QImage mainWindowMock(const QImage& strip, const QImage& image11, const QImage& image12,
                      const QImage glyphs[3])
{
    const TSchemeColors c = Scheme::builtInColors();
    QImage window(320, 320, QImage::Format_RGB32);
    Scheme::PaintFrame(window, c);
    Scheme::PaintEditBoxes(window, c);

    QImage keyed = strip;
    Scheme::keyStrip(keyed, c.Face);
    QPainter painter(&window);
    auto place = [&](int slot, QSize faceSize, QSize buttonSize, QPoint at) {
        const QImage faceImage = Scheme::cutFace(keyed, slot, faceSize, false, c.Face);
        painter.drawImage(at, Scheme::buttonPicture(faceImage, buttonSize, c.Face));
    };
    place(0, {26, 22}, {27, 23}, {216, 32});
    place(3, {16, 16}, {17, 17}, {251, 35});
    place(1, {26, 22}, {27, 23}, {276, 32});
    place(2, {26, 23}, {27, 23}, {247, 65});

    painter.drawImage(6, 4, image11);
    painter.drawImage(188, 55, image12);
    for (int i = 0; i < 3; ++i)
        painter.drawImage(263 + 17 * i, 3, glyphs[i]);

    auto text = [&](QPoint at, int pixelHeight, bool bold, QRgb colour, const QString& s) {
        QFont font(QStringLiteral("IPAPGothic"));
        font.setPixelSize(pixelHeight);
        font.setBold(bold);
        painter.setFont(font);
        painter.setPen(QColor(colour));
        painter.drawText(QRect(at, QSize(200, pixelHeight + 4)), Qt::AlignLeft | Qt::AlignTop, s);
    };
    text({25, 6}, 12, false, c.CaptionShadow, QStringLiteral("Tobiquill"));
    text({24, 5}, 12, false, c.CaptionText, QStringLiteral("Tobiquill"));
    text({20, 36}, 14, true, c.DateText, QStringLiteral("2024年5月17日 金"));
    text({218, 55}, 10, true, c.LabelText, QStringLiteral("Prev"));
    text({276, 55}, 10, true, c.LabelText, QStringLiteral("Next"));
    text({236, 88}, 10, true, c.LabelText, QStringLiteral("Calendar"));
    text({18, 73}, 11, true, c.LabelText, QStringLiteral("Title"));
    text({48, 73}, 12, false, c.BodyText, QStringLiteral("雨のち晴れ"));
    text({24, 104}, 12, false, c.BodyText, QStringLiteral("朝から雨。午後は図書館へ行った。"));
    painter.end();
    return window;
}

bool save(const QImage& image, const QString& path)
{
    if (image.save(path))
        return true;
    QTextStream(stderr) << "cannot write " << path << '\n';
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "usage: artwork <resources-folder> [preview-folder]\n";
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));

    const QImage strip = buttonStrip();
    const QImage scheme = schemeThumbnail();
    const QImage glyphs[3] = {engraved(menuGlyph), engraved(minimizeGlyph), engraved(closeGlyph)};
    const QImage image11 = quillPicture();
    const QImage image12 = inkpotPicture();
    const QImage icon = iconPicture();

    // Resource "CURSORn" is cursorn.png. The program registers CURSOR2 as its cursor 1, the hand
    // over the body's hot spots, and CURSOR5 as cursor 5, the hand over buttons.
    const Cursor cursors[5] = {
        makeCursor(openHand, {2, 1}, {11, 0}, copper, false),
        makeCursor(pointingHand, {2, 1}, {7, 0}, amber, true),
        makeCursor(closedHand, {2, 6}, {10, 9}, copper, false),
        makeCursor(rotatedClockwise(pointingHand), {3, 5}, {25, 7}, copper, false),
        makeCursor(pointingHand, {2, 1}, {7, 0}, copper, false),
    };

    bool ok = save(strip, out.filePath(QStringLiteral("buttons.png"))) &&
              save(scheme, out.filePath(QStringLiteral("scheme.png"))) &&
              save(glyphs[0], out.filePath(QStringLiteral("glyph_menu.png"))) &&
              save(glyphs[1], out.filePath(QStringLiteral("glyph_minimize.png"))) &&
              save(glyphs[2], out.filePath(QStringLiteral("glyph_close.png"))) &&
              save(image11, out.filePath(QStringLiteral("image11.png"))) &&
              save(image12, out.filePath(QStringLiteral("image12.png"))) &&
              save(icon, out.filePath(QStringLiteral("icon.png")));
    // The icon theme's sizes, installed as hicolor/NxN/apps.
    QDir(out.filePath(QStringLiteral("icons"))).mkpath(QStringLiteral("."));
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        ok = ok &&
             save(iconPicture(size), out.filePath(QStringLiteral("icons/icon-%1.png").arg(size)));
    }
    for (int i = 0; i < 5 && ok; ++i) {
        ok = save(cursors[i].image, out.filePath(QStringLiteral("cursor%1.png").arg(i + 1)));
        QTextStream(stdout) << "cursor" << i + 1 << ".png hot spot " << cursors[i].hotSpot.x()
                            << ", " << cursors[i].hotSpot.y() << '\n';
    }
    if (!ok)
        return 1;

    if (argc > 2) {
        const QDir preview(QString::fromLocal8Bit(argv[2]));
        QImage sheet(5 * 264, 256, QImage::Format_RGB32);
        sheet.fill(Qt::white);
        QPainter painter(&sheet);
        for (int i = 0; i < 5; ++i)
            painter.drawImage(i * 264, 0, enlarged(cursors[i].image, 8, QColor(0xE0, 0xE0, 0xE0)));
        painter.end();
        ok =
            save(enlarged(strip, 8, Qt::white), preview.filePath(QStringLiteral("strip.png"))) &&
            save(enlarged(scheme, 16, Qt::white), preview.filePath(QStringLiteral("scheme.png"))) &&
            save(sheet, preview.filePath(QStringLiteral("cursors.png"))) &&
            save(enlarged(icon, 4, face), preview.filePath(QStringLiteral("icon.png")));
        QImage small(16 * 5, 16, QImage::Format_RGB32);
        small.fill(apricot);
        painter.begin(&small);
        for (int i = 0; i < 3; ++i)
            painter.drawImage(16 * i, 0, glyphs[i]);
        painter.drawImage(48, 0, image11);
        painter.fillRect(64, 0, 16, 16, face);
        painter.drawImage(64, 0, image12);
        painter.end();
        const QImage mock = mainWindowMock(strip, image11, image12, glyphs);
        ok = ok &&
             save(enlarged(small, 12, Qt::white), preview.filePath(QStringLiteral("small.png"))) &&
             save(mock, preview.filePath(QStringLiteral("mock.png"))) &&
             save(enlarged(mock.copy(180, 0, 140, 100), 4, Qt::white),
                  preview.filePath(QStringLiteral("mock-buttons.png"))) &&
             save(enlarged(mock.copy(0, 0, 140, 100), 4, Qt::white),
                  preview.filePath(QStringLiteral("mock-caption.png")));
    }
    return ok ? 0 : 1;
}
