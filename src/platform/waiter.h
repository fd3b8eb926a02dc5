#pragma once

#include <functional>
#include <memory>

class QTimer;

namespace gx {

class Clock;

// The one place where the program waits. Every exchange, pause and long-running
// loop yields to the user interface through it, so clicks keep working while a
// controller is being asked for something.
class Waiter {
public:
    virtual ~Waiter() = default;

    // Runs pending user-interface events, then returns without blocking.
    virtual void yieldOnce() = 0;

    // Yields until done() is true or `seconds` have passed. Returns done().
    // Also returns (false) as soon as the program is closing.
    virtual bool waitUntil(const std::function<bool()>& done, double seconds) = 0;

    // The clock the waits measure time by.
    virtual const Clock& clock() const = 0;

    // Waits the given time while yielding; ends early only when the program closes.
    void pause(double seconds) { waitUntil([] { return false; }, seconds); }

    // Set once the main window is closing: waits end at once, loops must stop.
    bool closing() const { return m_closing; }
    void setClosing() { m_closing = true; }
    // For a last step that must still run after an interruption (a hang-up).
    void resetClosing() { m_closing = false; }

private:
    bool m_closing = false;
};

// Blocks in the Qt event loop until an event arrives or the deadline passes:
// an idle wait costs almost no CPU.
class EventLoopWaiter final : public Waiter {
public:
    explicit EventLoopWaiter(const Clock& clock);
    ~EventLoopWaiter() override;
    void yieldOnce() override;
    bool waitUntil(const std::function<bool()>& done, double seconds) override;
    const Clock& clock() const override { return m_clock; }

private:
    const Clock& m_clock;
    // One wake-up timer for every wait (waits nest: each takes it over and
    // puts back the deadline of the wait around it).
    std::unique_ptr<QTimer> m_wake;
};

} // namespace gx
