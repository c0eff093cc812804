#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The program's diagnostic log, seen from the core: the core says what
// happened in one of three categories at one of three levels; the program
// installs a sink that hands the lines on (to standard error, the journal).
// Without a sink every line is dropped and nothing is formatted.
namespace Log {

enum class Category { Comm, Store, File };
enum class Level { Debug, Info, Warning };

struct Sink {
    // Whether lines of this category and level are wanted at all.
    bool (*enabled)(Category, Level);
    void (*write)(Category, Level, std::string_view line);
};

// Installs `sink` (nullptr removes it) and returns the one it replaces. The
// sink must live while it is installed.
const Sink* SetSink(const Sink* sink);

bool Enabled(Category category, Level level);
void Write(Category category, Level level, std::string_view line);

// Bytes as two-digit hexadecimal values separated by blanks: "4B 64 34 14".
std::string Hex(const uint8_t* bytes, size_t count);

}  // namespace Log
