#pragma once

#include <QDateTime>

namespace pw {

// The time seen by everything that depends on it (page names, log dates, the
// schedule). Tests install a clock of their own.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;

    static QDateTime currentDateTime();
    // Installs `clock` (not owned); nullptr restores the system clock.
    static void setInstance(const Clock *clock);
};

} // namespace pw
