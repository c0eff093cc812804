#include "model/PriceTyping.h"

namespace {

constexpr int Width = PriceLineEditor::DigitsPerLine;
// Digits right of the point that the point buttons can reach.
constexpr int MaxDecimals = 5;

}  // namespace

void PriceTyping::Begin(int line)
{
    if (line < 0 || line >= PriceLineEditor::Lines) return;
    if (line_ != line) focus_ = Width - 1;
    line_ = line;
    original_ = Current();
    entry_.clear();
    decimals_ = -1;
}

void PriceTyping::Accept()
{
    line_ = -1;
    entry_.clear();
    decimals_ = -1;
}

bool PriceTyping::Editable() const
{
    if (!Active()) return false;
    return !editor_.BoxChecked(line_, PriceLineEditor::PriceOff) &&
           !editor_.BoxChecked(line_, PriceLineEditor::PriceDash);
}

PriceTyping::Price PriceTyping::Current() const
{
    Price p;
    for (int k = 0; k < Width; ++k) p.digits[k] = editor_.DigitTag(Width * line_ + k);
    p.point = editor_.Model().Prices[line_].Conf.DecimalPoint;
    return p;
}

bool PriceTyping::EntryPrice(const std::string& entry, int decimals, Price& out) const
{
    if (int(entry.size()) > Width || decimals > MaxDecimals) return false;
    out = Price{};
    const int offset = Width - int(entry.size());
    for (size_t i = 0; i < entry.size(); ++i) out.digits[offset + i] = entry[i] - '0';
    out.point = decimals >= 0 ? decimals : original_.point;
    return true;
}

void PriceTyping::Apply(const Price& target)
{
    const Price now = Current();
    if (now == target) return;
    const int L = line_;
    // Blanked leading digits take no arrow clicks: the operator would clear
    // the zeros box, set the digits and tick it again, and so does typing.
    const bool zeros = editor_.BoxChecked(L, PriceLineEditor::ZerosOff);
    if (zeros) editor_.SetBox(L, PriceLineEditor::ZerosOff, false);
    for (int k = 0; k < Width; ++k) {
        const int digit = Width * L + k;
        const int up = (target.digits[k] - editor_.DigitTag(digit) + 10) % 10;
        if (up <= 5) {
            for (int n = 0; n < up; ++n) editor_.DigitUp(digit);
        } else {
            for (int n = 0; n < 10 - up; ++n) editor_.DigitDown(digit);
        }
    }
    // The left button adds a digit after the point and wraps from 5 to 0.
    const int left = (target.point - editor_.Model().Prices[L].Conf.DecimalPoint + 6) % 6;
    if (left <= 3) {
        for (int n = 0; n < left; ++n) editor_.PointLeft(L);
    } else {
        for (int n = 0; n < 6 - left; ++n) editor_.PointRight(L);
    }
    if (zeros) editor_.SetBox(L, PriceLineEditor::ZerosOff, true);
}

bool PriceTyping::Enter(const std::string& entry, int decimals)
{
    Price target;
    if (!EntryPrice(entry, decimals, target)) return false;
    if (target.point != editor_.Model().Prices[line_].Conf.DecimalPoint && !editor_.PointButtonsEnabled(line_))
        return false;
    Apply(target);
    entry_ = entry;
    decimals_ = decimals;
    return true;
}

bool PriceTyping::Digit(int value)
{
    if (!Editable() || value < 0 || value > 9) return false;
    std::string entry = entry_;
    // A leading zero adds nothing to the price but a place; it is kept only
    // after the point, where it counts.
    if (entry == "0" && decimals_ < 0) entry.clear();
    entry += char('0' + value);
    return Enter(entry, decimals_ >= 0 ? decimals_ + 1 : -1);
}

bool PriceTyping::Point()
{
    if (!Editable() || decimals_ >= 0 || !editor_.PointButtonsEnabled(line_)) return false;
    // "." first stands for "0.".
    return Enter(entry_.empty() ? std::string("0") : entry_, 0);
}

bool PriceTyping::Backspace()
{
    if (!Editable()) return false;
    if (entry_.empty()) {
        // Nothing typed yet: the price shown loses its last digit.
        const Price now = Current();
        std::string digits;
        for (int d : now.digits) digits += char('0' + d);
        const size_t first = digits.find_first_not_of('0');
        entry_ = first == std::string::npos ? std::string() : digits.substr(first);
        if (entry_.empty()) return false;
    }
    // The point typed last goes first, back to where the line had it.
    if (decimals_ == 0) return Enter(entry_, -1);
    std::string entry = entry_;
    entry.pop_back();
    const int decimals = decimals_ > 0 ? decimals_ - 1 : -1;
    return Enter(entry, decimals);
}

bool PriceTyping::Up()
{
    const int digit = Width * line_ + focus_;
    if (!Active() || !editor_.ArrowsEnabled(digit)) return false;
    editor_.DigitUp(digit);
    entry_.clear();
    decimals_ = -1;
    return true;
}

bool PriceTyping::Down()
{
    const int digit = Width * line_ + focus_;
    if (!Active() || !editor_.ArrowsEnabled(digit)) return false;
    editor_.DigitDown(digit);
    entry_.clear();
    decimals_ = -1;
    return true;
}

bool PriceTyping::Left()
{
    if (!Active() || focus_ == 0) return false;
    --focus_;
    return true;
}

bool PriceTyping::Right()
{
    if (!Active() || focus_ == Width - 1) return false;
    ++focus_;
    return true;
}

bool PriceTyping::Cancel()
{
    if (!Editable()) return false;
    Apply(original_);
    entry_.clear();
    decimals_ = -1;
    return true;
}
