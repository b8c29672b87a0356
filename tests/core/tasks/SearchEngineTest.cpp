#include "core/tasks/SearchEngine.h"
#include "core/diary/Diary.h"
#include "core/storage/CodePage932.h"
#include "core/storage/IniFile32.h"
#include "core/storage/SafeFile.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The search through a diary on disk, newest first, and the engine that runs it on its own
// thread.
class SearchEngineTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_folder;

    QString dataDir() const { return QDir(m_folder.path()).filePath(QStringLiteral("data")); }

    QList<std::pair<QByteArray, QByteArray>> titles() const
    {
        return TIniFile32(QDir(m_folder.path()).filePath(QStringLiteral("diary.ini")))
            .ReadSectionValues("title");
    }

    static QStringList keys(const QList<SearchHit>& hits)
    {
        QStringList keys;
        for (const SearchHit& hit : hits)
            keys.append(hit.key);
        return keys;
    }

    QList<SearchHit> search(const QString& query)
    {
        DiarySearch search(DayStore(dataDir()), titles());
        QList<SearchHit> hits;
        search.run(
            SearchMatcher(query), [] { return false; },
            [&](QList<SearchHit>&& batch) { hits.append(batch); });
        return hits;
    }

private slots:
    void initTestCase()
    {
        Diary diary(m_folder.path());
        diary.saveDay(QStringLiteral("20230101"), QStringLiteral("元日"),
                      QStringLiteral("にっきを始めた"));
        diary.saveDay(QStringLiteral("20240105"), QStringLiteral("ニッキ帳"), QStringLiteral("雨"));
        diary.saveDay(QStringLiteral("20231231"), QString(),
                      QStringLiteral("大掃除\n今年のﾆｯｷを読み返した。長い一年だった"));
        diary.saveDay(QStringLiteral("20231120"), QStringLiteral("散歩"), QStringLiteral("日記"));
        // Not days of the diary, or days that cannot be read: left out, never an error.
        SafeFile::write(dataDir() + QStringLiteral("/notes.txt"), "にっき");
        SafeFile::write(dataDir() + QStringLiteral("/20230230"), CodePage932::encode("にっき"));
        QDir(dataDir()).mkdir(QStringLiteral("20220101"));
        SafeFile::write(dataDir() + QStringLiteral("/20220102"),
                        QByteArray(DayStore::MaxBodyBytes + 1, 'a') +
                            CodePage932::encode("にっき"));
    }

    void run_newestFirst_titlesAndBodies()
    {
        const QList<SearchHit> hits = search(QStringLiteral("にっき"));
        QCOMPARE(keys(hits), QStringList({"20240105", "20231231", "20230101"}));
        // Found only in the title: the title is the line shown.
        QCOMPARE(hits[0].line, QStringLiteral("ニッキ帳"));
        QCOMPARE(hits[0].markStart, 0);
        QCOMPARE(hits[0].markLength, 3);
        QCOMPARE(hits[1].title, QString());
        QCOMPARE(hits[1].line, QStringLiteral("今年のﾆｯｷを読み返した。長い一年だった"));
        QCOMPARE(hits[1].markStart, 3);
        QCOMPARE(hits[1].markLength, 3);
        QCOMPARE(hits[2].date, 44927.0);
    }

    void run_everyWordInTheDay()
    {
        QCOMPARE(keys(search(QStringLiteral("雨 ﾆｯｷ"))), QStringList({"20240105"}));
        QCOMPARE(keys(search(QStringLiteral("雨 猫"))), QStringList());
        QCOMPARE(keys(search(QStringLiteral("  "))), QStringList());
    }

    void run_lineShownAroundTheMatch_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("mark");
        const QString emoji = QStringLiteral("😀");
        QTest::newRow("long line cut")
            << QString(100, QChar(u'あ')) + QStringLiteral("月見団子") << QStringLiteral("月見")
            << QStringLiteral("…") + QString(12, QChar(u'あ')) + QStringLiteral("月見団子")
            << QStringLiteral("月見");
        QTest::newRow("cut keeps a whole emoji")
            << QStringLiteral("a") + emoji.repeated(50) + QStringLiteral("b月見団子")
            << QStringLiteral("月見")
            << QStringLiteral("…") + emoji.repeated(6) + QStringLiteral("b月見団子")
            << QStringLiteral("月見");
        QTest::newRow("emoji and heart found")
            << QStringLiteral("月見😀団子♡") << QStringLiteral("😀団子♡")
            << QStringLiteral("月見😀団子♡") << QStringLiteral("😀団子♡");
    }

    void run_lineShownAroundTheMatch()
    {
        QFETCH(QString, body);
        QFETCH(QString, query);
        QFETCH(QString, line);
        QFETCH(QString, mark);
        Diary diary(m_folder.path());
        diary.saveDay(QStringLiteral("19991231"), QString(), body);
        const QList<SearchHit> hits = search(query);
        QFile::remove(dataDir() + QStringLiteral("/19991231"));
        QCOMPARE(hits.size(), 1);
        QCOMPARE(hits[0].line, line);
        QCOMPARE(hits[0].line.mid(hits[0].markStart, hits[0].markLength), mark);
    }

    void run_cancelledStopsAndSaysSo()
    {
        DiarySearch search(DayStore(dataDir()), titles());
        int delivered = 0;
        QVERIFY(!search.run(
            SearchMatcher(QStringLiteral("にっき")), [] { return true; },
            [&](QList<SearchHit>&&) { ++delivered; }));
        QCOMPARE(delivered, 0);
    }

    // A search replaced by the next keystroke never finishes; only the latest one's results
    // count.
    void engine_newQueryReplacesTheRunningOne()
    {
        SearchEngine engine(DayStore(dataDir()), titles());
        QSignalSpy found(&engine, &SearchEngine::found);
        QSignalSpy finished(&engine, &SearchEngine::finished);
        const int first = engine.start(QStringLiteral("に"));
        const int second = engine.start(QStringLiteral("日記"));
        QVERIFY(second != first);
        QTRY_VERIFY(!finished.isEmpty() && finished.last().at(0).toInt() == second);
        QCOMPARE(finished.last().at(1).toString(), QString());
        QList<SearchHit> hits;
        for (const QList<QVariant>& signal : found) {
            if (signal.at(0).toInt() == second)
                hits.append(signal.at(1).value<QList<SearchHit>>());
        }
        QCOMPARE(keys(hits), QStringList({"20231120"}));
    }
};

QTEST_GUILESS_MAIN(SearchEngineTest)
#include "SearchEngineTest.moc"
