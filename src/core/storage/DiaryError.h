#pragma once

#include <QString>
#include <exception>

// A failure that abandons the command that raised it. The windows catch it at the edge of each
// event handler and show its text in the standard error box.
class DiaryError : public std::exception
{
public:
    // What a caller may do about it beyond showing the text.
    enum class Kind
    {
        Failed,
        // Another running copy has the diary open; it may be brought forward instead.
        InUse,
        // What stands at the path is no file of the user's own: a task going through every day
        // may leave it out.
        NotOwnFile,
    };

    explicit DiaryError(QString message, Kind kind = Kind::Failed);

    const QString& message() const noexcept { return m_message; }
    Kind kind() const noexcept { return m_kind; }
    const char* what() const noexcept override { return m_utf8.constData(); }

    // "The file cannot be created or written": a save failed, the old file is whole.
    static DiaryError cannotCreate(const QString& path);
    // The save failed because the file's folder takes no new file (read-only, immutable): the
    // file cannot be saved there at all, and the old one is whole.
    static DiaryError folderNotWritable(const QString& path);
    // The save failed for lack of space; the old file is whole.
    static DiaryError diskFull(const QString& path);
    // A file could not be removed and stays where it was; forbidden when the folder or the file
    // does not allow it (read-only, immutable).
    static DiaryError cannotRemove(const QString& path, bool forbidden);
    // "The file cannot be opened": an existing file could not be read.
    static DiaryError cannotOpen(const QString& path);
    // Another running copy of the program has the diary in the folder open.
    static DiaryError diaryInUse(const QString& folder);
    // No lock for the diary could be made in the user's runtime folder.
    static DiaryError cannotLock(const QString& folder);
    // The text is larger than the body editor accepts.
    static DiaryError memoLimit();
    // Something other than a regular file of the user's own stands where the diary keeps one (a
    // link, a folder, a pipe, a device, another user's file): it is neither read nor written.
    static DiaryError notOwnFile(const QString& path);
    // A file arrived larger than any the diary writes; it is not read.
    static DiaryError tooLarge(const QString& path, qint64 maxBytes);
    // A sealed file or the key file does not open (cut short, an unknown version, another key or
    // place, altered); why says which. Nothing of it is shown.
    static DiaryError cannotUnseal(const QString& path, const QString& why);
    // The diary is encrypted and its passphrase has not been given yet: nothing of it is read.
    static DiaryError locked();

private:
    QString m_message;
    Kind m_kind;
    QByteArray m_utf8;
};
