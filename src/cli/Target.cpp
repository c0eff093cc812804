#include "cli/Target.h"

#include <charconv>

#include "comm/SerialPort.h"
#include "model/Cp1250.h"

namespace {

bool ParseInt(const std::string& text, int& value)
{
    if (text.empty() || text.size() > 9) return false;
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && p == end;
}

// Four decimal groups of one to three digits, each at most 255, as the link takes them.
bool IsDottedIPv4(const std::string& text)
{
    size_t i = 0;
    for (int group = 0; group < 4; ++group) {
        if (group > 0) {
            if (i >= text.size() || text[i] != '.') return false;
            ++i;
        }
        int value = 0, digits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 3) {
            value = value * 10 + (text[i++] - '0');
            ++digits;
        }
        if (digits == 0 || value > 255) return false;
    }
    return i == text.size();
}

constexpr size_t ComNameWidth = 20;

}  // namespace

std::string Target::Label() const
{
    if (kind == Kind::Network) return address + ":" + std::to_string(port);
    std::string label = "serial:" + Cp1250::ToUtf8(device);
    if (speedCode != 0) label += "@" + std::to_string(SerialPort::RateOf(speedCode));
    return label;
}

std::optional<Target> ParseTarget(const std::string& text, std::string& error)
{
    Target t;
    const std::string serialPrefix = "serial:";
    if (text.rfind(serialPrefix, 0) == 0) {
        t.kind = Target::Kind::Serial;
        std::string rest = text.substr(serialPrefix.size());
        const size_t at = rest.rfind('@');
        if (at != std::string::npos) {
            int rate = 0;
            const std::string rateText = rest.substr(at + 1);
            if (!ParseInt(rateText, rate)) {
                error = "target " + text + ": '" + rateText + "' is not a baud rate";
                return std::nullopt;
            }
            for (int code = SerialPort::Baud110; code <= SerialPort::Baud256000; ++code)
                if (SerialPort::RateOf(code) == rate) t.speedCode = code;
            if (t.speedCode == 0) {
                error = "target " + text + ": the serial port has no rate " + rateText +
                        " (110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600, "
                        "115200, 128000, 256000)";
                return std::nullopt;
            }
            rest.resize(at);
        }
        t.device = Cp1250::FromUtf8(rest);
        if (rest.empty() || t.device.size() > ComNameWidth || Cp1250::ToUtf8(t.device) != rest) {
            error = "target " + text + ": a serial port name is 1 to 20 characters of Windows-1250";
            return std::nullopt;
        }
        return t;
    }

    t.address = text;
    const size_t colon = text.find(':');
    if (colon != std::string::npos) {
        t.address = text.substr(0, colon);
        if (!ParseInt(text.substr(colon + 1), t.port) || t.port < 1 || t.port > 65535) {
            error = "target " + text + ": the port is 1 to 65535";
            return std::nullopt;
        }
    }
    if (!IsDottedIPv4(t.address)) {
        error = "target " + text + ": not IP[:PORT] (dotted IPv4) or serial:NAME[@BAUD]";
        return std::nullopt;
    }
    return t;
}

std::vector<Target> NetworkTargets(const PylonConfig& model)
{
    std::vector<Target> list;
    for (const auto& entry : model.NetSettings) {
        if (!entry.Active) continue;
        Target t;
        t.address = entry.IP;
        t.port = entry.Port;
        t.name = Cp1250::ToUtf8(entry.Name);
        list.push_back(t);
    }
    return list;
}

void AimAt(PylonConfig& model, const Target& target)
{
    if (target.kind == Target::Kind::Serial) {
        model.UseCOM = true;
        model.ComName = target.device;
        model.ComSpeed = int8_t(target.speedCode);
        return;
    }
    model.UseCOM = false;
    PylonConfig::NetworkPylon entry;
    entry.Name = Cp1250::FromUtf8(target.name);
    entry.IP = target.address;
    entry.Port = target.port;
    entry.Active = true;
    model.NetSettings = {entry};
}
