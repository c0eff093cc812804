#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

class PylonConfig;

// 32-bit block checksum: each byte XORed in shifted left by 0, 1, ... 24 bits,
// the shift starting over at 0 after 24 (a period of 25).
uint32_t Checksum(const uint8_t* bytes, size_t count);
// 8-bit XOR of the bytes.
uint8_t XorCheck(const uint8_t* bytes, size_t count);

// The wire between the configurator and the pylon's controller: a 4-byte
// header "K" "d" "4" + command, two-byte replies, checksummed blocks with the
// checksum big-endian after the block. The same bytes travel over TCP and the
// serial line.
namespace Frames {

constexpr uint8_t HeaderK = 0x4B, HeaderD = 0x64, Header4 = 0x34;

constexpr uint8_t CmdSendDigits = 0x14;
constexpr uint8_t CmdSendLineSettings = 0x15;
constexpr uint8_t CmdReadPriceBlock = 0x16;
constexpr uint8_t CmdServiceSettings = 0x17;
constexpr uint8_t CmdSendFonts = 0x19;
constexpr uint8_t CmdReadFontBlock = 0x1A;
constexpr uint8_t CmdServiceTest = 0x1D;

constexpr uint8_t ReplyMemoryError = 0x65;
constexpr uint8_t ReplyAck = 0xAA;
constexpr uint8_t ReplyCrcError = 0xCC;
constexpr uint8_t ReplyInvalidCommand = 0xFE;

constexpr size_t HeaderSize = 4;
constexpr size_t ReplySize = 2;
constexpr size_t DigitsBlockSize = 46;
constexpr size_t LineSettingsBlockSize = 43;
constexpr size_t FontBlockSize = 22;
constexpr size_t PriceBlockSize = 85;
constexpr size_t ServiceSettingsSize = 3;

using Header = std::array<uint8_t, HeaderSize>;
using DigitsBlock = std::array<uint8_t, DigitsBlockSize>;
using LineSettingsBlock = std::array<uint8_t, LineSettingsBlockSize>;
using FontBlock = std::array<uint8_t, FontBlockSize>;
using PriceBlock = std::array<uint8_t, PriceBlockSize>;
using ServiceSettings = std::array<uint8_t, ServiceSettingsSize>;

Header MakeHeader(uint8_t command);
DigitsBlock MakeDigitsBlock(const PylonConfig& model);
LineSettingsBlock MakeLineSettingsBlock(const PylonConfig& model);
FontBlock MakeFontBlock(const PylonConfig& model);
ServiceSettings MakeServiceSettings(uint8_t first, uint8_t second);

// Equal bytes: that byte; unequal: 0, which matches no reply code.
int DecodeReply(uint8_t first, uint8_t second);

// Whether the big-endian checksum after `count` bytes matches them.
bool ChecksumMatches(const uint8_t* block, size_t count);

constexpr int BlockOk = 0;
constexpr int BlockCrcError = 204;

// A received price block: line settings, brightness, gamma (UseGamma becomes
// gamma != 0) and the 42 digit characters. The model changes only when the
// checksum matches; the result is BlockOk or BlockCrcError.
int DecodePriceBlock(const PriceBlock& block, PylonConfig& model);
// A received font block: bytes 0 and 1; 2 to 17 are only checksummed.
int DecodeFontBlock(const FontBlock& block, PylonConfig& model);

// The block the pylon sends for its state (used by the pylon emulator).
PriceBlock MakePriceBlock(const PylonConfig& model);

}  // namespace Frames
