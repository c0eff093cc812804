#include "comm/Frames.h"

#include "model/PylonConfig.h"

uint32_t Checksum(const uint8_t* bytes, size_t count)
{
    uint32_t c = 0;
    unsigned shift = 0;
    for (size_t i = 0; i < count; ++i) {
        c ^= uint32_t(bytes[i]) << shift;
        if (++shift > 24) shift = 0;
    }
    return c;
}

uint8_t XorCheck(const uint8_t* bytes, size_t count)
{
    uint8_t r = 0;
    for (size_t i = 0; i < count; ++i) r ^= bytes[i];
    return r;
}

namespace Frames {
namespace {

void PutChecksum(uint8_t* block, size_t count)
{
    const uint32_t c = Checksum(block, count);
    block[count] = uint8_t(c >> 24);
    block[count + 1] = uint8_t(c >> 16);
    block[count + 2] = uint8_t(c >> 8);
    block[count + 3] = uint8_t(c);
}

// The five line bytes in wire order: point, blinking, dash, off, zeros.
void PutLineSettings(uint8_t* out, const PylonConfig& m)
{
    for (int i = 0; i < 7; ++i) {
        const LineSettings& c = m.Prices[i].Conf;
        uint8_t* p = out + 5 * i;
        p[0] = c.DecimalPoint;
        p[1] = c.PriceBlinking;
        p[2] = c.PriceDash;
        p[3] = c.PriceOff;
        p[4] = c.ZerosOff;
    }
}

void PutDigits(uint8_t* out, const PylonConfig& m)
{
    for (int i = 0; i < 7; ++i)
        for (int j = 0; j < 6; ++j) out[6 * i + j] = uint8_t(m.Prices[i].Price[j] + 0x30);
}

}  // namespace

Header MakeHeader(uint8_t command) { return {HeaderK, HeaderD, Header4, command}; }

DigitsBlock MakeDigitsBlock(const PylonConfig& m)
{
    DigitsBlock b{};
    PutDigits(b.data(), m);
    PutChecksum(b.data(), 42);
    return b;
}

LineSettingsBlock MakeLineSettingsBlock(const PylonConfig& m)
{
    LineSettingsBlock b{};
    PutLineSettings(b.data(), m);
    b[35] = m.Conf.Left;
    b[36] = m.Conf.Right;
    b[37] = m.Conf.Sensor;
    b[38] = m.UseGamma ? m.Conf.Gamma : 0;
    PutChecksum(b.data(), 39);
    return b;
}

FontBlock MakeFontBlock(const PylonConfig& m)
{
    FontBlock b{};
    b[0] = m.FontConf.BasicFont;
    b[1] = m.FontConf.UpperIndex;
    PutChecksum(b.data(), 18);
    return b;
}

ServiceSettings MakeServiceSettings(uint8_t first, uint8_t second)
{
    ServiceSettings s{first, second, 0};
    s[2] = XorCheck(s.data(), 2);
    return s;
}

PriceBlock MakePriceBlock(const PylonConfig& m)
{
    PriceBlock b{};
    PutLineSettings(b.data(), m);
    b[35] = m.Conf.Left;
    b[36] = m.Conf.Right;
    b[37] = m.Conf.Sensor;
    b[38] = m.UseGamma ? m.Conf.Gamma : 0;
    PutDigits(b.data() + 39, m);
    PutChecksum(b.data(), 81);
    return b;
}

int DecodeReply(uint8_t first, uint8_t second) { return first == second ? first : 0; }

bool ChecksumMatches(const uint8_t* block, size_t count)
{
    const uint32_t got = uint32_t(block[count]) << 24 | uint32_t(block[count + 1]) << 16 |
                         uint32_t(block[count + 2]) << 8 | uint32_t(block[count + 3]);
    return got == Checksum(block, count);
}

int DecodePriceBlock(const PriceBlock& b, PylonConfig& m)
{
    // A block that fails its checksum is not taken over at all.
    if (!ChecksumMatches(b.data(), 81)) return BlockCrcError;
    for (int i = 0; i < 7; ++i) {
        LineSettings& c = m.Prices[i].Conf;
        const uint8_t* p = b.data() + 5 * i;
        c.DecimalPoint = p[0];
        c.PriceBlinking = p[1];
        c.PriceDash = p[2];
        c.PriceOff = p[3];
        c.ZerosOff = p[4];
    }
    m.Conf.Left = b[35];
    m.Conf.Right = b[36];
    m.Conf.Sensor = b[37];
    m.Conf.Gamma = b[38];
    m.UseGamma = b[38] != 0;
    for (int i = 0; i < 7; ++i)
        for (int j = 0; j < 6; ++j) m.Prices[i].Price[j] = uint8_t(b[39 + 6 * i + j] - 0x30);
    return BlockOk;
}

int DecodeFontBlock(const FontBlock& b, PylonConfig& m)
{
    if (!ChecksumMatches(b.data(), 18)) return BlockCrcError;
    m.FontConf.BasicFont = b[0];
    m.FontConf.UpperIndex = b[1];
    return BlockOk;
}

}  // namespace Frames
