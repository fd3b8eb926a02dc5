#include "imagebuilder.h"
#include "link/linkhealth.h"
#include "link/timerreadout.h"
#include "monitor/monitorscreen.h"
#include "monitor/networkscreen.h"
#include "profile/profile.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolTip>
#include <QHelpEvent>

#include <functional>

#include <gtest/gtest.h>

using namespace gx;

// ------------------------------------------------------------ monitor screen

// The widgets themselves: the shell's tests and EndToEnd reach them by name and click them.
TEST(MonitorScreenWidgets, ButtonCaptionsAndModePictureTips)
{
    QGroupBox frame;
    MonitorScreen screen(&frame);
    const char* captions[9] = {"Gen Start",   "Gen Stop", "Re-load",  "Remote test", "Alarm Mute",
                               "Fault Reset", "Output A", "Output B", "Quit"};
    for (int i = 0; i < 9; ++i) {
        auto* b = frame.findChild<QPushButton*>(QStringLiteral("CommandControl(%1)").arg(i));
        EXPECT_EQ(b ? b->text() : "missing", QString(captions[i])) << i;
    }
    const char* tips[3] = {"Click for AUTO mode", "Click for MAN mode and Manual start",
                           "Click for MAN mode and manual stop"};
    for (int i = 0; i < 3; ++i) {
        auto* b = frame.findChild<ModePicture*>(QStringLiteral("ImageButton(%1)").arg(i));
        EXPECT_EQ(b ? b->toolTip() : "missing", QString(tips[i])) << i;
    }
}

TEST(MonitorScreenWidgets, SetUpAppliesScalesLabelsAndStandBackPointers)
{
    QGroupBox frame;
    MonitorScreen screen(&frame);
    Profile p;
    p.SysValue[26] = 1, p.SysValue[13] = 40, p.SysValue[17] = 12, p.SwSwitch[8] = 1, p.SwSwitch[25] = 51;
    p.MessageText[3] = QStringLiteral("Depot           ");
    std::array<QString, 53> outputs;
    outputs[51] = QStringLiteral("Mains contactor open");
    const QColor standBack(128, 128, 128);
    const double rpmDesign = screen.AGaugeRPM->maximum();
    const ScreenSetup s = screen.setUp(p, {}, outputs, standBack);

    EXPECT_EQ(s.ATSsupport, 1);
    const std::pair<int, const char*> labels[] = {{6, "Mains Fail"}, {3, "Mains contactor open"},
                                                  {23, "Site: Depot           "}, {13, "Gen Voltage (L-N)"}};
    for (const auto& [i, text] : labels)
        EXPECT_EQ(screen.Label1[i]->text(), QString(text)) << i;
    EXPECT_FALSE(screen.Label1[2]->isEnabled());
    for (int sc = 0; sc < 3; ++sc)
        EXPECT_DOUBLE_EQ(screen.AGaugeGenI->maximum(sc), 50);
    EXPECT_TRUE(screen.AGaugeGenI->band(0, 2).shown);
    EXPECT_DOUBLE_EQ(screen.AGaugeGenI->band(0, 2).to, 40);
    EXPECT_EQ(screen.AGaugeGenV->pointerColour(1), standBack);
    EXPECT_EQ(screen.AGaugeGenI->pointerColour(2), standBack);
    EXPECT_NE(screen.AGaugeGenV->pointerColour(0), standBack);
    EXPECT_TRUE(screen.AGaugeRPM->isHidden());
    EXPECT_DOUBLE_EQ(screen.AGaugeRPM->maximum(), rpmDesign);  // not set: design kept

    for (int phases : {2, 3}) {
        p.SysValue[26] = phases;
        screen.setUp(p, {}, outputs, standBack);
        EXPECT_EQ(screen.AGaugeGenV->pointerColour(1), AGauge::ownPointerColour(1, phases));
        EXPECT_EQ(screen.AGaugeGenV->pointerColour(2) == standBack, phases == 2) << phases;
    }
}

TEST(MonitorScreenWidgets, OnePollDrawsLcdGaugesLedsAndBeeps)
{
    QGroupBox frame;
    MonitorScreen screen(&frame);
    int beeps = 0;
    screen.beep = [&] { ++beeps; };
    Profile p;
    p.SysValue[26] = 3, p.SysValue[16] = 10;
    TimerReadout timers;
    test::ImageBuilder b;
    b.set(0, 17).set(1, 5).bit(6, 6).set(3, 0x09).bit(14, 6).word(59, 100);
    StatusRecord r = b.decode();

    // The LCD's text in a shutdown: EndToEnd.
    screen.show(buildPollView(r, b.image, PollContext{}, p, 1, screen.muteEnabled(), timers));
    EXPECT_EQ(screen.lcdBackground(), QColor(128, 128, 0));
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(screen.LEDoutputs->value(), 9);
    EXPECT_TRUE(screen.LEDoutputs->led(0)->isOn() && !screen.LEDoutputs->led(1)->isOn() && screen.LEDinputs->led(4)->isOn());
    EXPECT_DOUBLE_EQ(screen.LGaugeIDMT->value(), 20);
    EXPECT_EQ(screen.LabelOverride->isHidden() ? "hidden" : screen.LabelOverride->text(), QStringLiteral("Overriden"));
    EXPECT_TRUE(screen.OdometerHours->isActive());

    // Muted: the next blink is silent; the mute lasts until the fault has gone.
    screen.setMuteEnabled(false);
    screen.show(buildPollView(r, b.image, PollContext{}, p, 1, screen.muteEnabled(), timers));
    EXPECT_EQ(beeps, 1);
    EXPECT_FALSE(screen.muteEnabled());
    r = test::ImageBuilder().bit(6, 6).bit(7, 7).decode();
    screen.show(buildPollView(r, test::ImageBuilder().image, PollContext{}, p, 0, screen.muteEnabled(), timers));
    EXPECT_TRUE(screen.muteEnabled());
    EXPECT_EQ(screen.lcdBackground(), QColor(192, 192, 0));
}

