#include "model/SafeFile.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <random>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SafeFile {

namespace {

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    void reset(int fd = -1)
    {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
    int release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

Status FromErrno(int error, Status otherwise)
{
    if (error == ENOENT || error == ENOTDIR) return Status::NotFound;
    return otherwise;
}

std::string Folder(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool WriteAll(int fd, const uint8_t* data, size_t size)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string RandomPart()
{
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 gen{std::random_device{}() ^ (uint64_t(::getpid()) << 32)};
    std::string s(8, 'x');
    for (char& c : s) c = alphabet[gen() % (sizeof alphabet - 1)];
    return s;
}

}  // namespace

Status Read(const std::string& path, std::vector<uint8_t>& out, size_t cap)
{
    out.clear();
    // Look before opening: opening some devices already does something.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return FromErrno(errno, Status::OpenFailed);
    if (!S_ISREG(st.st_mode)) return Status::NotRegular;

    // Without O_NONBLOCK a FIFO put there since would block the open.
    Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) return FromErrno(errno, Status::OpenFailed);
    if (::fstat(fd.get(), &st) != 0) return Status::ReadFailed;
    if (!S_ISREG(st.st_mode)) return Status::NotRegular;

    // The size is a hint only: the file may grow or shrink while it is read.
    const size_t hint = st.st_size > 0 ? static_cast<size_t>(st.st_size) : 0;
    out.resize(std::min(hint, cap) + 1);
    size_t have = 0;
    for (;;) {
        if (have == out.size()) {
            if (have > cap) break;
            out.resize(std::min(cap + 1, std::max<size_t>(out.size() * 2, 4096)));
        }
        const ssize_t n = ::read(fd.get(), out.data() + have, out.size() - have);
        if (n < 0) {
            if (errno == EINTR) continue;
            out.clear();
            return Status::ReadFailed;
        }
        if (n == 0) break;
        have += static_cast<size_t>(n);
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
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string WriteTarget(const std::string& path)
{
    std::string current = path;
    // As many hops as the system follows itself; a loop ends at the last name.
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(current.c_str(), link.data(), link.size());
        if (n <= 0 || static_cast<size_t>(n) >= link.size()) return current;
        link.resize(static_cast<size_t>(n));
        if (link[0] == '/') {
            current = link;
        } else {
            const size_t slash = current.find_last_of('/');
            current = slash == std::string::npos ? link : current.substr(0, slash + 1) + link;
        }
    }
    return current;
}

int RemoveStaleTemps(const std::string& target)
{
    const std::string folder = Folder(target);
    const std::string prefix = TempPrefix(target);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string path = folder + "/" + name;
        // A write in progress holds a lock on its temporary file; the lock of
        // a killed one went with its process.
        Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW));
        if (fd.get() < 0) continue;
        struct stat st {};
        if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) continue;
        if (::unlink(path.c_str()) == 0) ++removed;
    }
    ::closedir(dir);
    return removed;
}

Status WriteAtomic(const std::string& path, const void* data, size_t size)
{
    const std::string target = WriteTarget(path);
    struct stat st {};
    const bool existed = ::lstat(target.c_str(), &st) == 0;
    if (existed) {
        if (!S_ISREG(st.st_mode)) return Status::NotRegular;
        if (::access(target.c_str(), W_OK) != 0) return Status::OpenFailed;
    } else if (errno != ENOENT) {
        return FromErrno(errno, Status::OpenFailed);
    }

    const std::string folder = Folder(target);
    RemoveStaleTemps(target);

    const std::string prefix = TempPrefix(target);
    std::string tmp;
    Fd fd;
    for (int attempt = 0; attempt < 16 && fd.get() < 0; ++attempt) {
        tmp = folder + "/" + prefix + RandomPart();
        fd.reset(::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW, 0666));
        if (fd.get() < 0) {
            if (errno != EEXIST) return FromErrno(errno, Status::OpenFailed);
            continue;
        }
        // Held until the rename: a cleaner that got here first owns the
        // file and removes it, so take another name.
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) fd.reset();
    }
    if (fd.get() < 0) return Status::OpenFailed;

    if (existed) {
        ::fchmod(fd.get(), st.st_mode & 07777);
        if (::geteuid() == 0) (void)::fchown(fd.get(), st.st_uid, st.st_gid);
    }
    bool ok = WriteAll(fd.get(), static_cast<const uint8_t*>(data), size);
    ok = ::fsync(fd.get()) == 0 && ok;
    // The rename happens while the lock is held, so no cleaner takes the file.
    if (ok) ok = ::rename(tmp.c_str(), target.c_str()) == 0;
    const int fdv = fd.release();
    if (!ok) {
        ::unlink(tmp.c_str());
        ::close(fdv);
        return Status::WriteFailed;
    }
    ::close(fdv);
    // The new name is on disk only once the folder is.
    Fd dirFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dirFd.get() >= 0) ::fsync(dirFd.get());
    return Status::Ok;
}

}  // namespace SafeFile
