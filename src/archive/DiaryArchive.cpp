#include "archive/DiaryArchive.h"

#include "core/diary/DayStore.h"
#include "core/diary/DiaryPaths.h"
#include "core/storage/DiaryError.h"
#include "core/storage/StagedFile.h"
#include "core/storage/StagedFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <dirent.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <zip.h>

namespace {

const QString IniName = QStringLiteral("diary.ini");
// An encrypted diary's key file: its days do not open without it.
const QString KeyName = QStringLiteral("diary.key");
const QString DataName = QStringLiteral("data");

QString zipMessage(zip_error_t* error)
{
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

QString zipMessage(zip_t* archive)
{
    return QString::fromLocal8Bit(zip_strerror(archive));
}

struct ArchiveCloser
{
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

struct FileCloser
{
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using ArchiveFile = std::unique_ptr<zip_file_t, FileCloser>;

QString megabytes(qint64 bytes)
{
    return QStringLiteral("%1 MB").arg((bytes + 1024 * 1024 - 1) / (1024 * 1024));
}

// What a restore does with an archive entry. Its name comes from a file: it becomes a path only
// when it is one of the diary's own names, diary.ini, the entries folder or a day in it. Another
// plain name in the entries folder (a note kept there, which earlier backups took) is left out,
// with the reason; any other name refuses the whole archive.
enum class Entry
{
    Restored,
    LeftOut,
    Refused
};

Entry entryKind(const QString& name, QString& reason)
{
    const QStringList parts = name.split(QLatin1Char('/'));
    if (name.startsWith(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        parts.contains(QStringLiteral(".."))) {
        reason = QStringLiteral("日記のフォルダの外を指しています");
        return Entry::Refused;
    }
    if (name == IniName || name == KeyName || name == DataName + QLatin1Char('/'))
        return Entry::Restored;
    const bool inData = parts.size() == 2 && parts[0] == DataName && !parts[1].isEmpty() &&
                        parts[1] != QLatin1String(".");
    if (inData && DayStore::dateOfKey(parts[1]).isValid())
        return Entry::Restored;
    reason = inData ? QStringLiteral("日記の日のファイルではありません")
                    : QStringLiteral("日記のファイルではありません");
    return inData ? Entry::LeftOut : Entry::Refused;
}

struct SourceFile
{
    QString path;
    QString name;
    qint64 size;
    qint64 modified;
};

// The file at path as the backup takes it, or the reason it is left out. A file larger than a
// restore takes refuses the whole backup: the archive would not come back.
std::optional<SourceFile> sourceFile(const QString& path, const QString& name, QString& reason)
{
    struct stat info
    {
    };
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        throw DiaryError::cannotOpen(path);
    if (S_ISLNK(info.st_mode) && name != IniName) {
        reason = QStringLiteral("シンボリックリンク");
        return std::nullopt;
    }
    if (S_ISLNK(info.st_mode) && ::stat(QFile::encodeName(path).constData(), &info) != 0)
        throw DiaryError::cannotOpen(path);
    if (!S_ISREG(info.st_mode)) {
        reason = S_ISDIR(info.st_mode) ? QStringLiteral("フォルダ")
                                       : QStringLiteral("通常のファイルではありません");
        return std::nullopt;
    }
    if (entryKind(name, reason) != Entry::Restored)
        return std::nullopt;
    if (info.st_size > DiaryArchive::MaxFileBytes)
        throw DiaryError(
            QStringLiteral("「%1」は %2 あり、バックアップできる大きさ (%3) を越えて"
                           "います。バックアップを作りませんでした。")
                .arg(name, megabytes(info.st_size), megabytes(DiaryArchive::MaxFileBytes)));
    return SourceFile{path, name, qint64(info.st_size), qint64(info.st_mtime)};
}

// The files of the diary in the order they are archived, diary.ini first, then diary.key.
QList<SourceFile> sourceFiles(const QDir& folder, QStringList& leftOut)
{
    QList<SourceFile> files;
    QString reason;
    const QString iniPath = folder.filePath(IniName);
    if (QFileInfo::exists(iniPath))
        if (const auto file = sourceFile(iniPath, IniName, reason))
            files.append(*file);
    const QString keyPath = folder.filePath(KeyName);
    struct stat key
    {
    };
    if (::lstat(QFile::encodeName(keyPath).constData(), &key) == 0) {
        if (const auto file = sourceFile(keyPath, KeyName, reason))
            files.append(*file);
        else
            leftOut << QStringLiteral("%1 (%2)").arg(KeyName, reason);
    }
    const QString dataPath = folder.filePath(DataName);
    DIR* dir = ::opendir(QFile::encodeName(dataPath).constData());
    if (!dir) {
        if (QFileInfo::exists(dataPath))
            throw DiaryError::cannotOpen(dataPath);
        return files;
    }
    QList<SourceFile> days;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray raw(entry->d_name);
        if (raw == "." || raw == "..")
            continue;
        const QString name = QFile::decodeName(raw);
        const QString archived = DataName + QLatin1Char('/') + name;
        if (QFile::encodeName(name) != raw || name.toUtf8() != raw) {
            leftOut << QStringLiteral("%1 (名前が UTF-8 ではありません)")
                           .arg(DataName + QLatin1Char('/') +
                                QString::fromLatin1(raw.toPercentEncoding("/")));
            continue;
        }
        try {
            if (const auto file = sourceFile(QDir(dataPath).filePath(name), archived, reason))
                days.append(*file);
            else
                leftOut << QStringLiteral("%1 (%2)").arg(archived, reason);
        } catch (const DiaryError&) {
            ::closedir(dir);
            throw;
        }
    }
    ::closedir(dir);
    std::sort(days.begin(), days.end(),
              [](const SourceFile& a, const SourceFile& b) { return a.name < b.name; });
    return files + days;
}

constexpr zip_uint32_t PrivateFile = zip_uint32_t(S_IFREG | 0600) << 16;
// The upper half for Unix, the MS-DOS folder bit below for every other unpacker.
constexpr zip_uint32_t PrivateFolder = (zip_uint32_t(S_IFDIR | 0700) << 16) | 0x10;

} // namespace

DiaryArchive::Backup DiaryArchive::backup(const QString& programFolder, const QString& zipPath,
                                          const TaskProgress& progress, bool replace)
{
    if (!DiaryPaths::holdsDiary(programFolder))
        throw DiaryError(QStringLiteral("「%1」に日記がありません。").arg(programFolder));
    if (DiaryPaths::isInsideDiary(programFolder, zipPath))
        throw DiaryError(QStringLiteral("バックアップを日記の中には書けません: %1").arg(zipPath));

    Backup result;
    const QList<SourceFile> files = sourceFiles(QDir(programFolder), result.leftOut);
    StagedFile staged(zipPath, replace ? StagedFile::ReplaceFile : StagedFile::Permissions(),
                      &progress);

    int code = 0;
    Archive archive(zip_open(QFile::encodeName(staged.stagingPath()).constData(),
                             ZIP_CREATE | ZIP_TRUNCATE, &code));
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const QString message = zipMessage(&error);
        zip_error_fini(&error);
        throw DiaryError(QStringLiteral("バックアップを作れません: %1").arg(message));
    }
    const auto check = [&](zip_int64_t index, const QString& name) {
        if (index < 0)
            throw DiaryError(QStringLiteral("バックアップに %1 を入れられません: %2")
                                 .arg(name, zipMessage(archive.get())));
        return zip_uint64_t(index);
    };
    qint64 total = 0;
    const auto add = [&](const SourceFile& file) {
        // The file is read when the archive is written, a piece at a time.
        zip_source_t* source =
            zip_source_file(archive.get(), QFile::encodeName(file.path).constData(), 0, 0);
        const QByteArray entry = file.name.toUtf8();
        const zip_int64_t index =
            source ? zip_file_add(archive.get(), entry.constData(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0)
            zip_source_free(source);
        const zip_uint64_t at = check(index, file.name);
        zip_file_set_mtime(archive.get(), at, time_t(file.modified), 0);
        zip_file_set_external_attributes(archive.get(), at, 0, ZIP_OPSYS_UNIX, PrivateFile);
        total += file.size;
    };
    if (!files.isEmpty() && files.first().name == IniName)
        add(files.first());
    const QString dataEntry = DataName + QLatin1Char('/');
    const zip_uint64_t dataIndex = check(
        zip_dir_add(archive.get(), dataEntry.toUtf8().constData(), ZIP_FL_ENC_UTF_8), dataEntry);
    zip_file_set_external_attributes(archive.get(), dataIndex, 0, ZIP_OPSYS_UNIX, PrivateFolder);
    for (const SourceFile& file : files)
        if (file.name != IniName)
            add(file);

    struct Callbacks
    {
        const TaskProgress& progress;
        qint64 total;
    } callbacks{progress, total};
    zip_register_progress_callback_with_state(
        archive.get(), 0.001,
        [](zip_t*, double done, void* state) {
            const auto* c = static_cast<Callbacks*>(state);
            c->progress.report(qint64(done * double(c->total)), c->total);
        },
        nullptr, &callbacks);
    zip_register_cancel_callback_with_state(
        archive.get(),
        [](zip_t*, void* state) {
            return int(static_cast<Callbacks*>(state)->progress.cancelled());
        },
        nullptr, &callbacks);
    if (zip_close(archive.get()) < 0) {
        progress.check();
        throw DiaryError(
            QStringLiteral("バックアップを作れません: %1").arg(zipMessage(archive.get())));
    }
    archive.release();
    progress.check();
    staged.commit();
    result.files = int(files.size());
    return result;
}

DiaryArchive::Restore DiaryArchive::restore(const QString& zipPath, const QString& folder,
                                            const TaskProgress& progress)
{
    // A link to a folder restores into the folder it names; the link stays.
    const QString targetPath = StagedFile::realPath(folder);
    StagedFolder::removeLeftoversOf(targetPath);
    const QFileInfo target(targetPath);
    if (target.exists() && (!target.isDir() || !QDir(targetPath)
                                                    .isEmpty(QDir::AllEntries | QDir::Hidden |
                                                             QDir::System | QDir::NoDotAndDotDot)))
        throw DiaryError(QStringLiteral("「%1」は空のフォルダではありません。復元は空のフォルダか"
                                        "新しいフォルダにだけ行います。")
                             .arg(folder));
    if (!QFileInfo(zipPath).isFile())
        throw DiaryError::cannotOpen(zipPath);

    int code = 0;
    Archive archive(
        zip_open(QFile::encodeName(zipPath).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code));
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const QString message = zipMessage(&error);
        zip_error_fini(&error);
        throw DiaryError(
            QStringLiteral("「%1」は読めるzipアーカイブではありません: %2").arg(zipPath, message));
    }

    struct File
    {
        zip_uint64_t index;
        QString name;
        qint64 size;
    };
    QList<File> files;
    Restore result;
    QSet<QString> seen;
    qint64 total = 0;
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        if (zip_stat_index(archive.get(), zip_uint64_t(i), 0, &stat) < 0)
            throw DiaryError(
                QStringLiteral("アーカイブを読めません: %1").arg(zipMessage(archive.get())));
        const QString name = QString::fromUtf8(stat.name);
        QString reason;
        const Entry kind = entryKind(name, reason);
        if (kind == Entry::Refused)
            throw DiaryError(
                QStringLiteral("アーカイブの項目「%1」は%2。何も復元しません。").arg(name, reason));
        if (kind == Entry::LeftOut) {
            result.leftOut << QStringLiteral("%1 (%2)").arg(name, reason);
            continue;
        }
        if (seen.contains(name))
            throw DiaryError(
                QStringLiteral("アーカイブに「%1」が二つあります。何も復元しません。").arg(name));
        seen.insert(name);
        if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
            throw DiaryError(
                QStringLiteral("アーカイブの項目「%1」は暗号化されています。何も復元しません。")
                    .arg(name));
        // The size the entry unpacks to, whatever it takes packed.
        if (!(stat.valid & ZIP_STAT_SIZE) || stat.size > zip_uint64_t(MaxFileBytes))
            throw DiaryError(
                QStringLiteral("アーカイブの項目「%1」は大きすぎます。何も復元しません。")
                    .arg(name));
        if (!name.endsWith(QLatin1Char('/'))) {
            files.append({zip_uint64_t(i), name, qint64(stat.size)});
            total += qint64(stat.size);
        }
    }
    if (files.isEmpty() && !seen.contains(DataName + QLatin1Char('/')))
        throw DiaryError(QStringLiteral("「%1」は日記のバックアップではありません。").arg(zipPath));

    QString existing = target.absolutePath();
    while (!QFileInfo(existing).isDir() && QFileInfo(existing).path() != existing)
        existing = QFileInfo(existing).path();
    // statvfs rather than QStorageInfo, which needs the mount table and knows nothing in a chroot.
    struct statvfs disk;
    const qint64 available = ::statvfs(QFile::encodeName(existing).constData(), &disk) == 0
                                 ? qint64(disk.f_bavail) * qint64(disk.f_frsize)
                                 : -1;
    if (available >= 0 && total > available)
        throw DiaryError(QStringLiteral("復元には %1 要りますが、「%2」の空きは %3 です。"
                                        "何も復元しません。")
                             .arg(megabytes(total), existing, megabytes(available)));

    StagedFolder staged(targetPath);
    staged.makeFolder(DataName);
    qint64 done = 0;
    for (const File& entry : std::as_const(files)) {
        ArchiveFile file(zip_fopen_index(archive.get(), entry.index, 0));
        if (!file)
            throw DiaryError(QStringLiteral("アーカイブの項目「%1」を読めません: %2")
                                 .arg(entry.name, zipMessage(archive.get())));
        qint64 left = entry.size;
        staged.writeFile(entry.name, [&](char* buffer, qint64 size) -> qint64 {
            // Reading one byte past the size the entry declares finds an entry longer than it
            // says, and makes libzip check the checksum at the end.
            const zip_int64_t got =
                zip_fread(file.get(), buffer, zip_uint64_t(std::min(size, left + 1)));
            if (got < 0 || got > left || (got == 0 && left > 0))
                throw DiaryError(
                    QStringLiteral("アーカイブの項目「%1」が壊れています: %2")
                        .arg(entry.name, QString::fromLocal8Bit(zip_file_strerror(file.get()))));
            left -= got;
            done += got;
            progress.advance(done, total);
            return got;
        });
    }
    progress.check();
    staged.commit();
    result.files = int(files.size());
    return result;
}
