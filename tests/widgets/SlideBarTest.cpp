#include "widgets/SlideBar.h"

#include <QSignalSpy>
#include <QTest>

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
        QTest::newRow("unchanged") << 7 << 7;
    }

    // A refused position still reports a change, so the body goes back to the line the kept
    // position stands for.
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
        QCOMPARE(g.line(), 10 - position);
        QCOMPARE(changes.size(), 1);
    }

    void UpdateScrollRange_data()
    {
        QTest::addColumn<int>("lineCount");
        QTest::addColumn<int>("visibleLineCount");
        QTest::addColumn<int>("max");
        QTest::newRow("3 lines that fit") << 3 << 3 << 3;
        QTest::newRow("empty body") << 1 << 16 << 1;
        QTest::newRow("40 lines, 16 visible") << 40 << 16 << 24;
        QTest::newRow("one line more than fits") << 17 << 16 << 1;
    }

    // Setting the range neither moves the position nor reports; the load's move to Max then
    // stands for the first line.
    void UpdateScrollRange()
    {
        QFETCH(int, lineCount);
        QFETCH(int, visibleLineCount);
        QFETCH(int, max);
        TSlideBar g;
        g.setMax(100);
        g.setPosition(30);
        g.setMin(50);
        QSignalSpy changes(&g, &TSlideBar::OnChange);
        ::UpdateScrollRange(g, lineCount, visibleLineCount);
        QCOMPARE(g.Min(), 0);
        QCOMPARE(g.Max(), max);
        QCOMPARE(g.Position(), 30);
        QCOMPARE(changes.size(), 0);
        g.setPosition(g.Max());
        QCOMPARE(g.line(), 0);
    }
};

QTEST_GUILESS_MAIN(SlideBarTest)
#include "SlideBarTest.moc"
