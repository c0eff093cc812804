#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/FileHeader.h"

class PylonConfig;

// The configuration file ("lmqpyl", magic "LMQT-KD4M-SAV", format version 3).
// Little-endian, fixed-width zero-padded text fields; a complete file is
// 272 + 38 n bytes for n network entries.
class PylonFile {
public:
    enum Result {
        Ok = 0,
        NoMakerCode = 1,
        NoProductCode = 2,
        NoSav = 3,
        VersionTooNew = 4,
        LengthMismatch = 5,
        NotCompleted = 6,
        CannotOpen = 100,
        WriteFailed = 200,
    };

    static constexpr size_t HeaderSize = 25;
    static constexpr size_t LengthOffset = 17;
    static constexpr size_t BaseSize = 272;
    static constexpr size_t EntrySize = 38;
    static constexpr uint32_t CompletionMarker = 0x01010101;
    // More than the largest file (32767 entries) is never read.
    static constexpr size_t ReadCap = 2u << 20;

    // The bytes of a complete file, length and marker included.
    static std::vector<uint8_t> Encode(const PylonConfig& model, int32_t version);
    // Checks the header and, only when the whole file checked out, commits the
    // body into `model`. `header.Length` takes the size, `header.Code` the
    // product code once it was found.
    static int Decode(const uint8_t* data, size_t size, PylonConfig& model, FileHeader& header);

    // Writes through SafeFile::WriteAtomic: a failed save keeps the old file, a
    // link stays a link, a target that is not a regular file gives CannotOpen.
    // Load reads only regular files (anything else gives CannotOpen at once).
    static int Save(const PylonConfig& model, const std::string& fileName, FileHeader& header);
    static int Load(PylonConfig& model, const std::string& fileName, FileHeader& header);

private:
    static int SaveFile(const PylonConfig& model, const std::string& fileName, FileHeader& header);
    static int LoadFile(PylonConfig& model, const std::string& fileName, FileHeader& header);
};
