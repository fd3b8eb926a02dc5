// gxctl as a script runs it, against the simulator on its pseudo-terminal.

#include "simprocess.h"

#include "monitor/statussummary.h"
#include "profile/profilefile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

using namespace gx;

namespace {

struct Outcome {
    int rc = -1;
    QString out, err;
};

// With `configDir`, gxctl keeps the user's settings there (XDG_CONFIG_HOME);
// `program` another copy of gxctl.
Outcome gxctl(const QStringList& args, const QString& configDir = {}, const QString& program = GXCTL_PATH)
{
    QProcess p;
    if (!configDir.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), configDir);
        p.setProcessEnvironment(env);
    }
    p.start(program, args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

struct Sim {
    SimProcess sim;
    explicit Sim(QStringList args) : sim(args) {}
    Outcome run(QStringList args) { return gxctl(QStringList{QStringLiteral("--port"), sim.path} + args); }
};

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes a profile file, and gives back its path.
QString written(const QString& path, const Profile& p)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(writeProfileFile(p)) > 0 ? path : QString();
}

} // namespace

TEST(Gxctl, EveryCommandInEachFramingItHas)
{
    Sim s({QStringLiteral("--nodes"), QStringLiteral("1,2,5")});
    QTemporaryDir dir;
    struct Row {
        QStringList args;
        int rc;
        const char* out;  // text standard output holds
        const char* err;  // text standard error holds ("" for nothing)
    };
    const Row rows[] = {
        {{"--node", "5", "identify", "--json"}, 0, "\"model\":\"GX520\"", ""},
        {{"status"}, 0, "LCD:          AUTO Standby", ""},
        {{"--node", "1", "upload", "-o", dir.filePath("n1.520")}, 0, "", "the notes travel only on the direct line"},
        {{"upload", "-o", dir.filePath("direct.520")}, 0, "", ""},
        {{"--node", "1", "download", dir.filePath("n1.520")}, 2, "", "only on the direct line"},
        {{"upload"}, 2, "", "upload needs -o FILE"},
    };
    for (const Row& r : rows) {
        const Outcome run = s.run(r.args);
        SCOPED_TRACE(r.args.join(' ').toStdString());
        EXPECT_EQ(run.rc, r.rc) << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(QLatin1String(r.out))) << run.out.toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(r.err))) << run.err.toStdString();
    }
    const Outcome scan = s.run({"scan"});
    EXPECT_EQ(scan.rc, 0);
    EXPECT_EQ(scan.out.count('\n'), 3) << "one line per node that answers";
    EXPECT_TRUE(scan.out.contains("node  5: Standby (state 0, fault 0)")) << scan.out.toStdString();
    // Node 1 answers the direct line too: its profile read through the
    // register map is the one the direct line gives, notes apart.
    const ProfileFileContents n1 = readProfileFile(contents(dir.filePath("n1.520")));
    ProfileFileContents direct = readProfileFile(contents(dir.filePath("direct.520")));
    EXPECT_TRUE(n1.ok() && direct.ok());
    EXPECT_FALSE(direct.profile.Notes.isEmpty());
    direct.profile.Notes.clear();
    EXPECT_EQ(writeProfileFile(n1.profile), writeProfileFile(direct.profile));
}

