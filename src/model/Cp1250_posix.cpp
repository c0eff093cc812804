#include "model/Cp1250.h"

// The code page through the C library's iconv.

#include <cerrno>
#include <iconv.h>

namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts `in`; an input sequence that cannot be converted is replaced by
    // "?" and skipped (one byte, or one whole UTF-8 character).
    std::string Run(const std::string& in, bool utf8Input) const
    {
        std::string out;
        if (cd_ == reinterpret_cast<iconv_t>(-1)) return out;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t left = in.size();
        char buf[256];
        while (left > 0) {
            char* dst = buf;
            size_t room = sizeof buf;
            size_t r = iconv(cd_, &src, &left, &dst, &room);
            out.append(buf, static_cast<size_t>(dst - buf));
            if (r != static_cast<size_t>(-1)) break;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL: replace one character and go on.
            out.push_back('?');
            size_t skip = 1;
            if (utf8Input) {
                unsigned char c = static_cast<unsigned char>(*src);
                if (c >= 0xF0) skip = 4;
                else if (c >= 0xE0) skip = 3;
                else if (c >= 0xC0) skip = 2;
                while (skip > 1 && (skip > left || (static_cast<unsigned char>(src[skip - 1]) & 0xC0) != 0x80)) --skip;
            }
            if (skip > left) skip = left;
            src += skip;
            left -= skip;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    iconv_t cd_;
};

}  // namespace

std::string Cp1250::ToUtf8(const std::string& ansi)
{
    static const Converter conv("UTF-8", "WINDOWS-1250");
    return conv.Run(ansi, false);
}

std::string Cp1250::FromUtf8(const std::string& utf8)
{
    static const Converter conv("WINDOWS-1250", "UTF-8");
    return conv.Run(utf8, true);
}
