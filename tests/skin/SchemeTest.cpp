#include "skin/Scheme.h"

#include <QImage>
#include <QTest>

namespace {

struct Entry
{
    const char* name;
    QRgb TSchemeColors::*member;
    QPoint point;
};

// The sample points in the order of the record, written out independently of the skin code.
const Entry entries[] = {
    {"Outline", &TSchemeColors::Outline, {0, 0}},
    {"PanelBand", &TSchemeColors::PanelBand, {5, 5}},
    {"Face", &TSchemeColors::Face, {6, 6}},
    {"FrameFill", &TSchemeColors::FrameFill, {2, 2}},
    {"BoxBorder", &TSchemeColors::BoxBorder, {7, 6}},
    {"BoxFill", &TSchemeColors::BoxFill, {8, 6}},
    {"EdgeTopLeft", &TSchemeColors::EdgeTopLeft, {1, 1}},
    {"EdgeTop", &TSchemeColors::EdgeTop, {2, 1}},
    {"EdgeTopRight", &TSchemeColors::EdgeTopRight, {14, 1}},
    {"EdgeLeft", &TSchemeColors::EdgeLeft, {1, 2}},
    {"EdgeRight", &TSchemeColors::EdgeRight, {14, 2}},
    {"EdgeBottomLeft", &TSchemeColors::EdgeBottomLeft, {1, 14}},
    {"EdgeBottom", &TSchemeColors::EdgeBottom, {2, 14}},
    {"EdgeBottomRight", &TSchemeColors::EdgeBottomRight, {14, 14}},
    {"PanelTopLeft", &TSchemeColors::PanelTopLeft, {4, 4}},
    {"PanelTop", &TSchemeColors::PanelTop, {5, 4}},
    {"PanelTopRight", &TSchemeColors::PanelTopRight, {11, 4}},
    {"PanelLeft", &TSchemeColors::PanelLeft, {4, 5}},
    {"PanelRight", &TSchemeColors::PanelRight, {11, 5}},
    {"PanelBottomLeft", &TSchemeColors::PanelBottomLeft, {4, 11}},
    {"PanelBottom", &TSchemeColors::PanelBottom, {5, 11}},
    {"PanelBottomRight", &TSchemeColors::PanelBottomRight, {11, 11}},
    {"CaptionText", &TSchemeColors::CaptionText, {6, 7}},
    {"CaptionShadow", &TSchemeColors::CaptionShadow, {7, 7}},
    {"DateText", &TSchemeColors::DateText, {8, 7}},
    {"BodyText", &TSchemeColors::BodyText, {9, 7}},
    {"LabelText", &TSchemeColors::LabelText, {6, 8}},
};
constexpr int entryCount = 27;
static_assert(std::size(entries) == entryCount);

const QRgb background = qRgb(0x11, 0x22, 0x33);

QRgb distinctColour(int index)
{
    return qRgb(0x40 + index, 0x80 + index, 0xC0 - index);
}

// A 16 x 16 scheme whose sample points all carry different colours.
QImage distinctScheme()
{
    QImage scheme(16, 16, QImage::Format_RGB32);
    scheme.fill(background);
    for (int i = 0; i < entryCount; ++i)
        scheme.setPixel(entries[i].point, distinctColour(i));
    return scheme;
}

TSchemeColors distinctColours()
{
    TSchemeColors colours;
    for (int i = 0; i < entryCount; ++i)
        colours.*entries[i].member = distinctColour(i);
    return colours;
}

QString hex(QRgb colour)
{
    return QStringLiteral("#%1").arg(colour & 0xffffffu, 6, 16, QLatin1Char('0'));
}

// Reports the first pixel of the run from..to (inclusive, along a row or column) that differs.
bool runIs(const QImage& image, QPoint from, QPoint to, QRgb colour, QString* failure)
{
    const QPoint step((to.x() > from.x()) - (to.x() < from.x()),
                      (to.y() > from.y()) - (to.y() < from.y()));
    for (QPoint p = from;; p += step) {
        if (image.pixel(p) != colour) {
            *failure = QStringLiteral("(%1, %2) is %3, expected %4")
                           .arg(p.x())
                           .arg(p.y())
                           .arg(hex(image.pixel(p)), hex(colour));
            return false;
        }
        if (p == to)
            return true;
    }
}

// A strip in which every pixel has its own colour, so any misplaced copy shows.
QImage codedStrip(int width = 104, int height = 22)
{
    QImage strip(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            strip.setPixel(x, y, qRgb(x, y, 0x80));
    }
    return strip;
}

QString resource(const QString& name)
{
    return QFINDTESTDATA(QStringLiteral("../../resources/") + name);
}

} // namespace

