#include "imagebuilder.h"
#include "monitor/lcd.h"

#include <gtest/gtest.h>

using namespace gx;
using gx::test::ImageBuilder;

namespace {

struct FlagBit {
    const char* name;
    int byte, bit;
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
    EXPECT_EQ((std::array{r.FaultReg, r.State, r.StartNum, r.EngSpeed}), (std::array{17, 4, 2, 1503}));
    EXPECT_EQ((std::array{r.State0, r.State1, r.State2, r.State3, r.State4, r.State5}), (std::array{0, 0, 0, 0, 1, 0}));
    EXPECT_EQ((std::array{r.GenV1, r.GenV2, r.GenV3, r.GenI1, r.GenI2, r.GenI3}), (std::array{231, 229, 240, 12, 0, 300}));
    // Oil and temperature from bytes 42, 43: bytes 18, 19 belong to the network
    // image only (its numbers are checked against the simulator's by the Serve tests).
    EXPECT_EQ((std::array{r.OilPress, r.EngTemp, r.DumpFault, r.IDMTCount}), (std::array{45, 88, 185, 1234}));
    EXPECT_DOUBLE_EQ(r.BatVolt, 13.6);
}

TEST(StatusDecode, Corners)
{
    // Voltages below 20 V read 0; engine speed is capped at 4500; battery bytes are unsigned.
    const StatusRecord r = ImageBuilder().word(45, 19).word(47, 20).word(49, 0).decode();
    EXPECT_EQ((std::array{r.GenV1, r.GenV2, r.GenV3}), (std::array{0, 20, 0}));
    for (const auto& [raw, rpm] : {std::pair{4500, 4500}, {4501, 4500}, {65535, 4500}})
        EXPECT_EQ(ImageBuilder().word(16, raw).decode().EngSpeed, rpm) << raw;
    EXPECT_DOUBLE_EQ(ImageBuilder().word(61, 0x8000).decode().BatVolt, 3276.8);
}

TEST(HoursRun, BcdBytesReadAsDecimalTextAndANonBcdDigitEndsTheNumber)
{
    const struct {
        int b41, b40, b39, b38;
        const char* text;
        double hours;
    } rows[] = {{0x00, 0x12, 0x34, 0x56, "001234.56", 1234.56},
                {0x00, 0x12, 0x2A, 0x56, "00122A.56", 122},
                {0xAB, 0x00, 0x00, 0x00, "AB0000.00", 0}};
    EXPECT_DOUBLE_EQ(hoursRunValue(QStringLiteral("001234.56"), true), 12.3456);  // network: hundredths
    for (const auto& row : rows) {
        const StatusRecord r = ImageBuilder().set(41, row.b41).set(40, row.b40).set(39, row.b39).set(38, row.b38).decode();
        EXPECT_EQ(r.Hrun, QString(row.text));
        EXPECT_DOUBLE_EQ(StatusRecord::leadingNumber(r.Hrun), row.hours) << row.text;
        EXPECT_DOUBLE_EQ(hoursRunValue(r.Hrun, false), row.hours) << row.text;
    }
}
