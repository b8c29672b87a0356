#pragma once

#include "core/diary/DayStore.h"
#include "core/tasks/DiaryRecord.h"
#include "core/tasks/RecordCounter.h"

#include <QObject>
#include <QThreadPool>
#include <atomic>
#include <memory>

// Counts the diary's record off the calling thread and keeps the counts for as long as it
// lives, so that a refresh reads only the days changed since. Records arrive as a signal in the
// thread that owns the engine.
class RecordEngine : public QObject
{
    Q_OBJECT

public:
    explicit RecordEngine(DayStore days, QObject* parent = nullptr);
    // Stops the running count between two days and waits for it.
    ~RecordEngine() override;

    // Counts what changed on disk. Requests made while a count waits to start join it.
    void refresh();

signals:
    void counted(const DiaryRecord& record);

private:
    QThreadPool m_pool;
    // Touched only by the pool's one thread.
    std::shared_ptr<RecordCounter> m_counter;
    std::shared_ptr<std::atomic_bool> m_waiting = std::make_shared<std::atomic_bool>(false);
    std::shared_ptr<std::atomic_bool> m_stopped = std::make_shared<std::atomic_bool>(false);
};
