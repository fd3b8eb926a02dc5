#include "imagebuilder.h"
#include "link/timerreadout.h"
#include "monitor/monitorscreen.h"
#include "monitor/networkscreen.h"
#include "profile/profile.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace gx;

namespace {
template <typename T>
T* named(QWidget* root, const QString& name)
{
    return root->findChild<T*>(name);
}
} // namespace

// ------------------------------------------------------------ monitor screen

TEST(MonitorScreenWidgets, EveryNamedControlExistsWithItsCaption)
{
    QGroupBox frame;
    MonitorScreen screen(&frame);
    for (const char* name : {"AGaugeGenV", "AGaugeGenI", "AGaugeGenHz", "AGaugeLOP", "AGaugeHET", "AGaugeBatt",
                             "AGaugeRPM"})
        EXPECT_TRUE(named<AGauge>(&frame, QString::fromLatin1(name))) << name;
    EXPECT_TRUE(named<QPlainTextEdit>(&frame, QStringLiteral("TextLCD")));
    EXPECT_TRUE(named<LED>(&frame, QStringLiteral("ShapeComStatus")));
    EXPECT_TRUE(named<LGauge>(&frame, QStringLiteral("LGaugeIDMT")));
    EXPECT_TRUE(named<Odometer>(&frame, QStringLiteral("OdometerHours")));
    EXPECT_EQ(named<LEDRow>(&frame, QStringLiteral("LEDoutputs"))->count(), 4);
    EXPECT_EQ(named<LEDRow>(&frame, QStringLiteral("LEDinputs"))->count(), 5);
    EXPECT_TRUE(named<QLabel>(&frame, QStringLiteral("LabelOverride")));
    for (int i : {2, 3, 4, 5, 6, 10, 11, 12, 13, 22, 23})
        EXPECT_TRUE(named<QLabel>(&frame, QStringLiteral("Label1(%1)").arg(i))) << i;

    const char* captions[9] = {"Gen Start",   "Gen Stop", "Re-load",  "Remote test", "Alarm Mute",
                               "Fault Reset", "Output A", "Output B", "Quit"};
    for (int i = 0; i < 9; ++i) {
        auto* b = named<QPushButton>(&frame, QStringLiteral("CommandControl(%1)").arg(i));
        ASSERT_TRUE(b) << i;
        EXPECT_EQ(b->text(), QString::fromLatin1(captions[i]));
    }
    const char* tips[3] = {"Click for AUTO mode", "Click for MAN mode and Manual start",
                           "Click for MAN mode and manual stop"};
    for (int i = 0; i < 3; ++i) {
        auto* b = named<ModePicture>(&frame, QStringLiteral("ImageButton(%1)").arg(i));
        ASSERT_TRUE(b) << i;
        EXPECT_EQ(b->toolTip(), QString::fromLatin1(tips[i]));
    }
}

TEST(MonitorScreenWidgets, ClicksAreReportedByIndex)
{
    QGroupBox frame;
    MonitorScreen screen(&frame);
    QSignalSpy commands(&screen, &MonitorScreen::commandClicked);
    QSignalSpy images(&screen, &MonitorScreen::imageClicked);
    screen.CommandControl[5]->click();
    screen.ImageButton[2]->click();
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.at(0).at(0).toInt(), 5);
    ASSERT_EQ(images.count(), 1);
    EXPECT_EQ(images.at(0).at(0).toInt(), 2);
}

TEST(MonitorScreenWidgets, SetUpAppliesScalesLabelsAndStandBackPointers)
{
    QGroupBox frame;
    MonitorScreen screen(&frame);
    Profile p;
    p.SysValue[26] = 1;
    p.SysValue[13] = 40, p.SysValue[17] = 12;
    p.SwSwitch[8] = 1;
    p.SwSwitch[25] = 51;
    p.MessageText[3] = QStringLiteral("Depot           ");
    std::array<QString, 53> outputs;
    outputs[51] = QStringLiteral("Mains contactor open");
    const QColor standBack(128, 128, 128);
    const double rpmDesign = screen.AGaugeRPM->maximum();
    const ScreenSetup s = screen.setUp(p, {}, outputs, standBack);

    EXPECT_EQ(s.ATSsupport, 1);
    EXPECT_EQ(screen.Label1[6]->text(), QStringLiteral("Mains Fail"));
    EXPECT_EQ(screen.Label1[3]->text(), QStringLiteral("Mains contactor open"));
    EXPECT_FALSE(screen.Label1[2]->isEnabled());
    EXPECT_EQ(screen.Label1[23]->text(), QStringLiteral("Site: Depot           "));
    EXPECT_EQ(screen.Label1[13]->text(), QStringLiteral("Gen Voltage (L-N)"));
    for (int sc = 0; sc < 3; ++sc)
        EXPECT_DOUBLE_EQ(screen.AGaugeGenI->maximum(sc), 50);
    EXPECT_TRUE(screen.AGaugeGenI->band(0, 2).shown);
    EXPECT_DOUBLE_EQ(screen.AGaugeGenI->band(0, 2).to, 40);
    EXPECT_EQ(screen.AGaugeGenV->pointerColour(1), standBack);
    EXPECT_EQ(screen.AGaugeGenI->pointerColour(2), standBack);
    EXPECT_NE(screen.AGaugeGenV->pointerColour(0), standBack);
    EXPECT_TRUE(screen.AGaugeRPM->isHidden());
    EXPECT_DOUBLE_EQ(screen.AGaugeRPM->maximum(), rpmDesign);  // not set: design kept

    p.SysValue[26] = 3;
    screen.setUp(p, {}, outputs, standBack);
    EXPECT_EQ(screen.AGaugeGenV->pointerColour(1), AGauge::ownPointerColour(1, 3));
}

