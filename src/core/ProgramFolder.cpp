#include "core/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>

QString ProgramFolder::resolve(const QString& home, const QString& appDir,
                               const QString& userDataDir)
{
    if (!home.isEmpty())
        return QDir::cleanPath(home);
    const QDir dir(appDir);
    if (QFileInfo::exists(dir.filePath(QStringLiteral("diary.ini"))) ||
        QFileInfo::exists(dir.filePath(QStringLiteral("data"))))
        return QDir::cleanPath(appDir);
    return QDir::cleanPath(userDataDir);
}