TEST(Gxctl, ProfilesAreCheckedAndCompared)
{
    // A download's round trip is the end-to-end run's (the same transfer
    // routines); gxctl's download is the exit statuses' test.
    Sim s({});
    QTemporaryDir dir;
    const QString first = dir.filePath("first.520");
    ASSERT_EQ(s.run({"upload", "-o", first}).rc, 0);
    EXPECT_EQ(s.run({"check", first}).rc, 0);

    // One edit: exactly that difference against the controller.
    const ProfileFileContents c = readProfileFile(contents(first));
    Profile p = c.profile;
    p.TimerValue[0] = 7;
    const Outcome d = s.run({"diff", written(dir.filePath("edited.520"), p), "controller"});
    EXPECT_EQ(d.rc, 1) << "different";
    EXPECT_EQ(d.out.trimmed(), "Timers: Start Delay:  0:00:07  ->  " + QString("0:00:%1").arg(c.profile.TimerValue[0], 2, 10, QChar('0')));

    // Two bad values: both named, exit 1.
    p.SysValue[26] = 9;
    p.SwSwitch[24] = 200;
    const Outcome bad = gxctl({"check", written(dir.filePath("bad.520"), p), "--limits", QStringLiteral(GX_SOURCE_DIR) + "/data/limits.txt"});
    EXPECT_EQ(bad.rc, 1);
    EXPECT_TRUE(bad.out.contains("Generator phases: is 9")) << bad.out.toStdString();
    EXPECT_TRUE(bad.out.contains("Programmable output 1: is option 200")) << bad.out.toStdString();
    EXPECT_EQ(s.run({"download", dir.filePath("bad.520")}).rc, 1) << "refused before anything is sent";
}

TEST(Gxctl, StatusRowsParseBackToTheSimulatorsValues)
{
    Sim s({QStringLiteral("--run"), QStringLiteral("battery 13.6"), QStringLiteral("--run"), QStringLiteral("hours 2345.67")});
    QTemporaryDir dir;
    const QString csv = dir.filePath("log.csv");
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(s.run({"status", "--csv", csv}).rc, 0);
    const QStringList lines = QString::fromUtf8(contents(csv)).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << "one header, then a row a poll, appended";
    EXPECT_EQ(lines[0], csvHeader());
    const QStringList header = csvFields(lines[0]);
    const QStringList row = csvFields(lines[2]);
    ASSERT_EQ(row.size(), header.size());
    auto field = [&](const char* name) { return row[header.indexOf(QLatin1String(name))]; };
    EXPECT_EQ(field("battery_v"), "13.6");
    EXPECT_EQ(field("hours_run"), "2345.67");
    EXPECT_EQ(field("state_text"), "Stopped");
    EXPECT_EQ(field("lcd_top"), "AUTO Standby");
    EXPECT_TRUE(QDateTime::fromString(field("time"), Qt::ISODate).isValid()) << field("time").toStdString();

    // Watching polls on until interrupted, then ends cleanly with no row half-written.
    QProcess watch;
    watch.start(QStringLiteral(GXCTL_PATH), {"--port", s.sim.path, "--json", "status", "--watch", "0.2", "--csv", csv});
    QByteArray printed;
    while (printed.count('\n') < 3 && watch.waitForReadyRead(5000))
        printed += watch.readAllStandardOutput();
    watch.terminate();
    ASSERT_TRUE(watch.waitForFinished(5000));
    EXPECT_EQ(watch.exitCode(), 0);
    EXPECT_GE(printed.count('\n'), 3);
    EXPECT_GE(QString::fromUtf8(contents(csv)).count('\n'), 3 + 3);
    EXPECT_TRUE(contents(csv).endsWith('\n'));
}

TEST(Gxctl, ASilentControllerAndADialledOne)
{
    Sim silent({QStringLiteral("--inject"), QStringLiteral("drop always")});
    const Outcome r = silent.run({"identify"});
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.err.trimmed(), "gxctl: No ID received from GX510-520");

    Sim modem({QStringLiteral("--modem")});
    QTemporaryDir config;
    const Outcome dialled =
        gxctl({"--port", modem.sim.path, "--dial", "5550100", "--pin", "1234", "identify"}, config.path());
    EXPECT_EQ(dialled.rc, 0) << dialled.err.toStdString();
    EXPECT_TRUE(dialled.out.contains("Model:    GX520"));
    EXPECT_FALSE(QFile::exists(config.filePath("GX520/GX520.ini"))) << "the window's settings are left alone";
}

