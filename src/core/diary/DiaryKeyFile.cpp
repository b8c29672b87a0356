#include "core/diary/DiaryKeyFile.h"

#include "core/storage/DiaryError.h"
#include "core/storage/SafeFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
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

QString DiaryKeyFile::setAside(const QString& path)
{
    const QDir folder = QFileInfo(path).dir();
    const QString stem = QStringLiteral("rejected-key-") + QDateTime::currentDateTimeUtc().toString(
                                                               QStringLiteral("yyyyMMdd-HHmmss"));
    for (int n = 1; n < 100; ++n) {
        const QString to =
            folder.filePath(n == 1 ? stem : QStringLiteral("%1-%2").arg(stem).arg(n));
        // Never over another file: each one set aside is kept.
        if (::renameat2(AT_FDCWD, QFile::encodeName(path).constData(), AT_FDCWD,
                        QFile::encodeName(to).constData(), RENAME_NOREPLACE) == 0)
            return to;
        if (errno != EEXIST)
            break;
    }
    throw DiaryError(QStringLiteral("鍵ファイル %1 は鍵を持たない誰かに書き換えられていますが、"
                                    "脇へ移せませんでした。日記はそのままです。")
                         .arg(path));
}

QString DiaryKeyFile::setAsideMessage(const QString& path, const QString& to)
{
    return QStringLiteral("鍵ファイル %1 は、日記の鍵を持たない誰かに書き換えられたか、"
                          "作られたものです。使わずに %2 へ移しました。日記はそのままです。")
        .arg(path, to);
}
