#include "core/tasks/RecordCounter.h"
#include "core/diary/DayStore.h"
#include "core/storage/CodePage932.h"
#include "core/storage/SafeFile.h"

#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

// The diary's record counted from the day files as they are on disk.
class RecordCounterTest : public QObject
{
    Q_OBJECT

private:
    static QString streak(const DiaryRecord::Streak& s)
    {
        return s.days == 0 ? QStringLiteral("0")
                           : QStringLiteral("%1 %2-%3")
                                 .arg(s.days)
                                 .arg(s.first.toString(QStringLiteral("yyyyMMdd")),
                                      s.last.toString(QStringLiteral("yyyyMMdd")));
    }

    static void write(const QString& dataDir, const QString& key, const QByteArray& bytes)
    {
        SafeFile::write(dataDir + QLatin1Char('/') + key, bytes);
    }

private slots:
    void record_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("today");
        QTest::addColumn<int>("days");
        QTest::addColumn<qint64>("characters");
        QTest::addColumn<int>("unreadable");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("longest");
        QTest::addColumn<QString>("years");

        // A file larger than the editor takes is written and cannot be read: no characters.
        QTest::newRow("unreadable day")
            << QStringList{"20240101=<huge>", "20240102=ab"} << "20240102" << 2 << qint64(2) << 1
            << "2 20240101-20240102"
            << "2 20240101-20240102"
            << "2024:2/2";
        // Enough changed days to be counted on two threads: each half counts every one of its own.
        QStringList many;
        for (QDate day(2023, 1, 1); day <= QDate(2023, 9, 14); day = day.addDays(1))
            many << day.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral("=a");
        QTest::newRow("257 days, split over two threads")
            << many << "20230914" << 257 << qint64(257) << 0 << "257 20230101-20230914"
            << "257 20230101-20230914"
            << "2023:257/257";
        QTest::newRow("empty diary") << QStringList{} << "20240101" << 0 << qint64(0) << 0 << "0"
                                     << "0"
                                     << "";
        QTest::newRow("one day") << QStringList{"20240315=abc"} << "20240315" << 1 << qint64(3) << 0
                                 << "1 20240315-20240315"
                                 << "1 20240315-20240315"
                                 << "2024:1/3";
        // CR LF is no character; half-width kana take one byte each, 日記 two, all count one.
        QTest::newRow("CR LF and half-width kana")
            << QStringList{"20240315=日記ｶﾞ\r\nabc\r\n"} << "20240315" << 1 << qint64(7) << 0
            << "1 20240315-20240315"
            << "1 20240315-20240315"
            << "2024:1/7";
        // Kept as references in the file, each one character.
        QTest::newRow("characters the code page cannot hold")
            << QStringList{"20240315=😀♡𠮷"} << "20240315" << 1 << qint64(3) << 0
            << "1 20240315-20240315"
            << "1 20240315-20240315"
            << "2024:1/3";
        QTest::newRow("across a month end")
            << QStringList{"20240130=a", "20240131=a", "20240201=a"} << "20240201" << 3 << qint64(3)
            << 0 << "3 20240130-20240201"
            << "3 20240130-20240201"
            << "2024:3/3";
        QTest::newRow("across a year end") << QStringList{"20231231=a", "20240101=ab"} << "20240101"
                                           << 2 << qint64(3) << 0 << "2 20231231-20240101"
                                           << "2 20231231-20240101"
                                           << "2024:1/2 2023:1/1";
        QTest::newRow("through 29 February")
            << QStringList{"20240228=a", "20240229=a", "20240301=a"} << "20240301" << 3 << qint64(3)
            << 0 << "3 20240228-20240301"
            << "3 20240228-20240301"
            << "2024:3/3";
        QTest::newRow("28 February to 1 March in a common year")
            << QStringList{"20230228=a", "20230301=a"} << "20230301" << 2 << qint64(2) << 0
            << "2 20230228-20230301"
            << "2 20230228-20230301"
            << "2023:2/2";
        // Today not written yet: yesterday's streak still runs.
        QTest::newRow("gap of one day, today open")
            << QStringList{"20240101=a", "20240102=a", "20240104=a"} << "20240105" << 3 << qint64(3)
            << 0 << "1 20240104-20240104"
            << "2 20240101-20240102"
            << "2024:3/3";
        QTest::newRow("gap of one day before today")
            << QStringList{"20240101=a", "20240102=a", "20240104=a"} << "20240106" << 3 << qint64(3)
            << 0 << "0"
            << "2 20240101-20240102"
            << "2024:3/3";
        // Of two streaks as long, the later.
        QTest::newRow("two longest")
            << QStringList{"20240101=a", "20240102=a", "20240110=a", "20240111=a"} << "20240201"
            << 4 << qint64(4) << 0 << "0"
            << "2 20240110-20240111"
            << "2024:4/4";
    }

    void record()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, today);
        QTemporaryDir folder;
        for (const QString& file : std::as_const(files)) {
            const QString key = file.section(QLatin1Char('='), 0, 0);
            const QString text = file.section(QLatin1Char('='), 1);
            write(folder.path(), key,
                  text == QLatin1String("<huge>") ? QByteArray(DayStore::MaxBodyBytes + 1, 'a')
                                                  : CodePage932::encode(text));
        }
        RecordCounter counter{DayStore(folder.path())};
        QVERIFY(counter.refresh());
        const DiaryRecord record = counter.record();
        const DiaryRecord::Totals total = record.total();
        QTEST(total.days, "days");
        QTEST(total.characters, "characters");
        QTEST(total.unreadable, "unreadable");
        const QDate todayDate = DayStore::dateOfKey(today);
        QTEST(streak(record.current(todayDate)), "current");
        QTEST(streak(record.longest()), "longest");
        QStringList years;
        for (const int year : record.years())
            years << QStringLiteral("%1:%2/%3")
                         .arg(year)
                         .arg(record.year(year).days)
                         .arg(record.year(year).characters);
        QTEST(years.join(QLatin1Char(' ')), "years");
    }

    // A day saved or changed on disk is counted again, a day removed drops out, and a day left
    // alone keeps its count without being read.
    void refresh_recountsChangedDaysOnly()
    {
        QTemporaryDir folder;
        write(folder.path(), QStringLiteral("20240101"), "abc");
        write(folder.path(), QStringLiteral("20240102"), "abc");
        write(folder.path(), QStringLiteral("20240103"), "abc");
        RecordCounter counter{DayStore(folder.path())};
        QVERIFY(counter.refresh());
        write(folder.path(), QStringLiteral("20240101"), "abcdef");
        QVERIFY(QFile::remove(folder.path() + QStringLiteral("/20240102")));
        // Rewritten in place with its size and time kept: to its stamp unchanged, so not read.
        const QByteArray same = QFile::encodeName(folder.path() + QStringLiteral("/20240103"));
        struct stat before
        {
        };
        QCOMPARE(::stat(same.constData(), &before), 0);
        QFile file(QString::fromLocal8Bit(same));
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.write("a\r\n");
        file.close();
        const struct timespec times[2] = {before.st_atim, before.st_mtim};
        QCOMPARE(::utimensat(AT_FDCWD, same.constData(), times, 0), 0);
        QVERIFY(counter.refresh());
        const DiaryRecord record = counter.record();
        QCOMPARE(record.total().days, 2);
        QCOMPARE(record.day(QDate(2024, 1, 1)).characters, qint64(6));
        QCOMPARE(record.day(QDate(2024, 1, 3)).characters, qint64(3));
    }

    // An empty day is drawn unlike a day not written; the rest by quarters of the year.
    void levels()
    {
        QList<RecordDay> days(6);
        days[0] = {true, false, 0};
        days[2] = {true, false, 10};
        days[3] = {true, false, 20};
        days[4] = {true, false, 30};
        days[5] = {true, false, 400};
        QCOMPARE(DiaryRecord::levels(days), (QList<int>{1, 0, 1, 2, 3, 4}));
    }
};

QTEST_GUILESS_MAIN(RecordCounterTest)
#include "RecordCounterTest.moc"
