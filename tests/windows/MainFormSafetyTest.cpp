#include "common/Immutable.h"
#include "common/WindowFixture.h"
#include "core/diary/Recovery.h"
#include "core/storage/SafeFile.h"
#include "editor/ColorMemo.h"
#include "widgets/AutoSave.h"

#include <QAction>
#include <QDirIterator>
#include <QLineEdit>
#include <QTest>

#include <cerrno>

using namespace Qt::Literals::StringLiterals;

namespace {

QStringList recoveryFiles(const WindowFixture& f)
{
    QStringList files;
    QDirIterator it(f.path("user-data"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}

// Every save of a file whose path ends in `suffix` fails at its last step.
void failCommits(const QString& suffix)
{
    SafeFile::faultHook() = [suffix](SafeFile::Step step, const QString& path) {
        return step == SafeFile::Step::Commit && path.endsWith(suffix) ? EIO : 0;
    };
}

} // namespace

// What keeps a diary from being lost or shown to others: one copy per diary, leaving after a
// failed save, leftovers of interrupted saves, values the window could not hold.
class MainFormSafetyTest : public QObject
{
    Q_OBJECT

private slots:
    void secondStart_onAnOpenDiary_isRefused_andTheFirstStillSaves()
    {
        WindowFixture f;
        auto first = f.start();
        auto second = f.start();
        QVERIFY(second->startupFailed());
        QCOMPARE(f.messages,
                 QStringList(u"この日記 (%1) はもう開いています。"
                             "開いているウィンドウを前に出します。"_s.arg(f.folder.path())));
        QVERIFY(second->close());
        first->Memo1->setText(u"first"_s);
        QVERIFY(first->close());
        QCOMPARE(f.read("data/20240105"), "first"_ba);
        // Closed, the diary is free again.
        auto third = f.start();
        QVERIFY(!third->startupFailed());
    }

    // The lock lives outside the diary folder: a folder that takes no file opens, to be read.
    void immutableDiaryFolder_opensToBeRead()
    {
        WindowFixture f;
        f.write("data/20240105", "read only");
        f.write("diary.ini", "[title]\r\n20240105=t\r\n");
        Immutable frozen(f.folder.path());
        auto form = f.start();
        QVERIFY(!form->startupFailed());
        QCOMPARE(form->Memo1->text(), u"read only"_s);
        f.leave = true;
        QVERIFY(form->close());
    }

    void startUp_removesLeftoversOfOurSavesOnly()
    {
        WindowFixture f;
        const QStringList ours = {"diary.ini.tobiquill-save.Ab12Cd",
                                  "data/20240105.tobiquill-save.xyz789"};
        const QStringList users = {"diary.ini.bak", "data/20240105.backup", "data/notes.txt",
                                   "data/notes.tobiquill-save.txt"};
        for (const QString& name : ours + users)
            f.write(name, "x");
        auto form = f.start();
        for (const QString& name : ours)
            QTRY_VERIFY2(!QFileInfo::exists(f.path(name)), qPrintable(name));
        for (const QString& name : users)
            QVERIFY2(QFileInfo::exists(f.path(name)), qPrintable(name));
    }

    void failedSaveAtClose_writesRecovery_andOffersToLeave_data()
    {
        QTest::addColumn<bool>("leave");
        QTest::newRow("stay") << false;
        QTest::newRow("leave") << true;
    }

    // The recovery file's content and the faults that lead to it are the shown day's tests.
    void failedSaveAtClose_writesRecovery_andOffersToLeave()
    {
        QFETCH(bool, leave);
        WindowFixture f;
        f.leave = leave;
        auto form = f.start();
        form->Memo1->setText(u"unsaved 日記"_s);
        failCommits(u"data/20240105"_s);
        QCOMPARE(form->close(), leave);
        QCOMPARE(f.messages.size(), 1);
        const QStringList files = recoveryFiles(f);
        QCOMPARE(files.size(), 1);
        QCOMPARE(f.questions, QStringList(Recovery::leaveQuestion(files.first())));
        QCOMPARE(form->diary() == nullptr, leave);
    }

    // A kill follows a quit signal soon: nothing waits for a person. The program ends once the
    // text is in a recovery file, and stays open with it only when no file takes it.
    void quitSignal_failedSave_asksNobody_endsOnceTheTextIsKept_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<bool>("ends");
        QTest::newRow("the entry fails") << u"data/20240105"_s << true;
        QTest::newRow("every file fails") << QString() << false;
    }

    void quitSignal_failedSave_asksNobody_endsOnceTheTextIsKept()
    {
        QFETCH(QString, failing);
        QFETCH(bool, ends);
        WindowFixture f;
        auto form = f.start();
        form->Memo1->setText(u"unsaved"_s);
        failCommits(failing);
        QCOMPARE(form->quit(), ends);
        QVERIFY(f.messages.isEmpty());
        QVERIFY(f.questions.isEmpty());
        QCOMPARE(recoveryFiles(f).size(), ends ? 1 : 0);
        QCOMPARE(form->diary() == nullptr, ends);
        SafeFile::faultHook() = {};
        QVERIFY(form->close()); // a later signal, once the disk takes files again, saves
        QCOMPARE(QFileInfo::exists(f.entryPath("20240105")), !ends);
    }

    void failedSaveAtClose_noFolderTakesTheRecovery_windowStaysWithTheText()
    {
        WindowFixture f;
        auto form = f.start();
        form->Memo1->setText(u"nowhere to go"_s);
        SafeFile::faultHook() = [](SafeFile::Step step, const QString&) {
            return step == SafeFile::Step::Create ? ENOSPC : 0;
        };
        QVERIFY(!form->close());
        QCOMPARE(f.messages.size(), 2);
        QVERIFY(f.messages.last().endsWith(u"\nｳｨﾝﾄﾞｳは閉じずにおきます。"_s));
        QVERIFY(f.messages.last().contains(f.elsewhere.filePath("run/tobiquill-recovery")));
        QCOMPARE(f.questions, QStringList());
        QVERIFY(form->diary());
        QCOMPARE(form->Memo1->text(), u"nowhere to go"_s);
        SafeFile::faultHook() = {};
        QVERIFY(form->close());
        QCOMPARE(f.read("data/20240105"), "nowhere to go"_ba);
    }

    // What the session manager's save request runs: everything saved, the window stays.
    void saveForTheSession_writesDayAndSettings_andKeepsTheWindow()
    {
        WindowFixture f;
        auto form = f.start();
        form->Memo1->setText(u"before the session ends"_s);
        QVERIFY(form->FormClose());
        QCOMPARE(f.read("data/20240105"), "before the session ends"_ba);
        QVERIFY(f.read("diary.ini").contains("scrollbar=0\r\n"));
        QVERIFY(form->diary());
        form->Memo1->setText(u"after"_s);
        QVERIFY(form->close());
        QCOMPARE(f.read("data/20240105"), "after"_ba);
    }

    // Offscreen, the one screen is 800 x 600 at 0,0.
    void storedPositionOffEveryScreen_placedOnThePrimary_replacedAtClose_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QPoint>("placed");
        QTest::addColumn<QByteArray>("closed");
        QTest::newRow("screen unplugged")
            << "left=5000\r\ntop=100"_ba << QPoint(480, 100) << "left=480\r\ntop=100"_ba;
        QTest::newRow("beyond the window system")
            << "left=2147483647\r\ntop=-2147483648"_ba << QPoint(480, 0) << "left=480\r\ntop=0"_ba;
        QTest::newRow("partly off, kept")
            << "left=-100\r\ntop=500"_ba << QPoint(-100, 500) << "left=-100\r\ntop=500"_ba;
    }

