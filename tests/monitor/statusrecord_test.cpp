#include "imagebuilder.h"

#include <gtest/gtest.h>

using namespace gx;
using gx::test::ImageBuilder;

namespace {

struct FlagBit {
    const char* name;
    int byte;
    int bit;
    int StatusRecord::*field;
};

const FlagBit Flags[] = {
    {"Mains", 6, 0, &StatusRecord::Mains},          {"MPUfited", 6, 2, &StatusRecord::MPUfited},
    {"LOP", 6, 5, &StatusRecord::LOP},              {"AUTO", 6, 6, &StatusRecord::AUTO},
    {"MAN", 6, 7, &StatusRecord::MAN},              {"OffMode", 7, 0, &StatusRecord::OffMode},
    {"RemStart", 7, 5, &StatusRecord::RemStart},    {"EngStopd", 7, 7, &StatusRecord::EngStopd},
    {"StrtFlg", 8, 4, &StatusRecord::StrtFlg},      {"LoadCycl", 8, 5, &StatusRecord::LoadCycl},
    {"EnergStop", 9, 4, &StatusRecord::EnergStop},  {"StopOn", 9, 5, &StatusRecord::StopOn},
    {"ChargeFail", 10, 1, &StatusRecord::ChargeFail}, {"TestOffLoad", 10, 3, &StatusRecord::TestOffLoad},
    {"ManRestore", 10, 5, &StatusRecord::ManRestore}, {"PsiBar", 11, 7, &StatusRecord::PsiBar},
    {"LdAccept", 12, 2, &StatusRecord::LdAccept},   {"ChargeStart", 13, 0, &StatusRecord::ChargeStart},
    {"TestStart", 13, 2, &StatusRecord::TestStart}, {"StrtDly", 4, 0, &StatusRecord::StrtDly},
    {"CrnkCool", 4, 3, &StatusRecord::CrnkCool},    {"Ovridtim", 4, 4, &StatusRecord::Ovridtim},
    {"WarmUp", 4, 5, &StatusRecord::WarmUp},        {"RestDly", 4, 6, &StatusRecord::RestDly},
    {"Contactor", 5, 5, &StatusRecord::Contactor},
};

} // namespace

// Each flag comes from its own bit and from no other.
TEST(StatusFlags, EachFlagReadsOnlyItsOwnBit)
{
    for (const FlagBit& f : Flags) {
        const StatusRecord r = ImageBuilder().bit(f.byte, f.bit).decode();
        for (const FlagBit& g : Flags)
            EXPECT_EQ(r.*(g.field), &g == &f ? 1 : 0) << "bit of " << f.name << " read as " << g.name;
    }
}

TEST(StatusDecode, NumbersOfTheDirectReply)
{
    ImageBuilder b;
    b.set(0, 17).set(1, 4).set(2, 2).word(16, 1503).word(45, 231).word(47, 229).word(49, 240);
    b.word(51, 12).word(53, 0).word(55, 300).set(42, 45).set(43, 88).set(44, 185).word(59, 1234);
    b.word(61, 136).set(18, 99).set(19, 98);
    const StatusRecord r = b.decode();
    EXPECT_EQ(r.FaultReg, 17);
    EXPECT_EQ(r.State, 4);
    EXPECT_EQ(r.State4, 1);
    EXPECT_EQ(r.State0 + r.State1 + r.State2 + r.State3 + r.State5, 0);
    EXPECT_EQ(r.StartNum, 2);
    EXPECT_EQ(r.EngSpeed, 1503);
    EXPECT_EQ(r.GenV1, 231);
    EXPECT_EQ(r.GenV2, 229);
    EXPECT_EQ(r.GenV3, 240);
    EXPECT_EQ(r.GenI1, 12);
    EXPECT_EQ(r.GenI2, 0);
    EXPECT_EQ(r.GenI3, 300);
    EXPECT_EQ(r.OilPress, 45);  // bytes 18, 19 belong to the network image only
    EXPECT_EQ(r.EngTemp, 88);
    EXPECT_EQ(r.DumpFault, 185);
    EXPECT_EQ(r.IDMTCount, 1234);
    EXPECT_DOUBLE_EQ(r.BatVolt, 13.6);
}

TEST(StatusDecode, NetworkImageTakesOilTemperatureAndHoursFromItsOwnBytes)
{
    ImageBuilder b;
    b.set(18, 60).set(19, 91).set(42, 0x78).set(43, 0x56).set(44, 0x04).set(17, 0x90);
    const StatusRecord r = b.decode(true);
    EXPECT_EQ(r.OilPress, 60);
    EXPECT_EQ(r.EngTemp, 91);
    EXPECT_EQ(r.Hrun, QStringLiteral("045678.90"));
}

TEST(StatusDecode, StateAboveFiveKeepsThePreviousOneHotCopy)
{
    StatusRecord r = ImageBuilder().set(1, 3).decode();
    ASSERT_EQ(r.State3, 1);
    r.decode(ImageBuilder().set(1, 7).image, false);
    EXPECT_EQ(r.State, 7);
    EXPECT_EQ(r.State3, 1);
    EXPECT_EQ(r.State0 + r.State1 + r.State2 + r.State4 + r.State5, 0);
    r.decode(ImageBuilder().set(1, 5).image, false);
    EXPECT_EQ(r.State3, 0);
    EXPECT_EQ(r.State5, 1);
}

TEST(StatusDecode, VoltageBelowTwentyReadsZero)
{
    const StatusRecord r = ImageBuilder().word(45, 19).word(47, 20).word(49, 0).decode();
    EXPECT_EQ(r.GenV1, 0);
    EXPECT_EQ(r.GenV2, 20);
    EXPECT_EQ(r.GenV3, 0);
}

TEST(StatusDecode, EngineSpeedIsCappedAt4500)
{
    EXPECT_EQ(ImageBuilder().word(16, 4500).decode().EngSpeed, 4500);
    EXPECT_EQ(ImageBuilder().word(16, 4501).decode().EngSpeed, 4500);
    EXPECT_EQ(ImageBuilder().word(16, 65535).decode().EngSpeed, 4500);
}

TEST(StatusDecode, BatteryBytesAreUnsigned)
{
    EXPECT_DOUBLE_EQ(ImageBuilder().word(61, 0x8000).decode().BatVolt, 3276.8);
    EXPECT_DOUBLE_EQ(ImageBuilder().word(61, 130).decode().BatVolt, 13.0);
}

TEST(HoursRun, DirectBcdBytesReadAsDecimalText)
{
    ImageBuilder b;
    b.set(41, 0x00).set(40, 0x12).set(39, 0x34).set(38, 0x56);
    const StatusRecord r = b.decode();
    EXPECT_EQ(r.Hrun, QStringLiteral("001234.56"));
    EXPECT_DOUBLE_EQ(StatusRecord::leadingNumber(r.Hrun), 1234.56);
}

TEST(HoursRun, NonBcdDigitEndsTheNumber)
{
    ImageBuilder b;
    b.set(41, 0x00).set(40, 0x12).set(39, 0x2A).set(38, 0x56);
    const StatusRecord r = b.decode();
    EXPECT_EQ(r.Hrun, QStringLiteral("00122A.56"));
    EXPECT_DOUBLE_EQ(StatusRecord::leadingNumber(r.Hrun), 122);
    EXPECT_EQ(StatusRecord::hoursRunText(ImageBuilder().set(41, 0xAB).image, false), QStringLiteral("AB0000.00"));
    EXPECT_DOUBLE_EQ(StatusRecord::leadingNumber(QStringLiteral("AB0000.00")), 0);
}
