#pragma once

#include <QByteArray>
#include <QString>

class TaskProgress;

// The file an export or a backup writes. Its bytes go to a new file beside the target, which
// takes the target's place only once everything is written and on the disk; until then the
// target is untouched, and the new file is removed when the task fails or is stopped. A link is
// followed to the file it names, as a save follows it.
//
// "-" is standard output, and a target that is no regular file (a terminal, a FIFO, a device,
// /dev/stdout) is written directly: it is a stream, not a file to replace.
//
// The steps run through SafeFile's fault seam, so tests reach every failure.
class StagedFile
{
public:
    // Throws a DiaryError when the target is a folder or the new file cannot be made. A write
    // that a signal interrupts goes on unless the progress says the task is stopped.
    explicit StagedFile(const QString& target, const TaskProgress* progress = nullptr);
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

    // The path a write to path lands on: links followed to their end, even a dangling one, and
    // every folder by its real name.
    static QString realPath(const QString& path);

private:
    QString m_target;
    const TaskProgress* m_progress;
    QByteArray m_staging;
    int m_fd = -1;
    bool m_ownsFd = true;
    bool m_committed = false;
};
