#pragma once

// The one place the program waits: waits and pauses that keep the window answering, and stop requests.

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

    // True once the program is ending, or while the running operation has
    // been asked to stop: waits end at once, loops stop at their next turn and
    // no new request is sent. Inside a whole message (pauseWhole) only the
    // program's end counts.
    bool closing() const { return m_closing || (m_stopRequested && m_wholeDepth == 0); }
    void setClosing() { m_closing = true; }
    // For a last step that must still run after an interruption (a hang-up).
    void resetClosing() { m_closing = false; }

    // Asks the running operation to end at its next whole message (a click on
    // Exit, or a way out that must wait for the operation to finish).
    void requestStop() { m_stopRequested = true; }
    void clearStopRequest() { m_stopRequested = false; }
    bool stopRequested() const { return m_stopRequested; }

    // A pause between a command byte and the data that belongs to it: a stop
    // request does not cut it, so nothing is sent into the middle of a message.
    void pauseWhole(double seconds)
    {
        ++m_wholeDepth;
        pause(seconds);
        --m_wholeDepth;
    }
    bool insideWholeMessage() const { return m_wholeDepth > 0; }

private:
    bool m_closing = false;
    bool m_stopRequested = false;
    int m_wholeDepth = 0;
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
