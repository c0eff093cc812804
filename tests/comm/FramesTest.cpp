#include <gtest/gtest.h>

#include "comm/Frames.h"
#include "model/PylonConfig.h"

namespace {

std::vector<uint8_t> Tail(const uint8_t* b, size_t size, size_t n)
{
    return std::vector<uint8_t>(b + size - n, b + size);
}

std::vector<uint8_t> WireSum(const std::vector<uint8_t>& bytes)
{
    const uint32_t c = Checksum(bytes.data(), bytes.size());
    return {uint8_t(c >> 24), uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)};
}

}  // namespace

TEST(Checksum, KnownVectors)
{
    EXPECT_EQ(Checksum(nullptr, 0), 0u);
    const uint8_t abc[] = {0x61, 0x62, 0x63};
    EXPECT_EQ(Checksum(abc, 3), 0x129u);
    EXPECT_EQ(WireSum(std::vector<uint8_t>(26, 0x01)), (std::vector<uint8_t>{0x01, 0xFF, 0xFF, 0xFE}));
    EXPECT_EQ(WireSum(std::vector<uint8_t>(25, 0xFF)), (std::vector<uint8_t>{0xAA, 0x00, 0x00, 0x55}));
    const uint8_t x[] = {0x03, 0x02};
    EXPECT_EQ(XorCheck(x, 2), 0x01);
}

TEST(Frames, BlocksFromTheDefaults)
{
    PylonConfig m;
    EXPECT_EQ(Frames::MakeHeader(Frames::CmdSendDigits), (Frames::Header{0x4B, 0x64, 0x34, 0x14}));

    const auto digits = Frames::MakeDigitsBlock(m);
    for (int i = 0; i < 42; ++i) EXPECT_EQ(digits[i], 0x30);
    EXPECT_EQ(Tail(digits.data(), 46, 4), (std::vector<uint8_t>{0x20, 0x20, 0x00, 0x00}));

    auto ls = Frames::MakeLineSettingsBlock(m);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(std::vector<uint8_t>(ls.begin() + 5 * i, ls.begin() + 5 * i + 5),
                  (std::vector<uint8_t>{2, 0, 0, 0, 0}));
    EXPECT_EQ(Tail(ls.data(), 43, 8), (std::vector<uint8_t>{0x64, 0x64, 0x50, 0x00, 0x00, 0x26, 0xB8, 0x00}));
    m.UseGamma = true;
    ls = Frames::MakeLineSettingsBlock(m);
    EXPECT_EQ(Tail(ls.data(), 43, 5), (std::vector<uint8_t>{0x16, 0x00, 0x24, 0x78, 0x00}));

    const auto font = Frames::MakeFontBlock(m);
    EXPECT_EQ(font[0], 3);
    for (int i = 1; i < 18; ++i) EXPECT_EQ(font[i], 0);
    EXPECT_EQ(Tail(font.data(), 22, 4), (std::vector<uint8_t>{0, 0, 0, 3}));

    m.UseGamma = false;
    const auto price = Frames::MakePriceBlock(m);
    EXPECT_EQ(Tail(price.data(), 85, 4), (std::vector<uint8_t>{0x00, 0x22, 0xBC, 0x00}));

    EXPECT_EQ(Frames::MakeServiceSettings(3, 2), (Frames::ServiceSettings{3, 2, 1}));
    EXPECT_EQ(Frames::MakeServiceSettings(5, 5), (Frames::ServiceSettings{5, 5, 0}));
}

TEST(Frames, WireOrderOfLineFlagsAndDigitPositions)
{
    PylonConfig m;
    m.Prices[2].Conf = {/*blink*/ 1, /*off*/ 0, /*point*/ 4, /*zeros*/ 1, /*dash*/ 1};
    m.Prices[4].Price[3] = 9;
    m.Prices[1].Price[0] = 250;  // out of range: travels modulo 256
    const auto ls = Frames::MakeLineSettingsBlock(m);
    EXPECT_EQ(std::vector<uint8_t>(ls.begin() + 10, ls.begin() + 15), (std::vector<uint8_t>{4, 1, 1, 0, 1}));
    const auto d = Frames::MakeDigitsBlock(m);
    EXPECT_EQ(d[6 * 4 + 3], 0x39);
    EXPECT_EQ(d[6], uint8_t(250 + 0x30));
}

TEST(Frames, Replies)
{
    EXPECT_EQ(Frames::DecodeReply(0xAA, 0xAA), 170);
    EXPECT_EQ(Frames::DecodeReply(0xAA, 0x00), 0);
    EXPECT_EQ(Frames::DecodeReply(0x00, 0xAA), 0);
    EXPECT_EQ(Frames::DecodeReply(0xCC, 0xCC), 204);
    EXPECT_EQ(Frames::DecodeReply(0xFE, 0xFE), 254);
}

TEST(Frames, PriceBlockDecodesAndABadChecksumChangesNothing)
{
    PylonConfig pylon;
    pylon.Prices[0].Conf = {1, 1, 3, 1, 1};
    pylon.Prices[6].Price = {9, 8, 7, 6, 5, 4};
    pylon.Conf = {11, 22, 33, 0};
    pylon.UseGamma = true;  // gamma 0 on the wire
    auto block = Frames::MakePriceBlock(pylon);
    block[39] = 0x20;  // below "0": stored as 240
    const uint32_t c = Checksum(block.data(), 81);
    block[81] = uint8_t(c >> 24);
    block[82] = uint8_t(c >> 16);
    block[83] = uint8_t(c >> 8);
    block[84] = uint8_t(c);

    PylonConfig m;
    m.UseGamma = true;
    m.Prices[0].Name = "kept";
    ASSERT_EQ(Frames::DecodePriceBlock(block, m), 0);
    EXPECT_EQ(m.Prices[0].Conf, (LineSettings{1, 1, 3, 1, 1}));
    EXPECT_EQ(m.Prices[6].Price, (std::array<uint8_t, 6>{9, 8, 7, 6, 5, 4}));
    EXPECT_EQ(m.Prices[0].Price[0], 240);
    EXPECT_EQ(m.Conf, (BrightnessSettings{11, 22, 33, 0}));
    EXPECT_FALSE(m.UseGamma);  // gamma byte 0 clears it
    EXPECT_EQ(m.Prices[0].Name, "kept");

    block[38] = 15;  // gamma now, checksum no longer matches
    PylonConfig untouched;
    const PylonConfig before(untouched);
    EXPECT_EQ(Frames::DecodePriceBlock(block, untouched), 204);
    EXPECT_TRUE(untouched.SameFields(before));
}

TEST(Frames, FontBlockIgnoresPaddingButChecksumsIt)
{
    Frames::FontBlock b{};
    b[0] = 7;
    b[1] = 2;
    b[10] = 0x55;
    const uint32_t c = Checksum(b.data(), 18);
    b[18] = uint8_t(c >> 24);
    b[19] = uint8_t(c >> 16);
    b[20] = uint8_t(c >> 8);
    b[21] = uint8_t(c);
    PylonConfig m;
    ASSERT_EQ(Frames::DecodeFontBlock(b, m), 0);
    EXPECT_EQ(m.FontConf, (FontSettings{7, 2}));
    b[10] = 0;
    PylonConfig n;
    EXPECT_EQ(Frames::DecodeFontBlock(b, n), 204);
    EXPECT_EQ(n.FontConf, (FontSettings{3, 0}));
}
