// libFuzzer entry for the readers of the service's messages (state, fault, info), the fleet board and its reminder file.
#include "targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return gxfuzz::stateMessage(data, size);
}
