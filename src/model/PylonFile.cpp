#include "model/PylonFile.h"

#include <cstring>
#include <string_view>

#include "log/Log.h"
#include "model/PylonConfig.h"
#include "model/SafeFile.h"

namespace {

constexpr size_t NameWidth = 20;
constexpr size_t IpWidth = 15;

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutText(std::vector<uint8_t>& out, const std::string& text, size_t width)
{
    for (size_t i = 0; i < width; ++i) out.push_back(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
}

uint32_t Get32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

std::string GetText(const uint8_t* p, size_t width)
{
    size_t n = 0;
    while (n < width && p[n] != 0) ++n;
    return std::string(reinterpret_cast<const char*>(p), n);
}

}  // namespace

std::vector<uint8_t> PylonFile::Encode(const PylonConfig& m, int32_t version)
{
    std::vector<uint8_t> out;
    out.reserve(BaseSize + EntrySize * m.NetSettings.size());
    for (char c : std::string_view("LMQT-KD4M-SAV")) out.push_back(static_cast<uint8_t>(c));
    Put32(out, static_cast<uint32_t>(version));
    Put32(out, 0);  // length, filled in below
    Put32(out, 0);  // completion marker, filled in below
    for (const auto& line : m.Prices) {
        PutText(out, line.Name, NameWidth);
        out.insert(out.end(), line.Price.begin(), line.Price.end());
    }
    const auto count = static_cast<uint16_t>(static_cast<int16_t>(m.NetSettings.size()));
    out.push_back(static_cast<uint8_t>(count));
    out.push_back(static_cast<uint8_t>(count >> 8));
    for (const auto& e : m.NetSettings) {
        PutText(out, e.Name, NameWidth);
        PutText(out, e.IP, IpWidth);
        const auto port = static_cast<uint16_t>(e.Port);
        out.push_back(static_cast<uint8_t>(port));
        out.push_back(static_cast<uint8_t>(port >> 8));
        out.push_back(e.Active ? 1 : 0);
    }
    for (const auto& line : m.Prices) {
        out.push_back(line.Conf.DecimalPoint);
        out.push_back(line.Conf.PriceBlinking);
        out.push_back(line.Conf.PriceDash);
        out.push_back(line.Conf.PriceOff);
        out.push_back(line.Conf.ZerosOff);
    }
    out.push_back(m.Conf.Left);
    out.push_back(m.Conf.Right);
    out.push_back(m.Conf.Sensor);
    out.push_back(m.Conf.Gamma);
    out.push_back(m.DOMS ? 1 : 0);
    out.push_back(m.UseCOM ? 1 : 0);
    PutText(out, m.ComName, NameWidth);
    out.push_back(static_cast<uint8_t>(m.ComSpeed));
    out.push_back(m.UseGamma ? 1 : 0);

    const auto length = static_cast<uint32_t>(out.size());
    for (int i = 0; i < 4; ++i) {
        out[LengthOffset + i] = static_cast<uint8_t>(length >> (8 * i));
        out[LengthOffset + 4 + i] = static_cast<uint8_t>(CompletionMarker >> (8 * i));
    }
    return out;
}

int PylonFile::Decode(const uint8_t* data, size_t size, PylonConfig& model, FileHeader& header)
{
    header.Length = static_cast<int32_t>(size);
    if (size < 5 || std::memcmp(data, "LMQT-", 5) != 0) return NoMakerCode;
    if (size < 10 || std::memcmp(data + 5, "KD4M-", 5) != 0) return NoProductCode;
    std::memcpy(header.Code.data(), "KD4M", 5);
    if (size < 13 || std::memcmp(data + 10, "SAV", 3) != 0) return NoSav;
    if (size < 17 || static_cast<int32_t>(Get32(data + 13)) > header.Version) return VersionTooNew;
    if (size < 21 || Get32(data + 17) != size) return LengthMismatch;
    if (size < 25 || Get32(data + 21) != CompletionMarker) return NotCompleted;

    // The body must hold every section the count promises; otherwise the
    // length field was written by something else and the file is refused.
    if (size < 209) return LengthMismatch;
    const auto count = static_cast<int16_t>(uint16_t(data[207]) | uint16_t(data[208]) << 8);
    const size_t entries = count > 0 ? static_cast<size_t>(count) : 0;
    if (size < BaseSize + EntrySize * entries) return LengthMismatch;

    PylonConfig scratch(model);
    scratch.DetachSession();
    const uint8_t* p = data + HeaderSize;
    for (auto& line : scratch.Prices) {
        line.Name = GetText(p, NameWidth);
        std::memcpy(line.Price.data(), p + NameWidth, 6);
        p += 26;
    }
    p += 2;
    scratch.NetSettings.clear();
    for (size_t i = 0; i < entries; ++i) {
        PylonConfig::NetworkPylon e;
        e.Name = GetText(p, NameWidth);
        e.IP = GetText(p + NameWidth, IpWidth);
        e.Port = uint16_t(p[35]) | uint16_t(p[36]) << 8;
        e.Active = p[37] != 0;
        scratch.NetSettings.push_back(std::move(e));
        p += EntrySize;
    }
    for (auto& line : scratch.Prices) {
        line.Conf.DecimalPoint = p[0];
        line.Conf.PriceBlinking = p[1];
        line.Conf.PriceDash = p[2];
        line.Conf.PriceOff = p[3];
        line.Conf.ZerosOff = p[4];
        p += 5;
    }
    scratch.Conf.Left = p[0];
    scratch.Conf.Right = p[1];
    scratch.Conf.Sensor = p[2];
    scratch.Conf.Gamma = p[3];
    scratch.DOMS = p[4] != 0;
    scratch.UseCOM = p[5] != 0;
    scratch.ComName = GetText(p + 6, NameWidth);
    scratch.ComSpeed = static_cast<int8_t>(p[26]);
    scratch.UseGamma = p[27] != 0;
    model.AssignFields(scratch);
    return Ok;
}

int PylonFile::SaveFile(const PylonConfig& model, const std::string& fileName, FileHeader& header)
{
    const std::vector<uint8_t> bytes = Encode(model, header.Version);
    header.LengthPos = static_cast<int32_t>(LengthOffset);
    header.Length = static_cast<int32_t>(bytes.size());
    switch (SafeFile::WriteAtomic(fileName, bytes.data(), bytes.size())) {
    case SafeFile::Status::Ok: return Ok;
    case SafeFile::Status::WriteFailed: return WriteFailed;
    default: return CannotOpen;  // not a regular file, no permission, no folder
    }
}

int PylonFile::LoadFile(PylonConfig& model, const std::string& fileName, FileHeader& header)
{
    std::vector<uint8_t> data;
    const SafeFile::Status status = SafeFile::Read(fileName, data, ReadCap);
    if (status != SafeFile::Status::Ok && status != SafeFile::Status::TooLarge) return CannotOpen;
    // The header of an oversized file is checked like any other; its length
    // can never match what was read.
    const int result = Decode(data.data(), data.size(), model, header);
    if (status == SafeFile::Status::TooLarge && result == Ok) return LengthMismatch;
    return result;
}

// ---- the file log: every open and save with its result

namespace {

const char* ResultText(int result)
{
    switch (result) {
    case PylonFile::Ok: return "OK";
    case PylonFile::NoMakerCode: return "no maker code";
    case PylonFile::NoProductCode: return "no product code";
    case PylonFile::NoSav: return "not a saved configuration";
    case PylonFile::VersionTooNew: return "format version too new";
    case PylonFile::LengthMismatch: return "length does not match";
    case PylonFile::NotCompleted: return "not completed";
    case PylonFile::CannotOpen: return "cannot open";
    case PylonFile::WriteFailed: return "write failed";
    }
    return "unknown result";
}

int Logged(const char* what, const std::string& fileName, int result)
{
    Log::Write(Log::Category::File, result == PylonFile::Ok ? Log::Level::Info : Log::Level::Warning,
               std::string(what) + " " + fileName + ": " + std::to_string(result) + " (" + ResultText(result) + ")");
    return result;
}

}  // namespace

int PylonFile::Save(const PylonConfig& model, const std::string& fileName, FileHeader& header)
{
    return Logged("save", fileName, SaveFile(model, fileName, header));
}

int PylonFile::Load(PylonConfig& model, const std::string& fileName, FileHeader& header)
{
    return Logged("open", fileName, LoadFile(model, fileName, header));
}
