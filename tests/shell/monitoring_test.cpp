// The monitor entry and both monitoring loops against a scripted controller on
// a fake line: what is sent, in which order, and what the screens show.

#include "shellfixture.h"

using namespace gx;
using namespace gx::test;

namespace {

QByteArray profileReply()
{
    QByteArray image(310, '\0');
    auto word = [&](int at, int v) {
        image[at] = char(v >> 8);
        image[at + 1] = char(v & 0xFF);
    };
    word(32 + 2 * 9, 3);    // start attempts
    word(32 + 2 * 13, 100); // full-load current
    word(32 + 2 * 16, 30);  // IDMT time constant
    word(32 + 2 * 17, 25);  // instant trip
    word(32 + 2 * 26, 3);   // phases
    image.replace(128 + 48, 16, "Unit test site  ");
    return withChecksum(image);
}

// A status reply of 67 bytes: state, mode bits and battery.
QByteArray statusReply(int state, int fault = 0)
{
    QByteArray s(65, '\0');
    s[0] = char(fault);
    s[1] = char(state);
    s[6] = char(0x40 | 0x01); // AUTO, mains present
    s[7] = char(0x80);        // engine stopped
    s[61] = 0;
    s[62] = char(128); // 12.8 V
    return withChecksum(s);
}

struct MonitorFixture : ShellFixture {
    Monitoring* monitoring = nullptr;
    QString id = QStringLiteral("GX510 V2.01     ");
    int state = 0;
    int fault = 0;
    bool silentStatus = false;
    std::map<int, bool> nodeAnswers; // network nodes that answer quick status

    MonitorFixture()
    {
        start();
        monitoring = window.findChild<Monitoring*>();
        port.responder = [this](const QByteArray& w) { answer(w); };
    }

    void answer(const QByteArray& w)
    {
        if (w.size() == 8 && uint8_t(w[0]) == 0x1E) {
            const int node = uint8_t(w[1]);
            if (uint8_t(w[2]) == 0x04 && uint8_t(w[6]) == 2 && nodeAnswers[node]) {
                QByteArray r = QByteArray::fromHex("010404");
                r += char(0);
                r += char(node == 2 ? 17 : 0);
                r += char(0);
                r += char(node == 2 ? 5 : 0);
                port.feedLater(0.01, r);
            }
            return;
        }
        switch (w[0]) {
        case cmd::Identify:
            port.feedLater(0.02, id.toLatin1());
            break;
        case cmd::ProfileUpload:
            port.feedLater(0.33, profileReply());
            break;
        case cmd::Status:
            if (!silentStatus)
                port.feedLater(0.07, statusReply(state, fault));
            break;
        default:
            break;
        }
    }

    QString lcd() const { return monitoring->screen().TextLCD->toPlainText(); }
};

} // namespace

// ---- The single-unit monitor ----

TEST(LiveMonitor, aGX510IsIdentifiedUploadedAndPolledUntilMainMenu)
{
    MonitorFixture f;
    f.window.link().ProgStatus = "No ID received from GX510-520";  // left by an earlier operation: no obstacle
    int polls = 0;
    f.waiter.onYield = [&] {
        if (f.window.StatusUpdate && f.lcd().startsWith(QStringLiteral("AUTO Standby")) && ++polls == 3)
            f.window.menuMain->trigger();
    };
    f.window.CommandMonitor->click();
    EXPECT_EQ(f.window.Frame1[0]->title(), QStringLiteral("GX510: Local mode"));
    EXPECT_EQ(f.lcd(), QStringLiteral("AUTO Standby\nBattery  12.8 V"));
    EXPECT_EQ(f.monitoring->screen().Label1[22]->text(), QStringLiteral("Unit ID: GX510 V2.01     "));
    EXPECT_EQ(f.monitoring->screen().Label1[23]->text(), QStringLiteral("Site: Unit test site  "));
    EXPECT_FALSE(f.window.FrameQuickLaunch->isHidden());
    const QByteArray sent = f.port.written();
    EXPECT_TRUE(sent.startsWith(QByteArray("\x04\x04\x02\x01", 4)))
        << "identify, identify again, profile, then status polls";
}

TEST(LiveMonitor, silenceShowsTheStatusErrorAndTheLoopGoesOn)
{
    MonitorFixture f;
    f.silentStatus = true;
    f.dialogs.onInform = [&](const QString&) {
        if (f.dialogs.informed.size() == 2)
            f.window.menuMain->trigger();
    };
    f.window.CommandMonitor->click();
    EXPECT_EQ(f.dialogs.informed.value(0), QStringLiteral("Communication error: Status upload | GX510-520"));
    EXPECT_EQ(f.dialogs.informed.size(), 2) << "shown again on the next failing poll";
    EXPECT_EQ(f.port.written().count('\x01'), 10) << "five attempts per poll";
}

TEST(LiveMonitor, clickingMonitorWhileMonitoringDoesNotStartASecondLoop)
{
    MonitorFixture f;
    int entered = 0;
    f.waiter.onYield = [&] {
        if (!f.window.StatusUpdate)
            return;
        if (entered++ == 2) {
            const int before = f.port.written().count('\x02');
            f.window.MonitorMenu->trigger(); // identifies again, then returns at once
            EXPECT_EQ(f.port.written().count('\x02'), before) << "no second profile upload";
            f.window.menuMain->trigger();
        }
    };
    f.window.CommandMonitor->click();
}

// ---- The network monitor ----

