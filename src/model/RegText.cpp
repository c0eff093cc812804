#include "model/RegText.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace {

using Line = RegLayout::Line;

// The registry refuses keys nested deeper than this, or names longer; so does
// the reader, which keeps such a section as it stands.
constexpr size_t MaxKeyDepth = 512;
constexpr size_t MaxKeyName = 255;

std::string_view Trim(std::string_view s)
{
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
    return s.substr(b, e - b);
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix)
{
    if (s.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) { return a.size() == b.size() && StartsWithNoCase(a, b); }

// Reads a quoted string starting at s[pos] == '"'; pos ends after the closing quote.
bool ReadQuoted(std::string_view s, size_t& pos, std::string& out)
{
    if (pos >= s.size() || s[pos] != '"') return false;
    ++pos;
    out.clear();
    while (pos < s.size()) {
        char c = s[pos++];
        if (c == '"') return true;
        if (c == '\\') {
            if (pos >= s.size()) return false;
            out.push_back(s[pos++]);
        } else {
            out.push_back(c);
        }
    }
    return false;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The data of a string, dword: or hex: value; false for anything else.
bool ParseData(std::string_view data, RegValue& v)
{
    if (!data.empty() && data[0] == '"') {
        size_t pos = 0;
        std::string text;
        if (!ReadQuoted(data, pos, text) || !Trim(data.substr(pos)).empty()) return false;
        v = RegValue::String(std::move(text));
        return true;
    }
    if (StartsWithNoCase(data, "dword:")) {
        std::string_view digits = Trim(data.substr(6));
        if (digits.empty() || digits.size() > 8) return false;
        uint32_t d = 0;
        for (char c : digits) {
            int h = HexDigit(c);
            if (h < 0) return false;
            d = d * 16 + static_cast<uint32_t>(h);
        }
        v = RegValue::DWord(d);
        return true;
    }
    if (StartsWithNoCase(data, "hex:")) {
        std::vector<uint8_t> bytes;
        std::string_view rest = data.substr(4);
        size_t i = 0;
        while (i < rest.size()) {
            while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t')) ++i;
            if (i >= rest.size()) break;
            int hi = HexDigit(rest[i]);
            int lo = i + 1 < rest.size() ? HexDigit(rest[i + 1]) : -1;
            if (hi < 0 || lo < 0) return false;
            bytes.push_back(static_cast<uint8_t>(hi * 16 + lo));
            i += 2;
            while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t')) ++i;
            if (i < rest.size()) {
                if (rest[i] != ',') return false;
                ++i;
            }
        }
        v = RegValue::Binary(std::move(bytes));
        return true;
    }
    return false;
}

// Splits a value line into its name and data; false when not even the name
// and the "=" can be read.
bool SplitValueLine(std::string_view line, std::string& name, std::string_view& data)
{
    size_t pos = 0;
    name.clear();
    if (!line.empty() && line[0] == '@') {
        pos = 1;
    } else if (!ReadQuoted(line, pos, name)) {
        return false;
    }
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
    if (pos >= line.size() || line[pos] != '=') return false;
    data = Trim(line.substr(pos + 1));
    return true;
}

// hex: and hex(n): lists may be wrapped over several lines, each but the last
// ending in a backslash.
bool IsHexValueLine(std::string_view line)
{
    std::string name;
    std::string_view data;
    return SplitValueLine(line, name, data) && StartsWithNoCase(data, "hex");
}

std::string FoldedPath(const std::vector<std::string>& parts)
{
    std::string out;
    for (const auto& p : parts) {
        if (!out.empty()) out.push_back('\\');
        out += MemoryRegStore::Fold(p);
    }
    return out;
}

// --- UTF-16 ---------------------------------------------------------------
// Unpaired surrogates pass through as three-byte sequences both ways, so that
// a text that is not quite UTF-16 still writes back as it was.

void AppendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string FromUtf16(std::string_view bytes, bool le)
{
    std::string out;
    out.reserve(bytes.size() / 2 + bytes.size() / 8);
    const size_t n = bytes.size() / 2;
    auto unit = [&](size_t i) -> uint32_t {
        const auto a = static_cast<unsigned char>(bytes[2 * i]);
        const auto b = static_cast<unsigned char>(bytes[2 * i + 1]);
        return le ? (a | (b << 8)) : ((a << 8) | b);
    };
    for (size_t i = 0; i < n; ++i) {
        uint32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n) {
            const uint32_t lo = unit(i + 1);
            if (lo >= 0xDC00 && lo <= 0xDFFF) {
                u = 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00);
                ++i;
            }
        }
        AppendUtf8(out, u);
    }
    return out;
}

