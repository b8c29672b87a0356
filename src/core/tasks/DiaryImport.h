#pragma once

#include "core/storage/TaskProgress.h"
#include "core/tasks/ImportedEntries.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

class Diary;

// Entries read from another diary's export put on their days. Everything is planned first (a day
// too long for the editor is left out then, with the reason), then the days are written through
// the diary's own save, sealed when it is encrypted.
//
// A day's entries are joined in time order, each after a line with its time when there are
// several. The first entry's title becomes the day's title when the day has none (or that one);
// any other title heads its entry's text. Tags become a line "#旅行 #京都", a starred entry a
// line "★". A day that exists keeps its text first, the imported text follows below the line
// the sync merge puts between two texts; a day that holds the imported text already is left
// alone, so importing the same export again adds nothing.
class DiaryImport
{
public:
    struct Day
    {
        QString key;
        QString title;
        QString body;
        // Whether the day had an entry: the imported text was joined to its own.
        bool joined = false;
    };

    struct Plan
    {
        // The days to write, oldest first.
        QList<Day> days;
        // Days that hold their imported text already.
        int unchanged = 0;
        int entries = 0;
        QDate first;
        QDate last;
        // "name: reason" for each entry or file left out.
        QStringList leftOut;
        // Attachments not imported, per day.
        QMap<QDate, int> attachments;

        int joined() const;
        // What the import does, line by line, for the user. backup: the file the import wrote
        // before its first day; empty for a plan not carried out (a dry run).
        QString summary(const QString& backup = {}) const;
        // The date range, the days new and joined, and what was left out, in a few lines.
        QString preview() const;
    };

    // Reads every day the entries land on. now: the time on the separator line of a joined day.
    // Throws what reading a day throws (a day that cannot be read stops the import).
    static Plan plan(Diary& diary, const ImportedEntries& source, const QDateTime& now);

    // Writes the plan's days, oldest first. backup runs once before the first write (it writes
    // the diary's backup and throws when it cannot; nothing is written then). Returns the days
    // written; when progress is cancelled or a write fails, the days written so far stay, and
    // the DiaryError says how many and that the backup brings the diary back.
    static int apply(Diary& diary, const Plan& plan, const std::function<void()>& backup,
                     const TaskProgress& progress);

    // Where an import's backup of the diary in folder goes: beside diary.ini, a name no file has
    // yet ("import-backup-yyyyMMdd-HHmmss.zip").
    static QString backupPath(const QString& folder);

    // The text of one day's entries, in time order; titleTaken: the first title became the
    // day's.
    static QString compose(const QList<ImportedEntry>& entries, bool titleTaken);
};