TEST(NetworkMonitor, aGX520WhoseNodeOneAnswersIsWatchedAsANetwork)
{
    MonitorFixture f;
    f.id = QStringLiteral("GX520 V2.01     ");
    f.nodeAnswers = {{1, true}, {2, true}};
    NetworkScreen& n = f.monitoring->network();
    int passes = 0;
    f.waiter.onYield = [&] {
        if (n.CommandMonitorNetwork->isEnabled() && ++passes == 400)
            n.CommandMonitorNetwork->click();
    };
    f.window.CommandMonitor->click();
    EXPECT_EQ((std::array{n.LEDavailable[1]->isOn(), n.LEDavailable[2]->isOn(), n.LEDavailable[3]->isOn()}),
              (std::array{true, true, false}));
    EXPECT_EQ(n.TextStatus[1]->text(), QStringLiteral("Standby"));
    EXPECT_TRUE(n.TextStatus[2]->text().startsWith(QStringLiteral("Shutdown: ")));
    EXPECT_TRUE(n.CommandReset[2]->isEnabled());
    EXPECT_TRUE(f.window.FrameNetMonitor->isHidden());
    EXPECT_TRUE(f.window.menuMain->isChecked());
    EXPECT_EQ(f.settings.setting(QStringLiteral("Node count")), QStringLiteral("8"));
}

TEST(Ending, byteOx12IsTheLastThingWrittenWhateverLoopRuns)
{
    const std::pair<const char*, std::function<void(MonitorFixture&)>> ends[] = {
        {"Exit from the network monitor", [](MonitorFixture& f) { f.window.ExitMenu->trigger(); }},
        {"closing the window on the network monitor", [](MonitorFixture& f) { f.window.close(); }},
        {"Exit from the live monitor", [](MonitorFixture& f) { f.window.ExitMenu->trigger(); }},
    };
    for (const auto& [what, end] : ends) {
        // Ended at every kind of moment: in a wait for a reply, in a pause, between polls.
        for (int moment = 40; moment < 200; moment += 5) {
            MonitorFixture f;
            const bool network = QString::fromLatin1(what).contains("network");
            f.id = network ? QStringLiteral("GX520 V2.01     ") : QStringLiteral("GX510 V2.01     ");
            f.nodeAnswers = {{1, true}, {2, true}, {3, true}};
            int yields = 0;
            f.waiter.onYield = [&] {
                if (++yields == moment)
                    end(f);
            };
            f.window.CommandMonitor->click();
            ASSERT_GE(yields, moment) << what;
            const QList<QByteArray> w = f.port.writes();
            EXPECT_EQ(w.last(), QByteArray(1, cmd::Goodbye)) << what << ", moment " << moment;
            EXPECT_EQ(f.port.written().count(char(cmd::Goodbye)), 1) << what;
        }
    }
}

TEST(NetworkMonitor, aNodeIsLostAfterThreeMissesAndFoundAgainByProbing)
{
    MonitorFixture f;
    f.window.link().NetworkMode = true;
    f.nodeAnswers = {{4, true}};
    Monitoring& m = *f.monitoring;
    NetworkScreen& n = m.network();
    m.CheckNodeAvailable(4);
    ASSERT_TRUE(n.LEDavailable[4]->isOn());
    f.nodeAnswers[4] = false;
    m.GetQuickStatus(4);
    EXPECT_EQ(n.LEDavailable[4]->onColour(), NetworkScreen::lampColour(QuickStatusView::Lamp::Green))
        << "one miss changes nothing visible";
    m.GetQuickStatus(4);
    EXPECT_EQ(n.LEDavailable[4]->onColour(), NetworkScreen::lampColour(QuickStatusView::Lamp::Orange));
    m.GetQuickStatus(4);
    EXPECT_FALSE(n.LEDavailable[4]->isOn());
    EXPECT_FALSE(n.CommandFull[4]->isEnabled());

    m.CheckNodeAvailable(4); // still silent: the probe fails in red
    EXPECT_EQ(n.LEDavailable[4]->offColour(), NetworkScreen::lampColour(QuickStatusView::Lamp::Red));
    f.nodeAnswers[4] = true;
    m.CheckNodeAvailable(4);
    EXPECT_TRUE(n.LEDavailable[4]->isOn());
    EXPECT_TRUE(n.CommandFull[4]->isEnabled());
}

TEST(NetworkMonitor, aCommandClickedDuringAPollIsSentOnceBetweenTheStatusFrames)
{
    MonitorFixture f;
    Link& link = f.window.link();
    link.NetworkMode = true;
    link.Address = 2;
    // The node answers both status reads.
    f.port.responder = [&](const QByteArray& w) {
        if (uint8_t(w[2]) == 0x04 && uint8_t(w[6]) == 21)
            f.port.feedLater(0.05, QByteArray(45, '\0'));
    };
    bool clicked = false;
    f.waiter.onYield = [&] {
        if (!clicked && f.port.writes().size() == 1) { // first status frame on the line
            clicked = true;
            f.monitoring->screen().CommandControl[5]->click(); // Fault Reset
            f.monitoring->screen().CommandControl[0]->click(); // replaced by Gen Start
        }
    };
    f.window.StatusUpdate = true;
    f.monitoring->UpdateMonitor();
    f.monitoring->UpdateMonitor();
    const QList<QByteArray> w = f.port.writes();
    ASSERT_EQ(w.size(), 5);
    EXPECT_EQ(w[0], net::readInputFrame(2, 0, 21));
    EXPECT_EQ(w[1], net::readInputFrame(2, 22, 21));
    EXPECT_EQ(w[2], net::switchFrame(2, 1)) << "only the last command, after the poll's frames";
    EXPECT_EQ(w[3], net::readInputFrame(2, 0, 21));
}
