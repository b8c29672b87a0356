#include "core/diary/ShownDay.h"

#include "core/companion/Companion.h"
#include "core/companion/Random.h"
#include "core/diary/Diary.h"
#include "core/diary/DiaryWatcher.h"
#include "core/diary/Recovery.h"
#include "core/storage/DiaryError.h"
#include "core/time/Clock.h"
#include "core/time/DiaryDate.h"

ShownDay::ShownDay(Diary& diary, Page& page, const Clock& clock)
    : m_diary(diary), m_page(page), m_clock(clock),
      m_watcher(std::make_unique<DiaryWatcher>(diary.folder(), diary.DataDir()))
{
}

ShownDay::~ShownDay() = default;

void ShownDay::moveTo(double date)
{
    m_date = date;
    load(date);
}

void ShownDay::load(double date)
{
    const QString key = DiaryDate::key(date);
    m_unloadedKey.clear();
    m_watcher->watchDay(m_diary.DataDir() + QLatin1Char('/') + key);
    Diary::DayText day;
    try {
        day = m_diary.loadDay(key);
    } catch (const DiaryError&) {
        // What the page holds belongs to another day: it is emptied and locked so that nothing
        // can overwrite the entry that could not be shown.
        m_unloadedKey = key;
        m_page.fill(QString(), QString(), true);
        throw;
    }
    m_page.fill(day.title, day.body, false);
}

void ShownDay::save(double date)
{
    const QString key = DiaryDate::key(date);
    if (key == m_unloadedKey)
        return;
    const QString body = m_page.body();
    const QString title = m_page.title();
    if (body.isEmpty() && title.isEmpty())
        return;
    const Diary::DayText saved = m_diary.saveDay(key, title, body);
    if (saved != Diary::DayText{title, body} && key == DiaryDate::key(m_date))
        m_page.showSaved(saved.title, saved.body);
}

void ShownDay::deleteDay()
{
    m_diary.deleteDay(DiaryDate::key(m_date));
    load(m_date);
}

void ShownDay::takeChangesOnDisk()
{
    m_watcher->watchFolders();
    const Diary::Folded folded = m_diary.foldConflicts();
    const QString key = DiaryDate::key(m_date);
    if (key != m_unloadedKey && m_diary.changedOnDisk(key) &&
        m_diary.isAsSeen(key, {m_page.title(), m_page.body()}))
        load(m_date);
    if (!folded.setAside.isEmpty())
        throw DiaryError(folded.setAside.join(QStringLiteral("\n\n")));
}

void ShownDay::addCompanionComment(double reference, const QString& userName)
{
    const double day = reference - 1.0;
    load(day);
    if (!Companion::qualifies(m_page.bodyLines(), m_clock.localNow()))
        return;
    Random::setSeed(Companion::seedFrom(m_clock.utcNow()));
    for (const QString& line : Companion::commentBlock(userName))
        m_page.addBodyLine(line);
    save(day);
}

std::optional<ShownDay::Unsaved> ShownDay::leave(const std::function<void()>& alsoWrite)
{
    Unsaved unsaved;
    try {
        save();
        alsoWrite();
        return std::nullopt;
    } catch (const DiaryError& error) {
        unsaved.error = error.message();
    } catch (const std::exception& error) {
        unsaved.error = QString::fromLocal8Bit(error.what());
    }
    const QString key = DiaryDate::key(m_date);
    const QString title = m_page.title();
    const QString body = m_page.body();
    if (key == m_unloadedKey || (title.isEmpty() && body.isEmpty()))
        return unsaved;
    try {
        unsaved.recoveryPath =
            m_diary.writeRecovery(Recovery::places(), key, title, body, m_clock.localNow());
    } catch (const DiaryError& error) {
        unsaved.recoveryError = error.message();
    }
    return unsaved;
}
