#include "cli/Edits.h"

#include <charconv>

#include "model/Cp1250.h"
#include "model/PriceLineEditor.h"

namespace {

using Box = PriceLineEditor::Box;

constexpr size_t NameWidth = 20;

std::string Quote(const std::string& s) { return "'" + s + "'"; }

bool AllDigits(const std::string& s)
{
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// "6.49" or "6,49" at `point` decimals as six digits; empty when it does not fit.
std::string DigitsOfPrice(const std::string& price, int point, std::string& why)
{
    std::string whole = price, fraction;
    const size_t sep = price.find_first_of(".,");
    if (sep != std::string::npos) {
        whole = price.substr(0, sep);
        fraction = price.substr(sep + 1);
    }
    if ((whole.empty() && fraction.empty()) || (!whole.empty() && !AllDigits(whole)) ||
        (!fraction.empty() && !AllDigits(fraction)) ||
        (sep != std::string::npos && fraction.empty() && whole.empty())) {
        why = "is not a price (digits with one '.' or ',')";
        return {};
    }
    while (fraction.size() > size_t(point) && fraction.back() == '0') fraction.pop_back();
    if (fraction.size() > size_t(point)) {
        why = "has " + std::to_string(fraction.size()) + " decimals; the line shows " + std::to_string(point) +
              " after the point (give --point)";
        return {};
    }
    size_t lead = 0;
    while (lead < whole.size() && whole[lead] == '0') ++lead;
    whole.erase(0, lead);
    if (whole.size() + size_t(point) > 6) {
        why = "does not fit six digits with " + std::to_string(point) + " after the point";
        return {};
    }
    fraction.append(size_t(point) - fraction.size(), '0');
    return std::string(6 - point - whole.size(), '0') + whole + fraction;
}

bool ParseSmallInt(const std::string& s, int& v)
{
    if (!AllDigits(s) || s.size() > 4) return false;
    std::from_chars(s.data(), s.data() + s.size(), v);
    return true;
}

// "1.5" or "2" as tenths, 1 to 30; -1 when it is not a gamma of the dialog.
int GammaTenths(const std::string& g)
{
    std::string whole = g, tenth = "0";
    const size_t sep = g.find_first_of(".,");
    if (sep != std::string::npos) {
        whole = g.substr(0, sep);
        tenth = g.substr(sep + 1);
        while (tenth.size() > 1 && tenth.back() == '0') tenth.pop_back();
    }
    int w = 0, t = 0;
    if (!ParseSmallInt(whole, w) || tenth.size() != 1 || !ParseSmallInt(tenth, t)) return -1;
    const int tenths = w * 10 + t;
    return tenths >= 1 && tenths <= 30 ? tenths : -1;
}

// A line's wanted point and six digits, checked; the error names the line.
struct LinePlan {
    std::optional<int> point;
    std::optional<std::string> digits;
    std::optional<std::string> name;  // Windows-1250
};

std::string CheckLine(const PylonConfig& model, const LineEdit& e, std::optional<int> sharedPoint, LinePlan& plan)
{
    const std::string where = " (line " + std::to_string(e.line) + ")";
    if (e.point && (*e.point < 0 || *e.point > 5))
        return "--point " + std::to_string(*e.point) + ": a line shows 0 to 5 digits after the point" + where;
    plan.point = e.point;
    const int point = e.point ? *e.point : sharedPoint ? *sharedPoint : model.Prices[e.line - 1].Conf.DecimalPoint;
    if (e.price && e.digits) return "give either --price or --digits" + where;
    if (e.price) {
        std::string why;
        plan.digits = DigitsOfPrice(*e.price, point, why);
        if (plan.digits->empty()) return "--price " + *e.price + " " + why + where;
        if (!plan.point && !sharedPoint) plan.point = point;
    }
    if (e.digits) {
        if (e.digits->size() != 6 || !AllDigits(*e.digits))
            return "--digits " + Quote(*e.digits) + ": six digits 0 to 9 are needed" + where;
        plan.digits = *e.digits;
    }
    if (e.name) {
        const std::string ansi = Cp1250::FromUtf8(*e.name);
        if (Cp1250::ToUtf8(ansi) != *e.name)
            return "--name " + Quote(*e.name) + ": has a character Windows-1250 does not hold" + where;
        if (ansi.size() > NameWidth)
            return "--name " + Quote(*e.name) + ": " + std::to_string(ansi.size()) +
                   " bytes in Windows-1250, a name holds 20" + where;
        plan.name = ansi;
    }
    return {};
}

void StepPointTo(PriceLineEditor& editor, const PylonConfig& model, int L, int point)
{
    // Left adds one digit after the point and wraps from 5 to 0.
    for (int i = 0; i < 6 && model.Prices[L].Conf.DecimalPoint != point; ++i) editor.PointLeft(L);
}

void StepDigitTo(PriceLineEditor& editor, const PylonConfig& model, int L, int k, uint8_t value)
{
    const int digit = L * PriceLineEditor::DigitsPerLine + k;
    const int now = model.Prices[L].Price[k];
    const bool down = now <= 9 && (now - value + 10) % 10 < (value - now + 10) % 10;
    // A byte outside 0 to 9 (from a file) steps up until it wraps at 256.
    for (int i = 0; i < 256 && model.Prices[L].Price[k] != value; ++i) {
        if (down) editor.DigitDown(digit);
        else editor.DigitUp(digit);
    }
}

}  // namespace

std::string ApplyEdits(PylonConfig& model, const Edits& edits)
{
    // Everything is checked first: a refused call changes nothing.
    int left = 0, right = 0, sensor = 0, gamma = -1;
    if (edits.brightness) {
        const std::string& b = *edits.brightness;
        const size_t c1 = b.find(','), c2 = c1 == std::string::npos ? c1 : b.find(',', c1 + 1);
        if (c2 == std::string::npos || b.find(',', c2 + 1) != std::string::npos ||
            !ParseSmallInt(b.substr(0, c1), left) || !ParseSmallInt(b.substr(c1 + 1, c2 - c1 - 1), right) ||
            !ParseSmallInt(b.substr(c2 + 1), sensor) || left < 1 || left > 100 || right < 1 || right > 100 ||
            sensor < 1 || sensor > 100)
            return "--brightness " + Quote(b) + ": three percentages 1 to 100, left,right,sensor";
    }
    if (edits.gamma && edits.noGamma) return "give either --gamma or --no-gamma";
    if (edits.gamma && (gamma = GammaTenths(*edits.gamma)) < 0)
        return "--gamma " + Quote(*edits.gamma) + ": the gamma is 0.1 to 3.0 in steps of 0.1";

    // With DOMS all seven lines share one point: every line that asks for a
    // point must ask for the same, and it moves all of them.
    std::optional<int> shared;
    if (model.DOMS) {
        for (const LineEdit& e : edits.lines) {
            if (!e.point) continue;
            if (shared && *shared != *e.point)
                return "the file is in DOMS mode: all seven lines share one decimal point, asked for " +
                       std::to_string(*shared) + " and " + std::to_string(*e.point);
            shared = e.point;
        }
        if (!shared) shared = model.Prices[0].Conf.DecimalPoint;
    }
    std::vector<LinePlan> plans(edits.lines.size());
    for (size_t i = 0; i < edits.lines.size(); ++i) {
        const LineEdit& e = edits.lines[i];
        if (e.line < 1 || e.line > 7) return "--line " + std::to_string(e.line) + ": the lines are 1 to 7";
        if (std::string error = CheckLine(model, e, shared, plans[i]); !error.empty()) return error;
    }

    if (edits.brightness) {
        model.Conf.Left = uint8_t(left);
        model.Conf.Right = uint8_t(right);
        model.Conf.Sensor = uint8_t(sensor);
    }
    if (gamma > 0) {
        model.Conf.Gamma = uint8_t(gamma);
        model.UseGamma = true;
    }
    if (edits.noGamma) model.UseGamma = false;

    // The editor as the window shows the file just opened; a file in DOMS
    // mode brings every line to line 1's point here, as it does there.
    PriceLineEditor editor(model);
    editor.ShowPylon(PylonConfig(model));
    for (size_t i = 0; i < edits.lines.size(); ++i) {
        const LineEdit& e = edits.lines[i];
        const LinePlan& plan = plans[i];
        const int L = e.line - 1;
        const LineSettings was = model.Prices[L].Conf;
        const bool off = e.off.value_or(was.PriceOff != 0), dash = e.dash.value_or(was.PriceDash != 0);
        const bool blink = e.blink.value_or(was.PriceBlinking != 0);
        const bool zeros = e.zerosOff.value_or(was.ZerosOff != 0);

        // Off, dash and leading-zero removal lock the digits and the point;
        // the operator clears them first and sets them again at the end.
        editor.SetBox(L, Box::PriceOff, false);
        editor.SetBox(L, Box::PriceDash, false);
        editor.SetBox(L, Box::ZerosOff, false);
        if (plan.point) StepPointTo(editor, model, L, *plan.point);
        else if (shared && plan.digits) StepPointTo(editor, model, L, *shared);
        if (plan.digits)
            for (int k = 0; k < 6; ++k) StepDigitTo(editor, model, L, k, uint8_t((*plan.digits)[k] - '0'));
        if (plan.name) editor.NameEdited(L, *plan.name);
        editor.SetBox(L, Box::Blinking, blink);
        editor.SetBox(L, Box::ZerosOff, zeros);
        editor.SetBox(L, Box::PriceDash, dash);
        editor.SetBox(L, Box::PriceOff, off);
    }
    return {};
}

std::string PriceText(const PriceLine& line)
{
    const int p = line.Conf.DecimalPoint <= 5 ? line.Conf.DecimalPoint : 0;
    std::string digits;
    for (uint8_t d : line.Price) digits += d <= 9 ? char('0' + d) : '?';
    std::string whole = digits.substr(0, size_t(6 - p));
    size_t lead = 0;
    while (lead + 1 < whole.size() && whole[lead] == '0') ++lead;
    whole.erase(0, lead);
    return p == 0 ? whole : whole + "." + digits.substr(size_t(6 - p));
}

std::string DisplayText(const PriceLine& line)
{
    const LineSettings& c = line.Conf;
    if (c.PriceOff) return std::string(6, ' ');
    if (c.PriceDash) return std::string(6, '-');
    const int p = c.DecimalPoint;
    std::string text;
    bool leading = c.ZerosOff != 0;
    for (int k = 0; k < 6; ++k) {
        const uint8_t d = line.Price[k];
        leading = leading && d == 0 && k <= PriceLineEditor::LastBlankable(p);
        text += leading ? ' ' : d <= 9 ? char('0' + d) : '?';
        if (p >= 1 && p <= 5 && k == 5 - p) text += '.';
    }
    return text;
}
