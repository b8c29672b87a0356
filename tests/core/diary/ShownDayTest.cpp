#include "core/diary/ShownDay.h"
#include "common/Immutable.h"
#include "common/RecoveryPlaces.h"
#include "common/TestClock.h"
#include "core/diary/Diary.h"
#include "core/diary/DiaryWatcher.h"
#include "core/storage/CodePage932.h"
#include "core/storage/DiaryError.h"
#include "core/storage/SafeFile.h"
#include "core/time/DiaryDate.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <memory>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

const QDate Today(2024, 1, 5);

// The editors as the window has them, without a screen: lines are not wrapped.
class Page : public ShownDay::Page
{
public:
    QString title() const override { return m_title; }
    QString body() const override { return m_body; }
    void fill(const QString& title, const QString& body, bool locked) override
    {
        m_title = title;
        m_body = body;
        this->locked = locked;
    }
    QStringList bodyLines() const override
    {
        QStringList lines = m_body.split(u'\n');
        if (lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }
    void addBodyLine(const QString& line) override
    {
        m_body += m_body.isEmpty() || m_body.endsWith(u'\n') ? line + u'\n' : u'\n' + line;
    }

    QString m_title;
    QString m_body;
    bool locked = false;
};

QStringList linesOf(const QByteArray& file)
{
    return CodePage932::decode(file).split(u"\r\n"_s);
}

} // namespace

