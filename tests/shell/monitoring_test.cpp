// The monitoring loops against the scripted controller on a fake line: what
// the end-to-end runs cannot time or see (the attempts per poll, a second
// click on Monitor, a node's lamp after each miss, a command clicked inside a
// poll).

#include "shellfixture.h"

using namespace gx;
using namespace gx::test;

namespace {

// A GX510 on a direct line, or the nodes of a network when `nodes` is given.
struct MonitorFixture : ControllerFixture {
    explicit MonitorFixture(QList<int> nodes = {})
    {
        ctl.id = QStringLiteral("GX510 V2.01     ");
        ctl.nodes = nodes;
    }
    Monitoring& monitoring() { return *window.findChild<Monitoring*>(); }
};

} // namespace

TEST(LiveMonitor, silenceShowsTheStatusErrorAndTheLoopGoesOn)
{
    MonitorFixture f;
    f.ctl.silent << "status";
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
    EXPECT_GT(entered, 2);
}

// ---- The network monitor ----

TEST(NetworkMonitor, aNodeIsLostAfterThreeMissesAndFoundAgainByProbing)
{
    MonitorFixture f({4});
    f.window.link().NetworkMode = true;
    Monitoring& m = f.monitoring();
    NetworkScreen& n = m.network();
    m.CheckNodeAvailable(4);
    ASSERT_TRUE(n.LEDavailable[4]->isOn());
    f.ctl.nodes.clear();
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
    f.ctl.nodes = {4};
    m.CheckNodeAvailable(4);
    EXPECT_TRUE(n.LEDavailable[4]->isOn());
    EXPECT_TRUE(n.CommandFull[4]->isEnabled());
}

TEST(NetworkMonitor, aCommandClickedDuringAPollIsSentOnceBetweenTheStatusFrames)
{
    MonitorFixture f({2});
    Link& link = f.window.link();
    link.NetworkMode = true;
    link.Address = 2;
    bool clicked = false;
    f.waiter.onYield = [&] {
        if (!clicked && f.port.writes().size() == 1) { // first status frame on the line
            clicked = true;
            f.monitoring().screen().CommandControl[5]->click(); // Fault Reset
            f.monitoring().screen().CommandControl[0]->click(); // replaced by Gen Start
        }
    };
    f.window.StatusUpdate = true;
    f.monitoring().UpdateMonitor();
    f.monitoring().UpdateMonitor();
    const QList<QByteArray> w = f.port.writes();
    ASSERT_EQ(w.size(), 5);
    EXPECT_EQ(w[0], net::readInputFrame(2, 0, 21));
    EXPECT_EQ(w[1], net::readInputFrame(2, 22, 21));
    EXPECT_EQ(w[2], net::switchFrame(2, 1)) << "only the last command, after the poll's frames";
    EXPECT_EQ(w[3], net::readInputFrame(2, 0, 21));
}
