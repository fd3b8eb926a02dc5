#include "profile/profileimage.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <functional>

using namespace gx;

TEST(PinCoding, OneDigitPerHalfByteThousandsFirst)
{
    const struct {
        int high, low;
        const char* pin;
    } decoded[] = {{0x09, 0x90, "0990"},  // the image decoding has 1234, 0007, 2000, 0000
                   // Half-bytes above 9 are not rejected; they enter the sum.
                   {0x00, 0x0F, "0015"}, {0xFF, 0xFF, "16665"}};
    for (const auto& row : decoded)
        EXPECT_EQ(pinFromPackedDecimal(row.high, row.low), QString(row.pin)) << std::hex << row.high << " " << row.low;

    // Encoding uses four characters at most (the image encoding fills up
    // with leading zeros).
    const struct {
        const char* pin;
        QByteArray bytes;
    } encoded[] = {{"12345", QByteArray("\x12\x34", 2)}, {"1x3y", QByteArray("\x10\x30", 2)}};
    for (const auto& row : encoded)
        EXPECT_EQ(packedDecimalFromPin(row.pin), row.bytes) << row.pin;
}

TEST(ProfileImage, DecodesEveryFieldAtItsPlace)
{
    QByteArray image(310, '\0');
    auto put = [&](int at, const QByteArray& bytes) { image.replace(at, bytes.size(), bytes); };
    put(0, QByteArray("\x01\x2C\0\0", 4));  // timers 0, 1 = 300, 0
    put(26, QByteArray("\x00\x19", 2));      // timer 13 = 25
    put(30, QByteArray("\xFF\xFA\x00\x76", 4)); // timer 15 = 65530 (unsigned), value 0 = 118
    put(94, "\xFF\xFF\x03");                 // value 31 = 65535, switch 0 = 3
    put(127, "\xC8");                        // switch 31 = 200
    put(128, "Input 3 fault   ");         // message 0
    put(176, "Site \xE9         x");      // message 3, Latin-1
    put(256, QByteArray("\x02\x04\0\0\0\0\0\xFF", 8));  // sensors 0-7
    put(264, QByteArray("\x12\x34\x00\x07\x1A\x00", 6));  // PINs 0-2
    put(278, "\x98\x76");                 // PIN 7
    put(280, QByteArray(30, char(0xEE))); // LEDs, ID and date: not decoded

    const Profile p = decodeProfileImage(image);
    EXPECT_EQ((std::array{p.TimerValue[0], p.TimerValue[1], p.TimerValue[13], p.TimerValue[15]}),
              (std::array{300, 0, 25, 65530}));
    EXPECT_EQ((std::array{p.SysValue[0], p.SysValue[31]}), (std::array{118, 65535}));
    EXPECT_EQ((std::array{p.SwSwitch[0], p.SwSwitch[1], p.SwSwitch[31]}), (std::array{3, 0, 200}));
    EXPECT_EQ(p.MessageText[0], QString("Input 3 fault   "));
    EXPECT_EQ(p.MessageText[1], QString(16, QChar(0)));
    EXPECT_EQ(p.MessageText[3], QString::fromUtf8("Site \xc3\xa9         x"));
    EXPECT_EQ((std::array{p.AlogSensor[0], p.AlogSensor[1], p.AlogSensor[7]}), (std::array{2, 4, 255}));
    EXPECT_EQ((QStringList{p.PINtext[0], p.PINtext[1], p.PINtext[2], p.PINtext[3], p.PINtext[7]}),
              (QStringList{"1234", "0007", "2000", "0000", "9876"}));
}

namespace {

Profile workingForImage()
{
    Profile w;  // values in every slot; the image holds fixed ones where a slot is not edited
    for (int i = 0; i < 32; ++i)
        w.TimerValue[i % 16] = 1000 + i % 16, w.SysValue[i] = 300 + i, w.SwSwitch[i] = i;
    w.TimerValue[0] = 6553;  // seconds
    w.MessageText = {"Low fuel", "ABCDEFGHIJKLMNOPQRST", "", "", "", "", "ignored", ""};
    w.AlogSensor = {2, 3, 9, 9, 9, 9, 9, 9};
    w.PINtext = {"1234", "42", "", "9999", "1111", "1111", "1111", "1111"};
    return w;
}

} // namespace

