#pragma once

#include "core/storage/Descriptor.h"
#include "core/storage/FileStamp.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class DiaryKey;

// The body of each day: a code page 932 text file with CR LF line breaks, named by the day's
// date key (yyyymmdd, no extension) in the entries folder. In an encrypted diary the file holds
// those bytes sealed (SealedBytes, bound to the day's date); a file is told sealed by its header,
// so a diary half way through turning encryption on or off reads whole. Copies share the key.
class DayStore
{
public:
    // The body editor's limit: the largest entry file it accepts.
    static constexpr qint64 MaxBodyBytes = 4 * 1024 * 1024;
    // The largest file a day's body of MaxBodyBytes is stored in: its sealed form adds a header,
    // a nonce and a tag.
    static constexpr qint64 MaxFileBytes = MaxBodyBytes + 256;

    // key: the encrypted diary's, once unlocked: sealed days are opened with it and every day
    // written is sealed. Without it, days are written plain and a sealed one throws
    // DiaryError::locked.
    explicit DayStore(QString dataDir, std::shared_ptr<const DiaryKey> key = {});

    const std::shared_ptr<const DiaryKey>& key() const { return m_key; }
    // Whether a day's file holds sealed bytes: the magic, then a version byte. Typed text has no
    // control character there, so a plain day that begins with the magic's letters still reads
    // as the text it is.
    static bool isSealed(const QByteArray& bytes);
    // What a day's sealed bytes are bound to: a file renamed to another date does not open.
    static QByteArray sealContext(const QString& dateKey);

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
    // The plain bytes of the file at path (the day's own, or a sync tool's copy of it), opened
    // with the key when sealed; no value when they are more than MaxBodyBytes. Throws what
    // SafeFile::readOwn throws, DiaryError::locked for a sealed file without the key and
    // DiaryError::cannotUnseal for one that does not open as this day of this diary.
    std::optional<QByteArray> readPlain(const QString& path, const QString& dateKey) const;
    // The entries folder held open, for reading every day with its path walked once (an invalid
    // descriptor when it cannot be opened).
    Descriptor openEntries() const;
    // The day's text as the file holds it (opened, when sealed), line breaks as they are in the
    // file, for a task that goes through every day; folder is openEntries() or AT_FDCWD. stamp,
    // when given, receives the stamp of the file read. Throws what readBody throws.
    QString readText(int folder, const QString& dateKey, FileStamp* stamp = nullptr) const;
    // Writes the body with CR LF line breaks in code page 932, replacing the file atomically. What
    // was not edited keeps its bytes (see Spelling); a body equal to the file is not written.
    // Throws DiaryError::memoLimit when the file would be larger than MaxBodyBytes (it could not be
    // loaded again), DiaryError::notOwnFile when anything but a file of the user's own stands at
    // the path (it is neither followed nor replaced), and DiaryError::cannotCreate when the
    // write fails; the old file is whole then.
    void writeBody(const QString& dateKey, const QString& body) const;
    // What writeBody writes at the day's path, for a task that writes many days at once
    // (SafeFile::writeMany); no value when the file holds the body already. Throws what
    // writeBody throws before it writes.
    std::optional<QByteArray> fileFor(const QString& dateKey, const QString& body) const;
    // Removes what stands at the entry's path: a link itself, never the file it names. Throws
    // DiaryError::cannotRemove when it stays.
    void removeEntry(const QString& dateKey) const;

    // The bytes of the day's file in the form asked for, sealed with the key or plain, holding
    // the same plain bytes; no value when the file is in that form already (sealed under the key
    // itself, not its previous one). Throws what
    // readPlain throws. The caller writes them (a conversion writes many days at once).
    std::optional<QByteArray> converted(const QString& dateKey, bool sealed) const;

private:
    QByteArray opened(const QString& path, const QString& dateKey, const QByteArray& bytes) const;
    // The plain bytes of a file's bytes as read; no value when there were none (the file was
    // too large) or they are more than MaxBodyBytes.
    std::optional<QByteArray> plainOf(const QString& path, const QString& dateKey,
                                      const std::optional<QByteArray>& bytes) const;
    QByteArray fileBytes(const QString& dateKey, const QByteArray& plain, bool sealed) const;

    QString m_dataDir;
    std::shared_ptr<const DiaryKey> m_key;
};
