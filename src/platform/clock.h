#pragma once

// The clock seam: seconds from a monotonic source, and the steady clock the program runs on.

#include <QElapsedTimer>

namespace gx {

// Time in seconds from a monotonic source. Waits compare against it, so a wait
// that crosses midnight (or a change of the wall clock) still ends on time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double now() const = 0;
};

class SteadyClock final : public Clock {
public:
    SteadyClock() { m_timer.start(); }
    double now() const override { return m_timer.nsecsElapsed() / 1e9; }

private:
    QElapsedTimer m_timer;
};

} // namespace gx
