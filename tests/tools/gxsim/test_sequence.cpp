// The engine sequence over simulated time, observed through status replies.

#include "simtest.h"

#include "engine.h"
#include "profileimage.h"

using namespace simtest;
using gxsim::Command;

namespace {
unsigned timer(const Bytes& s, int t) { return u16(s, 19 + 2 * t); } // direct layout
}

TEST(GxsimSequence, RemoteStartInAutoRunsThroughToLoadAndBackToStandby)
{
    Sim sim;
    sim.ctl().engine().setRemoteStart(true);
    sim.run(100);

    // Start delay: state 0, start-delay flag clear, timer 0 counting down from 3 s.
    Bytes s = sim.status();
    EXPECT_EQ(s[1], 0);
    EXPECT_FALSE(bitSet(s, 4, 0));
    EXPECT_TRUE(bitSet(s, 7, 5)); // remote start input
    const unsigned t0 = timer(s, 0);
    EXPECT_GT(t0, 20u);
    EXPECT_LE(t0, 30u);
    sim.run(1000);
    EXPECT_EQ(timer(sim.status(), 0), t0 - 10) << "timer 0 counts tenths of a second";

    sim.runUntilState(1, 3000); // preheat
    s = sim.status();
    EXPECT_EQ(s[2], 1);          // first start attempt
    EXPECT_TRUE(bitSet(s, 8, 4)); // start flag
    EXPECT_GT(timer(s, 1), 0u);

    sim.runUntilState(2, 3000); // cranking
    s = sim.status();
    EXPECT_GT(timer(s, 2), 0u);
    EXPECT_TRUE(bitSet(s, 3, 5) && bitSet(s, 3, 4)) << "crank and fuel outputs";

    sim.runUntilState(3, 5000); // running off load, override and warm-up counting
    s = sim.status();
    EXPECT_FALSE(bitSet(s, 8, 4));
    EXPECT_FALSE(bitSet(s, 4, 5)); // warm-up running
    EXPECT_GT(timer(s, 5), 0u);

    sim.runUntilState(4, 8000); // on load
    sim.run(2000);
    s = sim.status();
    EXPECT_EQ(s[15], 50);                           // Hz
    EXPECT_NEAR(double(u16(s, 16)), 1500.0, 20.0);  // rpm
    EXPECT_NEAR(double(u16(s, 45)), 230.0, 5.0);    // volts L1
    EXPECT_EQ(u16(s, 51), 40u);                     // amps L1 at the default load
    EXPECT_GT(s[42], 40);                           // oil psi
    EXPECT_GT(u16(s, 61), 130u);                    // battery charging
    EXPECT_TRUE(bitSet(s, 3, 1));                   // output 2: generator contactor

    // Remote start off: restoration on load, then cooling off load, then stop.
    sim.ctl().engine().setRemoteStart(false);
    sim.run(200);
    s = sim.status();
    EXPECT_EQ(s[1], 4);
    EXPECT_FALSE(bitSet(s, 4, 6)); // restoration running
    EXPECT_GT(u16(s, 19 + 12), 0u);

    sim.runUntilState(3, 12000); // cooling
    s = sim.status();
    EXPECT_GT(timer(s, 7), 0u);
    EXPECT_TRUE(bitSet(s, 4, 3));

    sim.runUntilState(0, 12000); // stopping: stop output on while running down
    s = sim.status();
    EXPECT_TRUE(bitSet(s, 9, 5));
    EXPECT_FALSE(bitSet(s, 7, 7)) << "engine still turning";

    sim.run(3000); // stopped, stop output still held: timer 8 at bytes 57-58
    s = sim.status();
    EXPECT_TRUE(bitSet(s, 7, 7) && bitSet(s, 9, 5));
    const unsigned hold = u16(s, 57);
    EXPECT_GT(hold, 0u);
    EXPECT_LE(hold, 100u);

    sim.run(hold * 100 + 200);
    s = sim.status();
    EXPECT_FALSE(bitSet(s, 9, 5));
    EXPECT_EQ((std::pair{u16(s, 57), unsigned(s[1])}), (std::pair{0u, 0u})) << "timer 8 and state";
}

TEST(GxsimSequence, HoursRunAdvanceOnlyWhileRunning)
{
    Sim sim;
    sim.ctl().engine().setHoursHundredths(100); // 1.00 h
    sim.run(60000);
    EXPECT_EQ(hoursText(sim.status(), 41, 40, 39, 38), "000001.00");
    sim.ctl().engine().setRemoteStart(true);
    sim.runUntilState(4, 20000);
    sim.run(36000 * 5); // five hundredths of an hour
    const std::string h = hoursText(sim.status(), 41, 40, 39, 38);
    EXPECT_TRUE(h == "000001.05" || h == "000001.06") << h;
}

TEST(GxsimSequence, EngineThatWillNotFireUsesAllAttemptsThenShutsDown)
{
    Sim sim;
    sim.ctl().engine().setWillNotFire(true);
    sim.ctl().engine().setRemoteStart(true);
    sim.runUntilState(2, 10000);
    // Crank rest between attempts: state 0 with the start flag, timer 3 counting.
    sim.runUntilState(0, 10000);
    Bytes s = sim.status();
    EXPECT_TRUE(bitSet(s, 8, 4));
    EXPECT_GT(timer(s, 3), 0u);
    EXPECT_EQ(s[2], 2) << "the next attempt is numbered already";
    EXPECT_TRUE(bitSet(s, 7, 7)) << "engine at rest during crank rest";

    sim.runUntilState(5, 40000);
    s = sim.status();
    EXPECT_EQ(s[0], 14); // failed to start
    EXPECT_EQ(s[2], 3);  // three attempts, as the profile says
}

