// Figures for program mode: the time from the start of the program to its first
// shown window, and a direct profile upload from the simulator at 9600 baud
// against its wire time (one request byte, then 312 bytes).

#include "../benchplatform.h"
#include "simprocess.h"

#include "link/link.h"
#include "shell/program.h"
#include "shell/statuswindows.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTest>

#include <cstdio>
#include <ctime>
#include <fstream>

using namespace bench;

namespace {

// Seconds since this process started, from /proc (resolution one clock tick).
double secondsSinceProcessStart()
{
    std::ifstream f("/proc/self/stat");
    std::string s((std::istreambuf_iterator<char>(f)), {});
    std::istringstream rest(s.substr(s.rfind(')') + 2));
    std::string field;
    unsigned long long start = 0;
    for (int i = 3; i <= 22 && rest >> field; ++i)
        if (i == 22)
            start = std::stoull(field);
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return now.tv_sec + now.tv_nsec / 1e9 - double(start) / sysconf(_SC_CLK_TCK);
}

} // namespace

int main(int argc, char** argv)
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QDir::setCurrent(QStringLiteral(GX_DATA_DIR));

    // 1. Start-up to the first shown window, as the program's main() does it.
    {
        RealPlatform p;
        gx::FormMonitor window(p.platform());
        gx::installProgram(window);
        window.Form_Load();
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            std::fprintf(stderr, "the window was never shown\n");
        const double fromMain = sinceMain.nsecsElapsed() / 1e9;
        const double fromStart = secondsSinceProcessStart();
        std::printf("start-up: window shown %.0f ms after main() began, %.0f ms after the process started"
                    " (10 ms resolution)\n",
                    fromMain * 1000, fromStart * 1000);
    }

    // 2. Direct profile uploads at 9600 baud.
    SimProcess sim({QStringLiteral("--model"), QStringLiteral("GX510")});
    RealPlatform p;
    p.useComOne(sim.path);
    gx::StatusWindows status(p.waiter, p.desktop, nullptr);
    gx::Link link(gx::Link::Platform{p.port, p.waiter, p.settings, p.dialogs, status});
    link.openCommunications();
    const int runs = argc > 1 ? std::atoi(argv[1]) : 10;
    const double wire = 312 * ByteTime; // the request byte crosses a pseudo-terminal at once
    double total = 0, worst = 0;
    int good = 0;
    for (int i = 0; i < runs; ++i) {
        const double t0 = p.clock.now();
        link.uploadProfile();
        const double t = p.clock.now() - t0;
        good += link.ProgStatus.isEmpty();
        total += t;
        worst = std::max(worst, t);
    }
    const double mean = total / runs;
    std::printf("profile upload: %d of %d good, mean %.1f ms, worst %.1f ms; wire time %.1f ms + the"
                " simulator's 3 ms turnaround = %.1f ms (%+.1f%%)\n",
                good, runs, mean * 1000, worst * 1000, wire * 1000, (wire + 0.003) * 1000,
                100 * (mean - wire - 0.003) / (wire + 0.003));
    return good == runs ? 0 : 1;
}