TEST(MonitorScreenWidgets, OnePollDrawsLcdGaugesLedsAndBeeps)
{
    QGroupBox frame;
    MonitorScreen screen(&frame);
    int beeps = 0;
    screen.beep = [&] { ++beeps; };
    Profile p;
    p.SysValue[26] = 3;
    p.SysValue[16] = 10;
    TimerReadout timers;
    test::ImageBuilder b;
    b.set(0, 17).set(1, 5).bit(6, 6).set(3, 0x09).bit(14, 6).word(59, 100);
    StatusRecord r = b.decode();

    screen.show(buildPollView(r, b.image, PollContext{}, p, 1, screen.muteEnabled(), timers));
    EXPECT_EQ(screen.TextLCD->toPlainText(), QStringLiteral("ENGINE SHUTDOWN \nLOW OIL PRESSURE"));
    EXPECT_EQ(screen.lcdBackground(), QColor(128, 128, 0));
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(screen.LEDoutputs->value(), 9);
    EXPECT_TRUE(screen.LEDoutputs->led(0)->isOn());
    EXPECT_FALSE(screen.LEDoutputs->led(1)->isOn());
    EXPECT_TRUE(screen.LEDinputs->led(4)->isOn());
    EXPECT_DOUBLE_EQ(screen.LGaugeIDMT->value(), 20);
    EXPECT_FALSE(screen.LabelOverride->isHidden());
    EXPECT_EQ(screen.LabelOverride->text(), QStringLiteral("Overriden"));
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

    Odometer& odo = *screen.OdometerHours;
    odo.setValue(1234.56);
    EXPECT_EQ(odo.displayedText(), QStringLiteral("000000.0"));  // inactive: holds
    odo.setActive(true);
    EXPECT_EQ(odo.displayedText(), QStringLiteral("001234.5"));
    odo.setActive(false);
    odo.setValue(99.9);
    EXPECT_EQ(odo.displayedText(), QStringLiteral("001234.5"));
    odo.setActive(true);
    EXPECT_EQ(odo.displayedText(), QStringLiteral("000099.9"));
    odo.setValue(2000000);
    EXPECT_EQ(odo.displayedText(), QStringLiteral("999999.9"));
}

// ------------------------------------------------------------ network screen

TEST(QuickStatus, StateTextsWithoutFault)
{
    const char* texts[6] = {"Standby", "Preheat", "Cranking", "Engine running Off-load", "Engine running On-load",
                            "Engine Shutdown"};
    for (int s = 0; s < 6; ++s) {
        const QuickStatusView v = quickStatus(0, s);
        EXPECT_EQ(v.text, QString::fromLatin1(texts[s]));
        EXPECT_EQ(v.lamp, QuickStatusView::Lamp::Green);
    }
    EXPECT_EQ(quickStatus(0, 0).resetEnabled, false);
    EXPECT_EQ(quickStatus(0, 5).resetEnabled, true);
    EXPECT_FALSE(quickStatus(0, 3).resetEnabled);
    EXPECT_FALSE(quickStatus(0, 9).text);
}

TEST(QuickStatus, FaultsAreShutdownsInStateFiveElseWarnings)
{
    QuickStatusView v = quickStatus(17, 5);
    EXPECT_EQ(v.text, QStringLiteral("Shutdown: LOW OIL PRESSURE"));
    EXPECT_EQ(v.lamp, QuickStatusView::Lamp::Red);
    EXPECT_EQ(v.resetEnabled, true);
    v = quickStatus(184, 4);
    EXPECT_EQ(v.text, QStringLiteral("Warning: HET warning"));
    EXPECT_EQ(v.lamp, QuickStatusView::Lamp::Orange);
    EXPECT_FALSE(v.resetEnabled);
    EXPECT_EQ(quickStatus(35, 5).text, QStringLiteral("Shutdown: "));
    EXPECT_EQ(quickStatus(35, 0).text, QStringLiteral("Warning: "));
}

