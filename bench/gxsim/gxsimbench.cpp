// gxsimbench: starts gxsim, measures its CPU use while idle (from
// /proc/PID/stat) and the rate of back-to-back identification + status
// exchanges, paced at 9600 baud and with --fast.
//
// Usage: gxsimbench [--gxsim PATH] [--idle SECONDS] [--busy SECONDS]

#include "../benchargs.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Child {
    pid_t pid = -1;
    int stdinFd = -1;
    std::string pty;
};

Child startSim(const std::string& exe, bool fast)
{
    int in[2], out[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0) {
        std::perror("pipe");
        std::exit(1);
    }
    Child c;
    c.pid = ::fork();
    if (c.pid == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::close(in[1]);
        ::close(out[0]);
        if (fast)
            ::execl(exe.c_str(), exe.c_str(), "--fast", static_cast<char*>(nullptr));
        else
            ::execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
        std::perror("exec gxsim");
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    c.stdinFd = in[1];
    char ch;
    while (::read(out[0], &ch, 1) == 1 && ch != '\n')
        c.pty += ch;
    ::close(out[0]);
    if (c.pty.rfind("/dev/", 0) != 0) {
        std::fprintf(stderr, "gxsim did not print its terminal path\n");
        std::exit(1);
    }
    return c;
}

void stopSim(Child& c)
{
    ::close(c.stdinFd); // end of input ends the simulator
    int status = 0;
    ::waitpid(c.pid, &status, 0);
}

// utime + stime in clock ticks.
long cpuTicks(pid_t pid)
{
    std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(f, line);
    const auto close = line.rfind(')');
    std::istringstream ss(line.substr(close + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && ss >> field; ++i) {
        if (i == 14)
            utime = std::stol(field);
        if (i == 15)
            stime = std::stol(field);
    }
    return utime + stime;
}

int openPty(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0) {
        std::perror("open pty");
        std::exit(1);
    }
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(fd, TCSANOW, &t);
    return fd;
}

bool readN(int fd, std::size_t n, unsigned char* buf)
{
    std::size_t got = 0;
    while (got < n) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 3000) <= 0)
            return false;
        const ssize_t r = ::read(fd, buf + got, n - got);
        if (r <= 0)
            return false;
        got += std::size_t(r);
    }
    return true;
}

struct BusyResult {
    int exchanges = 0;
    int failures = 0;
    double seconds = 0;
    double cpuPercent = 0;
};

BusyResult busy(const Child& c, double seconds)
{
    const int fd = openPty(c.pty);
    const long ticks = ::sysconf(_SC_CLK_TCK);
    BusyResult r;
    const long cpu0 = cpuTicks(c.pid);
    const auto t0 = Clock::now();
    unsigned char buf[128];
    while (std::chrono::duration<double>(Clock::now() - t0).count() < seconds) {
        const unsigned char id = 0x04, st = 0x01;
        bool ok = ::write(fd, &id, 1) == 1 && readN(fd, 16, buf) && std::memcmp(buf, "GX520", 5) == 0;
        ok = ok && ::write(fd, &st, 1) == 1 && readN(fd, 67, buf);
        if (ok) {
            unsigned sum = 0;
            for (int i = 0; i < 65; ++i)
                sum += buf[i];
            ok = sum == unsigned(buf[65]) * 256 + buf[66];
        }
        ++(ok ? r.exchanges : r.failures);
    }
    r.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    r.cpuPercent = 100.0 * double(cpuTicks(c.pid) - cpu0) / double(ticks) / r.seconds;
    ::close(fd);
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    const bench::Args args(argc, argv, "gxsimbench [--gxsim PATH] [--idle SECONDS] [--busy SECONDS]",
                           {"--idle", "--busy"}, {}, 0, {"--gxsim"});
    const std::string exe = args.text("--gxsim", GXSIM_PATH);
    const double idleSeconds = args.number("--idle", 10), busySeconds = args.number("--busy", 5);
    std::signal(SIGPIPE, SIG_IGN);
    const long ticks = ::sysconf(_SC_CLK_TCK);

    // Idle: started and left alone, terminal open by a client that sends nothing.
    Child paced = startSim(exe, false);
    const int idleFd = openPty(paced.pty);
    ::usleep(300000);
    const long cpu0 = cpuTicks(paced.pid);
    const auto t0 = Clock::now();
    ::usleep(useconds_t(idleSeconds * 1e6));
    const double idleElapsed = std::chrono::duration<double>(Clock::now() - t0).count();
    const long idleTicks = cpuTicks(paced.pid) - cpu0;
    ::close(idleFd);
    std::printf("idle: %ld CPU ticks (1/%ld s) in %.1f s = %.3f %% of one core\n", idleTicks, ticks, idleElapsed,
                100.0 * double(idleTicks) / double(ticks) / idleElapsed);

    // Paced: identification (16 bytes) + status (67 bytes) back to back.
    const BusyResult p = busy(paced, busySeconds);
    const double lineMs = (16 + 67) * 10.0 / 9600 * 1000 + 2 * 3.0; // bytes on the line + turnarounds
    std::printf("paced 9600: %d ID+status pairs in %.1f s = %.2f pairs/s (%.1f ms each; line time %.1f ms),"
                " %d failed, gxsim CPU %.2f %%\n",
                p.exchanges, p.seconds, p.exchanges / p.seconds, 1000.0 * p.seconds / std::max(1, p.exchanges),
                lineMs, p.failures, p.cpuPercent);
    stopSim(paced);

    Child fast = startSim(exe, true);
    const BusyResult f = busy(fast, busySeconds);
    std::printf("fast: %d ID+status pairs in %.1f s = %.0f pairs/s (%.3f ms each), %d failed, gxsim CPU %.1f %%\n",
                f.exchanges, f.seconds, f.exchanges / f.seconds, 1000.0 * f.seconds / std::max(1, f.exchanges),
                f.failures, f.cpuPercent);
    stopSim(fast);
    return (p.failures || f.failures) ? 1 : 0;
}
