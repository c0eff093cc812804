#include "model/RegText.h"

#include <cctype>
#include <cstdio>

namespace {

std::string Trim(const std::string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
    return s.substr(b, e - b);
}

bool StartsWithNoCase(const std::string& s, const std::string& prefix)
{
    if (s.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

// Reads a quoted string starting at s[pos] == '"'; pos ends after the closing quote.
bool ReadQuoted(const std::string& s, size_t& pos, std::string& out)
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

bool ParseData(const std::string& data, RegValue& v)
{
    if (!data.empty() && data[0] == '"') {
        size_t pos = 0;
        std::string text;
        if (!ReadQuoted(data, pos, text) || !Trim(data.substr(pos)).empty()) return false;
        v = RegValue::String(std::move(text));
        return true;
    }
    if (StartsWithNoCase(data, "dword:")) {
        std::string digits = Trim(data.substr(6));
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
        std::string rest = data.substr(4);
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

void WriteKey(const MemoryRegStore::Key& key, const std::string& path, std::string& out)
{
    // Intermediate keys without values are implied by their subkeys' sections.
    if (!path.empty() && (!key.values.empty() || key.subkeys.empty())) {
        out += "[" + std::string(RegText::Hive) + "\\" + path + "]\n";
        for (const auto& [name, v] : key.values) {
            out += name.empty() ? std::string("@") : Quote(name);
            out += "=";
            switch (v.type) {
            case RegValue::Type::String:
                out += Quote(v.text);
                break;
            case RegValue::Type::DWord: {
                char buf[16];
                std::snprintf(buf, sizeof buf, "dword:%08x", v.dword);
                out += buf;
                break;
            }
            case RegValue::Type::Binary: {
                out += "hex:";
                for (size_t i = 0; i < v.bytes.size(); ++i) {
                    char buf[4];
                    std::snprintf(buf, sizeof buf, i ? ",%02x" : "%02x", v.bytes[i]);
                    out += buf;
                }
                break;
            }
            }
            out += "\n";
        }
        out += "\n";
    }
    for (const auto& sub : key.subkeys)
        WriteKey(*sub, path.empty() ? sub->name : path + "\\" + sub->name, out);
}

}  // namespace

bool RegText::Parse(const std::string& text, MemoryRegStore& store)
{
    store.Clear();
    // Join continuation lines (a hex list wrapped with a trailing backslash).
    std::vector<std::string> lines;
    std::string cur;
    size_t start = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;
    for (size_t i = start; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\n') {
            std::string line = Trim(cur);
            cur.clear();
            if (!lines.empty() && !lines.back().empty() && lines.back().back() == '\\' &&
                lines.back().find("=hex") != std::string::npos) {
                lines.back().pop_back();
                lines.back() += line;
            } else {
                lines.push_back(line);
            }
        } else {
            cur.push_back(text[i]);
        }
    }
    size_t n = 0;
    while (n < lines.size() && lines[n].empty()) ++n;
    if (n >= lines.size() ||
        (lines[n] != "REGEDIT4" && lines[n] != "Windows Registry Editor Version 5.00"))
        return false;
    std::string key;
    bool inKey = false;
    const std::string hivePrefix = std::string(Hive) + "\\";
    for (++n; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            if (line.back() != ']') { store.Clear(); return false; }
            std::string path = line.substr(1, line.size() - 2);
            if (!StartsWithNoCase(path, hivePrefix)) { store.Clear(); return false; }
            key = path.substr(hivePrefix.size());
            if (MemoryRegStore::SplitPath(key).empty()) { store.Clear(); return false; }
            store.CreateKey(key);
            inKey = true;
            continue;
        }
        if (!inKey) { store.Clear(); return false; }
        std::string name;
        size_t pos = 0;
        if (line[0] == '@') {
            pos = 1;
        } else if (!ReadQuoted(line, pos, name)) {
            store.Clear();
            return false;
        }
        while (pos < line.size() && line[pos] == ' ') ++pos;
        if (pos >= line.size() || line[pos] != '=') { store.Clear(); return false; }
        RegValue v;
        if (!ParseData(Trim(line.substr(pos + 1)), v)) { store.Clear(); return false; }
        store.WriteValue(key, name, v);
    }
    return true;
}

std::string RegText::Serialize(const MemoryRegStore& store)
{
    std::string out = "REGEDIT4\n\n";
    WriteKey(store.Root(), "", out);
    return out;
}
