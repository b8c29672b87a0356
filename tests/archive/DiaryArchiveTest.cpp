#include "archive/DiaryArchive.h"
#include "core/diary/Diary.h"
#include "core/storage/DiaryError.h"
#include "core/storage/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <zip.h>

// Restores that must refuse or fail whole, and backups that must leave nothing behind.
class DiaryArchiveTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_work;

    QString path(const QString& name) const { return QDir(m_work.path()).filePath(name); }

    // Everything in the work folder, so a leftover anywhere shows.
    QStringList everything() const
    {
        return QDir(m_work.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    // An archive of count day entries written by another zip writer; declared, when not 0, is
    // the size every day claims in both of its headers, whatever it holds.
    static void makeZip(const QString& zip, int count, bool stored, qint64 declared)
    {
        QProcess python;
        python.start("python3",
                     {"-c", R"(
import datetime, struct, sys, zipfile
out, count, stored, declared = sys.argv[1], int(sys.argv[2]), sys.argv[3] == "1", int(sys.argv[4])
method = zipfile.ZIP_STORED if stored else zipfile.ZIP_DEFLATED
with zipfile.ZipFile(out, "w", method) as z:
    z.writestr("diary.ini", b"[title]\r\n")
    for i in range(count):
        day = datetime.date(2000, 1, 1) + datetime.timedelta(days=i)
        z.writestr("data/" + day.strftime("%Y%m%d"), b"day %d of the diary" % i)
data = bytearray(open(out, "rb").read())
for sig, size_at, name_len_at, header in ((b"PK\x03\x04", 22, 26, 30), (b"PK\x01\x02", 24, 28, 46)):
    i = data.find(sig)
    while declared and i >= 0:
        n = struct.unpack_from("<H", data, i + name_len_at)[0]
        if data[i + header:i + header + n].startswith(b"data/"):
            struct.pack_into("<I", data, i + size_at, declared)
        i = data.find(sig, i + 4)
open(out, "wb").write(bytes(data))
)",
                      zip, QString::number(count), stored ? "1" : "0", QString::number(declared)});
        QVERIFY(python.waitForFinished());
        QCOMPARE(python.exitCode(), 0);
    }

private slots:
    void init() { SafeFile::faultHook() = {}; }

    void restore_refusesOrFailsWhole_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message");
        QTest::newRow("a byte changed inside the second, stored entry") << "flip"
                                                                        << "restored"
                                                                        << "壊れています";
        QTest::newRow("holds more than it declares") << "long"
                                                     << "restored"
                                                     << "壊れています";
        QTest::newRow("declares more than the limit, packs small") << "huge"
                                                                   << "restored"
                                                                   << "大きすぎます";
        QTest::newRow("declares more than the disk has free") << "total"
                                                              << "restored"
                                                              << "空きは";
        QTest::newRow("declares more than the disk has free, under folders not made yet")
            << "total"
            << "new/folders/restored"
            << "空きは";
    }

    // The restore fails, and neither the target nor anything beside it is left.
    void restore_refusesOrFailsWhole()
    {
        QFETCH(QString, damage);
        QFETCH(QString, target);
        QFETCH(QString, message);
        const QString zip = path(damage + ".zip");
        if (damage == "long") {
            makeZip(zip, 1, false, 5);
        } else if (damage == "flip") {
            makeZip(zip, 2, true, 0);
            QByteArray bytes = SafeFile::read(zip);
            const qsizetype at = bytes.indexOf("day 1 of");
            bytes[at] = 'D';
            SafeFile::write(zip, bytes);
        } else if (damage == "huge") {
            makeZip(zip, 1, false, DiaryArchive::MaxFileBytes + 1);
        } else {
            struct statvfs disk;
            QCOMPARE(::statvfs(QFile::encodeName(m_work.path()).constData(), &disk), 0);
            const qint64 free = qint64(disk.f_bavail) * qint64(disk.f_frsize);
            const qint64 each = DiaryArchive::MaxFileBytes - 1;
            makeZip(zip, int(free / each) + 1, false, each);
        }
        const QStringList before = everything();
        try {
            DiaryArchive::restore(zip, path(target));
            QFAIL("the restore went through");
        } catch (const DiaryError& e) {
            QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        }
        QCOMPARE(everything(), before);
    }

    // What a restore would not take back is named: links, folders and names that are not UTF-8
    // are left out; a file larger than a restore takes refuses the backup.
    void backup_namesWhatItLeavesOut()
    {
        const QString diary = path("odd");
        SafeFile::makeFolder(diary + "/data/sub");
        SafeFile::write(diary + "/data/20240101", "day");
        QFile::link("/etc/hostname", diary + "/data/link");
        ::close(::creat(QFile::encodeName(diary) + "/data/bad\xff", 0600));
        DiaryArchive::Backup result = DiaryArchive::backup(diary, path("odd.zip"));
        result.leftOut.sort();
        QCOMPARE(result.files, 1);
        QCOMPARE(result.leftOut,
                 QStringList({"data/bad%FF (名前が UTF-8 ではありません)",
                              "data/link (シンボリックリンク)", "data/sub (フォルダ)"}));
        QFile huge(diary + "/data/20240102");
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(DiaryArchive::MaxFileBytes + 1));
        try {
            DiaryArchive::backup(diary, path("too-large.zip"));
            QFAIL("a file too large to restore was backed up");
        } catch (const DiaryError& e) {
            QVERIFY2(e.message().contains("「data/20240102」は 257 MB"), qPrintable(e.message()));
        }
        QVERIFY(!QFile::exists(path("too-large.zip")));
    }

    // Backed up and restored whole: the folders are private, the files their owner's only, both
    // as the backup declares them to any unpacker and as the restore makes them.
    void restore_isPrivate()
    {
        const QString diary = path("private");
        SafeFile::makeFolder(diary + "/data");
        SafeFile::write(diary + "/diary.ini", "[data]\r\n");
        SafeFile::write(diary + "/data/20240101", "day");
        // Whatever the files' own modes, the backup declares its own.
        for (const char* name : {"/data", "/diary.ini", "/data/20240101"})
            ::chmod(QFile::encodeName(diary + name).constData(), 0777);
        DiaryArchive::backup(diary, path("private.zip"));
        const std::unique_ptr<zip_t, decltype(&zip_discard)> zip(
            zip_open(QFile::encodeName(path("private.zip")).constData(), ZIP_RDONLY, nullptr),
            &zip_discard);
        QVERIFY(zip);
        QCOMPARE(zip_get_num_entries(zip.get(), 0), 3);
        for (zip_uint64_t i = 0; i < 3; ++i) {
            zip_uint8_t system = 0;
            zip_uint32_t attributes = 0;
            QCOMPARE(zip_file_get_external_attributes(zip.get(), i, 0, &system, &attributes), 0);
            const bool folder = QByteArray(zip_get_name(zip.get(), i, 0)).endsWith('/');
            QCOMPARE(system, zip_uint8_t(ZIP_OPSYS_UNIX));
            QCOMPARE(attributes >> 16 & 07777, folder ? 0700u : 0600u);
        }
        const QString target = path("private-restored");
        QCOMPARE(DiaryArchive::restore(path("private.zip"), target).files, 2);
        const auto mode = [&](const char* name) {
            struct stat info
            {
            };
            ::stat(QFile::encodeName(target + name).constData(), &info);
            return info.st_mode & 07777;
        };
        QCOMPARE(mode(""), 0700u);
        QCOMPARE(mode("/data"), 0700u);
        QCOMPARE(mode("/diary.ini"), 0600u);
        QCOMPARE(mode("/data/20240101"), 0600u);
    }

    // A restore killed midway leaves its folder beside the target: the next restore there, and
    // the diary opening there, remove it. Only the program's own: a folder of the user, named
    // for that target with the mark, that no running restore holds.
    void killedRestore_leftoverGoesNextTime()
    {
        const QString diary = path("small");
        SafeFile::makeFolder(diary + "/data");
        SafeFile::write(diary + "/data/20240101", "day");
        DiaryArchive::backup(diary, path("small.zip"));
        const QString work = path("beside");
        SafeFile::makeFolder(work);
        const auto leftover = [&](const QString& name) {
            SafeFile::makeFolder(work + "/" + name + "/data");
            SafeFile::write(work + "/" + name + "/data/20240101", "half");
        };
        const QStringList kept = {
            ".again.tobiquill-restore.Short",  ".other.tobiquill-restore.AbC123",
            ".again.tobiquill-restore.Others", ".again.tobiquill-restore.Live00",
            ".again.tobiquill-restore.File00", ".again.tobiquill-restore.Link00"};
        leftover(".again.tobiquill-restore.AbC123");
        for (const QString& name : kept.mid(0, 4))
            leftover(name);
        QCOMPARE(::lchown(QFile::encodeName(work + "/" + kept[2]).constData(), 65534, 65534), 0);
        const int live = ::open(QFile::encodeName(work + "/" + kept[3]).constData(), O_RDONLY);
        QCOMPARE(::flock(live, LOCK_EX), 0);
        SafeFile::write(work + "/" + kept[4], "a file");
        QVERIFY(QFile::link(work + "/" + kept[0], work + "/" + kept[5]));

        const auto hidden = [&] {
            return QDir(work).entryList(
                QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        };
        QStringList after = kept;
        after << "again";
        after.sort();
        DiaryArchive::restore(path("small.zip"), work + "/again");
        QCOMPARE(hidden(), after);
        QVERIFY(QFile::exists(work + "/" + kept[0] + "/data/20240101"));

        QVERIFY(QDir(work + "/again").removeRecursively());
        leftover(".again.tobiquill-restore.XyZ789");
        Diary(work + "/again").removeLeftovers();
        QCOMPARE(hidden(), after);
        ::close(live);
    }
};

QTEST_GUILESS_MAIN(DiaryArchiveTest)
#include "DiaryArchiveTest.moc"
