// gxctl serve end to end: the simulator on a pseudo-terminal, a mosquitto
// broker of the test's own on 127.0.0.1, the service as a process, and a
// subscriber. The simulator runs paced at 9600 baud throughout: nothing here
// needs more speed than the line has.

#include "brokerprocess.h"
#include "serveprocess.h"
#include "simprocess.h"

#include "monitor/statemessages.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

using namespace gx;

namespace {

int traceCount(const QString& trace, const QString& what)
{
    QFile f(trace);
    return f.open(QIODevice::ReadOnly) ? int(QString::fromUtf8(f.readAll()).count(what)) : 0;
}

QJsonObject json(const QByteArray& payload)
{
    return QJsonDocument::fromJson(payload).object();
}

} // namespace

TEST(Serve, ANetworkOnTheBrokerFaultsOfflineNodesAndTheEnd)
{
    BrokerProcess broker;
    QTemporaryDir dir;
    const QString trace = dir.filePath("trace.log");
    SimProcess sim({"--nodes", "1,2,3", "--trace", trace, "--run", "node 1 battery 12.5", "--run", "node 2 hours 2345.67",
                    "--run", "node 3 temp 95", "--run", "node 3 oil 12"});
    // The hook of --on-fault writes what it is told into a file.
    const QString hook = dir.filePath("hook.sh"), told = dir.filePath("told.txt");
    {
        QFile f(hook);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\necho \"$GX_SITE $GX_NODE $GX_FAULT_CODE $GX_FAULT_STATE $GX_FAULT_TEXT\" >> \"$1\"\n");
        f.setPermissions(f.permissions() | QFile::ExeOwner);
    }
    Recorder rec(broker.port);
    ServeProcess serve({"--port", sim.path, "serve", "--nodes", "1-3", "--broker", broker.url(), "--on-fault", hook + " " + told});
    const QString p = "gx520/Sim_site_1/";  // the site name of node 1, made topic-safe
    ASSERT_TRUE(rec.waitFor([&] { return rec.last.contains(p + "1/state") && rec.last.contains(p + "3/state"); }, 20))
        << serve.err.toStdString();
    EXPECT_EQ(rec.last.value(p + "status"), "online");

    // Every node's retained state holds the simulator's values.
    const QRegularExpression line(R"(state (\d+) .* fault (\d+) rpm (\d+) (\d+)Hz (\d+)V (\d+)A oil (\d+)psi )"
                                  R"(temp (-?\d+)C battery ([\d.]+)V hours ([\d.]+))");
    for (int node = 1; node <= 3; ++node) {
        const auto m = line.match(sim.command("node " + QByteArray::number(node) + " status"));
        ASSERT_TRUE(m.hasMatch());
        const auto state = readStateMessage(rec.last.value(p + QString::number(node) + "/state"));
        ASSERT_TRUE(state) << node;
        const StatusSummary& s = state->status;
        const double values[] = {double(s.state), double(s.faultCode), double(s.engineSpeed), double(s.frequency),
                                 double(s.volts[0]), double(s.amps[0]), double(s.oilPressure),
                                 double(s.engineTemperature), s.battery, s.hoursRun};
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(values[i], m.captured(i + 1).toDouble()) << "node " << node << ", value " << i + 1;
        EXPECT_EQ(rec.last.value(p + QString::number(node) + "/availability"), "online");
    }

    // A fault comes and clears.
    sim.command("node 2 fault 17 shutdown");
    ASSERT_TRUE(rec.waitFor([&] { return rec.count(p + "2/fault") == 1; }, 10));
    const auto came = readFaultMessage(rec.last.value(p + "2/fault"));
    ASSERT_TRUE(came);
    EXPECT_EQ(std::tuple(came->code, came->came), std::tuple(17, true));
    EXPECT_FALSE(came->text.isEmpty());
    sim.command("node 2 reset");
    ASSERT_TRUE(rec.waitFor([&] { return rec.count(p + "2/fault") == 2; }, 10));
    const auto cleared = readFaultMessage(rec.last.value(p + "2/fault"));
    ASSERT_TRUE(cleared);
    EXPECT_EQ(std::tuple(cleared->code, cleared->came, cleared->text), std::tuple(17, false, came->text));
    const QString lines = QStringLiteral("Sim_site_1 2 17 came %1\nSim_site_1 2 17 cleared %1\n").arg(came->text);
    EXPECT_TRUE(rec.waitFor([&] {
        QFile f(told);
        return f.open(QIODevice::ReadOnly) && f.readAll() == lines.toUtf8();
    }, 5)) << "--on-fault ran once for each";

    // A node switched off: offline after its third time-out, online at its next reply.
    sim.command("node 3 off");
    ASSERT_TRUE(rec.waitForPayload(p + "3/availability", "offline", 15));
    QFile t(trace);
    ASSERT_TRUE(t.open(QIODevice::ReadOnly));
    EXPECT_GE(QString::fromUtf8(t.readAll()).count(QRegularExpression("RX node 3 read input registers 0x00.. x21 \\(node silent\\)")), 3)
        << "three status requests in a row without a reply (the probes after are quick-status reads)";
    sim.command("node 3 on");
    EXPECT_TRUE(rec.waitForPayload(p + "3/availability", "online", 15));

    // SIGTERM: "offline" everywhere, and 0x12 the last byte on the line.
    EXPECT_EQ(serve.stop(), 0);
    EXPECT_TRUE(rec.waitFor([&] {
        return rec.last.value(p + "status") == "offline" && rec.last.value(p + "1/availability") == "offline"
            && rec.last.value(p + "3/availability") == "offline";
    }, 5)) << serve.err.toStdString();
    EXPECT_EQ(traceCount(trace, "end of session: 12"), 1);
}

