#include "monitor/faultcodes.h"
#include "profile/profile.h"

#include <gtest/gtest.h>

using namespace gx;

// Each fault code has up to three texts: the fault log's, the LCD's and the
// network monitor's short one ("" where it has none, N: not checked here).
TEST(FaultTexts, LogLcdAndShortTextsByCode)
{
    Profile p;
    p.MessageText[0] = QStringLiteral("FUEL LOW        ");
    p.MessageText[1] = QStringLiteral("DOOR OPEN       ");
    p.MessageText[2] = QStringLiteral("COOLANT LEVEL   ");
    constexpr const char* N = nullptr;
    const struct {
        int code;
        const char *log, *lcd, *brief;
    } rows[] = {
        {0, "Unknown fault ( 0 )", " 0", ""},
        {7, N, N, "NO SPEED SIGNAL"},
        {12, N, "GEN OVER VOLTAGE", "GEN OVER VOLTS"},
        {15, N, "OVER-SPEED", N},
        {17, "Low oil pressure shutdown", "LOW OIL PRESSURE", N},
        {23, N, N, "CHARGE FAIL"},
        {35, "High current warning", " 35", ""},
        {42, "Unknown fault ( 42 )", " 42", ""},
        {55, N, " 55", "ENG NOT STOP (V)"},
        {63, "High current warning", N, ""},
        {88, N, N, "ENG NOT STOP(WL)"},
        {89, "Mag-pickup signal fail", N, N},
        {184, N, N, "HET warning"},
        {185, N, "HIGH ENGINE TEMP", ""},
        {188, N, "HIGH CURRENT WARN", ""},
        {190, "Low oil pressure shutdown", "LOW OIL PRESSURE", ""},
        {199, N, "LO BATTERY VOLTAGE", "Battery Low"},
        {240, "INPUT 3: FUEL LOW        ", N, N},
        {241, "INPUT 4: DOOR OPEN       ", "DOOR OPEN       ", N},
        {242, "INPUT 5: COOLANT LEVEL   ", N, "Input 5"},
        {243, "Unknown fault ( 243 )", N, N},
        {255, N, N, ""},
    };
    for (const auto& row : rows) {
        if (row.log) {
            EXPECT_EQ(faultcode_to_string(row.code, p), QString(row.log)) << row.code;
        }
        if (row.lcd) {
            EXPECT_EQ(lcdFaultText(row.code, p), QString(row.lcd)) << row.code;
        }
        if (row.brief) {
            EXPECT_EQ(FaultCodeText()[row.code], QString(row.brief)) << row.code;
        }
    }
    EXPECT_EQ(faultcode_to_string(18, p), faultcode_to_string(185, p));
}
