#include "widgets/SlideBar.h"

#include <QSignalSpy>
#include <QTest>
#include <algorithm>

namespace {

// A body editor as far as scrolling goes: display lines, how many fit, the first one shown.
// Scrolling stops at either end, as the editor's does.
struct Body
{
    int lineCount = 1;
    int visibleLineCount = 16;
    int firstVisibleLine = 0;

    void ScrollLines(int lines)
    {
        const int last = std::max(0, lineCount - visibleLineCount);
        firstVisibleLine = std::clamp(firstVisibleLine + lines, 0, last);
    }
};

// The main window's wiring: every change of position scrolls the body to the line it stands for.
void follow(TSlideBar& g, Body& body)
{
    QObject::connect(&g, &TSlideBar::OnChange,
                     [&] { body.ScrollLines(g.line() - body.firstVisibleLine); });
}

} // namespace

class SlideBarTest : public QObject
{
    Q_OBJECT

private slots:
    void setPosition_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("position");
        QTest::newRow("above Max is refused") << 11 << 7;
        QTest::newRow("below Min is refused") << 1 << 7;
        QTest::newRow("Max") << 10 << 10;
        QTest::newRow("Min") << 2 << 2;
        QTest::newRow("inside") << 5 << 5;
        QTest::newRow("unchanged") << 7 << 7;
    }

    void setPosition()
    {
        QFETCH(int, value);
        QFETCH(int, position);
        TSlideBar g;
        g.setMax(10);
        g.setMin(2);
        g.setPosition(7);
        QSignalSpy changes(&g, &TSlideBar::OnChange);
        g.setPosition(value);
        QCOMPARE(g.Position(), position);
        QCOMPARE(changes.size(), 1);
    }

    void setRange_neitherMovesNorReports()
    {
        TSlideBar g;
        g.setMax(10);
        g.setPosition(8);
        QSignalSpy changes(&g, &TSlideBar::OnChange);
        g.setMax(3);
        g.setMin(9);
        QCOMPARE(g.Position(), 8);
        QCOMPARE(g.Min(), 9);
        QCOMPARE(g.Max(), 3);
        QCOMPARE(changes.size(), 0);
    }

    void UpdateScrollRange_data()
    {
        QTest::addColumn<int>("lineCount");
        QTest::addColumn<int>("visibleLineCount");
        QTest::addColumn<int>("scrolledTo");
        QTest::addColumn<int>("max");
        QTest::newRow("3 lines that fit") << 3 << 3 << 0 << 3;
        QTest::newRow("empty body") << 1 << 16 << 0 << 1;
        QTest::newRow("40 lines, 16 visible, scrolled halfway") << 40 << 16 << 20 << 24;
        QTest::newRow("40 lines, 16 visible, scrolled to the end") << 40 << 16 << 24 << 24;
        QTest::newRow("one line more than fits") << 17 << 16 << 1 << 1;
    }

    // Every load: the range is fitted to the new body, then the position goes to Max, which
    // shows the first line whatever the body showed before.
    void UpdateScrollRange()
    {
        QFETCH(int, lineCount);
        QFETCH(int, visibleLineCount);
        QFETCH(int, scrolledTo);
        QFETCH(int, max);
        TSlideBar g;
        g.setMin(5);
        Body body{lineCount, visibleLineCount, scrolledTo};
        follow(g, body);

        ::UpdateScrollRange(g, lineCount, visibleLineCount);
        QCOMPARE(g.Min(), 0);
        QCOMPARE(g.Max(), max);
        g.setPosition(g.Max());
        QCOMPARE(g.Position(), max);
        QCOMPARE(body.firstVisibleLine, 0);
    }

    void positionAboveMax_keepsPosition_andScrollsBackToItsLine()
    {
        TSlideBar g;
        Body body{40, 16, 0};
        follow(g, body);
        ::UpdateScrollRange(g, body.lineCount, body.visibleLineCount);
        g.setPosition(g.Max() - 2);
        QCOMPARE(body.firstVisibleLine, 2);

        body.firstVisibleLine = 9; // scrolled by hand: the model does not follow
        g.setPosition(g.Max() + 1);
        QCOMPARE(g.Position(), 22);
        QCOMPARE(body.firstVisibleLine, 2);
    }

    // Start-up sets 0, 10, 10 before any text is loaded: that scrolls by nothing.
    void startUpValues_scrollNothing()
    {
        TSlideBar g;
        Body body;
        follow(g, body);
        g.setMin(0);
        g.setMax(10);
        g.setPosition(10);
        QCOMPARE(g.line(), 0);
        QCOMPARE(body.firstVisibleLine, 0);
    }
};

QTEST_GUILESS_MAIN(SlideBarTest)
#include "SlideBarTest.moc"