TEST(Serve, TheBrokerRestartedGetsEveryRetainedTopicBackWhilePollingGoesOn)
{
    BrokerProcess broker;
    QTemporaryDir dir;
    const QString trace = dir.filePath("trace.log");
    SimProcess sim({"--trace", trace});
    // What gxctl status --json prints is what the state holds.
    QProcess status;
    status.start(GXCTL_PATH, {"--port", sim.path, "status", "--json"});
    ASSERT_TRUE(status.waitForFinished(10000));
    const QJsonObject expected = json(status.readAllStandardOutput());
    ASSERT_FALSE(expected.isEmpty());

    ServeProcess serve({"--port", sim.path, "serve", "--broker", broker.url(), "--site", "north"});
    QSet<QString> retained;
    {
        Recorder rec(broker.port);
        ASSERT_TRUE(rec.waitFor([&] { return rec.last.contains("gx520/north/0/link"); }, 10)) << serve.err.toStdString();
        QJsonObject state = json(rec.last.value("gx520/north/0/state"));
        EXPECT_TRUE(QDateTime::fromString(state.take("time").toString(), Qt::ISODate).isValid());
        EXPECT_EQ(state, expected);
        // Discovery: every config parses and names the node's topics; no
        // buttons while no command is allowed.
        for (auto it = rec.last.cbegin(); it != rec.last.cend(); ++it) {
            if (!it.value().isEmpty())
                retained << it.key();
            if (!it.key().startsWith("homeassistant/"))
                continue;
            SCOPED_TRACE(it.key().toStdString());
            EXPECT_EQ(it.key().startsWith("homeassistant/button/"), it.value().isEmpty());
            if (it.value().isEmpty())
                continue;
            QJsonParseError error{};
            const QJsonDocument doc = QJsonDocument::fromJson(it.value(), &error);
            ASSERT_EQ(error.error, QJsonParseError::NoError);
            EXPECT_EQ(doc["availability"][0]["topic"].toString(), "gx520/north/0/availability");
            EXPECT_EQ(doc["state_topic"].toString(), "gx520/north/0/state");
            EXPECT_EQ(doc["device"]["model"].toString(), "GX520");
        }
        EXPECT_EQ(retained.size(), 5 + 17) << "status, the node's state, availability, info and link, 17 discovery configs";
    }

    // The broker killed: polling goes on.
    broker.kill();
    const int polls = traceCount(trace, "status: 01");
    ASSERT_TRUE(Recorder::waitFor([&] { return traceCount(trace, "status: 01") >= polls + 4; }, 10));
    ASSERT_TRUE(broker.start());
    Recorder rec(broker.port);
    EXPECT_TRUE(rec.waitFor([&] {
        for (const QString& t : retained)
            if (rec.last.value(t).isEmpty())
                return false;
        return true;
    }, 5)) << "every retained topic back within 5 s of the restart";
    EXPECT_EQ(rec.last.value("gx520/north/0/availability"), "online");

    // Killed without a word: the broker publishes the will.
    serve.proc.kill();
    EXPECT_TRUE(rec.waitForPayload("gx520/north/status", "offline", 5));
}

