#include "profile/limits.h"
#include "profile/tables.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
    l[50 + 12] = "12,\"One option\",0,0,0,\"Only\"";
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

QString errorOf(const QStringList& lines)
{
    QString error;
    EXPECT_FALSE(readProgramLimits(join(lines), "/x/limits.txt", &error).has_value());
    return error;
}

} // namespace

TEST(LimitsReader, ReadsEverySectionInOrder)
{
    QString error = "left over";
    const auto limits = readProgramLimits(join(validLines()), "limits.txt", &error);
    ASSERT_TRUE(limits.has_value()) << qPrintable(error);
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(limits->TimerLimit[3].TimerName, QString("Crank rest"));
    EXPECT_EQ(limits->TimerLimit[3].TimerLowLimit, 20);
    EXPECT_EQ(limits->TimerLimit[3].TimerHighLimit, 305);
    EXPECT_EQ(limits->TimerLimit[3].TimerDefault, 25);
    EXPECT_EQ(limits->SysValLimit[31].SysValNumber, 31);
    EXPECT_EQ(limits->SysValLimit[31].SysvalHighLimit, 1000);
    EXPECT_EQ(limits->SwitchLimit[39].SwNumber, 39);
    EXPECT_EQ(limits->SwitchLimit[0].OptionLabel, (QStringList{"Off", "On"}));
    EXPECT_EQ(limits->SwitchLimit[0].SwDefault, 1);
    EXPECT_EQ(limits->PinLimit[7].PINdefault, QString("0077"));
    EXPECT_EQ(limits->PinLimit[0].PINtitle, QString("PIN 0"));
}

TEST(LimitsReader, OptionCountIsTheHighestOptionNumber)
{
    const auto limits = readProgramLimits(join(validLines()), "limits.txt", nullptr);
    ASSERT_TRUE(limits.has_value());
    EXPECT_EQ(limits->SwitchLimit[12].OptionLabel, QStringList{"Only"});
    EXPECT_EQ(limits->SwitchLimit[13].OptionLabel, (QStringList{"a, with comma", "b", "c"}));
    // The record after the three pairs is read from the right place.
    EXPECT_EQ(limits->SwitchLimit[14].SwName, QString("Switch 14"));
}

TEST(LimitsReader, MessagesArePaddedToSixteenCharacters)
{
    const auto limits = readProgramLimits(join(validLines()), "limits.txt", nullptr);
    ASSERT_TRUE(limits.has_value());
    EXPECT_EQ(limits->MessageLimit[0].MessageText, QString("Text 0          "));
    EXPECT_EQ(limits->MessageLimit[1].MessageText, QString(16, ' '));
    EXPECT_EQ(limits->MessageLimit[2].MessageText, QString("0123456789ABCDEF"));
    for (const auto& m : limits->MessageLimit)
        EXPECT_EQ(m.MessageText.size(), 16);
}

TEST(LimitsReader, NothingAfterThePinSectionIsRead)
{
    QStringList lines = validLines();
    lines << "Anything" << "not,\"even,numbers\"";
    EXPECT_TRUE(readProgramLimits(join(lines), "limits.txt", nullptr).has_value());
}

TEST(LimitsReader, AFileWithoutTheSkippedRecordsIsMalformed)
{
    // Without system values 28-31 the "Switches" heading lands where value 28's number belongs.
    QStringList noSpareValues = validLines();
    noSpareValues.erase(noSpareValues.begin() + 45, noSpareValues.begin() + 49);
    const QString e1 = errorOf(noSpareValues);
    EXPECT_TRUE(e1.startsWith(QDir::toNativeSeparators("/x/limits.txt") + ", line 46:")) << qPrintable(e1);
    EXPECT_TRUE(e1.contains("system value 28")) << qPrintable(e1);
    EXPECT_TRUE(e1.contains("\"Switches\"")) << qPrintable(e1);

    // Without PINs 4-7 the file ends early.
    QStringList noSparePins = validLines();
    noSparePins.erase(noSparePins.begin() + 104, noSparePins.end());
    const QString e2 = errorOf(noSparePins);
    EXPECT_TRUE(e2.contains("line 105")) << qPrintable(e2);
    EXPECT_TRUE(e2.contains("ends where the number of PIN 4")) << qPrintable(e2);

    // Without messages 6-7.
    QStringList noSpareMessages = validLines();
    noSpareMessages.erase(noSpareMessages.begin() + 97, noSpareMessages.begin() + 99);
    EXPECT_TRUE(errorOf(noSpareMessages).contains("message 6")) << qPrintable(errorOf(noSpareMessages));

    // Without sensor records 34-39: the heading is taken for record 34's number.
    QStringList noSpareSensors = validLines();
    noSpareSensors.erase(noSpareSensors.begin() + 84, noSpareSensors.begin() + 90);
    const QString e3 = errorOf(noSpareSensors);
    EXPECT_TRUE(e3.contains("line 85")) << qPrintable(e3);
    EXPECT_TRUE(e3.contains("switch record 34")) << qPrintable(e3);
}

