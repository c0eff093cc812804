#include "model/SafeFile.h"

#include <cstdio>

namespace SafeFile {

const char* StatusText(Status status)
{
    switch (status) {
    case Status::Ok: return "OK";
    case Status::NotFound: return "not found";
    case Status::NotRegular: return "not a regular file";
    case Status::TooLarge: return "too large";
    case Status::OpenFailed: return "cannot open";
    case Status::ReadFailed: return "read failed";
    case Status::WriteFailed: return "write failed";
    }
    return "unknown";
}

Status Read(const std::string& path, std::string& out, size_t cap)
{
    std::vector<uint8_t> bytes;
    const Status status = Read(path, bytes, cap);
    out.assign(bytes.begin(), bytes.end());
    return status;
}

std::string TempPrefix(const std::string& target)
{
    // FNV-1a over the file's own name (the temporary lives in the same
    // folder): stable across runs, so a later write finds what a killed one left.
#ifdef _WIN32
    const size_t slash = target.find_last_of("/\\");
#else
    const size_t slash = target.find_last_of('/');
#endif
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    uint64_t h = 0xcbf29ce484222325ull;
    for (unsigned char c : name) {
        h ^= c;
        h *= 0x100000001b3ull;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, ".lmq~%016llx.", static_cast<unsigned long long>(h));
    return buf;
}

}  // namespace SafeFile