TEST(Gxctl, ExitStatusesAScriptCanRelyOn)
{
    Sim s({});
    QTemporaryDir dir;
    const QString mine = dir.filePath("mine.520");
    ASSERT_EQ(s.run({"upload", "-o", mine}).rc, 0);
    // A copy of gxctl with no limits.txt anywhere it looks.
    const QString lone = dir.filePath("bin/gxctl");
    ASSERT_TRUE(QDir().mkpath(dir.filePath("bin")) && QFile::copy(QStringLiteral(GXCTL_PATH), lone));
    const struct {
        QStringList args;
        int rc;
        QString out, err;  // what standard output is, what standard error holds
        QString program;
    } rows[] = {
        {{"diff", mine, mine}, 0, "", "", GXCTL_PATH},
        {{"diff", mine, dir.filePath("none.520")}, 2, "", "none.520 cannot be read", GXCTL_PATH},
        {{"frobnicate", "--help"}, 2, "", "gxctl: no command \"frobnicate\"\nUsage: gxctl", GXCTL_PATH},
        {{"--port", s.sim.path, "download", mine}, 1, "", "--no-limits downloads it unchecked", lone},
        {{"--port", s.sim.path, "download", "--no-limits", mine}, 0, "", "", lone},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.args.join(' ').toStdString());
        const Outcome o = gxctl(r.args, {}, r.program);
        EXPECT_EQ(o.rc, r.rc) << o.err.toStdString();
        EXPECT_EQ(o.out, r.out);
        EXPECT_TRUE(o.err.contains(r.err)) << o.err.toStdString();
    }
}

TEST(Gxctl, CtrlCDuringTheDialHangsTheModemUp)
{
    QTemporaryDir dir;
    const QString trace = dir.filePath("trace.log");
    SimProcess sim({"--modem", "--dial-delay", "20000", "--trace", trace});
    QProcess p;
    p.setReadChannel(QProcess::StandardError);
    p.start(QStringLiteral(GXCTL_PATH), {"--port", sim.path, "--verbose", "--dial", "5550100", "--pin", "1234", "identify"});
    QByteArray err;
    while (!err.contains("Dialing...") && p.waitForReadyRead(10000))
        err += p.readAllStandardError();
    ASSERT_TRUE(err.contains("Dialing...")) << err.toStdString();
    p.terminate();  // as Ctrl-C
    ASSERT_TRUE(p.waitForFinished(20000));
    err += p.readAllStandardError();
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(err.contains("the modem hung up")) << err.toStdString();
    // Ctrl-C in the pause before the dial command: no dial is begun, and the
    // modem gets "+++" and ATH0 as "Disconnect" sends them.
    const QByteArray log = contents(trace);
    EXPECT_TRUE(!log.contains("ATDT") && log.contains("+++ATH0<CR>")) << log.toStdString();
    const QString modem = sim.command("modem status");
    EXPECT_TRUE(modem.startsWith("ok modem mode command, on-hook")) << modem.toStdString();
}

TEST(Programs, EachRefusesAnArgumentItDoesNotUnderstand)
{
    const QStringList programs = QStringLiteral(GX_PROGRAMS).split(',', Qt::SkipEmptyParts);
    EXPECT_GE(programs.size(), 3);
    for (const QString& program : programs) {
        SCOPED_TRACE(program.toStdString());
        const Outcome refused = gxctl({"--no-such-option"}, {}, program);
        EXPECT_EQ(refused.rc, 2) << refused.out.toStdString();
        EXPECT_TRUE(refused.out.isEmpty()) << "no figures, no window";
        EXPECT_TRUE(refused.err.contains("Usage") || program.endsWith("gxsim")) << refused.err.toStdString();
        const Outcome help = gxctl({"--help"}, {}, program);
        EXPECT_EQ(help.rc, 0);
        EXPECT_TRUE(help.out.contains("Usage") || help.out.contains("usage")) << help.out.toStdString();
    }
    for (const char* name : {"gx520", "gxctl"}) {
        const Outcome version = gxctl({"--version"}, {}, QFileInfo(QStringLiteral(GXCTL_PATH)).dir().filePath(name));
        EXPECT_EQ(version.rc, 0);
        EXPECT_EQ(version.out, QStringLiteral("%1 %2\n").arg(name, GX_VERSION));
    }
}