TEST(LimitsReader, TextWhereANumberBelongsNamesLineAndValue)
{
    QStringList lines = validLines();
    lines[17 + 2] = "2,\"Value 2\",low,1000,10";
    const QString e = errorOf(lines);
    EXPECT_TRUE(e.contains("line 20")) << qPrintable(e);
    EXPECT_TRUE(e.contains("low limit of system value 2")) << qPrintable(e);
    EXPECT_TRUE(e.contains("\"low\"")) << qPrintable(e);
}

TEST(LimitsReader, DefaultsMustLieInTheirRange)
{
    // Timers compare whole seconds: 305 tenths is still 30 s, inside 2..30 s.
    QStringList inside = validLines();
    inside[3] = "3,\"Crank rest\",20,305,309";
    EXPECT_TRUE(readProgramLimits(join(inside), "limits.txt", nullptr).has_value());
    QStringList above = validLines();
    above[3] = "3,\"Crank rest\",20,305,310";
    const QString e1 = errorOf(above);
    EXPECT_TRUE(e1.contains("line 4")) << qPrintable(e1);
    EXPECT_TRUE(e1.contains("default of timer 3")) << qPrintable(e1);
    QStringList below = validLines();
    below[3] = "3,\"Crank rest\",20,305,19";
    EXPECT_TRUE(errorOf(below).contains("default of timer 3"));

    QStringList sysval = validLines();
    sysval[17 + 16] = "16,\"IDMT\",6,100,5";
    const QString e2 = errorOf(sysval);
    EXPECT_TRUE(e2.contains("line 34")) << qPrintable(e2);
    EXPECT_TRUE(e2.contains("default of system value 16 (5)")) << qPrintable(e2);

    QStringList option = validLines();
    option[50 + 5] = "5,\"Switch 5\",1,2,0,\"Off\",1,\"On\"";
    const QString e3 = errorOf(option);
    EXPECT_TRUE(e3.contains("line 56")) << qPrintable(e3);
    EXPECT_TRUE(e3.contains("default option of switch record 5")) << qPrintable(e3);

    QStringList negativeOption = validLines();
    negativeOption[50 + 32] = "32,\"Sender\",1,-1,0,\"Off\",1,\"On\"";
    EXPECT_TRUE(errorOf(negativeOption).contains("switch record 32"));
}

TEST(LimitsReader, UnusedSlotsAreNotRangeChecked)
{
    QStringList lines = validLines();
    lines[10] = "10,\"Spare\",0,10,900";           // timer 10
    lines[17 + 29] = "29,\"Spare\",5,1,99";        // system value 29
    lines[50 + 15] = "15,\"Spare\",0,7,0,\"x\"";   // switch 15
    EXPECT_TRUE(readProgramLimits(join(lines), "limits.txt", nullptr).has_value());
}

TEST(LimitsReader, SwitchRecordsMustBeInSlotOrder)
{
    QStringList swapped = validLines();
    std::swap(swapped[50 + 20], swapped[50 + 21]);
    const QString e = errorOf(swapped);
    EXPECT_TRUE(e.contains("line 71")) << qPrintable(e);
    EXPECT_TRUE(e.contains("switch record 20 is numbered 21")) << qPrintable(e);

    // An unused record carrying a used slot's number is wrong too.
    QStringList misplaced = validLines();
    misplaced[50 + 23] = "24,\"Switch\",1,1,0,\"Off\",1,\"On\"";
    EXPECT_TRUE(errorOf(misplaced).contains("switch record 23 is numbered 24"));
}

TEST(LimitsReader, NumbersMustFitSixteenBits)
{
    QStringList big = validLines();
    big[7] = "7,\"Timer 7\",0,32768,100";
    const QString e = errorOf(big);
    EXPECT_TRUE(e.contains("line 8")) << qPrintable(e);
    EXPECT_TRUE(e.contains("32768")) << qPrintable(e);
    QStringList small = validLines();
    small[17 + 3] = "3,\"Value 3\",-32769,0,0";
    EXPECT_TRUE(errorOf(small).contains("-32769"));
    QStringList edge = validLines();
    edge[17 + 3] = "3,\"Value 3\",-32768,32767,0";
    EXPECT_TRUE(readProgramLimits(join(edge), "limits.txt", nullptr).has_value());
}

TEST(LimitsReader, OverlongTextsAreRejected)
{
    QStringList message = validLines();
    message[91 + 3] = "3,\"Site\",\"0123456789ABCDEFG\"";
    EXPECT_TRUE(errorOf(message).contains("longer than 16"));
    QStringList pin = validLines();
    pin[100 + 2] = "2,\"PIN\",\"12345\"";
    EXPECT_TRUE(errorOf(pin).contains("longer than 4"));
}

