#pragma once

#include "core/diary/DayMerge.h"
#include "core/diary/DayStore.h"
#include "core/storage/FileStamp.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class DiaryKey;
class DiaryLock;
class KeyFile;
class TIniFile32;
struct Settings;

// One diary on disk: the entries folder "data" (a body file per day) and diary.ini, whose section
// "title" holds one title per day and whose section "data" holds the settings. Every window that
// reads or writes a day goes through here.
//
// The folder may be kept in step with other computers by a sync tool, which replaces files
// whole while the diary is open. So every write starts from the file as it is on disk then: a
// day's file that changed since this session loaded it is saved with both texts (DayMerge),
// diary.ini is read again before a title or the settings go into it, and the sync tool's
// conflict copies are folded into their days.
//
// An encrypted diary (its folder holds diary.key) is read only once unlocked: each day's file and
// each title are sealed with the diary's key, and are opened in memory only. Until unlock()
// succeeds, reading a day or a title throws DiaryError::locked; the settings stay plain and read
// as ever. A file or title is told sealed by its header, so a diary half way through turning
// encryption on or off (DiaryEncryption) reads whole.
class Diary
{
public:
    struct DayText
    {
        QString title;
        QString body;
        bool operator==(const DayText&) const = default;
    };

    // Takes the diary's lock, creates the entries folder when it is missing and loads
    // diary.ini and diary.key. Throws DiaryError::diaryInUse when another
    // copy of the program has the diary open, DiaryError::cannotOpen when diary.ini exists but
    // cannot be read, DiaryError::notOwnFile when diary.ini or the entries folder is a link (or
    // anything else not the user's own file or folder), and a DiaryError saying why when
    // something stands at diary.key that is no key file of the user's own.
    explicit Diary(const QString& programFolder);
    ~Diary();

    // Encrypted: it has a key file, or has none but is encrypted all the same (see
    // keyMissing()).
    bool isEncrypted() const;
    // A plain diary is always unlocked.
    bool isUnlocked() const;
    // The diary has no key file, but this computer knows it encrypted, or a title or a day of it
    // is sealed (EncryptedDiaries). It is never taken for a plain one: it cannot be unlocked, and
    // every read and write throws EncryptedDiaries::noKeyFile(), but for the settings, which are
    // not written at all.
    bool keyMissing() const { return m_keyMissing; }
    // Opens an encrypted diary with its passphrase or its recovery code; false when neither
    // opens it (each try costs a key derivation, about half a second). diary.key is read again
    // and tried first, then the sync tool's copies of it, so a passphrase set on another computer
    // opens it too; a file is taken only once it verifies under the key it opened. A diary.key
    // that opened but does not verify is set aside (DiaryKeyFile::setAside) and written anew
    // with only the way in that opened it; a version 1 file is written as version 2. The copies
    // are then folded in. From then on the process may not be dumped: its memory holds the key.
    // True at once for a plain diary or one already unlocked. Throws a DiaryError when the key
    // files would take too long to try, or a write fails.
    bool unlock(const QString& secret);
    // The key file as it is on disk now, verified under the key and merged with the one held,
    // for a change to start from: a sync tool may have brought a newer one. One that does not
    // verify is set aside and the held one written back in its place; a DiaryError then says so.
    // Throws DiaryError::locked before unlock.
    KeyFile refreshKeyFile();
    // What the key files' checks set aside since last asked, one message each.
    QStringList takeNotices();
    // Whether the diary was unlocked with its recovery code: the user then sets a new passphrase.
    bool unlockedByRecoveryCode() const { return m_byRecoveryCode; }
    // The diary's key once unlocked; null for a plain or a locked diary.
    const std::shared_ptr<const DiaryKey>& key() const { return m_key; }
    // The key file as this diary last read or wrote it; null for a plain diary.
    const KeyFile* keyFile() const { return m_keyFile.get(); }
    // The days as stored, for the tasks that go through every day: a copy shares the key. Throws
    // DiaryError::locked before unlock.
    const DayStore& days() const;

    // The steps of turning encryption on and off (DiaryEncryption), each one write. Writes the
    // key file (diary.key, replaced atomically) and takes key as the diary's: the diary is
    // encrypted and unlocked from then on.
    void writeKeyFile(const KeyFile& file, std::shared_ptr<const DiaryKey> key);
    // Removes diary.key: the diary is plain from then on. Throws when it stays.
    void removeKeyFile();
    // Puts every title of diary.ini into the form asked for, sealed or plain, in one write; a
    // title in that form already keeps its bytes. Turning sealed also clears the reversible
    // password of the settings, which an encrypted diary does not keep.
    void convertTitles(bool sealed);

    // Removes what interrupted saves of this program left beside the diary's files, and what a
    // killed restore into its folder left beside that. Reading a folder of thousands of days
    // takes a few milliseconds, so the window does it once it shows.
    void removeLeftovers() const;

