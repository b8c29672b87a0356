#pragma once

#include "core/time/Clock.h"

// A clock the test sets: local time as given, UTC derived from it unless set apart.
class TestClock : public Clock
{
public:
    explicit TestClock(QDateTime local = QDateTime(QDate(2024, 1, 5), QTime(12, 0)))
        : m_local(std::move(local))
    {
    }

    QDateTime localNow() const override { return m_local; }
    QDateTime utcNow() const override { return m_utc.isValid() ? m_utc : m_local.toUTC(); }

    void setLocal(const QDateTime& local) { m_local = local; }
    void setUtc(const QDateTime& utc) { m_utc = utc; }

private:
    QDateTime m_local;
    QDateTime m_utc;
};
