#include "clock.h"

#include <atomic>

namespace pw {

namespace {

class SystemClock final : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

const SystemClock systemClock;
std::atomic<const Clock *> current{&systemClock};

} // namespace

QDateTime Clock::currentDateTime()
{
    return current.load()->now();
}

void Clock::setInstance(const Clock *clock)
{
    current.store(clock ? clock : &systemClock);
}

} // namespace pw