// The day the window shows: what is saved and loaded, モルナ's comments at start-up, and what
// becomes of the text when leaving cannot save it.
class ShownDayTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        folder = std::make_unique<QTemporaryDir>();
        // Recovery files land in the per-user data folder: here, one of the test's own.
        qputenv("XDG_DATA_HOME", path("user-data").toLocal8Bit());
        clock.setLocal(QDateTime(Today, QTime(12, 0)));
        clock.setUtc(QDateTime());
        page = Page();
    }

    void cleanup()
    {
        day.reset();
        diary.reset();
        SafeFile::faultHook() = {};
    }

    void save_writesThePage_butNeverAnEmptyDay_data()
    {
        QTest::addColumn<QByteArray>("storedBody");
        QTest::addColumn<QByteArray>("storedIni");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QByteArray>("savedBody");
        QTest::addColumn<QByteArray>("savedIni");
        QTest::newRow("empty day: no file")
            << QByteArray() << QByteArray() << u""_s << u""_s << QByteArray() << QByteArray();
        QTest::newRow("title without body: an empty file")
            << QByteArray() << QByteArray() << u"Trip"_s << u""_s << ""_ba
            << "\r\n[title]\r\n20240105=Trip\r\n"_ba;
        QTest::newRow("title with a line break: one line of the settings file")
            << QByteArray() << QByteArray() << u"a\nb\r[data]"_s << u""_s << ""_ba
            << "\r\n[title]\r\n20240105=a b [data]\r\n"_ba;
        // Edited before and after: the break between keeps its byte, however the file spelled it.
        QTest::newRow("lone CR between two edits")
            << "a\rb\rc\rd"_ba << QByteArray() << u""_s << u"a!\nb\nc?\nd"_s << "a!\rb\rc?\rd"_ba
            << "\r\n[title]\r\n20240105=\r\n"_ba;
        QTest::newRow("emptied stored day keeps its file and title")
            << "old\r\ntext"_ba
            << "\r\n[title]\r\n20240105=Old\r\n"_ba << u""_s << u""_s << "old\r\ntext"_ba
            << "\r\n[title]\r\n20240105=Old\r\n"_ba;
    }

    void save_writesThePage_butNeverAnEmptyDay()
    {
        QFETCH(QByteArray, storedBody);
        QFETCH(QByteArray, storedIni);
        QFETCH(QString, title);
        QFETCH(QString, body);
        QFETCH(QByteArray, savedBody);
        QFETCH(QByteArray, savedIni);
        if (!storedBody.isNull())
            write("data/20240105", storedBody);
        if (!storedIni.isNull())
            write("diary.ini", storedIni);
        open();
        page.fill(title, body, false);
        day->save();
        QCOMPARE(QFileInfo::exists(path("data/20240105")), !savedBody.isNull());
        if (!savedBody.isNull())
            QCOMPARE(read("data/20240105"), savedBody);
        QCOMPARE(QFileInfo::exists(path("diary.ini")), !savedIni.isNull());
        if (!savedIni.isNull())
            QCOMPARE(read("diary.ini"), savedIni);
    }

    void entryWithoutTitleKey_loadsBodyAndEmptyTitle()
    {
        write("data/20240105", "body");
        write("diary.ini", "\r\n[title]\r\n20240104=Trip\r\n");
        open();
        QCOMPARE(page.body(), u"body"_s);
        QCOMPARE(page.title(), QString());
        QVERIFY(!page.locked);
    }

    void failedLoad_neverLetsAnotherDaysTextOverwriteTheEntry_data()
    {
        QTest::addColumn<bool>("tooLarge");
        QTest::newRow("unreadable") << false;
        QTest::newRow("over the editor's limit") << true;
    }

    void failedLoad_neverLetsAnotherDaysTextOverwriteTheEntry()
    {
        QFETCH(bool, tooLarge);
        const QByteArray large(4 * 1024 * 1024 + 1, 'x');
        if (tooLarge)
            write("data/20240106", large);
        else
            QDir().mkpath(path("data/20240106")); // a folder where the file should be
        open();
        page.fill(u"today's title"_s, u"today's text"_s, false);
        day->save();
        QVERIFY_THROWS_EXCEPTION(DiaryError, day->moveTo(DiaryDate::fromDate(Today.addDays(1))));
        QCOMPARE(DiaryDate::key(day->date()), u"20240106"_s);
        QCOMPARE(page.body(), QString());
        QCOMPARE(page.title(), QString());
        QVERIFY(page.locked);

        page.fill(u"typed anyway"_s, u"typed anyway"_s, true);
        day->save();
        QVERIFY(!day->leave([] {})); // leaving the day that could not be shown saves nothing
        if (tooLarge)
            QCOMPARE(read("data/20240106"), large);
        else
            QVERIFY(QFileInfo(path("data/20240106")).isDir());
        QVERIFY(!read("diary.ini").contains("20240106"));
        day->moveTo(DiaryDate::fromDate(Today));
        QCOMPARE(page.body(), u"today's text"_s);
        QVERIFY(!page.locked);
    }

    // Which faults of the disk fail a save is the safe file's test; here each way a save fails.
    void leave_failedSave_writesRecoveryBeforeAnyoneIsAsked_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("commit fails") << u"commit"_s;
        QTest::newRow("settings fail") << u"settings"_s;
    }

    void leave_failedSave_writesRecoveryBeforeAnyoneIsAsked()
    {
        QFETCH(QString, fault);
        write("data/20240105", "old");
        open();
        const QString body = u"unsaved 日記 😀"_s;
        page.fill(u"題"_s, body, false);
        if (fault == u"commit") {
            SafeFile::faultHook() = [](SafeFile::Step step, const QString& file) {
                return step == SafeFile::Step::Commit && file.endsWith(u"data/20240105") ? EIO : 0;
            };
        }
        const auto settings = [&] {
            if (fault == u"settings")
                throw DiaryError(u"settings"_s);
        };

        const std::optional<ShownDay::Unsaved> unsaved = day->leave(settings);
        QVERIFY(unsaved);
        QVERIFY(!unsaved->error.isEmpty());
        QCOMPARE(unsaved->recoveryError, QString());
        QCOMPARE(QString::fromUtf8(SafeFile::read(unsaved->recoveryPath)),
                 u"20240105\n題名: 題\n\n%1\n"_s.arg(body));
        if (fault == u"commit")
            QCOMPARE(read("data/20240105"), "old"_ba);
    }

    // No folder taking the text is the window's test and the recovery's.
    void leave_emptyDay_hasNothingToKeep()
    {
        const RecoveryPlaces places(folder->path());
        open();
        page.fill(QString(), QString(), false);
        SafeFile::faultHook() = [](SafeFile::Step step, const QString&) {
            return step == SafeFile::Step::Commit ? ENOSPC : 0;
        };
        const auto unsaved = day->leave([] { throw DiaryError(u"settings"_s); });
        QVERIFY(unsaved);
        QCOMPARE(unsaved->recoveryPath, QString());
        QCOMPARE(unsaved->recoveryError, QString());
    }

    // モルナ's comments, made at start-up under the day before yesterday, then yesterday.
    void companion_pastEntries_getTheCommentBlock_andTheirTextStaysInFront()
    {
        write("data/20240103", "one\r\ntwo");
        write("data/20240104", "three\r\nfour\r\n");
        startUp();
        const QStringList earlier = linesOf(read("data/20240103"));
        const QStringList later = linesOf(read("data/20240104"));
        QCOMPARE(earlier.size(), 2 + 8);
        QCOMPARE(earlier.mid(0, 3), (QStringList{"one", "two", " "}));
        QCOMPARE(earlier.mid(7), (QStringList{" ", "--------", "モルナ"}));
        // A text ending in a line break gets no empty line before the block, and keeps one after.
        QCOMPARE(later.size(), 2 + 8 + 1);
        QCOMPARE(later.mid(0, 3), (QStringList{"three", "four", " "}));
        QCOMPARE(later.mid(7), (QStringList{" ", "--------", "モルナ", ""}));
    }

    void companion_theEarlierDayIsHandledFirst_andTitlesAreWrittenEvenWhenEmpty()
    {
        write("data/20240104", "a\r\nb");
        write("data/20240103", "c\r\nd");
        startUp();
        QCOMPARE(read("diary.ini"), "\r\n[title]\r\n20240103=\r\n20240104=\r\n"_ba);
    }

    void companion_aCommentedDay_isNeverCommentedAgain()
    {
        write("data/20240104", "a\r\nb");
        startUp();
        const QByteArray once = read("data/20240104");
        clock.setLocal(QDateTime(Today.addDays(1), QTime(9, 0)));
        startUp(); // 20240104 is now the day before yesterday
        QCOMPARE(read("data/20240104"), once);
    }

    void companion_conditions_eachFlippedAlone_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<bool>("commented");
        const QTime seven(7, 0);
        // The rules themselves are the companion's test; here the clock and the file's bytes
        // reach them.
        QTest::newRow("qualifies") << "a\r\nb"_ba << seven << true;
        QTest::newRow("05:59:59.999") << "a\r\nb"_ba << QTime(5, 59, 59, 999) << false;
        QTest::newRow("one line and a break") << "a\r\n"_ba << seven << false;
        QTest::newRow("typed marker") << "a\r\n--------\r\nb"_ba << seven << false;
    }

    void companion_conditions_eachFlippedAlone()
    {
        QFETCH(QByteArray, body);
        QFETCH(QTime, time);
        QFETCH(bool, commented);
        clock.setLocal(QDateTime(Today, time));
        write("data/20240104", body);
        startUp();
        const QByteArray after = read("data/20240104");
        QCOMPARE(after.startsWith(body) && after.size() > body.size(), commented);
        if (!commented)
            QCOMPARE(after, body);
    }

    void companion_userName_isWovenIn_andBothDaysSeededAlikeGetTheSamePhrases()
    {
        write("data/20240103", "a\r\nb");
        write("data/20240104", "a\r\nb");
        clock.setLocal(QDateTime(Today, QTime(7, 0)));
        clock.setUtc(QDateTime(Today, QTime(7, 2, 35, 690), Qt::UTC));
        startUp(u"モル"_s);
        const QStringList earlier = linesOf(read("data/20240103"));
        // Seed 25355690 draws row 0 of the first three tables and row 5 of the remarks.
        QCOMPARE(earlier.mid(2), (QStringList{" ", "おひるごろ", "モルナは", "木のぼりしてました。",
                                              "ホントだよ。", " ", "--------", "モルナ"}));
        QCOMPARE(read("data/20240104"), read("data/20240103"));
    }

    void companion_noPastEntries_writesNothing()
    {
        startUp();
        QVERIFY(!QFileInfo::exists(path("diary.ini")));
        QVERIFY(QDir(path("data")).isEmpty());
    }

    // Another computer's text arrives by a whole-file replace, as a sync tool brings it: the
    // watcher tells, and the page shows it while untouched; typed text stays and its save keeps
    // both.
    void changeOnDisk_showsOrKeepsBoth_data()
    {
        QTest::addColumn<QString>("arriving");
        QTest::addColumn<QString>("how"); // replaced whole, or written in place (the same file)
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("saved");
        const QString sep = u"\n――― 別のコンピューターで保存された内容 ("_s;
        const QString day = u"data/20240105"_s;
        QTest::newRow("untouched") << day << u"rename"_s << u""_s << u"theirs"_s << u"theirs"_s;
        QTest::newRow("written in place, untouched")
            << day << u"in place"_s << u""_s << u"theirs"_s << u"theirs"_s;
        QTest::newRow("written in place after a rename, untouched")
            << day << u"rename, in place"_s << u""_s << u"theirs"_s << u"theirs"_s;
        QTest::newRow("typed") << day << u"rename"_s << u" mine"_s << u"old mine"_s
                               << u"old mine"_s + sep;
        QTest::newRow("typed, written in place after a rename")
            << day << u"rename, in place"_s << u" mine"_s << u"old mine"_s << u"old mine"_s + sep;
        QTest::newRow("conflict copy, untouched")
            << u"data/20240105.sync-conflict-20240105-101010-ABCDEF7"_s << u"rename"_s << u""_s
            << u"old"_s + sep << u"old"_s + sep;
    }

    void changeOnDisk_showsOrKeepsBoth()
    {
        QFETCH(QString, arriving);
        QFETCH(QString, how);
        QFETCH(QString, typed);
        write("data/20240105", "old");
        open();
        page.fill(u""_s, page.body() + typed, false);
        // As once the window shows: the folders are watched from then on.
        day->takeChangesOnDisk();
        QSignalSpy told(&day->watcher(), &DiaryWatcher::changed);
        // A sync tool replaces the file by a rename; an editor may write it in place.
        const auto arrive = [&](bool inPlace, const QByteArray& text) {
            told.clear();
            if (inPlace) {
                QFile file(path(arriving));
                QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
            } else {
                write(arriving, text);
            }
            QTRY_VERIFY(told.count() > 0);
            day->takeChangesOnDisk();
        };
        if (how.startsWith(u"rename, "_s))
            arrive(false, "between");
        arrive(how.endsWith(u"in place"_s), "theirs");
        QFETCH(QString, shown);
        QVERIFY2(page.body().startsWith(shown), qPrintable(page.body()));
        day->save();
        QFETCH(QString, saved);
        QVERIFY(page.body().startsWith(saved));
        QVERIFY(page.body().endsWith(u"theirs"_s));
        QCOMPARE(CodePage932::decode(read("data/20240105")).replace(u"\r\n"_s, u"\n"_s),
                 page.body());
        QVERIFY(!QFile::exists(path(arriving)) || arriving == u"data/20240105"_s);
    }

    // Deleting the shown day on the user's word: its file and title go and nothing else changes;
    // a removal that fails leaves both. Once gone, neither the page nor the diary's own change on
    // disk brings the day back, and a day that arrives from elsewhere afterwards shows.
    void deleteDay_removesTheDayAndItsTitleOnly_data()
    {
        QTest::addColumn<QByteArray>("title"); // the day's lines in section "title"
        QTest::addColumn<QString>("immutable");
        QTest::newRow("entries folder keeps the file") << "20240105=雪\r\n"_ba << u"data"_s;
        QTest::newRow("diary folder keeps diary.ini") << "20240105=雪\r\n"_ba << u"."_s;
        QTest::newRow("removed") << "20240105=雪\r\n"_ba << QString();
        QTest::newRow("title written twice") << "20240105=雪\r\n20240105=二\r\n"_ba << QString();
    }

    void deleteDay_removesTheDayAndItsTitleOnly()
    {
        QFETCH(QByteArray, title);
        QFETCH(QString, immutable);
        const QByteArray ini = "[data]\r\nfontname=F\r\n\r\n[title]\r\n20240104=前\r\n"_ba;
        const QByteArray after = "20240106=\r\n"_ba;
        write("diary.ini", CodePage932::encode(QString::fromUtf8(ini + title + after)));
        write("data/20240104", "before");
        write("data/20240105", "old\r\ntext");
        write("data/20240106", "");
        open();
        day->takeChangesOnDisk();
        QSignalSpy told(&day->watcher(), &DiaryWatcher::changed);
        const QByteArray others = CodePage932::encode(QString::fromUtf8(ini + after));

        if (!immutable.isEmpty()) {
            const QByteArray iniBefore = read("diary.ini");
            try {
                const Immutable kept(path(immutable));
                day->deleteDay();
                QFAIL("deleted");
            } catch (const DiaryError& error) {
                QVERIFY2(error.message().contains(u"この日はそのまま残っています"_s),
                         qPrintable(error.message()));
            }
            QCOMPARE(read("data/20240105"), "old\r\ntext"_ba);
            QCOMPARE(read("diary.ini"), iniBefore);
            QCOMPARE(page.body(), u"old\ntext"_s);
            QCOMPARE(page.title(), u"雪"_s);
            return;
        }
        day->deleteDay();
        QVERIFY(!QFileInfo::exists(path("data/20240105")));
        QCOMPARE(read("diary.ini"), others);
        QCOMPARE(read("data/20240104"), "before"_ba);
        QCOMPARE(read("data/20240106"), ""_ba);
        QCOMPARE(page.title() + page.body(), QString());

        // The diary's own removal, seen by the watcher, and the next save change nothing.
        QTRY_VERIFY(told.count() > 0);
        day->takeChangesOnDisk();
        day->save();
        QVERIFY(!QFileInfo::exists(path("data/20240105")));
        QCOMPARE(read("diary.ini"), others);

        told.clear();
        write("data/20240105", "theirs");
        QTRY_VERIFY(told.count() > 0);
        day->takeChangesOnDisk();
        QCOMPARE(page.body(), u"theirs"_s);
    }

    // Only the folder's sync failed once the day's file went: the day is deleted all the same,
    // its title with it, and no message says it stayed.
    void deleteDay_folderSyncFails_dayStaysDeleted()
    {
        write("diary.ini", "[title]\r\n20240105=T\r\n"_ba);
        write("data/20240105", "old");
        open();
        SafeFile::faultHook() = [](SafeFile::Step step, const QString& file) {
            return step == SafeFile::Step::SyncFolder && file.endsWith(u"data/20240105") ? EIO : 0;
        };
        day->deleteDay();
        QVERIFY(!QFileInfo::exists(path("data/20240105")));
        QVERIFY(!read("diary.ini").contains("20240105"));
    }

