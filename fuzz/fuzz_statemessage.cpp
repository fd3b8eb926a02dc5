// libFuzzer entry for the state and fault message readers.
#include "targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return gxfuzz::stateMessage(data, size);
}
