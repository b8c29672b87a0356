#include "archive/CommandLineTasks.h"
#include "core/diary/Diary.h"
#include "core/storage/CodePage932.h"
#include "core/storage/KdfLimits.h"
#include "core/storage/RecoveryCode.h"
#include "core/storage/SafeFile.h"
#include "core/storage/SealedBytes.h"
#include "core/tasks/DiaryEncryption.h"
#include "core/tasks/PassphrasePrompt.h"
#include "core/tasks/TaskOptions.h"

#include <QCommandLineParser>
#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QTextStream>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Export, backup and restore as the command line runs them, on a diary in a folder of its own.
class CommandLineTasksTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_work;

    QString path(const QString& name) const { return QDir(m_work.path()).filePath(name); }
    QString diary() const { return path("diary"); }

    struct Outcome
    {
        int code;
        QString message;
        // Standard output.
        QByteArray out;
    };

    // passphrases: the lines of standard input, which is no terminal.
    static Outcome run(const QStringList& arguments, const QString& folder,
                       const QStringList& passphrases = {})
    {
        QCommandLineParser parser;
        TaskOptions::add(parser);
        if (!parser.parse(QStringList{"tobiquill"} + arguments))
            qFatal("%s", qPrintable(parser.errorText()));
        QString message;
        QTextStream err(&message);
        PassphrasePrompt prompt = PassphrasePrompt::fromLines(passphrases);
        QTemporaryFile out;
        out.open();
        std::fflush(stdout);
        const int standardOut = ::dup(STDOUT_FILENO);
        ::dup2(out.handle(), STDOUT_FILENO);
        const int code = CommandLineTasks::run(parser, folder, err, false, nullptr, &prompt);
        std::fflush(stdout);
        ::dup2(standardOut, STDOUT_FILENO);
        ::close(standardOut);
        err.flush();
        out.seek(0);
        return {code, message, out.readAll()};
    }

    // Every file under folder with its bytes, by relative path.
    static QMap<QString, QByteArray> contents(const QString& folder)
    {
        QMap<QString, QByteArray> files;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            files.insert(QDir(folder).relativeFilePath(file), SafeFile::read(file));
        }
        return files;
    }

