#pragma once
#include <string>
#include <windows.h>

// Between the core's 8-bit texts and the wide strings of the Windows calls.
// Only the Windows implementation files include this.

// `in` in `codePage` (CP_UTF8 for names and paths) as a wide string.
inline std::wstring WideFrom(UINT codePage, const std::string& in)
{
    if (in.empty()) return {};
    const int n = ::MultiByteToWideChar(codePage, 0, in.data(), int(in.size()), nullptr, 0);
    std::wstring w(size_t(n > 0 ? n : 0), L'\0');
    if (n > 0) ::MultiByteToWideChar(codePage, 0, in.data(), int(in.size()), w.data(), n);
    return w;
}

inline std::wstring Wide(const std::string& utf8) { return WideFrom(CP_UTF8, utf8); }

inline std::string Utf8(const std::wstring& w)
{
    if (w.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(size_t(n > 0 ? n : 0), '\0');
    if (n > 0) ::WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}
