#pragma once

#include <QDateTime>

// Where the program learns the time. Tests hand the windows a clock of their own.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime localNow() const = 0;
    virtual QDateTime utcNow() const = 0;

    // The real clock of the machine.
    static const Clock& system();
};
