// Any text as the per-user store's file: read or refused, never a crash; what
// was read writes back to a text that reads the same.
#include <cstdlib>
#include <string>

#include "model/MemoryRegStore.h"
#include "model/RegText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    MemoryRegStore store;
    if (!RegText::Parse(text, store)) {
        if (!store.SubKeyNames("").empty()) std::abort();
        return 0;
    }
    const std::string once = RegText::Serialize(store);
    MemoryRegStore again;
    if (!RegText::Parse(once, again)) std::abort();
    if (RegText::Serialize(again) != once) std::abort();
    return 0;
}
