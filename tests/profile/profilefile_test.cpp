// The profile file: the writer against a file typed by hand from the layout,
// and the reader on the layout's edge cases and on files that break it.

#include "profile/profilefile.h"

#include <gtest/gtest.h>

#include <QFile>

#include <functional>

using namespace gx;
using namespace gx::profilefile;

namespace {

QByteArray golden()
{
    QFile f(QStringLiteral(GX_SOURCE_DIR) + "/tests/profile/data/golden.520");
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The working profile golden.520 holds (timers in whole seconds).
Profile goldenProfile()
{
    Profile p;
    const int timers[16] = {5, 0, 10, 20, 30, 15, 60, 4000, 2, 3, 20, 600, 10, 4, 5, 15};
    for (int i = 0; i < 16; ++i)
        p.TimerValue[i] = timers[i];
    const int values[28] = {60, 500, 1650, 1200, 15, 55, 45, 30, 22, 3, 200, 210, 100, 50,
                            5,  24,  6,    25,   20, 15, 95, 105, 30, 1, 260, 10,  3,   15};
    for (int i = 0; i < 28; ++i)
        p.SysValue[i] = values[i];
    const int switches[32] = {1, 0, 1, 0, 1, -1, 0, 1, 0, 0, 1, 0, 2, 0, 1, 0,
                              3, 0, 15, 1, 0, 1, 0, 0, 6, 51, 0, 20, 0, 0, 0, 0};
    for (int i = 0; i < 32; ++i)
        p.SwSwitch[i] = switches[i];
    const char* messages[6] = {"Low fuel", "a,b,c", "", "Site 7", "0123456789", "Hello, world!!!!"};
    for (int i = 0; i < 6; ++i)
        p.MessageText[i] = QString::fromLatin1(messages[i]).leftJustified(16);
    p.AlogSensor = {2, 3};
    p.PINtext[0] = "1234";
    p.PINtext[1] = "12";
    p.PINtext[2] = "";
    p.PINtext[3] = "9999";
    p.Notes = "Line one\r\nLine, two";
    return p;
}

bool sameProfile(const Profile& a, const Profile& b)
{
    return a.TimerValue == b.TimerValue && a.SysValue == b.SysValue && a.SwSwitch == b.SwSwitch
        && a.MessageText == b.MessageText && a.AlogSensor == b.AlogSensor && a.PINtext == b.PINtext
        && a.Notes == b.Notes;
}

// golden.520 with its line `n` (counted from 1) replaced by `text`, or taken
// out when `text` is null.
QByteArray goldenWithLine(int n, const char* text)
{
    QList<QByteArray> lines = golden().split('\n');
    if (text)
        lines[n - 1] = QByteArray(text) + '\r';
    else
        lines.removeAt(n - 1);
    return lines.join('\n');
}

} // namespace

TEST(ProfileFile, WritesTheLayoutByteForByte)
{
    ASSERT_FALSE(golden().isEmpty());
    EXPECT_EQ(writeProfileFile(goldenProfile()), golden());
}

TEST(ProfileFile, ReadsTheLayoutBackWithItsEdgeCases)
{
    Profile expected = goldenProfile();
    expected.PINtext[1] = "0012";
    expected.PINtext[2] = "0000";
    const ProfileFileContents back = readProfileFile(golden());
    ASSERT_TRUE(back.ok()) << qPrintable(describeProblems("golden.520", back.problems));
    EXPECT_TRUE(sameProfile(back.profile, expected));

    struct Row {
        const char* what;
        int line;
        const char* text;  // the line's new text
        std::function<bool(const Profile&)> holds;
    };
    const Row rows[] = {
        {"a timer of 25 tenths loads as 2 s", 2, " 25 ", [](const Profile& p) { return p.TimerValue[0] == 2; }},
        {"leading blanks of a message are lost", 85, "   Low", [](const Profile& p) { return p.MessageText[0] == "Low             "; }},
        {"a typed ~ comes back as a comma", 86, "x~y", [](const Profile& p) { return p.MessageText[1] == "x,y             "; }},
        {"an unselected switch comes back unselected", 57, "-1 ", [](const Profile& p) { return p.SwSwitch[5] == -1; }},
        {"a corrected LED heading is the same heading", 111, "Programmable LED's:", [](const Profile&) { return true; }},
        {"one line of notes loses the writer's line break", 133, nullptr,
         [](const Profile& p) { return p.Notes == "Line one"; }},
    };
    for (const Row& r : rows) {
        const ProfileFileContents c = readProfileFile(goldenWithLine(r.line, r.text));
        EXPECT_TRUE(c.ok()) << r.what << ": " << qPrintable(describeProblems("f", c.problems));
        EXPECT_TRUE(r.holds(c.profile)) << r.what;
    }

    // Saved and read again, any number of times, a profile stays the same.
    Profile p = expected;
    for (int i = 0; i < 100; ++i)
        p = readProfileFile(writeProfileFile(p)).profile;
    EXPECT_TRUE(sameProfile(p, expected));
    p.Notes.clear();
    EXPECT_TRUE(writeProfileFile(p).endsWith("      \r\n")) << "empty notes write no line";
    EXPECT_TRUE(readProfileFile(writeProfileFile(p)).profile.Notes.isEmpty());
}

TEST(ProfileFile, EveryPlaceThatBreaksTheLayoutIsNamedByLine)
{
    const std::pair<QByteArray, QStringList> rows[] = {
        {goldenWithLine(19, " sixty "), {"line 19: system value 0 should be a whole number, found \"sixty \""}},
        {goldenWithLine(5, nullptr), {"line 17: the heading \"System Values:\" comes after only 15 of the 16 lines"}},
        {goldenWithLine(17, " 15 \r\n 99 "), {"line 18: lines 18 to 18 do not belong to the layout: the heading "
                                                "\"System Values:\" was expected at line 18"}},
        {golden().left(golden().indexOf("PIN numbers:")), {"the file ends where the heading \"PIN numbers:\" was expected"}},
        {goldenWithLine(2, "x") + "", {"line 2: timer 0 (tenths of a second) should be a whole number"}},
    };
    for (const auto& [bytes, expected] : rows) {
        const ProfileFileContents c = readProfileFile(bytes);
        const QString report = describeProblems("site.520", c.problems);
        EXPECT_EQ(c.problems.size(), expected.size()) << qPrintable(report);
        for (const QString& e : expected)
            EXPECT_TRUE(report.contains(e)) << qPrintable(e) << "\n in: " << qPrintable(report);
    }
    // Two bad values in one file: both are named.
    QByteArray two = goldenWithLine(3, "ten");
    two = QByteArray(two).replace("\r\n 3 \r\n 200 ", "\r\n three \r\n 200 ");
    EXPECT_EQ(readProfileFile(two).problems.size(), 2);
}

TEST(ProfileFile, EveryMessageTheWriterWritesReadsBackWhole)
{
    // A message may read like any heading of the file, or start with a quote.
    QStringList messages = {TimersHeading,  SystemValuesHeading, SwitchesHeading,  MessagesHeading, SensorsHeading,
                            PinsHeading,    LedsHeading,         ProfileIdHeading, DateTimeHeading, "\"Hot\" engine",
                            "\"Low, fuel\"", "  \"quoted\"",     "\"",             "a \"b\" c"};
    for (qsizetype first = 0; first < messages.size(); first += 6) {
        Profile p = goldenProfile();
        for (int i = 0; i < 6; ++i)
            p.MessageText[size_t(i)] = messages.value(first + i, "Site").leftJustified(16);
        const ProfileFileContents back = readProfileFile(writeProfileFile(p));
        ASSERT_TRUE(back.ok()) << qPrintable(describeProblems("f", back.problems));
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(back.profile.MessageText[size_t(i)], p.MessageText[size_t(i)]) << "message " << first + i;
    }
    // A file that relies on quotes to hold a comma still reads as before.
    const ProfileFileContents quoted = readProfileFile(goldenWithLine(85, "\"Fuel, low\"  "));
    EXPECT_EQ(quoted.profile.MessageText[0], "Fuel, low       ");
}
