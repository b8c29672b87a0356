#include "core/Recovery.h"

#include "core/SafeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString Recovery::defaultFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
        .filePath(QStringLiteral("recovery"));
}

QString Recovery::write(const QString& folder, const QString& dateKey, const QString& title,
                        const QString& body, const QDateTime& at)
{
    SafeFile::makeFolder(folder);
    const QString stem = QDir(folder).filePath(dateKey + QLatin1Char('-') +
                                               at.toString(QStringLiteral("yyyyMMdd-HHmmss")));
    // An earlier recovery file is never replaced.
    QString path = stem + QStringLiteral(".txt");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = stem + QStringLiteral("-%1.txt").arg(n);
    const QString text = QStringLiteral("%1\n題名: %2\n\n%3\n").arg(dateKey, title, body);
    SafeFile::write(path, text.toUtf8());
    return path;
}
