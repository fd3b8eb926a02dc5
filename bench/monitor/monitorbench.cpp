// Figures for monitoring against the simulator at 9600 baud: CPU of the program
// while it monitors one controller and while it watches a 15-node network,
// polls per second against the limit set by the half-second pause and the wire
// time, one network pass against its wire time, and resident memory over a
// long run.
//
//   monitorbench [seconds]           single controller (plain, with the set running
//                                    on load, then with the trend view open and
//                                    logging on), a 15-node network, and one
//                                    exchange over TCP against the terminal
//   monitorbench --soak MINUTES [--plain] [--running] [--network]
//                                    CPU per poll, wake-ups and memory every minute
//                                    with the trend view open and logging on
//                                    (--plain: the live monitor alone; --running:
//                                    the set running on load, its readings moving;
//                                    --network: a 15-node network, per pass)
//
// The program draws offscreen unless QT_QPA_PLATFORM names a platform: under
// an X server (QT_QPA_PLATFORM=xcb DISPLAY=...) the figures include what
// painting and the X connection cost.

#include "../benchargs.h"
#include "../benchplatform.h"
#include "simprocess.h"

#include "link/link.h"
#include "monitor/networkscreen.h"
#include "monitor/monitorscreen.h"
#include "monitor/trendwindow.h"
#include "shell/monitoring.h"
#include "shell/program.h"

#include <QCheckBox>
#include <QTemporaryDir>
#include <functional>

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QDir>
#include <QPushButton>
#include <QTimer>

#include <cmath>
#include <cstdio>

using namespace bench;

namespace {

// The system's load over the last minute (runnable processes, on 2 cores here).
double loadAverage()
{
    double one = 0;
    if (FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &one) != 1)
            one = 0;
        std::fclose(f);
    }
    return one;
}

struct Run {
    double wall = 0, cpu = 0, simCpu = 0;
    long wakeups = 0;
    long polls = 0, passes = 0;
    double replyTime = 0;  // mean, from the request sent to the reply taken in
};

struct Options {
    bool network = false;
    bool trendAndLog = false;  // the trend view open, every poll logged
    // The set started (remote start) and on load, its load current and battery
    // voltage moved every half second, so that gauges move as on a real set.
    bool running = false;
    // Called once a minute while monitoring, with the figures so far.
    std::function<void(double minutes, const Run& sinceLast)> everyMinute;
};

