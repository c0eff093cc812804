#pragma once
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model/SafeFile.h"

// An INI document held in memory: "[section]" lines open sections, "key=value"
// lines belong to the section above; the value is everything after the first
// "=" (blanks included), the key is trimmed. Section and key look-up ignores
// letter case; the first of two equal keys wins. Texts are UTF-8.
class IniStore {
public:
    IniStore() = default;

    void Clear()
    {
        sections_.clear();
        sectionIndex_.clear();
    }
    // Replaces the whole content; the text may start with a UTF-8 byte-order mark.
    void SetText(std::string_view utf8);
    void SetUtf8(std::string_view bytes) { SetText(bytes); }
    // Replaces the content with the file at `path` when it is a regular file
    // of at most FileCap bytes (read with SafeFile::Read: a FIFO or a device
    // answers at once); otherwise the content stays as it was.
    static constexpr size_t FileCap = 4u << 20;
    SafeFile::Status LoadFile(const std::string& path);

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    int SectionCount() const { return int(sections_.size()); }
    // Number of key lines of all sections together.
    int KeyCount() const;

    // The letter case folding of the look-ups: ASCII, and the letters of
    // Latin-1 and Latin Extended-A (every letter of the Polish, Hungarian and
    // German texts), upper case to lower; everything else stays as it is.
    static std::string FoldCase(std::string_view utf8);

private:
    // Forms are translated key by key, hundreds of keys per form: look-ups go
    // through an index of the folded names.
    struct Section {
        std::string name;
        std::string folded;
        std::vector<std::pair<std::string, std::string>> entries;
        std::unordered_map<std::string, size_t> index;  // folded key -> its first entry
    };
    const Section* Find(std::string_view section) const;
    std::vector<Section> sections_;
    std::unordered_map<std::string, size_t> sectionIndex_;  // folded name -> its section
};
