#pragma once

#include "monitor/statusrecord.h"

namespace gx::test {

// Builds a status image byte by byte.
struct ImageBuilder {
    StatusImage image{};

    ImageBuilder& set(int at, int value)
    {
        image[at] = uint8_t(value);
        return *this;
    }
    ImageBuilder& word(int at, int value) { return set(at, value >> 8).set(at + 1, value & 0xFF); }
    ImageBuilder& bit(int at, int n) { return set(at, image[at] | (1 << n)); }
    StatusRecord decode(bool network = false) const
    {
        StatusRecord r;
        r.decode(image, network);
        return r;
    }
};

} // namespace gx::test
