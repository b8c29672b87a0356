#include "core/tasks/RecordEngine.h"

RecordEngine::RecordEngine(DayStore days, QObject* parent)
    : QObject(parent), m_counter(std::make_shared<RecordCounter>(std::move(days)))
{
    m_pool.setMaxThreadCount(1);
}

RecordEngine::~RecordEngine()
{
    m_stopped->store(true);
    m_pool.waitForDone();
}

void RecordEngine::refresh()
{
    if (m_waiting->exchange(true))
        return;
    m_pool.start([this, counter = m_counter, waiting = m_waiting, stopped = m_stopped] {
        waiting->store(false);
        // A folder that cannot be listed counts as empty; the days come back with it.
        if (counter->refresh([&] { return stopped->load(); }))
            emit counted(counter->record());
    });
}
