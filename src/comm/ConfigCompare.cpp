#include "comm/ConfigCompare.h"

#include "lang/Msg.h"
#include "model/PylonConfig.h"
#include "model/PriceLineEditor.h"

// What travels both ways, and so what a read-back can prove:
//
// - Digits go out as value + 0x30 and come back as byte - 0x30, both modulo
//   256, so every stored value returns as it was, out-of-range values
//   included. Leading zeros that ZerosOff blanks still travel as "0": the
//   configurator never blanks a digit, the pylon does when it lights the line,
//   and the flag travels beside the digits. A pylon that reports a blank
//   (0x20, read back as 240) in such a place shows what was sent, so a blank
//   there counts as the zero; anywhere else it is a difference.
// - The five flags of each line go out and come back as the bytes stored, in
//   the same order both ways: compared byte for byte (the digits of a line
//   that is off or shows dashes are still held, and still compared).
// - Left, right and sensor brightness: one byte each, both ways.
// - Gamma has a single byte: Conf.Gamma while UseGamma is set, 0 otherwise;
//   the pylon reports that byte and UseGamma is read back as "byte is not 0".
//   So the byte that was sent is compared with the byte reported: a Gamma
//   held in the model with UseGamma clear never left it and is not compared,
//   and UseGamma set with Gamma 0 goes out as gamma off and is verified as
//   such.
// - Fonts: the first two bytes of the font block both ways; the 16 bytes
//   after them are zero going out and are not read back.
// - Names, DOMS and the connection settings never travel.

namespace {

constexpr uint8_t Blank = uint8_t(0x20 - 0x30);  // a blank reported for a digit

// The markers %1 to %9 replaced by the arguments, in one pass: a "%" in an
// argument ("100%") is never taken for a marker.
std::string Format(const std::string& text, const std::vector<std::string>& args)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9' &&
            size_t(text[i + 1] - '1') < args.size()) {
            out += args[size_t(text[i + 1] - '1')];
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

// Item `index` of the '|'-separated names of message 79; empty when missing.
std::string Word(int index)
{
    const std::string& all = Msg[MsgVerifyWords];
    size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = all.find('|', start);
        if (start == std::string::npos) return {};
        ++start;
    }
    return all.substr(start, all.find('|', start) - start);
}

enum WordIndex {
    WordLeft,
    WordRight,
    WordSensor,
    WordGamma,
    WordBasicFont,
    WordUpperIndex,
    WordBlinking,
    WordDash,
    WordOff,
    WordZerosOff
};

std::string DigitText(uint8_t d) { return d <= 9 ? std::string(1, char('0' + d)) : "[" + std::to_string(d) + "]"; }

std::string ConfBytes(const LineSettings& c)
{
    return " [" + std::to_string(c.DecimalPoint) + " " + std::to_string(c.PriceBlinking) + " " +
           std::to_string(c.PriceDash) + " " + std::to_string(c.PriceOff) + " " + std::to_string(c.ZerosOff) + "]";
}

std::string ValueText(ConfigDifference::Field f, int v)
{
    using F = ConfigDifference::Field;
    switch (f) {
    case F::Left:
    case F::Right:
    case F::Sensor: return std::to_string(v) + "%";
    case F::Gamma: return v == 0 ? "0" : std::to_string(v / 10) + "." + std::to_string(v % 10);
    default: return std::to_string(v);
    }
}

}  // namespace

std::vector<ConfigDifference> ConfigCompare::Compare(const PylonConfig& sent, const PylonConfig& held)
{
    using F = ConfigDifference::Field;
    std::vector<ConfigDifference> out;
    for (int L = 0; L < 7; ++L) {
        const PriceLine& s = sent.Prices[L];
        PriceLine h = held.Prices[L];
        if (s.Conf.ZerosOff != 0) {
            const int last = PriceLineEditor::LastBlankable(s.Conf.DecimalPoint);
            for (int j = 0; j <= last && s.Price[j] == 0; ++j)
                if (h.Price[j] == Blank) h.Price[j] = 0;
        }
        if (s.Price != h.Price || !(s.Conf == h.Conf)) {
            ConfigDifference d;
            d.field = F::Line;
            d.line = L + 1;
            d.sentLine = s;
            d.heldLine = h;
            d.sentLine.Name.clear();
            d.heldLine.Name.clear();
            out.push_back(d);
        }
    }
    auto scalar = [&out](F field, int s, int h) {
        if (s == h) return;
        ConfigDifference d;
        d.field = field;
        d.sent = s;
        d.held = h;
        out.push_back(d);
    };
    scalar(F::Left, sent.Conf.Left, held.Conf.Left);
    scalar(F::Right, sent.Conf.Right, held.Conf.Right);
    scalar(F::Sensor, sent.Conf.Sensor, held.Conf.Sensor);
    scalar(F::Gamma, sent.UseGamma ? sent.Conf.Gamma : 0, held.Conf.Gamma);
    scalar(F::BasicFont, sent.FontConf.BasicFont, held.FontConf.BasicFont);
    scalar(F::UpperIndex, sent.FontConf.UpperIndex, held.FontConf.UpperIndex);
    return out;
}

std::string ConfigCompare::LineText(const PriceLine& line)
{
    const int point = line.Conf.DecimalPoint <= 5 ? line.Conf.DecimalPoint : 0;
    const int units = 5 - point;  // the last digit before the point
    int first = 0;
    while (first < units && line.Price[first] == 0) ++first;
    std::string text;
    for (int j = first; j < 6; ++j) {
        if (point > 0 && j == units + 1) text += '.';
        text += DigitText(line.Price[j]);
    }
    const std::pair<uint8_t, int> flags[] = {{line.Conf.PriceBlinking, WordBlinking},
                                             {line.Conf.PriceDash, WordDash},
                                             {line.Conf.PriceOff, WordOff},
                                             {line.Conf.ZerosOff, WordZerosOff}};
    for (const auto& [value, word] : flags)
        if (value != 0) text += ", " + Word(word);
    return text;
}

std::string ConfigCompare::Describe(const ConfigDifference& d)
{
    using F = ConfigDifference::Field;
    if (d.field == F::Line) {
        std::string sent = LineText(d.sentLine), held = LineText(d.heldLine);
        // Flag or point values the words cannot tell apart: show the bytes.
        if (sent == held) {
            sent += ConfBytes(d.sentLine.Conf);
            held += ConfBytes(d.heldLine.Conf);
        }
        return Format(Msg[MsgVerifyLine], {std::to_string(d.line), sent, held});
    }
    const int word = d.field == F::Left        ? WordLeft
                     : d.field == F::Right     ? WordRight
                     : d.field == F::Sensor    ? WordSensor
                     : d.field == F::Gamma     ? WordGamma
                     : d.field == F::BasicFont ? WordBasicFont
                                               : WordUpperIndex;
    return Format(Msg[MsgVerifyField], {Word(word), ValueText(d.field, d.sent), ValueText(d.field, d.held)});
}
