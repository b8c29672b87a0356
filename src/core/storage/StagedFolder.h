#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// A folder written whole or not at all: its files go into a new private folder beside the
// target, which is made durable once (one sync of the file system, then the folders) and then
// renamed into the target's place, missing or empty as it must be. Until then the target is
// untouched; the new folder and all in it are removed when the work fails or is stopped.
// Folders are private (0700), files their owner's only (0600).
//
// A work that is killed leaves its new folder behind, under a name of its own mark
// (".NAME.tobiquill-restore.XXXXXX"); removeLeftoversOf() takes it away.
class StagedFolder
{
public:
    // Creates the target's missing parents and the new folder; throws a DiaryError on failure.
    explicit StagedFolder(const QString& target);
    ~StagedFolder();
    StagedFolder(const StagedFolder&) = delete;
    StagedFolder& operator=(const StagedFolder&) = delete;

    QString path() const { return m_staging; }

    // Makes the folder name inside the new folder.
    void makeFolder(const QString& name);
    // Writes the file name inside the new folder with what read gives, chunk by chunk: read fills
    // the buffer and returns the bytes it put there, 0 at the end; it throws to stop.
    using Reader = std::function<qint64(char* buffer, qint64 size)>;
    void writeFile(const QString& name, const Reader& read);

    // Makes everything durable and renames the new folder into the target's place.
    void commit();

    // Removes the new folders that works into target left when they were killed: folders of the
    // user with exactly the mark's name, and not one a work still running holds.
    static void removeLeftoversOf(const QString& target);

private:
    QString m_target;
    QString m_staging;
    bool m_committed = false;
    // Held locked while the work runs, so that no clean-up takes the folder from under it.
    int m_hold = -1;
};
