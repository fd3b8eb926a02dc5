// Framing on the line: requests in pieces, downloads, and the RS485 network.

#include "simtest.h"

#include "profileimage.h"

using namespace simtest;
using gxsim::Line;

namespace {

Bytes downloadImage(Bytes image310)
{
    const unsigned s = sum(image310, 0, 309);
    image310.push_back(Bytes::value_type(s / 256));
    image310.push_back(Bytes::value_type(s % 256));
    return image310;
}

Sim networkSim(std::vector<int> nodes)
{
    Line::Config cfg;
    cfg.nodes = std::move(nodes);
    return Sim(cfg);
}

} // namespace

TEST(GxsimDownload, ABadChecksumOrARunningEngineKeepsTheStoredProfile)
{
    for (bool running : {false, true}) {
        SCOPED_TRACE(running ? "engine running" : "bad checksum");
        Sim sim;
        if (running) {
            sim.ctl().engine().setRemoteStart(true);
            sim.run(20000);
            ASSERT_TRUE(shows(sim.status(), "s1=4"));
        }
        const Bytes before = sim.ask({0x02});
        Bytes image(before.begin(), before.begin() + 310);
        image[3] = 99;
        image = downloadImage(image);
        if (!running)
            image[5] ^= 0x01;  // data no longer matches its checksum
        Bytes req{0x03};
        req.insert(req.end(), image.begin(), image.end());
        EXPECT_TRUE(sim.ask(req).empty());
        EXPECT_TRUE(sim.ask({0x04}).empty()) << "no confirmation for a rejected image";
        EXPECT_EQ(sim.ask({0x02}), before);
        EXPECT_EQ(text(sim.ask({0x04})), "GX520 V2.01     ") << "identification answered again afterwards";
    }
}

TEST(GxsimFraming, RequestsInPiecesAndBackToBack)
{
    auto sim = networkSim({1});
    // A network frame split over three writes, then two direct requests in one write.
    const Bytes f = netFrame(1, 4, 0, 2);
    EXPECT_TRUE(sim.ask(Bytes(f.begin(), f.begin() + 3)).empty());
    EXPECT_TRUE(sim.ask(Bytes(f.begin() + 3, f.begin() + 7)).empty());
    EXPECT_EQ(sim.ask(Bytes(f.begin() + 7, f.end())).size(), 7u);
    EXPECT_EQ(sim.ask({0x04, 0x01}).size(), 16u + 67u);
}

TEST(GxsimFraming, BrokenOrStalledNetworkFramesAreDropped)
{
    auto sim = networkSim({1});
    // Wrong end byte, with a good frame starting inside it.
    Bytes broken{0x1E, 0x01, 0x04};
    const Bytes good = netFrame(1, 4, 0, 2);
    broken.insert(broken.end(), good.begin(), good.end());
    EXPECT_EQ(sim.ask(broken).size(), 7u) << "resynchronised on the inner start byte";

    // A stray start byte, then silence: a later identification still works.
    EXPECT_TRUE(sim.ask({0x1E, 0x01}).empty());
    sim.run(200);
    EXPECT_EQ(text(sim.ask({0x04})), "GX520 V2.01     ");
}

TEST(GxsimNetwork, LoneControllerWithoutNodesIgnoresNetworkFrames)
{
    Sim sim;
    EXPECT_TRUE(sim.ask(netFrame(1, 4, 0, 2)).empty());
    EXPECT_TRUE(sim.ask(netFrame(1, 3, 0xDC, 16)).empty());
    EXPECT_EQ(sim.ask({0x01}).size(), 67u) << "frame bytes were not taken as commands";
}

// Oil, temperature, hours and the other values a poll sums up are compared
// with the simulator's own through the program's decoding in the serve tests;
// here the rest of the image: the timers, the phases and the bit bytes.
TEST(GxsimNetwork, LiveMonitorReadsDecodeToTheNetworkImage)
{
    auto sim = networkSim({1, 2});
    sim.line.controller(2)->engine().setRemoteStart(true);
    sim.run(8600); // running, warm-up and override counting

    const Bytes a = sim.ask(netFrame(2, 4, 0, 21));
    const Bytes b = sim.ask(netFrame(2, 4, 22, 21));
    ASSERT_EQ(a.size(), 45u);
    ASSERT_EQ(b.size(), 45u);
    Bytes img(67, 0);
    for (int k = 0; k <= 20; ++k)
        img[k] = a[4 + 2 * k];
    for (int k = 0; k <= 41; ++k)
        img[23 + k] = b[3 + k];

    const Bytes d = sim.line.controller(2)->statusReply(); // direct layout, same moment
    EXPECT_EQ(img[1], 3);
    EXPECT_EQ(u16(img, 16), u16(d, 16)) << "engine speed intact";
    EXPECT_GT(u16(img, 16), 1000u);
    for (int t = 0; t < 8; ++t)
        EXPECT_EQ(u16(img, 23 + 2 * t), u16(d, 19 + 2 * t)) << "timer " << t;
    EXPECT_GT(u16(img, 23 + 2 * 5), 0u); // warm-up
    for (int k : {45, 51, 57, 59, 61, 63})
        EXPECT_EQ(u16(img, k), u16(d, k)) << "byte " << k;
    EXPECT_EQ(sum(img, 0, 15), sum(d, 0, 15));
}

TEST(GxsimNetwork, SwitchWritesActWithoutReply)
{
    auto sim = networkSim({1, 4});
    auto sw = [](int node, int n) {
        return Bytes{0x1E, Bytes::value_type(node), 0x05, 0x00, Bytes::value_type(n), 0xFF, 0x00, 0xFE};
    };
    EXPECT_TRUE(sim.ask(sw(4, 8)).empty()); // MAN
    EXPECT_TRUE(sim.ask(sw(4, 10)).empty()); // manual start
    sim.run(100);
    EXPECT_EQ(sim.ask(netFrame(4, 4, 0, 2))[6], 1);
    EXPECT_EQ(sim.ask(netFrame(1, 4, 0, 2))[6], 0) << "node 1 untouched";
    sim.ask(sw(4, 11)); // manual stop
    sim.ask(sw(4, 9));  // AUTO
    sim.line.controller(4)->engine().raiseFault(16, true);
    sim.run(100);
    EXPECT_EQ(sim.ask(netFrame(4, 4, 0, 2))[6], 5);
    sim.ask(sw(4, 0)); // fault reset
    sim.run(100);
    const Bytes q = sim.ask(netFrame(4, 4, 0, 2));
    EXPECT_EQ(q[4], 0);
    EXPECT_NE(q[6], 5);
}
