// Any store text as the operator's last session and language: whatever the
// values, the model loads with every text within its field, and what loaded
// saves to a store that loads to the same model.
#include <cstdlib>
#include <string>

#include "model/PylonConfig.h"
#include "model/MemoryRegStore.h"
#include "model/RegText.h"
#include "model/SessionStore.h"
#include "model/ApplicationSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MemoryRegStore store;
    RegText::Parse(std::string(reinterpret_cast<const char*>(data), size), store);

    PylonConfig m;
    SessionStore::Load(m, store);
    if (m.ComName.size() > 20) std::abort();
    for (const auto& line : m.Prices)
        if (line.Name.size() > 20) std::abort();
    for (const auto& e : m.NetSettings)
        if (e.Name.size() > 20 || e.IP.size() > 15) std::abort();

    MemoryRegStore saved;
    SessionStore::Save(m, saved);
    PylonConfig again;
    SessionStore::Load(again, saved);
    if (!again.SameFields(m)) std::abort();

    std::string lang;
    {
        ApplicationSettings settings(&store);
        lang = settings.LangId;
    }  // saves it back
    ApplicationSettings back(&store);
    if (back.LangId != lang) std::abort();
    return 0;
}
