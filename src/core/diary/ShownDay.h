#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class Clock;
class Diary;
class DiaryWatcher;

// The day the main window shows, and the rules of loading and saving it: a day left is saved
// before the next one loads, an empty day is not written, a day whose entry could not be read is
// never saved over, and a save that fails on leaving leaves the text in a recovery file. A change
// of day, the autosave, the session's save request, a quit signal and close all save through
// save(), so the rules hold alike on every path.
//
// The diary may change on disk while it shows (a sync tool bringing another computer's
// version): every save starts from what is on disk then and loses neither side (Diary::saveDay),
// and a day that changed on disk while nothing was typed into it shows what is on disk.
class ShownDay
{
public:
    // What shows the day's text: the window's title and body editors.
    class Page
    {
    public:
        virtual ~Page() = default;
        virtual QString title() const = 0;
        virtual QString body() const = 0;
        // Fills the page with a day's text, shown from its first line. A locked page is
        // read-only: it holds nothing of the day it stands for.
        virtual void fill(const QString& title, const QString& body, bool locked) = 0;
        // The body's lines as the page shows them (wrapped, a final empty line not counted).
        virtual QStringList bodyLines() const = 0;
        virtual void addBodyLine(const QString& line) = 0;
        // Shows the day as a save that took in another computer's text left it.
        virtual void showSaved(const QString& title, const QString& body)
        {
            fill(title, body, false);
        }
    };

    // Why leaving did not save everything, and what became of the text.
    struct Unsaved
    {
        QString error;
        // The recovery file that holds the unsaved title and body; empty when none was written.
        QString recoveryPath;
        // Why the recovery file could not be written; empty when it was, or when the page held
        // nothing to keep (an empty day, or one that could not be loaded).
        QString recoveryError;
    };

    ShownDay(Diary& diary, Page& page, const Clock& clock);
    ~ShownDay();

    double date() const { return m_date; }
    // Shows another day: the date changes first, then its text loads (see load()).
    void moveTo(double date);
    // Fills the page with the day's entry, or empties it when the day has none. Throws a
    // DiaryError when the entry cannot be read; the page is then emptied and locked.
    void load(double date);
    // Saves what the page holds as the shown day.
    void save() { save(m_date); }
    // Saves what the page holds as the given day, unless both title and body are empty or the
    // day is the one that could not be loaded. Throws a DiaryError when the save fails.
    void save(double date);
    // Deletes the shown day's entry and title (Diary::deleteDay) and shows the day empty, as seen
    // with no entry: nothing of it is left on the page for a later save to write back, and a day
    // that arrives from elsewhere afterwards is a change on disk that shows. Throws what
    // Diary::deleteDay throws; the page then keeps the day.
    void deleteDay();
    // モルナ's comment under the day before reference: the day is loaded into the page, and when
    // it qualifies the comment is appended and the day saved.
    void addCompanionComment(double reference, const QString& userName);
    // Saves the shown day and runs alsoWrite (what else leaving writes). When either fails, the
    // unsaved title and body go to a recovery file at once, before anyone is asked anything, so
    // that a kill that follows loses nothing. No value when everything was saved.
    std::optional<Unsaved> leave(const std::function<void()>& alsoWrite);

    // Tells when the diary's files or the shown day's file change on disk.
    const DiaryWatcher& watcher() const { return *m_watcher; }
    // Watches the diary's folders from now on (the shown day's file is watched from its load),
    // and folds the sync tool's conflict copies into their days; then, when the shown day changed
    // on disk and nothing was typed since it was loaded, loads it again. Typed text stays on the
    // page: its next save keeps both. Then throws a DiaryError telling of the copies set aside
    // by this fold, each told once.
    void takeChangesOnDisk();

private:
    Diary& m_diary;
    Page& m_page;
    const Clock& m_clock;
    double m_date = 0;
    // The key of a day whose entry could not be loaded: the page does not hold it, so it is
    // never saved from there, and the page stays locked until another day loads.
    QString m_unloadedKey;
    std::unique_ptr<DiaryWatcher> m_watcher;
};
