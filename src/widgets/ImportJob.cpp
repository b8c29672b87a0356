#include "widgets/ImportJob.h"

#include "core/storage/DiaryError.h"

#include <QTimer>

namespace {

// Days a step writes: short enough that 中止 answers at once.
constexpr qsizetype DaysPerStep = 32;

} // namespace

ImportJob::ImportJob(Diary& diary, DiaryImport::Plan plan, QObject* parent)
    : DiaryJob(parent), m_diary(diary), m_plan(std::move(plan))
{
}

void ImportJob::start()
{
    QTimer::singleShot(0, this, &ImportJob::step);
}

void ImportJob::cancel()
{
    m_cancelled = true;
}

void ImportJob::step()
{
    if (m_cancelled) {
        emit finished({}, true);
        return;
    }
    DiaryImport::Plan part;
    part.days = m_plan.days.mid(m_next, DaysPerStep);
    try {
        DiaryImport::apply(
            m_diary, part, [] {}, TaskProgress());
    } catch (const DiaryError& e) {
        emit finished(e.message(), false);
        return;
    }
    m_next += part.days.size();
    emit progressed(m_next, m_plan.days.size());
    if (m_next < m_plan.days.size())
        QTimer::singleShot(0, this, &ImportJob::step);
    else
        emit finished({}, false);
}
