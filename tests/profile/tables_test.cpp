#include "profile/tables.h"
#include "profile/valuetext.h"

#include <gtest/gtest.h>

using namespace gx;

TEST(FunctionTexts, InputTextsKeepTheirTrailingBlanks)
{
    for (int i = 0; i <= 9; ++i)
        EXPECT_EQ(InputFunctionText[i].size(), 23) << i;
    for (int i = 10; i <= 15; ++i)
        EXPECT_EQ(InputFunctionText[i].size(), 22) << i;
    EXPECT_EQ(InputFunctionText[0], QString("Not Used               "));
    EXPECT_EQ(InputFunctionText[2], QString("Shutdown:Not overridden"));
    EXPECT_EQ(InputFunctionText[9], QString("Manual restore         "));
    EXPECT_EQ(InputFunctionText[10], QString("Test: Off-load        "));
    EXPECT_EQ(InputFunctionText[15], QString("Manual Stop           "));
}

TEST(FunctionTexts, OutputTextsEndWithAnEmptyEntry)
{
    EXPECT_EQ(OutputFunctionText[0], QString("+++ not used +++"));
    EXPECT_EQ(OutputFunctionText[21], QString("Klaxon(muteable)"));
    EXPECT_EQ(OutputFunctionText[26], QString("Gen under freq/speed"));
    EXPECT_EQ(OutputFunctionText[51], QString("Mains contactor open"));
    EXPECT_TRUE(OutputFunctionText[52].isEmpty());
    for (int i = 0; i < 52; ++i) {
        EXPECT_FALSE(OutputFunctionText[i].isEmpty()) << i;
        EXPECT_EQ(OutputFunctionText[i], OutputFunctionText[i].trimmed()) << i;
    }
}

TEST(SecondsToTime, WritesHoursWithALeadingBlankAndTwoDigitMinutesAndSeconds)
{
    EXPECT_EQ(secondsToTime(0), QString(" 0:00:00"));
    EXPECT_EQ(secondsToTime(59), QString(" 0:00:59"));
    EXPECT_EQ(secondsToTime(65), QString(" 0:01:05"));
    EXPECT_EQ(secondsToTime(3599), QString(" 0:59:59"));
    EXPECT_EQ(secondsToTime(3725), QString(" 1:02:05"));
    EXPECT_EQ(secondsToTime(36000), QString(" 10:00:00"));
    EXPECT_EQ(secondsToTime(32767), QString(" 9:06:07"));
    // Negative durations: the minus sign takes the blank's place.
    EXPECT_EQ(secondsToTime(-3600), QString("-1:00:00"));
    EXPECT_EQ(secondsToTime(-1), QString("-1:59:59"));
}

TEST(ValueTexts, TenthsShowADecimalOnlyWhereNeeded)
{
    EXPECT_EQ(tenthsText(25), QString("2.5"));
    EXPECT_EQ(tenthsText(20), QString("2"));
    EXPECT_EQ(tenthsText(0), QString("0"));
    EXPECT_EQ(tenthsText(5), QString("0.5"));
    EXPECT_EQ(tenthsText(-5), QString("-0.5"));
    EXPECT_EQ(tenthsText(32767), QString("3276.7"));
}

TEST(ValueTexts, PressureInBarIsCutToOneDecimal)
{
    EXPECT_EQ(pressureBarText(100), QString("6.8"));  // 6.899...
    EXPECT_EQ(pressureBarText(145), QString("10"));   // 10.004...
    EXPECT_EQ(pressureBarText(0), QString("0"));
    EXPECT_EQ(pressureBarText(14), QString("0.9"));   // 0.966
    EXPECT_EQ(pressureBarText(29), QString("2"));     // 2.0009
    EXPECT_EQ(pressureBarText(28), QString("1.9"));   // 1.9319
}

TEST(ValueTexts, TemperatureInFahrenheitIsRoundedDown)
{
    EXPECT_EQ(fahrenheitText(100), QString("212"));
    EXPECT_EQ(fahrenheitText(0), QString("32"));
    EXPECT_EQ(fahrenheitText(37), QString("98"));  // 98.6
    EXPECT_EQ(fahrenheitText(-40), QString("-40"));
    EXPECT_EQ(fahrenheitText(-1), QString("30"));  // 30.2
}

TEST(ValueTexts, SystemValueTextsFollowTheUnitOptions)
{
    EXPECT_EQ(sysValueText(17, 25, 0, 0), QString("2.5"));
    EXPECT_EQ(sysValueText(18, 100, 0, 0), QString("6.8"));
    EXPECT_EQ(sysValueText(19, 100, 1, 0), QString("100"));
    EXPECT_EQ(sysValueText(19, 100, -1, 0), QString("100"));
    EXPECT_EQ(sysValueText(20, 100, 1, 0), QString("212"));
    EXPECT_EQ(sysValueText(21, 100, 0, 1), QString("100"));
    EXPECT_EQ(sysValueText(9, 25, 0, 0), QString("25"));
    EXPECT_EQ(sysValueText(16, 25, 0, 0), QString("25"));
}
