#pragma once
#include <cstdint>
#include <string>

// What the send history needs from the system, one implementation per system.
namespace HistoryPlatform {

// The per-user history file:
// ${XDG_DATA_HOME:-$HOME/.local/share}/Lumarq Technology/Pylon2/history.sqlite.
std::string DefaultPath();
// Creates the folders of `path` up to its file; false when they cannot be made.
bool MakeParentFolders(const std::string& path);
// Renames `from` to `to`; false when it fails (the file stays where it was).
bool Rename(const std::string& from, const std::string& to);
bool Exists(const std::string& path);
// The operating-system user and the host's name (empty when unknown).
std::string UserName();
std::string HostName();
// Minutes east of UTC of the local time zone at `utcMs`.
int UtcOffsetMinutes(int64_t utcMs);

}  // namespace HistoryPlatform
