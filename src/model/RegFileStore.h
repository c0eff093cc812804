#pragma once
#include <string>

#include "model/MemoryRegStore.h"
#include "model/RegText.h"

// What was wrong with the store's file when it was read; the program tells
// the operator once, at start-up.
struct StoreTrouble {
    enum class Kind {
        None,
        Damaged,     // not a registry export; moved to `aside`
        TooLarge,    // more than RegFileStore::MaxFileSize bytes; moved to `aside`
        Unreadable,  // not a regular file, not readable, or could not be moved
                     // aside: left as it is, and nothing is written over it
    };
    Kind kind = Kind::None;
    std::string path;    // the store's file
    std::string aside;   // Damaged, TooLarge: the file's new name
    std::string reason;  // Unreadable: what stood in the way
};

// The per-user store kept in one registry-export text file. The file is read
// once when the store is made, without blocking and at most MaxFileSize bytes
// of it; Commit replaces it atomically (a temporary file in the same folder,
// renamed over it; a symbolic link is followed). What the reader does not
// understand is written back as it stood, and a file read in the Windows form
// is written back in it. A missing or empty file reads as an empty store; a
// file that is no registry export, or too large, is renamed aside
// ("user.reg.damaged-<date>") before anything is written; a file that cannot
// be read or is no regular file is never written over. Committing a state the
// file already holds writes nothing: every released model snapshot commits,
// and most change nothing. Before writing, Commit reads the file again: when
// another program changed it meanwhile, only what this store changed since it
// last read or wrote the file is laid over the other program's version.
class RegFileStore : public MemoryRegStore {
public:
    static constexpr size_t MaxFileSize = 8u << 20;

    explicit RegFileStore(std::string path);

    bool Commit() override;
    const std::string& Path() const { return path_; }
    // Whether the file existed and read as a registry export.
    bool LoadedFromFile() const { return loaded_; }
    const StoreTrouble& Trouble() const { return trouble_; }

private:
    void SetAside(StoreTrouble::Kind kind);

    std::string path_;
    bool loaded_ = false;
    bool writable_ = true;
    StoreTrouble trouble_;
    RegLayout layout_;     // the file's form and lines, as last read or written
    MemoryRegStore base_;  // the values the file held then
    std::string written_;  // the file's bytes then, to skip rewriting it unchanged
};
