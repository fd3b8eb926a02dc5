// Replies of a single controller in the direct framing, checked against the
// byte layouts.

#include "simtest.h"

using namespace simtest;
using gxsim::Line;
using gxsim::Model;

TEST(GxsimReplies, IdentificationIsModelAndFirmwarePaddedTo16)
{
    EXPECT_EQ(text(Sim().ask({0x04})), "GX520 V2.01     ");
    Line::Config cfg;
    cfg.model = Model::GX510;
    cfg.firmware = "1.01";
    EXPECT_EQ(text(Sim(cfg).ask({0x04})), "GX510 V1.01     ");
}

TEST(GxsimReplies, StatusLengthFollowsFirmwareAndChecksumCoversData)
{
    for (const auto& [fw, len] : std::vector<std::pair<std::string, std::size_t>>{
             {"1.0", 65}, {"1.01", 65}, {"1.02", 67}, {"1.04", 67}, {"2.0", 67}, {"2.01", 67}, {"2.2", 67}}) {
        Line::Config cfg;
        cfg.firmware = fw;
        Sim sim(cfg);
        const Bytes s = sim.status();
        ASSERT_EQ(s.size(), len) << fw;
        EXPECT_EQ(sum(s, 0, len - 3), u16(s, len - 2)) << fw;
    }
}

TEST(GxsimReplies, StatusAtRestShowsStoppedAutoWithReadings)
{
    Sim sim;
    sim.ctl().engine().setHoursHundredths(12345678); // 123456.78 h
    sim.ctl().engine().setBatteryTenths(127);
    const Bytes s = sim.status();
    EXPECT_EQ(s[0], 0);                 // no fault
    EXPECT_EQ(s[1], 0);                 // stopped
    EXPECT_TRUE(bitSet(s, 6, 6));       // AUTO
    EXPECT_FALSE(bitSet(s, 6, 7));      // not MAN
    EXPECT_TRUE(bitSet(s, 6, 0));       // mains present
    EXPECT_TRUE(bitSet(s, 7, 7));       // engine stopped
    EXPECT_EQ(u16(s, 16), 0u);          // speed
    EXPECT_EQ(u16(s, 61), 127u);        // battery 12.7 V
    EXPECT_EQ(hoursText(s, 41, 40, 39, 38), "123456.78");
    EXPECT_EQ(u16(s, 45), 0u);          // no generator volts
}

TEST(GxsimReplies, ProfileReplyCarriesDefaultProfileAndChecksum)
{
    Sim sim;
    const Bytes p = sim.ask({0x02});
    ASSERT_EQ(p.size(), 312u);
    EXPECT_EQ(sum(p, 0, 309), u16(p, 310));
    EXPECT_EQ(std::string(p.begin() + 128 + 3 * 16, p.begin() + 128 + 4 * 16), "Sim site 1      ");
    EXPECT_EQ(u16(p, 32 + 2 * 9), 3u);    // start attempts
    EXPECT_EQ(u16(p, 32 + 2 * 13), 100u); // full-load current
    EXPECT_EQ(u16(p, 32 + 2 * 16), 30u);  // IDMT time constant
    EXPECT_EQ(u16(p, 32 + 2 * 17), 25u);  // instant trip 2.5 x
    EXPECT_EQ(u16(p, 32 + 2 * 26), 3u);   // phases
    EXPECT_EQ(u16(p, 256), 0x0202u);       // oil and temperature sender types
    EXPECT_EQ(u16(p, 268), 0x1234u);       // remote log-on PIN 1234
    // A demonstration start is quick: start delay + preheat under ten seconds.
    EXPECT_LT(u16(p, 0) + u16(p, 2), 100u);
}

TEST(GxsimReplies, TextAndLatestFaultReplies)
{
    Sim sim;
    const Bytes t = sim.ask({0x17});
    ASSERT_EQ(t.size(), 1023u);
    EXPECT_EQ(text(t).rfind("Simulated controller", 0), 0u);

    Bytes f = sim.ask({0x1D});
    ASSERT_EQ(f.size(), 18u);
    EXPECT_EQ(f[16], 0);
    sim.ctl().engine().raiseFault(16, true);
    sim.ctl().engine().command(gxsim::Command::FaultReset);
    f = sim.ask({0x1D});
    EXPECT_EQ(f[16], 16) << "the latest fault stays after a reset";
    EXPECT_EQ(text(Bytes(f.begin(), f.begin() + 16)), "Sim site 1      ");

    EXPECT_EQ(sim.ask({0x1F}), (Bytes{1, 16}));
}

TEST(GxsimReplies, RemoteLogOnChecksPackedPin)
{
    Sim sim;
    EXPECT_EQ(text(sim.ask({0x09, 0x12, 0x34})), "0");
    EXPECT_EQ(text(sim.ask({0x09, 0x12, 0x35})), "1");
    // The three bytes may come as separate writes.
    EXPECT_TRUE(sim.ask({0x09}).empty());
    EXPECT_TRUE(sim.ask({0x12}).empty());
    EXPECT_EQ(text(sim.ask({0x34})), "0");
}

TEST(GxsimReplies, ControlCommandsAndEndOfSessionGetNoReply)
{
    Sim sim;
    for (std::uint8_t b : {0x06, 0x07, 0x08, 0x0A, 0x10, 0x11, 0x14, 0x19, 0x1A, 0x1B, 0x1C, 0x12})
        EXPECT_TRUE(sim.ask({b}).empty()) << int(b);
    // 0x19 switched to MAN, 0x1A back to AUTO, 0x10/0x11 toggled outputs A and B.
    const Bytes s = sim.status();
    EXPECT_TRUE(bitSet(s, 6, 6));
    // Default outputs 3 and 4 are the PC-controlled A and B.
    EXPECT_TRUE(bitSet(s, 3, 2));
    EXPECT_TRUE(bitSet(s, 3, 3));
}
