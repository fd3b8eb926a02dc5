// The modem in front of the line: AT commands, calls both ways, data mode and
// the escape, with simulated time.

#include "simtest.h"

#include "modem.h"

using namespace simtest;
using gxsim::Line;
using gxsim::Modem;

namespace {

// A modem wired to a line as gxsim wires them: data-mode bytes go to the
// line, its replies come back while the call is in data mode.
struct Rig {
    explicit Rig(Line::Config cfg = {}) : modem(Modem::Config{}), line(cfg) {}

    // "{call}" and "{stop}" stand for an incoming call and the caller giving
    // up; anything else is sent.
    void act(const std::string& what)
    {
        if (what == "{call}")
            EXPECT_TRUE(modem.ring(now, 1, nullptr));
        else if (what == "{stop}")
            EXPECT_TRUE(modem.stopRinging());
        else
            modem.receive(Bytes(what.begin(), what.end()), now);
        collect();
    }
    void wait(std::int64_t ms)
    {
        // In steps, as the program's timer would wake it.
        for (const std::int64_t end = now + ms; now < end;) {
            now = std::min(end, std::max(now + 1, modem.nextDueMs().value_or(end)));
            modem.advanceTo(now);
            collect();
        }
    }
    void collect()
    {
        const Modem::Output o = modem.take();
        serial += text(o.toSerial);
        for (const auto& e : line.feed(o.toLine, now))
            if (modem.passesData())
                serial += text(e.reply);
    }
    std::string take() { return std::exchange(serial, {}); }

    Modem modem;
    Line line;
    std::int64_t now = 0;
    std::string serial;
};

// Send, let time pass, and what the serial port got meanwhile.
struct Step {
    std::string send;
    std::int64_t thenMs;
    std::string expect;
};

struct Scenario {
    const char* name;
    std::vector<Step> steps;
    Modem::State endState;
};

const Step kQuiet{"ATE0V0\r", 0, "ATE0V0\r0\r"};
const Step kDial{"ATDT5550100\r", 2000, "1\r"};
const std::string kId = "GX520 V2.01     ";

void run(const Scenario& s)
{
    SCOPED_TRACE(s.name);
    Rig rig;
    rig.modem.addFailNumber("555 0199");
    for (std::size_t i = 0; i < s.steps.size(); ++i) {
        const Step& st = s.steps[i];
        rig.act(st.send);
        rig.wait(st.thenMs);
        EXPECT_EQ(rig.take(), st.expect) << "step " << i << " sending '" << st.send << "'";
    }
    EXPECT_EQ(rig.modem.state(), s.endState) << gxsim::modemStateName(rig.modem.state());
}

} // namespace

TEST(GxsimModem, CommandLinesAndResults)
{
    using S = Modem::State;
    const Scenario scenarios[] = {
        {"echo on, word results by default", {{"AT\r", 0, "AT\r\r\nOK\r\n"}}, S::OnHook},
        {"echo off and numeric results", {kQuiet, {"AT\r", 0, "0\r"}, {"ATJ\r", 0, "4\r"}}, S::OnHook},
        {"the rest of a Hayes modem's commands",
         {kQuiet, {"AT&FE0V0&C1&D2&K3L1M0&W\r", 0, "0\r"}, {"ATI\r", 0, "GXSIM\r\n0\r"}, {"ATO\r", 0, "3\r"},
          {"ATQ1\r", 0, ""}, {"ATX9\r", 0, ""}, {"ATQ0\r", 0, "0\r"}},
         S::OnHook},
        {"several commands on a line, lower case, spaces",
         {{"ATZE1V1X0S0=0\r", 0, "ATZE1V1X0S0=0\r\r\nOK\r\n"}, {"at e0 v0 x4 s12=40\r", 0, "at e0 v0 x4 s12=40\r0\r"}},
         S::OnHook},
        {"Z restores echo and word results",
         {kQuiet, {"ATZ\r", 0, "\r\nOK\r\n"}, {"AT\r", 0, "AT\r\r\nOK\r\n"}}, S::OnHook},
        {"junk gives ERROR",
         {kQuiet, {"HELLO\r", 0, "4\r"}, {"ATE2\r", 0, "4\r"}, {"ATS12\r", 0, "4\r"}, {"ATS0=256\r", 0, "4\r"},
          {"ATH1\r", 0, "4\r"}, {"ATD\r", 0, "4\r"}, {"ATX9\r", 0, "4\r"}, {"AT&F2\r", 0, "4\r"},
          {"AT&Z\r", 0, "4\r"}, {"ATM4\r", 0, "4\r"}},
         S::OnHook},
        {"commands before an error stay done", {{"ATE0V0J\r", 0, "ATE0V0J\r4\r"}, {"AT\r", 0, "0\r"}}, S::OnHook},
        {"LF ignored after CR and alone, bare CR unanswered",
         {kQuiet, {"AT\r\n", 0, "0\r"}, {"\nAT\r", 0, "0\r"}, {"\r", 0, ""}, {"\n", 0, ""}}, S::OnHook},
        {"answer without a call", {kQuiet, {"ATA\r", 0, "3\r"}}, S::OnHook},
    };
    for (const auto& s : scenarios)
        run(s);
}

