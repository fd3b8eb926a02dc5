// The engine sequence over simulated time, observed through status replies.

#include "simtest.h"

#include "engine.h"
#include "profileimage.h"

#include <functional>

using namespace simtest;

namespace {

// One step of a run: what is done, then how long the engine runs (until its
// status shows `until`, or for `ms` when there is no `until`), and what its
// status shows then. In the checks, timer t is the word at 19 + 2t, the
// hours run are the bytes 41 40 39 . 38 read as hex digits.
struct Step {
    std::function<void(Sim&)> act;
    const char* until;
    std::int64_t ms;
    const char* then;
};

#define ENGINE(...) [](Sim& s) { s.ctl().engine().__VA_ARGS__; }
#define ASK(byte) [](Sim& s) { s.ask({byte}); }
const auto RemoteStart = ENGINE(setRemoteStart(true));

} // namespace

TEST(GxsimSequence, EachRunThroughTheStatesShowsWhatTheControllerDoes)
{
    const struct {
        const char* what;
        std::vector<Step> steps;
    } runs[] = {
        {"remote start in AUTO, to load and back to standby",
         {{RemoteStart, "", 100, "s1=0 !b4.0 b7.5 w19=30"},  // start delay: remote start input, timer 0 from 3 s
          {nullptr, "", 1000, "s1=0 w19=20"},                // timer 0 counts tenths
          {nullptr, "s1=1", 3000, "s2=1 b8.4 w21>0"},                // preheat: first attempt, start flag
          {nullptr, "s1=2", 3000, "w23>0 b3.5 b3.4"},                // cranking: crank and fuel outputs
          {nullptr, "s1=3", 5000, "!b8.4 !b4.5 w29>0"},              // off load: warm-up counting
          {nullptr, "s1=4", 8000, ""},
          {nullptr, "", 2000, "s15=50 w16>1480 w16<1520 w45>225 w45<235 w51=40 s42>40 w61>130 b3.1"},  // on load
          {ENGINE(setRemoteStart(false)), "", 200, "s1=4 !b4.6 w31>0"},  // restoration, still on load
          {nullptr, "s1=3", 12000, "w33>0 b4.3"},                        // cooling off load
          {nullptr, "s1=0", 12000, "b9.5 !b7.7"},                        // stopping: stop output while turning
          {nullptr, "", 3000, "b7.7 b9.5 w57>0 w57<101"},                // stopped, stop output held by timer 8
          {nullptr, "", 10200, "!b9.5 w57=0 s1=0"}}},
        {"hours run only while running",
         {{ENGINE(setHoursHundredths(100)), "", 60000, "s41=0 s40=0 s39=1 s38=0"},
          {RemoteStart, "s1=4", 20000, ""},
          {nullptr, "", 36000 * 5, "s39=1 s38>4 s38<7"}}},  // five hundredths of an hour more
        {"an engine that will not fire uses every attempt, then shuts down",
         {{ENGINE(setWillNotFire(true)), "", 0, ""},
          {RemoteStart, "s1=2", 10000, ""},
          {nullptr, "s1=0", 10000, "b8.4 w25>0 s2=2 b7.7"},  // crank rest: next attempt numbered, engine at rest
          {nullptr, "s1=5", 40000, "s0=14 s2=3"}}},          // failed to start after the profile's three
        {"oil protections only after the override",
         {{RemoteStart, "s1=4", 20000, "!b4.4"},  // override still running
          {ENGINE(setOilOverride(5)), "", 100, "s0=0"},
          {ENGINE(setOilOverride(std::nullopt)), "", 5000, "b4.4"},
          {ENGINE(setOilOverride(20)), "", 500, "s0=189 s1=4"},  // between warning and shutdown: a warning
          {ENGINE(setOilOverride(10)), "", 500, "s0=17 s1=5 b6.5"}}},
        {"instant over-current trip",
         {{RemoteStart, "s1=4", 20000, ""}, {ENGINE(setLoadAmps(260)), "", 100, "s0=56"}}},  // above 2.5 x 100 A
        {"IDMT over-current: a warning, a rising accumulator, then the trip",
         {{RemoteStart, "s1=4", 20000, ""},
          {ENGINE(setLoadAmps(150)), "", 1000, "s0=35 w59>0 w59<200"},
          {nullptr, "", 1000, "w59>199"},
          {nullptr, "s1=5", 30000, "s0=68"}}},
        {"MAN mode starts and stops on command only",
         {{ASK(0x19), "", 5000, "b6.7 s1=0"},
          {ASK(0x1B), "", 100, "s1=1"},  // manual start: no start delay
          {nullptr, "s1=3", 8000, ""},
          {nullptr, "", 10000, "s1=3"},  // off load in MAN by default
          {ASK(0x1C), "", 100, "s1=0 b9.5"}}},  // manual stop: no cooling
        {"mains failure starts the set when output 1 opens the mains contactor",
         {{[](Sim& s) {
               gxsim::ProfileImage p = s.ctl().profile();
               p.setSwSwitch(gxsim::WOutput1, 51);
               s.ctl().setProfile(p);
               s.ctl().engine().setMainsPresent(false);
           },
           "", 1000, "!b6.0 s1=0"},
          {nullptr, "s1=3", 20000, ""},
          {nullptr, "!b5.5", 20000, "w63>0"},  // transfer: contactor delay (timer 13) before the load
          {nullptr, "s1=4", 5000, "b3.0"}}},
    };
    for (const auto& run : runs) {
        Sim sim;
        for (std::size_t i = 0; i < run.steps.size(); ++i) {
            const Step& step = run.steps[i];
            SCOPED_TRACE(testing::Message() << run.what << ", step " << i + 1);
            if (step.act)
                step.act(sim);
            if (!*step.until) {
                sim.run(step.ms);
            } else {
                const std::int64_t end = sim.now + step.ms;
                while (!shows(sim.status(), step.until) && sim.now < end)
                    sim.run(100);
                ASSERT_TRUE(shows(sim.status(), step.until)) << "within " << step.ms << " ms";
            }
            EXPECT_TRUE(shows(sim.status(), step.then));
        }
    }
}
