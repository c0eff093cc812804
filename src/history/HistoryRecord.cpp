#include "history/HistoryRecord.h"

#include <cstdio>

#include "model/Cp1250.h"
#include "model/PylonConfig.h"
#include "model/PriceLineEditor.h"

namespace {

// Tabs and line breaks separate the stored fields; inside a field they become spaces.
std::string Flat(std::string text)
{
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return text;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        const size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) break;
        start = at + 1;
    }
    return parts;
}

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + int64_t(doe) - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = int(doy - (153 * mp + 2) / 5 + 1);
    month = int(mp < 10 ? mp + 3 : mp - 9);
    year = int(int64_t(yoe) + era * 400 + (month <= 2));
}

struct Civil {
    int year, month, day, hour, minute, second, ms;
};

Civil CivilOf(int64_t ms)
{
    int64_t days = ms / 86400000;
    int64_t rest = ms % 86400000;
    if (rest < 0) {
        rest += 86400000;
        --days;
    }
    Civil c{};
    CivilFromDays(days, c.year, c.month, c.day);
    c.hour = int(rest / 3600000);
    c.minute = int(rest / 60000 % 60);
    c.second = int(rest / 1000 % 60);
    c.ms = int(rest % 1000);
    return c;
}

}  // namespace

std::string ShownPrice(const PylonConfig& model, int line)
{
    // The rules of the picture (PriceLineEditor): an off line shows nothing,
    // a dashed one six dashes without a point; otherwise the digits with the
    // point before the last DecimalPoint digits, and with ZerosOff the leading
    // zeros blanked up to the digit left of the units.
    const PriceLine& price = model.Prices[size_t(line)];
    if (price.Conf.PriceOff) return {};
    if (price.Conf.PriceDash) return "------";
    const int point = price.Conf.DecimalPoint;
    const int last = price.Conf.ZerosOff ? PriceLineEditor::LastBlankable(point) : -1;
    std::string text;
    bool leading = true;
    for (int k = 0; k < PriceLineEditor::DigitsPerLine; ++k) {
        const uint8_t digit = price.Price[size_t(k)];
        if (leading && k <= last && digit == 0) continue;
        leading = false;
        if (digit <= 9) text += char('0' + digit);
        else if (digit == PriceLineEditor::Blank) text += ' ';
        else if (digit == PriceLineEditor::Dash) text += '-';
        else text += '?';
        if (point >= 1 && point <= 5 && k == 5 - point) text += '.';
    }
    return text;
}

void DescribeConfiguration(const PylonConfig& model, HistoryRecord& record)
{
    record.lines.clear();
    for (int L = 0; L < PriceLineEditor::Lines; ++L) {
        const LineSettings& conf = model.Prices[size_t(L)].Conf;
        std::string flags;
        auto add = [&flags](bool on, const char* name) {
            if (!on) return;
            if (!flags.empty()) flags += ", ";
            flags += name;
        };
        add(conf.PriceBlinking, "blinking");
        add(conf.ZerosOff, "zeros off");
        add(conf.PriceDash, "dash");
        add(conf.PriceOff, "off");
        record.lines.push_back({Flat(Cp1250::ToUtf8(model.Prices[size_t(L)].Name)), ShownPrice(model, L), flags});
    }
    record.brightness = "left " + std::to_string(model.Conf.Left) + "%, right " + std::to_string(model.Conf.Right) +
                        "%, sensor " + std::to_string(model.Conf.Sensor) + "%";
    // Without UseGamma the pylon is sent 0 whatever Gamma holds.
    if (model.UseGamma) {
        record.gamma = std::to_string(model.Conf.Gamma / 10) + "." + std::to_string(model.Conf.Gamma % 10);
    } else {
        record.gamma = "off";
    }
    record.fonts = "basic " + std::to_string(model.FontConf.BasicFont) + ", upper index " +
                   std::to_string(model.FontConf.UpperIndex);
}

