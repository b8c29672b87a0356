#pragma once

#include "core/diary/DayStore.h"
#include "core/tasks/SearchMatcher.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <utility>

// One day that matched: enough to show it in a result list without reading it again.
struct SearchHit
{
    double date = 0;
    QString key;
    QString title;
    // The date line as the main window writes it, then the title.
    QString heading;
    // The line the first match stands in (the title when only the title matched), cut around the
    // match when it is long, and where the match lies in it.
    QString line;
    qsizetype markStart = -1;
    qsizetype markLength = 0;
};

// A search through every day of one diary, newest first. The list of days and their titles is
// made on the first run and kept; the bodies are read from disk on every run, so nothing of the
// size of the diary stays in memory between searches.
class DiarySearch
{
public:
    // titles: section "title" of diary.ini in code page 932, as Diary::titles() gives: opened
    // when the diary is encrypted, so the search runs on plain text in memory only.
    DiarySearch(DayStore days, QList<std::pair<QByteArray, QByteArray>> titles);

    // Lists the days and their titles, which the first run does otherwise; safe to call again.
    void prepare();

    // Hits are handed to deliver in order, in batches: the first as soon as a screenful is found,
    // the rest every few hundredths of a second and at the end. The run stops between two days
    // once cancelled() says so and returns false then.
    bool run(const SearchMatcher& matcher, const std::function<bool()>& cancelled,
             const std::function<void(QList<SearchHit>&&)>& deliver);

    // How many hits make the first batch.
    static constexpr int FirstBatch = 8;

private:
    struct Day
    {
        QString key;
        double date = 0;
        QString title;
        QString foldedTitle;
    };

    SearchHit hit(const Day& day, const SearchMatcher& matcher, const QString& body,
                  const QString& foldedBody) const;

    DayStore m_store;
    QList<std::pair<QByteArray, QByteArray>> m_rawTitles;
    QList<Day> m_days;
    bool m_listed = false;
};