TEST(NetworkScreenWidgets, RowsAndFooterExistWithCaptions)
{
    QGroupBox frame;
    NetworkScreen screen(&frame);
    for (int n = 1; n <= 16; ++n) {
        const auto name = [n](const char* base) { return QStringLiteral("%1(%2)").arg(QLatin1String(base)).arg(n); };
        EXPECT_TRUE(named<LED>(&frame, name("LEDavailable"))) << n;
        EXPECT_TRUE(named<LED>(&frame, name("LEDstatus"))) << n;
        EXPECT_TRUE(named<QLineEdit>(&frame, name("TextStatus"))) << n;
        EXPECT_TRUE(named<QCheckBox>(&frame, name("Check1"))) << n;
        EXPECT_TRUE(named<QLabel>(&frame, name("LabelStationNumber"))) << n;
        EXPECT_EQ(named<QPushButton>(&frame, name("CommandReset"))->text(), QStringLiteral("Reset"));
        EXPECT_EQ(named<QPushButton>(&frame, name("CommandTestStart"))->text(), QStringLiteral("Start"));
        EXPECT_EQ(named<QPushButton>(&frame, name("CommandTestStop"))->text(), QStringLiteral("Stop"));
        EXPECT_EQ(named<QPushButton>(&frame, name("CommandFull"))->text(), QStringLiteral("Full Monitor"));
        EXPECT_EQ(named<QPushButton>(&frame, name("CommandNodeProgram"))->text(), QStringLiteral("Program"));
    }
    auto* scroll = named<QScrollBar>(&frame, QStringLiteral("HScrollNodeCheck"));
    ASSERT_TRUE(scroll);
    EXPECT_EQ(scroll->minimum(), 1);
    EXPECT_EQ(scroll->maximum(), 16);
    EXPECT_TRUE(named<QLineEdit>(&frame, QStringLiteral("TextNodeCheck")));
    EXPECT_EQ(named<QPushButton>(&frame, QStringLiteral("CommandMonitorNetwork"))->text(), QStringLiteral("Quit"));
    bool maxNodes = false;
    for (auto* l : frame.findChildren<QLabel*>())
        maxNodes |= l->text() == QStringLiteral("Max Nodes:");
    EXPECT_TRUE(maxNodes);
}

TEST(NetworkScreenWidgets, NodeCountShowsAndTicksRows)
{
    QGroupBox frame;
    NetworkScreen screen(&frame);
    QSignalSpy saved(&screen, &NetworkScreen::nodeCountChanged);
    screen.setNodeCount(3);
    EXPECT_EQ(screen.TextNodeCheck->text(), QStringLiteral("3"));
    ASSERT_EQ(saved.count(), 1);
    EXPECT_EQ(saved.at(0).at(0).toInt(), 3);
    for (int n = 1; n <= 16; ++n) {
        EXPECT_EQ(screen.Check1[n]->isChecked(), n <= 3) << n;
        EXPECT_EQ(screen.TextStatus[n]->isHidden(), n > 3) << n;
        EXPECT_EQ(screen.CommandNodeProgram[n]->isHidden(), n > 3) << n;
        EXPECT_EQ(screen.LabelStationNumber[n]->isHidden(), n > 3) << n;
    }
    // Moving the scroll bar does the same.
    screen.HScrollNodeCheck->setValue(16);
    EXPECT_TRUE(screen.Check1[16]->isChecked());
    EXPECT_FALSE(screen.LEDavailable[16]->isHidden());
    EXPECT_EQ(saved.count(), 2);
}

TEST(NetworkScreenWidgets, QuickStatusLightsTheRowAndClicksNameTheNode)
{
    QGroupBox frame;
    NetworkScreen screen(&frame);
    screen.CommandReset[4]->setEnabled(false);
    screen.UpdateQuickStatus(4, 17, 5);
    EXPECT_TRUE(screen.LEDstatus[4]->isOn());
    EXPECT_EQ(screen.LEDstatus[4]->onColour(), QColor(255, 0, 0));
    EXPECT_EQ(screen.TextStatus[4]->text(), QStringLiteral("Shutdown: LOW OIL PRESSURE"));
    EXPECT_TRUE(screen.CommandReset[4]->isEnabled());
    screen.UpdateQuickStatus(4, 0, 3);  // leaves Reset as it was
    EXPECT_TRUE(screen.CommandReset[4]->isEnabled());
    EXPECT_EQ(screen.LEDstatus[4]->onColour(), QColor(0, 255, 0));

    screen.clearRow(4);
    EXPECT_FALSE(screen.LEDavailable[4]->isOn());
    EXPECT_TRUE(screen.TextStatus[4]->text().isEmpty());
    EXPECT_FALSE(screen.CommandFull[4]->isEnabled());

    screen.CommandFull[2]->setEnabled(true);
    QSignalSpy full(&screen, &NetworkScreen::fullClicked);
    screen.CommandFull[2]->click();
    ASSERT_EQ(full.count(), 1);
    EXPECT_EQ(full.at(0).at(0).toInt(), 2);
}
