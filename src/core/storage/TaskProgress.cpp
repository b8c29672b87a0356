#include "core/storage/TaskProgress.h"

#include "core/storage/DiaryError.h"

TaskProgress::TaskProgress(Report report) : m_report(std::move(report)) {}

void TaskProgress::cancel() noexcept
{
    m_cancelled.store(true);
}

bool TaskProgress::cancelled() const noexcept
{
    return m_cancelled.load();
}

void TaskProgress::report(qint64 done, qint64 total) const noexcept
{
    if (m_report)
        m_report(done, total);
}

void TaskProgress::advance(qint64 done, qint64 total) const
{
    report(done, total);
    check();
}

void TaskProgress::check() const
{
    if (cancelled())
        throw DiaryError(QStringLiteral("中止しました。何も書いていません。"));
}