void AppendUnit(std::string& out, uint32_t u, bool le)
{
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    out.push_back(le ? lo : hi);
    out.push_back(le ? hi : lo);
}

std::string ToUtf16(std::string_view s, bool le)
{
    std::string out;
    out.reserve(2 * s.size() + 2);
    AppendUnit(out, 0xFEFF, le);
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        uint32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
        bool ok = len != 0 && i + len <= s.size();
        for (size_t k = 1; ok && k < len; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) ok = false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (ok && (cp > 0x10FFFF || (len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000)))
            ok = false;
        if (!ok) {
            AppendUnit(out, 0xFFFD, le);
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            AppendUnit(out, 0xD800 + (cp >> 10), le);
            AppendUnit(out, 0xDC00 + (cp & 0x3FF), le);
        } else {
            AppendUnit(out, cp, le);
        }
        i += len;
    }
    return out;
}

// --- writing ----------------------------------------------------------------

std::string Quote(const std::string& s)
{
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

std::string FormatValue(const std::string& name, const RegValue& v)
{
    std::string out = name.empty() ? std::string("@") : Quote(name);
    out += "=";
    switch (v.type) {
    case RegValue::Type::String: out += Quote(v.text); break;
    case RegValue::Type::DWord: {
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", v.dword);
        out += buf;
        break;
    }
    case RegValue::Type::Binary: {
        static const char digits[] = "0123456789abcdef";
        out += "hex:";
        for (size_t i = 0; i < v.bytes.size(); ++i) {
            if (i) out.push_back(',');
            out.push_back(digits[v.bytes[i] >> 4]);
            out.push_back(digits[v.bytes[i] & 15]);
        }
        break;
    }
    }
    return out;
}

// The path of `key` as a section header writes it, its parents found in `parents`.
std::string PathOf(const MemoryRegStore::Key* key,
                   const std::unordered_map<const MemoryRegStore::Key*, const MemoryRegStore::Key*>& parents)
{
    std::vector<const std::string*> names;
    for (const MemoryRegStore::Key* k = key; k; k = parents.at(k)) names.push_back(&k->name);
    std::string out;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        if (!out.empty()) out.push_back('\\');
        out += **it;
    }
    return out;
}

class Writer {
public:
    explicit Writer(bool crlf) : eol_(crlf ? "\r\n" : "\n") {}
    void Put(std::string_view text)
    {
        // Continued lines are held with "\n" between their parts.
        for (size_t start = 0;;) {
            const size_t nl = text.find('\n', start);
            out_.append(text.substr(start, nl == std::string_view::npos ? nl : nl - start));
            out_ += eol_;
            if (nl == std::string_view::npos) break;
            start = nl + 1;
        }
        lastBlank_ = Trim(text).empty();
    }
    bool LastBlank() const { return lastBlank_; }
    std::string& Text() { return out_; }

private:
    std::string eol_;
    std::string out_;
    bool lastBlank_ = false;
};

// Whether the value line `text` (its parts, if continued, between "\n")
// reads as `value`.
bool SameAsRead(const std::string& text, const RegValue& value)
{
    std::string joined;
    std::string_view rest = text;
    for (;;) {
        const size_t nl = rest.find('\n');
        std::string_view part = Trim(rest.substr(0, nl));
        const bool more = nl != std::string_view::npos;
        if (more && !part.empty() && part.back() == '\\') part.remove_suffix(1);
        joined.append(part);
        if (!more) break;
        rest.remove_prefix(nl + 1);
    }
    std::string name;
    std::string_view data;
    RegValue read;
    return SplitValueLine(joined, name, data) && ParseData(data, read) && read == value;
}

// A hex list that ends in a backslash with no line after it in the text it
// came from gets an empty line to end it, or it would take in the next one.
void PutValueLine(Writer& w, const std::string& text)
{
    w.Put(text);
    const std::string_view t = Trim(text);
    if (!t.empty() && t.back() == '\\') w.Put("");
}

const RegLayout& NewFileLayout()
{
    static const RegLayout layout = [] {
        RegLayout l;
        l.lines.push_back({});
        l.lines.back().text = "REGEDIT4";
        l.lines.push_back({});
        return l;
    }();
    return layout;
}

}  // namespace

