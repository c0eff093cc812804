#pragma once
#include <string>
#include <vector>

#include "model/MemoryRegStore.h"

// What a store file holds besides the values: the form it was written in and
// every line as it stands, so that writing the store back keeps comments,
// blank lines, value types the program does not use, lines it cannot read and
// keys of other hives where they were.
struct RegLayout {
    enum class Encoding { Utf8, Utf8Bom, Utf16LE, Utf16BE };

    struct Line {
        enum class Kind {
            Verbatim,  // kept as it stands: blank, comment, header, unreadable, foreign section
            Section,   // "[HKEY_CURRENT_USER\...]" of a key the store holds
            Value,     // a named value in a section of ours
        };
        Kind kind = Kind::Verbatim;
        std::string text;     // as read; a line continued with "\" holds "\n" between its parts
        std::string key;      // Section: the key's folded path ("software\x")
        size_t section = 0;   // Value: the index of its section's line
        std::string name;     // Value: its name as written ("" for "@")
        bool known = false;   // Value: read into the store
        bool header = false;  // starts a section (of ours or foreign)
    };

    Encoding encoding = Encoding::Utf8;
    bool crlf = false;
    std::vector<Line> lines;
    size_t unreadable = 0;  // lines that could not be read and were kept as they stand
};

// The per-user store's file: registry-export text ("REGEDIT4", or the Windows
// form "Windows Registry Editor Version 5.00" in UTF-16), one section per key
// under HKEY_CURRENT_USER, string, hex: and dword: values. Reading takes time
// in proportion to the text's length.
class RegText {
public:
    // Fills `store` from `text` and, when given, `layout` with its form and
    // lines. A line that cannot be read is skipped (and kept in `layout`);
    // false only when `text` is not a registry export at all, with `store`
    // left empty.
    static bool Parse(const std::string& text, MemoryRegStore& store, RegLayout* layout = nullptr);
    // The text of `store`. With the layout of the text it was read from, in
    // that text's form: every line the store does not change stays as it was,
    // changed values are rewritten in their place, removed keys and values
    // are left out, new values close their key's section, new keys follow.
    static std::string Serialize(const MemoryRegStore& store, const RegLayout* layout = nullptr);

    static constexpr const char* Hive = "HKEY_CURRENT_USER";
};
