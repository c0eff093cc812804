#include "lang/IniStore.h"

#include <cstdint>

namespace {

// One code point of `text` at `at` and its length in bytes; a byte that does
// not start a well-formed sequence stands for itself.
std::pair<uint32_t, size_t> Decode(std::string_view text, size_t at)
{
    const auto b = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t c = b(at);
    const size_t left = text.size() - at;
    const auto cont = [&](size_t i) { return (b(at + i) & 0xC0) == 0x80; };
    if (c < 0x80) return {c, 1};
    if (c >= 0xC2 && c < 0xE0 && left >= 2 && cont(1)) return {uint32_t(c & 0x1F) << 6 | (b(at + 1) & 0x3F), 2};
    if (c >= 0xE0 && c < 0xF0 && left >= 3 && cont(1) && cont(2))
        return {uint32_t(c & 0x0F) << 12 | uint32_t(b(at + 1) & 0x3F) << 6 | (b(at + 2) & 0x3F), 3};
    if (c >= 0xF0 && c < 0xF5 && left >= 4 && cont(1) && cont(2) && cont(3))
        return {uint32_t(c & 0x07) << 18 | uint32_t(b(at + 1) & 0x3F) << 12 | uint32_t(b(at + 2) & 0x3F) << 6 |
                    (b(at + 3) & 0x3F),
                4};
    return {0xFFFFFFFF, 1};
}

void Encode(uint32_t cp, std::string& out)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

uint32_t Lower(uint32_t cp)
{
    if (cp >= 'A' && cp <= 'Z') return cp + 0x20;
    if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 0x20;
    // Latin Extended-A: pairs of upper (even) and lower (odd) letters, with
    // the run from U+0139 to U+0148 and from U+0179 to U+017E the other way.
    if ((cp >= 0x100 && cp <= 0x137) || (cp >= 0x14A && cp <= 0x177)) return cp | 1;
    if ((cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E)) return (cp & 1) ? cp + 1 : cp;
    if (cp == 0x178) return 0xFF;
    return cp;
}

// White space as Qt's trimming knows it: the ASCII blanks and control
// characters \t to \r, and the Unicode spaces.
bool IsSpace(uint32_t cp)
{
    return cp == ' ' || (cp >= '\t' && cp <= '\r') || cp == 0x85 || cp == 0xA0 || cp == 0x1680 ||
           (cp >= 0x2000 && cp <= 0x200A) || cp == 0x2028 || cp == 0x2029 || cp == 0x202F || cp == 0x205F ||
           cp == 0x3000;
}

std::string_view Trimmed(std::string_view text)
{
    size_t begin = 0;
    while (begin < text.size()) {
        const auto [cp, n] = Decode(text, begin);
        if (!IsSpace(cp)) break;
        begin += n;
    }
    size_t end = text.size();
    while (end > begin) {
        // Step back to the start of the last code point.
        size_t start = end - 1;
        while (start > begin && (static_cast<uint8_t>(text[start]) & 0xC0) == 0x80 && end - start < 4) --start;
        const auto [cp, n] = Decode(text, start);
        if (start + n != end || !IsSpace(cp)) break;
        end = start;
    }
    return text.substr(begin, end - begin);
}

}  // namespace

std::string IniStore::FoldCase(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (size_t at = 0; at < utf8.size();) {
        // ASCII, all of every control's key, a byte at a time.
        if (const char c = utf8[at]; static_cast<uint8_t>(c) < 0x80) {
            out += c >= 'A' && c <= 'Z' ? char(c + 0x20) : c;
            ++at;
            continue;
        }
        const auto [cp, n] = Decode(utf8, at);
        if (cp == 0xFFFFFFFF || n == 4 || cp >= 0x800) {
            out.append(utf8.substr(at, n));
        } else {
            Encode(Lower(cp), out);
        }
        at += n;
    }
    return out;
}

void IniStore::SetText(std::string_view rest)
{
    Clear();
    if (rest.substr(0, 3) == "\xEF\xBB\xBF") rest.remove_prefix(3);
    Section* current = nullptr;
    while (!rest.empty()) {
        const size_t nl = rest.find('\n');
        std::string_view line = nl == std::string_view::npos ? rest : rest.substr(0, nl);
        rest = nl == std::string_view::npos ? std::string_view() : rest.substr(nl + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::string_view trimmed = Trimmed(line);
        if (trimmed.empty() || trimmed.front() == ';') continue;
        if (trimmed.front() == '[' && trimmed.back() == ']' && trimmed.size() >= 2) {
            const std::string name(Trimmed(trimmed.substr(1, trimmed.size() - 2)));
            std::string folded = FoldCase(name);
            // A section met again goes on where it stopped; thousands of
            // sections cost no more than one pass.
            const auto [it, added] = sectionIndex_.try_emplace(folded, sections_.size());
            if (added) sections_.push_back(Section{name, std::move(folded), {}, {}});
            current = &sections_[it->second];
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == 0 || eq == std::string_view::npos || !current) continue;
        const std::string key(Trimmed(line.substr(0, eq)));
        if (key.empty()) continue;
        current->index.try_emplace(FoldCase(key), current->entries.size());
        current->entries.emplace_back(key, std::string(line.substr(eq + 1)));
    }
}

const IniStore::Section* IniStore::Find(std::string_view section) const
{
    const auto it = sectionIndex_.find(FoldCase(section));
    return it != sectionIndex_.end() ? &sections_[it->second] : nullptr;
}

bool IniStore::SectionExists(std::string_view section) const { return Find(section) != nullptr; }

bool IniStore::ValueExists(std::string_view section, std::string_view key) const
{
    const Section* s = Find(section);
    return s && s->index.count(FoldCase(key)) != 0;
}

std::string IniStore::ReadString(std::string_view section, std::string_view key, std::string_view def) const
{
    if (const Section* s = Find(section)) {
        const auto it = s->index.find(FoldCase(key));
        if (it != s->index.end()) return s->entries[it->second].second;
    }
    return std::string(def);
}

int IniStore::KeyCount() const
{
    int n = 0;
    for (const auto& s : sections_) n += int(s.entries.size());
    return n;
}

SafeFile::Status IniStore::LoadFile(const std::string& path)
{
    std::string bytes;
    const SafeFile::Status status = SafeFile::Read(path, bytes, FileCap);
    if (status == SafeFile::Status::Ok) SetText(bytes);
    return status;
}
