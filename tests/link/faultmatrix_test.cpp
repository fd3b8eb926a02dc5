// Every line fault the simulator can make, crossed with every operation of the
// link, on the real serial port: nothing hangs or crashes, each failure shows
// its own message, and the same operation succeeds once the fault is cleared.
// The matrix is printed as a table.

#include "linkfixture.h"
#include "simprocess.h"

#include "link/link.h"
#include "platform/qtserialport.h"
#include "profile/profileimage.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <functional>

using namespace gx;
using namespace gx::test;

namespace {

// A monotonic clock that can run fast: while a fault keeps the line silent,
// every wait's time-out passes in a few milliseconds.
class SkipClock final : public Clock {
public:
    SkipClock()
    {
        m_steady.start();
        m_tick.setInterval(5);
        QObject::connect(&m_tick, &QTimer::timeout, [this] { m_offset += 0.25; });
    }
    double now() const override { return m_steady.nsecsElapsed() / 1e9 + m_offset; }
    void setSkipping(bool on) { on ? m_tick.start() : m_tick.stop(); }

private:
    QElapsedTimer m_steady;
    QTimer m_tick;
    double m_offset = 0;
};

struct Line {
    SkipClock clock;
    EventLoopWaiter waiter{clock};
    FakeSettingsStore settings;
    FakeDialogs dialogs;
    RecordingStatus status;
    QtSerialPort port{settings};
    Link link{Link::Platform{port, waiter, settings, dialogs, status}};
    std::unique_ptr<SimProcess> sim;

    void startSim()
    {
        sim = std::make_unique<SimProcess>(QStringList{"--nodes", "1,2,3"});
        settings.setValue("Ports", "COM1", sim->path);
        settings.setSetting("use", "local");
        settings.setSetting("CurrentPort", "1");
        if (port.portOpen())
            port.setPortOpen(false);
        link.openCommunications();
    }
    QString lastError() const
    {
        for (qsizetype i = status.shown.size() - 1; i >= 0; --i)
            if (status.shown[i].endsWith("|1"))
                return status.shown[i].section('|', 0, 0);
        return {};
    }
};

// One operation: "" on success, else what it reported.
using Operation = std::function<QString(Line&)>;

QString identify(Line& l)
{
    l.link.NetworkMode = false;
    l.link.ProgStatus.clear();
    l.link.uploadID();
    return l.link.ProgStatus.isEmpty() ? QString() : l.lastError();
}

QString profileUpload(Line& l)
{
    l.link.NetworkMode = false;
    l.link.uploadProfile();
    return l.link.ProgStatus.isEmpty() ? QString() : l.lastError();
}

QString statusPoll(Line& l)
{
    l.link.NetworkMode = false;
    l.link.FirmVersion = 2.01;
    l.port.setInputMode(SerialPort::BinaryMode);
    const bool keepGoing = true;
    // The monitor shows this message box when all five attempts fail.
    return l.link.fetchMonitorStatus(keepGoing) == Link::Fetch::Ok ? QString()
                                                                    : QStringLiteral("Communication error: Status upload");
}

QString networkPass(Line& l)
{
    l.link.NetworkMode = true;
    QStringList silent;
    for (int node = 1; node <= 3; ++node) {
        l.link.Address = node;
        l.link.ensureOpen();
        if (!l.link.exchange(SerialPort::BinaryMode, 7, l.link.GotQuickStatus, net::readInputFrame(node, 0, 2), 2.0))
            silent << QString::number(node);
    }
    l.link.NetworkMode = false;
    return silent.isEmpty() ? QString() : QStringLiteral("no quick status from node ") + silent.join(',');
}

QString download(Line& l)
{
    Profile working;
    for (int i = 0; i < 28; ++i)
        working.SysValue[size_t(i)] = 10;
    const auto data = Link::prepareDownload(working, nullptr);
    l.link.ensureOpen();
    return l.link.downloadProfile(data->image, data->text) == Link::Download::Ok ? QString() : l.lastError();
}

QString textUpload(Line& l)
{
    l.link.NetworkMode = false;
    l.link.ensureOpen();
    l.link.ProgStatus.clear();
    l.link.uploadProfileText();
    return l.link.ProgStatus.isEmpty() ? QString() : l.lastError();
}

} // namespace

