#include "core/tasks/DiaryImport.h"
#include "core/diary/DayMerge.h"
#include "core/diary/Diary.h"
#include "core/storage/DiaryError.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

// Imported entries put on their days of a real diary: what each day's text becomes, and what a
// stop part way leaves.
class DiaryImportTest : public QObject
{
    Q_OBJECT

private:
    const QDateTime m_now{QDate(2026, 12, 8), QTime(5, 30)};

    static ImportedEntry entry(const QString& label, const QString& title, const QString& text,
                               const QStringList& tags = {}, bool starred = false)
    {
        ImportedEntry e;
        e.day = QDate(2024, 1, 5);
        e.label = label;
        e.order = QTime::fromString(label, "HH:mm").msecsSinceStartOfDay();
        e.title = title;
        e.text = text;
        e.tags = tags;
        e.starred = starred;
        return e;
    }

private slots:
    void plan_putsEntriesOnTheirDay_data()
    {
        QTest::addColumn<QStringList>("existing"); // title, body; empty: no day
        QTest::addColumn<QList<ImportedEntry>>("entries");
        QTest::addColumn<QStringList>("expected"); // title, body; empty: nothing written
        const QString sep = DayMerge::separator(DayMerge::Kind::Text, m_now);
        QTest::newRow("one entry: its title is the day's, no time line")
            << QStringList{} << QList<ImportedEntry>{entry("09:30", "朝😀", "起きた🌅\n")}
            << QStringList{"朝😀", "起きた🌅"};
        QTest::newRow("several: time order, each after its time; tags and star below")
            << QStringList{}
            << QList<ImportedEntry>{entry("22:00", "夜", "寝た"),
                                    entry("09:30", "朝", "起きた", {"旅行", "@京都", "New York"},
                                          true)}
            << QStringList{
                   "朝", "── 09:30 ──\n起きた\n#旅行 #京都 #New_York\n★\n\n── 22:00 ──\n夜\n寝た"};
        QTest::newRow("a titled day keeps its title and text first")
            << QStringList{"雪", "もとの文"} << QList<ImportedEntry>{entry("09:30", "朝", "起きた")}
            << QStringList{"雪", "もとの文\n" + sep + "\n朝\n起きた"};
        QTest::newRow("an untitled day takes the title")
            << QStringList{"", "もとの文\n"} << QList<ImportedEntry>{entry("09:30", "朝", "起きた")}
            << QStringList{"朝", "もとの文\n" + sep + "\n起きた"};
        QTest::newRow("a day holding the text already stays")
            << QStringList{"朝", "前\n起きた\n後"}
            << QList<ImportedEntry>{entry("09:30", "朝", "起きた")} << QStringList{};
        QTest::newRow("a day longer than the editor takes is left out")
            << QStringList{} << QList<ImportedEntry>{entry("09:30", "", QString(2100000, u'あ'))}
            << QStringList{};
        QTest::newRow("an empty entry is left out")
            << QStringList{} << QList<ImportedEntry>{entry("09:30", " ", "\n")} << QStringList{};
    }

    void plan_putsEntriesOnTheirDay()
    {
        QFETCH(QStringList, existing);
        QFETCH(QList<ImportedEntry>, entries);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        Diary diary(dir.path());
        if (!existing.isEmpty())
            diary.saveDay("20240105", existing[0], existing[1]);
        const DiaryImport::Plan plan = DiaryImport::plan(diary, {entries, {}}, m_now);
        DiaryImport::apply(
            diary, plan, [] {}, TaskProgress());
        QCOMPARE(plan.days.isEmpty(), expected.isEmpty());
        if (!expected.isEmpty())
            QCOMPARE((QStringList{diary.readTitle("20240105"), diary.readBody("20240105")}),
                     expected);
    }

    void apply_failingBeforeTheFirstDay_writesNone_data()
    {
        QTest::addColumn<bool>("backupFails");
        QTest::addColumn<bool>("stopped");
        QTest::newRow("the backup fails") << true << false;
        QTest::newRow("stopped") << false << true;
    }

    void apply_failingBeforeTheFirstDay_writesNone()
    {
        QFETCH(bool, backupFails);
        QFETCH(bool, stopped);
        QTemporaryDir dir;
        Diary diary(dir.path());
        const DiaryImport::Plan plan =
            DiaryImport::plan(diary, {{entry("09:00", "題", "本文")}, {}}, m_now);
        TaskProgress progress;
        if (stopped)
            progress.cancel();
        bool backedUp = false;
        QVERIFY_THROWS_EXCEPTION(DiaryError,
                                 DiaryImport::apply(
                                     diary, plan,
                                     [&] {
                                         backedUp = true;
                                         if (backupFails)
                                             throw DiaryError("バックアップを作れません");
                                     },
                                     progress));
        QCOMPARE(backedUp, backupFails);
        QVERIFY(!diary.hasEntry("20240105"));
    }
};

QTEST_GUILESS_MAIN(DiaryImportTest)
#include "DiaryImportTest.moc"