private slots:
    void initTestCase()
    {
        KdfLimits::forNewSlots() = KdfLimits::minimum();
        qputenv("XDG_STATE_HOME", QFile::encodeName(path("state")));
        QDir().mkpath(diary());
        Diary d(diary());
        d.saveDay("20231231", "大晦日", "年越しそば\n\n<b>&\"太字\"</b>");
        d.saveDay("20240101", "# 「元日」、晴れ。 *", "初詣\n- おみくじ");
        d.saveDay("20240105", "♡", "雨😀");
        // What a diary kept for years holds besides: a byte that is no character, a control
        // character, a title written twice.
        SafeFile::write(QDir(diary()).filePath("data/20240210"), QByteArray("a\x81\r\nb\x01", 6));
        d.writeTitle("20240210", "最初");
        QFile::link(QDir(diary()).filePath("diary.ini"), path("ini-link.txt"));
        QFile::link(QDir(diary()).filePath("data"), path("data-link"));
        const QString ini = QDir(diary()).filePath("diary.ini");
        const QByteArray first = "20240210=" + CodePage932::encode("最初") + "\r\n";
        SafeFile::write(ini,
                        SafeFile::read(ini).replace(
                            first, first + "20240210=" + CodePage932::encode("二番目") + "\r\n"));
        SafeFile::write(path("existing.txt"), "kept");
    }

    void exportDays_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected");
        QTest::newRow("text, whole diary")
            << QStringList{"--format", "text"}
            << "【2023年12月31日 日】大晦日\n\n年越しそば\n\n<b>&\"太字\"</b>\n\n\n"
               "【2024年1月1日 月】# 「元日」、晴れ。 *\n\n初詣\n- おみくじ\n\n\n"
               "【2024年1月5日 金】♡\n\n雨😀\n\n\n"
               "【2024年2月10日 土】最初\n\na\uf781\nb\u0001\n\n\n";
        QTest::newRow("markdown, one day")
            << QStringList{"--format", "markdown", "--from", "20240101", "--to", "20240101"}
            << "## 2024年1月1日 月  \\# 「元日」、晴れ。 \\*\n\n```\n初詣\n- おみくじ\n```\n\n";
        QTest::newRow("markdown, real characters")
            << QStringList{"--format", "markdown", "--from", "20240105", "--to", "20240105"}
            << "## 2024年1月5日 金  ♡\n\n```\n雨😀\n```\n\n";
        QTest::newRow("text, from a day on")
            << QStringList{"--format", "text", "--from", "20240105"}
            << "【2024年1月5日 金】♡\n\n雨😀\n\n\n【2024年2月10日 "
               "土】最初\n\na\uf781\nb\u0001\n\n\n";
        QTest::newRow("range with no days") << QStringList{"--to", "20001231"} << "";
    }

    void exportDays()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        const QString file = path("export.txt");
        const QMap<QString, QByteArray> before = contents(diary());
        const Outcome outcome = run(QStringList{"--export", file, "--force"} + arguments, diary());
        QCOMPARE(outcome.code, 0);
        QCOMPARE(QString::fromUtf8(SafeFile::read(file)), expected);
        QCOMPARE(contents(diary()), before);
    }

    // Read back by a strict parser: the page is well-formed, and every text comes back as
    // written, markup characters included.
    void exportHtml_parsesBackToTheText()
    {
        const QString xmllint = QStandardPaths::findExecutable("xmllint");
        if (xmllint.isEmpty())
            QSKIP("xmllint (libxml2-utils) is not installed");
        const QString file = path("diary.html");
        QCOMPARE(run({"--export", file}, diary()).code, 0);
        QProcess parse;
        parse.start(xmllint, {"--noout", "--nonet", file});
        QVERIFY(parse.waitForFinished());
        QCOMPARE(QString::fromUtf8(parse.readAllStandardError()), QString());
        QCOMPARE(parse.exitCode(), 0);
        QProcess query;
        query.start(xmllint, {"--xpath", "string(//*[@id='d20231231']/*[@class='body'])", file});
        QVERIFY(query.waitForFinished());
        QCOMPARE(QString::fromUtf8(query.readAllStandardOutput()),
                 QStringLiteral("年越しそば\n\n<b>&\"太字\"</b>\n"));
        const QString page = QString::fromUtf8(SafeFile::read(file));
        QVERIFY(page.contains(
            QStringLiteral("<h2>2024年2月10日 土 <span class=\"title\">最初</span></h2>")));
        QVERIFY(page.contains(QStringLiteral("a\uf781\nb\u2401")));
        QVERIFY(page.contains(
            QStringLiteral("<span class=\"title\">♡</span></h2>\n<div class=\"body\">雨😀</div>")));
    }

    // Rendered by a CommonMark renderer that lets HTML through: every day keeps its heading, and
    // every body comes out as its text, whatever markup, HTML or fences it holds.
    void exportMarkdown_rendersAsTheText()
    {
        const QString cmark = QStandardPaths::findExecutable("cmark");
        if (cmark.isEmpty())
            QSKIP("cmark is not installed");
        const QString folder = path("hostile");
        QDir().mkpath(folder);
        const QStringList bodies = {"<script>alert(1)</script>\n[x](javascript:alert(1))",
                                    "```\nまだ閉じない", "<img src=x onerror=alert(1)> &amp; ````",
                                    "    字下げ\n# 見出しではない"};
        {
            Diary d(folder);
            for (int i = 0; i < bodies.size(); ++i)
                d.saveDay(QStringLiteral("2024010%1").arg(i + 1), "<b>*題*</b> &amp;", bodies[i]);
        }
        const QString file = path("hostile.md");
        QCOMPARE(run({"--export", file}, folder).code, 0);
        QProcess render;
        render.start(cmark, {"--unsafe", file});
        QVERIFY(render.waitForFinished());
        const QString html = QString::fromUtf8(render.readAllStandardOutput());
        const auto unescape = [](QString text) {
            return text.replace("&lt;", "<")
                .replace("&gt;", ">")
                .replace("&quot;", "\"")
                .replace("&amp;", "&");
        };
        QStringList headings;
        QStringList texts;
        for (const auto& m : QRegularExpression("<h2>(.*?)</h2>").globalMatch(html))
            headings << unescape(m.captured(1));
        QRegularExpression code("<pre><code>(.*?)\n?</code></pre>",
                                QRegularExpression::DotMatchesEverythingOption);
        for (const auto& m : code.globalMatch(html))
            texts << unescape(m.captured(1));
        QCOMPARE(headings.size(), bodies.size());
        QCOMPARE(headings.first(), QStringLiteral("2024年1月1日 月  <b>*題*</b> &amp;"));
        QCOMPARE(texts, bodies);
    }

    void tasks_refuseBadArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        const QString out = QDir::temp().filePath("never-written.txt");
        QTest::newRow("impossible date")
            << QStringList{"--export", out, "--from", "20240230"} << 2 << "--from には yyyymmdd";
        QTest::newRow("short date")
            << QStringList{"--export", out, "--to", "2024011"} << 2 << "--to には yyyymmdd";
        QTest::newRow("from after to")
            << QStringList{"--export", out, "--from", "20240102", "--to", "20240101"} << 2
            << "--from の日付が --to の日付より後";
        QTest::newRow("unknown format") << QStringList{"--export", out, "--format", "pdf"} << 2
                                        << "--format は text、markdown、html";
        QTest::newRow("range without export")
            << QStringList{"--backup", out, "--from", "20240101"} << 2 << "--export と一緒に";
        QTest::newRow("two tasks")
            << QStringList{"--export", out, "--backup", out} << 2 << "一度に一つだけ";
        QTest::newRow("into the entries folder")
            << QStringList{"--export", "DATA/20240301"} << 2 << "日記の中にはできません";
        QTest::newRow("over diary.ini")
            << QStringList{"--export", "DIARY/diary.ini"} << 2 << "日記の中にはできません";
        QTest::newRow("through a link to diary.ini")
            << QStringList{"--export", "WORK/ini-link.txt"} << 2 << "日記の中にはできません";
        QTest::newRow("through a link to the entries folder")
            << QStringList{"--export", "WORK/data-link/20150102"} << 2 << "日記の中にはできません";
        QTest::newRow("over the lock file")
            << QStringList{"--export", "DIARY/diary.lock"} << 2 << "日記の中にはできません";
        QTest::newRow("over a file, not asked to")
            << QStringList{"--export", "WORK/existing.txt"} << 1 << "--force を付けて";
        QTest::newRow("delete a day, asked nowhere")
            << QStringList{"--delete-day", "20240101"} << 2 << "--yes を付けて";
        QTest::newRow("delete an impossible day")
            << QStringList{"--delete-day", "20230229", "--yes"} << 2
            << "--delete-day には yyyymmdd";
        QTest::newRow("backup into the entries folder")
            << QStringList{"--backup", "DATA/b.zip"} << 1 << "日記の中には書けません";
    }

    void tasks_refuseBadArguments()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, message);
        arguments.replaceInStrings("DATA", QDir(diary()).filePath("data"));
        arguments.replaceInStrings("DIARY", diary());
        arguments.replaceInStrings("WORK", m_work.path());
        const QMap<QString, QByteArray> before = contents(diary());
        const Outcome outcome = run(arguments, diary());
        QCOMPARE(outcome.code, code);
        QVERIFY2(outcome.message.contains(message), qPrintable(outcome.message));
        QCOMPARE(contents(diary()), before);
        QVERIFY(!QFile::exists(QDir::temp().filePath("never-written.txt")));
    }

    void export_toAFolderOthersWriteTo_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("refusal");
        const QString theirs = "別のユーザーのものです";
        QTest::newRow("their FIFO, with a reader") << "their fifo" << theirs;
        QTest::newRow("their file, open to all") << "their file" << theirs;
        QTest::newRow("their link to a file of the user")
            << "their link"
            << "別のユーザーが置いたシンボリックリンク";
        QTest::newRow("the user's link: followed, the link stays") << "own link" << QString();
        QTest::newRow("the user's file, open to all: private while written")
            << "own file" << QString();
    }

    // A folder like /tmp: anyone writes there, the sticky bit keeps each one's names their own.
    // Nothing of another user's is written through or replaced, and the new file beside the
    // target is its owner's only until it takes the target's place.
    void export_toAFolderOthersWriteTo()
    {
        QFETCH(QString, kind);
        QFETCH(QString, refusal);
        const QString shared = path("shared");
        QDir().mkpath(shared);
        QCOMPARE(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
        const QString target = shared + "/" + QString(kind).replace(' ', '-') + ".txt";
        const QByteArray name = QFile::encodeName(target);
        const QString victim = path(kind + " victim");
        SafeFile::write(victim, "mine");
        int reader = -1;
        if (kind == "their fifo") {
            QCOMPARE(::mkfifo(name.constData(), 0666), 0);
            reader = ::open(name.constData(), O_RDONLY | O_NONBLOCK);
        } else if (kind.endsWith("file")) {
            SafeFile::write(target, "theirs");
            QCOMPARE(::chmod(name.constData(), 0666), 0);
        } else {
            QVERIFY(QFile::link(victim, target));
        }
        if (kind.startsWith("their"))
            QCOMPARE(::lchown(name.constData(), 65534, 65534), 0);
        const QStringList before = QDir(shared).entryList(QDir::AllEntries | QDir::System);
        unsigned stagedMode = 0;
        SafeFile::faultHook() = [&](SafeFile::Step step, const QString&) {
            for (const QString& staged :
                 QDir(shared).entryList({"*.tobiquill-save.*"}, QDir::Files | QDir::Hidden)) {
                struct stat info
                {
                };
                if (step == SafeFile::Step::Commit &&
                    ::stat(QFile::encodeName(shared + "/" + staged).constData(), &info) == 0)
                    stagedMode = info.st_mode & 07777;
            }
            return 0;
        };
        const Outcome outcome = run({"--export", target, "--format", "text", "--force"}, diary());
        SafeFile::faultHook() = {};
        QCOMPARE(QDir(shared).entryList(QDir::AllEntries | QDir::System), before);
        struct stat after
        {
        };
        QCOMPARE(::lstat(name.constData(), &after), 0);
        if (!refusal.isEmpty()) {
            QCOMPARE(outcome.code, 1);
            QVERIFY2(outcome.message.contains(refusal), qPrintable(outcome.message));
            QCOMPARE(after.st_uid, 65534u);
            char got[16];
            if (reader >= 0)
                QCOMPARE(::read(reader, got, sizeof got), ssize_t(0));
            if (kind == "their file")
                QCOMPARE(SafeFile::read(target), QByteArray("theirs"));
            QCOMPARE(SafeFile::read(victim), QByteArray("mine"));
            ::close(reader);
            return;
        }
        QCOMPARE(outcome.code, 0);
        const QByteArray written = SafeFile::read(kind == "own link" ? victim : target);
        QVERIFY2(written.startsWith("【2023年12月31日"), written.constData());
        if (kind == "own link") {
            QVERIFY(S_ISLNK(after.st_mode));
        } else {
            // The file keeps the mode its owner gave it; the new one had no more than 0600.
            QCOMPARE(after.st_mode & 07777, 0666u);
            QCOMPARE(stagedMode, 0600u);
        }
    }

    void noDiary_saysSo()
    {
        const Outcome outcome = run({"--backup", path("none.zip")}, path("nothing-here"));
        QCOMPARE(outcome.code, 1);
        QVERIFY(outcome.message.contains("日記がありません"));
        QVERIFY(!QFile::exists(path("none.zip")));
    }

    // Backed up, restored into a new folder: every byte equal, and the diary opens.
    void backupThenRestore_everyByteEqual()
    {
        const QString zip = path("backup.zip");
        const QMap<QString, QByteArray> before = contents(diary());
        QCOMPARE(run({"--backup", zip}, diary()).code, 0);
        QCOMPARE(contents(diary()), before);

        const QString restored = path("restored/diary");
        const Outcome outcome = run({"--restore", zip}, restored);
        QCOMPARE(outcome.code, 0);
        QVERIFY2(outcome.message.contains("5 個のファイル"), qPrintable(outcome.message));
        QCOMPARE(contents(restored), before);
        {
            // An open diary holds its lock file; it goes when the diary is closed.
            const Diary reopened(restored);
            QCOMPARE(reopened.readTitle("20231231"), QStringLiteral("大晦日"));
            QCOMPARE(reopened.readBody("20240105"), QStringLiteral("雨😀"));
        }

        // Into a folder that holds anything: refused, and what is there stays.
        const Outcome again = run({"--restore", zip}, restored);
        QCOMPARE(again.code, 1);
        QVERIFY(again.message.contains("空のフォルダではありません"));
        QCOMPARE(contents(restored), before);
    }

    void restore_emptyDataFolder_andEmptyTargetFolder()
    {
        const QString empty = path("empty-diary");
        QDir().mkpath(empty + "/data");
        QCOMPARE(run({"--backup", path("empty.zip")}, empty).code, 0);
        const QString target = path("empty-target");
        QDir().mkpath(target);
        QCOMPARE(run({"--restore", path("empty.zip")}, target).code, 0);
        QVERIFY(QFileInfo(target + "/data").isDir());
    }

    void tasks_failingOrStopped_leaveNothingBehind_data()
    {
        QTest::addColumn<QString>("task");
        QTest::addColumn<int>("failingStep");
        const int steps[] = {int(SafeFile::Step::Create), int(SafeFile::Step::Write),
                             int(SafeFile::Step::Sync), int(SafeFile::Step::Commit), -1};
        for (const QString task : {"export", "backup", "restore"})
            for (const int step : steps)
                if (task != "backup" || step != int(SafeFile::Step::Write)) // libzip writes it
                    QTest::addRow("%s, %s", qPrintable(task),
                                  step < 0 ? "quit signal" : qPrintable(QString::number(step)))
                        << task << step;
    }

    // A task that fails at any step of its writing, or that a quit signal stops, leaves its
    // target as it was and nothing beside it.
    void tasks_failingOrStopped_leaveNothingBehind()
    {
        QFETCH(QString, task);
        QFETCH(int, failingStep);
        const QString target = path(task == "restore" ? "new-diary" : "old-target");
        const QString zip = path("old.zip");
        if (!QFile::exists(zip)) {
            QCOMPARE(run({"--backup", zip}, diary()).code, 0);
            SafeFile::write(target, "old");
        }
        const QByteArray old = SafeFile::read(zip);
        const QStringList before = QDir(m_work.path()).entryList(QDir::AllEntries | QDir::Hidden);
        SafeFile::faultHook() = [&](SafeFile::Step step, const QString&) {
            if (failingStep < 0 && step == SafeFile::Step::Create)
                ::raise(SIGTERM);
            return int(step) == failingStep ? EIO : 0;
        };
        const Outcome outcome = task == "restore" ? run({"--restore", zip}, target)
                                                  : run({"--" + task, target, "--force"}, diary());
        SafeFile::faultHook() = {};
        QCOMPARE(outcome.code, 1);
        QCOMPARE(QDir(m_work.path()).entryList(QDir::AllEntries | QDir::Hidden), before);
        QCOMPARE(SafeFile::read(zip), old);
        if (task != "restore")
            QCOMPARE(SafeFile::read(target), QByteArray("old"));
    }

    void encryption_refused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("passphrases");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("decrypt a plain diary")
            << QStringList{"--decrypt"} << QStringList{"x"} << 1 << "暗号化されていません";
        QTest::newRow("a short passphrase")
            << QStringList{"--encrypt"} << QStringList{"short"} << 1 << "短すぎます";
        QTest::newRow("no passphrase to read")
            << QStringList{"--encrypt"} << QStringList{} << 1 << "パスフレーズを読めません";
        QTest::newRow("with another task")
            << QStringList{"--encrypt", "--decrypt"} << QStringList{} << 2 << "一度に一つだけ";
        QTest::newRow("with --force")
            << QStringList{"--encrypt", "--force"} << QStringList{} << 2 << "--force は";
    }

    void encryption_refused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, passphrases);
        QFETCH(int, code);
        QFETCH(QString, message);
        const QMap<QString, QByteArray> before = contents(diary());
        const Outcome outcome = run(arguments, diary(), passphrases);
        QCOMPARE(outcome.code, code);
        QVERIFY2(outcome.message.contains(message), qPrintable(outcome.message));
        QCOMPARE(contents(diary()), before);
    }

    void encryption_pending_data()
    {
        QTest::addColumn<QString>("pending");
        QTest::addColumn<QString>("task");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("sealed");
        QTest::newRow("--encrypt never decrypts")
            << "off"
            << "--encrypt" << 1 << "--decrypt を使って" << true;
        QTest::newRow("--decrypt finishes a turn-off")
            << "off"
            << "--decrypt" << 0 << "暗号化を解きました" << false;
        QTest::newRow("--encrypt names plain days and seals them")
            << "plain"
            << "--encrypt" << 0 << "2024年1月3日" << true;
        QTest::newRow("--decrypt, a day still sealed after a turn-off elsewhere")
            << "elsewhere, one left"
            << "--decrypt" << 1 << "diary.key" << false;
        QTest::newRow("--decrypt takes a turn-off elsewhere")
            << "elsewhere"
            << "--decrypt" << 0 << "暗号化されていない日記に戻しました" << false;
    }

    // What a key file's mark or a plain day leaves pending is said, and finished only by the task
    // that does it.
    void encryption_pending()
    {
        QFETCH(QString, pending);
        QFETCH(QString, task);
        QFETCH(bool, sealed);
        const QString folder = path("pending-" + pending + task);
        QDir().mkpath(folder + "/data");
        {
            Diary d(folder);
            d.saveDay("20240104", "題", "本文");
            DiaryEncryption::turnOn(d, "correct horse");
            DiaryEncryption::finish(d);
            if (pending == "off")
                DiaryEncryption::turnOff(d);
        }
        if (pending.startsWith("elsewhere")) {
            // The other computer turns it off; this one still knows the diary encrypted.
            const QByteArray sealedDay = SafeFile::read(folder + "/data/20240104");
            qputenv("XDG_STATE_HOME", QFile::encodeName(path("other-computer")));
            {
                Diary d(folder);
                QVERIFY(d.unlock("correct horse"));
                DiaryEncryption::turnOff(d);
                DiaryEncryption::finish(d, TaskProgress(), true);
            }
            qputenv("XDG_STATE_HOME", QFile::encodeName(path("state")));
            if (pending.endsWith("left"))
                SafeFile::write(folder + "/data/20240105", sealedDay);
        }
        if (pending == "plain")
            SafeFile::write(folder + "/data/20240103", "planted");
        const QMap<QString, QByteArray> before = contents(folder);
        const Outcome outcome = run({task}, folder, {"correct horse"});
        QTEST(outcome.code, "code");
        QFETCH(QString, message);
        QVERIFY2(outcome.message.contains(message), qPrintable(outcome.message));
        if (outcome.code != 0)
            QCOMPARE(contents(folder), before);
        for (const QString day : {"20240103", "20240104"})
            if (QFile::exists(folder + "/data/" + day))
                QCOMPARE(SealedBytes::isSealed(SafeFile::read(folder + "/data/" + day)), sealed);
        if (pending.startsWith("elsewhere"))
            QCOMPARE(Diary(folder).keyMissing(), outcome.code != 0);
    }

    // A new diary with no day yet is encrypted all the same; once is enough.
    void encrypt_newDiary_thenAgainRefused()
    {
        const QString empty = path("new-diary");
        QDir().mkpath(empty + "/data");
        QCOMPARE(run({"--encrypt"}, empty, {"correct horse"}).code, 0);
        QVERIFY(QFile::exists(empty + "/diary.key"));
        const Outcome again = run({"--encrypt"}, empty, {"correct horse"});
        QCOMPARE(again.code, 1);
        QVERIFY2(again.message.contains("もう暗号化されています"), qPrintable(again.message));
    }

    // Encrypted from the command line: the recovery code on standard output, nothing readable
    // left on disk; the tasks that read days ask the passphrase, a backup carries the sealed
    // files and diary.key as they are; a new passphrase writes diary.key only; the recovery
    // code decrypts, every day byte for byte back.
    void encryption_throughTheTasks()
    {
        const QString zip = path("to-seal.zip");
        const QString folder = path("sealed");
        QCOMPARE(run({"--backup", zip}, diary()).code, 0);
        QCOMPARE(run({"--restore", zip}, folder).code, 0);
        const QMap<QString, QByteArray> plain = contents(folder);

        const Outcome on = run({"--encrypt"}, folder, {"correct horse"});
        QCOMPARE(on.code, 0);
        const QString code = QString::fromUtf8(on.out).trimmed();
        QVERIFY2(RecoveryCode::normalised(code), on.out.constData());
        QVERIFY(on.message.contains("回復コード"));
        for (const QByteArray& bytes : contents(folder))
            QVERIFY(!bytes.contains(CodePage932::encode("年越しそば")) &&
                    !bytes.contains(CodePage932::encode("大晦日")));

        const QString exported = path("sealed.txt");
        const Outcome wrong = run({"--export", exported}, folder, {"wrong horse"});
        QCOMPARE(wrong.code, 1);
        QVERIFY(wrong.message.contains("違います"));
        QVERIFY(!QFile::exists(exported));
        const Outcome exporting = run({"--export", exported}, folder, {"correct horse"});
        QCOMPARE(exporting.code, 0);
        QVERIFY(exporting.message.contains("暗号化されていません"));
        QVERIFY(SafeFile::read(exported).contains("】大晦日\n\n年越しそば"));

        QString kept;
        {
            Diary open(folder);
            QVERIFY(open.unlock("correct horse"));
            kept = open.writeRecovery({path("recovery")}, "20240102", "題", "書きかけ", {});
        }
        QCOMPARE(run({"--read-recovery", kept}, folder, {"wrong horse"}).code, 1);
        const Outcome recovered = run({"--read-recovery", kept}, folder, {"correct horse"});
        QCOMPARE(recovered.code, 0);
        QVERIFY2(QString::fromUtf8(recovered.out).contains("書きかけ"), recovered.out.constData());

        const QMap<QString, QByteArray> sealed = contents(folder);
        QCOMPARE(run({"--backup", path("sealed.zip")}, folder).code, 0);
        QCOMPARE(run({"--restore", path("sealed.zip")}, path("sealed-restored")).code, 0);
        QCOMPARE(contents(path("sealed-restored")), sealed);

        const QStringList passphrases{"correct horse", "battery staple"};
        QCOMPARE(run({"--change-passphrase"}, folder, passphrases).code, 0);
        QMap<QString, QByteArray> changed = contents(folder);
        QMap<QString, QByteArray> expected = sealed;
        QVERIFY(changed.take("diary.key") != expected.take("diary.key"));
        QCOMPARE(changed, expected);
        {
            const Diary open(folder);
            const Outcome inUse = run({"--decrypt"}, folder, {code});
            QCOMPARE(inUse.code, 1);
            QVERIFY(inUse.message.contains("いま開いています"));
        }
        QCOMPARE(run({"--decrypt"}, folder, {code}).code, 0);
        // A title written twice keeps the line every read takes, the first.
        QMap<QString, QByteArray> decrypted = contents(folder);
        const QByteArray second = "20240210=" + CodePage932::encode("二番目") + "\r\n";
        QCOMPARE(decrypted.take("diary.ini"),
                 QByteArray(plain.value("diary.ini")).replace(second, ""));
        QMap<QString, QByteArray> days = plain;
        days.remove("diary.ini");
        QCOMPARE(decrypted, days);
    }

    void restore_damagedArchive_writesNothing_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("not a zip") << "text";
        QTest::newRow("cut short") << "cut";
        QTest::newRow("a byte changed") << "flip";
        QTest::newRow("missing") << "missing";
    }

    void restore_damagedArchive_writesNothing()
    {
        QFETCH(QString, damage);
        const QString good = path("good.zip");
        if (!QFile::exists(good))
            QCOMPARE(run({"--backup", good}, diary()).code, 0);
        QByteArray bytes = SafeFile::read(good);
        if (damage == "text")
            bytes = "これはzipではない";
        else if (damage == "cut")
            bytes.chop(30);
        else if (damage == "flip") // inside the first entry's data (diary.ini, stored first)
            bytes[60] = char(bytes[60] ^ 0x55);
        const QString zip = path("damaged.zip");
        QFile::remove(zip);
        if (damage != "missing")
            SafeFile::write(zip, bytes);
        const QString target = path("target-" + damage);
        const Outcome outcome = run({"--restore", zip}, target);
        QCOMPARE(outcome.code, 1);
        QVERIFY(!outcome.message.isEmpty());
        QVERIFY(!QFileInfo::exists(target));
    }

    // A small diary of its own for each import, with a titled day the import joins.
    QString importDiary(const QString& name)
    {
        const QString folder = path(name);
        Diary d(folder);
        d.saveDay("20240105", "雪", "もとの文");
        return folder;
    }

    static QByteArray jrnlExport()
    {
        return "{\"tags\":{},\"entries\":["
               "{\"title\":\"朝\",\"body\":\"起きた\",\"date\":\"2024-01-05\",\"time\":\"09:30\"},"
               "{\"title\":\"夜\",\"body\":\"寝た\",\"date\":\"2024-01-05\",\"time\":\"22:00\"},"
               "{\"title\":\"晴れ\",\"body\":\"散歩\",\"date\":\"2024-01-06\",\"time\":\"08:00\"}]"
               "}";
    }

    void import_brokenInput_leavesTheDiaryAsItWas_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("file"); // written under the export's folder
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("given"); // the argument, under the export's folder
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        const QByteArray dayOne =
            "{\"entries\":[{\"creationDate\":\"2024-01-05T00:00:00Z\",\"text\":\"x\"}]}";
        QTest::newRow("Day One cut short")
            << "dayone"
            << "d.json" << dayOne.left(40) << "d.json" << 1 << "途中で切れていないか";
        QTest::newRow("jrnl's export as Day One")
            << "dayone"
            << "j.json" << jrnlExport() << "j.json" << 1 << "Day One の書き出しではありません";
        QTest::newRow("Day One's export as jrnl")
            << "jrnl"
            << "d.json" << dayOne << "d.json" << 1 << "jrnl の書き出しではありません";
        QTest::newRow("a zip that does not open") << "dayone"
                                                  << "d.zip" << QByteArray("PK\x03\x04 壊れた")
                                                  << "d.zip" << 1 << "zipアーカイブではありません";
        QTest::newRow("RedNotebook month cut short")
            << "rednotebook"
            << "rn/2024-01.txt" << QByteArray("5: {text: \"雨") << "rn" << 1
            << "YAML として読めません";
        QTest::newRow("a folder of no RedNotebook")
            << "rednotebook"
            << "rn/notes.txt" << QByteArray("x") << "rn" << 1 << "月のファイル";
        QTest::newRow("a file for the text folder")
            << "text"
            << "d.json" << dayOne << "d.json" << 1 << "フォルダではありません";
        QTest::newRow("no such export")
            << "jrnl"
            << "d.json" << dayOne << "missing.json" << 1 << "ありません";
        QTest::newRow("unknown format") << "evernote"
                                        << "d.json" << dayOne << "d.json" << 2 << "dayone、jrnl";
    }

    void import_brokenInput_leavesTheDiaryAsItWas()
    {
        QFETCH(QString, format);
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, given);
        QFETCH(int, code);
        QFETCH(QString, message);
        const QString folder = importDiary("import-broken-" + QString(QTest::currentDataTag()));
        const QString from = path("exports-" + QString(QTest::currentDataTag()));
        QDir().mkpath(QFileInfo(from + "/" + file).path());
        SafeFile::write(from + "/" + file, bytes);
        const QMap<QString, QByteArray> before = contents(folder);
        const Outcome outcome = run({"--import", format, from + "/" + given}, folder);
        QCOMPARE(outcome.code, code);
        QVERIFY2(outcome.message.contains(message), qPrintable(outcome.message));
        QCOMPARE(contents(folder), before);
    }

    // The user's whole flow: a dry run says what the import will do and writes nothing; the
    // import does it after a backup it names; the same import again adds nothing; and the
    // backup brings the diary back as it was.
    void import_dryRunThenTwice_thenTheBackupUndoesIt()
    {
        const QString folder = importDiary("import-twice");
        SafeFile::write(path("j.json"), jrnlExport());
        const QMap<QString, QByteArray> before = contents(folder);
        const Outcome dry = run({"--import", "jrnl", path("j.json"), "--dry-run"}, folder);
        QCOMPARE(dry.code, 0);
        QCOMPARE(contents(folder), before);
        const Outcome done = run({"--import", "jrnl", path("j.json")}, folder);
        QCOMPARE(done.code, 0);
        const QString summary = QString::fromUtf8(done.out);
        QVERIFY2(summary.contains("新しい日: 1 日\nある日に書き足す: 1 日"), qPrintable(summary));
        QCOMPARE(summary.section("\n読み込む前の日記のバックアップ: ", 0, 0),
                 QString::fromUtf8(dry.out).section("\n(--dry-run", 0, 0));
        const QString backup = summary.section("バックアップ: ", 1).trimmed();
        QVERIFY2(QFileInfo(backup).dir() == QDir(folder), qPrintable(backup));
        {
            Diary d(folder);
            QVERIFY(d.readBody("20240105").startsWith("もとの文\n――― "));
            QCOMPARE(d.readTitle("20240106"), QStringLiteral("晴れ"));
        }
        const QMap<QString, QByteArray> imported = contents(folder);
        const Outcome again = run({"--import", "jrnl", path("j.json")}, folder);
        QCOMPARE(again.code, 0);
        QVERIFY(again.out.contains("変わらない日: 2 日"));
        QCOMPARE(contents(folder), imported);
        QCOMPARE(run({"--restore", backup}, path("import-undone")).code, 0);
        QCOMPARE(contents(path("import-undone")), before);
    }

    void import_encryptedDiary_staysSealed()
    {
        const QString folder = importDiary("import-sealed");
        QCOMPARE(run({"--encrypt"}, folder, {"correct horse"}).code, 0);
        SafeFile::write(path("j.json"), jrnlExport());
        QCOMPARE(run({"--import", "jrnl", path("j.json")}, folder, {"wrong horse"}).code, 1);
        QCOMPARE(run({"--import", "jrnl", path("j.json")}, folder, {"correct horse"}).code, 0);
        for (const QByteArray& bytes : contents(folder))
            QVERIFY(!bytes.contains(CodePage932::encode("散歩")) && !bytes.contains("散歩"));
        Diary d(folder);
        QVERIFY(d.unlock("correct horse"));
        QCOMPARE(d.readBody("20240106"), QStringLiteral("散歩"));
    }
};

QTEST_GUILESS_MAIN(CommandLineTasksTest)
#include "CommandLineTasksTest.moc"
