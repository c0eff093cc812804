#include "model/SessionStore.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "model/Cp1250.h"
#include "model/PylonConfig.h"
#include "model/RegStore.h"

namespace {

constexpr size_t NameWidth = 20;
constexpr size_t IpWidth = 15;

std::optional<RegValue> ReadTyped(const RegStore& s, const std::string& key, const std::string& name,
                                  RegValue::Type type)
{
    auto v = s.ReadValue(key, name);
    if (!v || v->type != type) return std::nullopt;
    return v;
}

std::optional<std::string> ReadText(const RegStore& s, const std::string& key, const std::string& name, size_t width)
{
    auto v = ReadTyped(s, key, name, RegValue::Type::String);
    if (!v) return std::nullopt;
    return Cp1250::Fit(Cp1250::FromUtf8(v->text), width);
}

// Subkey names in numeric order; names that are not numbers keep their place after them.
std::vector<std::string> NumericOrder(std::vector<std::string> names)
{
    auto number = [](const std::string& n) -> long long {
        long long v = 0;
        auto [p, ec] = std::from_chars(n.data(), n.data() + n.size(), v);
        if (ec != std::errc() || p != n.data() + n.size() || n.empty()) return -1;
        return v;
    };
    std::stable_sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
        long long x = number(a), y = number(b);
        if (x < 0 || y < 0) return x >= 0 && y < 0;
        return x < y;
    });
    return names;
}

}  // namespace

void SessionStore::Save(const PylonConfig& m, RegStore& s)
{
    if (!s.CreateKey(SessionKey)) return;
    const std::vector<uint8_t> conf = {m.Conf.Left,
                                       m.Conf.Right,
                                       m.Conf.Sensor,
                                       m.Conf.Gamma,
                                       uint8_t(m.DOMS ? 1 : 0),
                                       uint8_t(m.UseCOM ? 1 : 0),
                                       uint8_t(m.UseGamma ? 1 : 0)};
    // A speed set back to "not chosen" must not bring an old code back next start.
    if (m.ComSpeed != 0)
        s.WriteValue(SessionKey, "ComSpeed", RegValue::DWord(static_cast<uint32_t>(int32_t(m.ComSpeed))));
    else s.DeleteValue(SessionKey, "ComSpeed");
    s.WriteValue(SessionKey, "Conf", RegValue::Binary(conf));
    s.WriteValue(SessionKey, "ComName", RegValue::String(Cp1250::ToUtf8(m.ComName)));

    if (s.CreateKey(PricesKey)) {
        for (int i = 0; i < 7; ++i) {
            const PriceLine& line = m.Prices[i];
            const std::string n = std::to_string(i);
            s.WriteValue(PricesKey, n + ".Price", RegValue::Binary({line.Price.begin(), line.Price.end()}));
            s.WriteValue(PricesKey, n + ".PriceName", RegValue::String(Cp1250::ToUtf8(line.Name)));
            s.WriteValue(PricesKey, n + ".PriceConf",
                         RegValue::Binary({line.Conf.PriceBlinking, line.Conf.PriceOff, line.Conf.DecimalPoint,
                                           line.Conf.ZerosOff, line.Conf.PriceDash}));
        }
        if (s.CreateKey(NetSettingsKey)) {
            for (const auto& name : s.SubKeyNames(NetSettingsKey)) s.DeleteKey(std::string(NetSettingsKey) + name);
            int number = 0;
            for (const auto& e : m.NetSettings) {
                const std::string key = std::string(NetSettingsKey) + std::to_string(++number);
                if (!s.CreateKey(key)) continue;
                s.WriteValue(key, "Name", RegValue::String(Cp1250::ToUtf8(e.Name)));
                s.WriteValue(key, "IP", RegValue::String(Cp1250::ToUtf8(e.IP)));
                s.WriteValue(key, "Port", RegValue::DWord(static_cast<uint32_t>(e.Port)));
                s.WriteValue(key, "Active", RegValue::DWord(e.Active ? 1 : 0));
            }
        }
    }
    s.Commit();
}

void SessionStore::Load(PylonConfig& m, RegStore& s)
{
    if (!s.KeyExists(SessionKey)) return;
    if (auto conf = ReadTyped(s, SessionKey, "Conf", RegValue::Type::Binary);
        conf && (conf->bytes.size() == 6 || conf->bytes.size() == 7)) {
        const auto& b = conf->bytes;
        m.Conf.Left = b[0];
        m.Conf.Right = b[1];
        m.Conf.Sensor = b[2];
        m.Conf.Gamma = b[3];
        m.DOMS = b[4] != 0;
        m.UseCOM = b[5] != 0;
        if (b.size() > 6) m.UseGamma = b[6] != 0;
    }
    if (auto speed = ReadTyped(s, SessionKey, "ComSpeed", RegValue::Type::DWord))
        m.ComSpeed = static_cast<int8_t>(speed->dword & 0xFF);
    if (s.ReadValue(SessionKey, "ComName")) {
        if (auto name = ReadText(s, SessionKey, "ComName", NameWidth)) m.ComName = *name;
    } else {
        m.ComName.clear();
    }

    if (!s.KeyExists(PricesKey)) return;
    for (int i = 0; i < 7; ++i) {
        PriceLine& line = m.Prices[i];
        const std::string n = std::to_string(i);
        if (auto price = ReadTyped(s, PricesKey, n + ".Price", RegValue::Type::Binary);
            price && price->bytes.size() == 6)
            std::copy(price->bytes.begin(), price->bytes.end(), line.Price.begin());
        if (s.ReadValue(PricesKey, n + ".PriceName")) {
            if (auto name = ReadText(s, PricesKey, n + ".PriceName", NameWidth)) line.Name = *name;
        } else {
            line.Name.clear();
        }
        if (auto flags = ReadTyped(s, PricesKey, n + ".PriceConf", RegValue::Type::Binary);
            flags && flags->bytes.size() == 5) {
            line.Conf.PriceBlinking = flags->bytes[0];
            line.Conf.PriceOff = flags->bytes[1];
            line.Conf.DecimalPoint = flags->bytes[2];
            line.Conf.ZerosOff = flags->bytes[3];
            line.Conf.PriceDash = flags->bytes[4];
        }
    }

    if (!s.CreateKey(NetSettingsKey)) return;
    m.NetSettings.clear();
    for (const auto& name : NumericOrder(s.SubKeyNames(NetSettingsKey))) {
        const std::string key = std::string(NetSettingsKey) + name;
        if (!s.KeyExists(key)) continue;
        PylonConfig::NetworkPylon e;
        if (auto v = ReadText(s, key, "Name", NameWidth)) e.Name = *v;
        if (auto v = ReadText(s, key, "IP", IpWidth)) e.IP = *v;
        if (auto v = ReadTyped(s, key, "Port", RegValue::Type::DWord)) e.Port = static_cast<int32_t>(v->dword);
        if (auto v = ReadTyped(s, key, "Active", RegValue::Type::DWord)) e.Active = v->dword != 0;
        m.NetSettings.push_back(std::move(e));
    }
}

bool SessionStore::LoadVerifyAfterSend(const RegStore& s)
{
    auto v = ReadTyped(s, SessionKey, VerifyAfterSendValue, RegValue::Type::DWord);
    return v && v->dword != 0;
}

bool SessionStore::SaveVerifyAfterSend(RegStore& s, bool on)
{
    if (!s.CreateKey(SessionKey)) return false;
    if (!s.WriteValue(SessionKey, VerifyAfterSendValue, RegValue::DWord(on ? 1 : 0))) return false;
    return s.Commit();
}