TEST(Serve, CommandsReachTheControllerOnlyWhenAllowedAndWellFormed)
{
    BrokerProcess broker;
    QTemporaryDir dir;
    const QString trace = dir.filePath("trace.log");
    SimProcess sim({"--trace", trace});
    Recorder rec(broker.port, "gx520/s/#");
    const QString topic = "gx520/s/0/command";
    auto polledTwiceMore = [&] {
        const int polls = traceCount(trace, "status: 01");
        return Recorder::waitFor([&] { return traceCount(trace, "status: 01") >= polls + 2; }, 10);
    };
    {
        ServeProcess off({"--port", sim.path, "serve", "--broker", broker.url(), "--site", "s"});
        ASSERT_TRUE(rec.waitFor([&] { return rec.last.contains("gx520/s/0/state"); }, 10)) << off.err.toStdString();
        rec.client.publish(topic, "start", false, 1);
        ASSERT_TRUE(polledTwiceMore());
        EXPECT_EQ(off.stop(), 0);
        EXPECT_EQ(traceCount(trace, "gen start"), 0) << "commands are off unless allowed";
    }

    rec.client.publish(topic, "start", true, 1);  // retained: waiting for the next service to start
    ServeProcess on({"--port", sim.path, "serve", "--broker", broker.url(), "--site", "s", "--commands", "start"});
    // The line as the first service left it: the end of a reply may still be
    // on its way, and must not be taken for the start of the next one.
    ASSERT_TRUE(rec.waitFor([&] { return on.err.contains("node 0: online"); }, 10)) << on.err.toStdString();
    rec.client.publish(topic, QByteArray(), true, 1);
    const struct {
        QByteArray payload;
        const char* topic;
        const char* why;
    } rejected[] = {
        {QByteArray(1 << 20, 'x'), "gx520/s/0/command", "1048576 bytes, not a command name"},
        {QByteArray::fromHex("00ff10fe1e"), "gx520/s/0/command", "5 bytes of binary data"},
        {"stop", "gx520/s/0/command", "\"stop\" is not one of the commands allowed"},
        {"start", "gx520/s/5/command", "node 5 is not watched"},
        {"start", "gx520/s/x/command", "no such node"},
    };
    for (const auto& r : rejected)
        rec.client.publish(r.topic, r.payload, false, 1);
    ASSERT_TRUE(rec.waitFor([&] { return on.err.count("ignored a message") >= 6; }, 10)) << on.err.toStdString();
    EXPECT_TRUE(on.err.contains("a retained command is never carried out")) << on.err.toStdString();
    for (const auto& r : rejected)
        EXPECT_EQ(on.err.count(QLatin1String(r.why)), 1) << r.why;
    ASSERT_TRUE(polledTwiceMore()) << "still polling";
    EXPECT_EQ(traceCount(trace, "gen start"), 0);

    rec.client.publish(topic, "start", false, 1);
    ASSERT_TRUE(rec.waitFor([&] { return traceCount(trace, "gen start") == 1; }, 10));
    ASSERT_TRUE(polledTwiceMore());
    EXPECT_EQ(traceCount(trace, "gen start"), 1);
    EXPECT_EQ(on.stop(), 0);
}

