// Framing on the line: requests in pieces, broken and stalled network frames,
// and network frames on a line without a network.

#include "simtest.h"

using namespace simtest;
using gxsim::Line;

namespace {

Sim networkSim(std::vector<int> nodes)
{
    Line::Config cfg;
    cfg.nodes = std::move(nodes);
    return Sim(cfg);
}

} // namespace

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
