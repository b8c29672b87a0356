#include "widgets/CalendarR.h"
#include "common/TestClock.h"
#include "core/time/DiaryDate.h"

#include <QSet>
#include <QSignalSpy>
#include <QTest>

namespace {
const QRgb Plain = qRgb(0xC0, 0x00, 0x00);
const QRgb Entry = qRgb(0x00, 0x80, 0x00);
const QRgb Black = qRgb(0, 0, 0);
const QRgb Header = qRgb(0x20, 0x40, 0xC0);
const QRgb Cell = qRgb(0xFF, 0xFF, 0xE0);

double at(const QDate& date)
{
    return DiaryDate::fromDateTime(QDateTime(date, QTime(0, 0), Qt::UTC));
}

// The pixels of a cell that are not its fill: with antialiasing off they are the text colour.
struct Ink
{
    QSet<QRgb> colours;
    int pixels = 0;
};

Ink inkIn(const QImage& image, const QRect& cell, QRgb fill)
{
    Ink ink;
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        for (int x = cell.left(); x <= cell.right(); ++x) {
            if (image.pixel(x, y) != fill) {
                ink.colours.insert(image.pixel(x, y));
                ++ink.pixels;
            }
        }
    }
    return ink;
}

// January 2024 (the 1st a Monday, so day n sits at column n mod 7, row n div 7 + 1) in the
// window's 161 × 84 grid, today the 5th, in a font drawn without antialiasing.
struct Grid
{
    Grid()
    {
        QFont font;
        font.setPixelSize(12);
        font.setStyleStrategy(QFont::NoAntialias);
        window.setFont(font);
        calendar = new TCalendarR(clock, &window);
        calendar->setGeometry(0, 0, 161, 84);
        calendar->setFixedColor(Header);
        calendar->setCellColor(Cell);
        calendar->setFontColor(Plain);
        calendar->boldDayFont.color = Entry;
        calendar->SetSelectedDate(at(QDate(2024, 1, 12)));
    }

    QRect cellOf(int day) const { return calendar->cellRect(day % 7, day / 7 + 1); }
    QImage image() const { return calendar->grab().toImage(); }
    QRgb highlight() const { return calendar->palette().color(QPalette::Highlight).rgb(); }

    TestClock clock{QDateTime(QDate(2024, 1, 5), QTime(12, 0))};
    QWidget window;
    TCalendarR* calendar;
};
} // namespace

class CalendarRTest : public QObject
{
    Q_OBJECT

private slots:
    void windowSize_givesCellsOf22By11AndHeaderInFixedColour()
    {
        Grid g;
        QCOMPARE(g.calendar->columnWidth(), 22);
        QCOMPARE(g.calendar->rowHeight(), 11);
        QCOMPARE(g.calendar->cellRect(6, 6), QRect(132, 66, 22, 11));
        const QImage image = g.image();
        for (int col = 0; col < 7; ++col) {
            const QRect header = g.calendar->cellRect(col, 0);
            QCOMPARE(image.pixel(header.topLeft()), Header);
            QCOMPARE(image.pixel(header.bottomLeft()), Header);
            QVERIFY(inkIn(image, header, Header).pixels > 0);
        }
        QCOMPARE(image.pixel(g.calendar->cellRect(0, 1).topLeft()), Cell);
        QCOMPARE(image.pixel(154, 5), Cell);
        QCOMPARE(image.pixel(0, 83), Cell);
    }

    void dayCells_boldAndColouredByEntryAndToday_data()
    {
        QTest::addColumn<int>("today");
        QTest::addColumn<int>("day");
        QTest::addColumn<bool>("entry");
        QTest::addColumn<QRgb>("colour");
        QTest::addColumn<bool>("bold");
        // The 12th is the selected day.
        QTest::newRow("plain day") << 5 << 3 << false << Plain << false;
        QTest::newRow("entry") << 5 << 10 << true << Entry << true;
        QTest::newRow("today without entry") << 6 << 6 << false << Black << true;
        QTest::newRow("today with entry") << 5 << 5 << true << Entry << true;
        QTest::newRow("selected plain") << 5 << 12 << false << Plain << false;
        QTest::newRow("selected with entry") << 5 << 12 << true << Entry << true;
        QTest::newRow("selected today") << 12 << 12 << false << Black << true;
    }

