// Waiting in the Qt event loop with a timer armed for the deadline, so an idle wait costs no CPU.

#include "waiter.h"

#include "clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <cmath>
#include <cstdlib>

namespace gx {

void EventLoopWaiter::yieldOnce()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

EventLoopWaiter::EventLoopWaiter(const Clock& clock) : m_clock(clock) {}

EventLoopWaiter::~EventLoopWaiter() = default;

bool EventLoopWaiter::waitUntil(const std::function<bool()>& done, double seconds)
{
    const double deadline = m_clock.now() + seconds;
    if (!m_wake) {
        // The timer only wakes the event loop at a deadline; its slot does nothing.
        m_wake = std::make_unique<QTimer>();
        m_wake->setSingleShot(true);
        m_wake->setTimerType(Qt::PreciseTimer);
        QObject::connect(m_wake.get(), &QTimer::timeout, [] {});
    }
    // A wait that runs inside another (a click during an exchange) must leave
    // the outer wait's wake-up armed when it ends.
    const int outer = m_wake->isActive() ? m_wake->remainingTime() : -1;
    const double outerStarted = m_clock.now();
    bool result = false;
    for (;;) {
        if (done()) {
            result = true;
            break;
        }
        if (closing())
            break;
        const double left = deadline - m_clock.now();
        if (left <= 0) {
            result = done();
            break;
        }
        const int ms = std::max(1, int(std::ceil(left * 1000.0)));
        if (!m_wake->isActive() || std::abs(m_wake->remainingTime() - ms) > 1)
            m_wake->start(ms);
        // processEvents(flags, ms) would spin; this overload sleeps until an event.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    if (outer >= 0)
        m_wake->start(std::max(1, outer - int((m_clock.now() - outerStarted) * 1000.0)));
    return result;
}

} // namespace gx
