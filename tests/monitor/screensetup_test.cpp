#include "monitor/lcd.h"
#include "profile/profile.h"

#include <gtest/gtest.h>

using namespace gx;

namespace {

std::array<QString, 16> inputTexts()
{
    std::array<QString, 16> t;
    for (int i = 0; i < 16; ++i)
        t[i] = QStringLiteral("input function %1 ").arg(i);
    return t;
}

std::array<QString, 53> outputTexts()
{
    std::array<QString, 53> t;
    for (int i = 0; i < 52; ++i)
        t[i] = QStringLiteral("output function %1").arg(i);
    t[51] = QStringLiteral("Mains contactor open");
    return t;
}

ScreenSetup setUp(const Profile& p)
{
    return UpdateScreenVariables(p, inputTexts(), outputTexts());
}

Band band(double from, double to)
{
    return {from, to};
}

} // namespace

TEST(CurrentScale, MaximaStepThroughTheRoundSeries)
{
    const struct {
        double fullScale;
        double maximum;
        int fscale;
        double minor;
    } rows[] = {
        {0, 3, 1, 0.2},       {3, 3, 1, 0.2},      {3.5, 4, 1, 0.2},    {5, 5, 1, 0.2},
        {5.1, 6, 2, 0.5},     {7, 8, 2, 0.5},      {10, 10, 2, 0.5},    {11, 15, 5, 1},
        {24, 25, 5, 1},       {26, 30, 10, 2},     {41, 50, 10, 2},     {51, 60, 20, 5},
        {90, 100, 20, 5},     {101, 150, 50, 10},  {260, 300, 100, 20}, {1200, 1500, 500, 100},
    };
    for (const auto& row : rows) {
        const CurrentScale s = currentScaleFor(row.fullScale);
        EXPECT_DOUBLE_EQ(s.maximum(), row.maximum) << row.fullScale;
        EXPECT_EQ(s.FScale, row.fscale) << row.fullScale;
        EXPECT_DOUBLE_EQ(s.minorTick(), row.minor) << row.fullScale;
    }
}

TEST(CurrentScale, FromFullLoadTimesInstantTrip)
{
    const struct {
        int fullLoad;
        int tripTenths;
        double maximum;
    } rows[] = {{10, 25, 25}, {40, 12, 50}, {100, 25, 250}, {63, 30, 200}, {1, 30, 3}, {2, 20, 4}, {350, 20, 800}};
    for (const auto& row : rows) {
        Profile p;
        p.SysValue[13] = row.fullLoad;
        p.SysValue[17] = row.tripTenths;
        const ScreenSetup s = setUp(p);
        EXPECT_DOUBLE_EQ(*s.current.maximum, row.maximum) << row.fullLoad << " x " << row.tripTenths;
        EXPECT_EQ(*s.current.major, s.FScale);
        EXPECT_EQ(s.current.bands[2], band(0, row.fullLoad));
        EXPECT_EQ(s.current.bands[3], band(row.fullLoad, row.fullLoad * row.tripTenths / 10.0));
        EXPECT_EQ(s.current.bands[1], band(row.fullLoad * row.tripTenths / 10.0, row.maximum));
    }
}

TEST(VoltageGauge, LineToLineAndLineToNeutral)
{
    Profile p;
    p.SysValue[10] = 200, p.SysValue[24] = 260;
    ScreenSetup s = setUp(p);
    EXPECT_EQ(s.voltageTitle, QStringLiteral("Gen Voltage (L-N)"));
    EXPECT_EQ(*s.voltage.maximum, 300);
    EXPECT_EQ(s.voltage.bands[1], band(260, 300));
    EXPECT_EQ(s.voltage.bands[2], band(200, 260));
    EXPECT_EQ(s.voltage.bands[3], band(0, 200));

    p.SysValue[24] = 320;  // above the L-N scale: both bands stop at its end
    s = setUp(p);
    EXPECT_EQ(s.voltage.bands[1], band(300, 300));
    EXPECT_EQ(s.voltage.bands[2], band(200, 300));

    p.SwSwitch[13] = 1, p.SysValue[10] = 360, p.SysValue[24] = 440;
    s = setUp(p);
    EXPECT_EQ(s.voltageTitle, QStringLiteral("Gen Voltage (L-L)"));
    EXPECT_EQ(*s.voltage.maximum, 520);
    EXPECT_EQ(s.voltage.bands[1], band(440, 520));
    EXPECT_EQ(s.voltage.bands[2], band(360, 440));
}

TEST(PhasePointers, AbsentPhasesStandBack)
{
    Profile p;
    for (int phases : {1, 2, 3}) {
        p.SysValue[26] = phases;
        EXPECT_EQ(setUp(p).pointerShown, (std::array{true, phases >= 2, phases >= 3})) << phases;
    }
}