TEST(ProfileImage, EncodesTheWorkingProfileWithFixedFiller)
{
    QString error;
    const auto image = encodeProfileImage(workingForImage(), &error);
    ASSERT_TRUE(image.has_value()) << qPrintable(error);
    ASSERT_EQ(image->size(), 310);
    auto at = [&](int i) { return int(quint8((*image)[i])); };
    auto word = [&](int i) { return at(i) * 256 + at(i + 1); };

    // Timers in tenths; the unused slots hold fixed values.
    const std::pair<int, int> words[] = {{0, 65530}, {2, 10010}, {20, 20},  {22, 600}, {24, 10},
                                         {26, 10130}, {28, 5},   {30, 15},  {32, 300}, {86, 327}};
    for (const auto& [offset, value] : words)
        EXPECT_EQ(word(offset), value) << "at " << offset;
    const std::pair<int, int> bytes[] = {{96, 0}, {110, 14}, {111, 0}, {112, 16}, {119, 0}, {123, 27}, {124, 0}};
    for (const auto& [offset, value] : bytes)
        EXPECT_EQ(at(offset), value) << "at " << offset;
    const std::pair<int, QByteArray> blocks[] = {  // offset, bytes
        {88, QByteArray(8, '\0')},  // values 28-31
        {128, "Low fuel        ABCDEFGHIJKLMNOP" + QByteArray(16, ' ')}, {224, QByteArray(32, ' ')},  // messages 0-2, 6-7
        {256, QByteArray("\x02\x03\0\0\0\0\0\0\x12\x34\x00\x42\x00\x00\x99\x99", 16)},         // sensors, PINs 0-3
        {272, QByteArray(24, '\0')}, {296, QByteArray(14, ' ')}};  // PINs 4-7, LEDs; ID and date
    for (const auto& [offset, bytes] : blocks)
        EXPECT_EQ(image->mid(offset, bytes.size()), bytes) << "at " << offset;
}

TEST(ProfileImage, ValuesThatDoNotFitAreRefusedNamingTheSettingAndValue)
{
    const std::pair<std::function<void(Profile&)>, const char*> rows[] = {  // edit, error (empty: accepted)
        {[](Profile& w) { w.TimerValue[13] = 6554; }, "Timers: ATS timers: Contactor delay: is 6554 s (1:49:14)"},
        {[](Profile& w) { w.TimerValue[0] = -1; }, "Timers: Start Delay: is -1 s"},
        {[](Profile& w) { w.AlogSensor[1] = 256; }, "Engine temperature: Sender type: is option 256"},
        {[](Profile& w) { w.SysValue[3] = -5; }, "Generator setup (1): Under Speed: (rpm) is -5"},
        {[](Profile& w) { w.SwSwitch[15] = -1; }, ""},  // not edited: written as 0
    };
    for (const auto& [edit, expected] : rows) {
        Profile w = workingForImage();
        edit(w);
        QString error;
        EXPECT_EQ(encodeProfileImage(w, &error).has_value(), *expected == '\0') << expected << ": " << qPrintable(error);
        EXPECT_TRUE(error.contains(expected)) << expected << ": " << qPrintable(error);
    }
}

TEST(ProfileImage, NotesGoOutAs1025CharactersOrAreRefused)
{
    const std::pair<int, int> rows[] = {{0, 1025}, {1024, 1}, {1, 1024}};  // notes length, blanks sent
    for (const auto& [length, blanks] : rows) {
        const auto text = encodeProfileText(QString(length, QLatin1Char('n')), nullptr);
        ASSERT_TRUE(text.has_value());
        EXPECT_EQ(text->size(), 1025);
        EXPECT_EQ(text->count(' '), blanks) << length;
    }
    QString error;
    EXPECT_FALSE(encodeProfileText(QString(1025, QLatin1Char('n')), &error));
    EXPECT_TRUE(error.contains("1025 characters")) << qPrintable(error);
}
