// The real gxsim program: started as a process, talked to over its
// pseudo-terminal with plain POSIX calls.

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

int openPty(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY);
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

// For requests that must go unanswered: a short wait, nothing may come.
constexpr int kSilenceMs = 300;

QString comSetting(const QString& configDir, const QString& key)
{
    QSettings s(configDir + QStringLiteral("/GX520/GX520.ini"), QSettings::IniFormat);
    return s.value(QStringLiteral("Ports/") + key).toString();
}

struct Program {
    explicit Program(const QStringList& args, const QString& configDir)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), configDir);
        proc.setProcessEnvironment(env);
        proc.start(QStringLiteral(GXSIM_PATH), args);
        if (proc.waitForStarted(5000) && proc.waitForReadyRead(5000) && proc.canReadLine())
            path = proc.readLine().trimmed();
    }
    ~Program()
    {
        if (proc.state() != QProcess::NotRunning) {
            proc.terminate();
            if (!proc.waitForFinished(3000))
                proc.kill();
        }
    }
    QString command(const QByteArray& line)
    {
        proc.write(line + '\n');
        while (!proc.canReadLine())
            if (!proc.waitForReadyRead(3000))
                return {};
        return QString::fromUtf8(proc.readLine()).trimmed();
    }
    QProcess proc;
    QByteArray path;
};

} // namespace

TEST(GxsimProgram, ServesIdentificationAndStatusOnItsTerminal)
{
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    {
        QSettings seed(config.path() + QStringLiteral("/GX520/GX520.ini"), QSettings::IniFormat);
        seed.setValue(QStringLiteral("Ports/COM7"), QStringLiteral("/dev/ttyS9"));
    }
    Program sim({QStringLiteral("--fast"), QStringLiteral("--com"), QStringLiteral("7")}, config.path());
    ASSERT_TRUE(sim.path.startsWith("/dev/")) << sim.path.constData();
    EXPECT_EQ(comSetting(config.path(), QStringLiteral("COM7")), QString::fromUtf8(sim.path));

    int fd = openPty(sim.path);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(text(exchange(fd, {0x04}, 16)), "GX520 V2.01     ");
    const Bytes s = exchange(fd, {0x01}, 67);
    ASSERT_EQ(s.size(), 67u);
    EXPECT_EQ(sum(s, 0, 64), u16(s, 65));
    EXPECT_EQ(s[1], 0);

    // Closing and reopening the port, as the program does, keeps the simulator serving.
    ::close(fd);
    fd = openPty(sim.path);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(sim.command("fault 16"), QStringLiteral("ok node 1 fault 16 shutdown"));
    const Bytes s2 = exchange(fd, {0x01}, 67);
    ASSERT_EQ(s2.size(), 67u);
    EXPECT_EQ(s2[0], 16);
    EXPECT_EQ(s2[1], 5);

    EXPECT_EQ(sim.command("inject drop"), QStringLiteral("ok inject drop 1"));
    ::tcflush(fd, TCIFLUSH); // nothing left over from before may count as an answer
    EXPECT_TRUE(exchange(fd, {0x04}, 16, kSilenceMs).empty());
    EXPECT_EQ(exchange(fd, {0x04}, 16).size(), 16u);
    ::close(fd);

    // End of standard input ends the program and puts the old port back.
    sim.proc.closeWriteChannel();
    ASSERT_TRUE(sim.proc.waitForFinished(5000));
    EXPECT_EQ(sim.proc.exitCode(), 0);
    EXPECT_EQ(comSetting(config.path(), QStringLiteral("COM7")), QStringLiteral("/dev/ttyS9"));
}

TEST(GxsimProgram, NetworkNodesAnswerFramesAndTerminationRemovesNewSetting)
{
    QTemporaryDir config;
    Program sim({QStringLiteral("--fast"), QStringLiteral("--nodes"), QStringLiteral("1,3,4"), QStringLiteral("--com"),
                 QStringLiteral("2"), QStringLiteral("--run"), QStringLiteral("node 4 off")},
                config.path());
    ASSERT_TRUE(sim.path.startsWith("/dev/"));
    const int fd = openPty(sim.path);
    ASSERT_GE(fd, 0);
    const Bytes q = exchange(fd, netFrame(3, 4, 0, 2), 7);
    ASSERT_EQ(q.size(), 7u);
    EXPECT_EQ(q[0], 3);
    EXPECT_TRUE(exchange(fd, netFrame(2, 4, 0, 2), 7, kSilenceMs).empty()) << "no node 2";
    EXPECT_TRUE(exchange(fd, netFrame(4, 4, 0, 2), 7, kSilenceMs).empty()) << "node 4 off from the start";
    EXPECT_EQ(text(exchange(fd, {0x04}, 16)), "GX520 V2.01     ") << "lowest node answers the direct framing";
    ::close(fd);

    sim.proc.terminate(); // SIGTERM
    ASSERT_TRUE(sim.proc.waitForFinished(5000));
    EXPECT_EQ(sim.proc.exitStatus(), QProcess::NormalExit);
    EXPECT_TRUE(comSetting(config.path(), QStringLiteral("COM2")).isEmpty());
}

TEST(GxsimProgram, RejectsBadOptions)
{
    for (const QStringList& args : {QStringList{QStringLiteral("--model"), QStringLiteral("GX999")},
                                    QStringList{QStringLiteral("--model"), QStringLiteral("GX510"), QStringLiteral("--nodes"), QStringLiteral("1")},
                                    QStringList{QStringLiteral("--nodes"), QStringLiteral("0,16")},
                                    QStringList{QStringLiteral("--inject"), QStringLiteral("late")},
                                    QStringList{QStringLiteral("--run"), QStringLiteral("node 9 off")}}) {
        QProcess p;
        p.start(QStringLiteral(GXSIM_PATH), args);
        ASSERT_TRUE(p.waitForFinished(5000));
        EXPECT_EQ(p.exitCode(), 2) << args.join(' ').toStdString();
        EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
    }
}
