#pragma once

#include "core/tasks/DiarySearch.h"

#include <QObject>
#include <QThreadPool>
#include <atomic>
#include <memory>

// Runs diary searches off the calling thread, one at a time: a new query cancels the search it
// replaces, which stops before its next day. Results arrive as signals in the thread that owns
// the engine, each tagged with its search's number so that late ones of a replaced search can
// be told apart.
class SearchEngine : public QObject
{
    Q_OBJECT

public:
    SearchEngine(DayStore days, QList<std::pair<QByteArray, QByteArray>> titles,
                 QObject* parent = nullptr);
    // Cancels the running search and waits for it to stop.
    ~SearchEngine() override;

    // Returns the number of the new search.
    int start(const QString& query);
    void cancel();
    int current() const { return m_number; }

signals:
    void found(int search, const QList<SearchHit>& hits);
    // Sent once per search that ran to its end; error is empty unless it failed.
    void finished(int search, const QString& error);

private:
    QThreadPool m_pool;
    // Touched only by the pool's one thread.
    std::shared_ptr<DiarySearch> m_search;
    std::shared_ptr<std::atomic_bool> m_cancelled;
    int m_number = 0;
};
