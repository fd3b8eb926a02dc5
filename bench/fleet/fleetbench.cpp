// Figures for the fleet board in the program's window, on a local mosquitto
// broker holding 300 retained nodes (20 sites of 15): the time to show all of
// them on connecting, an update until it is painted on the board (published
// by a client in this process, then by mosquitto_pub with its own start), and
// the program's CPU and wake-ups while idle with the 300 nodes shown.
//
//   fleetbench [SECONDS] [--samples N]    idle window (default 20 s), updates (default 40)

#include "../benchargs.h"
#include "../benchplatform.h"
#include "brokerprocess.h"

#include "monitor/fleetscreen.h"
#include "monitor/fleettable.h"
#include "monitor/statemessages.h"
#include "shell/fleetmode.h"
#include "shell/program.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <numeric>

using namespace bench;

namespace {

constexpr int Sites = 20, NodesPerSite = 15;

// Runs the event loop as the program does until `done` (looked at every
// 2 ms; never for an idle window) or `seconds` have passed.
bool runUntil(const std::function<bool()>& done, double seconds)
{
    QEventLoop loop;
    QTimer check, deadline;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    if (done())
        return true;
    check.start(2);
    deadline.start(int(seconds * 1000));
    loop.exec();
    return done();
}

gx::StatusSummary standingBy(double hours)
{
    gx::StatusSummary s;
    s.stateText = QStringLiteral("Stopped");
    s.mode = QStringLiteral("AUTO");
    s.lcdTop = QStringLiteral("AUTO Standby");
    s.lcdBottom = QStringLiteral("Battery  12.8 V");
    s.battery = 12.8;
    s.hoursRun = hours;
    return s;
}

// Paints of the table's viewport, with the time of the last.
struct PaintWatch : QObject {
    QElapsedTimer clock;
    qint64 lastPaint = -1;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            lastPaint = clock.nsecsElapsed();
        return false;
    }
};

void report(const char* what, std::vector<double> ms, int asked)
{
    std::sort(ms.begin(), ms.end());
    const double mean = ms.empty() ? 0 : std::accumulate(ms.begin(), ms.end(), 0.0) / double(ms.size());
    std::printf("  %s, %zu of %d: median %.1f ms, mean %.1f ms, worst %.1f ms (target within 100 ms)\n", what, ms.size(),
                asked, ms.empty() ? 0 : ms[ms.size() / 2], mean, ms.empty() ? 0 : ms.back());
}

} // namespace

