#pragma once

#include <QtGlobal>

#include <atomic>
#include <functional>

// How far a long task (an export, a backup, a restore) has come, and the way to stop it. The task
// reports as it goes, on whatever thread it runs; cancel() may come from any thread, or from a
// signal handler, and the task stops at its next step, removing what it had written.
class TaskProgress
{
public:
    using Report = std::function<void(qint64 done, qint64 total)>;

    explicit TaskProgress(Report report = {});

    void cancel() noexcept;
    bool cancelled() const noexcept;

    // Reports done of total; never throws, so C code may call it back.
    void report(qint64 done, qint64 total) const noexcept;
    // Reports done of total, then throws the cancellation's DiaryError when the task is to stop.
    void advance(qint64 done, qint64 total) const;
    // Throws the cancellation's DiaryError when the task is to stop.
    void check() const;

private:
    Report m_report;
    std::atomic<bool> m_cancelled{false};
    static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");
};