std::string PriceSummary(const HistoryRecord& record)
{
    std::string text;
    for (size_t i = 0; i < record.lines.size(); ++i) {
        if (i) text += " | ";
        text += record.lines[i].price;
    }
    return text;
}

std::string FormatUtc(int64_t utcMs)
{
    const Civil c = CivilOf(utcMs);
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", c.year, c.month, c.day, c.hour,
                  c.minute, c.second, c.ms);
    return buffer;
}

std::string FormatOffset(int offsetMinutes)
{
    const int a = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%c%02d:%02d", offsetMinutes < 0 ? '-' : '+', a / 60 % 100, a % 60);
    return buffer;
}

std::string FormatLocal(int64_t utcMs, int offsetMinutes)
{
    const Civil c = CivilOf(utcMs + int64_t(offsetMinutes) * 60000);
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d ", c.year, c.month, c.day, c.hour, c.minute,
                  c.second);
    return buffer + FormatOffset(offsetMinutes);
}

int64_t UtcMsOf(int year, int month, int day, int hour, int minute, int second)
{
    return (DaysFromCivil(year, unsigned(month), unsigned(day)) * 86400 + hour * 3600 + minute * 60 + second) * 1000;
}

std::string EncodeLines(const std::vector<HistoryLine>& lines)
{
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) text += '\n';
        text += Flat(lines[i].name) + '\t' + Flat(lines[i].price) + '\t' + Flat(lines[i].flags);
    }
    return text;
}

std::vector<HistoryLine> DecodeLines(const std::string& text)
{
    std::vector<HistoryLine> lines;
    if (text.empty()) return lines;
    for (const std::string& row : Split(text, '\n')) {
        std::vector<std::string> f = Split(row, '\t');
        f.resize(3);
        lines.push_back({f[0], f[1], f[2]});
    }
    return lines;
}

std::string EncodeSteps(const std::vector<HistoryStep>& steps)
{
    std::string text;
    for (size_t i = 0; i < steps.size(); ++i) {
        if (i) text += '\n';
        text += Flat(steps[i].name) + '\t' + std::to_string(steps[i].code) + '\t' + Flat(steps[i].message);
    }
    return text;
}

std::vector<HistoryStep> DecodeSteps(const std::string& text)
{
    std::vector<HistoryStep> steps;
    if (text.empty()) return steps;
    for (const std::string& row : Split(text, '\n')) {
        std::vector<std::string> f = Split(row, '\t');
        f.resize(3);
        steps.push_back({f[0], std::atoi(f[1].c_str()), f[2]});
    }
    return steps;
}

std::string DescribeRecord(const HistoryRecord& r)
{
    std::string text;
    auto field = [&text](const char* name, const std::string& value) {
        if (value.empty()) return;
        text += name;
        text += ": ";
        text += value;
        text += '\n';
    };
    field("Time", FormatLocal(r.utcMs, r.utcOffsetMinutes) + " (" + FormatUtc(r.utcMs) + ")");
    field("Action", r.action);
    field("Pylon", r.pylon);
    field("Target", r.target);
    field("Result", r.ok ? "ok" : "failed");
    field("Parameters", r.detail);
    for (size_t i = 0; i < r.lines.size(); ++i) {
        const HistoryLine& l = r.lines[i];
        std::string value = l.name + "  " + (l.price.empty() ? "-" : l.price);
        if (!l.flags.empty()) value += "  (" + l.flags + ")";
        field(("Line " + std::to_string(i + 1)).c_str(), value);
    }
    field("Brightness", r.brightness);
    field("Gamma", r.gamma);
    field("Fonts", r.fonts);
    for (const HistoryStep& s : r.steps)
        field(("Step " + s.name).c_str(), std::to_string(s.code) + (s.message.empty() ? "" : " " + s.message));
    if (r.verified >= 0) field("Verified", r.verified == 1 ? "yes" : r.verified == 2 ? "not read back" : "no");
    field("Differences", r.differences);
    field("Elapsed", std::to_string(r.elapsedMs) + " ms");
    field("User", r.user + "@" + r.host);
    field("Program", r.program + " " + r.version);
    return text;
}
