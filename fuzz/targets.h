#pragma once

// One entry per reader of outside data: each takes any bytes and must neither
// crash nor break its own promises (checked with abort(), which the fuzzer
// reports). libFuzzer calls them through fuzz_<name>.cpp; the replay test
// runs every input of the committed corpora through them.

#include <cstddef>
#include <cstdint>
#include <string>

namespace gxfuzz {

using Target = int (*)(const std::uint8_t* data, std::size_t size);

int fieldReader(const std::uint8_t* data, std::size_t size);
int limits(const std::uint8_t* data, std::size_t size);
int profileFile(const std::uint8_t* data, std::size_t size);
int status(const std::uint8_t* data, std::size_t size);
int identification(const std::uint8_t* data, std::size_t size);
int profileImage(const std::uint8_t* data, std::size_t size);
int printData(const std::uint8_t* data, std::size_t size);
int callLog(const std::uint8_t* data, std::size_t size);
int addressBook(const std::uint8_t* data, std::size_t size);
int stateMessage(const std::uint8_t* data, std::size_t size);

// By name ("profilefile"), or nullptr.
Target byName(const std::string& name);

} // namespace gxfuzz
