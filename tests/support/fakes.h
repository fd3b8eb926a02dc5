#pragma once

// Fakes of the platform seams: a clock that tests move, a waiter that jumps the
// clock instead of sleeping, a serial port that records writes and answers as a
// test tells it, an in-memory settings store, scripted dialogs and desktop.

#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/filedialogs.h"
#include "platform/filestore.h"
#include "platform/printer.h"
#include "platform/serialport.h"
#include "platform/settingsstore.h"
#include "platform/waiter.h"

#include <QMap>
#include <QStringList>

#include <deque>
#include <functional>
#include <map>

#include <ostream>

// Qt strings in test failures, as text.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace gx::test {

// A clock that only moves when told. Actions can be scheduled at a time; they run
// when the clock passes it.
class FakeClock final : public Clock {
public:
    double now() const override { return m_now; }
    void schedule(double at, std::function<void()> action) { m_actions.emplace(at, std::move(action)); }
    void scheduleIn(double delay, std::function<void()> action) { schedule(m_now + delay, std::move(action)); }
    // Moves to the earliest scheduled action at or before `limit` and runs it,
    // or to `limit` when none is due.
    void advanceToward(double limit);

private:
    double m_now = 1000.0;
    std::multimap<double, std::function<void()>> m_actions;
};

// Waits by moving the fake clock: a 40-second time-out takes microseconds.
class FakeWaiter final : public Waiter {
public:
    explicit FakeWaiter(FakeClock& clock) : m_clock(clock) {}
    void yieldOnce() override;
    bool waitUntil(const std::function<bool()>& done, double seconds) override;
    const Clock& clock() const override { return m_clock; }
    // Called on every yield; a test can click buttons or stop a loop from here.
    std::function<void()> onYield;

private:
    FakeClock& m_clock;
};

class FakeSerialPort final : public SerialPort {
    Q_OBJECT
public:
    explicit FakeSerialPort(FakeClock* clock = nullptr) : m_clock(clock) {}

    // What the program wrote, every byte in order, and each write separately.
    QByteArray written() const { return m_written; }
    QList<QByteArray> writes() const { return m_writes; }
    void clearWritten() { m_written.clear(); m_writes.clear(); }

    // Bytes arriving from the line now, or after a delay on the fake clock.
    void feed(const QByteArray& bytes) { deliver(bytes); }
    void feedLater(double delay, const QByteArray& bytes);

    // Called after every write, with that write; answer from here.
    std::function<void(const QByteArray&)> responder;
    // Called when the program closes the port (a modem behind it hangs up).
    std::function<void()> onClose;

    // A failing open says why as a real device would: the cause, the device
    // and what goes with the cause (the group, the devices there are now).
    void setOpenResult(bool ok, const QString& error = QStringLiteral("no such device"),
                       const PortOpenFailure& failure = {PortTrouble::NoSuchDevice, QStringLiteral("/dev/ttyUSB0"),
                                                         QStringLiteral("No such file or directory"), {}, {}})
    {
        m_openOk = ok;
        m_openError = error;
        m_failure = failure;
    }
    int openCount() const { return m_opens; }
    void injectLoss(const QString& reason) { lost(reason); }

protected:
    bool openDevice(QString* error) override;
    void closeDevice() override
    {
        if (onClose)
            onClose();
    }
    void writeDevice(const QByteArray& bytes) override;

private:
    FakeClock* m_clock;
    QByteArray m_written;
    QList<QByteArray> m_writes;
    bool m_openOk = true;
    QString m_openError;
    PortOpenFailure m_failure;
    int m_opens = 0;
};

class FakeSettingsStore final : public SettingsStore {
public:
    QString value(const QString& section, const QString& key, const QString& def = QString()) const override
    {
        return m_values.value(section + QLatin1Char('/') + key, def);
    }
    void setValue(const QString& section, const QString& key, const QString& v) override
    {
        m_values.insert(section + QLatin1Char('/') + key, v);
    }
    bool contains(const QString& section, const QString& key) const
    {
        return m_values.contains(section + QLatin1Char('/') + key);
    }
    // The line the program starts on: COM `port` direct (on `device` when given),
    // or COM `port` through the modem.
    void useLocal(const QString& port = "1", const QString& device = {})
    {
        if (!device.isEmpty())
            setValue("Ports", "COM" + port, device);
        setSetting("use", "local");
        setSetting("CurrentPort", port);
    }
    void useRemote(const QString& port = "2")
    {
        setSetting("use", "remote");
        setSetting("CurrentModemPort", port);
    }

private:
    QMap<QString, QString> m_values;
};

class FakeDialogs final : public Dialogs {
public:
    Answer askOkCancel(const QString& text, const QString& title) override
    {
        asked << text + QStringLiteral(" | ") + title;
        if (answers.empty())
            return Ok;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void inform(const QString& text, const QString& title) override
    {
        informed << (title.isEmpty() ? text : text + QStringLiteral(" | ") + title);
        if (onInform)
            onInform(text);
    }
    void warn(const QString& text, const QString& title) override { inform(text, title + QStringLiteral(" (!)")); }
    std::deque<Answer> answers;
    QStringList asked;
    QStringList informed;
    std::function<void(const QString&)> onInform;
};

class FakeDesktop final : public Desktop {
public:
    void beep() override { ++beeps; }
    bool openUrl(const QUrl& url) override
    {
        urls << url;
        return true;
    }
    QString systemInfoTool() const override { return {}; }  // none on this machine
    bool startSystemInfo() override { return false; }
    bool notify(const QString& title, const QString& text) override
    {
        if (tray)
            notifications << title + QStringLiteral(" | ") + text;
        return tray;
    }
    int beeps = 0;
    QList<QUrl> urls;
    bool tray = true;  // false: a desktop without a notification area
    QStringList notifications;
};

// File dialogs answered from a queue of paths ("" is Cancel); every call is
// recorded as "save|load title | folder | filter".
class FakeFileDialogs final : public FileDialogs {
public:
    QString getSaveFileName(const QString& title, const QString& folder, const QString& filter) override
    {
        return answer(QStringLiteral("save ") + title, folder, filter);
    }
    QString getOpenFileName(const QString& title, const QString& folder, const QString& filter) override
    {
        return answer(QStringLiteral("open ") + title, folder, filter);
    }
    QString getExistingDirectory(const QString& title, const QString& folder) override
    {
        return answer(QStringLiteral("folder ") + title, folder, QString());
    }
    std::deque<QString> paths;
    QStringList calls;

private:
    QString answer(const QString& what, const QString& folder, const QString& filter)
    {
        calls << what + QStringLiteral(" | ") + folder + QStringLiteral(" | ") + filter;
        if (paths.empty())
            return QString();
        const QString p = paths.front();
        paths.pop_front();
        return p;
    }
};

// Keeps every document it is given; with pdfPath set it writes the PDF there,
// as the preview's "Save as PDF" does.
class FakePrinter final : public Printer {
public:
    bool available() const override { return true; }
    void setup() override {}
    Outcome print(const PrintDocument& document, QString* error) override
    {
        documents << document;
        if (onPrint)
            onPrint();
        if (!pdfPath.isEmpty())
            return writePdf(document, pdfPath, error) ? Outcome::SavedAsPdf : Outcome::Failed;
        return Outcome::Printed;
    }
    QString pdfPath;
    QList<PrintDocument> documents;
    std::function<void()> onPrint;
};

} // namespace gx::test
