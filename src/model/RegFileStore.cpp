#include "model/RegFileStore.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "log/Log.h"
#include "model/RegText.h"

namespace {

// Creates every missing folder of `dir`.
bool MakeFolders(const std::string& dir)
{
    if (dir.empty()) return true;
    std::string cur;
    for (size_t i = 0; i < dir.size(); ++i) {
        cur.push_back(dir[i]);
        if ((dir[i] == '/' && i > 0) || i + 1 == dir.size()) {
            if (::mkdir(cur.c_str(), 0700) != 0 && errno != EEXIST) return false;
        }
    }
    return true;
}

bool WriteAll(int fd, const std::string& data)
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

RegFileStore::RegFileStore(std::string path) : path_(std::move(path))
{
    FILE* f = std::fopen(path_.c_str(), "rb");
    if (!f) return;
    std::string text;
    char buf[4096];
    size_t n;
    // A hand-written store is small; anything beyond a few MiB is not ours.
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0 && text.size() < (8u << 20))
        text.append(buf, n);
    bool readOk = !std::ferror(f);
    std::fclose(f);
    loaded_ = readOk && RegText::Parse(text, *this);
    if (!loaded_) Log::Write(Log::Category::Store, Log::Level::Warning, "cannot read the store " + path_);
    if (!loaded_) Clear();
    else written_ = RegText::Serialize(*this);
}

bool RegFileStore::CommitFile()
{
    const std::string dir = path_.substr(0, path_.find_last_of('/') == std::string::npos
                                                ? 0 : path_.find_last_of('/'));
    const std::string text = RegText::Serialize(*this);
    if (text == written_) return true;
    if (!MakeFolders(dir)) return false;
    std::string tmp = path_ + ".XXXXXX";
    int fd = ::mkstemp(tmp.data());
    if (fd < 0) return false;
    bool ok = WriteAll(fd, text);
    ok = (::fsync(fd) == 0) && ok;
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::rename(tmp.c_str(), path_.c_str()) == 0;
    if (!ok) ::unlink(tmp.c_str());
    else written_ = text;
    return ok;
}

bool RegFileStore::Commit()
{
    const bool ok = CommitFile();
    if (!ok) Log::Write(Log::Category::Store, Log::Level::Warning, "cannot write the store " + path_);
    return ok;
}
