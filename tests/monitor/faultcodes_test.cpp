#include "monitor/faultcodes.h"
#include "profile/profile.h"

#include <gtest/gtest.h>

using namespace gx;

namespace {
Profile withInputMessages()
{
    Profile p;
    p.MessageText[0] = QStringLiteral("FUEL LOW        ");
    p.MessageText[1] = QStringLiteral("DOOR OPEN       ");
    p.MessageText[2] = QStringLiteral("COOLANT LEVEL   ");
    return p;
}
} // namespace

TEST(FaultCodeText, ShortTextsOfTheNetworkMonitor)
{
    const auto& t = FaultCodeText();
    EXPECT_EQ(t[7], QStringLiteral("NO SPEED SIGNAL"));
    EXPECT_EQ(t[12], QStringLiteral("GEN OVER VOLTS"));
    EXPECT_EQ(t[23], QStringLiteral("CHARGE FAIL"));
    EXPECT_EQ(t[55], QStringLiteral("ENG NOT STOP (V)"));
    EXPECT_EQ(t[88], QStringLiteral("ENG NOT STOP(WL)"));
    EXPECT_EQ(t[184], QStringLiteral("HET warning"));
    EXPECT_EQ(t[199], QStringLiteral("Battery Low"));
    EXPECT_EQ(t[242], QStringLiteral("Input 5"));
    // Codes with a log text only, and codes nobody knows.
    for (int code : {0, 35, 63, 185, 190, 188, 42, 255})
        EXPECT_TRUE(t[code].isEmpty()) << code;
    int filled = 0;
    for (const QString& s : t)
        filled += !s.isEmpty();
    EXPECT_EQ(filled, 25);
}

TEST(FaultLogText, KnownCodesInputsAndUnknownCodes)
{
    const Profile p = withInputMessages();
    EXPECT_EQ(faultcode_to_string(17, p), QStringLiteral("Low oil pressure shutdown"));
    EXPECT_EQ(faultcode_to_string(190, p), QStringLiteral("Low oil pressure shutdown"));
    EXPECT_EQ(faultcode_to_string(18, p), faultcode_to_string(185, p));
    EXPECT_EQ(faultcode_to_string(35, p), QStringLiteral("High current warning"));
    EXPECT_EQ(faultcode_to_string(63, p), QStringLiteral("High current warning"));
    EXPECT_EQ(faultcode_to_string(89, p), QStringLiteral("Mag-pickup signal fail"));
    EXPECT_EQ(faultcode_to_string(240, p), QStringLiteral("INPUT 3: FUEL LOW        "));
    EXPECT_EQ(faultcode_to_string(241, p), QStringLiteral("INPUT 4: DOOR OPEN       "));
    EXPECT_EQ(faultcode_to_string(242, p), QStringLiteral("INPUT 5: COOLANT LEVEL   "));
    EXPECT_EQ(faultcode_to_string(42, p), QStringLiteral("Unknown fault ( 42 )"));
    EXPECT_EQ(faultcode_to_string(0, p), QStringLiteral("Unknown fault ( 0 )"));
    EXPECT_EQ(faultcode_to_string(243, p), QStringLiteral("Unknown fault ( 243 )"));
}

TEST(LcdFaultText, TheScreensOwnTextsInputsAndBareNumbers)
{
    const Profile p = withInputMessages();
    EXPECT_EQ(lcdFaultText(12, p), QStringLiteral("GEN OVER VOLTAGE"));
    EXPECT_EQ(lcdFaultText(15, p), QStringLiteral("OVER-SPEED"));
    EXPECT_EQ(lcdFaultText(185, p), QStringLiteral("HIGH ENGINE TEMP"));
    EXPECT_EQ(lcdFaultText(188, p), QStringLiteral("HIGH CURRENT WARN"));
    EXPECT_EQ(lcdFaultText(190, p), QStringLiteral("LOW OIL PRESSURE"));
    EXPECT_EQ(lcdFaultText(199, p), QStringLiteral("LO BATTERY VOLTAGE"));
    EXPECT_EQ(lcdFaultText(241, p), QStringLiteral("DOOR OPEN       "));
    EXPECT_EQ(lcdFaultText(42, p), QStringLiteral(" 42"));
    EXPECT_EQ(lcdFaultText(35, p), QStringLiteral(" 35"));
    EXPECT_EQ(lcdFaultText(55, p), QStringLiteral(" 55"));
}
