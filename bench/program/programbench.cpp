// Figures for program mode: the time from the start of the program to its first
// shown window, a direct profile upload from the simulator at 9600 baud
// against its wire time (one request byte, then 312 bytes), and a download
// against its floor (the two 1 s pauses and the bytes on the line).

#include "../benchargs.h"
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
    const bench::Args args(argc, argv, "programbench [UPLOADS]", {}, {}, 1);
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
    const int runs = int(args.at(0, 10));
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

    // 3. Downloads of the uploaded profile and 200 characters of notes.
    gx::Profile working = link.uploadedProfile;
    for (int& t : working.TimerValue)
        t /= 10;
    working.Notes = QString(200, QLatin1Char('n'));
    const auto data = gx::Link::prepareDownload(working, nullptr);
    const int downloads = std::max(1, runs / 5);
    double dtotal = 0;
    int dgood = 0;
    for (int i = 0; i < downloads && data; ++i) {
        const double t0 = p.clock.now();
        double confirmed = t0;
        dgood += link.downloadProfile(data->image, data->text, [&] { confirmed = p.clock.now(); })
              == gx::Link::Download::Ok;
        dtotal += confirmed - t0;
    }
    // Received: identification three times, the status, the second confirmation;
    // five replies, each after the simulator's 3 ms turnaround. Sent: four
    // command bytes, the 312-byte image and the 1025 characters of the notes,
    // which a pseudo-terminal carries at once and a 9600-baud line does not.
    const int received = 16 + 67 + 16 + 16 + 16;
    const int sent = 1 + 1 + 1 + 1 + 1 + 312 + 1025;
    const double ptyFloor = 2.0 + received * ByteTime + 5 * 0.003;
    const double lineFloor = ptyFloor + sent * ByteTime;
    const double dmean = dtotal / downloads;
    std::printf("profile download (to the second confirmation; \"Download Successful\" then stands 1 s):"
                " %d of %d good, mean %.3f s; floor on this pseudo-terminal %.3f s (%+.1f%%):"
                " 2 s of pauses + %d bytes received + turnarounds; on a 9600-baud line add %d bytes sent: %.3f s\n",
                dgood, downloads, dmean, ptyFloor, 100 * (dmean - ptyFloor) / ptyFloor, received, sent, lineFloor);
    return good == runs && dgood == downloads ? 0 : 1;
}
