// The real serial port path, proven on a pseudo-terminal with a tiny responder
// on the master side: open by path through the COM mapping, exchange, and notice
// a line that vanished.

#include "linkfixture.h"
#include "simprocess.h"

#include "link/protocol.h"
#include "platform/filestore.h"
#include "platform/portnames.h"
#include "platform/qtserialport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QSocketNotifier>

#include <memory>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

using namespace gx;
using namespace gx::test;

namespace {

struct Pty {
    int master = -1;
    int slave = -1;
    QString path;
    Pty()
    {
        char name[128] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
            return;
        termios t;
        ::tcgetattr(slave, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(slave, TCSANOW, &t);
        path = QString::fromLatin1(name);
    }
    ~Pty()
    {
        if (master >= 0)
            ::close(master);
        if (slave >= 0)
            ::close(slave);
    }
};

struct RealLink {
    SteadyClock clock;
    EventLoopWaiter waiter{clock};
    FakeSettingsStore settings;
    QtSerialPort port{settings};
    FakeDialogs dialogs;
    RecordingStatus status;
    Link link{Link::Platform{port, waiter, settings, dialogs, status}};
};

} // namespace

TEST(RealPort, identificationOverAPseudoTerminal)
{
    Pty pty;
    ASSERT_FALSE(pty.path.isEmpty());
    RealLink r;
    r.settings.useLocal("1", pty.path);

    // Stale bytes written before the program opened its port must not reach it.
    ASSERT_EQ(::write(pty.master, "junk", 4), 4);
    r.link.openCommunications();
    ASSERT_TRUE(r.port.portOpen()) << r.port.errorString().toStdString();
    EXPECT_EQ(r.port.systemName(), pty.path);

    QByteArray received;
    QSocketNotifier responder(pty.master, QSocketNotifier::Read);
    QObject::connect(&responder, &QSocketNotifier::activated, [&] {
        char buf[64];
        const ssize_t n = ::read(pty.master, buf, sizeof buf);
        if (n <= 0)
            return;
        received.append(buf, int(n));
        if (received.endsWith(cmd::Identify)) {
            // Answer in two pieces, as a slow line would.
            ASSERT_EQ(::write(pty.master, "GX510 V", 7), 7);
            ASSERT_EQ(::write(pty.master, "1.01     ", 9), 9);
        }
    });
    // A piece of an earlier reply that came too late, fewer bytes than any reply:
    // the driver holds it, and the next exchange must throw it away unseen.
    r.port.setRThreshold(16);
    ASSERT_EQ(::write(pty.master, "late piece", 10), 10);
    r.waiter.pause(0.05);
    r.link.uploadID();
    EXPECT_EQ((std::tuple{r.link.ProgStatus, r.link.ID, r.link.Instrument, r.link.FirmVersion}),
              (std::tuple{QString(), QString("GX510 V1.01     "), QString("GX510"), 1.01}));
    EXPECT_EQ(received, QByteArray(1, cmd::Identify));
}

TEST(RealPort, theReadPathInEveryState)
{
    // One pseudo-terminal, one port, a walk through the states the program
    // puts the port in. Each step: close and reopen first or not, the
    // threshold, the pieces the line delivers (a gap of a few milliseconds
    // between them), and then the bytes waiting and the receive events raised.
    // A reply in one piece, a profile longer than one driver count and the
    // modem's dialogue after polling: every EndToEnd run on the simulator.
    Pty pty;
    ASSERT_FALSE(pty.path.isEmpty());
    SteadyClock clock;
    EventLoopWaiter waiter{clock};
    FakeSettingsStore settings;
    settings.useLocal("1", pty.path);
    QtSerialPort port{settings};
    ASSERT_TRUE(port.setPortOpen(true));
    int events = 0;
    QObject::connect(&port, &SerialPort::onComm, [&] { ++events; });
    const QByteArray id("GX520 V2.01     ");
    const struct {
        const char* what;
        bool reopen;
        int threshold;
        QList<QByteArray> pieces;
        int waiting;  // bytes the program holds afterwards
        int raised;   // receive events raised
    } steps[] = {
        {"modem dialogue: every byte is taken", false, 0, {"O", "K", "\r\n"}, 4, 0},
        {"a reply in pieces raises one event", false, 16, {id.left(3), id.mid(3, 9), id.mid(12)}, 16, 1},
        {"reopened: nothing carried over", true, 0, {"R", "ING"}, 4, 0},
        {"reopened, then a reply", true, 16, {id.left(8), id.mid(8)}, 16, 1},
        {"a reply that stops short stays in the driver", false, 16, {id.left(5)}, 0, 0},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        if (s.reopen) {
            port.setPortOpen(false);
            ASSERT_TRUE(port.setPortOpen(true));
        }
        port.discardInput();
        port.setRThreshold(s.threshold);
        events = 0;
        for (const QByteArray& piece : s.pieces) {
            ASSERT_EQ(::write(pty.master, piece.constData(), size_t(piece.size())), piece.size());
            waiter.pause(0.004);
        }
        waiter.waitUntil([&] { return port.inBufferCount() >= s.waiting && events >= s.raised; }, 0.5);
        waiter.pause(0.02);
        EXPECT_EQ(port.inBufferCount(), s.waiting);
        EXPECT_EQ(events, s.raised);
    }
    // A short reply is counted as short by the link tests (on the fake port);
    // the bytes it leaves behind are thrown away: identificationOverAPseudoTerminal.
}

TEST(RealPort, aMissingDeviceCannotBeOpened)
{
    RealLink r;
    r.settings.useLocal("4", "/dev/no-such-tty");
    r.link.openCommunications();
    EXPECT_TRUE(r.link.PortOpenError);
    ASSERT_EQ(r.dialogs.informed.size(), 1);
    EXPECT_TRUE(r.dialogs.informed[0].startsWith(QStringLiteral("can't open COM 4\n/dev/no-such-tty: no such device.")))
        << qPrintable(r.dialogs.informed[0]);
}

TEST(PortFailure, TheCauseFollowsFromTheDeviceFileAndQtsError)
{
    const struct {
        bool exists, readWritable;
        QSerialPort::SerialPortError error;
        PortTrouble cause;
    } rows[] = {
        {false, true, QSerialPort::DeviceNotFoundError, PortTrouble::NoSuchDevice},
        {true, true, QSerialPort::DeviceNotFoundError, PortTrouble::NoSuchDevice},
        {true, false, QSerialPort::PermissionError, PortTrouble::NoPermission},
        {true, true, QSerialPort::PermissionError, PortTrouble::Busy},  // EBUSY, or another program's lock file
        {true, true, QSerialPort::ResourceError, PortTrouble::NoSuchDevice},  // ttyS2 with no hardware
        {true, true, QSerialPort::UnknownError, PortTrouble::Other},
    };
    for (const auto& r : rows)
        EXPECT_EQ(classifyOpenFailure(r.exists, r.readWritable, r.error), r.cause)
            << r.exists << r.readWritable << int(r.error);
}

TEST(PortFailure, AnAdapterIsFoundByItsStablePath)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("dev/serial/by-id"));
    FileStore files;
    ASSERT_TRUE(files.write(dir.filePath("dev/ttyUSB1"), {}, nullptr));
    ASSERT_TRUE(files.write(dir.filePath("dev/ttyUSB0"), {}, nullptr));
    const QString byId = dir.filePath("dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K1234-if00-port0");
    ASSERT_TRUE(QFile::link("../../ttyUSB1", byId));
    EXPECT_EQ(stablePathOf(dir.filePath("dev/ttyUSB1"), dir.filePath("dev/serial/by-id")), byId);
    EXPECT_EQ(stablePathOf(dir.filePath("dev/ttyUSB0"), dir.filePath("dev/serial/by-id")), QString());
}

