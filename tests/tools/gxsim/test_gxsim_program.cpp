// The real gxsim program: started as a process, talked to over its
// pseudo-terminal with plain POSIX calls.

#include "simprocess.h"
#include "simtest.h"

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <fcntl.h>
#include <poll.h>
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

// Sends the request, then reads exactly replyLen bytes or until the time-out
// passes without data.
Bytes exchange(int fd, const Bytes& request, std::size_t replyLen, int timeoutMs = 3000)
{
    EXPECT_EQ(::write(fd, request.data(), request.size()), ssize_t(request.size()));
    Bytes out;
    while (out.size() < replyLen) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0)
            break;
        std::uint8_t buf[512];
        const ssize_t got = ::read(fd, buf, std::min(sizeof buf, replyLen - out.size()));
        if (got <= 0)
            break;
        out.insert(out.end(), buf, buf + got);
    }
    return out;
}

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
