#pragma once

// Helpers for driving the simulated line with simulated time. Fields are read
// straight from the byte layouts here, independently of the simulator's own
// encoder.

#include "line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace simtest {

using gxsim::Bytes;

inline unsigned u16(const Bytes& b, std::size_t at) { return unsigned(b.at(at)) * 256 + b.at(at + 1); }
inline bool bitSet(const Bytes& b, std::size_t at, int bit) { return (b.at(at) >> bit) & 1; }
inline unsigned sum(const Bytes& b, std::size_t from, std::size_t to)
{
    unsigned s = 0;
    for (std::size_t i = from; i <= to; ++i)
        s += b.at(i);
    return s;
}
inline std::string text(const Bytes& b) { return std::string(b.begin(), b.end()); }
inline Bytes netFrame(int addr, int fn, int reg, int count)
{
    return {0x1E, Bytes::value_type(addr), Bytes::value_type(fn), Bytes::value_type(reg >> 8),
            Bytes::value_type(reg & 0xFF), Bytes::value_type(count >> 8), Bytes::value_type(count & 0xFF), 0xFE};
}

// Whether a status reply shows every check of a list such as
// "s1=4 w16>1000 b3.1 !b9.5": sN is byte N, wN the 16-bit word at N (high
// byte first), compared by =, > or <; bN.K is bit K of byte N set, !bN.K clear.
inline ::testing::AssertionResult shows(const Bytes& s, const std::string& checks)
{
    std::istringstream in(checks);
    for (std::string c; in >> c;) {
        unsigned at = 0, bit = 0;
        char kind = 0, op = 0;
        long want = 0;
        const bool clear = c[0] == '!';
        if (std::sscanf(c.c_str() + clear, "b%u.%u", &at, &bit) == 2) {
            if (bitSet(s, at, int(bit)) == clear)
                return ::testing::AssertionFailure() << c << " does not hold";
            continue;
        }
        if (std::sscanf(c.c_str(), "%c%u%c%ld", &kind, &at, &op, &want) != 4)
            return ::testing::AssertionFailure() << "no such check: " << c;
        const long got = kind == 'w' ? long(u16(s, at)) : long(s.at(at));
        if (!(op == '=' ? got == want : op == '>' ? got > want : got < want))
            return ::testing::AssertionFailure() << c << " does not hold: it is " << got;
    }
    return ::testing::AssertionSuccess();
}

// A line plus a simulated clock.
struct Sim {
    explicit Sim(gxsim::Line::Config cfg = {}) : line(cfg) {}

    // Sends the request and returns all reply bytes it produced.
    Bytes ask(const Bytes& request)
    {
        Bytes out;
        for (const auto& e : line.feed(request, now))
            out.insert(out.end(), e.reply.begin(), e.reply.end());
        return out;
    }
    Bytes status() { return ask({0x01}); }
    // Advances the simulated clock in small steps, as a polling program would.
    void run(std::int64_t ms)
    {
        const std::int64_t end = now + ms;
        while (now < end) {
            now = std::min(end, now + 100);
            line.advanceTo(now);
        }
    }
    gxsim::Controller& ctl() { return line.lineController(); }

    gxsim::Line line;
    std::int64_t now = 0;
};

} // namespace simtest
