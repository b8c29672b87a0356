#include "core/time/DiaryDate.h"

#include <QTest>
#include <cmath>

class DiaryDateTest : public QObject
{
    Q_OBJECT

private slots:
    void keyAndLine_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("line");
        QTest::newRow("plain") << QDate(2024, 1, 5) << "20240105"
                               << "2024年1月5日 金";
        QTest::newRow("leap day") << QDate(2024, 2, 29) << "20240229"
                                  << "2024年2月29日 木";
        QTest::newRow("new year") << QDate(2024, 1, 1) << "20240101"
                                  << "2024年1月1日 月";
        QTest::newRow("two digits") << QDate(2023, 12, 31) << "20231231"
                                    << "2023年12月31日 日";
        QTest::newRow("first day") << QDate(1899, 12, 30) << "18991230"
                                   << "1899年12月30日 土";
    }

    void keyAndLine()
    {
        QFETCH(QDate, date);
        QFETCH(QString, key);
        QFETCH(QString, line);
        const double value = DiaryDate::fromDateTime(QDateTime(date, QTime(18, 30)));
        QCOMPARE(DiaryDate::key(value), key);
        QCOMPARE(DiaryDate::dateLine(value, QLocale(QLocale::Japanese, QLocale::Japan)), line);
    }

    void stepsOfOneDay_keepTheTimeAndCrossMonthsAndYears_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("key");
        QTest::newRow("into leap day") << QDate(2024, 2, 28) << 1 << "20240229";
        QTest::newRow("into new year") << QDate(2023, 12, 31) << 1 << "20240101";
        QTest::newRow("back over a month") << QDate(2024, 3, 1) << -1 << "20240229";
    }

    void stepsOfOneDay_keepTheTimeAndCrossMonthsAndYears()
    {
        QFETCH(QDate, from);
        QFETCH(int, step);
        QFETCH(QString, key);
        const double value = DiaryDate::fromDateTime(QDateTime(from, QTime(23, 59, 59, 999)));
        const double moved = value + step;
        QCOMPARE(DiaryDate::key(moved), key);
        QCOMPARE(std::llround((moved - std::trunc(moved)) * 86400000.0),
                 qint64(QTime(23, 59, 59, 999).msecsSinceStartOfDay()));
    }

    void sixOClock_isAQuarterOfADay()
    {
        const double value = DiaryDate::fromDateTime(QDateTime(QDate(2024, 1, 5), QTime(6, 0)));
        QCOMPARE(value - 45296.0, 0.25);
    }

    void systemLocale_isJapaneseInTests()
    {
        // The suite runs under a Japanese locale; the date line uses the system's names.
        QCOMPARE(DiaryDate::dateLine(DiaryDate::fromDateTime(QDateTime(QDate(2024, 1, 5), {}))),
                 QStringLiteral("2024年1月5日 金"));
    }
};

QTEST_GUILESS_MAIN(DiaryDateTest)
#include "DiaryDateTest.moc"
