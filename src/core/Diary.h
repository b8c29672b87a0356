#pragma once

#include "core/DayStore.h"

#include <QString>
#include <memory>

class DiaryLock;
class TIniFile32;

// One diary on disk: the entries folder "data" (a body file per day) and diary.ini, whose section
// "title" holds one title per day and whose section "data" holds the settings. Every window that
// reads or writes a day goes through here.
class Diary
{
public:
    // Takes the diary's lock, creates the entries folder when it is missing and loads
    // diary.ini. Throws DiaryError::diaryInUse when another
    // copy of the program has the diary open, DiaryError::cannotOpen when diary.ini exists but
    // cannot be read.
    explicit Diary(const QString& programFolder);
    ~Diary();

    // Removes what interrupted saves of this program left beside the diary's files. Reading a
    // folder of thousands of days takes a few milliseconds, so the window does it once it shows.
    void removeLeftovers() const;

    const QString& DataDir() const { return m_dataDir; }
    TIniFile32& IniFile() { return *m_ini; }
    const TIniFile32& IniFile() const { return *m_ini; }
    // Every stored title as diary.ini holds it (date key, code page 932 bytes), in the file's
    // order: for the tasks that go through every day.
    QList<std::pair<QByteArray, QByteArray>> titles() const;

    // A day has an entry when anything stands at its entry file's path.
    bool hasEntry(const QString& dateKey) const;
    bool hasEntry(double date) const;

    QString readBody(const QString& dateKey) const;
    // The stored title, empty when the day has none.
    QString readTitle(const QString& dateKey) const;
    void writeTitle(const QString& dateKey, const QString& title);

    // Writes the body file, then the title. Both texts are converted before anything is
    // written, so a text the code page cannot hold leaves the day as it was on disk.
    void saveDay(const QString& dateKey, const QString& title, const QString& body);

private:
    std::unique_ptr<DiaryLock> m_lock;
    QString m_programFolder;
    QString m_dataDir;
    DayStore m_store;
    std::unique_ptr<TIniFile32> m_ini;
};
