// libFuzzer entry for the identification reader.
#include "targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return gxfuzz::identification(data, size);
}