class SchemeTest : public QObject
{
    Q_OBJECT

private slots:
    void readSchemeColors_takesPointsInTableOrder_data();
    void readSchemeColors_takesPointsInTableOrder();
    void readSchemeColors_shortScheme_usesBuiltInBelowPicture_data();
    void readSchemeColors_shortScheme_usesBuiltInBelowPicture();
    void readSchemeColors_transparentPicture_comparesWithoutAlpha();
    void builtInScheme_yieldsBuiltInColors();

    void paintFrame_rimsAndRings_data();
    void paintFrame_rimsAndRings();
    void paintFrame_tinyImages_stayInside_data();
    void paintFrame_tinyImages_stayInside();
    void paintFrame_otherFormat_becomesRgb32();
    void paintEditBoxes_borderAroundFill_data();
    void paintEditBoxes_borderAroundFill();

    void keyStrip_replacesKeyColourOnly_data();
    void keyStrip_replacesKeyColourOnly();
    void keyStrip_emptyStrip_staysEmpty();
    void cutFace_copiesSlotBlock_data();
    void cutFace_copiesSlotBlock();
    void cutFace_calendarFace_lastRowIsFace();
    void buttonPicture_facePlacedTopLeft_data();
    void buttonPicture_facePlacedTopLeft();

    void builtInStrip_greenKeyWithoutFringes();
    void builtInPictures_haveTheirSizes_data();
    void builtInPictures_haveTheirSizes();
};

void SchemeTest::readSchemeColors_takesPointsInTableOrder_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < entryCount; ++i)
        QTest::newRow(entries[i].name) << i;
}

void SchemeTest::readSchemeColors_takesPointsInTableOrder()
{
    QFETCH(int, index);
    const TSchemeColors colours = Scheme::ReadSchemeColors(distinctScheme());
    QCOMPARE(hex(colours.*entries[index].member), hex(distinctColour(index)));
    QCOMPARE(qAlpha(colours.*entries[index].member), 0xff);
}

void SchemeTest::readSchemeColors_shortScheme_usesBuiltInBelowPicture_data()
{
    QTest::addColumn<int>("height");
    QTest::newRow("empty picture") << 0;
    QTest::newRow("one row") << 1;
    QTest::newRow("eleven rows") << 11;
    QTest::newRow("fourteen rows") << 14;
    QTest::newRow("fifteen rows") << 15;
}

void SchemeTest::readSchemeColors_shortScheme_usesBuiltInBelowPicture()
{
    QFETCH(int, height);
    const QImage scheme = height > 0 ? distinctScheme().copy(0, 0, 16, height) : QImage();
    const TSchemeColors colours = Scheme::ReadSchemeColors(scheme);
    const TSchemeColors builtIn = Scheme::builtInColors();
    for (const Entry& entry : entries) {
        const QRgb expected =
            entry.point.y() < height ? scheme.pixel(entry.point) : builtIn.*entry.member;
        QVERIFY2(colours.*entry.member == expected, entry.name);
    }
}

void SchemeTest::readSchemeColors_transparentPicture_comparesWithoutAlpha()
{
    QImage scheme(16, 16, QImage::Format_ARGB32);
    scheme.fill(qRgba(0x12, 0x34, 0x56, 0xff));
    scheme.setPixel(6, 6, qRgba(0xAB, 0xCD, 0xEF, 0xff));
    const TSchemeColors colours = Scheme::ReadSchemeColors(scheme);
    QCOMPARE(colours.Face, qRgb(0xAB, 0xCD, 0xEF));
    QCOMPARE(colours.Outline, qRgb(0x12, 0x34, 0x56));
}

void SchemeTest::builtInScheme_yieldsBuiltInColors()
{
    const QImage scheme(resource(QStringLiteral("scheme.png")));
    QCOMPARE(scheme.size(), QSize(16, 16));
    const TSchemeColors colours = Scheme::ReadSchemeColors(scheme);
    const TSchemeColors builtIn = Scheme::builtInColors();
    for (const Entry& entry : entries)
        QVERIFY2(colours.*entry.member == builtIn.*entry.member, entry.name);
}