    void dayCells_boldAndColouredByEntryAndToday()
    {
        QFETCH(int, today);
        QFETCH(int, day);
        QFETCH(bool, entry);
        QFETCH(QRgb, colour);
        QFETCH(bool, bold);
        Grid g;
        const QRect cell = g.cellOf(day);
        const QRgb fill = day == 12 ? g.highlight() : Cell;
        g.clock.setLocal(QDateTime(QDate(2023, 1, 1), QTime(12, 0)));
        const int plainPixels = inkIn(g.image(), cell, fill).pixels;

        g.clock.setLocal(QDateTime(QDate(2024, 1, today), QTime(23, 59)));
        const double date = at(QDate(2024, 1, day));
        g.calendar->hasEntryTest = [&](double asked) { return entry && asked == date; };
        const QImage image = g.image();
        QCOMPARE(image.pixel(cell.left(), cell.center().y()), fill);
        const Ink ink = inkIn(image, cell, fill);
        QCOMPARE(ink.colours, QSet<QRgb>{colour});
        QCOMPARE(ink.pixels > plainPixels, bold);
    }

    void boldDayFont_isABoldCopyOfTheFontAtConstruction()
    {
        Grid g;
        QVERIFY(g.calendar->boldDayFont.font.bold());
        QCOMPARE(g.calendar->boldDayFont.font.pixelSize(), 12);
        QVERIFY(!g.calendar->font().bold());
        g.calendar->setFont(QFont("Serif", 20));
        QCOMPARE(g.calendar->boldDayFont.font.pixelSize(), 12);
    }

    void failingEntryTest_drawsThePlainDay()
    {
        Grid g;
        g.calendar->hasEntryTest = [](double) -> bool { throw std::runtime_error("unreadable"); };
        const Ink ink = inkIn(g.image(), g.cellOf(3), Cell);
        QCOMPARE(ink.colours, QSet<QRgb>{Plain});
    }

    void mouseRelease_selectsOnlyDaysOfTheMonth_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<int>("day");
        const QPoint day20(6 * 22 + 5, 3 * 11 + 5);
        QTest::newRow("day") << day20 << Qt::LeftButton << false << 20;
        QTest::newRow("header") << QPoint(3 * 22 + 5, 5) << Qt::LeftButton << false << 12;
        QTest::newRow("empty before the 1st") << QPoint(5, 11 + 5) << Qt::LeftButton << false << 12;
        QTest::newRow("empty last row") << QPoint(5, 6 * 11 + 5) << Qt::LeftButton << false << 12;
        QTest::newRow("margin") << QPoint(158, 20) << Qt::LeftButton << false << 12;
        QTest::newRow("right button") << day20 << Qt::RightButton << false << 12;
        QTest::newRow("read-only") << day20 << Qt::LeftButton << true << 12;
    }

    void mouseRelease_selectsOnlyDaysOfTheMonth()
    {
        QFETCH(QPoint, point);
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, readOnly);
        QFETCH(int, day);
        Grid g;
        g.calendar->setReadOnly(readOnly);
        QSignalSpy changes(g.calendar, &TCalendar::OnChange);
        const QString before = g.calendar->CellLabel(5, 2);
        QTest::mouseClick(g.calendar, button, {}, point);
        QCOMPARE(g.calendar->selectedDate(), at(QDate(2024, 1, day)));
        QCOMPARE(changes.count(), day == 12 ? 0 : 1);
        QCOMPARE(g.calendar->CellLabel(5, 2), before);
        QCOMPARE(g.calendar->UseCurrentDate(), day == 12);
    }

    void arrowKeys_moveToNeighbourDaysButNotOffTheMonth_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("to");
        QTest::newRow("right") << 12 << int(Qt::Key_Right) << 13;
        QTest::newRow("left") << 12 << int(Qt::Key_Left) << 11;
        QTest::newRow("down") << 12 << int(Qt::Key_Down) << 19;
        QTest::newRow("up") << 12 << int(Qt::Key_Up) << 5;
        QTest::newRow("home") << 12 << int(Qt::Key_Home) << 7;
        QTest::newRow("end") << 8 << int(Qt::Key_End) << 13;
        QTest::newRow("left of the 1st is empty") << 1 << int(Qt::Key_Left) << 1;
        QTest::newRow("up into the header") << 3 << int(Qt::Key_Up) << 3;
        QTest::newRow("past the right edge") << 6 << int(Qt::Key_Right) << 6;
        QTest::newRow("below the 31st is empty") << 31 << int(Qt::Key_Down) << 31;
        QTest::newRow("right of the 31st is empty") << 31 << int(Qt::Key_Right) << 31;
        QTest::newRow("home onto an empty cell") << 3 << int(Qt::Key_Home) << 3;
    }

    void arrowKeys_moveToNeighbourDaysButNotOffTheMonth()
    {
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(int, to);
        Grid g;
        g.calendar->SetSelectedDate(at(QDate(2024, 1, from)));
        QSignalSpy changes(g.calendar, &TCalendar::OnChange);
        QTest::keyClick(g.calendar, Qt::Key(key));
        QCOMPARE(g.calendar->selectedDate(), at(QDate(2024, 1, to)));
        QCOMPARE(changes.count(), from == to ? 0 : 1);
    }
};

QTEST_MAIN(CalendarRTest)
#include "CalendarRTest.moc"
