#include "waiter.h"

#include "clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <cmath>

namespace gx {

void EventLoopWaiter::yieldOnce()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool EventLoopWaiter::waitUntil(const std::function<bool()>& done, double seconds)
{
    const double deadline = m_clock.now() + seconds;
    // The timer only wakes the event loop at the deadline; its slot does nothing.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    QObject::connect(&wake, &QTimer::timeout, [] {});
    for (;;) {
        if (done())
            return true;
        if (closing())
            return false;
        const double left = deadline - m_clock.now();
        if (left <= 0)
            return done();
        wake.start(std::max(1, int(std::ceil(left * 1000.0))));
        // processEvents(flags, ms) would spin; this overload sleeps until an event.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

} // namespace gx