bool RegText::Parse(const std::string& input, MemoryRegStore& store, RegLayout* layout)
{
    store.Clear();
    RegLayout local;
    RegLayout& lay = layout ? *layout : local;
    lay = RegLayout{};

    std::string decoded;
    std::string_view text = input;
    const auto byte = [&](size_t i) { return i < input.size() ? static_cast<unsigned char>(input[i]) : 0x100; };
    if (byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) {
        lay.encoding = RegLayout::Encoding::Utf8Bom;
        text.remove_prefix(3);
    } else if (byte(0) == 0xFF && byte(1) == 0xFE) {
        lay.encoding = RegLayout::Encoding::Utf16LE;
        decoded = FromUtf16(text.substr(2), true);
        text = decoded;
    } else if (byte(0) == 0xFE && byte(1) == 0xFF) {
        lay.encoding = RegLayout::Encoding::Utf16BE;
        decoded = FromUtf16(text.substr(2), false);
        text = decoded;
    }

    enum class State { BeforeHeader, Top, Ours, Foreign } state = State::BeforeHeader;
    MemoryRegStore::Key* key = nullptr;  // the current section's
    size_t section = 0;                  // and its line
    const std::string hivePrefix = std::string(Hive) + "\\";
    bool firstLine = true;
    size_t pos = 0;

    // The next physical line without its end; false at the end of the text.
    auto nextPhysical = [&](std::string_view& line) {
        if (pos >= text.size()) return false;
        size_t nl = text.find('\n', pos);
        if (nl == std::string_view::npos) nl = text.size();
        line = text.substr(pos, nl - pos);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
            if (firstLine) lay.crlf = true;
        }
        firstLine = false;
        pos = nl + 1;
        return true;
    };

    lay.lines.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    std::string_view physical;
    while (nextPhysical(physical)) {
        Line line;
        line.text.assign(physical);
        std::string_view trimmed = Trim(physical);
        std::string joined;  // a continued hex list, its parts without their backslashes
        if (state == State::Ours && !trimmed.empty() && trimmed.back() == '\\' && IsHexValueLine(trimmed)) {
            joined.assign(trimmed.substr(0, trimmed.size() - 1));
            std::string_view more;
            bool goOn = true;
            for (size_t before = pos; goOn && nextPhysical(more); before = pos) {
                // A blank line ends the list and stays a line of its own.
                if (Trim(more).empty()) {
                    pos = before;
                    break;
                }
                line.text.push_back('\n');
                line.text.append(more);
                std::string_view t = Trim(more);
                goOn = !t.empty() && t.back() == '\\';
                joined.append(goOn ? t.substr(0, t.size() - 1) : t);
            }
            trimmed = joined;
        }

        if (state == State::BeforeHeader) {
            if (!trimmed.empty() && trimmed[0] != ';') {
                if (!EqualsNoCase(trimmed, "REGEDIT4") &&
                    !EqualsNoCase(trimmed, "Windows Registry Editor Version 5.00")) {
                    store.Clear();
                    lay = RegLayout{};
                    return false;
                }
                state = State::Top;
            }
            lay.lines.push_back(std::move(line));
            continue;
        }
        if (trimmed.empty() || trimmed[0] == ';') {
            lay.lines.push_back(std::move(line));
            continue;
        }
        if (trimmed[0] == '[') {
            line.header = true;
            state = State::Foreign;
            std::string_view inner = trimmed.size() >= 2 && trimmed.back() == ']'
                                         ? trimmed.substr(1, trimmed.size() - 2)
                                         : std::string_view();
            if (inner.empty()) ++lay.unreadable;
            if (StartsWithNoCase(inner, hivePrefix)) {
                const std::string path(inner.substr(hivePrefix.size()));
                const auto parts = MemoryRegStore::SplitPath(path);
                bool fits = !parts.empty() && parts.size() <= MaxKeyDepth;
                for (size_t k = 0; fits && k < parts.size(); ++k) fits = parts[k].size() <= MaxKeyName;
                if (fits) {
                    state = State::Ours;
                    key = store.CreateKeyAt(path);
                    section = lay.lines.size();
                    line.kind = Line::Kind::Section;
                    line.key = FoldedPath(parts);
                } else {
                    ++lay.unreadable;
                }
            }
            lay.lines.push_back(std::move(line));
            continue;
        }
        if (state == State::Ours) {
            std::string_view data;
            if (SplitValueLine(trimmed, line.name, data)) {
                line.kind = Line::Kind::Value;
                line.section = section;
                RegValue value;
                line.known = ParseData(data, value);
                if (line.known) MemoryRegStore::WriteValueAt(*key, line.name, std::move(value));
                // A "hex(2):" or the like is not the program's; anything else is unreadable.
                else if (!StartsWithNoCase(data, "hex(") && !(data == "-")) ++lay.unreadable;
            } else {
                ++lay.unreadable;
            }
        } else if (state == State::Top) {
            ++lay.unreadable;
        }
        lay.lines.push_back(std::move(line));
    }
    if (state == State::BeforeHeader) {
        lay = RegLayout{};
        return false;
    }
    return true;
}

