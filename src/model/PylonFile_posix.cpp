#include "model/PylonFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The file itself on POSIX systems: a temporary file in the same folder,
// synced and renamed over the target.
namespace {

bool WriteAll(int fd, const std::vector<uint8_t>& data)
{
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

int PylonFile::SaveFile(const K_PYLON& model, const std::string& fileName, K_FILE& header)
{
    // The target must be writable before anything else happens.
    struct stat st {};
    const bool existed = ::stat(fileName.c_str(), &st) == 0;
    int probe = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (probe < 0) return CannotOpen;
    if (!existed) ::fstat(probe, &st);
    ::close(probe);

    std::string tmp = fileName + ".XXXXXX";
    int fd = ::mkstemp(tmp.data());
    if (fd < 0) {
        if (!existed) ::unlink(fileName.c_str());
        return CannotOpen;
    }
    ::fchmod(fd, st.st_mode & 07777);

    const std::vector<uint8_t> bytes = Encode(model, header.Version);
    header.LengthPos = static_cast<int32_t>(LengthOffset);
    header.Length = static_cast<int32_t>(bytes.size());
    bool ok = WriteAll(fd, bytes);
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = ::rename(tmp.c_str(), fileName.c_str()) == 0;
    if (!ok) {
        ::unlink(tmp.c_str());
        if (!existed) ::unlink(fileName.c_str());
        return WriteFailed;
    }
    return Ok;
}

int PylonFile::LoadFile(K_PYLON& model, const std::string& fileName, K_FILE& header)
{
    FILE* f = std::fopen(fileName.c_str(), "rb");
    if (!f) return CannotOpen;
    struct stat st {};
    if (::fstat(::fileno(f), &st) != 0 || S_ISDIR(st.st_mode)) {
        std::fclose(f);
        return CannotOpen;
    }
    std::vector<uint8_t> data;
    uint8_t buf[4096];
    size_t n;
    // A real file is a few hundred bytes (the count is 16-bit); cap what we hold.
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        data.insert(data.end(), buf, buf + n);
        if (data.size() > (64u << 20)) break;
    }
    std::fclose(f);
    return Decode(data.data(), data.size(), model, header);
}
