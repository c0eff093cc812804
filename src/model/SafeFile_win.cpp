#include "model/SafeFile.h"

#include <algorithm>
#include <random>
#include <windows.h>

#include "model/WideText_win.h"

// Names are UTF-8. Windows has no FIFOs in the file system; a device name
// ("COM1", "\\.\...", "NUL") is not a disk file and is refused the same way.
namespace SafeFile {

namespace {

class Handle {
public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool Ok() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return h_; }
    void Reset(HANDLE h)
    {
        Close();
        h_ = h;
    }
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

Status FromLastError(Status otherwise)
{
    const DWORD e = ::GetLastError();
    if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) return Status::NotFound;
    return otherwise;
}

std::string Folder(const std::string& path)
{
    const size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return ".";
    return path.substr(0, slash == 0 ? 1 : slash);
}

std::string RandomPart()
{
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 gen{std::random_device{}() ^ (uint64_t(::GetCurrentProcessId()) << 32)};
    std::string s(8, 'x');
    for (char& c : s) c = alphabet[gen() % (sizeof alphabet - 1)];
    return s;
}

// A disk file (not a folder, not a device or pipe); follows links like open does.
bool IsDiskFile(HANDLE h)
{
    if (::GetFileType(h) != FILE_TYPE_DISK) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    return ::GetFileInformationByHandle(h, &info) && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

Status Read(const std::string& path, std::vector<uint8_t>& out, size_t cap)
{
    out.clear();
    const std::wstring name = Wide(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return FromLastError(Status::OpenFailed);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Status::NotRegular;
    Handle h(::CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.Ok()) return FromLastError(Status::OpenFailed);
    if (!IsDiskFile(h.Get())) return Status::NotRegular;
    LARGE_INTEGER size{};
    ::GetFileSizeEx(h.Get(), &size);
    const size_t hint = size.QuadPart > 0 ? size_t(size.QuadPart) : 0;
    out.resize(std::min(hint, cap) + 1);
    size_t have = 0;
    for (;;) {
        if (have == out.size()) {
            if (have > cap) break;
            out.resize(std::min(cap + 1, std::max<size_t>(out.size() * 2, 4096)));
        }
        DWORD n = 0;
        const DWORD ask = DWORD(std::min<size_t>(out.size() - have, 1u << 30));
        if (!::ReadFile(h.Get(), out.data() + have, ask, &n, nullptr)) {
            out.clear();
            return Status::ReadFailed;
        }
        if (n == 0) break;
        have += n;
    }
    if (have > cap) {
        out.resize(cap);
        out.shrink_to_fit();
        return Status::TooLarge;
    }
    out.resize(have);
    return Status::Ok;
}

bool IsRegularFile(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    Handle h(::CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return h.Ok() && IsDiskFile(h.Get());
}

// Symbolic links on Windows are rare for documents and need rights to make;
// the name is written as given and MoveFileEx replaces it.
std::string WriteTarget(const std::string& path) { return path; }

int RemoveStaleTemps(const std::string& target)
{
    const std::string folder = Folder(target);
    const std::string prefix = TempPrefix(target);
    WIN32_FIND_DATAW found{};
    HANDLE find = ::FindFirstFileW(Wide(folder + "\\" + prefix + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return 0;
    int removed = 0;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        // A write in progress holds its temporary file open without sharing,
        // so only what a killed write left can be deleted.
        const std::wstring name = Wide(folder) + L"\\" + found.cFileName;
        if (::DeleteFileW(name.c_str())) ++removed;
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
    return removed;
}

Status WriteAtomic(const std::string& path, const void* data, size_t size)
{
    const std::string target = WriteTarget(path);
    const std::wstring wideTarget = Wide(target);
    const DWORD attributes = ::GetFileAttributesW(wideTarget.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Status::NotRegular;
        if (!IsRegularFile(target)) return Status::NotRegular;
        if (attributes & FILE_ATTRIBUTE_READONLY) return Status::OpenFailed;
    } else if (const DWORD e = ::GetLastError(); e != ERROR_FILE_NOT_FOUND) {
        return e == ERROR_PATH_NOT_FOUND ? Status::NotFound : Status::OpenFailed;
    }

    RemoveStaleTemps(target);
    const std::string prefix = TempPrefix(target);
    std::wstring tmp;
    Handle h;
    for (int attempt = 0; attempt < 16 && !h.Ok(); ++attempt) {
        tmp = Wide(Folder(target) + "\\" + prefix + RandomPart());
        h.Reset(::CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!h.Ok() && ::GetLastError() != ERROR_FILE_EXISTS) return FromLastError(Status::OpenFailed);
    }
    if (!h.Ok()) return Status::OpenFailed;

    const auto* bytes = static_cast<const uint8_t*>(data);
    size_t done = 0;
    bool ok = true;
    while (ok && done < size) {
        DWORD n = 0;
        ok = ::WriteFile(h.Get(), bytes + done, DWORD(std::min<size_t>(size - done, 1u << 30)), &n, nullptr) != 0;
        done += n;
    }
    ok = ::FlushFileBuffers(h.Get()) != 0 && ok;
    ok = h.Close() && ok;
    if (ok)
        ok = ::MoveFileExW(tmp.c_str(), wideTarget.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) {
        ::DeleteFileW(tmp.c_str());
        return Status::WriteFailed;
    }
    return Status::Ok;
}

}  // namespace SafeFile