    void storedPositionOffEveryScreen_placedOnThePrimary_replacedAtClose()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QPoint, placed);
        QFETCH(QByteArray, closed);
        WindowFixture f;
        f.write("diary.ini", "[data]\r\n" + stored + "\r\n");
        auto form = f.start();
        QCOMPARE(form->pos(), placed);
        QVERIFY(form->close());
        QVERIFY(f.read("diary.ini").contains(closed + "\r\n"));
    }

    void movedWindow_storesItsNewPosition()
    {
        WindowFixture f;
        f.write("diary.ini", "[data]\r\nleft=2147483647\r\ntop=5\r\n");
        auto form = f.start();
        form->move(40, 50);
        QVERIFY(form->close());
        QVERIFY(f.read("diary.ini").contains("left=40\r\ntop=50\r\n"));
    }

    void fontNameWithAComma_keptAsStored()
    {
        WindowFixture f;
        f.write("diary.ini", "[data]\r\nfontname=Foo, Bar\r\n");
        auto form = f.start();
        QCOMPARE(form->Memo1->font().family(), u"Foo, Bar"_s);
        QVERIFY(form->close());
        QVERIFY(f.read("diary.ini").contains("fontname=Foo, Bar\r\n"));
    }

    void pauseInTyping_savesTheShownDay()
    {
        WindowFixture f;
        auto form = f.start();
        const auto stored = [&] {
            return QFileInfo::exists(f.entryPath("20240105")) ? f.read("data/20240105")
                                                              : QByteArray();
        };
        form->Memo1->setText(u"typed 日記"_s);
        QTRY_COMPARE_WITH_TIMEOUT(stored(), "typed \x93\xfa\x8b\x4c"_ba, 4 * AutoSave::PauseMs);
        form->Edit1->setText(u"title"_s);
        emit form->Edit1->textEdited(form->Edit1->text());
        QTRY_VERIFY_WITH_TIMEOUT(f.read("diary.ini").contains("20240105=title\r\n"),
                                 4 * AutoSave::PauseMs);
        QVERIFY(f.messages.isEmpty());
    }

    void failedAutosave_isSilent_theChangeOfDayReportsIt()
    {
        WindowFixture f;
        auto form = f.start();
        int attempts = 0;
        SafeFile::faultHook() = [&](SafeFile::Step step, const QString& path) {
            if (step != SafeFile::Step::Create || !path.endsWith(u"20240105"))
                return 0;
            ++attempts;
            return ENOSPC;
        };
        form->Memo1->setText(u"kept"_s);
        QTRY_VERIFY_WITH_TIMEOUT(attempts > 0, 4 * AutoSave::PauseMs);
        QVERIFY(f.messages.isEmpty());
        form->forwordd1->trigger();
        QCOMPARE(f.messages, QStringList(u"ﾌｧｲﾙ %1 を作成できません\nﾃﾞｨｽｸに空きがありません。"
                                         "入力した文章はそのまま残っています。"_s.arg(
                                             f.entryPath("20240105"))));
        QCOMPARE(form->Memo1->text(), u"kept"_s);
    }

    void longTitle_survivesViewingAndEditing()
    {
        WindowFixture f;
        const QByteArray title(40000, 'T');
        f.write("diary.ini", "[title]\r\n20240105=" + title + "\r\n");
        f.write("data/20240105", "body");
        auto form = f.start();
        QCOMPARE(form->Edit1->text().size(), 40000);
        form->Memo1->setText(u"body edited"_s);
        QVERIFY(form->close());
        QVERIFY(f.read("diary.ini").contains("20240105=" + title + "\r\n"));
    }
};

QTEST_MAIN(MainFormSafetyTest)
#include "MainFormSafetyTest.moc"
