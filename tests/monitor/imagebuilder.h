#pragma once

#include "monitor/statusrecord.h"

#include <initializer_list>
#include <utility>

namespace gx::test {

// Builds a status image byte by byte.
struct ImageBuilder {
    StatusImage image{};

    ImageBuilder& set(int at, int value)
    {
        image[at] = uint8_t(value);
        return *this;
    }
    ImageBuilder& word(int at, int value)
    {
        image[at] = uint8_t(value >> 8);
        image[at + 1] = uint8_t(value & 0xFF);
        return *this;
    }
    ImageBuilder& bit(int at, int n)
    {
        image[at] |= uint8_t(1 << n);
        return *this;
    }
    StatusRecord decode(bool network = false) const
    {
        StatusRecord r;
        r.decode(image, network);
        return r;
    }
};

} // namespace gx::test
