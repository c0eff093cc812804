#pragma once
#include <string>

#include "model/MemoryRegStore.h"

// The per-user store kept in one registry-export text file. The file is read
// once when the store is made; Commit replaces it atomically (a temporary file
// in the same folder, renamed over it). A missing, unreadable or damaged file
// reads as an empty store. Committing a state the file already holds writes
// nothing: every released model snapshot commits, and most change nothing.
class RegFileStore : public MemoryRegStore {
public:
    explicit RegFileStore(std::string path);

    bool Commit() override;
    const std::string& Path() const { return path_; }
    // Whether the file existed and read as a registry export.
    bool LoadedFromFile() const { return loaded_; }

private:
    bool CommitFile();

    std::string path_;
    bool loaded_ = false;
    std::string written_;  // the text the file holds, to skip rewriting it unchanged
};