    const QString& folder() const { return m_programFolder; }
    const QString& DataDir() const { return m_dataDir; }
    TIniFile32& IniFile() { return *m_ini; }
    const TIniFile32& IniFile() const { return *m_ini; }
    // Every stored title (date key, code page 932 bytes), in the file's order: for the tasks that
    // go through every day. Sealed titles come opened; one that does not open is left out (the
    // day's own read reports it). Throws DiaryError::locked before unlock.
    QList<std::pair<QByteArray, QByteArray>> titles() const;

    // A day has an entry when anything stands at its entry file's path.
    bool hasEntry(const QString& dateKey) const;
    bool hasEntry(double date) const;

    QString readBody(const QString& dateKey) const;
    // The stored title, empty when the day has none.
    QString readTitle(const QString& dateKey) const;
    void writeTitle(const QString& dateKey, const QString& title);

    // The day's title and body for the editors, empty when it has no entry; remembered as what
    // this session saw of the day. Throws what readBody throws.
    DayText loadDay(const QString& dateKey);
    // Whether the day's file or title changed on disk since it was loaded or saved here.
    bool changedOnDisk(const QString& dateKey);
    // Whether the texts are the day as it was loaded or saved here: nothing typed since.
    bool isAsSeen(const QString& dateKey, const DayText& text) const;

    // Writes the body file, then the title, and returns what was written. When the day changed
    // on disk since it was loaded, nothing of either side is lost: a side that did not change
    // gives way to the other, and texts changed on both sides are saved together, this
    // session's first (DayMerge); a title changed on both sides keeps this session's and goes
    // into the body below the other's.
    DayText saveDay(const QString& dateKey, const QString& title, const QString& body);

    // What to ask before deleteDay(): the day and its title as stored now, and that both go for
    // good.
    QString deleteQuestion(const QString& dateKey);
    // Removes the day's entry file and its title, a key written twice included: the title from
    // diary.ini as it is on disk now, written once, then the file, whose removal reaches the disk
    // before this returns. Throws a DiaryError that says why when either stays; both are as they
    // were then. Emptying a day's texts never comes here: only this removes an entry.
    void deleteDay(const QString& dateKey);

    // Puts the settings into diary.ini as it is on disk now, writing it once, and only when its
    // bytes change. An encrypted diary keeps no reversible password: it is written empty.
    void writeSettings(const Settings& settings);

    // Writes the text of a day that could not be saved to a recovery file (see Recovery), sealed
    // when the diary is encrypted; returns its path.
    QString writeRecovery(const QStringList& folders, const QString& dateKey, const QString& title,
                          const QString& body, const QDateTime& at) const;

    struct Folded
    {
        // The days whose text changed.
        QStringList changed;
        // Why a copy was not folded whole, one message a copy.
        QStringList setAside;
    };

    // Merges the sync tool's conflict copies ("data/yyyymmdd.sync-conflict-…",
    // "diary.sync-conflict-….ini", "diary.sync-conflict-….key") into the diary and removes each
    // once what it held is on disk. Copies come from elsewhere: only a regular file of the user's
    // own no larger than a day is read, only title keys that name a real date reach a day. A copy
    // that cannot be folded whole stays as it is, set aside: it is told once and not tried again
    // this session unless it changes. Folding a copy again adds nothing, so a fold that writes
    // settles at once.
    Folded foldConflicts();

private:
    void requireUnlocked() const;
    // The stored title's plain bytes, opened when sealed.
    QByteArray titleBytes(const QByteArray& key, const QByteArray& stored) const;
    // What goes into diary.ini for a title's plain bytes: sealed with the key, if any.
    QByteArray storedTitle(const QByteArray& key, const QByteArray& plain) const;
    void foldKeyCopies(Folded& folded);
    void foldKeyCopy(const QString& path);
    QStringList keyCopies() const;
    // Sets aside a key file that failed verification, remembering what to tell.
    QString rejectKeyFile(const QString& path);
    struct Seen
    {
        DayText text;
        FileStamp stamp;
        // TIniFile32::changes() when the title was seen; 0: never.
        quint64 iniChanges = 0;
    };

    // A fold step: runs step unless the copy was set aside as it is; a DiaryError sets it aside.
    void fold(const QString& path, Folded& folded, const std::function<void()>& step);
    // Each throws a DiaryError when the copy cannot be folded whole.
    void foldDayCopy(const QString& path, const QString& dateKey, QStringList& changed);
    void foldSettingsCopy(const QString& path, QStringList& changed);
    // Writes the body with the other text joined below it; false when nothing needed writing.
    bool joinIntoBody(const QString& dateKey, const QString& theirs, const QDateTime& savedAt,
                      DayMerge::Kind kind);

    std::unique_ptr<DiaryLock> m_lock;
    QString m_programFolder;
    QString m_dataDir;
    DayStore m_store;
    std::unique_ptr<TIniFile32> m_ini;
    std::unique_ptr<KeyFile> m_keyFile;
    std::shared_ptr<const DiaryKey> m_key;
    bool m_byRecoveryCode = false;
    QStringList m_notices;
    // Encrypted, but its key file is gone: nothing of it can be read or written.
    bool m_keyMissing = false;
    QHash<QString, Seen> m_seen;
    // The copies set aside this session, as they were then.
    QHash<QString, FileStamp> m_setAside;
};
