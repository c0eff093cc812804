#pragma once
#include <array>
#include <string>

#include "model/PriceLineEditor.h"

// Typing a price into the line that has the keyboard focus, the way a
// calculator takes a number: digits come in from the right, "." or ","
// places the point after the digit typed last, Backspace takes the last
// digit back. Every change is made with the editor's own operations (the
// digit arrows and the point buttons), so the picture, the model and the
// session end exactly where clicking would have left them.
//
// Each key answers whether it was taken; a refused key changes nothing.
class PriceTyping {
public:
    explicit PriceTyping(PriceLineEditor& editor) : editor_(editor) {}

    // The line took the focus: what it holds now is what Cancel puts back.
    void Begin(int line);
    // The focus left the line, or Enter accepted it.
    void Accept();
    bool Active() const { return line_ >= 0; }
    int Line() const { return line_; }
    // The digit of the line (0 to 5) that Up and Down step.
    int FocusDigit() const { return focus_; }
    void SetFocusDigit(int digit)
    {
        if (digit >= 0 && digit < PriceLineEditor::DigitsPerLine) focus_ = digit;
    }

    bool Digit(int value);
    bool Point();
    bool Backspace();
    bool Up();
    bool Down();
    bool Left();
    bool Right();
    // The line was changed another way (an arrow, a point button): the next
    // digit starts a new price. Escape still puts back the price of the focus.
    void EntryBroken()
    {
        entry_.clear();
        decimals_ = -1;
    }
    // Puts back the price and point the line had when it took the focus.
    bool Cancel();

    // Whether the line takes typed prices: not while it is off or dashed.
    bool Editable() const;

private:
    struct Price {
        std::array<int, PriceLineEditor::DigitsPerLine> digits{};
        int point = 0;
        bool operator==(const Price&) const = default;
    };
    Price Current() const;
    // The price the entry stands for, or false when it does not fit the line.
    bool EntryPrice(const std::string& entry, int decimals, Price& out) const;
    // Brings the line to `target` through the arrows and point buttons.
    void Apply(const Price& target);
    bool Enter(const std::string& entry, int decimals);

    PriceLineEditor& editor_;
    int line_ = -1;
    int focus_ = PriceLineEditor::DigitsPerLine - 1;
    Price original_;
    std::string entry_;  // the digits typed since the line took the focus
    int decimals_ = -1;  // digits typed after the point, -1 while no point is typed
};