// Starts monitoring with the Monitor button and stops it after `seconds`.
Run monitorFor(QStringList simArgs, double seconds, const Options& o = {})
{
    const bool network = o.network;
    QTemporaryDir logs;
    if (o.running)
        simArgs << QStringLiteral("--run") << QStringLiteral("remote on");
    SimProcess sim(simArgs);
    // The answers to the commands below are not needed.
    QObject::connect(&sim.proc, &QProcess::readyReadStandardOutput, [&sim] { sim.proc.readAllStandardOutput(); });
    QTimer moving;
    int step = 0;
    QObject::connect(&moving, &QTimer::timeout, [&] {
        ++step;
        const int amps = 40 + int(std::lround(6 * std::sin(step * 0.3)));
        const double volts = 13.2 + 0.3 * std::sin(step * 0.05);
        sim.proc.write(QStringLiteral("load %1\nbattery %2\n").arg(amps).arg(volts, 0, 'f', 1).toLatin1());
    });
    if (o.running)
        moving.start(500);
    RealPlatform p;
    p.useComOne(sim.path);
    if (network)
        p.settings.setValue("Settings", "Node count", "15");
    gx::FormMonitor window(p.platform());
    gx::installProgram(window);
    window.Form_Load();
    window.show();
    auto* m = window.findChild<gx::Monitoring*>();
    if (o.trendAndLog) {
        m->logger.setFolder(logs.path());
        m->screen().CheckLogging->setChecked(true);
        m->showTrends();
    }
    const gx::LinkCounts& direct = window.link().health.node(gx::LinkHealth::DirectLine);
    QTimer minute;
    double lastCpu = 0, lastWall = 0;
    long lastWake = 0, lastPolls = 0, lastPasses = 0;
    int minutes = 0;
    Run r;
    double cpu0 = 0, sim0 = 0, wall0 = 0, replyTime0 = 0;
    long wake0 = 0, replies0 = 0;
    long polls0 = 0, passes0 = 0;
    const auto tick = [&] {
        Run r1;
        r1.cpu = cpuSeconds() - lastCpu;
        r1.wall = p.clock.now() - lastWall;
        r1.wakeups = voluntarySwitches() - lastWake;
        r1.polls = m->polls - lastPolls;
        r1.passes = m->passes - lastPasses;
        lastPasses += r1.passes;
        lastCpu += r1.cpu;
        lastWall += r1.wall;
        lastWake += r1.wakeups;
        lastPolls += r1.polls;
        o.everyMinute(++minutes, r1);
    };
    // Measure from the first poll on, so identification and upload are left out
    // (and with the set running, its start too).
    QTimer start;
    start.setInterval(50);
    QObject::connect(&start, &QTimer::timeout, [&] {
        // A network pass probes one missing node: after 20 passes all 15 are found.
        if (network ? m->passes < 20 : m->polls < 2 || (o.running && m->record.GenI1 == 0))
            return;
        start.stop();
        cpu0 = cpuSeconds();
        wake0 = voluntarySwitches();
        sim0 = cpuSecondsOf(sim.proc.processId());
        wall0 = p.clock.now();
        polls0 = m->polls;
        passes0 = m->passes;
        replies0 = direct.replies;
        replyTime0 = direct.replyTimeTotal;
        lastCpu = cpu0;
        lastWall = wall0;
        lastWake = wake0;
        lastPolls = polls0;
        lastPasses = passes0;
        if (o.everyMinute) {
            QObject::connect(&minute, &QTimer::timeout, tick);
            minute.start(60 * 1000);
        }
        QTimer::singleShot(int(seconds * 1000), [&] {
            // The last whole minute is printed even when its timer has not fired yet.
            if (o.everyMinute && minutes < int(seconds / 60 + 0.5))
                tick();
            r.wall = p.clock.now() - wall0;
            r.cpu = cpuSeconds() - cpu0;
            r.wakeups = voluntarySwitches() - wake0;
            r.simCpu = cpuSecondsOf(sim.proc.processId()) - sim0;
            r.polls = m->polls - polls0;
            r.passes = m->passes - passes0;
            r.replyTime = (direct.replyTimeTotal - replyTime0) / double(std::max(1L, direct.replies - replies0));
            minute.stop();
            moving.stop();
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
    const bench::Args parsed(argc, argv, "monitorbench [SECONDS] | monitorbench --soak MINUTES [--plain] [--running] [--network]",
                             {"--soak"}, {"--plain", "--running", "--network"}, 1);
    // Offscreen unless the environment names a platform (e.g. xcb under Xvfb,
    // where painting and the X connection cost what they cost a user).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QDir::setCurrent(QStringLiteral(GX_DATA_DIR));
    const QStringList gx510 = {QStringLiteral("--model"), QStringLiteral("GX510")};

    QStringList nodes;
    for (int n = 1; n <= 15; ++n)
        nodes << QString::number(n);
    const QStringList network15 = {QStringLiteral("--nodes"), nodes.join(QLatin1Char(','))};

    if (parsed.number("--soak", 0) > 0) {
        const double minutes = parsed.number("--soak", 0);
        Options o;
        o.network = parsed.flag("--network");
        o.trendAndLog = !parsed.flag("--plain") && !o.network;
        o.running = parsed.flag("--running");
        std::printf("soak: %s%s monitored for %.0f minutes (%s), %s\n",
                    o.network ? "a network of 15 GX520s" : "one GX510",
                    o.running ? " running on load, its readings moving," : o.network ? "" : " in standby", minutes,
                    qPrintable(QGuiApplication::platformName()),
                    o.network ? "the network screen"
                    : o.trendAndLog ? "the trend view open and every poll logged" : "the live monitor alone");
        o.everyMinute = [network = o.network](double at, const Run& r) {
            if (network)
                std::printf("  minute %3.0f: CPU %.2f ms per pass of 15 exchanges (%.2f%% of one core, %.1f wake-ups"
                            " per exchange), resident memory %ld KiB\n",
                            at, 1000 * r.cpu / std::max(1L, r.passes), 100 * r.cpu / r.wall,
                            double(r.wakeups) / std::max(1L, 15 * r.passes), residentKiB());
            else
                std::printf("  minute %3.0f: CPU %.2f ms per poll (%.2f%% of one core, %.1f wake-ups per poll),"
                            " resident memory %ld KiB\n",
                            at, 1000 * r.cpu / std::max(1L, r.polls), 100 * r.cpu / r.wall,
                            double(r.wakeups) / std::max(1L, r.polls), residentKiB());
            std::fflush(stdout);
        };
        const Run r = monitorFor(o.network ? network15 : gx510, minutes * 60, o);
        if (o.network)
            std::printf("  %.0f s of monitoring, %ld passes: CPU %.2f ms per pass (%.2f%% of one core)\n", r.wall,
                        r.passes, 1000 * r.cpu / std::max(1L, r.passes), 100 * r.cpu / r.wall);
        else
            std::printf("  %.0f s of monitoring, %ld polls: CPU %.2f ms per poll (%.2f%% of one core)\n", r.wall,
                        r.polls, 1000 * r.cpu / std::max(1L, r.polls), 100 * r.cpu / r.wall);
        return 0;
    }

    const double seconds = parsed.at(0, 20.0);

    const Run one = monitorFor(gx510, seconds);
    // The limit: the pause, then the request (1 byte) and the 67-byte reply on
    // the wire; the simulator adds a 3 ms turnaround, as a controller does.
    const double pollWire = (1 + 67) * ByteTime;
    const double limit = 1.0 / (0.5 + pollWire);
    const double limitTurnaround = 1.0 / (0.5 + pollWire + 0.003);
    const double period = one.wall / std::max(1L, one.polls);
    // Other work on the machine delays each wake-up (the reply, the end of the
    // pause) and so lowers the poll rate: the load is printed with it.
    std::printf("single controller (GX510, 67-byte status, in standby), %.0f s (%s, load average %.2f):\n", one.wall,
                qPrintable(QGuiApplication::platformName()), loadAverage());
    std::printf("  program CPU %.2f%% of one core, %.2f ms per poll (%.0f wake-ups/s, %.1f per poll),"
                " simulator CPU %.2f%%\n",
                100 * one.cpu / one.wall, 1000 * one.cpu / std::max(1L, one.polls), one.wakeups / one.wall,
                double(one.wakeups) / std::max(1L, one.polls), 100 * one.simCpu / one.wall);
    std::printf("  %.3f polls/s; limit from the 0.5 s pause and %.1f ms wire time: %.3f polls/s (%.1f%%);"
                " with the simulator's 3 ms turnaround %.3f polls/s (%.1f%%)\n",
                one.polls / one.wall, pollWire * 1000, limit, 100 * one.polls / one.wall / limit, limitTurnaround,
                100 * one.polls / one.wall / limitTurnaround);
    std::printf("  a poll every %.1f ms: the 500 ms pause, %.1f ms from the request to its reply taken in"
                " (wire %.1f + turnaround 3.0 ms), %.1f ms the rest (the pause waking late, decoding, the loop)\n",
                period * 1000, one.replyTime * 1000, pollWire * 1000, (period - 0.5 - one.replyTime) * 1000);

    Options running;
    running.running = true;
    const Run run = monitorFor(gx510, seconds, running);
    std::printf("single controller, the set running on load and its readings moving, %.0f s:\n", run.wall);
    std::printf("  program CPU %.2f%% of one core, %.2f ms per poll (%.1f wake-ups per poll), %.3f polls/s (%.1f%%)\n",
                100 * run.cpu / run.wall, 1000 * run.cpu / std::max(1L, run.polls),
                double(run.wakeups) / std::max(1L, run.polls), run.polls / run.wall,
                100 * run.polls / run.wall / limit);

    Options withTrend;
    withTrend.trendAndLog = true;
    const Run trend = monitorFor(gx510, seconds, withTrend);
    std::printf("single controller with the trend view open and every poll logged, %.0f s:\n", trend.wall);
    std::printf("  program CPU %.2f%% of one core (%.1f wake-ups per poll), %.3f polls/s\n", 100 * trend.cpu / trend.wall,
                double(trend.wakeups) / std::max(1L, trend.polls), trend.polls / trend.wall);

    Options networkOptions;
    networkOptions.network = true;
    const Run net = monitorFor(network15, seconds, networkOptions);
    // A pseudo-terminal carries the program's requests at once; only the
    // simulator paces its 7-byte replies, after a 3 ms turnaround.
    const double passWire = 15 * 7 * ByteTime;
    const double turnaround = 15 * 0.003;
    const double perPass = net.wall / std::max(1L, net.passes);
    std::printf("network of 15 nodes, %.0f s (load average %.2f):\n", net.wall, loadAverage());
    std::printf("  program CPU %.2f%% of one core (%.0f wake-ups/s, %.1f per exchange), simulator CPU %.2f%%\n",
                100 * net.cpu / net.wall, net.wakeups / net.wall,
                double(net.wakeups) / std::max(1L, net.passes * 15), 100 * net.simCpu / net.wall);
    std::printf("  %ld passes, %.1f ms a pass; wire time of the 15 replies %.1f ms + turnaround %.0f ms = %.1f ms"
                " (%+.1f%%)\n",
                net.passes, perPass * 1000, passWire * 1000, turnaround * 1000, (passWire + turnaround) * 1000,
                100 * (perPass - passWire - turnaround) / (passWire + turnaround));

    // One exchange (identification: 1 byte out, 16 back) over the terminal and
    // over the simulator's TCP port on the loopback, in the same run.
    SimProcess tcpSim({QStringLiteral("--model"), QStringLiteral("GX510"), QStringLiteral("--tcp"), QStringLiteral("0")});
    const QString tcp = tcpSim.nextLine();
    std::printf("identification exchange, %d each (wire time %.1f ms + 3 ms turnaround):\n", 50, 17 * ByteTime * 1000);
    for (const QString& where : {tcpSim.path, QStringLiteral("tcp://") + tcp.mid(4)}) {
        RealPlatform rp;
        rp.useComOne(where);
        QuietStatus quiet;
        gx::Link link(gx::Link::Platform{rp.port, rp.waiter, rp.settings, rp.dialogs, quiet});
        link.openCommunications();
        double total = 0, worst = 0;
        int good = 0;
        for (int i = 0; i < 50; ++i) {
            const double t0 = rp.clock.now();
            link.ProgStatus.clear();
            link.uploadID();
            const double t = rp.clock.now() - t0;
            good += link.ProgStatus.isEmpty();
            total += t;
            worst = std::max(worst, t);
        }
        std::printf("  %-28s %d of 50 good, mean %.2f ms, worst %.2f ms\n",
                    qPrintable(where.startsWith(QLatin1String("tcp")) ? QStringLiteral("over TCP (") + where + ")"
                                                                      : QStringLiteral("over the pseudo-terminal")),
                    good, total / 50 * 1000, worst * 1000);
    }
    return 0;
}