TEST(Instruments, HeartbeatAndHoursCounter)
{
    QGroupBox frame;
    MonitorScreen screen(&frame);
    const bool first = screen.heartbeatGreen();
    screen.beat();
    EXPECT_NE(screen.heartbeatGreen(), first);
    EXPECT_EQ(screen.ShapeComStatus->colour(), screen.heartbeatGreen() ? QColor(0, 255, 0) : QColor(0, 0, 0));

    // The hours counter holds while inactive, shows tenths cut, and stops at its last digit.
    Odometer& odo = *screen.OdometerHours;
    const std::tuple<bool, double, const char*> steps[] = {{false, 1234.56, "000000.0"}, {true, 1234.56, "001234.5"},
                                                           {false, 99.9, "001234.5"},     {true, 99.9, "000099.9"},
                                                           {true, 2000000, "999999.9"}};
    for (const auto& [active, value, text] : steps) {
        odo.setActive(active);
        odo.setValue(value);
        EXPECT_EQ(odo.displayedText(), QString(text)) << value << (active ? " active" : " inactive");
    }
}

TEST(Instruments, DialDrawnFromItsKeptFaceMatchesOneDrawnAfresh)
{
    // A gauge keeps its dial face between paints: after every change it must
    // look exactly as a new gauge given the same settings does. The pointers
    // and read-out, drawn afresh at every paint, stand in "value".
    const auto base = [](AGauge& g) {
        g.resize(170, 150);
        g.setDesign(100, 10, 2);
        g.setCaption(QStringLiteral("BAR"));
        g.setBand(0, 2, 20, 60);
        g.setReadoutDecimals(1);
        g.setValue(30);
    };
    const std::pair<const char*, std::function<void(AGauge&)>> changes[] = {
        {"value", [](AGauge& g) { g.setValue(75); }},
        {"maximum", [](AGauge& g) { g.setMaximum(0, 160); }},
        {"ticks", [](AGauge& g) { g.setTicks(0, 25, 5); }},
        {"band set", [](AGauge& g) { g.setBand(0, 0, 80, 100); }},
        {"band cleared", [](AGauge& g) { g.clearBand(0, 2); }},
        {"all bands cleared", [](AGauge& g) { g.clearBands(); }},
        {"caption", [](AGauge& g) { g.setCaption(QStringLiteral("PSI")); }},
        {"design", [](AGauge& g) { g.setDesign(50, 5, 1); }},
        {"size", [](AGauge& g) { g.resize(120, 200); }},
    };
    for (const auto& [what, change] : changes) {
        AGauge kept;
        base(kept);
        const QImage before = kept.grab().toImage();
        change(kept);
        const QImage after = kept.grab().toImage();
        AGauge fresh;
        base(fresh);
        change(fresh);
        EXPECT_TRUE(after != before) << what << ": the change does not show";
        EXPECT_TRUE(after == fresh.grab().toImage()) << what << ": not as a new gauge draws it";
    }
}

// ------------------------------------------------------------ network screen

// Tooltips are written when asked for, from the counts last shown.

TEST(LinkHealthTips, TooltipsGiveTheCountsLastShownWhenAskedFor)
{
    QGroupBox frame, networkFrame;
    MonitorScreen screen(&frame);
    NetworkScreen network(&networkFrame);
    const auto askTip = [](QLabel* label) {
        QHelpEvent e(QEvent::ToolTip, QPoint(1, 1), QPoint(1, 1));
        QCoreApplication::sendEvent(label, &e);
        QToolTip::hideText();
        return label->toolTip();
    };
    LinkHealth health;
    for (int round = 1; round <= 2; ++round) {
        for (int n : {LinkHealth::DirectLine, 3, 7}) {
            LinkCounts& c = health.node(n);
            c.requests = 10 * round + n;
            c.replies = c.requests - round;
            c.timeouts = round;
            c.replyTimeTotal = 0.071 * c.replies * round;
        }
        screen.showLinkHealth(health.node(LinkHealth::DirectLine));
        network.showLinkHealth(health);
        const std::pair<QLabel*, QString> tips[] = {{screen.LabelLinkHealth, health.node(LinkHealth::DirectLine).summary()},
                                                    {network.LabelLink[3], health.node(3).summary()},
                                                    {network.LabelLink[7], health.node(7).summary()},
                                                    {network.LabelLinkSummary, health.total().summary()}};
        for (const auto& [label, expected] : tips)
            EXPECT_EQ(askTip(label), expected) << label->objectName().toStdString() << " round " << round;
    }
}

