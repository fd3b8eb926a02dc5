// The whole program against the controller simulator on a real pseudo-terminal:
// program mode, the live monitor, control commands and the network monitor.

#include "e2efixture.h"

#include "profile/profilefile.h"

#include <QProcess>
#include <QScrollBar>

using namespace gx;
using namespace gx::test;

// ---- Program mode ----

TEST(EndToEnd, programModeUploadFillsThePagesWithTheControllersProfileAndNotes)
{
    Program p({});
    ASSERT_FALSE(p.sim.path.isEmpty());
    p.window.menuLoadGX510->trigger();
    ProfileEditor& editor = p.window.findChild<ProgramMode*>()->editor();
    EXPECT_EQ(p.window.windowTitle(), QStringLiteral("GX510-520 Program / Monitor  (<520 upload>)"));
    EXPECT_FALSE(p.window.TabStrip1->isHidden());
    EXPECT_EQ(editor.TextMessage[3]->text(), QStringLiteral("Sim site 1      "));
    EXPECT_EQ(editor.HScrollSysval[26]->value(), 3);
    EXPECT_EQ(editor.TextSysval[17]->text(), QStringLiteral("2.5"));
    EXPECT_TRUE(editor.textProfileNotes->toPlainText().startsWith(QStringLiteral("Simulated controller")));
    EXPECT_TRUE(p.dialogs.informed.isEmpty()) << p.dialogs.informed.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(p.received().mid(0, 2), (QStringList{QStringLiteral("02"), QStringLiteral("17")}));
}

TEST(EndToEnd, anEditedProfileGoesIntoTheControllerComesBackAndSurvivesADiskFileAndPaper)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("site.520");
    QByteArray saved;
    {
        Program p({});
        ProfileEditor& editor = p.window.findChild<ProgramMode*>()->editor();
        p.window.menuLoadGX510->trigger();
        editor.setTimerValue(0, 42);
        editor.setMessageText(3, QStringLiteral("Edited, site"));
        editor.setSwitchOption(24, 3);
        editor.setNotes(QStringLiteral("New notes\r\nsecond line"));
        p.window.menuSaveGX510->trigger();
        ASSERT_EQ(p.window.CurrentProfileName, QStringLiteral("<520 download>"));
        const Profile sent = editor.workingProfile();

        p.window.menuLoadGX510->trigger();  // the discard question is answered OK
        const Profile back = editor.workingProfile();
        EXPECT_EQ(back.TimerValue, sent.TimerValue);
        EXPECT_EQ(back.MessageText[3], QStringLiteral("Edited, site    "));
        EXPECT_EQ(back.SwSwitch[24], 3);
        EXPECT_EQ(back.Notes, QStringLiteral("New notes\r\nsecond line"));

        p.fileDialogs.paths = {path};
        p.window.menuSaveDisk->trigger();
        saved = writeProfileFile(back);
    }
    Program q({});
    q.fileDialogs.paths = {path};
    q.window.menuLoadDisk->trigger();
    ProfileEditor& editor = q.window.findChild<ProgramMode*>()->editor();
    EXPECT_EQ(writeProfileFile(editor.workingProfile()), saved);
    EXPECT_EQ(q.window.CurrentProfileName, path);

    q.printer.pdfPath = dir.filePath("site.pdf");
    q.window.menuPrintProfile->trigger();
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), q.printer.pdfPath, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(20000)) << "pdftotext (poppler-utils) runs";
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    // The text of the PDF, with runs of blanks as pdftotext reads them.
    for (const char* expected : {"GX510-520 Profile. Date: ", "Start Delay:", "00:00:42", "Profile notes:",
                                 "New notes", "second line", "\"Edited, site"})
        EXPECT_TRUE(printed.contains(QString::fromLatin1(expected))) << expected << "\n" << printed.toStdString();
}

TEST(EndToEnd, aNetworkNodeUploadsItsProfileThroughTheRegisterMap)
{
    Program p({"--nodes", "1,2,5"});
    Link& link = p.window.link();
    link.NetworkMode = true;
    link.Address = 5;
    link.uploadProfile();
    EXPECT_TRUE(link.ProgStatus.isEmpty());
    EXPECT_EQ(link.uploadedProfile.MessageText[3], QStringLiteral("Sim site 5      "));
    EXPECT_EQ(link.uploadedProfile.SysValue[26], 3);
    EXPECT_EQ(p.received().size(), 7);
}

