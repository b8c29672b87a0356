#include "core/diary/EncryptedDiaries.h"

#include "core/diary/DayStore.h"
#include "core/diary/DiaryKeyFile.h"
#include "core/storage/Descriptor.h"
#include "core/storage/DiaryError.h"
#include "core/storage/IniFile32.h"
#include "core/storage/SafeFile.h"
#include "core/storage/SealedBytes.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A few thousand diaries; anything larger is no record of ours.
constexpr qint64 MaxBytes = 1024 * 1024;

// The folder as the record names it: one diary reached by two paths is one line.
QByteArray folderKey(const QString& programFolder)
{
    const QFileInfo info(programFolder);
    const QString real = info.canonicalFilePath();
    return QFile::encodeName(real.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : real)
        .toPercentEncoding("/");
}

QByteArray lineOf(const QByteArray& diaryId, const QByteArray& folder)
{
    return diaryId.toHex() + '\t' + folder;
}

// Whether the day file name in the entries folder begins as a sealed file does. Read without
// following a link, and only a regular file of the user's own: anything else says nothing.
bool isSealedDay(int folder, const char* name)
{
    const Descriptor file(::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info
    {
    };
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_uid != ::geteuid())
        return false;
    QByteArray head(8, '\0');
    const ssize_t got = ::read(file.get(), head.data(), size_t(head.size()));
    return got > 0 && DayStore::isSealed(head.first(got));
}

// Whether one of the first `most` day files is sealed.
bool holdsSealedDay(const QString& dataDir, int most)
{
    const Descriptor folder(
        ::open(QFile::encodeName(dataDir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0)
        return false;
    // A few names at a time: readdir() would read a thousand of them to look at sixteen.
    alignas(dirent64) char names[2048];
    int looked = 0;
    for (;;) {
        const ssize_t got = ::getdents64(folder.get(), names, sizeof names);
        if (got <= 0)
            return false;
        for (ssize_t at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const dirent64*>(names + at);
            at += entry->d_reclen;
            if (std::strlen(entry->d_name) != 8 ||
                !DayStore::dateOfKey(QString::fromLatin1(entry->d_name)).isValid())
                continue;
            if (isSealedDay(folder.get(), entry->d_name))
                return true;
            if (++looked == most)
                return false;
        }
    }
}

bool holdsSealedTitle(const TIniFile32& ini)
{
    // A sealed title is the base64 of the sealed form, whose magic "TQSL" begins it with "VFFT":
    // the lines of a plain diary's ten thousand titles are passed over without a decode each.
    static const QByteArray sealedStart = '=' + QByteArray("TQS").toBase64();
    const QList<QByteArray>& lines = ini.Lines();
    if (std::none_of(lines.cbegin(), lines.cend(), [](const QByteArray& line) {
            return ::memmem(line.constData(), size_t(line.size()), sealedStart.constData(),
                            size_t(sealedStart.size()));
        }))
        return false;
    const auto titles = ini.ReadSectionValues("title");
    return std::any_of(titles.cbegin(), titles.cend(),
                       [](const auto& title) { return SealedBytes::isSealedText(title.second); });
}

QString dataDirOf(const QString& programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("data"));
}

} // namespace

QString EncryptedDiaries::defaultFile()
{
    // Only an absolute path is a base directory: a relative one is to be ignored.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/tobiquill/encrypted");
}

EncryptedDiaries::EncryptedDiaries(QString file) : m_file(std::move(file)) {}

QByteArray EncryptedDiaries::lines() const
{
    try {
        return SafeFile::readOwn(m_file, MaxBytes).value_or(QByteArray());
    } catch (const DiaryError&) {
        // None yet, or none of ours: nothing known.
        return {};
    }
}

bool EncryptedDiaries::write(const QByteArray& bytes) const
{
    try {
        SafeFile::makeFolder(QFileInfo(m_file).absolutePath());
        SafeFile::write(m_file, bytes);
        return true;
    } catch (const DiaryError&) {
        return false;
    }
}

bool EncryptedDiaries::knows(const QString& programFolder) const
{
    const QByteArray folder = '\t' + folderKey(programFolder);
    const QList<QByteArray> all = lines().split('\n');
    return std::any_of(all.cbegin(), all.cend(),
                       [&](const QByteArray& line) { return line.endsWith(folder); });
}

bool EncryptedDiaries::remember(const QByteArray& diaryId, const QString& programFolder) const
{
    const QByteArray line = lineOf(diaryId, folderKey(programFolder));
    QList<QByteArray> all = lines().split('\n');
    all.removeAll(QByteArray());
    if (all.contains(line))
        return true;
    all.append(line);
    return write(all.join('\n') + '\n');
}

bool EncryptedDiaries::forget(const QByteArray& diaryId, const QString& programFolder) const
{
    const QByteArray id = diaryId.toHex() + '\t';
    const QByteArray folder = '\t' + folderKey(programFolder);
    QList<QByteArray> all = lines().split('\n');
    all.removeAll(QByteArray());
    const qsizetype before = all.size();
    all.removeIf(
        [&](const QByteArray& line) { return line.startsWith(id) || line.endsWith(folder); });
    return all.size() == before || write(all.isEmpty() ? QByteArray() : all.join('\n') + '\n');
}

bool EncryptedDiaries::withoutKey(const QString& programFolder, const TIniFile32& ini) const
{
    return knows(programFolder) || holdsSealedDay(dataDirOf(programFolder), DaysLooked) ||
           holdsSealedTitle(ini);
}

void EncryptedDiaries::forgetTurnedOff(const QString& programFolder, const TIniFile32& ini) const
{
    if (holdsSealedDay(dataDirOf(programFolder), std::numeric_limits<int>::max()) ||
        holdsSealedTitle(ini))
        throw noKeyFile(programFolder);
    if (!forget({}, programFolder))
        throw DiaryError(QStringLiteral("%1 を書き換えられません。").arg(m_file));
}

DiaryError EncryptedDiaries::noKeyFile(const QString& programFolder)
{
    return DiaryError(
        QStringLiteral("この日記は暗号化されていますが、鍵ファイル %1 がありません。"
                       "鍵ファイルがなければ日記を読むことも書き込むこともできないので、"
                       "何も変えずにそのままにしてあります。バックアップや同期している別の"
                       "コンピューターから diary.key を戻してください。")
            .arg(DiaryKeyFile::path(programFolder)));
}