// ---- A serial gateway on TCP (loopback only): the simulator's ----

TEST(TcpPort, NoticesADroppedConnectionAndConnectsAgain)
{
    auto sim = std::make_unique<SimProcess>(QStringList{"--tcp", "0"});
    const QString tcp = sim->nextLine();
    ASSERT_TRUE(tcp.startsWith("tcp 127.0.0.1:")) << tcp.toStdString();
    RealLink r;
    r.settings.useLocal("4", "tcp://" + tcp.mid(4));
    r.link.openCommunications();
    ASSERT_TRUE(r.port.portOpen()) << r.port.errorString().toStdString();
    EXPECT_TRUE(r.dialogs.informed.isEmpty());
    r.link.uploadID();
    ASSERT_TRUE(r.link.ProgStatus.isEmpty()) << r.link.ProgStatus.toStdString();

    // Polling through a gateway: the EndToEnd runs behind one. Here the
    // gateway drops the line: reported once, and the next exchange connects again.
    QSignalSpy lost(&r.port, &SerialPort::portLost);
    EXPECT_TRUE(sim->command("tcp drop").startsWith("ok dropped"));
    QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 3000);
    EXPECT_FALSE(r.port.portOpen());
    r.link.ensureOpen();
    r.link.ID.clear();
    r.link.uploadID();
    EXPECT_TRUE(r.link.ProgStatus.isEmpty()) << r.link.ProgStatus.toStdString();
    EXPECT_FALSE(r.link.ID.isEmpty());

    // Nothing listening: the same message as a port that cannot be opened.
    r.port.setPortOpen(false);
    sim.reset();
    r.link.openCommunications();
    EXPECT_FALSE(r.port.portOpen());
    EXPECT_TRUE(r.dialogs.informed.value(0).startsWith("can't open COM 4\ntcp://127.0.0.1:"))
        << qPrintable(r.dialogs.informed.value(0));
}