TEST(GxsimModem, CallsDataModeAndEscape)
{
    using S = Modem::State;
    const Scenario scenarios[] = {
        {"dial connects after the delay, then data passes",
         {kQuiet, {"ATDT5550100\r", 1999, ""}, {"", 1, "1\r"}, {"\x04", 0, kId},
          {"\x09\x12\x34", 0, "0"}, {"\x09\x12\x35", 0, "1"}, {"AT\r", 0, ""}},
         S::Data},
        {"failing number, written any way",
         {kQuiet, {"ATDP555-0199\r", 1999, ""}, {"", 1, "3\r"}, {"ATDT5550199\r", 2000, "3\r"}, {"AT\r", 0, "0\r"}},
         S::OnHook},
        {"CR LF while dialling abandons", {kQuiet, {"ATDT5550100\r", 500, ""}, {"\r\n", 3000, "3\r"},
                                           {"AT\r", 0, "0\r"}}, S::OnHook},
        {"escape with guard times, then hang up",
         {kQuiet, kDial, {"", 1000, ""}, {"+++", 999, ""}, {"", 1, "0\r"}, {"\x04\r", 0, "4\r"}, {"ATDT1\r", 0, "4\r"},
          {"ATH0\r", 0, "0\r"}, {"ATA\r", 0, "3\r"}},
         S::OnHook},
        {"O goes back on-line after the escape",
         {kQuiet, kDial, {"", 1000, ""}, {"+++", 1000, "0\r"}, {"ATO\r", 0, "1\r"}, {"\x04", 0, kId}}, S::Data},
        {"+++ without silence before is data",
         {kQuiet, kDial, {"", 1000, ""}, {"\x04+++", 3000, kId}, {"\x04", 0, kId}}, S::Data},
        {"+++ followed too soon by data is data",
         {kQuiet, kDial, {"", 1000, ""}, {"+++", 500, ""}, {"\x04", 3000, kId}}, S::Data},
        {"four pluses are data", {kQuiet, kDial, {"", 1000, ""}, {"++++", 3000, ""}, {"\x04", 0, kId}}, S::Data},
        {"ringing stops after 10 rings",
         {kQuiet, {"{call}", 27000, "2\r2\r2\r2\r2\r2\r2\r2\r2\r2\r"}, {"", 10000, ""}, {"ATA\r", 0, "3\r"}}, S::OnHook},
        {"caller gives up", {kQuiet, {"{call}", 0, "2\r"}, {"{stop}", 10000, ""}}, S::OnHook},
        {"S0 answers by itself", {kQuiet, {"ATS0=2\r", 0, "0\r"}, {"{call}", 3000, "2\r2\r"}, {"", 500, "1\r"}},
         S::Data},
        {"a character while answering abandons",
         {kQuiet, {"{call}", 0, "2\r"}, {"ATA\r", 100, ""}, {"x", 1000, "3\r"}}, S::OnHook},
    };
    for (const auto& s : scenarios)
        run(s);
}
