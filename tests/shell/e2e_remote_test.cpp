// Remote work against the simulator's modem on a pseudo-terminal: dialling out
// and logging on, monitoring over the line, hanging up, a rejected PIN, and a
// fault call answered into the call log.

#include "e2efixture.h"

#include "remote/calllog.h"
#include "remote/calllogscreen.h"
#include "remote/formdialup.h"
#include "shell/remoteaccess.h"

#include <QListWidget>

using namespace gx;
using namespace gx::test;

namespace {

// The program with the simulator's modem on COM1 as its modem port.
struct RemoteProgram : Program {
    explicit RemoteProgram(QStringList simArgs) : Program(simArgs << QStringLiteral("--modem"))
    {
        settings.setSetting("use", "remote");
        settings.setSetting("CurrentPort", "0");
        settings.setSetting("CurrentModemPort", "1");
        settings.setSetting("ModemInit", "ATZE1V1X0S0=0");
        window.ProgramDirectory = dir.path();
        window.setMenus();
        window.link().openCommunications();
    }
    RemoteAccess& remote() { return *window.findChild<RemoteAccess*>(); }
    bool dial(const QString& pin)
    {
        window.menuConnect->trigger();
        FormDialup* d = remote().dialupDialog();
        d->TextPhoneNumber->setText("5550100");
        d->TextRemotePIN->setText(pin);
        d->CommandDial->click();
        return window.ModemConnected;
    }
};

} // namespace

TEST(EndToEndRemote, DialLogOnMonitorOverTheLineAndHangUp)
{
    RemoteProgram p({"--model", "GX510"});
    ASSERT_TRUE(p.dial("1234")) << p.dialogs.informed.join('\n').toStdString();

    Script script(p.window, 30);
    script.then("polled over the modem", [&] { return p.monitoring().polls >= 3 && p.lcd().startsWith("AUTO"); },
                [&] { p.window.menuMain->trigger(); });
    script.start();
    p.window.CommandMonitor->click();
    EXPECT_TRUE(script.finished()) << "stuck at " << script.stuckAt().toStdString();

    p.window.menuDisconnect->trigger();
    EXPECT_FALSE(p.window.ModemConnected);
    const QString trace = p.trace();
    EXPECT_TRUE(trace.contains("ATDT5550100")) << trace.toStdString();
    EXPECT_TRUE(trace.contains("remote log-on accepted"));
    EXPECT_TRUE(trace.contains("ATH0"));
    EXPECT_EQ(p.settings.setting("LastNumber"), "5550100");
}

TEST(EndToEndRemote, AWrongPinIsRejectedAndTheCallDropped)
{
    RemoteProgram p({});
    EXPECT_FALSE(p.dial("9999"));
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
