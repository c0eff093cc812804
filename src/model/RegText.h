#pragma once
#include <string>

#include "model/MemoryRegStore.h"

// The per-user store's file: registry-export text ("REGEDIT4"), one section
// per key under HKEY_CURRENT_USER, string, hex: and dword: values.
class RegText {
public:
    // Fills `store` from `text`. A text that is not a registry export, or has
    // a line that cannot be read, gives false and leaves `store` empty.
    static bool Parse(const std::string& text, MemoryRegStore& store);
    static std::string Serialize(const MemoryRegStore& store);

    static constexpr const char* Hive = "HKEY_CURRENT_USER";
};
