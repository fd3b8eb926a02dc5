// Replies of a single controller in the direct framing, checked against the
// byte layouts. Identification, profile and notes are read by the end-to-end
// runs and gxctl's tests through the program's own decoding.

#include "simtest.h"

using namespace simtest;
using gxsim::Line;

TEST(GxsimReplies, StatusLengthFollowsFirmwareAndChecksumCoversData)
{
    for (const auto& [fw, len] : std::vector<std::pair<std::string, std::size_t>>{
             {"1.0", 65}, {"1.01", 65}, {"1.02", 67}, {"1.04", 67}, {"2.0", 67}, {"2.2", 67}}) {
        Line::Config cfg;
        cfg.firmware = fw;
        const Bytes s = Sim(cfg).status();
        ASSERT_EQ(s.size(), len) << fw;
        EXPECT_EQ(sum(s, 0, len - 3), u16(s, len - 2)) << fw;
    }
}

TEST(GxsimReplies, TheLatestFaultStaysAfterAReset)
{
    Sim sim;
    EXPECT_EQ(sim.ask({0x1D}).at(16), 0);
    sim.ctl().engine().raiseFault(16, true);
    sim.ctl().engine().command(gxsim::Command::FaultReset);
    const Bytes f = sim.ask({0x1D});
    ASSERT_EQ(f.size(), 18u);
    EXPECT_EQ(text(Bytes(f.begin(), f.begin() + 16)), "Sim site 1      ");
    EXPECT_EQ(f[16], 16);
    EXPECT_EQ(sim.ask({0x1F}), (Bytes{1, 16}));
}

TEST(GxsimReplies, ControlCommandsAndEndOfSessionGetNoReply)
{
    Sim sim;
    for (std::uint8_t b : {0x06, 0x07, 0x08, 0x0A, 0x10, 0x11, 0x14, 0x19, 0x1A, 0x1B, 0x1C, 0x12})
        EXPECT_TRUE(sim.ask({b}).empty()) << int(b);
    // 0x19 MAN, then 0x1A AUTO again; 0x10 and 0x11 switched outputs 3 and 4 (PC outputs A and B).
    EXPECT_TRUE(shows(sim.status(), "b6.6 !b6.7 b3.2 b3.3"));
}
