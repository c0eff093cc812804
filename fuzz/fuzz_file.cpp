// Any byte sequence opened as a configuration file: a result code, never a
// crash, and the model changes only on a file that opened.
#include <cstdlib>

#include "model/K_PYLON.h"
#include "model/PylonFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    K_PYLON m;
    const K_PYLON before(m);
    K_FILE header;
    const int r = PylonFile::Decode(data, size, m, header);
    if (r < 0 || r > 6) std::abort();
    if (r != 0 && !m.SameFields(before)) std::abort();
    if (r == 0) {
        // What opened saves back to a file that opens to the same model.
        const auto again = PylonFile::Encode(m, 3);
        K_PYLON n;
        if (PylonFile::Decode(again.data(), again.size(), n, header) != 0) std::abort();
        n.FontConf = m.FontConf;
        if (!n.SameFields(m)) std::abort();
    }
    return 0;
}
