#include "profile/tables.h"
#include "profile/valuetext.h"

#include <gtest/gtest.h>

using namespace gx;

// Each row names the call it checks.
#define ROW(call, want) {#call, call, want}

TEST(ValueTexts, DurationsTenthsPressureAndTemperature)
{
    const struct {
        const char* call;
        QString got;
        const char* want;
    } rows[] = {
        // The editor's value boxes show the everyday values (ProfileEditor's
        // ValueTextsFollowTheControlsAndUnits); these are the edges.
        ROW(secondsToTime(0), " 0:00:00"),     ROW(secondsToTime(3599), " 0:59:59"), ROW(secondsToTime(36000), " 10:00:00"),
        ROW(secondsToTime(-3600), "-1:00:00"), ROW(secondsToTime(-1), "-1:59:59"),  // the sign takes the blank
        ROW(tenthsText(5), "0.5"),             ROW(tenthsText(-5), "-0.5"),          ROW(pressureBarText(0), "0"),
        ROW(pressureBarText(14), "0.9"),       ROW(pressureBarText(29), "2"),        ROW(pressureBarText(28), "1.9"),
        ROW(fahrenheitText(37), "98"),         ROW(fahrenheitText(-40), "-40"),      ROW(fahrenheitText(-1), "30"),
        // No pressure unit selected; the IDMT constant in whole units.
        ROW(sysValueText(19, 100, -1, 0), "100"), ROW(sysValueText(16, 25, 0, 0), "25"),
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.got, QString(row.want)) << row.call;
}

#undef ROW
