// The fleet board end to end: a mosquitto broker of the test's own on
// 127.0.0.1, gxctl serve polling the simulator (paced at 9600 baud: nothing
// here needs more speed than the line has) and the window's board on the
// broker; then 300 nodes and bad messages from scripted publishers.

#include "brokerprocess.h"
#include "serveprocess.h"
#include "shellfixture.h"
#include "simprocess.h"

#include "monitor/fleetscreen.h"
#include "monitor/fleettable.h"
#include "shell/fleetmode.h"

#include <QListWidget>
#include <QRegularExpression>
#include <QDeadlineTimer>
#include <QTableView>
#include <QTimer>

using namespace gx;
using namespace gx::test;

namespace {

struct Board : ShellFixture {
    QTemporaryDir data;
    explicit Board(const QString& broker)
    {
        settings.setValue("Fleet", "Broker", broker);
        start();
        window.show();
        fleet().setDataFolder(data.path());
        window.CommandFleet->click();
    }
    FleetMode& fleet() { return *window.findChild<FleetMode*>(); }
    FleetBoard& board() { return fleet().board(); }
    FleetScreen& screen() { return fleet().screen(); }
    int row(const QString& site, int node) { return board().rowOf(site, node); }
    QString cell(const QString& site, int node, int column, int role = Qt::DisplayRole)
    {
        const int r = row(site, node);
        return r < 0 ? QString() : screen().table().index(r, column).data(role).toString();
    }
    // Waits in the event loop as the program does (QTest::qWaitFor sleeps 10 ms
    // between rounds, and a burst of retained messages then takes seconds).
    static bool waitFor(const std::function<bool()>& done, double seconds)
    {
        const QDeadlineTimer deadline(qint64(seconds * 1000));
        QTimer wake;  // only wakes the loop to look again
        wake.start(20);
        while (!done()) {
            if (deadline.hasExpired())
                return false;
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        return true;
    }
};

int traceCount(const QString& trace, const QString& what)
{
    QFile f(trace);
    return f.open(QIODevice::ReadOnly) ? int(QString::fromUtf8(f.readAll()).count(what)) : 0;
}

} // namespace

TEST(FleetE2E, TheSimulatorsNodesTheirFaultTheirEndAndACommandThroughTheService)
{
    BrokerProcess broker;
    QTemporaryDir dir;
    const QString trace = dir.filePath("trace.log");
    auto sim = std::make_unique<SimProcess>(QStringList{"--nodes", "1,2", "--trace", trace, "--run", "node 1 battery 12.5",
                                                        "--run", "node 2 hours 2345.67", "--run", "node 1 temp 61"});
    ServeProcess serve({"--port", sim->path, "serve", "--nodes", "1-2", "--broker", broker.url(), "--commands", "start",
                        "--no-discovery"});
    Board b(broker.url());
    const QString site = "Sim_site_1";
    ASSERT_TRUE(b.waitFor([&] {
        return b.cell(site, 1, FleetTable::Model) == "GX520 V2.01" && b.cell(site, 2, FleetTable::HoursRun) != "";
    }, 20)) << serve.err.toStdString() << b.fleet().statusText().toStdString();
    EXPECT_EQ(b.window.screenShown(), FormMonitor::Screen::Fleet);

    // The board holds the simulator's values.
    const QRegularExpression line(R"(state (\d+) .* temp (-?\d+)C battery ([\d.]+)V hours ([\d.]+))");
    double battery = 0, hours = 0, temperature = 0;
    for (int node = 1; node <= 2; ++node) {
        const auto m = line.match(sim->command("node " + QByteArray::number(node) + " status"));
        ASSERT_TRUE(m.hasMatch());
        EXPECT_EQ(b.cell(site, node, FleetTable::State), stateName(m.captured(1).toInt())) << node;
        EXPECT_EQ(b.cell(site, node, FleetTable::HoursRun), QString::number(m.captured(4).toDouble(), 'f', 1)) << node;
        EXPECT_EQ(b.cell(site, node, FleetTable::Availability), "online");
        if (node == 1)
            std::tie(temperature, battery, hours) =
                std::tuple(m.captured(2).toDouble(), m.captured(3).toDouble(), m.captured(4).toDouble());
    }
    EXPECT_TRUE(b.fleet().statusText().startsWith("Connected to " + broker.url() + " (gx520/...): 1 sites, 2 nodes"))
        << b.fleet().statusText().toStdString();

    // A fault injected: red on the board, a notification and an alert line.
    sim->command("node 2 fault 17 shutdown");
    ASSERT_TRUE(b.waitFor([&] { return b.cell(site, 2, FleetTable::Fault).endsWith("(17)"); }, 10));
    EXPECT_EQ(b.screen().table().index(b.row(site, 2), FleetTable::Fault).data(Qt::ForegroundRole).value<QColor>(),
              QColor(190, 0, 0));
    ASSERT_TRUE(b.waitFor([&] { return !b.desktop.notifications.isEmpty(); }, 2));
    EXPECT_TRUE(b.desktop.notifications.join('|').contains("Sim_site_1 node 2: fault 17 came"))
        << b.desktop.notifications.join('|').toStdString();
    ASSERT_GE(b.screen().ListAlerts->count(), 1);
    EXPECT_TRUE(b.screen().ListAlerts->item(0)->text().contains("Sim_site_1 node 2: fault 17 came"));
    EXPECT_EQ(b.screen().viewRow(b.row(site, 2)), 0) << "the row in fault on top";

    // The remote view of node 1: the simulator's readings on the gauges.
    b.screen().TableFleet->doubleClicked(b.screen().order().index(b.screen().viewRow(b.row(site, 1)), 0));
    ASSERT_TRUE(b.screen().remoteShown());
    MonitorScreen& m = *b.screen().remote();
    EXPECT_EQ(std::tuple(m.AGaugeBatt->value(), m.AGaugeHET->value(), m.OdometerHours->value()),
              std::tuple(battery, temperature, hours));

    // Commands: "start" is allowed, and goes only once the user has said yes.
    EXPECT_TRUE(m.CommandControl[0]->isEnabled());
    EXPECT_FALSE(m.CommandControl[1]->isEnabled()) << "stop is not allowed";
    const QString started = "RX node 1 switch 1 on";
    b.dialogs.answers = {Dialogs::Cancel};
    m.CommandControl[0]->click();
    EXPECT_EQ(b.dialogs.asked.size(), 1);
    EXPECT_TRUE(b.dialogs.asked.value(0).startsWith("Send \"start\" to Sim_site_1 node 1?"));
    m.CommandControl[1]->click();  // disabled: nothing
    const int polls = traceCount(trace, "RX node 1 read input registers 0x0000");
    ASSERT_TRUE(b.waitFor([&] { return traceCount(trace, "RX node 1 read input registers 0x0000") >= polls + 3; }, 10));
    EXPECT_EQ(traceCount(trace, "switch 1 on") + traceCount(trace, "switch 2 on"), 0);
    b.dialogs.answers = {Dialogs::Ok};
    m.CommandControl[0]->click();
    ASSERT_TRUE(b.waitFor([&] {
        return serve.err.contains("node 1: command \"start\" sent") && traceCount(trace, started) > 0;
    }, 10)) << serve.err.toStdString();
    EXPECT_EQ(traceCount(trace, started), 1);
    m.CommandControl[8]->click();

    // The simulator stopped: its nodes offline, grey, within the service's offline time.
    sim.reset();
    ASSERT_TRUE(b.waitFor([&] {
        return b.cell(site, 1, FleetTable::Availability) == "offline" && b.cell(site, 2, FleetTable::Availability) == "offline";
    }, 15)) << serve.err.toStdString();
    EXPECT_EQ(b.screen().table().index(b.row(site, 1), FleetTable::State).data(Qt::ForegroundRole).value<QColor>(),
              QColor(140, 140, 140));
    // The service stopped: "service offline".
    EXPECT_EQ(serve.stop(), 0);
    ASSERT_TRUE(b.waitFor([&] { return b.cell(site, 1, FleetTable::Availability) == "service offline"; }, 10));
    EXPECT_TRUE(b.fleet().statusText().contains("2 offline")) << b.fleet().statusText().toStdString();
}

TEST(FleetE2E, ThreeHundredNodesAllShownAndBadMessagesCountedNeverACrash)
{
    BrokerProcess broker;
    // The scripted publisher: 20 sites of 15 nodes, retained as a service leaves them.
    gx::MqttClient::Options o;
    o.port = broker.port;
    gx::MqttClient publisher(o);
    publisher.start();
    ASSERT_TRUE(Board::waitFor([&] { return publisher.connected(); }, 5));
    StatusSummary s;
    s.stateText = "Stopped";
    s.mode = "AUTO";
    for (int site = 1; site <= 20; ++site) {
        const QString name = QStringLiteral("site%1").arg(site);
        publisher.publish(siteStatusTopic("gx520", name), "online", true, 1);
        for (int node = 1; node <= 15; ++node) {
            s.hoursRun = site * 100 + node;
            publisher.publish(nodeTopic("gx520", name, node, "availability"), "online", true, 1);
            publisher.publish(nodeTopic("gx520", name, node, "state"), stateMessage(s, QDateTime::currentDateTime()), true, 1);
        }
    }
    // Bad messages from mosquitto_pub, retained so the board finds them on connecting.
    QTemporaryDir dir;
    QFile big(dir.filePath("big"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write(QByteArray(1 << 20, '{'));
    big.close();
    const QStringList bad[] = {
        {"-t", "gx520/bad/1/state", "-m", "{\"state\": 4,"},                   // malformed JSON
        {"-t", "gx520/bad/2/state", "-m", "{\"state\": 4, \"state_text\": \"x\"}"},  // keys missing
        {"-t", "gx520/bad/99/state", "-m", "{}"},                               // a topic of another shape
        {"-t", "gx520/bad/3/state", "-f", big.fileName()},                     // a megabyte
    };
    for (const QStringList& args : bad) {
        QProcess pub;
        pub.start("mosquitto_pub", QStringList{"-h", "127.0.0.1", "-p", QString::number(broker.port), "-r", "-q", "1"} + args);
        ASSERT_TRUE(pub.waitForFinished(5000));
        EXPECT_EQ(pub.exitCode(), 0) << args.join(' ').toStdString();
    }

    Board b(broker.url());
    ASSERT_TRUE(b.waitFor([&] { return b.board().size() == 300 && b.board().ignored() == 4; }, 20))
        << b.board().size() << " nodes, " << b.board().ignored() << " ignored";
    EXPECT_EQ(b.screen().order().rowCount(), 300);
    ASSERT_TRUE(b.waitFor([&] { return b.screen().LabelFleetStatus->text().contains("20 sites, 300 nodes"); }, 2));
    EXPECT_TRUE(b.screen().LabelFleetStatus->text().contains("4 messages ignored")) << b.screen().LabelFleetStatus->text().toStdString();
    EXPECT_EQ(b.cell("site7", 9, FleetTable::HoursRun), "709.0");

    // One node changes: the board follows.
    s.hoursRun = 12345.6;
    s.faultCode = 17;
    s.faultText = "Low oil pressure shutdown";
    publisher.publish(nodeTopic("gx520", "site13", 4, "state"), stateMessage(s, QDateTime::currentDateTime()), true, 1);
    ASSERT_TRUE(b.waitFor([&] { return b.cell("site13", 4, FleetTable::HoursRun) == "12345.6"; }, 5));
    EXPECT_EQ(b.screen().viewRow(b.row("site13", 4)), 0);
    // The filter finds it among the 300.
    b.screen().TextFleetFilter->setText("site13");
    EXPECT_EQ(b.screen().order().rowCount(), 15);

    // The broker gone: the status line says so, the board keeps what it has
    // and connects again once the broker is back.
    broker.kill();
    ASSERT_TRUE(b.waitFor([&] { return b.fleet().statusText().contains("trying again"); }, 5)) << b.fleet().statusText().toStdString();
    EXPECT_EQ(b.board().size(), 300);
    ASSERT_TRUE(broker.start());
    EXPECT_TRUE(b.waitFor([&] { return b.fleet().statusText().startsWith("Connected to"); }, 10))
        << b.fleet().statusText().toStdString();
}
