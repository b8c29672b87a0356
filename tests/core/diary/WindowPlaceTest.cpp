#include "core/diary/WindowPlace.h"

#include <QTest>

#include <climits>

class WindowPlaceTest : public QObject
{
    Q_OBJECT

private slots:
    void nearest_beyondSixteenBits_farEdgeInside_data()
    {
        QTest::addColumn<QPoint>("stored");
        QTest::addColumn<QPoint>("placed");
        QTest::newRow("largest") << QPoint(INT_MAX, INT_MAX) << QPoint(32447, 32447);
        QTest::newRow("smallest") << QPoint(INT_MIN, INT_MIN) << QPoint(-32768, -32768);
        QTest::newRow("just inside") << QPoint(32447, -32768) << QPoint(32447, -32768);
    }

    void nearest_beyondSixteenBits_farEdgeInside()
    {
        QFETCH(QPoint, stored);
        QFETCH(QPoint, placed);
        QCOMPARE(WindowPlace::nearest(stored, QSize(320, 320)), placed);
    }

    void onScreen_offEveryArea_nearestInsideThePrimary_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QList<QRect>>("areas");
        QTest::addColumn<QPoint>("placed");
        const QRect primary(0, 0, 1024, 740); // a panel below
        const QRect second(1024, 0, 1280, 1024);
        QTest::newRow("screen unplugged, right")
            << QPoint(5000, 300) << QList{primary} << QPoint(704, 300);
        QTest::newRow("above and left") << QPoint(-5000, -900) << QList{primary} << QPoint(0, 0);
        QTest::newRow("under the panel") << QPoint(300, 745) << QList{primary} << QPoint(300, 420);
        QTest::newRow("partly off, kept")
            << QPoint(-300, -300) << QList{primary} << QPoint(-300, -300);
        QTest::newRow("on the second screen")
            << QPoint(2000, 800) << QList{primary, second} << QPoint(2000, 800);
        QTest::newRow("primary elsewhere")
            << QPoint(-5000, 5000) << QList{second, primary} << QPoint(1024, 704);
        QTest::newRow("area smaller than the window")
            << QPoint(900, 900) << QList{QRect(0, 0, 200, 200)} << QPoint(0, 0);
        QTest::newRow("no screen known")
            << QPoint(5000, 300) << QList<QRect>() << QPoint(5000, 300);
    }

    void onScreen_offEveryArea_nearestInsideThePrimary()
    {
        QFETCH(QPoint, at);
        QFETCH(QList<QRect>, areas);
        QFETCH(QPoint, placed);
        QCOMPARE(WindowPlace::onScreen(at, QSize(320, 320), areas), placed);
    }
};

QTEST_GUILESS_MAIN(WindowPlaceTest)
#include "WindowPlaceTest.moc"
