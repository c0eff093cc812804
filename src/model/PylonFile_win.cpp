#include "model/PylonFile.h"

#include <windows.h>

// The file itself on Windows: a temporary file in the same folder, flushed
// and moved over the target in one step. Names are UTF-8.
namespace {

std::wstring Wide(const std::string& utf8)
{
    if (utf8.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring w(size_t(n > 0 ? n : 0), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), w.data(), n);
    return w;
}

class File {
public:
    explicit File(HANDLE h) : h_(h) {}
    ~File() { Close(); }
    bool Ok() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return h_; }
    bool Close()
    {
        if (h_ == INVALID_HANDLE_VALUE) return true;
        const bool ok = ::CloseHandle(h_) != 0;
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE h_;
};

}  // namespace

int PylonFile::SaveFile(const K_PYLON& model, const std::string& fileName, K_FILE& header)
{
    const std::wstring target = Wide(fileName);
    // The target must be writable before anything else happens.
    const bool existed = ::GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES;
    {
        File probe(::CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe.Ok()) return CannotOpen;
    }

    const std::wstring tmp = target + L".lmq~" + std::to_wstring(::GetCurrentProcessId()) + L"." +
                             std::to_wstring(::GetTickCount64());
    File out(::CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out.Ok()) {
        if (!existed) ::DeleteFileW(target.c_str());
        return CannotOpen;
    }
    const std::vector<uint8_t> bytes = Encode(model, header.Version);
    header.LengthPos = static_cast<int32_t>(LengthOffset);
    header.Length = static_cast<int32_t>(bytes.size());
    DWORD written = 0;
    bool ok = ::WriteFile(out.Get(), bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    ok = ::FlushFileBuffers(out.Get()) && ok;
    ok = out.Close() && ok;
    if (ok) ok = ::MoveFileExW(tmp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        ::DeleteFileW(tmp.c_str());
        if (!existed) ::DeleteFileW(target.c_str());
        return WriteFailed;
    }
    return Ok;
}

int PylonFile::LoadFile(K_PYLON& model, const std::string& fileName, K_FILE& header)
{
    File in(::CreateFileW(Wide(fileName).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!in.Ok() || ::GetFileType(in.Get()) != FILE_TYPE_DISK) return CannotOpen;
    std::vector<uint8_t> data;
    uint8_t buf[4096];
    DWORD n = 0;
    // A real file is a few hundred bytes (the count is 16-bit); cap what we hold.
    while (::ReadFile(in.Get(), buf, sizeof buf, &n, nullptr) && n > 0) {
        data.insert(data.end(), buf, buf + n);
        if (data.size() > (64u << 20)) break;
    }
    return Decode(data.data(), data.size(), model, header);
}
