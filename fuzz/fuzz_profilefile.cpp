// libFuzzer entry for the profilefile reader.
#include "targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return gxfuzz::profileFile(data, size);
}
