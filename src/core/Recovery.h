#pragma once

#include <QDateTime>
#include <QString>

// Where a day's text goes when it cannot be saved in the diary and the user leaves all the same:
// a UTF-8 text file of its own in the per-user data folder, which holds any character, those
// the diary's code page cannot hold included.
class Recovery
{
public:
    // The per-user folder for recovery files.
    static QString defaultFolder();
    // Writes the title and body of the day to a new file in folder and returns its path; throws
    // a DiaryError when it cannot be written.
    static QString write(const QString& folder, const QString& dateKey, const QString& title,
                         const QString& body, const QDateTime& at);

    // What the user is told about the unsaved text: the file that holds it (path), or why none
    // could be written (error); empty when there was nothing to keep.
    static QString report(const QString& path, const QString& error);
    // The question before leaving without saving, after that report.
    static QString leaveQuestion(const QString& path, const QString& error);
};
