#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

class DiaryKey;

// Where a day's text goes when it cannot be saved in the diary and the user leaves all the same:
// a UTF-8 text file of its own, which holds any character, those the diary's code page cannot
// hold included. An encrypted diary's text is sealed in it, bound to the file's name.
class Recovery
{
public:
    // The folders a recovery file may go to, in the order they are tried: the per-user data
    // folder, kept for good; then private folders that are often on other disks, should the
    // failed save have filled the user's own: in /var/tmp (kept across restarts) and /tmp, or in
    // the temporary folder the user chose ($TMPDIR), and in the user's runtime folder (kept until
    // the user logs out).
    static QStringList places();
    // Writes the title and body of the day to a new file in the first of the folders that takes
    // it and returns its path: "yyyymmdd-….txt", or "….sealed" holding the text sealed with key
    // when there is one. A folder is created private (0700); one that exists is used only
    // when it is a folder of the user's own that nobody else may enter. Throws a DiaryError naming
    // the folders when none takes it.
    static QString write(const QStringList& folders, const QString& dateKey, const QString& title,
                         const QString& body, const QDateTime& at, const DiaryKey* key = nullptr);
    // The text of a sealed recovery file, opened with the diary's key. Throws a DiaryError when
    // it cannot be read or does not open.
    static QString open(const QString& path, const DiaryKey& key);
    // What a recovery file's text is sealed with: its own name.
    static QByteArray sealContext(const QString& path);

    // What the user is told of the unsaved text: the file that holds it (path), or why no folder
    // took it (error); empty when there was nothing to keep.
    static QString report(const QString& path, const QString& error);
    // The question before leaving without saving, once the text is kept (or there was none).
    static QString leaveQuestion(const QString& path);
    // When no folder took the text: the window stays open with it.
    static QString stayMessage(const QString& error);
};
