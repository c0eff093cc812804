#include "model/UserStore.h"

#include <cstdlib>

#include "model/MemoryRegStore.h"
#include "model/RegFileStore.h"

// On POSIX systems the registry's per-user hive is a text file in the user's
// configuration folder.
std::string UserStore::Location()
{
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = std::string(home) + "/.config";
    } else {
        return {};
    }
    return base + "/Lumarq Technology/Pylon2/user.reg";
}

std::unique_ptr<RegStore> UserStore::Open(StoreTrouble* trouble)
{
    const std::string path = Location();
    if (path.empty()) return std::make_unique<MemoryRegStore>();
    auto store = std::make_unique<RegFileStore>(path);
    if (trouble) *trouble = store->Trouble();
    return store;
}
