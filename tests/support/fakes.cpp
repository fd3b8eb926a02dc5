#include "fakes.h"

#include <QCoreApplication>

namespace gx::test {

void FakeClock::advanceToward(double limit)
{
    if (!m_actions.empty() && m_actions.begin()->first <= limit) {
        auto it = m_actions.begin();
        m_now = std::max(m_now, it->first);
        auto action = std::move(it->second);
        m_actions.erase(it);
        action();
        return;
    }
    m_now = std::max(m_now, limit);
}

void FakeWaiter::yieldOnce()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (onYield)
        onYield();
}

bool FakeWaiter::waitUntil(const std::function<bool()>& done, double seconds)
{
    const double deadline = m_clock.now() + seconds;
    for (;;) {
        yieldOnce();
        if (done())
            return true;
        if (closing())
            return false;
        if (m_clock.now() >= deadline)
            return false;
        // Each turn moves time forward: to the next scheduled event, or in steps
        // of at most 50 ms so that loops that watch the time see it pass.
        m_clock.advanceToward(std::min(deadline, m_clock.now() + 0.05));
    }
}

void FakeSerialPort::feedLater(double delay, const QByteArray& bytes)
{
    Q_ASSERT(m_clock);
    m_clock->scheduleIn(delay, [this, bytes] { deliver(bytes); });
}

bool FakeSerialPort::openDevice(QString* error)
{
    ++m_opens;
    if (!m_openOk) {
        *error = m_openError;
        setOpenFailure(m_failure);
    }
    return m_openOk;
}

void FakeSerialPort::writeDevice(const QByteArray& bytes)
{
    m_written += bytes;
    m_writes << bytes;
    if (responder)
        responder(bytes);
}

} // namespace gx::test