void SchemeTest::paintFrame_rimsAndRings_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("main background") << QSize(320, 320);
    QTest::newRow("secondary background") << QSize(181, 150);
}

void SchemeTest::paintFrame_rimsAndRings()
{
    QFETCH(QSize, size);
    const TSchemeColors c = distinctColours();
    QImage image(size, QImage::Format_RGB32);
    image.fill(background);
    Scheme::PaintFrame(image, c);
    const int r = size.width() - 1;
    const int b = size.height() - 1;
    QString failure;
    auto check = [&](QPoint from, QPoint to, QRgb colour) {
        if (!runIs(image, from, to, colour, &failure))
            QFAIL(qPrintable(failure));
    };

    // Outline ring.
    check({0, 0}, {r, 0}, c.Outline);
    check({0, b}, {r, b}, c.Outline);
    check({0, 0}, {0, b}, c.Outline);
    check({r, 0}, {r, b}, c.Outline);
    // Bevel at distance 1 with its corners.
    check({1, 1}, {1, 1}, c.EdgeTopLeft);
    check({2, 1}, {r - 2, 1}, c.EdgeTop);
    check({r - 1, 1}, {r - 1, 1}, c.EdgeTopRight);
    check({1, 2}, {1, b - 2}, c.EdgeLeft);
    check({r - 1, 2}, {r - 1, b - 2}, c.EdgeRight);
    check({1, b - 1}, {1, b - 1}, c.EdgeBottomLeft);
    check({2, b - 1}, {r - 2, b - 1}, c.EdgeBottom);
    check({r - 1, b - 1}, {r - 1, b - 1}, c.EdgeBottomRight);
    // Frame body: the title band and the strips beside and below the panel.
    check({2, 2}, {r - 2, 2}, c.FrameFill);
    check({2, 19}, {r - 2, 19}, c.FrameFill);
    check({2, 2}, {2, b - 2}, c.FrameFill);
    check({3, 20}, {3, b - 3}, c.FrameFill);
    check({r - 3, 20}, {r - 3, b - 3}, c.FrameFill);
    check({2, b - 3}, {r - 2, b - 3}, c.FrameFill);
    // Panel rim: x = 4 and W - 5, y = 20 and H - 5.
    check({4, 20}, {4, 20}, c.PanelTopLeft);
    check({5, 20}, {r - 5, 20}, c.PanelTop);
    check({r - 4, 20}, {r - 4, 20}, c.PanelTopRight);
    check({4, 21}, {4, b - 5}, c.PanelLeft);
    check({r - 4, 21}, {r - 4, b - 5}, c.PanelRight);
    check({4, b - 4}, {4, b - 4}, c.PanelBottomLeft);
    check({5, b - 4}, {r - 5, b - 4}, c.PanelBottom);
    check({r - 4, b - 4}, {r - 4, b - 4}, c.PanelBottomRight);
    // The band just inside the rim, and the face inside the band.
    check({5, 21}, {r - 5, 21}, c.PanelBand);
    check({5, b - 5}, {r - 5, b - 5}, c.PanelBand);
    check({5, 21}, {5, b - 5}, c.PanelBand);
    check({r - 5, 21}, {r - 5, b - 5}, c.PanelBand);
    check({6, 22}, {r - 6, 22}, c.Face);
    check({6, b - 6}, {r - 6, b - 6}, c.Face);
    check({6, 22}, {6, b - 6}, c.Face);
    check({r - 6, 22}, {r - 6, b - 6}, c.Face);
}

