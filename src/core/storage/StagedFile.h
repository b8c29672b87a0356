#pragma once

#include <QByteArray>
#include <QFlags>
#include <QString>

class TaskProgress;

// The file an export or a backup writes. Its bytes go to a new file beside the target, private
// to its owner (0600) while it is written, which takes the target's place only once everything
// is written and on the disk; until then the target is untouched, and the new file is removed when
// the task fails or is stopped. A link is followed to the file it names, as a save follows it.
//
// "-" is standard output, and a target that is no regular file (a terminal, a FIFO, a device,
// /dev/stdout) is written directly: it is a stream, not a file to replace. A FIFO nobody reads
// yet is waited for without blocking, so a stop ends the wait.
//
// The target may lie in a folder other users write to (/tmp, a group folder): nothing is written
// through a link, a FIFO or a file that another user owns (root's links and devices, the
// system's own, are followed), and a file of another user is never replaced.
//
// The steps run through SafeFile's fault seam, so tests reach every failure.
class StagedFile
{
public:
    // What the target may be besides a name that holds nothing yet.
    enum Permission
    {
        ReplaceFile = 0x1, // an existing file of the user: without it, the task fails instead
        WriteStream = 0x2, // standard output, a FIFO, a terminal or a device
    };
    Q_DECLARE_FLAGS(Permissions, Permission)

    // Throws a DiaryError saying why when the target is a folder, another user's, a stream
    // that is not permitted, or the new file cannot be made. A write that a signal interrupts
    // goes on unless the progress says the task is stopped.
    StagedFile(const QString& target, Permissions permissions,
               const TaskProgress* progress = nullptr);
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // True when the target is written directly, with no file beside it.
    bool isDirect() const { return m_staging.isEmpty(); }
    // The new file beside the target; empty when the target is written directly.
    QString stagingPath() const;

    // Appends bytes; throws a DiaryError naming the target on failure.
    void write(const QByteArray& bytes);
    // Puts the new file, as it is on the disk then, in the target's place and makes that
    // durable. Throws a DiaryError naming the target on failure; the target is untouched then.
    void commit();

    // Whether a write to path would replace a regular file that is there.
    static bool holdsFile(const QString& path);
    // The path a write to path lands on: links followed to their end, even a dangling one, and
    // every folder by its real name.
    static QString realPath(const QString& path);

private:
    void openStream(const QByteArray& path);

    QString m_target;
    const TaskProgress* m_progress;
    bool m_replace;
    QByteArray m_staging;
    int m_fd = -1;
    bool m_ownsFd = true;
    bool m_committed = false;
    // The mode of the file replaced, given to the new one once it is in place.
    unsigned m_mode = 0;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(StagedFile::Permissions)
