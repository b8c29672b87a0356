#include "core/storage/StagedFile.h"

#include "core/storage/DiaryError.h"
#include "core/storage/FaultStep.h"
#include "core/storage/TaskProgress.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The mark start-up's clean-up knows: an interrupted export beside a diary file goes with it.
const QByteArray StagingMark = ".tobiquill-save.XXXXXX";
constexpr int MaxLinks = 40;

DiaryError failure(const QString& path, int error)
{
    if (error == ENOSPC || error == EDQUOT)
        return DiaryError(
            QStringLiteral("ﾌｧｲﾙ %1 を作成できません\nﾃﾞｨｽｸに空きがありません。").arg(path));
    return DiaryError(QStringLiteral("ﾌｧｲﾙ %1 を作成できません: %2")
                          .arg(path, QString::fromLocal8Bit(::strerror(error))));
}

} // namespace

QString StagedFile::realPath(const QString& path)
{
    QString current = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    for (int i = 0; i < MaxLinks && QFileInfo(current).isSymLink(); ++i)
        current = QDir::cleanPath(QFileInfo(current).symLinkTarget());
    const QFileInfo info(current);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? current : QDir(folder).filePath(info.fileName());
}

StagedFile::StagedFile(const QString& target, const TaskProgress* progress)
    : m_target(target), m_progress(progress)
{
    if (target == QLatin1String("-")) {
        m_fd = STDOUT_FILENO;
        m_ownsFd = false;
        return;
    }
    // The kernel follows the links itself: /dev/stdout names whatever the output is.
    const QByteArray given = QFile::encodeName(target);
    struct stat info
    {
    };
    const bool exists = ::stat(given.constData(), &info) == 0;
    if (exists && S_ISDIR(info.st_mode))
        throw DiaryError(
            QStringLiteral("「%1」はフォルダです。ファイルの名前を指定してください。").arg(target));
    if (exists && !S_ISREG(info.st_mode)) {
        int error = EINTR;
        while (error == EINTR) {
            if (m_progress)
                m_progress->check();
            error = faultStep(SafeFile::Step::Create, target, [&] {
                return m_fd = ::open(given.constData(), O_WRONLY | O_CLOEXEC);
            });
        }
        if (error != 0)
            throw failure(target, error);
        return;
    }
    m_target = realPath(target);
    m_staging = QFile::encodeName(m_target) + StagingMark;
    const int error = faultStep(SafeFile::Step::Create, target,
                                [&] { return m_fd = ::mkostemp(m_staging.data(), O_CLOEXEC); });
    if (error != 0) {
        m_staging.clear();
        throw failure(target, error);
    }
    // A replaced file keeps its mode; a new one is its owner's only, as mkstemp made it.
    if (exists)
        ::fchmod(m_fd, info.st_mode & 07777);
}

StagedFile::~StagedFile()
{
    if (m_fd >= 0 && m_ownsFd)
        ::close(m_fd);
    if (!m_staging.isEmpty() && !m_committed)
        ::unlink(m_staging.constData());
}

QString StagedFile::stagingPath() const
{
    return QFile::decodeName(m_staging);
}

void StagedFile::write(const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        ssize_t written = -1;
        const int error = faultStep(SafeFile::Step::Write, m_target,
                                    [&] { return written = ::write(m_fd, data, size_t(left)); });
        if (error == EINTR) {
            if (m_progress)
                m_progress->check();
            continue;
        }
        if (error != 0)
            throw failure(m_target, error);
        data += written;
        left -= written;
    }
}

void StagedFile::commit()
{
    if (isDirect())
        return;
    // The new file is opened again by its name: a writer that works by name (libzip) may have
    // put another file there.
    ::close(m_fd);
    m_fd = ::open(m_staging.constData(), O_RDONLY | O_CLOEXEC);
    int error = m_fd < 0 ? errno : 0;
    if (error == 0)
        error = faultStep(SafeFile::Step::Sync, m_target, [&] { return ::fdatasync(m_fd); });
    if (error == 0)
        error = faultStep(SafeFile::Step::Commit, m_target, [&] {
            return ::rename(m_staging.constData(), QFile::encodeName(m_target).constData());
        });
    if (error != 0)
        throw failure(m_target, error);
    m_committed = true;
    const int folder = ::open(QFile::encodeName(QFileInfo(m_target).absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    error = faultStep(SafeFile::Step::SyncFolder, m_target,
                      [&] { return folder < 0 ? 0 : ::fsync(folder); });
    if (folder >= 0)
        ::close(folder);
    if (error != 0 && error != EINVAL)
        throw failure(m_target, error);
}