private:
    QString path(const QString& name) const { return QDir(folder->path()).filePath(name); }
    QByteArray read(const QString& name) const { return SafeFile::read(path(name)); }
    void write(const QString& name, const QByteArray& bytes) const
    {
        QDir(folder->path()).mkpath(QFileInfo(path(name)).path());
        SafeFile::write(path(name), bytes);
    }

    // Opens the diary and shows today, as start-up does.
    void open()
    {
        day.reset();
        diary.reset();
        diary = std::make_unique<Diary>(folder->path());
        day = std::make_unique<ShownDay>(*diary, page, clock);
        day->moveTo(DiaryDate::fromDateTime(clock.localNow()));
    }

    // Start-up's comments: the day before yesterday, then yesterday.
    void startUp(const QString& userName = QString())
    {
        diary.reset();
        diary = std::make_unique<Diary>(folder->path());
        day = std::make_unique<ShownDay>(*diary, page, clock);
        const double startedAt = DiaryDate::fromDateTime(clock.localNow());
        day->addCompanionComment(startedAt - 1.0, userName);
        day->addCompanionComment(startedAt, userName);
        day.reset();
        diary.reset();
    }

    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<Diary> diary;
    std::unique_ptr<ShownDay> day;
    TestClock clock;
    Page page;
};

QTEST_GUILESS_MAIN(ShownDayTest)
#include "ShownDayTest.moc"
