#include "imagebuilder.h"
#include "link/timerreadout.h"
#include "monitor/lcd.h"
#include "profile/profile.h"

#include <gtest/gtest.h>

#include <functional>

using namespace gx;
using gx::test::ImageBuilder;

namespace {

StatusRecord inState(int state, const std::function<void(StatusRecord&)>& more = {})
{
    StatusRecord r;
    r.setState(state);
    if (more)
        more(r);
    return r;
}

} // namespace

// ------------------------------------------------------------ upper and lower lines

// "AUTO Standby", "AUTO Engine run " and "ENGINE SHUTDOWN " show whole in the LiveMonitor and EndToEnd runs.
TEST(UpperLine, FirstMatchingRowAcrossStatesAndModes)
{
    const struct {
        const char* what;
        StatusRecord r;
        int attempts;
        double firm;
        const char* text;
    } rows[] = {
        {"man stopped", inState(0, [](auto& r) { r.MAN = 1; }), 3, 2.0, "MAN Engine stop"},
        {"start flag", inState(0, [](auto& r) { r.AUTO = 1; r.StrtFlg = 1; r.StartNum = 2; }), 3, 2.0, "Start No 1 of 3"},
        {"start flag, StartNum 0", inState(0, [](auto& r) { r.StrtFlg = 1; }), 3, 2.0, "Start No 1 of 3"},
        {"ten attempts", inState(0, [](auto& r) { r.StrtFlg = 1; }), 10, 2.0, "Start No 1 of 0"},
        {"preheat", inState(1, [](auto& r) { r.StartNum = 2; }), 3, 2.0, "Start No 2 of 3"},
        {"cranking", inState(2, [](auto& r) { r.StartNum = 13; }), 3, 2.0, "Start No 3 of 3"},
        {"charge start", inState(3, [](auto& r) { r.AUTO = 1; r.ChargeStart = 1; }), 3, 1.02, "AUTO chrge start"},
        {"charge start, firmware 1.01", inState(3, [](auto& r) { r.AUTO = 1; r.ChargeStart = 1; }), 3, 1.01, ""},
        {"man run", inState(3, [](auto& r) { r.MAN = 1; }), 3, 2.0, "MAN Engine run "},
        {"auto on load", inState(4, [](auto& r) { r.AUTO = 1; }), 3, 2.0, "AUTO Gen on-load"},
        {"man on load", inState(4, [](auto& r) { r.MAN = 1; }), 3, 2.0, "MAN Gen on-load "},
        {"running, no mode", inState(3), 3, 2.0, ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(upperLine(row.r, row.attempts, row.firm), QString::fromLatin1(row.text)) << row.what;
}

TEST(LowerLine, StopRulesAndCountdownsReadTheirTimers)
{
    ImageBuilder b;
    b.word(19, 754);    // timer 0: 75.4 s -> 76 s = 1:16
    b.word(21, 31);     // timer 1: preheat 4 s
    b.word(23, 100);    // timer 2: cranking 10 s
    b.word(25, 59);     // timer 3: crank rest 6 s; network timer 1
    b.word(29, 300);    // timer 5: warm-up 30 s
    b.word(31, 36010);  // timer 6: restore 3601 s = 1:00:01
    b.word(33, 1205);   // timer 7: cooling 121 s
    b.word(57, 45);     // timer 8: stop 4.5 s -> 5
    b.word(63, 50);     // timer 13: contactor 5 s
    const struct {
        const char* what;
        StatusRecord r;
        int ats;
        double firm;
        const char* text;
        bool network = false;
    } rows[] = {
        {"stopping", inState(0, [](auto& r) { r.EnergStop = 1; r.StopOn = 1; }), 0, 2.0, "Stopping engine"},
        {"stop active", inState(0, [](auto& r) { r.StopOn = 1; r.EngStopd = 1; }), 0, 2.0, "Stop active 05 S"},
        {"stop active ends the rules", inState(0, [](auto& r) { r.StopOn = 1; r.EngStopd = 1; r.StrtFlg = 1; }), 0, 2.0,
         "Stop active 05 S"},
        {"stopping gives way to a countdown", inState(0, [](auto& r) { r.EnergStop = 1; r.StopOn = 1; r.StrtFlg = 1; }),
         0, 2.0, "Crnk rest 06 sec"},
        {"remote start", inState(0, [](auto& r) { r.AUTO = 1; r.RemStart = 1; }), 0, 2.0, "Start delay 1:16"},
        {"test start", inState(0, [](auto& r) { r.AUTO = 1; r.TestStart = 1; }), 0, 2.0, "Start delay 1:16"},
        {"mains failed", inState(0, [](auto& r) { r.AUTO = 1; }), 1, 2.0, "Start delay 1:16"},
        {"start delay over", inState(0, [](auto& r) { r.AUTO = 1; r.RemStart = 1; r.StrtDly = 1; }), 0, 2.0, ""},
        {"crank rest", inState(0, [](auto& r) { r.StrtFlg = 1; }), 0, 2.0, "Crnk rest 06 sec"},
        {"preheat", inState(1), 0, 2.0, "Preheat 04 sec"},
        {"preheat, network timers 4 bytes on", inState(1), 0, 2.0, "Preheat 06 sec", true},
        {"cranking", inState(2), 0, 2.0, "Cranking 10 sec"},
        {"contactor", inState(3, [](auto& r) { r.Mains = 1; }), 1, 1.02, "Contactor 0:00:05"},
        {"contactor, firmware 1.01", inState(3, [](auto& r) { r.WarmUp = 1; }), 1, 1.01, ""},
        {"warm-up", inState(3, [](auto& r) { r.AUTO = 1; }), 0, 2.0, "Warmup 30 sec"},
        {"restore", inState(4, [](auto& r) { r.AUTO = 1; }), 0, 2.0, "Restore 1:00:01"},
        {"restore, mains back", inState(4, [](auto& r) { r.AUTO = 1; r.Mains = 1; }), 1, 1.01, "Restore 1:00:01"},
        {"restore waits for remote start", inState(4, [](auto& r) { r.AUTO = 1; r.RemStart = 1; }), 0, 2.0, ""},
        {"manual restore", inState(4, [](auto& r) { r.AUTO = 1; r.ManRestore = 1; }), 0, 2.0, ""},
        {"cooling", inState(3, [](auto& r) { r.AUTO = 1; r.WarmUp = 1; r.RestDly = 1; }), 0, 2.0, "Cooling 0:02:01"},
        {"test off load", inState(3, [](auto& r) { r.AUTO = 1; r.WarmUp = 1; r.RestDly = 1; r.TestOffLoad = 1; }), 0, 2.0,
         ""},
    };
    TimerReadout timers;
    for (const auto& row : rows)
        EXPECT_EQ(lowerLine(row.r, b.image, PollContext{row.network, row.firm, row.ats}, timers), QString(row.text))
            << row.what;
}

// ------------------------------------------------------------ faults

TEST(FaultAdjustments, EngineNotStoppedBadOilAndDumpFault)
{
    const StatusImage noOutput5{}, output5 = ImageBuilder().bit(3, 5).image;
    const struct {
        const char* what;
        StatusRecord r;
        const StatusImage& image;
        int fault;
    } rows[] = {
        {"start delay in AUTO", inState(0, [](auto& r) { r.AUTO = 1; r.StrtDly = 1; }), noOutput5, 8},
        {"stopped with start flag", inState(0, [](auto& r) { r.StrtFlg = 1; r.EngStopd = 1; }), noOutput5, 0},
        {"a fault is kept", inState(0, [](auto& r) { r.StrtFlg = 1; r.FaultReg = 17; }), noOutput5, 17},
        {"cranking without output 5", inState(2), noOutput5, 9},
        {"cranking with output 5", inState(2), output5, 0},
        {"cranking with oil pressure", inState(2, [](auto& r) { r.LOP = 1; }), noOutput5, 0},
        {"off load: dump fault 0 replaces", inState(3, [](auto& r) { r.FaultReg = 12; }), noOutput5, 0},
        {"off load: dump fault", inState(3, [](auto& r) { r.DumpFault = 184; }), noOutput5, 184},
        {"load accepted", inState(3, [](auto& r) { r.DumpFault = 184; r.LdAccept = 1; }), noOutput5, 0},
    };
    for (auto row : rows) {
        applyFaultAdjustments(row.r, row.image);
        EXPECT_EQ(row.r.FaultReg, row.fault) << row.what;
    }
}

// ------------------------------------------------------------ default lines

TEST(GeneratorLine, AveragesPaddingAndDashes)
{
    const struct {
        int v1, v2, v3, i1, i2, i3, phases, lineToLine, hertz;
        const char* text;
    } rows[] = {
        {230, 230, 230, 15, 15, 15, 3, 0, 50, "230V   15A  50HZ"},  // sixteen characters
        {231, 232, 0, 1, 0, 0, 3, 0, 9, "154V ----A  9HZ"},         // 463 / 3; 1 / 3 = 0
        {0, 0, 0, 0, 0, 0, 3, 0, 0, "---V ----A  0HZ"},
        {400, 230, 0, 10, 21, 0, 2, 1, 50, "400V   15A  50HZ"},  // line to line: phase 1 only
        {400, 230, 0, 10, 21, 0, 2, 0, 50, "315V   15A  50HZ"},
        {400, 230, 0, 10, 21, 0, 1, 0, 60, "400V   10A  60HZ"},
        {400, 230, 0, 12345, 21, 0, 1, 0, 60, "400V 12345A  60HZ"},
    };
    for (const auto& row : rows) {
        StatusRecord r;
        r.GenV1 = row.v1, r.GenV2 = row.v2, r.GenV3 = row.v3, r.GenI1 = row.i1, r.GenI2 = row.i2, r.GenI3 = row.i3;
        EXPECT_EQ(generatorLine(r, row.phases, row.lineToLine, row.hertz), QString(row.text))
            << row.v1 << "/" << row.v2 << "/" << row.v3 << " V, phases " << row.phases << ", L-L " << row.lineToLine;
    }
}

TEST(BatteryLine, AlwaysOneDecimal)
{
    // "Battery  12.8 V": LiveMonitor.
    for (const auto& [volts, text] : {std::pair{13.0, "Battery  13.0 V"}, {6553.5, "Battery  6553.5 V"}})
        EXPECT_EQ(batteryLine(volts), QString(text)) << volts;
}

TEST(BlinkAndBeep, EverySecondPollWhileFaultedOrShutDown)
{
    auto decision = [](int fault, int shutDown, int poll, bool mute) {
        const auto d = blinkDecision(fault, shutDown, poll, mute);
        return std::array{d.dark, d.beep, d.enableMute};
    };  // dark, beep, mute button enabled
    // A fault's beep, silent once muted: OnePollDrawsLcdGaugesLedsAndBeeps.
    EXPECT_FALSE(decision(17, 0, 0, true)[0]) << "the other polls";
    EXPECT_EQ(decision(0, 1, 1, true), (std::array{true, true, true})) << "shut down without a fault code";
    EXPECT_FALSE(decision(0, 0, 1, true)[0]);
}

// ------------------------------------------------------------ LEDs, override, gauges

TEST(InputLeds, BitsFromRemoteStartMainsChargeFailAndInputs)
{
    StatusRecord remote, mains;
    remote.RemStart = 1;
    mains.Mains = 1;
    const struct {
        const StatusRecord& r;
        StatusImage image;
        int ats, leds;
    } rows[] = {
        {remote, {}, 0, 1},
        {remote, {}, 1, 1},  // with ATS, input 1 means mains failed
        {mains, {}, 1, 0},
        {mains, ImageBuilder().bit(10, 1).image, 0, 2},
        {mains, ImageBuilder().bit(14, 4).image, 0, 4},
        {mains, ImageBuilder().bit(14, 6).image, 0, 16},
        {mains, ImageBuilder().set(14, 0x8F).set(10, 0xFD).image, 0, 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(inputLedByte(row.r, row.image, row.ats), row.leds) << "row " << &row - rows;
}

TEST(OverrideLabel, CountdownWhileRunningOtherwiseOverridden)
{
    TimerReadout timers;
    const StatusImage image = ImageBuilder().word(27, 123).image;  // timer 4: 12.3 s -> 13
    StatusRecord r = inState(3);
    EXPECT_EQ(overrideView(r, image, false, timers).text, QStringLiteral("Override: 13 Sec"));
    EXPECT_TRUE(overrideView(r, image, false, timers).visible);
    r = inState(0);
    EXPECT_EQ(overrideView(r, image, false, timers).text, QStringLiteral("Overriden"));
    r.Ovridtim = 1;
    EXPECT_FALSE(overrideView(r, image, false, timers).visible);
}

TEST(GaugeValues, PhasesAndUnitConversions)
{
    Profile p;
    p.SysValue[26] = 1;
    p.AlogSensor[0] = 2;
    p.AlogSensor[1] = 3;
    StatusRecord r;
    r.GenV1 = 230, r.GenV2 = 231, r.GenV3 = 232, r.GenI1 = 10, r.GenI2 = 11, r.GenI3 = 12;
    r.OilPress = 29, r.EngTemp = 100, r.EngSpeed = 1500;
    const StatusImage image = ImageBuilder().set(15, 50).word(61, 0x8001).image;

    GaugeValues g = gaugeValues(r, image, p);  // one phase, bar, deg F
    EXPECT_EQ(g.volts, (std::array<double, 3>{230, 0, 0}));
    EXPECT_EQ(g.amps, (std::array<double, 3>{10, 0, 0}));
    EXPECT_DOUBLE_EQ(g.oil, 29 / 14.493);
    EXPECT_EQ((std::array{g.temperature, g.rpm, g.hertz, g.battery}), (std::array{212.0, 1.5, 50.0, 3276.9}));

    p.SysValue[26] = 2;
    p.SwSwitch[3] = 1;
    p.SwSwitch[4] = 1;
    g = gaugeValues(r, image, p);
    EXPECT_EQ(g.volts, (std::array<double, 3>{230, 231, 0}));
    EXPECT_EQ((std::array{g.oil, g.temperature}), (std::array{29.0, 100.0}));

    p.SysValue[26] = 3;
    p.AlogSensor = {1, 0};
    g = gaugeValues(r, image, p);
    EXPECT_EQ(g.amps, (std::array<double, 3>{10, 11, 12}));
    EXPECT_EQ((std::array{g.oil, g.temperature}), (std::array{0.0, 0.0}));  // no sender fitted
}

TEST(OverCurrentBar, PercentOfTheTimeConstant)
{
    // {IDMT count, time constant, percent}: count / (constant * 50) * 100, whole part, taken downwards.
    const std::tuple<int, int, int> rows[] = {{250, 10, 50}, {499, 10, 99}, {1000, 15, 100},
                                              {1234, 5, 0} /* no scale: no division by zero */, {7, 4, -7}, {1, 3, -1}};
    for (const auto& [count, constant, percent] : rows)
        EXPECT_EQ(idmtPercent(count, constant), percent) << count << " " << constant;
}

// ------------------------------------------------------------ a whole poll

// A fault's text in place of the lower line: the EndToEnd runs and OnePollDrawsLcdGaugesLedsAndBeeps;
// the battery line when stopped: LiveMonitor. The bar and lamps of a poll: OnePollDrawsLcdGaugesLedsAndBeeps.
TEST(PollView, TheGeneratorLineFillsAnEmptyLowerLineWhileRunning)
{
    Profile p;
    p.SysValue[9] = 3, p.SysValue[26] = 3;
    TimerReadout timers;

    // Running on load in AUTO with restore countdown suppressed by remote start.
    ImageBuilder b;
    b.set(1, 4).bit(6, 6).bit(7, 5).set(15, 50).word(45, 230).word(47, 230).word(49, 230);
    b.word(51, 15).word(53, 15).word(55, 15).bit(4, 4);
    b.set(41, 0x00).set(40, 0x12).set(39, 0x34).set(38, 0x56);
    StatusRecord r = b.decode();
    PollView v = buildPollView(r, b.image, PollContext{false, 2.0, 0}, p, 1, true, timers);
    EXPECT_EQ(v.lcdText, QStringLiteral("AUTO Gen on-load\r\n230V   15A  50HZ"));
    EXPECT_DOUBLE_EQ(v.hours, 1234.56);
    EXPECT_FALSE(v.blink.dark || v.override_.visible);
}