TEST(EndToEnd, anIdentificationThatNeverComesIsReportedAndChangesNothing)
{
    Program p({"--model", "GX510", "--inject", "drop always"});
    p.window.CommandMonitor->click();
    EXPECT_EQ(statusMessage(p.window, true), "No ID received from GX510-520");
    EXPECT_FALSE(p.window.InMonitor);
    EXPECT_TRUE(p.window.Frame1[0]->isHidden());
    EXPECT_FALSE(p.window.FrameQuickLaunch->isHidden());
    EXPECT_EQ(p.received(), QStringList{QStringLiteral("04")});
}

// ---- The live monitor ----

TEST(EndToEnd, aGX510ThroughAStartSequenceAndAShutdownFault)
{
    Program p({"--model", "GX510"});
    MonitorScreen& s = p.screen();
    QStringList seen;
    bool blinked = false;
    Script script(p.window, 40);
    script.then("standby", [&] { return p.lcd().startsWith(QStringLiteral("AUTO Standby")); },
                [&] { p.sim.command("remote on"); })
        .then("start delay", [&] { return p.lcd().contains(QStringLiteral("Start delay")); })
        .then("running", [&] { return p.lcd().startsWith(QStringLiteral("AUTO Engine run")); },
              [&] { p.sim.command("fault 17 shutdown"); })
        .then("shutdown",
              [&] {
                  blinked |= s.lcdBackground() == MonitorScreen::lcdBlink();
                  return p.lcd() == QStringLiteral("ENGINE SHUTDOWN \nLOW OIL PRESSURE") && blinked;
              },
              [&] {
                  s.CommandControl[4]->click(); // Alarm Mute
                  seen << (s.CommandControl[4]->isEnabled() ? "mute enabled" : "muted");
                  p.sim.command("remote off");
                  s.CommandControl[5]->click(); // Fault Reset
              })
        .then("reset", [&] { return p.lcd().startsWith(QStringLiteral("AUTO Standby")); },
              [&] { seen << (s.CommandControl[4]->isEnabled() ? "mute enabled" : "muted"); });
    script.start();
    p.window.CommandMonitor->click();
    EXPECT_TRUE(script.finished()) << "stuck at " << script.stuckAt().toStdString() << ", LCD "
                                   << p.lcd().toStdString();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("muted"), QStringLiteral("mute enabled")}));
    EXPECT_EQ(p.window.Frame1[0]->title(), QStringLiteral("GX510: Local mode"));
    EXPECT_EQ(s.Label1[22]->text(), QStringLiteral("Unit ID: GX510 V2.01     "));
    // Identification, again, the profile, then the status polls.
    EXPECT_EQ(p.received().mid(0, 4), (QStringList{"04", "04", "02", "01"}));
    EXPECT_TRUE(p.received().contains(QStringLiteral("08")));
}

TEST(EndToEnd, everyControlCommandArrivesAsItsByteOrFrame)
{
    Program p({"--nodes", "1,2"}, QStringLiteral("2"));
    MonitorScreen& s = p.screen();
    NetworkScreen& n = p.network();
    Script script(p.window, 30);
    script.then("nodes found", [&] { return n.LEDavailable[1]->isOn() && n.LEDavailable[2]->isOn(); },
                [&] { n.CommandFull[2]->click(); })
        .then("node 2 in full", [&] { return p.monitoring().polls >= 2; });
    // One command at a time: each waits in NetworkRequest for the next poll.
    for (int i : {0, 1, 2, 3, 5, 6, 7})
        script.then("command sent", [&] { return p.monitoring().NetworkRequest.isEmpty(); },
                    [&s, i] { s.CommandControl[size_t(i)]->click(); });
    script.then("command sent", [&] { return p.monitoring().NetworkRequest.isEmpty(); },
                [&] { s.ImageButton[0]->click(); })
        .then("last sent", [&] { return p.monitoring().NetworkRequest.isEmpty(); });
    script.start();
    p.window.CommandMonitor->click();
    ASSERT_TRUE(script.finished()) << "stuck at " << script.stuckAt().toStdString();
    EXPECT_EQ(p.window.Frame1[0]->title(), QStringLiteral("GX520: Node: 2"));
    EXPECT_EQ(s.Label1[23]->text(), QStringLiteral("Site: Sim site 2      "));
    QStringList switches;
    for (const QString& r : p.received())
        if (r.startsWith(QStringLiteral("1e0205")))
            switches << r;
    EXPECT_EQ(switches.join(' '), "1e02050001ff00fe 1e02050002ff00fe 1e02050003ff00fe 1e02050006ff00fe "
                                  "1e02050000ff00fe 1e02050004ff00fe 1e02050005ff00fe 1e02050009ff00fe");
}

// ---- The network monitor ----