TEST(FaultMatrix, EveryFaultCrossedWithEveryOperationEndsAndRecovers)
{
    const std::pair<const char*, Operation> operations[] = {
        {"identify", identify}, {"profile upload", profileUpload}, {"status poll", statusPoll},
        {"network pass", networkPass}, {"download", download}, {"text upload", textUpload}};
    struct Fault {
        const char* name;
        const char* set;    // simulator command ("" for the closed terminal)
        const char* clear;
        bool silent;        // the line says nothing: time-outs may pass quickly
        const char* expected[6];  // per operation: "" success, else the message
    };
    const char* NoId = "No ID received from GX510-520";
    const char* NoProfile = "Profile upload error";
    const char* NoStatus = "Communication error: Status upload";
    const char* NoDownload = "Status update error: download failed";
    const char* NoText = "Profile-text error";
    const Fault faults[] = {
        {"silence", "inject drop always", "inject clear", true,
         {NoId, NoProfile, NoStatus, "no quick status from node 1,2,3", NoDownload, NoText}},
        {"late reply (0.8 s)", "inject late 800 always", "inject clear", false, {"", "", "", "", "", ""}},
        {"reply in pieces", "inject split 4 30 always", "inject clear", false, {"", "", "", "", "", ""}},
        {"garbage before", "inject garbage 5 always", "inject clear", false, {"", NoProfile, NoStatus, "", NoDownload, ""}},
        {"bad checksum", "inject badsum always", "inject clear", false, {"", NoProfile, NoStatus, "", NoDownload, ""}},
        {"node goes away", "node 1 off", "node 1 on", true,
         {NoId, NoProfile, NoStatus, "no quick status from node 1", NoDownload, NoText}},
        {"terminal closed", "", "", true,
         {NoId, NoProfile, NoStatus, "no quick status from node 1,2,3", NoDownload, NoText}},
    };

    Line line;
    line.startSim();
    ASSERT_TRUE(line.port.portOpen());
    QStringList table;
    table << QString("%1").arg("fault", -20) + [&] {
        QString h;
        for (const auto& [name, op] : operations)
            h += QString(" | %1").arg(name, -14);
        return h;
    }();
    int failed = 0;
    for (const Fault& f : faults) {
        QString row = QString("%1").arg(f.name, -20);
        for (int o = 0; o < 6; ++o) {
            const auto& [opName, op] = operations[o];
            if (*f.set)
                line.sim->command(f.set);
            else
                line.sim.reset();  // the terminal goes away under the program
            line.clock.setSkipping(f.silent);
            QElapsedTimer took;
            took.start();
            const QString got = op(line);
            line.clock.setSkipping(false);
            if (*f.set)
                line.sim->command(f.clear);
            else
                line.startSim();
            const QString again = op(line);
            const bool ok = got == QLatin1String(f.expected[o]) && again.isEmpty();
            failed += !ok;
            EXPECT_EQ(got.toStdString(), f.expected[o]) << f.name << " / " << opName;
            EXPECT_EQ(again.toStdString(), "") << f.name << " / " << opName << ": after the fault cleared";
            row += QString(" | %1").arg(QString(ok ? "passed" : "FAILED") + (got.isEmpty() ? "" : " (msg)"), -14);
        }
        table << row;
    }
    std::printf("\n%s\n(msg): the operation failed with its own message, as it should; then it succeeded once the fault was cleared\n%d of %d cells passed\n", qPrintable(table.join(QLatin1Char(10))), 42 - failed, 42);
}
