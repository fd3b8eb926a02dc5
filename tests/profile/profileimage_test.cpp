#include "profile/profileimage.h"

#include <gtest/gtest.h>

using namespace gx;

TEST(PinDecoding, OneDigitPerHalfByteThousandsFirst)
{
    EXPECT_EQ(pinFromPackedDecimal(0x12, 0x34), QString("1234"));
    EXPECT_EQ(pinFromPackedDecimal(0x00, 0x07), QString("0007"));
    EXPECT_EQ(pinFromPackedDecimal(0x00, 0x00), QString("0000"));
    EXPECT_EQ(pinFromPackedDecimal(0x09, 0x90), QString("0990"));
    // Half-bytes above 9 are not rejected; they enter the sum.
    EXPECT_EQ(pinFromPackedDecimal(0x1A, 0x00), QString("2000"));
    EXPECT_EQ(pinFromPackedDecimal(0x00, 0x0F), QString("0015"));
    EXPECT_EQ(pinFromPackedDecimal(0xFF, 0xFF), QString("16665"));
}

TEST(ProfileImage, DecodesEveryFieldAtItsPlace)
{
    QByteArray image(310, '\0');
    auto put = [&](int at, std::initializer_list<int> bytes) {
        for (int b : bytes)
            image[at++] = char(b);
    };
    put(0, {0x01, 0x2C});    // timer 0 = 300
    put(26, {0x00, 0x19});   // timer 13 = 25
    put(30, {0xFF, 0xFA});   // timer 15 = 65530
    put(32, {0x00, 0x76});   // value 0 = 118
    put(66, {0x00, 0x19});   // value 17 = 25
    put(94, {0x7F, 0xFF});   // value 31 = 32767
    put(96, {3});            // switch 0
    put(105, {1});           // switch 9
    put(127, {51});          // switch 31
    put(128, {'I', 'n', 'p', 'u', 't', ' ', '3', ' ', 'f', 'a', 'u', 'l', 't', ' ', ' ', ' '});
    put(176, {'S', 'i', 't', 'e', ' ', 0xE9, ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', 'x'});
    put(240, {'7', '7', '7', '7', '7', '7', '7', '7', '7', '7', '7', '7', '7', '7', '7', '7'});
    put(256, {2, 4, 0, 0, 0, 0, 0, 9});   // sensors 0-7
    put(264, {0x12, 0x34, 0x00, 0x07});   // PINs 0, 1
    put(268, {0x1A, 0x00});               // PIN 2
    put(278, {0x98, 0x76});               // PIN 7
    for (int i = 280; i < 310; ++i)       // LEDs, ID and date: not decoded
        image[i] = char(0xEE);

    const Profile p = decodeProfileImage(image);
    EXPECT_EQ(p.TimerValue[0], 300);
    EXPECT_EQ(p.TimerValue[1], 0);
    EXPECT_EQ(p.TimerValue[13], 25);
    EXPECT_EQ(p.TimerValue[15], 65530);
    EXPECT_EQ(p.SysValue[0], 118);
    EXPECT_EQ(p.SysValue[17], 25);
    EXPECT_EQ(p.SysValue[31], 32767);
    EXPECT_EQ(p.SwSwitch[0], 3);
    EXPECT_EQ(p.SwSwitch[9], 1);
    EXPECT_EQ(p.SwSwitch[31], 51);
    EXPECT_EQ(p.MessageText[0], QString("Input 3 fault   "));
    EXPECT_EQ(p.MessageText[1], QString(16, QChar(0)));
    EXPECT_EQ(p.MessageText[3], QString::fromUtf8("Site \xc3\xa9         x"));
    EXPECT_EQ(p.MessageText[7], QString(16, '7'));
    EXPECT_EQ(p.AlogSensor[0], 2);
    EXPECT_EQ(p.AlogSensor[1], 4);
    EXPECT_EQ(p.AlogSensor[7], 9);
    EXPECT_EQ(p.PINtext[0], QString("1234"));
    EXPECT_EQ(p.PINtext[1], QString("0007"));
    EXPECT_EQ(p.PINtext[2], QString("2000"));
    EXPECT_EQ(p.PINtext[3], QString("0000"));
    EXPECT_EQ(p.PINtext[7], QString("9876"));
}

TEST(ProfileImage, ByteValuesAreUnsigned)
{
    QByteArray image(310, char(0xFF));
    const Profile p = decodeProfileImage(image);
    EXPECT_EQ(p.TimerValue[4], 65535);
    EXPECT_EQ(p.SysValue[4], 65535);
    EXPECT_EQ(p.SwSwitch[4], 255);
    EXPECT_EQ(p.AlogSensor[4], 255);
}

TEST(ProfileImage, AShortImageReadsAsZeros)
{
    const Profile p = decodeProfileImage(QByteArray("\x00\x0A", 2));
    EXPECT_EQ(p.TimerValue[0], 10);
    EXPECT_EQ(p.SysValue[0], 0);
    EXPECT_EQ(p.PINtext[0], QString("0000"));
}