std::string RegText::Serialize(const MemoryRegStore& store, const RegLayout* layout)
{
    using Key = MemoryRegStore::Key;
    // A layout that holds no lines is that of a file yet to be made.
    const RegLayout& lay = layout && !layout->lines.empty() ? *layout : NewFileLayout();
    const size_t n = lay.lines.size();

    // Each section's key in the store (nullptr: removed), and the value names
    // the text has for each key.
    std::vector<const Key*> sectionKey(n, nullptr);
    std::unordered_map<const Key*, std::unordered_set<std::string>> mentioned, readNames;
    for (size_t i = 0; i < n; ++i) {
        const Line& line = lay.lines[i];
        if (line.kind == Line::Kind::Section) {
            sectionKey[i] = store.FindFolded(line.key);
            if (sectionKey[i]) mentioned[sectionKey[i]];
        } else if (line.kind == Line::Kind::Value && sectionKey[line.section]) {
            mentioned[sectionKey[line.section]].insert(MemoryRegStore::Fold(line.name));
            if (line.known) readNames[sectionKey[line.section]].insert(MemoryRegStore::Fold(line.name));
        }
    }

    Writer w(lay.crlf);
    std::unordered_set<const Key*> sectionsWritten;
    std::unordered_map<const Key*, std::unordered_set<std::string>> valuesWritten;
    size_t i = 0;
    while (i < n && !lay.lines[i].header) w.Put(lay.lines[i++].text);
    while (i < n) {
        size_t end = i + 1;
        while (end < n && !lay.lines[end].header) ++end;
        const Line& head = lay.lines[i];
        if (head.kind != Line::Kind::Section) {
            for (; i < end; ++i) w.Put(lay.lines[i].text);
            continue;
        }
        const Key* key = sectionKey[i];
        if (!key) {  // the key was removed, with what it held
            i = end;
            continue;
        }
        // New values go after the section's last value, before the blank
        // lines and comments that lead to the next one.
        size_t insertAfter = i;
        for (size_t k = i + 1; k < end; ++k) {
            const std::string_view t = Trim(lay.lines[k].text);
            if (!t.empty() && t[0] != ';') insertAfter = k;
        }
        const bool first = sectionsWritten.insert(key).second;
        auto& written = valuesWritten[key];
        for (size_t k = i; k < end; ++k) {
            const Line& line = lay.lines[k];
            if (line.kind == Line::Kind::Value) {
                const std::string folded = MemoryRegStore::Fold(line.name);
                // A line that could not be read stays, also when a line of
                // the same name that could be read carries the value.
                if (!line.known && readNames[key].count(folded)) {
                    PutValueLine(w, line.text);
                } else if (const auto* stored = MemoryRegStore::FindValue(*key, line.name)) {
                    // The store's value, once, where the text first had it.
                    if (written.insert(folded).second) {
                        const auto& [name, value] = *stored;
                        if (line.known && SameAsRead(line.text, value)) PutValueLine(w, line.text);
                        else w.Put(FormatValue(name, value));
                    }
                } else if (!line.known) {
                    PutValueLine(w, line.text);
                }
            } else {
                w.Put(line.text);
            }
            if (k == insertAfter && first) {
                const auto& names = mentioned[key];
                for (const auto& [name, value] : key->values)
                    if (!names.count(MemoryRegStore::Fold(name))) w.Put(FormatValue(name, value));
            }
        }
        i = end;
    }

    // Keys the text does not have yet, parents first; intermediate keys
    // without values are implied by their subkeys' sections.
    std::unordered_map<const Key*, const Key*> parents;
    std::vector<const Key*> stack;
    auto push = [&](const Key& k, const Key* parent) {
        for (auto it = k.subkeys.rbegin(); it != k.subkeys.rend(); ++it) {
            parents.emplace(it->get(), parent);
            stack.push_back(it->get());
        }
    };
    push(store.Root(), nullptr);
    while (!stack.empty()) {
        const Key* k = stack.back();
        stack.pop_back();
        push(*k, k);
        if (mentioned.count(k) || (k->values.empty() && !k->subkeys.empty())) continue;
        if (!w.LastBlank()) w.Put("");
        w.Put("[" + std::string(Hive) + "\\" + PathOf(k, parents) + "]");
        for (const auto& [name, value] : k->values) w.Put(FormatValue(name, value));
        w.Put("");
    }

    switch (lay.encoding) {
    case RegLayout::Encoding::Utf8: return std::move(w.Text());
    case RegLayout::Encoding::Utf8Bom: return "\xEF\xBB\xBF" + w.Text();
    case RegLayout::Encoding::Utf16LE: return ToUtf16(w.Text(), true);
    case RegLayout::Encoding::Utf16BE: return ToUtf16(w.Text(), false);
    }
    return std::move(w.Text());
}
