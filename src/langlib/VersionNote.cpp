// The library's version and description, kept in the file itself as an ELF
// note (section ".note.lumarq.version", owner "Lumarq", type 1). The note's
// data is two zero-terminated texts, "FileVersion=..." and
// "FileDescription=...", which `readelf -n` shows in hex and `strings` as text.
#include <cstdint>

#ifndef LMQT_LNGS_VERSION
#error "LMQT_LNGS_VERSION must be set by the build"
#endif

namespace {

constexpr char Owner[] = "Lumarq";
constexpr char Data[] = "FileVersion=" LMQT_LNGS_VERSION "\0FileDescription=Obsługa wielu języków";

constexpr std::uint32_t Padded(std::uint32_t size) { return (size + 3u) & ~3u; }

struct Note {
    std::uint32_t nameSize;
    std::uint32_t dataSize;
    std::uint32_t type;
    char name[Padded(sizeof Owner)];
    char data[Padded(sizeof Data)];
};

template <std::uint32_t N>
constexpr void CopyText(char (&to)[N], const char* from, std::uint32_t size)
{
    for (std::uint32_t i = 0; i < N; ++i) to[i] = i < size ? from[i] : '\0';
}

constexpr Note MakeNote()
{
    Note note{sizeof Owner, sizeof Data, 1, {}, {}};
    CopyText(note.name, Owner, sizeof Owner);
    CopyText(note.data, Data, sizeof Data);
    return note;
}

[[gnu::used, gnu::section(".note.lumarq.version"), gnu::aligned(4)]] const Note VersionNote = MakeNote();

}  // namespace