void SchemeTest::paintFrame_tinyImages_stayInside_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("probe");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0x0") << QSize(0, 0) << QPoint(-1, -1) << QString();
    QTest::newRow("1x1") << QSize(1, 1) << QPoint(0, 0) << QStringLiteral("Outline");
    // All four bevel corners land on the centre; the last one painted wins.
    QTest::newRow("3x3 centre") << QSize(3, 3) << QPoint(1, 1) << QStringLiteral("EdgeBottomRight");
    QTest::newRow("3x3 corner") << QSize(3, 3) << QPoint(2, 0) << QStringLiteral("Outline");
    // Two columns: the left and right bevel lines swap sides, the right one drawn last.
    QTest::newRow("2x40") << QSize(2, 40) << QPoint(0, 25) << QStringLiteral("EdgeRight");
    // The panel's ranges end before they start: no band, no face, no rim lines.
    QTest::newRow("8x30 no panel") << QSize(8, 30) << QPoint(5, 22) << QStringLiteral("FrameFill");
    QTest::newRow("8x30 rim corner")
        << QSize(8, 30) << QPoint(3, 25) << QStringLiteral("PanelBottomRight");
    QTest::newRow("40x10 title band")
        << QSize(40, 10) << QPoint(20, 3) << QStringLiteral("FrameFill");
    QTest::newRow("40x10 bottom rim")
        << QSize(40, 10) << QPoint(20, 5) << QStringLiteral("PanelBottom");
    QTest::newRow("14x30 face") << QSize(14, 30) << QPoint(6, 22) << QStringLiteral("Face");
}

void SchemeTest::paintFrame_tinyImages_stayInside()
{
    QFETCH(QSize, size);
    QFETCH(QPoint, probe);
    QFETCH(QString, expected);
    const TSchemeColors c = distinctColours();
    QImage image = size.isEmpty() ? QImage() : QImage(size, QImage::Format_RGB32);
    image.fill(background);
    Scheme::PaintFrame(image, c);
    Scheme::PaintEditBoxes(image, c);
    QCOMPARE(image.size(), size);
    if (expected.isEmpty())
        return;
    for (const Entry& entry : entries) {
        if (expected == QLatin1String(entry.name)) {
            QCOMPARE(hex(image.pixel(probe)), hex(c.*entry.member));
            return;
        }
    }
    QFAIL("unknown entry");
}

void SchemeTest::paintFrame_otherFormat_becomesRgb32()
{
    QImage image(20, 30, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const TSchemeColors c = distinctColours();
    Scheme::PaintFrame(image, c);
    QCOMPARE(image.format(), QImage::Format_RGB32);
    QCOMPARE(image.pixel(0, 0), c.Outline);
    QCOMPARE(image.pixel(10, 23), c.Face);
}

void SchemeTest::paintEditBoxes_borderAroundFill_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QString>("expected");
    QTest::newRow("title top-left") << QPoint(46, 67) << QStringLiteral("BoxBorder");
    QTest::newRow("title bottom-right") << QPoint(215, 90) << QStringLiteral("BoxBorder");
    QTest::newRow("title inside top-left") << QPoint(47, 68) << QStringLiteral("BoxFill");
    QTest::newRow("title inside bottom-right") << QPoint(214, 89) << QStringLiteral("BoxFill");
    QTest::newRow("left of title") << QPoint(45, 67) << QStringLiteral("Face");
    QTest::newRow("below title") << QPoint(215, 91) << QStringLiteral("Face");
    QTest::newRow("body top-left") << QPoint(18, 99) << QStringLiteral("BoxBorder");
    QTest::newRow("body bottom-right") << QPoint(300, 298) << QStringLiteral("BoxBorder");
    QTest::newRow("body inside top-left") << QPoint(19, 100) << QStringLiteral("BoxFill");
    QTest::newRow("body inside bottom-right") << QPoint(299, 297) << QStringLiteral("BoxFill");
    QTest::newRow("right of body") << QPoint(301, 200) << QStringLiteral("Face");
    QTest::newRow("below body") << QPoint(18, 299) << QStringLiteral("Face");
}

void SchemeTest::paintEditBoxes_borderAroundFill()
{
    QFETCH(QPoint, point);
    QFETCH(QString, expected);
    const TSchemeColors c = distinctColours();
    QImage image(320, 320, QImage::Format_RGB32);
    Scheme::PaintFrame(image, c);
    Scheme::PaintEditBoxes(image, c);
    const QRgb colour = expected == QLatin1String("BoxBorder") ? c.BoxBorder
                        : expected == QLatin1String("BoxFill") ? c.BoxFill
                                                               : c.Face;
    QCOMPARE(hex(image.pixel(point)), hex(colour));
}

void SchemeTest::keyStrip_replacesKeyColourOnly_data()
{
    QTest::addColumn<QRgb>("key");
    QTest::newRow("white key") << qRgb(255, 255, 255);
    QTest::newRow("green key") << qRgb(0, 255, 0);
}

