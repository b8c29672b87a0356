#include "core/diary/Recovery.h"

#include "core/storage/DiaryError.h"
#include "core/storage/SafeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Others may have made a folder of that name first in a shared place such as /tmp: a link, or a
// folder of theirs, would give them the text.
bool isPrivateFolder(const QString& folder)
{
    if (!SafeFile::makeFolder(folder))
        return false;
    struct stat info
    {
    };
    return ::lstat(QFile::encodeName(folder).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

QString writeIn(const QString& folder, const QString& dateKey, const QString& text,
                const QDateTime& at)
{
    const QString stem = QDir(folder).filePath(dateKey + QLatin1Char('-') +
                                               at.toString(QStringLiteral("yyyyMMdd-HHmmss")));
    // An earlier recovery file is never replaced.
    QString path = stem + QStringLiteral(".txt");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = stem + QStringLiteral("-%1.txt").arg(n);
    SafeFile::write(path, text.toUtf8());
    return path;
}

} // namespace

QStringList Recovery::places()
{
    QStringList folders = {
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
            .filePath(QStringLiteral("recovery"))};
    // A temporary folder the user chose is the one place for temporary files.
    const QString name = QStringLiteral("tobiquill-recovery-") + QString::number(::geteuid());
    const QString temporary = qEnvironmentVariable("TMPDIR");
    if (temporary.isEmpty())
        folders << QStringLiteral("/var/tmp/") + name << QStringLiteral("/tmp/") + name;
    else
        folders << QDir(temporary).filePath(name);
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        folders << QDir(runtime).filePath(QStringLiteral("tobiquill-recovery"));
    return folders;
}

QString Recovery::write(const QStringList& folders, const QString& dateKey, const QString& title,
                        const QString& body, const QDateTime& at)
{
    const QString text = QStringLiteral("%1\n題名: %2\n\n%3\n").arg(dateKey, title, body);
    for (const QString& folder : folders) {
        try {
            if (isPrivateFolder(folder))
                return writeIn(folder, dateKey, text, at);
        } catch (const DiaryError&) {
        }
    }
    throw DiaryError(QStringLiteral("保存できなかった題名と本文は、次のどのﾌｫﾙﾀﾞにも"
                                    "書き出せませんでした。\n%1")
                         .arg(QDir::toNativeSeparators(folders.join(QLatin1Char('\n')))));
}

QString Recovery::report(const QString& path, const QString& error)
{
    if (path.isEmpty())
        return error;
    return QStringLiteral("保存できなかった題名と本文を次のﾌｧｲﾙに書き出しました。\n%1\n\n")
        .arg(QDir::toNativeSeparators(path));
}

QString Recovery::leaveQuestion(const QString& path)
{
    return report(path, QString()) + QStringLiteral("保存せずに終了しますか?");
}

QString Recovery::stayMessage(const QString& error)
{
    return error + QStringLiteral("\nｳｨﾝﾄﾞｳは閉じずにおきます。");
}