int main(int argc, char** argv)
{
    const bench::Args args(argc, argv, "fleetbench [SECONDS] [--samples N]", {"--samples"}, {}, 1);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double seconds = std::max(5.0, args.at(0, 20.0));
    const int samples = int(args.number("--samples", 40));

    BrokerProcess broker;
    gx::MqttClient::Options o;
    o.port = broker.port;
    {
        // The sites as their services leave them on the broker, every message acknowledged.
        gx::MqttClient publisher(o);
        publisher.start();
        for (int s = 1; s <= Sites; ++s) {
            const QString site = QStringLiteral("site%1").arg(s);
            publisher.publish(gx::siteStatusTopic("gx520", site), "online", true, 1);
            for (int n = 1; n <= NodesPerSite; ++n) {
                publisher.publish(gx::nodeTopic("gx520", site, n, "availability"), "online", true, 1);
                publisher.publish(gx::nodeTopic("gx520", site, n, "info"),
                                  gx::infoMessage({"GX520", "2.01", "GX520 V2.01", site, {}}), true, 1);
                publisher.publish(gx::nodeTopic("gx520", site, n, "state"),
                                  gx::stateMessage(standingBy(1000 + s * 10 + n), QDateTime::currentDateTime()), true, 1);
            }
        }
        runUntil([&] { return publisher.connected(); }, 10);
        gx::SteadyClock clock;
        gx::EventLoopWaiter waiter(clock);
        publisher.disconnectFromBroker(waiter, 20);
    }

    // The window as the program makes it, its board on the broker.
    RealPlatform p;
    p.settings.setValue("Fleet", "Broker", broker.url());
    QElapsedTimer sinceConnect;
    sinceConnect.start();
    gx::FormMonitor window(p.platform());
    gx::installProgram(window);
    window.resize(1250, 860);
    window.show();
    window.CommandFleet->click();
    auto& fleet = *window.findChild<gx::FleetMode*>();
    gx::FleetBoard& board = fleet.board();
    gx::FleetScreen& screen = fleet.screen();
    if (!runUntil([&] { return board.size() == Sites * NodesPerSite && board.node(board.size() - 1).hasState; }, 30)) {
        std::fprintf(stderr, "fleetbench: %d of %d nodes shown: %s\n", board.size(), Sites * NodesPerSite,
                     qPrintable(fleet.statusText()));
        return 1;
    }
    const double fill = sinceConnect.nsecsElapsed() / 1e6;
    std::printf("fleet board, %d sites of %d nodes retained on a local broker:\n", Sites, NodesPerSite);
    std::printf("  all %d nodes on the board %.0f ms after the window was made (connecting included)\n", board.size(),
                fill);
    std::fflush(stdout);
    runUntil([] { return false; }, 1);  // painted and settled

    // An update to one node of those showing until it is painted.
    PaintWatch watch;
    watch.clock.start();
    screen.TableFleet->viewport()->installEventFilter(&watch);
    gx::MqttClient publisher(o);
    publisher.start();
    runUntil([&] { return publisher.connected(); }, 10);
    std::vector<double> inProcess, viaTool;
    const int visible = std::max(1, screen.TableFleet->rowAt(screen.TableFleet->viewport()->height() - 1));
    for (int i = 0; i < 2 * samples; ++i) {
        const bool tool = i >= samples;
        const int row = screen.boardRow(int(QRandomGenerator::global()->bounded(std::min(visible, board.size()))));
        const gx::FleetNode& n = board.node(row);
        const QString site = n.site;
        const int node = n.node;
        const double hours = 20000 + i * 0.5;
        const QString topic = gx::nodeTopic("gx520", site, node, "state");
        const QByteArray payload = gx::stateMessage(standingBy(hours), QDateTime::currentDateTime());
        runUntil([] { return false; }, 0.05);  // nothing pending
        const qint64 start = watch.clock.nsecsElapsed();
        QProcess pub;
        if (tool)
            pub.start("mosquitto_pub", {"-h", "127.0.0.1", "-p", QString::number(broker.port), "-r", "-t", topic, "-m",
                                        QString::fromUtf8(payload)});
        else
            publisher.publish(topic, payload, true, 0);
        qint64 changed = -1;
        const auto seen = QObject::connect(&board, &gx::FleetBoard::nodeChanged, &board, [&](int r) {
            if (changed < 0 && board.node(r).site == site && board.node(r).node == node
                && std::abs(board.node(r).status.hoursRun - hours) < 0.01)
                changed = watch.clock.nsecsElapsed();
        });
        const bool painted = runUntil([&] { return changed >= 0 && watch.lastPaint > changed; }, 5);
        QObject::disconnect(seen);
        if (painted)
            (tool ? viaTool : inProcess).push_back((watch.lastPaint - start) / 1e6);
        pub.waitForFinished(2000);
    }
    report("an update published here until painted on the board", inProcess, samples);
    report("an update by mosquitto_pub (its start included) until painted", viaTool, samples);
    std::fflush(stdout);

    // Idle: nothing published, the 300 nodes shown.
    publisher.disconnectFromBroker(p.waiter, 5);
    runUntil([] { return false; }, 2);
    const double cpu0 = cpuSeconds(), broker0 = cpuSecondsOf(broker.proc.processId());
    const long wakes0 = voluntarySwitches();
    QElapsedTimer idle;
    idle.start();
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
    const double wall = idle.nsecsElapsed() / 1e9;
    const double cpu = cpuSeconds() - cpu0;
    std::printf("  idle with %d nodes shown, %.0f s: CPU %.3f%% of one core (target under 0.5%%), %.1f wake-ups/s, "
                "%ld KiB resident\n",
                board.size(), wall, 100 * cpu / wall, (voluntarySwitches() - wakes0) / wall, residentKiB());
    std::printf("  the broker's CPU meanwhile %.3f%%; messages the board ignored: %d\n",
                100 * (cpuSecondsOf(broker.proc.processId()) - broker0) / wall, board.ignored());
    return 0;
}
