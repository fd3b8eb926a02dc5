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

// Bands 1, 2 and 3 of a scale, or 0 and 1 where `first` is 0.
std::array<std::optional<Band>, 3> bands(const ScaleSetup& s, int first = 1)
{
    return {s.bands[size_t(first)], s.bands[size_t(first + 1)], first ? s.bands[3] : std::nullopt};
}
using B = std::array<std::optional<Band>, 3>;

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
        const double trip = row.fullLoad * row.tripTenths / 10.0;
        EXPECT_EQ(bands(s.current), (B{band(trip, row.maximum), band(0, row.fullLoad), band(row.fullLoad, trip)}));
    }
}

TEST(VoltageGauge, LineToLineAndLineToNeutral)
{
    Profile p;
    p.SysValue[10] = 200, p.SysValue[24] = 260;
    ScreenSetup s = setUp(p);
    EXPECT_EQ(s.voltageTitle, QStringLiteral("Gen Voltage (L-N)"));
    EXPECT_EQ(*s.voltage.maximum, 300);
    EXPECT_EQ(bands(s.voltage), (B{band(260, 300), band(200, 260), band(0, 200)}));

    p.SysValue[24] = 320;  // above the L-N scale: both bands stop at its end
    s = setUp(p);
    EXPECT_EQ(bands(s.voltage), (B{band(300, 300), band(200, 300), band(0, 200)}));

    p.SwSwitch[13] = 1, p.SysValue[10] = 360, p.SysValue[24] = 440;
    s = setUp(p);
    EXPECT_EQ(s.voltageTitle, QStringLiteral("Gen Voltage (L-L)"));
    EXPECT_EQ(*s.voltage.maximum, 520);
    EXPECT_EQ(bands(s.voltage), (B{band(440, 520), band(360, 440), band(0, 360)}));
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
    EXPECT_EQ(bands(s.frequency), (B{band(55, 75), band(45, 55), band(0, 45)}));
    EXPECT_FALSE(s.frequency.maximum);
    EXPECT_EQ((std::tuple{s.oil.visible, s.oil.caption, *s.oil.scale.maximum}), (std::tuple{true, QString("BAR"), 5.0}));
    EXPECT_EQ(bands(s.oil.scale, 0), (B{band(0, 15 / 14.493), band(15 / 14.493, 29 / 14.493), {}}));
    EXPECT_EQ((std::tuple{s.temperature.visible, s.temperature.caption, *s.temperature.scale.maximum}),
              (std::tuple{false, QString("°F"), 284.0}));  // switch only
    EXPECT_EQ(bands(s.temperature.scale, 0), (B{band(221, 284), band(203, 221), {}}));
    EXPECT_EQ(bands(s.battery, 0), (B{band(0, 10), band(30, 40), {}}));
    EXPECT_FALSE(s.rpm.visible);
    EXPECT_EQ(bands(s.rpm.scale, 0), (B{band(0.6, 1.3), band(1.8, 4), {}}));

    p.SwSwitch[3] = p.SwSwitch[4] = 1;  // psi, deg C
    p.SwSwitch[8] = 0;
    p.AlogSensor[0] = 0, p.AlogSensor[1] = 3;
    s = setUp(p);
    EXPECT_EQ((std::tuple{s.oil.visible, s.oil.caption, *s.oil.scale.maximum}), (std::tuple{false, QString("Psi"), 100.0}));
    EXPECT_EQ(s.oil.scale.bands[1], band(15, 29));
    EXPECT_EQ((std::tuple{s.temperature.visible, s.temperature.caption, *s.temperature.scale.maximum}),
              (std::tuple{true, QString("°C"), 140.0}));
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
    // With output 4 on "Mains contactor open": SetUpAppliesScalesLabelsAndStandBackPointers.
    EXPECT_EQ((std::tuple{s.site, s.ATSsupport, s.input1}),
              (std::tuple{QString("Site: North Pumphouse "), 0, QString("Remote start")}));
}
