// Fault injection on replies, and the run-time commands.

#include "simtest.h"

#include "console.h"
#include "injector.h"

#include <sstream>

using namespace simtest;
using gxsim::Exchange;
using gxsim::Injector;
using gxsim::Line;

namespace {

Exchange reply(Bytes bytes, bool checksummed)
{
    Exchange e;
    e.what = "test";
    e.reply = std::move(bytes);
    e.checksummed = checksummed;
    return e;
}

gxsim::Injection parsed(const std::string& line)
{
    std::vector<std::string> w;
    std::istringstream ss(line);
    for (std::string s; ss >> s;)
        w.push_back(s);
    std::string err;
    auto i = Injector::parse(w, &err);
    EXPECT_TRUE(i.has_value()) << line << ": " << err;
    return i.value_or(gxsim::Injection{});
}

Bytes joined(const std::vector<gxsim::Chunk>& chunks)
{
    Bytes all;
    for (const auto& c : chunks)
        all.insert(all.end(), c.bytes.begin(), c.bytes.end());
    return all;
}

} // namespace

TEST(GxsimInjection, DropLateSplitGarbageAndCounts)
{
    Injector inj;
    const auto whole = inj.apply(reply({1, 2, 3}, false));
    ASSERT_EQ(whole.size(), 1u) << "without an injection the reply goes whole, at once";
    EXPECT_EQ((std::pair{whole[0].delayMs, whole[0].bytes}), (std::pair{std::int64_t(0), Bytes{1, 2, 3}}));

    inj.add(parsed("drop"));
    EXPECT_TRUE(inj.apply(reply({1, 2, 3}, false)).empty());
    EXPECT_EQ(inj.apply(reply({1, 2, 3}, false)).size(), 1u) << "a single drop is used up";

    inj.add(parsed("late 800 2"));
    EXPECT_EQ(inj.apply(reply({1}, false)).front().delayMs, 800);
    EXPECT_EQ(inj.apply(reply({1}, false)).front().delayMs, 800);
    EXPECT_EQ(inj.apply(reply({1}, false)).front().delayMs, 0);

    inj.add(parsed("split 3 25 always"));
    for (int round = 0; round < 2; ++round) {
        const Bytes r{1, 2, 3, 4, 5, 6, 7};
        const auto c = inj.apply(reply(r, false));
        ASSERT_EQ(c.size(), 3u);
        EXPECT_EQ(c[1].delayMs, 25);
        EXPECT_EQ(c[2].delayMs, 25);
        EXPECT_EQ(joined(c), r);
    }
    inj.clear();

    inj.add(parsed("garbage 4"));
    const Bytes g = joined(inj.apply(reply({9, 9}, false)));
    ASSERT_EQ(g.size(), 6u);
    EXPECT_EQ(Bytes(g.end() - 2, g.end()), (Bytes{9, 9}));
}

TEST(GxsimInjection, ParseRejectsMalformedInjections)
{
    for (const std::vector<std::string>& w : std::vector<std::vector<std::string>>{
             {}, {"late"}, {"late", "x"}, {"split", "1", "10"}, {"garbage", "0"}, {"drop", "0"},
             {"drop", "2", "extra"}, {"explode"}}) {
        std::string err;
        EXPECT_FALSE(Injector::parse(w, &err).has_value());
        EXPECT_FALSE(err.empty());
    }
}

TEST(GxsimConsole, CommandsActOnThePlantAndAnswerOneLine)
{
    Line::Config cfg;
    cfg.nodes = {2, 3};
    Sim sim(cfg);
    Injector inj;
    gxsim::Console console(sim.line, inj);
    auto run = [&](const std::string& c) {
        const std::string a = console.execute(c, sim.now);
        EXPECT_EQ(a.find('\n'), std::string::npos) << c;
        return a;
    };

    EXPECT_EQ(run("remote on").rfind("ok node 2", 0), 0u) << "default is the lowest node";
    EXPECT_TRUE(sim.line.controller(2)->engine().remoteStart());
    EXPECT_FALSE(sim.line.controller(3)->engine().remoteStart());

    EXPECT_EQ(run("node 3 battery 11.5").rfind("ok", 0), 0u);
    EXPECT_EQ(sim.line.controller(3)->engine().batteryTenths(), 115);

    run("node 3 fault 18");
    EXPECT_EQ(sim.line.controller(3)->engine().stateByte(), 5);
    run("node 3 fault 199");
    EXPECT_EQ(sim.line.controller(3)->engine().faultCode(), 18) << "a warning does not replace a shutdown";
    run("node 3 reset");
    EXPECT_EQ(sim.line.controller(3)->engine().faultCode(), 0);
    run("node 3 fault 63 shutdown");
    EXPECT_EQ(sim.line.controller(3)->engine().stateByte(), 5);

    run("node 3 off");
    EXPECT_TRUE(sim.ask(netFrame(3, 4, 0, 2)).empty());
    run("node 3 on");
    EXPECT_EQ(sim.ask(netFrame(3, 4, 0, 2)).size(), 7u);

    run("firmware 1.01");
    EXPECT_EQ(sim.status().size(), 65u);
    EXPECT_EQ(text(sim.ask({0x04})), "GX520 V1.01     ");

    EXPECT_EQ(run("inject late 500 always").rfind("ok", 0), 0u);
    EXPECT_EQ(run("inject"), "ok injections: late 500 always");
    run("inject clear");
    EXPECT_TRUE(inj.empty());

    EXPECT_NE(run("status").find("state 0"), std::string::npos);
    for (const char* bad : {"frobnicate", "node 9 status", "mode sideways", "fault", "battery x", "inject late"})
        EXPECT_EQ(run(bad).rfind("error:", 0), 0u) << bad;

    bool quit = false;
    console.execute("quit", sim.now, &quit);
    EXPECT_TRUE(quit);
}
