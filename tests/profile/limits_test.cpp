#include "editorfixture.h"  // shippedLimits()

#include <QDir>

#include <functional>

using namespace gx;

namespace {

// A small, valid limits file, one record per line:
// lines 1-16 timers, 17 heading, 18-49 system values, 50 heading,
// 51-90 switch records, 91 heading, 92-99 messages, 100 heading, 101-108 PINs.
QStringList validLines()
{
    QStringList l;
    for (int i = 0; i < 16; ++i)
        l << QString("%1,\"Timer %1\",0,600,100").arg(i);
    l[3] = "3,\"Crank rest\",20,305,25";
    l << "System values";
    for (int i = 0; i < 32; ++i)
        l << QString("%1,\"Value %1\",0,1000,10").arg(i);
    l << "Switches";
    for (int i = 0; i < 40; ++i)
        l << QString("%1,\"Switch %1\",1,1,0,\"Off\",1,\"On\"").arg(i);
    l[50 + 12] = "12,\"One option\",0,0,0,\"Only\"";  // SwOptions 0: a single option
    l[50 + 13] = "13,\"Three options\",2,2,0,\"a, with comma\",1,\"b\",2,\"c\"";
    l << "Messages";
    for (int i = 0; i < 8; ++i)
        l << QString("%1,\"Message %1\",\"Text %1\"").arg(i);
    l[91 + 1] = "1,\"Empty\",";
    l[91 + 2] = "2,\"Full\",\"0123456789ABCDEF\"";
    l << "PINs";
    for (int i = 0; i < 8; ++i)
        l << QString("%1,\"PIN %1\",\"00%1%1\"").arg(i);
    return l;
}

QByteArray join(const QStringList& lines)
{
    return (lines.join("\r\n") + "\r\n").toLatin1();
}

using Edit = std::function<void(QStringList&)>;

Edit replace(int index, const char* line)
{
    return [=](QStringList& l) { l[index] = line; };
}

Edit erase(int from, int to)
{
    return [=](QStringList& l) { l.erase(l.begin() + from, l.begin() + std::min<int>(to, l.size())); };
}

} // namespace

TEST(LimitsReader, ReadsEverySectionInOrder)
{
    QString error;
    const auto limits = readProgramLimits(join(validLines()), "limits.txt", &error);
    ASSERT_TRUE(limits.has_value()) << qPrintable(error);
    const auto& t = limits->TimerLimit[3];
    EXPECT_EQ(t.TimerName, QString("Crank rest"));
    EXPECT_EQ((std::array{t.TimerLowLimit, t.TimerHighLimit, t.TimerDefault}), (std::array{20, 305, 25}));
    EXPECT_EQ((std::array{limits->SysValLimit[31].SysValNumber, limits->SysValLimit[31].SysvalHighLimit}),
              (std::array{31, 1000}));
    EXPECT_EQ(limits->SwitchLimit[0].OptionLabel, (QStringList{"Off", "On"}));
    // The option count is the highest option number; the record after the pairs is read from the right place.
    EXPECT_EQ(limits->SwitchLimit[12].OptionLabel, QStringList{"Only"});
    EXPECT_EQ(limits->SwitchLimit[13].OptionLabel, (QStringList{"a, with comma", "b", "c"}));
    EXPECT_EQ(limits->SwitchLimit[14].SwName, QString("Switch 14"));
    EXPECT_EQ((std::array{limits->SwitchLimit[0].SwDefault, limits->SwitchLimit[39].SwNumber}), (std::array{1, 39}));
    // Messages are padded to sixteen characters.
    EXPECT_EQ(limits->MessageLimit[0].MessageText, QString("Text 0          "));
    EXPECT_EQ(limits->MessageLimit[1].MessageText, QString(16, ' '));
    EXPECT_EQ(limits->MessageLimit[2].MessageText, QString("0123456789ABCDEF"));
    EXPECT_EQ(limits->PinLimit[7].PINdefault, QString("0077"));
}

