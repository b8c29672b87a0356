#include "archive/DiaryArchive.h"

#include "core/DiaryError.h"
#include "core/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <memory>
#include <zip.h>

namespace {

const QString IniName = QStringLiteral("diary.ini");
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

struct SourceFree
{
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using Source = std::unique_ptr<zip_source_t, SourceFree>;

// True when path is file or lies inside folder, comparing absolute, cleaned paths.
bool isWithin(const QString& path, const QString& folder)
{
    const QString p = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QString f = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    return p == f || p.startsWith(f + QLatin1Char('/'));
}

QByteArray readSource(zip_source_t* source)
{
    if (zip_source_open(source) < 0)
        return {};
    zip_source_seek(source, 0, SEEK_END);
    const zip_int64_t size = zip_source_tell(source);
    zip_source_seek(source, 0, SEEK_SET);
    QByteArray bytes(qsizetype(std::max<zip_int64_t>(size, 0)), Qt::Uninitialized);
    const zip_int64_t read = zip_source_read(source, bytes.data(), zip_uint64_t(bytes.size()));
    zip_source_close(source);
    if (read != size)
        return {};
    return bytes;
}

// The name a diary file is restored to, relative to the diary's folder, or an empty string
// with reason set when the entry is refused.
QString restoredName(const QString& name, QString& reason)
{
    const QStringList parts = name.split(QLatin1Char('/'));
    if (name.startsWith(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        parts.contains(QStringLiteral(".."))) {
        reason = QStringLiteral("日記のフォルダの外を指しています");
        return {};
    }
    if (name == IniName || name == DataName + QLatin1Char('/'))
        return name;
    if (parts.size() == 2 && parts[0] == DataName && !parts[1].isEmpty() &&
        parts[1] != QLatin1String("."))
        return name;
    reason = QStringLiteral("日記のファイルではありません");
    return {};
}

} // namespace

bool DiaryArchive::holdsDiary(const QString& programFolder)
{
    const QDir folder(programFolder);
    return QFileInfo(folder.filePath(IniName)).isFile() ||
           QFileInfo(folder.filePath(DataName)).isDir();
}

bool DiaryArchive::isInsideDiary(const QString& programFolder, const QString& path)
{
    const QDir folder(programFolder);
    return isWithin(path, folder.filePath(DataName)) || isWithin(path, folder.filePath(IniName));
}

int DiaryArchive::backup(const QString& programFolder, const QString& zipPath)
{
    const QDir folder(programFolder);
    const QString iniPath = folder.filePath(IniName);
    const QString dataPath = folder.filePath(DataName);
    if (!holdsDiary(programFolder))
        throw DiaryError(QStringLiteral("「%1」に日記がありません。").arg(programFolder));
    if (isInsideDiary(programFolder, zipPath))
        throw DiaryError(QStringLiteral("バックアップを日記の中には書けません: %1").arg(zipPath));

    zip_error_t error;
    zip_error_init(&error);
    Source buffer(zip_source_buffer_create(nullptr, 0, 0, &error));
    if (!buffer)
        throw DiaryError(QStringLiteral("バックアップを作れません: %1").arg(zipMessage(&error)));
    zip_source_keep(buffer.get());
    Archive archive(zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &error));
    if (!archive) {
        zip_source_free(buffer.get());
        throw DiaryError(QStringLiteral("バックアップを作れません: %1").arg(zipMessage(&error)));
    }

    // The archive reads its files when it is closed: every one is held until then.
    QList<QByteArray> contents;
    const auto add = [&](const QString& path, const QString& name) {
        contents.append(SafeFile::read(path));
        const QByteArray& bytes = contents.last();
        zip_source_t* source =
            zip_source_buffer(archive.get(), bytes.constData(), zip_uint64_t(bytes.size()), 0);
        const QByteArray entry = name.toUtf8();
        const zip_int64_t index =
            source ? zip_file_add(archive.get(), entry.constData(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            zip_source_free(source);
            throw DiaryError(QStringLiteral("バックアップに %1 を入れられません: %2")
                                 .arg(name, zipMessage(archive.get())));
        }
        zip_file_set_mtime(archive.get(), zip_uint64_t(index),
                           QFileInfo(path).lastModified().toSecsSinceEpoch(), 0);
    };
    if (QFileInfo(iniPath).isFile())
        add(iniPath, IniName);
    zip_dir_add(archive.get(), (DataName + QLatin1Char('/')).toUtf8().constData(),
                ZIP_FL_ENC_UTF_8);
    const QStringList names =
        QDir(dataPath).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : names)
        add(QDir(dataPath).filePath(name), DataName + QLatin1Char('/') + name);

