#pragma once

// Helpers for driving the simulated line with simulated time, and network
// frames built byte by byte, independently of the simulator's own encoder.

#include "line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace simtest {

using gxsim::Bytes;

inline std::string text(const Bytes& b) { return std::string(b.begin(), b.end()); }
inline Bytes netFrame(int addr, int fn, int reg, int count)
{
    return {0x1E, Bytes::value_type(addr), Bytes::value_type(fn), Bytes::value_type(reg >> 8),
            Bytes::value_type(reg & 0xFF), Bytes::value_type(count >> 8), Bytes::value_type(count & 0xFF), 0xFE};
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
    // Advances the simulated clock in small steps, as a polling program would.
    void run(std::int64_t ms)
    {
        const std::int64_t end = now + ms;
        while (now < end) {
            now = std::min(end, now + 100);
            line.advanceTo(now);
        }
    }

    gxsim::Line line;
    std::int64_t now = 0;
};

} // namespace simtest
