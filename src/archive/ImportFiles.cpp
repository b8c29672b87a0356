#include "archive/ImportFiles.h"

#include "core/storage/DiaryError.h"

#include <QFile>

#include <memory>
#include <zip.h>

namespace {

struct ArchiveCloser
{
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

struct FileCloser
{
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

} // namespace

QList<ImportFiles::File> ImportFiles::fromZip(const QString& zipPath,
                                              const std::function<bool(const QString&)>& wanted)
{
    int code = 0;
    std::unique_ptr<zip_t, ArchiveCloser> archive(
        zip_open(QFile::encodeName(zipPath).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code));
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const QString message = QString::fromLocal8Bit(zip_error_strerror(&error));
        zip_error_fini(&error);
        throw DiaryError(
            QStringLiteral("「%1」は読めるzipアーカイブではありません: %2").arg(zipPath, message));
    }
    QList<File> files;
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        if (zip_stat_index(archive.get(), zip_uint64_t(i), 0, &stat) < 0)
            throw DiaryError(
                QStringLiteral("「%1」を読めません: %2")
                    .arg(zipPath, QString::fromLocal8Bit(zip_strerror(archive.get()))));
        const QString name = QString::fromUtf8(stat.name);
        if (name.endsWith(QLatin1Char('/')) || !wanted(name))
            continue;
        if (stat.size > zip_uint64_t(MaxBytes))
            throw DiaryError(QStringLiteral("「%1」の「%2」は大きすぎます。").arg(zipPath, name));
        std::unique_ptr<zip_file_t, FileCloser> file(
            zip_fopen_index(archive.get(), zip_uint64_t(i), 0));
        QByteArray bytes(qsizetype(stat.size), Qt::Uninitialized);
        // One byte past the declared size finds an entry longer than it says, and makes libzip
        // check the checksum at the end.
        char extra = 0;
        const zip_int64_t got =
            file ? zip_fread(file.get(), bytes.data(), zip_uint64_t(bytes.size())) : -1;
        if (got != zip_int64_t(bytes.size()) || zip_fread(file.get(), &extra, 1) != 0)
            throw DiaryError(QStringLiteral("「%1」の「%2」が壊れています。").arg(zipPath, name));
        files.append({name, bytes});
    }
    return files;
}

QByteArray ImportFiles::read(const QString& path, qint64 maxBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw DiaryError(QStringLiteral("「%1」を開けません: %2").arg(path, file.errorString()));
    if (file.size() > maxBytes)
        throw DiaryError(QStringLiteral("「%1」は大きすぎます。").arg(path));
    QByteArray bytes = file.read(maxBytes + 1);
    if (bytes.size() > maxBytes)
        throw DiaryError(QStringLiteral("「%1」は大きすぎます。").arg(path));
    if (file.error() != QFileDevice::NoError)
        throw DiaryError(QStringLiteral("「%1」を読めません: %2").arg(path, file.errorString()));
    return bytes;
}

bool ImportFiles::isZip(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(4) == QByteArray("PK\x03\x04", 4);
}