TEST(EngineGauges, FrequencyOilTemperatureBatteryAndSpeed)
{
    Profile p;
    p.SysValue[5] = 55, p.SysValue[6] = 45, p.SysValue[18] = 29, p.SysValue[19] = 15;
    p.SysValue[20] = 95, p.SysValue[21] = 105, p.SysValue[7] = 30, p.SysValue[8] = 10;
    p.SysValue[1] = 600, p.SysValue[2] = 1800, p.SysValue[3] = 1300;
    p.AlogSensor[0] = 2, p.AlogSensor[1] = 1;
    p.SwSwitch[8] = 1;  // no magnetic pickup; units bar and deg F
    ScreenSetup s = setUp(p);
    EXPECT_EQ(s.frequency.bands[1], band(55, 75));
    EXPECT_EQ(s.frequency.bands[2], band(45, 55));
    EXPECT_EQ(s.frequency.bands[3], band(0, 45));
    EXPECT_FALSE(s.frequency.maximum);
    EXPECT_TRUE(s.oil.visible);
    EXPECT_EQ(s.oil.caption, QStringLiteral("BAR"));
    EXPECT_EQ(*s.oil.scale.maximum, 5);
    EXPECT_EQ(s.oil.scale.bands[0], band(0, 15 / 14.493));
    EXPECT_EQ(s.oil.scale.bands[1], band(15 / 14.493, 29 / 14.493));
    EXPECT_FALSE(s.temperature.visible);  // switch only
    EXPECT_EQ(s.temperature.caption, QStringLiteral("°F"));
    EXPECT_EQ(*s.temperature.scale.maximum, 284);
    EXPECT_EQ(s.temperature.scale.bands[0], band(221, 284));
    EXPECT_EQ(s.temperature.scale.bands[1], band(203, 221));
    EXPECT_EQ(s.battery.bands[0], band(0, 10));
    EXPECT_EQ(s.battery.bands[1], band(30, 40));
    EXPECT_FALSE(s.rpm.visible);
    EXPECT_EQ(s.rpm.scale.bands[0], band(0.6, 1.3));
    EXPECT_EQ(s.rpm.scale.bands[1], band(1.8, 4));

    p.SwSwitch[3] = p.SwSwitch[4] = 1;  // psi, deg C
    p.SwSwitch[8] = 0;
    p.AlogSensor[0] = 0, p.AlogSensor[1] = 3;
    s = setUp(p);
    EXPECT_FALSE(s.oil.visible);
    EXPECT_EQ(s.oil.caption, QStringLiteral("Psi"));
    EXPECT_EQ(*s.oil.scale.maximum, 100);
    EXPECT_EQ(s.oil.scale.bands[1], band(15, 29));
    EXPECT_TRUE(s.temperature.visible);
    EXPECT_EQ(s.temperature.caption, QStringLiteral("°C"));
    EXPECT_EQ(*s.temperature.scale.maximum, 140);
    EXPECT_EQ(s.temperature.scale.bands[0], band(105, 140));
    EXPECT_TRUE(s.rpm.visible);
}

TEST(PanelLabels, InputsOutputsSiteAndMainsFail)
{
    Profile p;
    p.MessageText[2] = QStringLiteral("LOW COOLANT     ");
    p.MessageText[3] = QStringLiteral("North Pumphouse ");
    p.SwSwitch[16] = 0, p.SwSwitch[17] = 7, p.SwSwitch[18] = 6;
    p.SwSwitch[24] = 0, p.SwSwitch[25] = 20, p.SwSwitch[26] = 1, p.SwSwitch[27] = 52;
    ScreenSetup s = setUp(p);
    const std::tuple<const LabelSetup&, const char*, bool> labels[] = {
        {s.inputs[0], "Input 3: Not used", false},      {s.inputs[1], "input function 7 ", true},
        {s.inputs[2], "LOW COOLANT     ", true},         {s.outputs[0], "Output 1: Not used", false},
        {s.outputs[1], "output function 20", true},     {s.outputs[2], "output function 1", true},
        {s.outputs[3], "", true}};
    for (const auto& [label, text, enabled] : labels) {
        EXPECT_EQ(label.text, QString(text));
        EXPECT_EQ(label.enabled, enabled) << text;
    }
    EXPECT_EQ(s.site, QStringLiteral("Site: North Pumphouse "));
    EXPECT_EQ(s.ATSsupport, 0);
    EXPECT_EQ(s.input1, QStringLiteral("Remote start"));

    p.SwSwitch[27] = 51;
    s = setUp(p);
    EXPECT_EQ(s.ATSsupport, 1);
    EXPECT_EQ(s.input1, QStringLiteral("Mains Fail"));
    EXPECT_EQ(s.outputs[3].text, QStringLiteral("Mains contactor open"));
}
