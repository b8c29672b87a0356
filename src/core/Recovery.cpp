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

QString Recovery::report(const QString& path, const QString& error)
{
    if (!path.isEmpty())
        return QStringLiteral("保存できなかった題名と本文を次のﾌｧｲﾙに書き出しました。\n%1\n\n")
            .arg(QDir::toNativeSeparators(path));
    if (!error.isEmpty())
        return QStringLiteral("%1\n\n保存できなかった題名と本文は書き出せませんでした。")
            .arg(error);
    return {};
}

QString Recovery::leaveQuestion(const QString& path, const QString& error)
{
    return report(path, error) + (error.isEmpty() ? QStringLiteral("保存せずに終了しますか?")
                                                  : QStringLiteral("終了すると失われます。"
                                                                   "それでも終了しますか?"));
}
