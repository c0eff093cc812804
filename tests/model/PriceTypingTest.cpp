// Typed prices against the price line rules (the window's tests compare them
// with clicks on the arrows): refused keys change nothing.
#include <string>

#include <gtest/gtest.h>

#include "model/PylonConfig.h"
#include "model/MemoryRegStore.h"
#include "model/PriceLineEditor.h"
#include "model/PriceTyping.h"

namespace {

struct Rig {
    MemoryRegStore store;
    PylonConfig model{&store};
    PriceLineEditor editor{model};
    PriceTyping typing{editor};

    Rig(const std::string& digits = "001234", int point = 2, bool zerosOff = false)
    {
        for (int L = 0; L < 7; ++L) {
            for (int k = 0; k < 6; ++k) model.Prices[L].Price[k] = uint8_t(digits[k] - '0');
            model.Prices[L].Conf.DecimalPoint = uint8_t(point);
            model.Prices[L].Conf.ZerosOff = zerosOff ? 1 : 0;
        }
        editor.ShowPylon(model);
    }

    // Keys: digits, "." and ",", b Backspace, u and d Up and Down, < and >
    // the digit focus, e Escape. Returns one letter per key: y taken, n refused.
    std::string Type(const std::string& keys)
    {
        std::string answers;
        for (char c : keys) {
            bool taken = false;
            if (c >= '0' && c <= '9') taken = typing.Digit(c - '0');
            else if (c == '.' || c == ',') taken = typing.Point();
            else if (c == 'b') taken = typing.Backspace();
            else if (c == 'u') taken = typing.Up();
            else if (c == 'd') taken = typing.Down();
            else if (c == '<') taken = typing.Left();
            else if (c == '>') taken = typing.Right();
            else if (c == 'e') taken = typing.Cancel();
            answers += taken ? 'y' : 'n';
        }
        return answers;
    }

    // The line as the operator reads it (see the editor's tests).
    std::string Cells(int L) const
    {
        std::string out;
        for (int k = 0; k < 6; ++k) {
            const int p = editor.DigitPicture(6 * L + k);
            out += p >= 0 && p <= 9              ? char('0' + p)
                   : p == PriceLineEditor::Blank ? '_'
                   : p == PriceLineEditor::Dash  ? '-'
                                                 : '?';
            if (k < 5 && editor.PointPicture(5 * L + k) == PriceLineEditor::PointLit) out += '.';
        }
        return out;
    }
    std::string Digits(int L) const
    {
        std::string out;
        for (int k = 0; k < 6; ++k) out += char('0' + model.Prices[L].Price[k]);
        return out + "/" + std::to_string(model.Prices[L].Conf.DecimalPoint);
    }
};

TEST(PriceTyping, KeysTypeThePriceFromTheRight)
{
    struct Case {
        const char* start;
        int point;
        bool zerosOff;
        const char* keys;
        const char* answers;
        const char* model;  // digits / point
        const char* cells;
    };
    const Case cases[] = {
        {"001234", 2, false, "649", "yyy", "000649/2", "0006.49"},
        {"001234", 3, false, "6.49", "yyyy", "000649/2", "0006.49"},
        {"001234", 2, false, "6,4", "yyy", "000064/1", "00006.4"},
        {"001234", 2, false, ".5", "yy", "000005/1", "00000.5"},
        {"001234", 2, false, "00.05", "yyyyy", "000005/2", "0000.05"},
        // Six places: a seventh digit is refused and leaves the line as it was.
        {"001234", 2, false, "1234567", "yyyyyyn", "123456/2", "1234.56"},
        {"001234", 2, false, "12345.67", "yyyyyyyn", "123456/1", "12345.6"},
        {"001234", 2, false, "0.123456", "yyyyyyyn", "012345/5", "0.12345"},
        {"001234", 2, false, "6..", "yyn", "000006/0", "000006"},
        {"001234", 2, false, "649bb", "yyyyy", "000006/2", "0000.06"},
        {"001234", 2, false, "6.4bb9", "yyyyyy", "000069/2", "0000.69"},
        {"001234", 2, false, "b", "y", "000123/2", "0001.23"},
        {"000000", 2, false, "b", "n", "000000/2", "0000.00"},
        {"001234", 2, false, "649e", "yyyy", "001234/2", "0012.34"},
        {"001234", 2, false, "6.4e", "yyyy", "001234/2", "0012.34"},
        // Up and Down step the focused digit, Left and Right move the focus.
        {"001234", 2, false, "u", "y", "001235/2", "0012.35"},
        {"001234", 2, false, "<<dd>", "yyyyy", "001034/2", "0010.34"},
        {"001234", 2, false, ">", "n", "001234/2", "0012.34"},
        {"001234", 2, false, "<<<<<<", "yyyyyn", "001234/2", "0012.34"},
        {"001234", 2, false, "9u7", "yyy", "000007/2", "0000.07"},
        // Leading zeros blanked: typing reaches blanked places and blanks again.
        {"001234", 2, true, "5", "y", "000005/2", "___0.05"},
        {"000005", 2, true, "98765", "yyyyy", "098765/2", "_987.65"},
        {"000005", 2, true, "1.5", "yyy", "000015/1", "____1.5"},
        {"001234", 2, true, "649e", "yyyy", "001234/2", "__12.34"},
        {"001234", 2, true, "<<<<<u", "yyyyyn", "001234/2", "__12.34"},
    };
    for (const Case& c : cases) {
        Rig rig(c.start, c.point, c.zerosOff);
        rig.typing.Begin(2);
        EXPECT_EQ(rig.Type(c.keys), c.answers) << c.keys;
        EXPECT_EQ(rig.Digits(2), c.model) << c.keys;
        EXPECT_EQ(rig.Cells(2), c.cells) << c.keys;
        EXPECT_EQ(rig.Digits(1), std::string(c.start) + "/" + std::to_string(c.point)) << c.keys;
    }
}

TEST(PriceTyping, LinesOffOrDashedRefuseAndDomsMovesEveryPoint)
{
    for (PriceLineEditor::Box box : {PriceLineEditor::PriceOff, PriceLineEditor::PriceDash}) {
        Rig rig;
        rig.editor.SetBox(3, box, true);
        const std::string before = rig.Cells(3);
        rig.typing.Begin(3);
        EXPECT_EQ(rig.Type("5.bue"), "nnnnn");
        EXPECT_EQ(rig.Digits(3), "001234/2");
        EXPECT_EQ(rig.Cells(3), before);
        EXPECT_EQ(rig.Type("<>"), "yy");  // the focus still moves
    }
    Rig rig;
    rig.editor.SetDoms(true);
    rig.typing.Begin(4);
    EXPECT_EQ(rig.Type("1.5"), "yyy");
    for (int L = 0; L < 7; ++L) EXPECT_EQ(rig.model.Prices[L].Conf.DecimalPoint, 1) << L;
    EXPECT_EQ(rig.Digits(4), "000015/1");
    EXPECT_EQ(rig.Cells(0), "00123.4");
}

}  // namespace
