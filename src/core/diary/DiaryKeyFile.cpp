#include "core/diary/DiaryKeyFile.h"

#include "core/storage/DiaryError.h"
#include "core/storage/SafeFile.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

QString DiaryKeyFile::path(const QString& programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("diary.key"));
}

bool DiaryKeyFile::exists(const QString& programFolder)
{
    struct stat info
    {
    };
    return ::lstat(QFile::encodeName(path(programFolder)).constData(), &info) == 0;
}

std::optional<KeyFile> DiaryKeyFile::read(const QString& programFolder)
{
    if (!exists(programFolder))
        return std::nullopt;
    return readAt(path(programFolder));
}

KeyFile DiaryKeyFile::readAt(const QString& path)
{
    const std::optional<QByteArray> bytes = SafeFile::readOwn(path, MaxBytes);
    if (!bytes)
        throw DiaryError(DiaryError::cannotOpen(path).message() +
                         QStringLiteral("\n鍵ファイルとしては大きすぎます。読まずにそのまま残して"
                                        "あります。"));
    return KeyFile::parse(*bytes, path);
}
