#include "core/storage/SafeFile.h"

#include "common/Immutable.h"
#include "core/storage/DiaryError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>
#include <sys/types.h>

using namespace Qt::Literals::StringLiterals;
using Step = SafeFile::Step;

namespace {

mode_t modeOf(const QString& path)
{
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

QString errorOf(const std::function<void()>& step)
{
    try {
        step();
    } catch (const DiaryError& error) {
        return error.message();
    }
    return u"(no error)"_s;
}

} // namespace

class SafeFileTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        SafeFile::faultHook() = {};
        m_dir = std::make_unique<QTemporaryDir>();
        m_path = m_dir->filePath(u"diary.ini"_s);
    }
    void cleanup() { SafeFile::faultHook() = {}; }

    void failedStep_keepsOldFileWhole_andLeavesNothingBeside_data()
    {
        QTest::addColumn<Step>("step");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("reason");
        const QString folder =
            u"\nﾌｫﾙﾀﾞ %1 に書き込めません。入力した文章はそのまま残っています。"_s;
        const QString full = u"\nﾃﾞｨｽｸに空きがありません。入力した文章はそのまま残っています。"_s;
        QTest::newRow("read-only folder") << Step::Create << EACCES << folder;
        QTest::newRow("immutable folder") << Step::Create << EPERM << folder;
        QTest::newRow("read-only file system") << Step::Create << EROFS << folder;
        QTest::newRow("full disk while writing") << Step::Write << ENOSPC << full;
        QTest::newRow("quota while writing") << Step::Write << EDQUOT << full;
        QTest::newRow("device error at sync") << Step::Sync << EIO << QString();
        QTest::newRow("delayed write error at close") << Step::Close << EIO << QString();
        QTest::newRow("rename fails") << Step::Commit << EIO << QString();
    }

    void failedStep_keepsOldFileWhole_andLeavesNothingBeside()
    {
        QFETCH(Step, step);
        QFETCH(int, error);
        QFETCH(QString, reason);
        SafeFile::write(m_path, "old"_ba);
        SafeFile::faultHook() = [&](Step at, const QString&) { return at == step ? error : 0; };
        QCOMPARE(errorOf([&] { SafeFile::write(m_path, "new"_ba); }),
                 u"ﾌｧｲﾙ %1 を作成できません"_s.arg(m_path) +
                     reason.replace(u"%1"_s, m_dir->path()));
        SafeFile::faultHook() = {};
        QCOMPARE(SafeFile::read(m_path), "old"_ba);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList(u"diary.ini"_s));
    }

    void failedFolderSync_reportsTheSave_withTheNewFileInPlace()
    {
        SafeFile::faultHook() = [](Step at, const QString&) {
            return at == Step::SyncFolder ? EIO : 0;
        };
        QCOMPARE(errorOf([&] { SafeFile::write(m_path, "new"_ba); }),
                 u"ﾌｧｲﾙ %1 を作成できません"_s.arg(m_path));
        SafeFile::faultHook() = {};
        QCOMPARE(SafeFile::read(m_path), "new"_ba);
    }

    void everyStepIsTaken_inOrder()
    {
        QList<Step> steps;
        SafeFile::faultHook() = [&](Step at, const QString&) {
            steps << at;
            return 0;
        };
        SafeFile::write(m_path, "new"_ba);
        // The bytes are written and synced while the file is private; then it takes its mode.
        QCOMPARE(steps, QList<Step>({Step::Create, Step::Write, Step::Sync, Step::Write,
                                     Step::Close, Step::Commit, Step::SyncFolder}));
    }

    void replacedFile_textPrivateWhileWritten()
    {
        SafeFile::write(m_path, "old"_ba);
        QVERIFY(::chmod(QFile::encodeName(m_path).constData(), 0644) == 0);
        QList<mode_t> whileWritten;
        SafeFile::faultHook() = [&](Step at, const QString&) {
            if (at == Step::Sync)
                for (const QFileInfo& file :
                     QDir(m_dir->path()).entryInfoList(QDir::Files | QDir::Hidden))
                    if (file.fileName() != u"diary.ini"_s)
                        whileWritten << modeOf(file.filePath());
            return 0;
        };
        SafeFile::write(m_path, "new"_ba);
        QCOMPARE(whileWritten, QList<mode_t>({0600}));
    }

    // A writable file in a folder that takes no new file is never written in place.
    void immutableFolder_writableFile_notWrittenInPlace()
    {
        SafeFile::write(m_path, "old"_ba);
        Immutable immutable(m_dir->path());
        QVERIFY(QFileInfo(m_path).isWritable());
        QVERIFY(
            errorOf([&] { SafeFile::write(m_path, "new"_ba); })
                .endsWith(u"ﾌｫﾙﾀﾞ %1 に書き込めません。入力した文章はそのまま残っています。"_s.arg(
                    m_dir->path())));
        immutable.lift();
        QCOMPARE(SafeFile::read(m_path), "old"_ba);
    }

    void immutableFile_isNotReplaced()
    {
        SafeFile::write(m_path, "old"_ba);
        Immutable immutable(m_path);
        QCOMPARE(errorOf([&] { SafeFile::write(m_path, "new"_ba); }),
                 u"ﾌｧｲﾙ %1 を作成できません"_s.arg(m_path) +
                     u"\nﾌｫﾙﾀﾞ %1 に書き込めません。入力した文章はそのまま残っています。"_s.arg(
                         m_dir->path()));
        immutable.lift();
        QCOMPARE(SafeFile::read(m_path), "old"_ba);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList(u"diary.ini"_s));
    }

    void newFilesAndFolders_privateWhateverTheUmask_existingModesKept()
    {
        const mode_t previous = ::umask(0);
        const auto restore = qScopeGuard([&] { ::umask(previous); });
        const QString folder = m_dir->filePath(u"a/b"_s);
        QVERIFY(SafeFile::makeFolder(folder));
        QCOMPARE(modeOf(m_dir->filePath(u"a"_s)), mode_t(0700));
        QCOMPARE(modeOf(folder), mode_t(0700));
        SafeFile::write(folder + u"/new"_s, "x"_ba);
        QCOMPARE(modeOf(folder + u"/new"_s), mode_t(0600));

        ::umask(0777);
        QVERIFY(SafeFile::makeFolder(m_dir->filePath(u"c"_s)));
        QCOMPARE(modeOf(m_dir->filePath(u"c"_s)), mode_t(0700));
        SafeFile::write(m_path, "x"_ba);
        QCOMPARE(modeOf(m_path), mode_t(0600));

        QVERIFY(::chmod(QFile::encodeName(m_path).constData(), 0644) == 0);
        SafeFile::write(m_path, "y"_ba);
        QCOMPARE(modeOf(m_path), mode_t(0644));
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0755) == 0);
        QVERIFY(SafeFile::makeFolder(folder));
        QCOMPARE(modeOf(folder), mode_t(0755));
    }

    void read_refusesWhatIsNoRegularFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("link to /dev/zero") << u"zero"_s;
        QTest::newRow("pipe") << u"fifo"_s;
        QTest::newRow("folder") << u"folder"_s;
        QTest::newRow("read fails") << u"fault"_s;
    }

    void read_refusesWhatIsNoRegularFile()
    {
        QFETCH(QString, kind);
        if (kind == u"zero")
            QVERIFY(QFile::link(u"/dev/zero"_s, m_path));
        else if (kind == u"fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(m_path).constData(), 0600), 0);
        else if (kind == u"folder")
            QVERIFY(QDir().mkdir(m_path));
        else {
            SafeFile::write(m_path, "x"_ba);
            SafeFile::faultHook() = [](Step at, const QString&) {
                return at == Step::Read ? EIO : 0;
            };
        }
        QCOMPARE(errorOf([&] { SafeFile::read(m_path); }), u"ﾌｧｲﾙ %1 は開けません"_s.arg(m_path));
    }

    // The bound holds at its very byte, whether the file had its size when looked at or grew
    // while it was read.
    void read_sizeBound_data()
    {
        QTest::addColumn<bool>("own");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("grows");
        QTest::addColumn<bool>("refused");
        for (const bool own : {false, true}) {
            const char* name = own ? "readOwn" : "read";
            QTest::addRow("%s, at the bound", name) << own << 16 << 0 << false;
            QTest::addRow("%s, one byte over", name) << own << 17 << 0 << true;
            QTest::addRow("%s, grew to the bound", name) << own << 15 << 1 << false;
            QTest::addRow("%s, grew one byte over", name) << own << 16 << 1 << true;
        }
    }

    void read_sizeBound()
    {
        QFETCH(bool, own);
        QFETCH(int, size);
        QFETCH(int, grows);
        QFETCH(bool, refused);
        SafeFile::write(m_path, QByteArray(size, 'a'));
        SafeFile::faultHook() = [&](Step at, const QString&) {
            if (at == Step::ReadBlock && grows > 0) {
                QFile file(m_path);
                if (file.open(QIODevice::Append))
                    file.write(QByteArray(std::exchange(grows, 0), 'b'));
            }
            return 0;
        };
        const bool read = own ? SafeFile::readOwn(m_path, 16).has_value()
                              : errorOf([&] { SafeFile::read(m_path, 16); }) == u"(no error)"_s;
        QCOMPARE(read, !refused);
    }

    // A removal reaches the disk with the folder's sync, or is reported; a file already gone is
    // no failure.
    void remove_reportsWhatKeepsTheRemovalFromTheDisk_data()
    {
        QTest::addColumn<Step>("step");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("reported"); // %1 the file, %2 its folder
        const QString cannot = u"ﾌｧｲﾙ %1 を削除できません"_s;
        QTest::newRow("folder sync fails") << Step::SyncFolder << EIO << cannot;
        QTest::newRow("refused") << Step::Remove << EACCES
                                 << cannot + u"\nﾌｫﾙﾀﾞ %2 かﾌｧｲﾙそのものが変更を許していません。"_s;
        QTest::newRow("already gone") << Step::Remove << ENOENT << QString();
    }

    void remove_reportsWhatKeepsTheRemovalFromTheDisk()
    {
        QFETCH(Step, step);
        QFETCH(int, error);
        QFETCH(QString, reported);
        SafeFile::write(m_path, "x"_ba);
        SafeFile::faultHook() = [&](Step at, const QString&) { return at == step ? error : 0; };
        QCOMPARE(errorOf([&] { SafeFile::remove(m_path); }),
                 reported.isEmpty() ? u"(no error)"_s
                                    : reported.replace(u"%2"_s, m_dir->path()).arg(m_path));
    }

    void isLeftover_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("leftover");
        QTest::newRow("diary.ini's") << u"diary.ini.tobiquill-save.aB3xZ9"_s << true;
        QTest::newRow("a day's") << u"20240105.tobiquill-save.000000"_s << true;
        QTest::newRow("the file itself") << u"20240105"_s << false;
        QTest::newRow("a user's copy") << u"20240105.backup"_s << false;
        QTest::newRow("another program's temporary") << u"diary.ini.aB3xZ9"_s << false;
        QTest::newRow("five characters") << u"20240105.tobiquill-save.aB3xZ"_s << false;
        QTest::newRow("seven characters") << u"20240105.tobiquill-save.aB3xZ9q"_s << false;
        QTest::newRow("mark alone") << u".tobiquill-save.aB3xZ9"_s << false;
        QTest::newRow("other characters") << u"20240105.tobiquill-save.aB-x.9"_s << false;
    }

    void isLeftover()
    {
        QFETCH(QString, name);
        QFETCH(bool, leftover);
        QCOMPARE(SafeFile::isLeftover(name), leftover);
    }

    void removeLeftovers_removesOnlyOurRegularFiles()
    {
        const QDir dir(m_dir->path());
        for (const QString& name :
             {u"diary.ini"_s, u"diary.ini.tobiquill-save.aB3xZ9"_s, u"20240105.backup"_s,
              u"x.tobiquill-save.linked"_s, u"notes.tobiquill-save.txt"_s})
            SafeFile::write(dir.filePath(name), "x"_ba);
        QVERIFY(dir.mkdir(u"y.tobiquill-save.folder"_s));
        QVERIFY(QFile::link(dir.filePath(u"20240105.backup"_s),
                            dir.filePath(u"z.tobiquill-save.asLink"_s)));
        SafeFile::removeLeftovers(dir.path());
        QCOMPARE(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name),
                 QStringList({u"20240105.backup"_s, u"diary.ini"_s, u"notes.tobiquill-save.txt"_s,
                              u"y.tobiquill-save.folder"_s, u"z.tobiquill-save.asLink"_s}));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

QTEST_GUILESS_MAIN(SafeFileTest)
#include "SafeFileTest.moc"
