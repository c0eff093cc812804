#pragma once
#include <array>
#include <cstdint>

// The configuration file's header values, kept beside the model for the run.
struct FileHeader {
    int32_t Version = 3;            // written, and the highest one read
    int32_t Length = 1;             // length written by the last save, size found by the last open
    int32_t LengthPos = 0;          // offset of the length field, set by saving
    std::array<uint8_t, 5> Code{};  // "KD4M" and a zero, from the last file opened
};
