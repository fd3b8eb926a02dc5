// The real gxsim program: started as a process, talked to over its
// pseudo-terminal and its loopback TCP port with plain POSIX calls.

#include "simprocess.h"
#include "simtest.h"

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

using namespace simtest;

namespace {

int openPty(const QString& path)
{
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (fd >= 0) {
        termios t{};
        ::tcgetattr(fd, &t);
        ::cfmakeraw(&t);
        ::cfsetspeed(&t, B9600);
        ::tcsetattr(fd, TCSANOW, &t);
    }
    return fd;
}

// Reads exactly n bytes or until the time-out passes without data.
Bytes readBytes(int fd, std::size_t n, int timeoutMs = 3000)
{
    Bytes out;
    while (out.size() < n) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0)
            break;
        std::uint8_t buf[512];
        const ssize_t got = ::read(fd, buf, std::min(sizeof buf, n - out.size()));
        if (got <= 0)
            break;
        out.insert(out.end(), buf, buf + got);
    }
    return out;
}

Bytes exchange(int fd, const Bytes& request, std::size_t replyLen, int timeoutMs = 3000)
{
    EXPECT_EQ(::write(fd, request.data(), request.size()), ssize_t(request.size()));
    return readBytes(fd, replyLen, timeoutMs);
}

Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

int connectTcp(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(std::uint16_t(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Whether the far end closes the connection within a second.
bool closedByPeer(int fd)
{
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 1000) <= 0)
        return false;
    std::uint8_t b;
    return ::read(fd, &b, 1) <= 0;
}

const std::string kId = "GX520 V2.01     ";

// For requests that must go unanswered: a short wait, nothing may come.
constexpr int kSilenceMs = 300;

QString comSetting(const QString& configDir, const QString& key)
{
    QSettings s(configDir + QStringLiteral("/GX520/GX520.ini"), QSettings::IniFormat);
    return s.value(QStringLiteral("Ports/") + key).toString();
}

} // namespace

