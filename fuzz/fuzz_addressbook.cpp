// libFuzzer entry for the addressbook reader.
#include "targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return gxfuzz::addressBook(data, size);
}
