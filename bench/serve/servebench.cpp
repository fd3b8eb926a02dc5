// Figures for gxctl serve against a 15-node simulated network at 9600 baud and
// a local mosquitto broker: the service's CPU while it polls and publishes,
// the time from a change in a controller to its message at a subscriber, and
// a network pass with the broker down against one with it up.
//
//   servebench [seconds]    each measuring window (default 20)

#include "../benchplatform.h"
#include "brokerprocess.h"
#include "../benchargs.h"
#include "simprocess.h"

#include "monitor/statemessages.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <numeric>

using namespace bench;

namespace {

// Node 1's status read begins every pass; the simulator's trace stamps each
// line with its own clock ("20:08:14.845 +0012.923 RX node 1 ...").
const QString PassStart = QStringLiteral("RX node 1 read input registers 0x0000 x21");

std::vector<double> passStarts(const QString& trace)
{
    std::vector<double> starts;
    QFile f(trace);
    if (!f.open(QIODevice::ReadOnly))
        return starts;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (QString::fromUtf8(line).contains(PassStart))
            starts.push_back(line.split(' ').value(1).toDouble());
    return starts;
}

struct Window {
    double wall = 0, cpu = 0;
    int passes = 0;
    double passSeconds = 0;  // from the first pass begun in the window to the last
    int messages = 0;
    double passTime() const { return passes ? passSeconds / passes : 0; }
};

Window measure(qint64 pid, const QString& trace, Recorder* rec, double seconds)
{
    Window w;
    const double cpu0 = cpuSecondsOf(pid);
    const size_t passes0 = passStarts(trace).size();
    const size_t messages0 = rec ? rec->all.size() : 0;
    QElapsedTimer t;
    t.start();
    Recorder::waitFor([] { return false; }, seconds);
    w.wall = t.nsecsElapsed() / 1e9;
    w.cpu = cpuSecondsOf(pid) - cpu0;
    const std::vector<double> starts = passStarts(trace);
    if (starts.size() > passes0 + 1) {
        w.passes = int(starts.size() - passes0 - 1);
        w.passSeconds = starts.back() - starts[passes0];
    }
    w.messages = rec ? int(rec->all.size() - messages0) : 0;
    return w;
}

} // namespace

int main(int argc, char** argv)
{
    const bench::Args args(argc, argv, "servebench [SECONDS]", {}, {}, 1);
    QCoreApplication app(argc, argv);
    const double seconds = std::max(5.0, args.at(0, 20.0));
    QTemporaryDir dir;
    const QString trace = dir.filePath("trace.log");
    // Three sets running on load, so their readings move; the rest stand by.
    SimProcess sim({"--nodes", "1-15", "--trace", trace, "--run", "node 2 remote on", "--run", "node 7 remote on",
                    "--run", "node 12 remote on"});
    BrokerProcess broker;
    Recorder rec(broker.port, "gx520/bench/#");
    QProcess serve;
    serve.setStandardErrorFile(QProcess::nullDevice());
    serve.start(GXCTL_PATH, {"--port", sim.path, "serve", "--nodes", "1-15", "--broker", broker.url(), "--site", "bench"});
    if (!Recorder::waitFor([&] { return rec.last.contains("gx520/bench/15/state"); }, 60)) {
        std::fprintf(stderr, "servebench: the service did not publish all 15 nodes\n");
        return 1;
    }
    Recorder::waitFor([] { return false; }, 3);  // the first passes settle
    const qint64 pid = serve.processId();

    const Window up = measure(pid, trace, &rec, seconds);
    std::printf("gxctl serve, 15 nodes at 9600 baud, broker up, %.0f s:\n", up.wall);
    std::printf("  service CPU %.2f%% of one core (target at most 1%%); %d passes, %.1f ms a pass; "
                "%.1f messages/s published\n",
                100 * up.cpu / up.wall, up.passes, 1000 * up.passTime(), up.messages / up.wall);
    std::fflush(stdout);

    // A change in one controller until its message arrives: the battery of
    // node 8 set to a new value each time, at a moment of the pass drawn at random.
    std::vector<double> delays;
    for (int i = 0; i < 10; ++i) {
        const double volts = 11.0 + 0.1 * i;
        Recorder::waitFor([] { return false; }, up.passTime() * QRandomGenerator::global()->generateDouble());
        QElapsedTimer t;
        t.start();
        sim.proc.write(QStringLiteral("node 8 battery %1\n").arg(volts, 0, 'f', 1).toUtf8());
        const bool got = Recorder::waitFor([&] {
            const auto m = gx::readStateMessage(rec.last.value("gx520/bench/8/state"));
            return m && std::abs(m->status.battery - volts) < 0.01;
        }, 10);
        if (got)
            delays.push_back(t.nsecsElapsed() / 1e6);
        sim.nextLine();
    }
    std::sort(delays.begin(), delays.end());
    const double mean = delays.empty() ? 0 : std::accumulate(delays.begin(), delays.end(), 0.0) / double(delays.size());
    std::printf("change in the simulator to the message at a subscriber, %zu of 10: mean %.0f ms, worst %.0f ms; "
                "target within a pass + 50 ms = %.0f ms\n",
                delays.size(), mean, delays.empty() ? 0 : delays.back(), 1000 * up.passTime() + 50);
    std::fflush(stdout);

    broker.kill();
    Recorder::waitFor([] { return false; }, 2);  // the service notices and waits to reconnect
    const Window down = measure(pid, trace, nullptr, seconds);
    std::printf("broker down, %.0f s: %d passes, %.1f ms a pass (broker up: %.1f ms, %+.1f%%); service CPU %.2f%%\n",
                down.wall, down.passes, 1000 * down.passTime(), 1000 * up.passTime(),
                up.passTime() > 0 ? 100 * (down.passTime() / up.passTime() - 1) : 0.0, 100 * down.cpu / down.wall);
    serve.terminate();
    serve.waitForFinished(5000);
    return 0;
}
