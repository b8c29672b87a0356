#pragma once

#include "core/time/Clock.h"

// A clock that stands still, so that every run shows the same day and the companion decides the
// same way each time.
class BenchClock : public Clock
{
public:
    explicit BenchClock(QDateTime local) : m_local(std::move(local)) {}

    QDateTime localNow() const override { return m_local; }
    QDateTime utcNow() const override { return m_local.toUTC(); }

private:
    QDateTime m_local;
};
