#include "core/diary/Recovery.h"

#include "core/diary/DayStore.h"
#include "core/storage/DiaryError.h"
#include "core/storage/SafeFile.h"
#include "core/storage/SealedBytes.h"

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
                const QDateTime& at, const DiaryKey* key)
{
    const QString stem = QDir(folder).filePath(dateKey + QLatin1Char('-') +
                                               at.toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString suffix = key ? QStringLiteral(".sealed") : QStringLiteral(".txt");
    // An earlier recovery file is never replaced.
    QString path = stem + suffix;
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = stem + QStringLiteral("-%1").arg(n) + suffix;
    const QByteArray bytes = text.toUtf8();
    SafeFile::write(path,
                    key ? SealedBytes::seal(*key, bytes, Recovery::sealContext(path)) : bytes);
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
                        const QString& body, const QDateTime& at, const DiaryKey* key)
{
    const QString text = QStringLiteral("%1\n題名: %2\n\n%3\n").arg(dateKey, title, body);
    for (const QString& folder : folders) {
        try {
            if (isPrivateFolder(folder))
                return writeIn(folder, dateKey, text, at, key);
        } catch (const DiaryError&) {
        }
    }
    throw DiaryError(QStringLiteral("保存できなかった題名と本文は、次のどのﾌｫﾙﾀﾞにも"
                                    "書き出せませんでした。\n%1")
                         .arg(QDir::toNativeSeparators(folders.join(QLatin1Char('\n')))));
}

QByteArray Recovery::sealContext(const QString& path)
{
    return "recovery " + QFileInfo(path).fileName().toUtf8();
}

QString Recovery::open(const QString& path, const DiaryKey& key)
{
    const std::optional<QByteArray> bytes = SafeFile::readOwn(path, DayStore::MaxFileBytes * 2);
    if (!bytes)
        throw DiaryError::cannotOpen(path);
    return QString::fromUtf8(SealedBytes::open(key, *bytes, sealContext(path), path));
}

QString Recovery::report(const QString& path, const QString& error)
{
    if (path.isEmpty())
        return error;
    const QString kept =
        QStringLiteral("保存できなかった題名と本文を次のﾌｧｲﾙに書き出しました。\n%1\n\n")
            .arg(QDir::toNativeSeparators(path));
    // A sealed one is no text any program opens.
    if (!path.endsWith(QLatin1String(".sealed")))
        return kept;
    return kept + QStringLiteral("暗号化してあります。読むときは tobiquill --read-recovery \"%1\" "
                                 "でﾊﾟｽﾌﾚｰｽﾞを入れてください。\n\n")
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
