// Fault injection on replies, and the run-time commands.

#include "simtest.h"

#include "console.h"
#include "injector.h"
#include "modem.h"

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

TEST(GxsimInjection, DropLateSplitAndTheirCounts)
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
}

TEST(GxsimConsole, CommandsActOnThePlantAndTheModemAndAnswerOneLine)
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
    EXPECT_EQ(run("call"), "error: no modem (start gxsim with --modem)");
    gxsim::Modem modem(gxsim::Modem::Config{});
    console.setModem(&modem);

    // Answers given whole; those ending in ':' only begin so.
    const struct {
        const char* command;
        std::string answer;
    } cases[] = {
        {"remote on", "ok node 2 remote start on"},  // the default is the lowest node
        {"node 3 fault 18", "ok node 3 fault 18 shutdown"},
        {"call 9", "error: no node 9"},
        {"call", "ok ringing: call from node 2"},
        {"call", "error: a call is already ringing"},
        {"call stop", "ok ringing stopped"},
        {"call stop", "ok no call was ringing"},
        {"modem fail 5550199", "ok dialling 5550199 gives NO CARRIER"},
        {"modem status", "ok modem mode command, on-hook, echo on, results words, S0=0 S12=50, last dialled none, "
                         "failing numbers 5550199"},
        {"modem fail clear", "ok no number fails"},
        {"modem dial", "error: usage: modem status | modem fail NUMBER|clear"},
        {"frobnicate", "error:"},
        {"node 9 status", "error:"},
        {"mode sideways", "error:"},
        {"fault", "error:"},
        {"battery x", "error:"},
        {"inject late", "error:"},
    };
    for (const auto& c : cases) {
        const std::string a = run(c.command);
        EXPECT_EQ(c.answer.back() == ':' ? a.substr(0, c.answer.size()) : a, c.answer) << c.command;
    }
    EXPECT_TRUE(sim.line.controller(2)->engine().remoteStart());
    EXPECT_FALSE(sim.line.controller(3)->engine().remoteStart());
    EXPECT_EQ(text(modem.take().toSerial), "\r\nRING\r\n");
    bool quit = false;
    console.execute("quit", sim.now, &quit);
    EXPECT_TRUE(quit);
}