// A changed file either loads, or fails with an error that names the file and
// the line, then what was expected and what was found.
TEST(LimitsReader, ChangedFilesLoadOrFailWithFileAndLine)
{
    const struct {
        const char* what;
        Edit edit;
        QStringList fragments;  // empty: the file loads
    } rows[] = {
        {"text after the PIN section", [](QStringList& l) { l << "Anything" << "not,\"even,numbers\""; }, {}},
        {"timer default in whole seconds (309 tenths in 2..30 s)", replace(3, "3,\"Crank rest\",20,305,309"), {}},
        {"16-bit extremes", replace(17 + 3, "3,\"Value 3\",-32768,32767,0"), {}},
        {"unused slots unchecked", [](QStringList& l) {
             l[10] = "10,\"Spare\",0,10,900", l[17 + 29] = "29,\"Spare\",5,1,99", l[50 + 15] = "15,\"Spare\",0,7,0,\"x\"";
         }, {}},
        // The skipped records must be there: without them the next heading lands where a number belongs.
        {"no system values 28-31", erase(45, 49), {", line 46:", "system value 28", "\"Switches\""}},
        {"no PINs 4-7", erase(104, 200), {"line 105", "ends where the number of PIN 4"}},
        {"text for a number", replace(17 + 2, "2,\"Value 2\",low,1000,10"),
         {"line 20", "low limit of system value 2", "\"low\""}},
        {"timer default above", replace(3, "3,\"Crank rest\",20,305,310"), {"line 4", "default of timer 3"}},
        {"timer default below", replace(3, "3,\"Crank rest\",20,305,19"), {"default of timer 3"}},
        {"value default", replace(17 + 16, "16,\"IDMT\",6,100,5"), {"line 34", "default of system value 16 (5)"}},
        {"option default", replace(50 + 5, "5,\"Switch 5\",1,2,0,\"Off\",1,\"On\""),
         {"line 56", "default option of switch record 5"}},
        {"negative option default", replace(50 + 32, "32,\"Sender\",1,-1,0,\"Off\",1,\"On\""), {"switch record 32"}},
        {"switch records swapped", [](QStringList& l) { std::swap(l[50 + 20], l[50 + 21]); },
         {"line 71", "switch record 20 is numbered 21"}},
        {"unused record with a used number", replace(50 + 23, "24,\"Switch\",1,1,0,\"Off\",1,\"On\""),
         {"switch record 23 is numbered 24"}},
        {"above 16 bits", replace(7, "7,\"Timer 7\",0,32768,100"), {"line 8", "32768"}},
        {"below 16 bits", replace(17 + 3, "3,\"Value 3\",-32769,0,0"), {"-32769"}},
        {"long message", replace(91 + 3, "3,\"Site\",\"0123456789ABCDEFG\""), {"longer than 16"}},
        {"long PIN", replace(100 + 2, "2,\"PIN\",\"12345\""), {"longer than 4"}},
    };
    for (const auto& row : rows) {
        QStringList lines = validLines();
        row.edit(lines);
        QString error;
        EXPECT_EQ(readProgramLimits(join(lines), "/x/limits.txt", &error).has_value(), row.fragments.isEmpty())
            << row.what << ": " << qPrintable(error);
        if (!row.fragments.isEmpty()) {
            EXPECT_TRUE(error.startsWith(QDir::toNativeSeparators("/x/limits.txt") + ", line ")) << qPrintable(error);
        }
        for (const QString& f : row.fragments)
            EXPECT_TRUE(error.contains(f)) << row.what << ": " << qPrintable(error) << " lacks " << qPrintable(f);
    }
}

TEST(ShippedLimits, LoadWithoutComplaintAndHoldWhatTheEditorReliesOn)
{
    QString error;
    const auto limits = shippedLimits(&error);
    ASSERT_TRUE(limits.has_value()) << qPrintable(error);

    // Units and the options the editor's rules depend on.
    const auto& sw = limits->SwitchLimit;
    const std::tuple<int, int, const char*> labels[] = {  // switch, option, label
        {3, 0, "Bar"}, {3, 1, "Psi"}, {4, 0, "Deg F"}, {4, 1, "Deg C"}, {13, 0, "Line to neutral"}, {13, 1, "Line to line"},
        {8, 1, "Not fitted"}, {9, 1, "Off"}, {2, 1, "Alternator W/L"}, {19, 0, "Never"}, {32, 0, "Not fitted"},
        {32, 1, "Switch only"}, {33, 0, "Not fitted"}, {33, 1, "Switch only"}};
    for (const auto& [r, k, label] : labels)
        EXPECT_EQ(sw[r].OptionLabel.value(k), QString(label)) << r << " " << k;
    // The input and output selectors list the program's function texts.
    for (int r : {16, 17, 18}) {
        ASSERT_EQ(sw[r].OptionLabel.size(), 16) << r;
        for (int k = 0; k < 16; ++k)
            EXPECT_EQ(sw[r].OptionLabel[k], InputFunctionText[k].trimmed()) << r << " " << k;
    }
    for (int r : {24, 25, 26, 27}) {
        ASSERT_GE(sw[r].OptionLabel.size(), 52) << r;
        for (int k = 0; k < 52; ++k)
            EXPECT_EQ(sw[r].OptionLabel[k], OutputFunctionText[k]) << r << " " << k;
    }
}