TEST(LimitsFile, TheStartFolderComesFirst)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QStringList folders = limitsFileFolders(dir.path());
    ASSERT_EQ(folders.size(), 3);
    EXPECT_EQ(folders[0], dir.path());
    EXPECT_EQ(folders[1], QDir::cleanPath(QCoreApplication::applicationDirPath() + "/data"));
    EXPECT_EQ(folders[2], QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/gx520"));

    QFile f(dir.filePath("limits.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(join(validLines()));
    f.close();
    EXPECT_EQ(QFileInfo(findLimitsFile(dir.path())), QFileInfo(dir.filePath("limits.txt")));
    QString error, used;
    EXPECT_TRUE(loadProgramLimits(dir.path(), &error, &used).has_value()) << qPrintable(error);
    EXPECT_EQ(QFileInfo(used), QFileInfo(dir.filePath("limits.txt")));
}

TEST(LimitsFile, MissingOrMalformedFilesAreReported)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    if (!findLimitsFile(dir.path()).isEmpty())
        GTEST_SKIP() << "an installed limits.txt sits beside the test program";
    QString error;
    EXPECT_FALSE(loadProgramLimits(dir.path(), &error).has_value());
    EXPECT_TRUE(error.contains("limits.txt")) << qPrintable(error);
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(dir.path()))) << qPrintable(error);

    QFile f(dir.filePath("limits.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("0,\"Start\",0,100\r\n");  // the default is missing
    f.close();
    EXPECT_FALSE(loadProgramLimits(dir.path(), &error).has_value());
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(dir.filePath("limits.txt")) + ", line 2: the file ends where the default of timer 0"))
        << qPrintable(error);
}

TEST(ShippedLimits, LoadWithoutComplaint)
{
    QFile f(QStringLiteral(GX_SOURCE_DIR) + "/data/limits.txt");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QString error;
    const auto limits = readProgramLimits(f.readAll(), f.fileName(), &error);
    ASSERT_TRUE(limits.has_value()) << qPrintable(error);

    // Units and the options the editor's rules depend on.
    const auto& sw = limits->SwitchLimit;
    EXPECT_EQ(sw[3].OptionLabel, (QStringList{"Bar", "Psi"}));
    EXPECT_EQ(sw[4].OptionLabel, (QStringList{"Deg F", "Deg C"}));
    EXPECT_EQ(sw[8].OptionLabel.value(1), QString("Not fitted"));
    EXPECT_EQ(sw[9].OptionLabel.value(1), QString("Off"));
    EXPECT_EQ(sw[2].OptionLabel.value(1), QString("Alternator W/L"));
    EXPECT_EQ(sw[13].OptionLabel, (QStringList{"Line to neutral", "Line to line"}));
    EXPECT_EQ(sw[19].OptionLabel.value(0), QString("Never"));
    for (int r : {32, 33}) {
        EXPECT_EQ(sw[r].OptionLabel.value(0), QString("Not fitted"));
        EXPECT_EQ(sw[r].OptionLabel.value(1), QString("Switch only"));
        EXPECT_GE(sw[r].SwOptions, 2);
        EXPECT_GE(sw[r].SwDefault, 2);  // a sender fitted by default
    }
    for (int r : {16, 17, 18}) {
        ASSERT_EQ(sw[r].OptionLabel.size(), 16);
        for (int k = 0; k < 16; ++k)
            EXPECT_EQ(sw[r].OptionLabel[k], InputFunctionText[k].trimmed());
    }
    for (int r : {24, 25, 26, 27}) {
        EXPECT_EQ(sw[r].OptionLabel.size(), sw[r].SwOptions + 1);
        ASSERT_GE(sw[r].OptionLabel.size(), 52);
        EXPECT_EQ(sw[r].OptionLabel[51], QString("Mains contactor open"));
        for (int k = 0; k < 52; ++k)
            EXPECT_EQ(sw[r].OptionLabel[k], OutputFunctionText[k]);
    }

    // Ranges.
    const auto& sv = limits->SysValLimit;
    EXPECT_EQ(sv[26].SysValLowLimit, 1);
    EXPECT_EQ(sv[26].SysvalHighLimit, 3);
    EXPECT_EQ(sv[9].SysValLowLimit, 1);
    EXPECT_EQ(sv[9].SysvalHighLimit, 10);
    EXPECT_EQ(sv[9].SysValDefault, 3);
    EXPECT_EQ(sv[17].SysValDefault, 25);
    EXPECT_GT(sv[16].SysValLowLimit, 5);  // an IDMT constant of 5 is never allowed
    EXPECT_TRUE(sv[23].SysValLowLimit >= 1 && sv[23].SysvalHighLimit <= 15);
    for (int i = 0; i < 16; ++i) {
        if (!isEditedTimer(i))
            continue;
        const auto& t = limits->TimerLimit[i];
        EXPECT_LE(floorDiv(t.TimerLowLimit, 10), floorDiv(t.TimerDefault, 10)) << i;
        EXPECT_LE(floorDiv(t.TimerDefault, 10), floorDiv(t.TimerHighLimit, 10)) << i;
        EXPECT_GE(t.TimerLowLimit, 0) << i;
    }
    for (const auto& m : limits->MessageLimit)
        EXPECT_EQ(m.MessageText.size(), 16);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(limits->PinLimit[i].PINdefault.size(), 4);
}
