#include "core/tasks/OnThisDay.h"

#include <QTest>

// Which days この日 shows: the shown month and day in the diary's other years, newest first.
class OnThisDayTest : public QObject
{
    Q_OBJECT

private slots:
    void select_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("expected");

        QTest::newRow("shown year left out, later years kept")
            << QStringList{"20220315", "20230315", "20240315", "20250315", "20230316"} << "20240315"
            << "20250315 20230315 20220315";
        QTest::newRow("29 February: leap years only")
            << QStringList{"20160229", "20200229", "20210228", "20210301", "20240229"} << "20240229"
            << "20200229 20160229";
        QTest::newRow("28 February does not take 29 February")
            << QStringList{"20200229", "20230228"} << "20240228"
            << "20230228";
        QTest::newRow("29 February shown, no other leap year written")
            << QStringList{"20230228", "20230301"} << "20240229"
            << "";
        QTest::newRow("diary starting mid-year")
            << QStringList{"20230701", "20230702", "20240101"} << "20240701"
            << "20230701";
        QTest::newRow("nothing before the diary began")
            << QStringList{"20230701", "20240101"} << "20240315"
            << "";
    }

    void select()
    {
        QFETCH(QStringList, keys);
        QFETCH(QString, shown);
        const auto date = [](const QString& key) {
            return QDate::fromString(key, QStringLiteral("yyyyMMdd"));
        };
        QList<QDate> written;
        for (const QString& key : std::as_const(keys))
            written.append(date(key));
        QStringList found;
        for (const QDate& date : OnThisDay::select(written, date(shown)))
            found << date.toString(QStringLiteral("yyyyMMdd"));
        QTEST(found.join(QLatin1Char(' ')), "expected");
    }
};

QTEST_GUILESS_MAIN(OnThisDayTest)
#include "OnThisDayTest.moc"
