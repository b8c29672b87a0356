#include "core/diary/DiaryLock.h"

#include "common/Immutable.h"
#include "core/storage/DiaryError.h"
#include "core/storage/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>
#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

class DiaryLockTest : public QObject
{
    Q_OBJECT

private slots:
    void secondLock_onlyWhileTheFirstIsHeld_data();
    void secondLock_onlyWhileTheFirstIsHeld();
};

void DiaryLockTest::secondLock_onlyWhileTheFirstIsHeld_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<bool>("refused");
    QTest::newRow("first copy open") << u"held"_s << true;
    QTest::newRow("first copy open, reached through a link") << u"held link"_s << true;
    QTest::newRow("first copy open, top folder takes no file") << u"held immutable"_s << true;
    QTest::newRow("first copy open, made under umask 0") << u"held umask 0"_s << true;
    QTest::newRow("first copy ended") << u"ended"_s << false;
    QTest::newRow("another computer's lock arrived") << u"file 4242\ntobiquill\nother\n"_s << false;
}

// The first lock stands for a first copy of the program; the second for a second copy.
void DiaryLockTest::secondLock_onlyWhileTheFirstIsHeld()
{
    QFETCH(QString, setup);
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"diary"_s);
    QVERIFY(QDir().mkpath(folder));
    std::optional<Immutable> frozen;
    std::unique_ptr<DiaryLock> first;
    const mode_t umask = ::umask(setup.endsWith(u"umask 0"_s) ? 0 : 022);
    if (setup.startsWith(u"held"_s))
        first = std::make_unique<DiaryLock>(folder);
    ::umask(umask);
    if (setup == u"ended"_s)
        DiaryLock{folder};
    if (setup.startsWith(u"file "_s))
        SafeFile::write(folder + u"/diary.lock"_s, setup.mid(5).toLatin1());
    if (setup.endsWith(u"immutable"_s))
        frozen.emplace(folder);
    QString second = folder;
    if (setup.endsWith(u"link"_s)) {
        second = dir.filePath(u"link"_s);
        QVERIFY(QFile::link(folder, second));
    }

    QString error;
    try {
        DiaryLock lock(second);
    } catch (const DiaryError& e) {
        error = e.message();
    }
    QTEST(error.contains(u"もう開いています"_s), "refused");
    // The lock file is there while a copy holds it, and the user's alone.
    struct stat lock
    {
    };
    const bool there =
        ::lstat(QFile::encodeName(DiaryLock::fileName(folder)).constData(), &lock) == 0;
    QCOMPARE(there, bool(first));
    QVERIFY(!there || (lock.st_mode & 0777) == 0600);
    // The lock never travels with the diary.
    QVERIFY(!DiaryLock::fileName(folder).startsWith(folder));
    QVERIFY(!QDir(folder).entryList(QDir::Files).contains(u"diary.lock"_s) ||
            setup.startsWith(u"file "_s));
}

QTEST_GUILESS_MAIN(DiaryLockTest)
#include "DiaryLockTest.moc"