TEST(Serve, BadConfigurationStopsItAtStartWithItsMessage)
{
    QTemporaryDir dir;
    auto file = [&](const char* name, const QByteArray& text, QFile::Permissions mode) {
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(text);
        f.close();
        f.setPermissions(mode);
        return f.fileName();
    };
    const auto owner = QFile::ReadOwner | QFile::WriteOwner;
    const QString open = file("open", "user\npassword\n", owner | QFile::ReadGroup | QFile::ReadOther);
    const QString oneLine = file("oneline", "user-and-no-password\n", owner);
    const QString ca = file("ca.pem", "-----BEGIN CERTIFICATE-----\n", owner);
    const struct {
        QStringList args;
        const char* message;
    } rows[] = {
        {{"--broker", "http://127.0.0.1:1883"}, "--broker \"http://127.0.0.1:1883\" is not mqtt://HOST:PORT or mqtts://HOST:PORT"},
        {{"--broker", "127.0.0.1:1883"}, "is not mqtt://HOST:PORT"},  // the likeliest slip: no scheme
        {{"--site", "north/3"}, "--site \"north/3\" may hold only letters, digits"},
        {{"--topic-prefix", "gx/#"}, "--topic-prefix \"gx/#\" must be levels"},
        {{"--nodes", "0-16"}, "--nodes \"0-16\" is not a list of node addresses 1 to 15"},
        {{"--node", "3", "--nodes", "1-2"}, "--node and --nodes cannot be used together"},
        {{"--node", "16"}, "--node takes an RS485 node address 1 to 15"},
        {{"--commands", "start,jump"}, "--commands: \"jump\" is not one of start, stop, reset, mute, auto, manual, test"},
        {{"--interval", "0.1"}, "--interval takes a number of seconds from 0.5 to 3600"},
        {{"--nodes", "1-3", "--interval", "2"}, "--interval paces the direct line"},
        {{"--on-fault", "/nonexistent/alert --now"}, "--on-fault: \"/nonexistent/alert\" is not a program that can be run"},
        {{"--credentials", open}, "can be read by other users"},
        {{"--credentials", dir.filePath("missing")}, "cannot be read"},
        {{"--credentials", oneLine}, "must hold the user name on its first line and the password on its second"},
        {{"--cafile", ca}, "--cafile needs an mqtts:// broker"},
        {{"--config", file("a.ini", "[serve]\nbrokr = mqtt://x\n", owner)}, "a.ini line 2: unknown key \"brokr\""},
        {{"--config", file("b.ini", "# comment\nnodes 1-3\n", owner)}, "b.ini line 2: expected KEY = VALUE"},
        {{"--config", file("c.ini", "[mqtt]\n", owner)}, "c.ini line 1: only a [serve] section is read"},
        {{"--config", file("d.ini", "site = a\nsite = b\n", owner)}, "d.ini line 2: \"site\" is given twice"},
        {{"--config", file("f.ini", "no-discovery = maybe\n", owner)}, "no-discovery = maybe: give true or false"},
        {{"--dial", "5550100", "--pin", "1234"}, "--dial is not for it"},
        {{"--frobnicate"}, "Unknown option 'frobnicate'"},
    };
    for (const auto& row : rows) {
        QProcess p;
        p.start(GXCTL_PATH, QStringList{"--port", "/dev/null", "serve"} + row.args);
        ASSERT_TRUE(p.waitForFinished(10000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        SCOPED_TRACE(row.args.join(' ').toStdString());
        EXPECT_EQ(p.exitCode(), 2) << err.toStdString();
        EXPECT_TRUE(err.contains(QString::fromUtf8(row.message))) << err.toStdString();
    }
}