void SchemeTest::keyStrip_replacesKeyColourOnly()
{
    QFETCH(QRgb, key);
    const QRgb face = qRgb(0xFF, 0xE5, 0xC9);
    QImage strip = codedStrip();
    const QImage original = strip;
    // The key colour scattered through the faces, next to colours one step away from it.
    const QPoint keyed[] = {{0, 0}, {30, 5}, {60, 21}, {103, 21}, {90, 10}};
    for (QPoint p : keyed)
        strip.setPixel(p, key);
    strip.setPixel(31, 5, key ^ 0x000001u);
    strip.setPixel(32, 5, key ^ 0x010000u);
    const QImage before = strip;

    Scheme::keyStrip(strip, face);

    QCOMPARE(strip.size(), QSize(104, 22));
    for (int y = 0; y < strip.height(); ++y) {
        for (int x = 0; x < strip.width(); ++x) {
            const QRgb expected = before.pixel(x, y) == key ? face : before.pixel(x, y);
            if (strip.pixel(x, y) != expected)
                QFAIL(qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
        }
    }
    QCOMPARE(strip.pixel(31, 5), key ^ 0x000001u);
}

void SchemeTest::keyStrip_emptyStrip_staysEmpty()
{
    QImage strip;
    Scheme::keyStrip(strip, qRgb(1, 2, 3));
    QVERIFY(strip.isNull());
}

void SchemeTest::cutFace_copiesSlotBlock_data()
{
    QTest::addColumn<QSize>("stripSize");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QSize>("faceSize");
    QTest::addColumn<bool>("pressed");
    const QSize strip(104, 22);
    QTest::newRow("previous normal") << strip << 0 << QSize(26, 22) << false;
    QTest::newRow("previous pressed") << strip << 0 << QSize(26, 22) << true;
    QTest::newRow("next normal") << strip << 1 << QSize(26, 22) << false;
    QTest::newRow("next pressed") << strip << 1 << QSize(26, 22) << true;
    QTest::newRow("calendar normal") << strip << 2 << QSize(26, 23) << false;
    QTest::newRow("calendar pressed") << strip << 2 << QSize(26, 23) << true;
    QTest::newRow("today normal") << strip << 3 << QSize(16, 16) << false;
    QTest::newRow("today pressed") << strip << 3 << QSize(16, 16) << true;
    QTest::newRow("strip taller than 22 rows") << QSize(104, 40) << 1 << QSize(26, 23) << false;
    QTest::newRow("strip of 10 rows") << QSize(104, 10) << 2 << QSize(26, 23) << true;
    QTest::newRow("face larger than slot") << strip << 0 << QSize(40, 30) << false;
}

void SchemeTest::cutFace_copiesSlotBlock()
{
    QFETCH(QSize, stripSize);
    QFETCH(int, slot);
    QFETCH(QSize, faceSize);
    QFETCH(bool, pressed);
    const QRgb face = qRgb(0xFF, 0xE5, 0xC9);
    const QImage strip = codedStrip(stripSize.width(), stripSize.height());

    const QImage cut = Scheme::cutFace(strip, slot, faceSize, pressed, face);

    QCOMPARE(cut.size(), faceSize);
    QCOMPARE(cut.format(), QImage::Format_RGB32);
    const int shift = pressed ? 1 : 0;
    for (int y = 0; y < faceSize.height(); ++y) {
        for (int x = 0; x < faceSize.width(); ++x) {
            const int bx = x - shift;
            const int by = y - shift;
            const bool inBlock = bx >= 0 && bx < 26 && by >= 0 && by < 22 && by < strip.height();
            const QRgb expected = inBlock ? strip.pixel(26 * slot + bx, by) : face;
            if (cut.pixel(x, y) != expected)
                QFAIL(qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
        }
    }
}

void SchemeTest::cutFace_calendarFace_lastRowIsFace()
{
    const QRgb face = qRgb(0xFF, 0xE5, 0xC9);
    QImage strip(QImage(resource(QStringLiteral("buttons.png"))));
    QVERIFY(!strip.isNull());
    Scheme::keyStrip(strip, face);
    const QImage calendar = Scheme::cutFace(strip, 2, QSize(26, 23), false, face);
    QCOMPARE(calendar.size(), QSize(26, 23));
    QString failure;
    QVERIFY2(runIs(calendar, {0, 22}, {25, 22}, face, &failure), qPrintable(failure));
}

void SchemeTest::buttonPicture_facePlacedTopLeft_data()
{
    QTest::addColumn<QSize>("faceSize");
    QTest::addColumn<QSize>("buttonSize");
    QTest::newRow("day button") << QSize(26, 22) << QSize(27, 23);
    QTest::newRow("calendar button") << QSize(26, 23) << QSize(27, 23);
    QTest::newRow("today button") << QSize(16, 16) << QSize(17, 17);
    QTest::newRow("button smaller than face") << QSize(26, 22) << QSize(10, 5);
    QTest::newRow("no face") << QSize(0, 0) << QSize(17, 17);
    QTest::newRow("no button") << QSize(16, 16) << QSize(0, 0);
}

void SchemeTest::buttonPicture_facePlacedTopLeft()
{
    QFETCH(QSize, faceSize);
    QFETCH(QSize, buttonSize);
    const QRgb face = qRgb(0xFF, 0xE5, 0xC9);
    const QImage faceImage =
        faceSize.isEmpty() ? QImage() : codedStrip().copy(QRect({0, 0}, faceSize));

    const QImage button = Scheme::buttonPicture(faceImage, buttonSize, face);

    QCOMPARE(button.size(), buttonSize);
    for (int y = 0; y < buttonSize.height(); ++y) {
        for (int x = 0; x < buttonSize.width(); ++x) {
            const QRgb expected = faceImage.valid(x, y) ? faceImage.pixel(x, y) : face;
            if (button.pixel(x, y) != expected)
                QFAIL(qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
        }
    }
}

void SchemeTest::builtInStrip_greenKeyWithoutFringes()
{
    const QImage strip =
        QImage(resource(QStringLiteral("buttons.png"))).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(strip.size(), QSize(104, 22));
    const QRgb key = qRgb(0, 255, 0);
    QCOMPARE(hex(strip.pixel(0, 0)), hex(key));
    // A near-green pixel would survive the keying and show as a green fringe on the panel.
    int drawn[4] = {};
    for (int y = 0; y < strip.height(); ++y) {
        for (int x = 0; x < strip.width(); ++x) {
            const QRgb p = strip.pixel(x, y);
            if (p == key)
                continue;
            ++drawn[x / 26];
            const bool greenish = qGreen(p) > qRed(p) + 40 && qGreen(p) > qBlue(p) + 40;
            QVERIFY2(!greenish,
                     qPrintable(QStringLiteral("(%1, %2) %3").arg(x).arg(y).arg(hex(p))));
        }
    }
    for (int slot = 0; slot < 4; ++slot)
        QVERIFY(drawn[slot] > 60);
}

void SchemeTest::builtInPictures_haveTheirSizes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("transparent");
    QTest::newRow("scheme") << QStringLiteral("scheme.png") << QSize(16, 16) << false;
    QTest::newRow("buttons") << QStringLiteral("buttons.png") << QSize(104, 22) << false;
    for (int i = 1; i <= 5; ++i) {
        const QString name = QStringLiteral("cursor%1.png").arg(i);
        QTest::newRow(qPrintable(name)) << name << QSize(32, 32) << true;
    }
    QTest::newRow("icon") << QStringLiteral("icon.png") << QSize(64, 64) << true;
    QTest::newRow("menu glyph") << QStringLiteral("glyph_menu.png") << QSize(16, 16) << true;
    QTest::newRow("minimize glyph")
        << QStringLiteral("glyph_minimize.png") << QSize(16, 16) << true;
    QTest::newRow("close glyph") << QStringLiteral("glyph_close.png") << QSize(16, 16) << true;
    QTest::newRow("image11") << QStringLiteral("image11.png") << QSize(16, 16) << true;
    QTest::newRow("image12") << QStringLiteral("image12.png") << QSize(16, 16) << true;
}

void SchemeTest::builtInPictures_haveTheirSizes()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(bool, transparent);
    const QImage picture(resource(name));
    QCOMPARE(picture.size(), size);
    QCOMPARE(picture.hasAlphaChannel(), transparent);
    if (transparent)
        QCOMPARE(qAlpha(picture.pixel(0, 0)), 0);
}

QTEST_GUILESS_MAIN(SchemeTest)
#include "SchemeTest.moc"
