// libFuzzer entry for the profileimage reader.
#include "targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return gxfuzz::profileImage(data, size);
}
