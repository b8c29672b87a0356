#include "app/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>

QString ProgramFolder::resolve(const QString& home, const QString& appDir,
                               const QString& userDataDir)
{
    if (!home.isEmpty())
        return QDir::cleanPath(home);
    const QDir dir(appDir);
    if (!isInstalled(appDir) && (QFileInfo::exists(dir.filePath(QStringLiteral("diary.ini"))) ||
                                 QFileInfo::exists(dir.filePath(QStringLiteral("data")))))
        return QDir::cleanPath(appDir);
    return QDir::cleanPath(userDataDir);
}

bool ProgramFolder::isInstalled(const QString& appDir)
{
    return QFileInfo::exists(QDir(appDir).filePath(
        QStringLiteral("../share/applications/" TOBIQUILL_APP_ID ".desktop")));
}
