#pragma once

// Byte-level helpers shared by the controller model: 16-bit values go out most
// significant byte first, checksums are plain sums carried in two bytes.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace gxsim {

using Bytes = std::vector<std::uint8_t>;

inline void put16(Bytes& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

inline void put16At(std::uint8_t* at, unsigned value)
{
    at[0] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
    at[1] = static_cast<std::uint8_t>(value & 0xFF);
}

inline unsigned get16(const std::uint8_t* at) { return (unsigned(at[0]) << 8) | at[1]; }

// Plain sum of the bytes; the wire carries its low 16 bits.
inline unsigned byteSum(std::span<const std::uint8_t> bytes)
{
    unsigned sum = 0;
    for (auto b : bytes)
        sum += b;
    return sum;
}

// Appends the two checksum bytes covering everything already in `out`.
inline void appendChecksum(Bytes& out) { put16(out, byteSum(out) & 0xFFFF); }

// Two decimal digits in one byte, tens in the upper half.
inline std::uint8_t toBcd(unsigned twoDigits)
{
    twoDigits %= 100;
    return static_cast<std::uint8_t>(((twoDigits / 10) << 4) | (twoDigits % 10));
}

std::string toHex(std::span<const std::uint8_t> bytes);

} // namespace gxsim