    if (zip_close(archive.get()) < 0)
        throw DiaryError(
            QStringLiteral("バックアップを作れません: %1").arg(zipMessage(archive.get())));
    archive.release();
    const QByteArray bytes = readSource(buffer.get());
    if (bytes.isEmpty())
        throw DiaryError(QStringLiteral("バックアップを作れません。"));
    SafeFile::write(zipPath, bytes);
    return int(contents.size());
}

int DiaryArchive::restore(const QString& zipPath, const QString& folder)
{
    const QFileInfo target(folder);
    if (target.exists() &&
        (!target.isDir() || !QDir(folder).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                  QDir::NoDotAndDotDot)))
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

    struct Entry
    {
        zip_uint64_t index;
        QString name;
    };
    QList<Entry> files;
    QSet<QString> seen;
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        if (zip_stat_index(archive.get(), zip_uint64_t(i), 0, &stat) < 0)
            throw DiaryError(
                QStringLiteral("アーカイブを読めません: %1").arg(zipMessage(archive.get())));
        const QString name = QString::fromUtf8(stat.name);
        QString reason;
        if (restoredName(name, reason).isEmpty())
            throw DiaryError(
                QStringLiteral("アーカイブの項目「%1」は%2。何も復元しません。").arg(name, reason));
        if (seen.contains(name))
            throw DiaryError(
                QStringLiteral("アーカイブに「%1」が二つあります。何も復元しません。").arg(name));
        seen.insert(name);
        if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
            throw DiaryError(
                QStringLiteral("アーカイブの項目「%1」は暗号化されています。何も復元しません。")
                    .arg(name));
        if (stat.size > zip_uint64_t(MaxFileBytes))
            throw DiaryError(
                QStringLiteral("アーカイブの項目「%1」は大きすぎます。何も復元しません。")
                    .arg(name));
        if (!name.endsWith(QLatin1Char('/')))
            files.append({zip_uint64_t(i), name});
    }
    if (files.isEmpty() && !seen.contains(DataName + QLatin1Char('/')))
        throw DiaryError(QStringLiteral("「%1」は日記のバックアップではありません。").arg(zipPath));

    const QDir dir(folder);
    const bool created = !target.exists();
    QStringList written;
    try {
        if (!dir.mkpath(DataName))
            throw DiaryError::cannotCreate(dir.filePath(DataName));
        for (const Entry& entry : std::as_const(files)) {
            zip_stat_t stat;
            zip_stat_index(archive.get(), entry.index, 0, &stat);
            QByteArray bytes(qsizetype(stat.size), Qt::Uninitialized);
            zip_file_t* file = zip_fopen_index(archive.get(), entry.index, 0);
            const zip_int64_t read =
                file ? zip_fread(file, bytes.data(), zip_uint64_t(bytes.size())) : -1;
            // Reading one byte more finds an entry longer than it says, and the check of
            // its checksum at the end.
            char extra;
            const bool longer = file && zip_fread(file, &extra, 1) != 0;
            if (file)
                zip_fclose(file);
            if (read != zip_int64_t(bytes.size()) || longer)
                throw DiaryError(QStringLiteral("アーカイブの項目「%1」が壊れています: %2")
                                     .arg(entry.name, zipMessage(archive.get())));
            const QString path = dir.filePath(entry.name);
            SafeFile::write(path, bytes);
            written.append(path);
        }
    } catch (const DiaryError&) {
        for (const QString& path : std::as_const(written))
            QFile::remove(path);
        dir.rmdir(DataName);
        if (created)
            QDir().rmdir(folder);
        throw;
    }
    return int(written.size());
}
