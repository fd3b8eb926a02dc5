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

TEST(PinEncoding, FillsUpWithLeadingZerosAndUsesFourCharacters)
{
    EXPECT_EQ(packedDecimalFromPin("1234"), QByteArray("\x12\x34", 2));
    EXPECT_EQ(packedDecimalFromPin("7"), QByteArray("\x00\x07", 2));
    EXPECT_EQ(packedDecimalFromPin(""), QByteArray("\x00\x00", 2));
    EXPECT_EQ(packedDecimalFromPin("12345"), QByteArray("\x12\x34", 2));
    EXPECT_EQ(packedDecimalFromPin("1x3y"), QByteArray("\x10\x30", 2));
}

namespace {

Profile workingForImage()
{
    Profile w;  // fixed values in the slots that are not edited
    for (int i = 0; i < 16; ++i)
        w.TimerValue[i] = 1000 + i;  // seconds; slots 10-12, 14, 15 must not be used
    w.TimerValue[0] = 6553;
    for (int i = 0; i < 32; ++i)
        w.SysValue[i] = 300 + i;     // slots 28-31 must not be used
    for (int i = 0; i < 32; ++i)
        w.SwSwitch[i] = i;           // slots 15, 23, 28-31 must not be used
    w.MessageText[0] = "Low fuel";
    w.MessageText[1] = "ABCDEFGHIJKLMNOPQRST";
    w.MessageText[6] = "ignored";
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

    EXPECT_EQ(at(0), 0xFF);  // 6553 s = 65530 tenths
    EXPECT_EQ(at(1), 0xFA);
    EXPECT_EQ(at(2) * 256 + at(3), 10010);  // timer 1
    EXPECT_EQ(at(20) * 256 + at(21), 20);   // timer 10: fixed
    EXPECT_EQ(at(22) * 256 + at(23), 600);
    EXPECT_EQ(at(24) * 256 + at(25), 10);
    EXPECT_EQ(at(26) * 256 + at(27), 10130);  // timer 13
    EXPECT_EQ(at(28) * 256 + at(29), 5);
    EXPECT_EQ(at(30) * 256 + at(31), 15);
    EXPECT_EQ(at(32) * 256 + at(33), 300);
    EXPECT_EQ(at(86) * 256 + at(87), 327);  // value 27
    for (int i = 88; i < 96; ++i)
        EXPECT_EQ(at(i), 0) << i;
    EXPECT_EQ(at(96), 0);
    EXPECT_EQ(at(110), 14);
    EXPECT_EQ(at(111), 0);   // switch 15
    EXPECT_EQ(at(112), 16);
    EXPECT_EQ(at(119), 0);   // switch 23
    EXPECT_EQ(at(123), 27);
    EXPECT_EQ(at(124), 0);   // switch 28
    EXPECT_EQ(image->mid(128, 16), QByteArray("Low fuel        "));
    EXPECT_EQ(image->mid(144, 16), QByteArray("ABCDEFGHIJKLMNOP"));
    EXPECT_EQ(image->mid(160, 16), QByteArray(16, ' '));
    EXPECT_EQ(image->mid(224, 32), QByteArray(32, ' '));
    EXPECT_EQ(image->mid(256, 8), QByteArray("\x02\x03\0\0\0\0\0\0", 8));
    EXPECT_EQ(image->mid(264, 8), QByteArray("\x12\x34\x00\x42\x00\x00\x99\x99", 8));
    EXPECT_EQ(image->mid(272, 8), QByteArray(8, '\0'));
    EXPECT_EQ(image->mid(280, 16), QByteArray(16, '\0'));
    EXPECT_EQ(image->mid(296, 14), QByteArray(14, ' '));

    // Decoding gives the values back (timers in tenths).
    const Profile back = decodeProfileImage(*image);
    EXPECT_EQ(back.TimerValue[13], 10130);
    EXPECT_EQ(back.SysValue[5], 305);
    EXPECT_EQ(back.PINtext[1], QString("0042"));
    EXPECT_EQ(back.MessageText[0], QString("Low fuel        "));
}

TEST(ProfileImage, ValuesThatDoNotFitAreRefused)
{
    QString error;
    Profile w = workingForImage();
    w.TimerValue[13] = 6554;
    EXPECT_FALSE(encodeProfileImage(w, &error).has_value());
    EXPECT_TRUE(error.contains("Timer 13")) << qPrintable(error);

    w = workingForImage();
    w.SwSwitch[24] = -1;
    EXPECT_FALSE(encodeProfileImage(w, &error).has_value());
    EXPECT_TRUE(error.contains("Switch 24 has no option selected")) << qPrintable(error);

    w = workingForImage();
    w.SysValue[3] = -5;
    EXPECT_FALSE(encodeProfileImage(w, &error).has_value());
    EXPECT_TRUE(error.contains("System value 3")) << qPrintable(error);

    w = workingForImage();
    w.SwSwitch[15] = -1;  // not edited: written as 0
    EXPECT_TRUE(encodeProfileImage(w, &error).has_value()) << qPrintable(error);
}
