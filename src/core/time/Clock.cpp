#include "core/time/Clock.h"

namespace {
class SystemClock final : public Clock
{
public:
    QDateTime localNow() const override { return QDateTime::currentDateTime(); }
    QDateTime utcNow() const override { return QDateTime::currentDateTimeUtc(); }
};
} // namespace

const Clock& Clock::system()
{
    static const SystemClock clock;
    return clock;
}
