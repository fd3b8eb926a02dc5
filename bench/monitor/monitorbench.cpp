// Figures for monitoring against the simulator at 9600 baud: CPU of the program
// while it monitors one controller and while it watches a 15-node network,
// polls per second against the limit set by the half-second pause and the wire
// time, one network pass against its wire time, and resident memory over a
// long run.
//
//   monitorbench [seconds]           single controller, then a 15-node network
//   monitorbench --soak MINUTES      memory after 1 minute and after MINUTES

#include "../benchplatform.h"
#include "simprocess.h"

#include "link/link.h"
#include "monitor/networkscreen.h"
#include "shell/monitoring.h"
#include "shell/program.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

using namespace bench;

namespace {

struct Run {
    double wall = 0, cpu = 0, simCpu = 0;
    long wakeups = 0;
    long polls = 0, passes = 0;
};

// Starts monitoring with the Monitor button and stops it after `seconds`.
Run monitorFor(const QStringList& simArgs, double seconds, bool network = false)
{
    SimProcess sim(simArgs);
    RealPlatform p;
    p.useComOne(sim.path);
    if (network)
        p.settings.setValue("Settings", "Node count", "15");
    gx::FormMonitor window(p.platform());
    gx::installProgram(window);
    window.Form_Load();
    window.show();
    auto* m = window.findChild<gx::Monitoring*>();

    Run r;
    double cpu0 = 0, sim0 = 0, wall0 = 0;
    long wake0 = 0;
    long polls0 = 0, passes0 = 0;
    // Measure from the first poll on, so identification and upload are left out.
    QTimer start;
    start.setInterval(50);
    QObject::connect(&start, &QTimer::timeout, [&] {
        // A network pass probes one missing node: after 20 passes all 15 are found.
        if (network ? m->passes < 20 : m->polls < 2)
            return;
        start.stop();
        cpu0 = cpuSeconds();
        wake0 = voluntarySwitches();
        sim0 = cpuSecondsOf(sim.proc.processId());
        wall0 = p.clock.now();
        polls0 = m->polls;
        passes0 = m->passes;
        QTimer::singleShot(int(seconds * 1000), [&] {
            r.wall = p.clock.now() - wall0;
            r.cpu = cpuSeconds() - cpu0;
            r.wakeups = voluntarySwitches() - wake0;
            r.simCpu = cpuSecondsOf(sim.proc.processId()) - sim0;
            r.polls = m->polls - polls0;
            r.passes = m->passes - passes0;
            window.menuMain_Click();
            if (auto* quit = window.findChild<QPushButton*>(QStringLiteral("CommandMonitorNetwork")))
                if (quit->isEnabled())
                    quit->click();
        });
    });
    start.start();
    window.CommandMonitor_Click();
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    QDir::setCurrent(QStringLiteral(GX_DATA_DIR));

    if (args.size() > 2 && args[1] == QLatin1String("--soak")) {
        const double minutes = args[2].toDouble();
        long at1 = 0;
        QTimer mark;
        mark.setSingleShot(true);
        QObject::connect(&mark, &QTimer::timeout, [&] { at1 = residentKiB(); });
        mark.start(60 * 1000);
        const Run r = monitorFor({QStringLiteral("--model"), QStringLiteral("GX510")}, minutes * 60);
        const long atEnd = residentKiB();
        std::printf("soak: %.0f s of monitoring, %ld polls\n", r.wall, r.polls);
        std::printf("  resident memory after 1 minute %ld KiB, after %.0f minutes %ld KiB (%+ld KiB)\n", at1,
                    minutes, atEnd, atEnd - at1);
        return 0;
    }

    const double seconds = args.size() > 1 ? args[1].toDouble() : 20.0;

    const Run one = monitorFor({QStringLiteral("--model"), QStringLiteral("GX510")}, seconds);
    const double pollWire = (1 + 67) * ByteTime;
    const double limit = 1.0 / (0.5 + pollWire);
    std::printf("single controller (GX510, 67-byte status), %.0f s:\n", one.wall);
    std::printf("  program CPU %.2f%% of one core (%.0f wake-ups/s), simulator CPU %.2f%%\n",
                100 * one.cpu / one.wall, one.wakeups / one.wall, 100 * one.simCpu / one.wall);
    std::printf("  %.3f polls/s; limit from the 0.5 s pause and %.1f ms wire time: %.3f polls/s (%.1f%%)\n",
                one.polls / one.wall, pollWire * 1000, limit, 100 * one.polls / one.wall / limit);

    QStringList nodes;
    for (int n = 1; n <= 15; ++n)
        nodes << QString::number(n);
    const Run net = monitorFor({QStringLiteral("--nodes"), nodes.join(QLatin1Char(','))}, seconds, true);
    // A pseudo-terminal carries the program's requests at once; only the
    // simulator paces its 7-byte replies, after a 3 ms turnaround.
    const double passWire = 15 * 7 * ByteTime;
    const double turnaround = 15 * 0.003;
    const double perPass = net.wall / std::max(1L, net.passes);
    std::printf("network of 15 nodes, %.0f s:\n", net.wall);
    std::printf("  program CPU %.2f%% of one core (%.0f wake-ups/s), simulator CPU %.2f%%\n",
                100 * net.cpu / net.wall, net.wakeups / net.wall, 100 * net.simCpu / net.wall);
    std::printf("  %ld passes, %.1f ms a pass; wire time of the 15 replies %.1f ms + turnaround %.0f ms = %.1f ms"
                " (%+.1f%%)\n",
                net.passes, perPass * 1000, passWire * 1000, turnaround * 1000, (passWire + turnaround) * 1000,
                100 * (perPass - passWire - turnaround) / (passWire + turnaround));
    return 0;
}