TEST(QuickStatus, StateTextsWithoutFaultShutdownsInStateFiveElseWarnings)
{
    using Lamp = QuickStatusView::Lamp;
    const std::optional<bool> keep;  // Reset stays as it was
    const struct {
        int fault, state;
        const char* text;
        Lamp lamp;
        std::optional<bool> reset;
    } rows[] = {
        {0, 0, "Standby", Lamp::Green, false},
        {0, 1, "Preheat", Lamp::Green, keep},
        {0, 2, "Cranking", Lamp::Green, keep},
        {0, 3, "Engine running Off-load", Lamp::Green, keep},
        {0, 4, "Engine running On-load", Lamp::Green, keep},
        {0, 5, "Engine Shutdown", Lamp::Green, true},
        {17, 5, "Shutdown: LOW OIL PRESSURE", Lamp::Red, true},
        {184, 4, "Warning: HET warning", Lamp::Orange, keep},
        {35, 5, "Shutdown: ", Lamp::Red, true},  // no short text
        {35, 0, "Warning: ", Lamp::Orange, keep},
    };
    for (const auto& row : rows) {
        const QuickStatusView v = quickStatus(row.fault, row.state);
        EXPECT_EQ(v.text, QString(row.text)) << row.fault << " in state " << row.state;
        EXPECT_EQ(v.lamp, row.lamp) << row.fault << " in state " << row.state;
        EXPECT_EQ(v.resetEnabled, row.reset) << row.fault << " in state " << row.state;
    }
    EXPECT_FALSE(quickStatus(0, 9).text);
}

TEST(NetworkScreenWidgets, ButtonAndFooterCaptions)
{
    QGroupBox frame;
    NetworkScreen screen(&frame);
    const std::pair<QPushButton*, const char*> buttons[] = {
        {screen.CommandReset[1], "Reset"},      {screen.CommandTestStart[1], "Start"},
        {screen.CommandTestStop[1], "Stop"},    {screen.CommandFull[1], "Full Monitor"},
        {screen.CommandNodeProgram[1], "Program"}, {screen.CommandMonitorNetwork, "Quit"}};
    for (const auto& [button, caption] : buttons)
        EXPECT_EQ(button->text(), QString(caption)) << button->objectName().toStdString();
    const auto labels = frame.findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](QLabel* l) { return l->text() == "Max Nodes:"; }));
}

TEST(NetworkScreenWidgets, NodeCountAndQuickStatus)
{
    QGroupBox frame;
    NetworkScreen screen(&frame);
    QSignalSpy saved(&screen, &NetworkScreen::nodeCountChanged);
    screen.setNodeCount(3);
    EXPECT_EQ(screen.TextNodeCheck->text(), QStringLiteral("3"));
    EXPECT_EQ(saved, (QList<QList<QVariant>>{{3}}));
    for (int n = 1; n <= 16; ++n) {
        EXPECT_EQ(screen.Check1[n]->isChecked(), n <= 3) << n;
        EXPECT_EQ(screen.TextStatus[n]->isHidden(), n > 3) << n;
        EXPECT_EQ(screen.CommandNodeProgram[n]->isHidden(), n > 3) << n;
        EXPECT_EQ(screen.LabelStationNumber[n]->isHidden(), n > 3) << n;
    }
    EXPECT_EQ(std::pair(screen.HScrollNodeCheck->minimum(), screen.HScrollNodeCheck->maximum()), std::pair(1, 16));
    screen.HScrollNodeCheck->setValue(16);  // the scroll bar does the same
    EXPECT_TRUE(screen.Check1[16]->isChecked() && !screen.LEDavailable[16]->isHidden());
    EXPECT_EQ(saved.count(), 2);

    // A node's text after a shutdown, and its row cleared when it is lost: NetworkMonitor (shell) and EndToEnd.
    screen.CommandReset[4]->setEnabled(false);
    screen.UpdateQuickStatus(4, 17, 5);
    EXPECT_TRUE(screen.LEDstatus[4]->isOn());
    EXPECT_EQ(screen.LEDstatus[4]->onColour(), QColor(255, 0, 0));
    screen.UpdateQuickStatus(4, 0, 3);  // leaves Reset as it was
    EXPECT_TRUE(screen.CommandReset[4]->isEnabled());
    EXPECT_EQ(screen.LEDstatus[4]->onColour(), QColor(0, 255, 0));

    // Time-outs stand only on the rows of watched nodes.
    LinkHealth health;
    health.node(2).requests = health.node(3).requests = 5;
    health.node(3).timeouts = 1;
    screen.Check1[2]->setChecked(false);
    screen.showLinkHealth(health);
    EXPECT_EQ((QStringList{screen.LabelLink[2]->text(), screen.LabelLink[3]->text()}), (QStringList{"", "1 time-outs"}));
}
