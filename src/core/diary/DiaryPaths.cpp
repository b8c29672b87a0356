#include "core/diary/DiaryPaths.h"

#include "core/storage/StagedFile.h"

#include <QDir>
#include <QFileInfo>

namespace {

// True when path is file or lies inside folder, both by their real paths.
bool isWithin(const QString& path, const QString& folder)
{
    const QString p = StagedFile::realPath(path);
    const QString f = StagedFile::realPath(folder);
    return p == f || p.startsWith(f + QLatin1Char('/'));
}

} // namespace

bool DiaryPaths::holdsDiary(const QString& programFolder)
{
    const QDir folder(programFolder);
    return QFileInfo(folder.filePath(QStringLiteral("diary.ini"))).isFile() ||
           QFileInfo(folder.filePath(QStringLiteral("data"))).isDir();
}

bool DiaryPaths::isInsideDiary(const QString& programFolder, const QString& path)
{
    const QDir folder(programFolder);
    return isWithin(path, folder.filePath(QStringLiteral("data"))) ||
           isWithin(path, folder.filePath(QStringLiteral("diary.ini"))) ||
           isWithin(path, folder.filePath(QStringLiteral("diary.key"))) ||
           isWithin(path, folder.filePath(QStringLiteral("diary.lock")));
}
