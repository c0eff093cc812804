#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reading and writing whole files without ever blocking on something that is
// not a file, and without leaving a damaged target behind.
//
// Reads open without blocking, refuse anything but a regular file (a FIFO, a
// device, a socket answers at once) and never hold more than a cap. Writes go
// to a temporary file in the target's folder that is renamed over the target
// once it is complete on disk; a symbolic link is followed, so the link stays
// and its target is replaced. Temporary files are named ".lmq~" + a hash of
// the target's name + a random part, short enough for any name the system
// allows; a write removes those of its own target that an earlier, killed
// write left behind.
namespace SafeFile {

enum class Status {
    Ok,
    NotFound,    // nothing at the name (or a folder on the way is missing)
    NotRegular,  // a folder, FIFO, device or socket
    TooLarge,    // more bytes than the cap; the first `cap` bytes were kept
    OpenFailed,  // no permission, or the temporary file could not be made
    ReadFailed,
    WriteFailed,  // writing, syncing or renaming failed; the target is unchanged
};

const char* StatusText(Status status);

// The whole file into `out` (at most `cap` bytes). On TooLarge `out` holds the
// first `cap` bytes, on any other failure it is empty; after OpenFailed and
// ReadFailed errno tells why.
Status Read(const std::string& path, std::vector<uint8_t>& out, size_t cap);
Status Read(const std::string& path, std::string& out, size_t cap);

// Whether `path` (links followed) names a regular file; never opens it.
bool IsRegularFile(const std::string& path);

// The name a write to `path` replaces: symbolic links followed (also one that
// points to nothing yet), relative links taken from their own folder.
std::string WriteTarget(const std::string& path);

// The start of every temporary file name of `target` (a name within its
// folder, without the folder): ".lmq~" + 16 hexadecimal digits + ".".
std::string TempPrefix(const std::string& target);

// Writes `size` bytes as the new content of `path` (see above). A target that
// exists and is not a regular file is refused with NotRegular; one that exists
// and may not be written with OpenFailed. The new file keeps the old one's
// permission bits (a new file gets 0666 less the umask).
Status WriteAtomic(const std::string& path, const void* data, size_t size);

// Removes the temporary files of `target` that no running write holds;
// returns how many were removed.
int RemoveStaleTemps(const std::string& target);

}  // namespace SafeFile
