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

// ------------------------------------------------------------ upper line

TEST(UpperLine, FirstMatchingRowAcrossStatesAndModes)
{
    const struct {
        const char* what;
        StatusRecord r;
        double firm;
        const char* text;
    } rows[] = {
        {"auto standby", inState(0, [](auto& r) { r.AUTO = 1; }), 2.0, "AUTO Standby"},
        {"man stopped", inState(0, [](auto& r) { r.MAN = 1; }), 2.0, "MAN Engine stop"},
        {"auto with start flag", inState(0, [](auto& r) { r.AUTO = 1; r.StrtFlg = 1; r.StartNum = 2; }), 2.0,
         "Start No 1 of 3"},
        {"preheat", inState(1, [](auto& r) { r.StartNum = 2; }), 2.0, "Start No 2 of 3"},
        {"cranking", inState(2, [](auto& r) { r.StartNum = 13; }), 2.0, "Start No 3 of 3"},
        {"auto run", inState(3, [](auto& r) { r.AUTO = 1; }), 2.0, "AUTO Engine run "},
        {"charge start", inState(3, [](auto& r) { r.AUTO = 1; r.ChargeStart = 1; }), 1.02, "AUTO chrge start"},
        {"charge start, old firmware", inState(3, [](auto& r) { r.AUTO = 1; r.ChargeStart = 1; }), 1.01, ""},
        {"man run", inState(3, [](auto& r) { r.MAN = 1; }), 2.0, "MAN Engine run "},
        {"auto on load", inState(4, [](auto& r) { r.AUTO = 1; }), 2.0, "AUTO Gen on-load"},
        {"man on load", inState(4, [](auto& r) { r.MAN = 1; }), 2.0, "MAN Gen on-load "},
        {"shut down", inState(5, [](auto& r) { r.AUTO = 1; }), 2.0, "ENGINE SHUTDOWN "},
        {"running, no mode", inState(3), 2.0, ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(upperLine(row.r, 3, row.firm), QString::fromLatin1(row.text)) << row.what;
}

TEST(UpperLine, StartNumberZeroWithStartFlagShowsOne)
{
    const StatusRecord r = inState(0, [](auto& r) { r.StrtFlg = 1; r.StartNum = 0; });
    EXPECT_EQ(upperLine(r, 3, 2.0), QStringLiteral("Start No 1 of 3"));
    EXPECT_EQ(upperLine(r, 10, 2.0), QStringLiteral("Start No 1 of 0"));
}

// ------------------------------------------------------------ lower line

class LowerLineTest : public ::testing::Test {
protected:
    QString lower(const StatusRecord& r, int ats = 0, double firm = 2.0, bool network = false)
    {
        return lowerLine(r, b.image, PollContext{network, firm, ats}, timers);
    }
    ImageBuilder b;
    TimerReadout timers;
};

TEST_F(LowerLineTest, StopRules)
{
    b.word(57, 45);  // timer 8: 4.5 s, rounds up to 5
    EXPECT_EQ(lower(inState(0, [](auto& r) { r.EnergStop = 1; r.StopOn = 1; })), QStringLiteral("Stopping engine"));
    EXPECT_EQ(lower(inState(0, [](auto& r) { r.StopOn = 1; r.EngStopd = 1; })), QStringLiteral("Stop active 05 S"));
    // "Stop active" ends the rules: a start flag does not override it.
    EXPECT_EQ(lower(inState(0, [](auto& r) { r.StopOn = 1; r.EngStopd = 1; r.StrtFlg = 1; })),
              QStringLiteral("Stop active 05 S"));
    // "Stopping engine" gives way to a countdown that follows it.
    EXPECT_EQ(lower(inState(0, [](auto& r) { r.EnergStop = 1; r.StopOn = 1; r.StrtFlg = 1; })),
              QStringLiteral("Crnk rest 00 sec"));
}

TEST_F(LowerLineTest, CountdownsReadTheirTimers)
{
    b.word(19, 754);        // timer 0: 75.4 s -> 76 s = 01:16
    b.word(21, 31);         // timer 1: preheat 4 s
    b.word(23, 100);        // timer 2: cranking 10 s
    b.word(25, 59);         // timer 3: crank rest 6 s
    b.word(29, 300);        // timer 5: warm-up 30 s
    b.word(31, 36010);      // timer 6: restore 3601 s = 1:00:01
    b.word(33, 1205);       // timer 7: cooling 121 s
    b.word(63, 50);         // timer 13: contactor 5 s
    EXPECT_EQ(lower(inState(0, [](auto& r) { r.AUTO = 1; r.RemStart = 1; })), QStringLiteral("Start delay 1:16"));
    EXPECT_EQ(lower(inState(0, [](auto& r) { r.AUTO = 1; r.TestStart = 1; })), QStringLiteral("Start delay 1:16"));
    EXPECT_EQ(lower(inState(0, [](auto& r) { r.AUTO = 1; }), 1), QStringLiteral("Start delay 1:16"));  // mains failed
    EXPECT_EQ(lower(inState(0, [](auto& r) { r.AUTO = 1; r.RemStart = 1; r.StrtDly = 1; })), QString());
    EXPECT_EQ(lower(inState(0, [](auto& r) { r.StrtFlg = 1; })), QStringLiteral("Crnk rest 06 sec"));
    EXPECT_EQ(lower(inState(1)), QStringLiteral("Preheat 04 sec"));
    EXPECT_EQ(lower(inState(2)), QStringLiteral("Cranking 10 sec"));
    EXPECT_EQ(lower(inState(3, [](auto& r) { r.Contactor = 0; r.Mains = 1; }), 1, 1.02),
              QStringLiteral("Contactor 0:00:05"));
    EXPECT_EQ(lower(inState(3, [](auto& r) { r.AUTO = 1; }), 0), QStringLiteral("Warmup 30 sec"));
    EXPECT_EQ(lower(inState(4, [](auto& r) { r.AUTO = 1; })), QStringLiteral("Restore 1:00:01"));
    EXPECT_EQ(lower(inState(4, [](auto& r) { r.AUTO = 1; r.Mains = 1; }), 1, 1.01),
              QStringLiteral("Restore 1:00:01"));
    EXPECT_EQ(lower(inState(3, [](auto& r) { r.AUTO = 1; r.WarmUp = 1; r.RestDly = 1; })),
              QStringLiteral("Cooling 0:02:01"));
}

TEST_F(LowerLineTest, ConditionsThatShowNoCountdown)
{
    // Contactor delay needs firmware after 1.01; restore waits while a remote start is on.
    EXPECT_EQ(lower(inState(3, [](auto& r) { r.WarmUp = 1; }), 1, 1.01), QString());
    EXPECT_EQ(lower(inState(4, [](auto& r) { r.AUTO = 1; r.RemStart = 1; })), QString());
    EXPECT_EQ(lower(inState(4, [](auto& r) { r.AUTO = 1; r.ManRestore = 1; })), QString());
    EXPECT_EQ(lower(inState(3, [](auto& r) { r.AUTO = 1; r.WarmUp = 1; r.RestDly = 1; r.TestOffLoad = 1; })),
              QString());
}

TEST_F(LowerLineTest, NetworkTimersSitFourBytesLater)
{
    b.word(21, 100).word(25, 70);  // network timer 1 at 25-26
    EXPECT_EQ(lower(inState(1), 0, 2.0, true), QStringLiteral("Preheat 07 sec"));
}

// ------------------------------------------------------------ faults

TEST(FaultAdjustments, EngineNotStoppedBadOilAndDumpFault)
{
    const StatusImage noOutput5{};
    StatusRecord r = inState(0, [](auto& r) { r.AUTO = 1; r.StrtDly = 1; });
    applyFaultAdjustments(r, noOutput5);
    EXPECT_EQ(r.FaultReg, 8);

    r = inState(0, [](auto& r) { r.StrtFlg = 1; r.EngStopd = 1; });
    applyFaultAdjustments(r, noOutput5);
    EXPECT_EQ(r.FaultReg, 0);

    r = inState(0, [](auto& r) { r.StrtFlg = 1; r.FaultReg = 17; });
    applyFaultAdjustments(r, noOutput5);
    EXPECT_EQ(r.FaultReg, 17);

    r = inState(2);
    applyFaultAdjustments(r, noOutput5);
    EXPECT_EQ(r.FaultReg, 9);
    r = inState(2);
    applyFaultAdjustments(r, ImageBuilder().bit(3, 5).image);
    EXPECT_EQ(r.FaultReg, 0);
    r = inState(2, [](auto& r) { r.LOP = 1; });
    applyFaultAdjustments(r, noOutput5);
    EXPECT_EQ(r.FaultReg, 0);

    // Off load the dump fault replaces whatever was there, also 0.
    r = inState(3, [](auto& r) { r.FaultReg = 12; r.DumpFault = 0; });
    applyFaultAdjustments(r, noOutput5);
    EXPECT_EQ(r.FaultReg, 0);
    r = inState(3, [](auto& r) { r.DumpFault = 184; });
    applyFaultAdjustments(r, noOutput5);
    EXPECT_EQ(r.FaultReg, 184);
    r = inState(3, [](auto& r) { r.DumpFault = 184; r.LdAccept = 1; });
    applyFaultAdjustments(r, noOutput5);
    EXPECT_EQ(r.FaultReg, 0);
}

TEST(BlinkAndBeep, EverySecondPollWhileFaultedOrShutDown)
{
    EXPECT_TRUE(blinkDecision(17, 0, 1, true).dark);
    EXPECT_TRUE(blinkDecision(17, 0, 1, true).beep);
    EXPECT_FALSE(blinkDecision(17, 0, 1, false).beep);  // muted
    EXPECT_FALSE(blinkDecision(17, 0, 0, true).dark);
    EXPECT_FALSE(blinkDecision(17, 0, 1, true).enableMute);
    EXPECT_TRUE(blinkDecision(0, 1, 1, true).beep);  // shut down without a fault code
    EXPECT_TRUE(blinkDecision(0, 1, 1, true).enableMute);
    EXPECT_FALSE(blinkDecision(0, 0, 1, true).dark);
}

// ------------------------------------------------------------ default lines

TEST(GeneratorLine, AveragesPaddingAndDashes)
{
    StatusRecord r;
    r.GenV1 = r.GenV2 = r.GenV3 = 230;
    r.GenI1 = r.GenI2 = r.GenI3 = 15;
    const QString line = generatorLine(r, 3, 0, 50);
    EXPECT_EQ(line, QStringLiteral("230V   15A  50HZ"));
    EXPECT_EQ(line.size(), 16);

    r.GenV1 = 231, r.GenV2 = 232, r.GenV3 = 0;  // (463) / 3 = 154
    r.GenI1 = 1, r.GenI2 = 0, r.GenI3 = 0;      // 1 / 3 = 0
    EXPECT_EQ(generatorLine(r, 3, 0, 9), QStringLiteral("154V ----A  9HZ"));

    r = {};
    EXPECT_EQ(generatorLine(r, 3, 0, 0), QStringLiteral("---V ----A  0HZ"));

    r.GenV1 = 400, r.GenV2 = 230;
    r.GenI1 = 10, r.GenI2 = 21;
    EXPECT_EQ(generatorLine(r, 2, 1, 50), QStringLiteral("400V   15A  50HZ"));  // line-to-line: phase 1
    EXPECT_EQ(generatorLine(r, 2, 0, 50), QStringLiteral("315V   15A  50HZ"));
    EXPECT_EQ(generatorLine(r, 1, 0, 60), QStringLiteral("400V   10A  60HZ"));
    r.GenI1 = 12345;
    EXPECT_EQ(generatorLine(r, 1, 0, 60), QStringLiteral("400V 12345A  60HZ"));
}

TEST(BatteryLine, AlwaysOneDecimal)
{
    EXPECT_EQ(batteryLine(13.6), QStringLiteral("Battery  13.6 V"));
    EXPECT_EQ(batteryLine(13), QStringLiteral("Battery  13.0 V"));
    EXPECT_EQ(batteryLine(0), QStringLiteral("Battery  0.0 V"));
    EXPECT_EQ(batteryLine(6553.5), QStringLiteral("Battery  6553.5 V"));
}

// ------------------------------------------------------------ LEDs, override, gauges

TEST(InputLeds, BitsFromRemoteStartMainsChargeFailAndInputs)
{
    StatusRecord r;
    r.RemStart = 1;
    EXPECT_EQ(inputLedByte(r, StatusImage{}, 0), 1);
    EXPECT_EQ(inputLedByte(r, StatusImage{}, 1), 1);  // with ATS input 1 means mains failed
    r.RemStart = 0;
    r.Mains = 1;
    EXPECT_EQ(inputLedByte(r, StatusImage{}, 1), 0);
    EXPECT_EQ(inputLedByte(r, ImageBuilder().bit(10, 1).image, 0), 2);
    EXPECT_EQ(inputLedByte(r, ImageBuilder().bit(14, 4).image, 0), 4);
    EXPECT_EQ(inputLedByte(r, ImageBuilder().bit(14, 5).image, 0), 8);
    EXPECT_EQ(inputLedByte(r, ImageBuilder().bit(14, 6).image, 0), 16);
    EXPECT_EQ(inputLedByte(r, ImageBuilder().set(14, 0x8F).set(10, 0xFD).image, 0), 0);
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
    r.GenV1 = 230, r.GenV2 = 231, r.GenV3 = 232;
    r.GenI1 = 10, r.GenI2 = 11, r.GenI3 = 12;
    r.OilPress = 29;
    r.EngTemp = 100;
    r.EngSpeed = 1500;
    const StatusImage image = ImageBuilder().set(15, 50).word(61, 0x8001).image;

    GaugeValues g = gaugeValues(r, image, p);
    EXPECT_EQ(g.volts, (std::array<double, 3>{230, 0, 0}));
    EXPECT_EQ(g.amps, (std::array<double, 3>{10, 0, 0}));
    EXPECT_DOUBLE_EQ(g.oil, 29 / 14.493);
    EXPECT_DOUBLE_EQ(g.temperature, 212);
    EXPECT_DOUBLE_EQ(g.rpm, 1.5);
    EXPECT_DOUBLE_EQ(g.hertz, 50);
    EXPECT_DOUBLE_EQ(g.battery, 3276.9);

    p.SysValue[26] = 2;
    p.SwSwitch[3] = 1;
    p.SwSwitch[4] = 1;
    g = gaugeValues(r, image, p);
    EXPECT_EQ(g.volts, (std::array<double, 3>{230, 231, 0}));
    EXPECT_DOUBLE_EQ(g.oil, 29);
    EXPECT_DOUBLE_EQ(g.temperature, 100);

    p.SysValue[26] = 3;
    p.AlogSensor = {1, 0};
    g = gaugeValues(r, image, p);
    EXPECT_EQ(g.amps, (std::array<double, 3>{10, 11, 12}));
    EXPECT_DOUBLE_EQ(g.oil, 0);  // no sender fitted
    EXPECT_DOUBLE_EQ(g.temperature, 0);
}

TEST(OverCurrentBar, PercentOfTheTimeConstant)
{
    EXPECT_EQ(idmtPercent(250, 10), 50);   // 250 / 500 * 100
    EXPECT_EQ(idmtPercent(499, 10), 99);   // whole part
    EXPECT_EQ(idmtPercent(1000, 15), 100);
    EXPECT_EQ(idmtPercent(1234, 5), 0);    // no scale: never divides by zero
    EXPECT_EQ(idmtPercent(7, 4), -7);
    EXPECT_EQ(idmtPercent(1, 3), -1);      // -0.5 taken downwards
}

TEST(HoursCounter, NetworkValuesAreHundredths)
{
    EXPECT_DOUBLE_EQ(hoursRunValue(QStringLiteral("001234.56"), false), 1234.56);
    EXPECT_DOUBLE_EQ(hoursRunValue(QStringLiteral("001234.56"), true), 12.3456);
    EXPECT_DOUBLE_EQ(hoursRunValue(QStringLiteral("00122A.56"), false), 122);
}

// ------------------------------------------------------------ a whole poll

TEST(PollView, FaultTextReplacesTheLowerLineAndDefaultsFillAnEmptyOne)
{
    Profile p;
    p.SysValue[9] = 3;
    p.SysValue[16] = 10;
    p.SysValue[26] = 3;
    TimerReadout timers;

    // Running on load in AUTO with restore countdown suppressed by remote start.
    ImageBuilder b;
    b.set(1, 4).bit(6, 6).bit(7, 5).set(15, 50).word(45, 230).word(47, 230).word(49, 230);
    b.word(51, 15).word(53, 15).word(55, 15).bit(4, 4).word(59, 250).set(3, 0x05);
    b.set(41, 0x00).set(40, 0x12).set(39, 0x34).set(38, 0x56);
    StatusRecord r = b.decode();
    PollView v = buildPollView(r, b.image, PollContext{false, 2.0, 0}, p, 1, true, timers);
    EXPECT_EQ(v.lcdText, QStringLiteral("AUTO Gen on-load\r\n230V   15A  50HZ"));
    EXPECT_FALSE(v.blink.dark);
    EXPECT_EQ(v.idmtPercent, 50);
    EXPECT_DOUBLE_EQ(v.hours, 1234.56);
    EXPECT_EQ(v.outputs, 5);
    EXPECT_EQ(v.inputs, 1);
    EXPECT_FALSE(v.override_.visible);

    // Shut down with an unknown fault code.
    ImageBuilder f;
    f.set(0, 42).set(1, 5).bit(6, 6);
    r = f.decode();
    v = buildPollView(r, f.image, PollContext{}, p, 1, true, timers);
    EXPECT_EQ(v.top, QStringLiteral("ENGINE SHUTDOWN "));
    EXPECT_EQ(v.bottom, QStringLiteral(" 42"));
    EXPECT_TRUE(v.blink.beep);
    EXPECT_FALSE(v.blink.enableMute);

    // Stopped without fault: the battery line.
    ImageBuilder s;
    s.bit(6, 6).word(61, 136);
    r = s.decode();
    v = buildPollView(r, s.image, PollContext{}, p, 0, true, timers);
    EXPECT_EQ(v.lcdText, QStringLiteral("AUTO Standby\r\nBattery  13.6 V"));
    EXPECT_TRUE(v.blink.enableMute);
}
