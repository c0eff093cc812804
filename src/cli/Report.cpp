#include "cli/Report.h"

#include <cstdio>

#include "cli/Edits.h"
#include "comm/SerialPort.h"
#include "model/Cp1250.h"

namespace {

std::string GammaText(int tenths) { return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10); }

std::string Digits(const PriceLine& line)
{
    std::string s;
    for (uint8_t d : line.Price) s += d <= 9 ? char('0' + d) : '?';
    return s;
}

}  // namespace

Json ConfigurationJson(const PylonConfig& m)
{
    Json lines = Json::array();
    for (int i = 0; i < 7; ++i) {
        const PriceLine& p = m.Prices[i];
        lines.push_back({{"line", i + 1},
                         {"name", Cp1250::ToUtf8(p.Name)},
                         {"price", PriceText(p)},
                         {"digits", Digits(p)},
                         {"point", p.Conf.DecimalPoint},
                         {"display", DisplayText(p)},
                         {"off", p.Conf.PriceOff != 0},
                         {"dash", p.Conf.PriceDash != 0},
                         {"blink", p.Conf.PriceBlinking != 0},
                         {"zeros_off", p.Conf.ZerosOff != 0}});
    }
    Json pylons = Json::array();
    for (const auto& e : m.NetSettings)
        pylons.push_back({{"name", Cp1250::ToUtf8(e.Name)}, {"ip", e.IP}, {"port", e.Port}, {"active", e.Active}});
    return Json{{"lines", lines},
                {"brightness", {{"left", m.Conf.Left}, {"right", m.Conf.Right}, {"sensor", m.Conf.Sensor}}},
                {"gamma", {{"on", m.UseGamma}, {"value", GammaText(m.Conf.Gamma)}}},
                {"fonts", {{"basic", m.FontConf.BasicFont}, {"upper_index", m.FontConf.UpperIndex}}},
                {"doms", m.DOMS},
                {"serial",
                 {{"use", m.UseCOM},
                  {"port", Cp1250::ToUtf8(m.ComName)},
                  {"speed_code", m.ComSpeed},
                  {"baud", SerialPort::RateOf(m.ComSpeed)}}},
                {"pylons", pylons}};
}

std::string ConfigurationText(const PylonConfig& m)
{
    std::string out;
    char buf[256];
    for (int i = 0; i < 7; ++i) {
        const PriceLine& p = m.Prices[i];
        std::string flags;
        if (p.Conf.PriceOff) flags += " off";
        if (p.Conf.PriceDash) flags += " dash";
        if (p.Conf.PriceBlinking) flags += " blink";
        if (p.Conf.ZerosOff) flags += " zeros-off";
        const std::string name = Cp1250::ToUtf8(p.Name);
        // Pad by characters, not bytes: names carry Polish and German letters.
        size_t chars = 0;
        for (unsigned char c : name) chars += (c & 0xC0) != 0x80;
        std::snprintf(buf, sizeof buf, "line %d  %s%s  [%s]  %s%s\n", i + 1, name.c_str(),
                      std::string(chars < 20 ? 20 - chars : 0, ' ').c_str(), DisplayText(p).c_str(),
                      PriceText(p).c_str(), flags.c_str());
        out += buf;
    }
    std::snprintf(buf, sizeof buf, "brightness  left %d%%, right %d%%, without sensor %d%%\n", m.Conf.Left,
                  m.Conf.Right, m.Conf.Sensor);
    out += buf;
    out += "gamma       " + GammaText(m.Conf.Gamma) + (m.UseGamma ? " (on)\n" : " (off)\n");
    out += "fonts       basic " + std::to_string(m.FontConf.BasicFont) + ", upper index " +
           (m.FontConf.UpperIndex == 0 ? std::string("none") : std::to_string(m.FontConf.UpperIndex)) + "\n";
    out += std::string("DOMS        ") + (m.DOMS ? "on" : "off") + "\n";
    out += "link        " +
           (m.UseCOM ? "serial port " + Cp1250::ToUtf8(m.ComName) + " at " +
                           std::to_string(SerialPort::RateOf(m.ComSpeed)) + " baud"
                     : std::string("network")) +
           "\n";
    if (m.NetSettings.empty()) out += "pylons      none\n";
    for (size_t i = 0; i < m.NetSettings.size(); ++i) {
        const auto& e = m.NetSettings[i];
        std::snprintf(buf, sizeof buf, "pylon %zu     %s  %s:%d  %s\n", i + 1, Cp1250::ToUtf8(e.Name).c_str(),
                      e.IP.c_str(), e.Port, e.Active ? "active" : "inactive");
        out += buf;
    }
    return out;
}
