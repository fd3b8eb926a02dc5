// libFuzzer entry for the printdata reader.
#include "targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return gxfuzz::printData(data, size);
}