TEST(GxsimSequence, ShutdownFaultAndReset)
{
    Sim sim;
    sim.ctl().engine().setRemoteStart(true);
    sim.runUntilState(4, 20000);
    sim.ctl().engine().raiseFault(16, true);
    sim.run(100);
    Bytes s = sim.status();
    EXPECT_EQ(Bytes(s.begin(), s.begin() + 2), (Bytes{16, 5})) << "fault 16, shut down";
    sim.run(10000);
    EXPECT_EQ(u16(sim.status(), 16), 0u) << "engine stopped after the shutdown";

    sim.ctl().engine().setRemoteStart(false);
    sim.ask({0x08}); // fault reset
    sim.run(100);
    s = sim.status();
    EXPECT_EQ(s[0], 0);
    EXPECT_NE(s[1], 5);
    sim.run(20000);
    EXPECT_EQ(sim.status()[1], 0);
}

TEST(GxsimSequence, ProtectionsAfterOverrideShutDownOrWarn)
{
    Sim sim;
    sim.ctl().engine().setRemoteStart(true);
    sim.runUntilState(4, 20000);
    EXPECT_FALSE(bitSet(sim.status(), 4, 4)) << "override still running just after taking the load";
    sim.ctl().engine().setOilOverride(5);
    sim.run(100);
    EXPECT_EQ(sim.status()[0], 0) << "no oil protection during the override";
    sim.ctl().engine().setOilOverride(std::nullopt);
    sim.run(5000);
    EXPECT_TRUE(bitSet(sim.status(), 4, 4));

    // Oil between warning (25) and shutdown (15) levels: warning, engine keeps running.
    sim.ctl().engine().setOilOverride(20);
    sim.run(500);
    Bytes s = sim.status();
    EXPECT_EQ(s[0], 189);
    EXPECT_EQ(s[1], 4);

    sim.ctl().engine().setOilOverride(10);
    sim.run(500);
    s = sim.status();
    EXPECT_EQ(s[0], 17);
    EXPECT_EQ(s[1], 5);
    EXPECT_TRUE(bitSet(s, 6, 5)); // low oil pressure
}

TEST(GxsimSequence, OverCurrentTripsInstantlyOrByIdmt)
{
    Sim instant;
    instant.ctl().engine().setRemoteStart(true);
    instant.runUntilState(4, 20000);
    instant.ctl().engine().setLoadAmps(260); // above 2.5 x 100 A
    instant.run(100);
    EXPECT_EQ(instant.status()[0], 56);

    Sim idmt;
    idmt.ctl().engine().setRemoteStart(true);
    idmt.runUntilState(4, 20000);
    idmt.ctl().engine().setLoadAmps(150);
    idmt.run(1000);
    Bytes s = idmt.status();
    EXPECT_EQ(s[0], 35); // high current warning
    EXPECT_GT(u16(s, 59), 0u);
    const unsigned first = u16(s, 59);
    idmt.run(1000);
    EXPECT_GT(u16(idmt.status(), 59), first) << "accumulator rises while over full load";
    idmt.runUntilState(5, 30000);
    EXPECT_EQ(idmt.status()[0], 68);
}

TEST(GxsimSequence, ManModeStartsAndStopsOnCommand)
{
    Sim sim;
    sim.ask({0x19}); // MAN
    Bytes s = sim.status();
    EXPECT_TRUE(bitSet(s, 6, 7));
    sim.run(5000);
    EXPECT_EQ(sim.status()[1], 0) << "MAN mode does not start by itself";
    sim.ask({0x1B}); // manual start: no start delay
    sim.run(100);
    EXPECT_EQ(sim.status()[1], 1);
    sim.runUntilState(3, 8000);
    sim.run(10000);
    EXPECT_EQ(sim.status()[1], 3) << "off load in MAN by default";
    sim.ask({0x1C}); // manual stop: no cooling
    sim.run(100);
    s = sim.status();
    EXPECT_EQ(s[1], 0);
    EXPECT_TRUE(bitSet(s, 9, 5));
}

TEST(GxsimSequence, MainsFailureStartsSetWhenAtsConfigured)
{
    Sim sim;
    gxsim::ProfileImage p = sim.ctl().profile();
    p.setSwSwitch(gxsim::WOutput1, 51); // output 1: mains contactor open
    sim.ctl().setProfile(p);
    sim.ctl().engine().setMainsPresent(false);
    sim.run(1000);
    Bytes s = sim.status();
    EXPECT_FALSE(bitSet(s, 6, 0));
    EXPECT_EQ(s[1], 0);
    sim.runUntilState(3, 20000);
    // Transfer: contactor delay (timer 13 at bytes 63-64) before going on load.
    std::int64_t waited = 0;
    while (bitSet(sim.status(), 5, 5) && waited < 20000) {
        sim.run(100);
        waited += 100;
    }
    s = sim.status();
    EXPECT_FALSE(bitSet(s, 5, 5));
    EXPECT_GT(u16(s, 63), 0u);
    sim.runUntilState(4, 5000);
    EXPECT_TRUE(bitSet(sim.status(), 3, 0)); // mains contactor open
}
