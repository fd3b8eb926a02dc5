// Remote work against the simulator's modem on a pseudo-terminal: dialling out
// and logging on, monitoring over the line, hanging up, a rejected PIN, and a
// fault call answered into the call log.

#include "e2efixture.h"

#include "remote/calllog.h"
#include "remote/calllogscreen.h"

#include <QListWidget>

using namespace gx;
using namespace gx::test;

namespace {

// The program with the simulator's modem on COM1 as its modem port. The
// program's own pauses run two and a half times faster than the wall clock
// (the modem's escape guard is cut to match, S12=20); every byte, modem
// results included, crosses the line at its real pace.
struct RemoteProgram : Program {
    explicit RemoteProgram(QStringList simArgs) : Program(simArgs << QStringLiteral("--modem"), {}, 2.5)
    {
        settings.setSetting("use", "remote");
        settings.setSetting("CurrentPort", "0");
        settings.setSetting("CurrentModemPort", "1");
        settings.setSetting("ModemInit", "ATZE1V1X0S0=0S12=20");
        settings.setSetting("ModemInComming", "ATE0V0X0S0=0S12=20");
        window.ProgramDirectory = dir.path();
        window.setMenus();
        window.link().openCommunications();
    }
    RemoteAccess& remote() { return *window.findChild<RemoteAccess*>(); }
};

} // namespace

TEST(EndToEndRemote, DialMonitorDisconnectTwiceInOneRun)
{
    // The second dial after monitoring over the modem is the one that used to
    // find "No MODEM detected". "Disconnect" is chosen while the monitor runs:
    // the monitor stops first, then the line is hung up.
    RemoteProgram p({"--model", "GX510", "--dial-delay", "500"});
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(dial(p.window)) << p.dialogs.informed.join('\n').toStdString();
        const long before = p.monitoring().polls;
        Script script(p.window, 30);
        script.then("polled over the modem", [&] { return p.monitoring().polls >= before + 3 && p.lcd().startsWith("AUTO"); },
                    [&] { p.window.menuDisconnect->trigger(); });
        script.start();
        p.window.CommandMonitor->click();
        EXPECT_TRUE(script.finished()) << "stuck at " << script.stuckAt().toStdString();
        EXPECT_FALSE(p.window.ModemConnected);
        EXPECT_FALSE(p.window.StatusUpdate);
        EXPECT_FALSE(p.window.FrameQuickLaunch->isHidden()) << "the start screen, and only it";
        EXPECT_TRUE(p.window.Frame1[0]->isHidden());
        EXPECT_TRUE(p.window.menuConnect->isEnabled() && !p.window.menuDisconnect->isEnabled());
    }
    const QString trace = p.trace();
    EXPECT_EQ(trace.count("ATDT5550100"), 2) << trace.toStdString();
    EXPECT_EQ(trace.count("RX node 1 remote log-on accepted"), 2);
    EXPECT_EQ(trace.count("modem mode command, call up (escape)"), 2) << "+++ between guard times, twice";
    EXPECT_EQ(trace.count("ATH0"), 2);
    EXPECT_TRUE(p.dialogs.informed.isEmpty()) << p.dialogs.informed.join('\n').toStdString();
    EXPECT_EQ(p.settings.setting("LastNumber"), "5550100");
}

TEST(EndToEndRemote, TenFaultCallsInARowGiveTenRecords)
{
    // Every result of the modem arrives a byte at a time ("2", then its CR a
    // millisecond later): none of the ten calls may be taken for "No connection".
    RemoteProgram p({"--run", "fault 17 shutdown"});
    CallLogScreen& log = p.remote().logScreen();
    const auto awaiting = [&] { return log.TextLogStatus->text() == "Awaiting incoming calls..."; };
    Script script(p.window, 120);
    for (int call = 0; call < 10; ++call)
        script.then("awaiting a call", awaiting, [&] { p.sim.command("call"); })
            .then("asked to stay connected", [&] { return !log.FrameGoMonitor->isHidden(); },
                  [&] { log.CommandHangup->click(); });
    script.then("awaiting after the tenth", awaiting, [&] { log.CommandQuitLog->click(); });
    script.start();
    p.window.CommandLogCalls->click();
    ASSERT_TRUE(script.finished()) << "stuck at " << script.stuckAt().toStdString() << ": "
                                   << log.TextLogStatus->text().toStdString();
    QFile file(QDir(p.dir.path()).filePath("faultlog.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList records = calllog::recordLines(file.readAll());
    ASSERT_EQ(records.size(), 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(records[i].startsWith(QStringLiteral("%1 Sim site 1").arg(10 - i, 6))) << records[i].toStdString();
    EXPECT_EQ(p.trace().count("modem TX 1 (CONNECT)"), 10);
    EXPECT_TRUE(p.window.FrameLog->isHidden() && !p.window.FrameQuickLaunch->isHidden());
}

TEST(EndToEndRemote, AWrongPinIsRejectedAndTheCallDropped)
{
    RemoteProgram p({});
    EXPECT_FALSE(dial(p.window, "9999"));
    EXPECT_TRUE(p.dialogs.informed.contains("Password rejected: Call terminated | MODEM error (!)"))
        << p.dialogs.informed.join('\n').toStdString();
    EXPECT_TRUE(p.trace().contains("line dropped")) << "closing the port hangs the modem up";
}

TEST(EndToEndRemote, AFaultCallIsLoggedAndStayingConnectedLeavesTheLineUsable)
{
    RemoteProgram p({"--run", "fault 17 shutdown"});
    CallLogScreen& log = p.remote().logScreen();
    Script script(p.window, 60);
    script.then("awaiting calls", [&] { return log.TextLogStatus->text() == "Awaiting incoming calls..."; },
                [&] { p.sim.command("call"); })
        .then("asked to stay connected", [&] { return !log.FrameGoMonitor->isHidden(); },
              [&] { log.CommandStayConnected->click(); });
    script.start();
    p.window.CommandLogCalls->click();
    ASSERT_TRUE(script.finished()) << "stuck at " << script.stuckAt().toStdString() << ": "
                                   << log.TextLogStatus->text().toStdString();
    EXPECT_TRUE(p.window.ModemConnected);
    EXPECT_TRUE(p.window.FrameLog->isHidden());

    QFile file(QDir(p.dir.path()).filePath("faultlog.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList records = calllog::recordLines(file.readAll());
    ASSERT_EQ(records.size(), 1);
    EXPECT_TRUE(records[0].startsWith("     1 Sim site 1")) << records[0].toStdString();
    EXPECT_EQ(log.ListLog[1]->item(0)->text(), calllog::columns(records[0]).site);

    // The caller stays on the line: its profile comes up over the modem.
    ASSERT_TRUE(p.window.menuLoadGX510->isEnabled());
    p.window.menuLoadGX510->trigger();
    EXPECT_EQ(p.window.CurrentProfileName, "<520 upload>");
}
