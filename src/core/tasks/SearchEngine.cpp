#include "core/tasks/SearchEngine.h"

#include "core/storage/DiaryError.h"

#include <exception>

SearchEngine::SearchEngine(DayStore days, QList<std::pair<QByteArray, QByteArray>> titles,
                           QObject* parent)
    : QObject(parent), m_search(std::make_shared<DiarySearch>(std::move(days), std::move(titles))),
      m_cancelled(std::make_shared<std::atomic_bool>(false))
{
    m_pool.setMaxThreadCount(1);
    // The days are listed while the user starts typing, not after the first keystroke.
    m_pool.start([search = m_search] {
        try {
            search->prepare();
        } catch (const std::exception&) {
            // The first search meets the same failure and reports it.
        }
    });
}

SearchEngine::~SearchEngine()
{
    cancel();
    m_pool.waitForDone();
}

void SearchEngine::cancel()
{
    m_cancelled->store(true);
}

int SearchEngine::start(const QString& query)
{
    cancel();
    m_cancelled = std::make_shared<std::atomic_bool>(false);
    const int number = ++m_number;
    m_pool.start(
        [this, number, matcher = SearchMatcher(query), search = m_search, cancelled = m_cancelled] {
            QString error;
            try {
                const bool complete = search->run(
                    matcher, [&] { return cancelled->load(); },
                    [&](QList<SearchHit>&& hits) { emit found(number, hits); });
                if (!complete)
                    return;
            } catch (const DiaryError& e) {
                error = e.message();
            } catch (const std::exception& e) {
                error = QString::fromLocal8Bit(e.what());
            }
            emit finished(number, error);
        });
    return number;
}