TEST(EndToEnd, aThreeNodeNetworkWithOneNodeSwitchedOffAndOnAgain)
{
    Program p({"--nodes", "1,2,3"}, QStringLiteral("3"));
    NetworkScreen& n = p.network();
    Script script(p.window, 40);
    script.then("all found",
                [&] { return n.LEDavailable[1]->isOn() && n.LEDavailable[2]->isOn() && n.LEDavailable[3]->isOn(); },
                [&] { p.sim.command("node 2 off"); })
        .then("node 2 lost", [&] { return !n.LEDavailable[2]->isOn(); },
              [&] {
                  EXPECT_TRUE(n.LEDavailable[1]->isOn());
                  EXPECT_TRUE(n.TextStatus[2]->text().isEmpty());
                  p.sim.command("node 2 on");
              })
        .then("node 2 found again", [&] { return n.LEDavailable[2]->isOn(); })
        .then("node 2 polled", [&] { return n.TextStatus[2]->text() == QLatin1String("Standby"); },
              [&] { n.CommandMonitorNetwork->click(); });
    script.start();
    p.window.CommandMonitor->click();
    EXPECT_TRUE(script.finished()) << "stuck at " << script.stuckAt().toStdString();
}

TEST(EndToEnd, aControllerThatGoesAwayIsReportedAndMonitoringGoesOnWhenItIsBack)
{
    auto p = std::make_unique<Program>(QStringList{"--model", "GX510"});
    std::unique_ptr<SimProcess> second;
    Script script(p->window, 60);
    script.then("monitoring", [&] { return p->monitoring().polls >= 2; },
                [&] {
                    // The line goes dead, as with an unplugged adapter. COM1 is pointed
                    // away from the dead terminal at once: its number may be handed to
                    // another program's terminal, which this one must not open.
                    p->settings.setValue("Ports", "COM1", "/dev/unplugged-adapter");
                    p->sim.proc.kill();
                    p->sim.proc.waitForFinished(2000);
                })
        .then("reported", [&] { return !p->dialogs.informed.isEmpty(); },
              [&] {
                  // The window still answers: the about box opens while the line is dead.
                  p->window.menuAbout->trigger();
                  second = std::make_unique<SimProcess>(QStringList{"--model", "GX510"});
                  p->settings.setValue(QStringLiteral("Ports"), QStringLiteral("COM1"), second->path);
                  p->monitoring().record.State = 99;
              })
        .then("polling again", [&] { return p->monitoring().record.State == 0; });
    script.start();
    p->window.CommandMonitor->click();
    EXPECT_TRUE(script.finished()) << "stuck at " << script.stuckAt().toStdString();
    EXPECT_EQ(p->dialogs.informed.value(0), QStringLiteral("Communication error: Status upload | GX510-520"));
    EXPECT_TRUE(statusMessage(p->window, true).startsWith("Serial port lost")) << qPrintable(statusMessage(p->window, true));
}

// ---- Behind a serial gateway (TCP on the loopback) ----

TEST(EndToEnd, monitoringThroughAGatewayCountsEachNodesTimeOuts)
{
    Program p({"--nodes", "1,2,3", "--tcp", "0"}, "3");
    const QString tcp = p.sim.nextLine();
    ASSERT_TRUE(tcp.startsWith("tcp 127.0.0.1:")) << tcp.toStdString();
    p.settings.setValue("Ports", "COM1", "tcp://" + tcp.mid(4));
    p.window.link().openCommunications();
    ASSERT_TRUE(p.port.portOpen()) << p.dialogs.informed.join(' ').toStdString();
    NetworkScreen& n = p.network();
    const LinkHealth& h = p.window.link().health;
    long before = 0;
    Script script(p.window, 40);
    script.then("all found", [&] { return n.LEDavailable[1]->isOn() && n.LEDavailable[2]->isOn() && n.LEDavailable[3]->isOn(); },
                [&] {
                    before = h.node(2).timeouts;
                    p.sim.command("node 2 off");
                })
        .then("node 2 times out", [&] { return h.node(2).timeouts >= before + 3; },
              [&] {
                  EXPECT_EQ(h.node(1).timeouts + h.node(3).timeouts, 0) << "the others stay at zero";
                  EXPECT_FALSE(n.LabelLink[2]->text().startsWith("0 time-outs")) << n.LabelLink[2]->text().toStdString();
                  EXPECT_TRUE(n.LabelLink[1]->text().startsWith("0 time-outs")) << n.LabelLink[1]->text().toStdString();
                  n.CommandFull[1]->click();
              })
        .then("node 1 in full through the gateway", [&] { return p.monitoring().polls >= 3 && p.lcd().startsWith("AUTO"); });
    script.start();
    p.window.CommandMonitor->click();
    EXPECT_TRUE(script.finished()) << "stuck at " << script.stuckAt().toStdString();
    EXPECT_EQ(h.node(1).timeouts, 0);
    EXPECT_GT(h.node(1).replies, 2);
}
