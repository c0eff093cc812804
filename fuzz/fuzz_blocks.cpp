// The blocks and replies a pylon sends: decoded without a crash, taken over
// only when their checksum matches.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "comm/Frames.h"
#include "model/PylonConfig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Frames::PriceBlock price{};
    Frames::FontBlock font{};
    std::memcpy(price.data(), data, std::min(size, price.size()));
    if (size > price.size()) std::memcpy(font.data(), data + price.size(), std::min(size - price.size(), font.size()));

    PylonConfig m;
    const PylonConfig before(m);
    const int r = Frames::DecodePriceBlock(price, m);
    if (r != 0 && r != 204) std::abort();
    if (r == 204 && !m.SameFields(before)) std::abort();
    // A block taken over is exactly the block the pylon would send back.
    if (r == 0 && Frames::MakePriceBlock(m) != price) std::abort();
    const PylonConfig mid(m);
    const int f = Frames::DecodeFontBlock(font, m);
    if (f != 0 && f != 204) std::abort();
    if (f == 204 && !m.SameFields(mid)) std::abort();
    if (size >= 2) {
        const int reply = Frames::DecodeReply(data[0], data[1]);
        if (reply < 0 || reply > 255 || (data[0] != data[1] && reply != 0)) std::abort();
    }
    return 0;
}
