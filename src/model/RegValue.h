#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One typed value of the per-user store, as the registry keeps it.
struct RegValue {
    enum class Type { String, Binary, DWord };

    Type type = Type::String;
    std::string text;            // String: UTF-8
    std::vector<uint8_t> bytes;  // Binary
    uint32_t dword = 0;          // DWord

    static RegValue String(std::string s)
    {
        RegValue v;
        v.type = Type::String;
        v.text = std::move(s);
        return v;
    }
    static RegValue Binary(std::vector<uint8_t> b)
    {
        RegValue v;
        v.type = Type::Binary;
        v.bytes = std::move(b);
        return v;
    }
    static RegValue DWord(uint32_t d)
    {
        RegValue v;
        v.type = Type::DWord;
        v.dword = d;
        return v;
    }

    bool operator==(const RegValue&) const = default;
};