TEST(GxsimProgram, ServesItsTerminalAndPutsThePortSettingBackAtTheEnd)
{
    // Ended by the end of its standard input, a COM port it borrowed gets its
    // old device back; ended by SIGTERM, a COM port it added goes again.
    for (const bool borrowed : {true, false}) {
        SCOPED_TRACE(borrowed ? "borrowed COM7, stdin closed" : "new COM2, SIGTERM");
        QTemporaryDir config;
        const QString com = borrowed ? "COM7" : "COM2";
        if (borrowed) {
            QSettings seed(config.path() + QStringLiteral("/GX520/GX520.ini"), QSettings::IniFormat);
            seed.setValue(QStringLiteral("Ports/COM7"), QStringLiteral("/dev/ttyS9"));
        }
        SimProcess sim({"--nodes", "1,3,4", "--com", com.mid(3), "--run", "node 4 off", "--run", "node 3 fault 23 warning"},
                       config.path());
        ASSERT_TRUE(sim.path.startsWith("/dev/")) << sim.path.toStdString();
        EXPECT_EQ(comSetting(config.path(), com), sim.path);
        // Closing and reopening the port, as the program does, keeps the simulator serving.
        for (int open = 0; open < 2; ++open) {
            const int fd = openPty(sim.path);
            ASSERT_GE(fd, 0);
            EXPECT_EQ(exchange(fd, netFrame(3, 4, 0, 2), 7), (Bytes{3, 4, 4, 0, 23, 0, 0})) << "fault 23, state 0";
            EXPECT_TRUE(exchange(fd, netFrame(4, 4, 0, 2), 7, kSilenceMs).empty()) << "node 4 off from the start";
            ::close(fd);
        }
        if (borrowed)
            sim.proc.closeWriteChannel();
        else
            sim.proc.terminate();
        ASSERT_TRUE(sim.proc.waitForFinished(5000));
        EXPECT_EQ(sim.proc.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(sim.proc.exitCode(), 0);
        EXPECT_EQ(comSetting(config.path(), com), borrowed ? QStringLiteral("/dev/ttyS9") : QString());
    }
}

TEST(GxsimProgram, RejectsBadOptions)
{
    for (const QStringList& args : {QStringList{"--model", "GX999"}, {"--model", "GX510", "--nodes", "1"}, {"--nodes", "0,16"},
                                    {"--inject", "late"}, {"--run", "node 9 off"}, {"--tcp", "70000"}, {"--dial-delay", "100"},
                                    {"--modem", "--dial-delay", "-1"}, {"--byte-gap", "x"}, {"--fast", "--byte-gap", "1"}}) {
        QProcess p;
        p.start(QStringLiteral(GXSIM_PATH), args);
        ASSERT_TRUE(p.waitForFinished(5000));
        EXPECT_EQ(p.exitCode(), 2) << args.join(' ').toStdString();
        EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
    }
}

TEST(GxsimProgram, ModemRingsAndCarriesTheNewestFaultOfANetwork)
{
    QTemporaryDir config;
    SimProcess sim({"--modem", "--nodes", "1,3", "--fail-number", "5550199"}, config.path());
    const int fd = openPty(sim.path);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(text(exchange(fd, bytesOf("ATE0V0\r"), 9)), "ATE0V0\r0\r");
    EXPECT_EQ(text(exchange(fd, bytesOf("ATDT5550199\r"), 2)), "3\r");
    EXPECT_EQ(sim.command("node 3 fault 16 shutdown"), QStringLiteral("ok node 3 fault 16 shutdown"));
    EXPECT_EQ(sim.command("call 3"), QStringLiteral("ok ringing: call from node 3"));
    EXPECT_EQ(text(readBytes(fd, 2)), "2\r");
    EXPECT_EQ(text(exchange(fd, bytesOf("ATA\r"), 2)), "1\r");
    const Bytes fault = exchange(fd, {0x1D}, 18);
    ASSERT_EQ(fault.size(), 18u);
    EXPECT_EQ(fault[16], 48);
    EXPECT_EQ(exchange(fd, {0x1F}, 2), (Bytes{3, 16}));
    ::close(fd);
}

TEST(GxsimProgram, TcpPortServesBesideTheTerminal)
{
    QTemporaryDir config;
    SimProcess sim({"--tcp", "0"}, config.path());
    const QString tcpLine = sim.nextLine();
    ASSERT_TRUE(tcpLine.startsWith(QStringLiteral("tcp 127.0.0.1:"))) << tcpLine.toStdString();
    const int port = tcpLine.mid(14).toInt();
    ASSERT_GT(port, 0);

    const int first = connectTcp(port);
    ASSERT_GE(first, 0);
    EXPECT_EQ(text(exchange(first, {0x04}, 16)), kId);
    const int fd = openPty(sim.path);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(exchange(fd, {0x01}, 67).size(), 67u) << "the terminal still serves, its reply stays on it";
    ::close(fd);
    EXPECT_TRUE(sim.command("tcp status").contains(QStringLiteral(" connected, 1 bytes in, 16 bytes out;")));

    // A new connection replaces the current one; tcp drop closes it.
    const int second = connectTcp(port);
    ASSERT_GE(second, 0);
    EXPECT_TRUE(closedByPeer(first));
    EXPECT_EQ(text(exchange(second, {0x04}, 16)), kId);
    EXPECT_TRUE(sim.command("tcp drop").startsWith(QStringLiteral("ok dropped the connection from 127.0.0.1:")));
    EXPECT_TRUE(closedByPeer(second));
    EXPECT_EQ(sim.command("tcp status"),
              QStringLiteral("ok tcp 127.0.0.1:%1: no client; 2 connections, 2 bytes in, 32 bytes out in all").arg(port));
    ::close(first);
    ::close(second);
}
