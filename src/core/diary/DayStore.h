#pragma once

#include "core/storage/Descriptor.h"
#include "core/storage/FileStamp.h"

#include <QDate>
#include <QString>
#include <QStringList>

// The body of each day: a code page 932 text file with CR LF line breaks, named by the day's
// date key (yyyymmdd, no extension) in the entries folder.
class DayStore
{
public:
    // The body editor's limit: the largest entry file it accepts.
    static constexpr qint64 MaxBodyBytes = 4 * 1024 * 1024;

    explicit DayStore(QString dataDir);

    QString entryPath(const QString& dateKey) const;
    // The keys of every entry file that names a real date, oldest first. Other files in the
    // folder, folders and special files are not entries of the diary.
    QStringList entryKeys() const;
    // The date a key names, or an invalid date when the text is no date key.
    static QDate dateOfKey(QStringView key);
    // Anything at the entry's path counts, a link that leads nowhere included, so that a path
    // that cannot be read is reported rather than shown as an empty day.
    bool hasEntry(const QString& dateKey) const;

    // The body as the editor holds it, line breaks "\n": CR LF, a lone CR and a lone LF each
    // become one "\n". An entry is a regular file of the user's own, never read through a link
    // (a sync peer may place one to any file of the user's). Throws DiaryError::notOwnFile for
    // anything else at the path, DiaryError::cannotOpen when the entry cannot be read and
    // DiaryError::memoLimit when the file is larger than MaxBodyBytes.
    QString readBody(const QString& dateKey) const;
    // The entries folder held open, for reading every day with its path walked once (an invalid
    // descriptor when it cannot be opened).
    Descriptor openEntries() const;
    // The day's text as the file holds it, line breaks as they are in the file, for a task that
    // goes through every day; folder is openEntries() or AT_FDCWD. stamp, when given, receives
    // the stamp of the file read. Throws what readBody throws.
    QString readText(int folder, const QString& dateKey, FileStamp* stamp = nullptr) const;
    // Writes the body with CR LF line breaks in code page 932, replacing the file atomically. What
    // was not edited keeps its bytes (see Spelling); a body equal to the file is not written.
    // Throws DiaryError::memoLimit when the file would be larger than MaxBodyBytes (it could not be
    // loaded again), a DiaryError naming the character when the body holds one code page 932
    // cannot hold, DiaryError::notOwnFile when anything but a file of the user's own stands at
    // the path (it is neither followed nor replaced), and DiaryError::cannotCreate when the
    // write fails; the old file is whole then.
    void writeBody(const QString& dateKey, const QString& body) const;
    // Removes what stands at the entry's path: a link itself, never the file it names. Throws
    // DiaryError::cannotRemove when it stays.
    void removeEntry(const QString& dateKey) const;

private:
    QString m_dataDir;
};
