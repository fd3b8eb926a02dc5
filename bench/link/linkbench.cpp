// Figures for the serial link: CPU used while a wait idles, and how long an
// identification exchange over a pseudo-terminal takes beyond its wire time when
// the far end answers at 9600 baud (about 1.04 ms a byte).

#include "../benchargs.h"
#include "../benchplatform.h"

#include "link/link.h"
#include "link/protocol.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <ctime>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

using namespace gx;
using namespace bench;

namespace {

// The far end: answers each 0x04 with a 16-character identification, one byte
// every 1.04 ms after a 2 ms turnaround.
[[noreturn]] void responder(int master)
{
    const char id[] = "GX520 V2.01     ";
    for (;;) {
        char c;
        const ssize_t n = ::read(master, &c, 1);
        if (n <= 0)
            _exit(0);
        if (c != 0x04)
            continue;
        timespec t;
        clock_gettime(CLOCK_MONOTONIC, &t);
        long long next = t.tv_sec * 1000000000LL + t.tv_nsec + 2000000LL;
        for (int i = 0; i < 16; ++i) {
            timespec at{time_t(next / 1000000000LL), long(next % 1000000000LL)};
            clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr);
            if (::write(master, id + i, 1) != 1)
                _exit(0);
            next += (long long)(ByteTime * 1e9);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    const bench::Args args(argc, argv, "linkbench [IDLE_SECONDS]", {}, {}, 1);
    QCoreApplication app(argc, argv);
    const double idleSeconds = args.at(0, 10.0);
    const int exchanges = 50;

    int master = -1, slave = -1;
    char name[128] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    termios t;
    tcgetattr(slave, &t);
    cfmakeraw(&t);
    tcsetattr(slave, TCSANOW, &t);
    const pid_t child = fork();
    if (child == 0) {
        ::close(slave);
        responder(master);
    }

    RealPlatform p;
    p.useComOne(QString::fromLatin1(name));
    QuietStatus status;
    Link link(Link::Platform{p.port, p.waiter, p.settings, p.dialogs, status});
    link.openCommunications();
    if (!p.port.portOpen())
        return 1;
    SteadyClock& clock = p.clock;
    EventLoopWaiter& waiter = p.waiter;

    // 1. An idle wait.
    double cpu0 = cpuSeconds(), wall0 = clock.now();
    waiter.pause(idleSeconds);
    const double idleCpu = (cpuSeconds() - cpu0) / (clock.now() - wall0);

    // 2. Identification-sized exchanges.
    const double wire = 17 * ByteTime; // one request byte, sixteen reply bytes
    int good = 0;
    double beyond = 0, worst = 0;
    cpu0 = cpuSeconds();
    wall0 = clock.now();
    for (int i = 0; i < exchanges; ++i) {
        const double start = clock.now();
        if (link.exchange(SerialPort::TextMode, replylen::Identification, link.GotID,
                          QByteArray(1, cmd::Identify), timeout::Identification))
            ++good;
        const double extra = clock.now() - start - wire;
        beyond += extra;
        worst = std::max(worst, extra);
    }
    const double exchangeCpu = (cpuSeconds() - cpu0) / (clock.now() - wall0);

    std::printf("idle wait: %.1f s, CPU %.3f%% of one core\n", idleSeconds, idleCpu * 100);
    std::printf("exchanges: %d of %d answered, wire time %.1f ms each\n", good, exchanges, wire * 1000);
    std::printf("  mean beyond wire time %.2f ms, worst %.2f ms\n",
                beyond / exchanges * 1000, worst * 1000);
    std::printf("  CPU during exchanges %.2f%% of one core\n", exchangeCpu * 100);
    p.port.setPortOpen(false);
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    return good == exchanges ? 0 : 1;
}
