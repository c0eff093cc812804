#pragma once
#include <cstdint>
#include <optional>
#include <string>

// The pylon's network address as the operator types it: four decimal groups
// of one to three digits, each at most 255. Leading zeros are decimal
// ("192.168.001.010" is 192.168.1.10): the operator types the groups in
// decimal edits. Names are never resolved.
std::optional<uint32_t> ParseIPv4(const std::string& text);  // host byte order
// The address in its shortest form: "192.168.1.10".
std::string FormatIPv4(uint32_t address);
