#pragma once

// The whole program against the controller simulator on a real pseudo-terminal:
// the real serial port, clock and waits; only dialogs and settings are fakes.

#include "shellfixture.h"
#include "simprocess.h"

#include "platform/qtserialport.h"

#include <QElapsedTimer>
#include <QTimer>

namespace gx::test {

// The monotonic clock run faster: the program's own pauses pass sooner, while
// the simulator keeps the line's real pace.
class FastClock final : public Clock {
public:
    explicit FastClock(double speed) : m_speed(speed) { m_timer.start(); }
    double now() const override { return m_timer.nsecsElapsed() / 1e9 * m_speed; }

private:
    QElapsedTimer m_timer;
    double m_speed;
};

struct Program {
    QTemporaryDir dir;
    SimProcess sim;
    FastClock clock;
    EventLoopWaiter waiter{clock};
    FakeSettingsStore settings;
    FakeDialogs dialogs;
    FakeDesktop desktop;
    QtSerialPort port{settings};
    FakeFileDialogs fileDialogs;
    FileStore files;
    FakePrinter printer;
    bool cd = QDir::setCurrent(QStringLiteral(GX_TEST_DATA_DIR));
    FormMonitor window{Platform{port, clock, waiter, settings, dialogs, desktop, fileDialogs, files, printer}};

    // The simulator paces every byte at 9600 baud, modem results included, as
    // the field's lines do.
    explicit Program(QStringList simArgs, const QString& nodeCount = QString(), double clockSpeed = 1.0)
        : sim((simArgs << QStringLiteral("--trace") << dir.filePath("trace"))), clock(clockSpeed)
    {
        settings.useLocal("1", sim.path);
        if (!nodeCount.isEmpty())
            settings.setSetting(QStringLiteral("Node count"), nodeCount);
        installProgram(window);
        window.Form_Load();
    }
    Monitoring& monitoring() { return *window.findChild<Monitoring*>(); }
    MonitorScreen& screen() { return monitoring().screen(); }
    NetworkScreen& network() { return monitoring().network(); }
    QString lcd() { return screen().TextLCD->toPlainText(); }

    // The simulator's trace, and every request it received, as hex, in order.
    // A command answered first means the simulator has taken in everything
    // sent before it: on a loaded machine it may not have yet.
    QString trace()
    {
        sim.command("status");
        QFile f(dir.filePath("trace"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    QStringList received()
    {
        QStringList out;
        for (const QString& line : trace().split('\n'))
            if (line.contains(" RX"))
                out << line.mid(line.lastIndexOf(": ") + 2).remove(' ').toLower();
        return out;
    }
};

// Steps run one after another while the program's own loops run: each waits
// for its condition, then acts. The script fails the test and stops the
// monitors when it runs out of time.
class Script {
public:
    explicit Script(FormMonitor& w, double seconds = 30) : m_window(w)
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
        m_deadline.start();
        m_seconds = seconds;
    }
    Script& then(const char* what, std::function<bool()> ready, std::function<void()> act = {})
    {
        m_steps.push_back({what, std::move(ready), std::move(act)});
        return *this;
    }
    void start() { m_timer.start(); }
    bool finished() const { return m_next == m_steps.size(); }
    QString stuckAt() const { return finished() ? QString() : QString::fromLatin1(m_steps[m_next].what); }

private:
    struct Step {
        const char* what;
        std::function<bool()> ready;
        std::function<void()> act;
    };
    void tick()
    {
        if (m_busy)
            return;
        m_busy = true;
        while (m_next < m_steps.size() && m_steps[m_next].ready()) {
            auto act = m_steps[m_next].act;
            ++m_next;
            if (act)
                act();
        }
        if (finished() || m_deadline.elapsed() > m_seconds * 1000) {
            m_timer.stop();
            m_window.StatusUpdate = false;
            if (auto* quit = m_window.findChild<QPushButton*>(QStringLiteral("CommandMonitorNetwork")))
                quit->setEnabled(false);
            auto* quitLog = m_window.findChild<QPushButton*>(QStringLiteral("CommandQuitLog"));
            if (quitLog && !finished())
                quitLog->click();
        }
        m_busy = false;
    }
    FormMonitor& m_window;
    QTimer m_timer;
    QElapsedTimer m_deadline;
    double m_seconds;
    std::vector<Step> m_steps;
    size_t m_next = 0;
    bool m_busy = false;
};

} // namespace gx::test
