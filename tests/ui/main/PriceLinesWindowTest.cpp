// The price lines through their real controls: clicks on the arrows, the
// point buttons and the boxes, typing in the name combos, and what all 42
// cells then show.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

#include "model/Cp1250.h"
#include "tests/ui/main/WindowRig.h"
#include "support/Child.h"

namespace {

void SetLine(PylonConfig& m, int L, const char* digits, int point, bool zerosOff = false)
{
    for (int k = 0; k < 6; ++k) m.Prices[L].Price[k] = uint8_t(digits[k] - '0');
    m.Prices[L].Conf.DecimalPoint = uint8_t(point);
    m.Prices[L].Conf.ZerosOff = zerosOff ? 1 : 0;
}

std::string ModelDigits(const PylonConfig& m, int L)
{
    std::string out;
    for (uint8_t d : m.Prices[L].Price) out += char('0' + d);
    return out;
}

TEST(PriceLinesWindow, StartShowsTheSessionOnEveryCell)
{
    WindowRig rig("EN", [](PylonConfig& m) {
        SetLine(m, 0, "001234", 2, true);
        SetLine(m, 1, "000000", 0, true);
        SetLine(m, 2, "000000", 5, true);
        SetLine(m, 3, "987654", 1);
        SetLine(m, 4, "000111", 3);
        m.Prices[4].Conf.PriceDash = 1;
        SetLine(m, 5, "000222", 2);
        m.Prices[5].Conf.PriceOff = 1;
        SetLine(m, 6, "120000", 0, true);
        m.Prices[6].Name = Cp1250::FromUtf8("Myjnia Łódź");
    });
    MainWindow& w = *rig.window;
    const char* cells[] = {"__12.34", "_____0", "0.00000", "98765.4", "------", "______", "120000"};
    const char* arrows[] = {"--++++", "-----+", "++++++", "++++++", "------", "------", "++++++"};
    for (int L = 0; L < 7; ++L) {
        EXPECT_EQ(ScreenCells(w, L), cells[L]) << L;
        EXPECT_EQ(ScreenArrows(w, L), arrows[L]) << L;
    }
    EXPECT_EQ(w.NameBoxes[6]->currentText(), QString::fromUtf8("Myjnia Łódź"));
    EXPECT_EQ(w.NameBoxes[0]->currentText(), "Nazwa 1") << "the model's name, not the language's";
    EXPECT_TRUE(w.FlagBoxes[4][PriceLineEditor::PriceDash]->isChecked());
    EXPECT_FALSE(w.PointButtons[4].first->isEnabled());
    EXPECT_EQ(ShownIndicator(w.PointIndicators[4]), 1);
    EXPECT_EQ(ShownIndicator(w.PointIndicators[3]), 0);
    EXPECT_FALSE(w.NameBoxes[5]->isEnabled());
    EXPECT_FALSE(w.FlagBoxes[5][PriceLineEditor::Blinking]->isEnabled());
    EXPECT_TRUE(w.FlagBoxes[5][PriceLineEditor::PriceOff]->isEnabled());
    for (int i = 0; i < 42; ++i)
        EXPECT_EQ(w.DigitImages[i]->property("Tag").toInt(), rig.model.Prices[i / 6].Price[i % 6]) << i;
}

TEST(PriceLinesWindow, ArrowClicksEditEveryDigitOfEveryLine)
{
    WindowRig rig;
    MainWindow& w = *rig.window;
    // Digit k of line L is clicked up L + k times; the first digit of every line also down once.
    for (int L = 0; L < 7; ++L) {
        for (int k = 0; k < 6; ++k)
            for (int c = 0; c < L + k; ++c) rig.Click(w.DigitButtons[6 * L + k].first);
        rig.Click(w.DigitButtons[6 * L].second);
    }
    for (int L = 0; L < 7; ++L) {
        std::string expected;
        for (int k = 0; k < 6; ++k) {
            int v = (L + k) % 10;
            if (k == 0) v = (v + 9) % 10;
            expected += char('0' + v);
        }
        EXPECT_EQ(ModelDigits(rig.model, L), expected) << L;
        std::string screen = expected;
        screen.insert(4, ".");
        EXPECT_EQ(ScreenCells(w, L), screen) << L;
        EXPECT_EQ(ScreenArrows(w, L), "++++++") << L;
    }
}

TEST(PriceLinesWindow, BlankedDigitsTakeNoClicks)
{
    WindowRig rig("EN", [](PylonConfig& m) { SetLine(m, 2, "001234", 2, true); });
    MainWindow& w = *rig.window;
    rig.Click(w.DigitButtons[6 * 2 + 0].first);
    rig.Click(w.DigitButtons[6 * 2 + 1].second);
    EXPECT_EQ(ModelDigits(rig.model, 2), "001234");
    EXPECT_EQ(ScreenCells(w, 2), "__12.34");
}

TEST(PriceLinesWindow, BoxClicksSwitchTheLineStates)
{
    WindowRig rig("EN", [](PylonConfig& m) { SetLine(m, 1, "000560", 2); });
    MainWindow& w = *rig.window;
    auto& boxes = w.FlagBoxes[1];
    rig.Click(boxes[PriceLineEditor::ZerosOff]);
    EXPECT_EQ(rig.model.Prices[1].Conf.ZerosOff, 1);
    EXPECT_EQ(ScreenCells(w, 1), "___5.60");
    EXPECT_EQ(ScreenArrows(w, 1), "---+++");

    rig.Click(boxes[PriceLineEditor::PriceDash]);
    EXPECT_EQ(rig.model.Prices[1].Conf.PriceDash, 1);
    EXPECT_EQ(ScreenCells(w, 1), "------");
    EXPECT_FALSE(boxes[PriceLineEditor::ZerosOff]->isEnabled());
    EXPECT_FALSE(w.PointButtons[1].second->isEnabled());

    rig.Click(boxes[PriceLineEditor::PriceOff]);
    EXPECT_EQ(ScreenCells(w, 1), "______");
    EXPECT_FALSE(w.NameBoxes[1]->isEnabled());
    EXPECT_FALSE(boxes[PriceLineEditor::PriceDash]->isEnabled());
    // A disabled box takes no click.
    rig.Click(boxes[PriceLineEditor::PriceDash]);
    EXPECT_EQ(rig.model.Prices[1].Conf.PriceDash, 1);

    rig.Click(boxes[PriceLineEditor::PriceOff]);
    EXPECT_EQ(ScreenCells(w, 1), "------");
    rig.Click(boxes[PriceLineEditor::PriceDash]);
    EXPECT_EQ(ScreenCells(w, 1), "___5.60");
    EXPECT_EQ(ScreenArrows(w, 1), "---+++");
    EXPECT_TRUE(w.NameBoxes[1]->isEnabled());
    EXPECT_EQ(ShownIndicator(w.PointIndicators[1]), 0);

    rig.Click(boxes[PriceLineEditor::Blinking]);
    EXPECT_EQ(rig.model.Prices[1].Conf.PriceBlinking, 1);
    EXPECT_EQ(ScreenCells(w, 1), "___5.60");
}

TEST(PriceLinesWindow, BoxesSetByCodeRunTheirBehaviourToo)
{
    WindowRig rig("EN", [](PylonConfig& m) { SetLine(m, 0, "004000", 1); });
    MainWindow& w = *rig.window;
    w.FlagBoxes[0][PriceLineEditor::ZerosOff]->setChecked(true);
    EXPECT_EQ(rig.model.Prices[0].Conf.ZerosOff, 1);
    EXPECT_EQ(ScreenCells(w, 0), "__400.0");
    w.FlagBoxes[0][PriceLineEditor::PriceOff]->setChecked(true);
    EXPECT_EQ(rig.model.Prices[0].Conf.PriceOff, 1);
    EXPECT_EQ(ScreenCells(w, 0), "______");
    EXPECT_TRUE(rig.window->Editor().BoxChecked(0, PriceLineEditor::PriceOff));
}

TEST(PriceLinesWindow, PointButtonsMoveTheLitPoint)
{
    WindowRig rig("EN", [](PylonConfig& m) { SetLine(m, 6, "100200", 2, true); });
    MainWindow& w = *rig.window;
    rig.Click(w.PointButtons[6].first);
    EXPECT_EQ(rig.model.Prices[6].Conf.DecimalPoint, 3);
    EXPECT_EQ(ScreenCells(w, 6), "100.200");
    for (int i = 0; i < 3; ++i) rig.Click(w.PointButtons[6].second);
    EXPECT_EQ(rig.model.Prices[6].Conf.DecimalPoint, 0);
    EXPECT_EQ(ScreenCells(w, 6), "100200");
    rig.Click(w.PointButtons[6].second);
    EXPECT_EQ(ScreenCells(w, 6), "1.00200");
}

TEST(PriceLinesWindow, DomsModeMovesAllPointsFromAnyLine)
{
    WindowRig rig;
    MainWindow& w = *rig.window;
    rig.Click(w.PointButtons[0].first);  // line 1 only: point 3
    Child<QCheckBox>(w, "CBDOMS")->setChecked(true);
    EXPECT_TRUE(rig.model.DOMS);
    for (int L = 0; L < 7; ++L) EXPECT_EQ(ScreenCells(w, L), "000.000") << L;
    rig.Click(w.PointButtons[4].second);
    for (int L = 0; L < 7; ++L) EXPECT_EQ(rig.model.Prices[L].Conf.DecimalPoint, 2) << L;
    Child<QCheckBox>(w, "CBDOMS")->setChecked(false);
    EXPECT_FALSE(rig.model.DOMS);
}

TEST(PriceLinesWindow, NameCombosTakeTheOperatorsTypingAndPicking)
{
    WindowRig rig;
    MainWindow& w = *rig.window;
    QComboBox* name = w.NameBoxes[3];
    name->lineEdit()->selectAll();
    QTest::keyClicks(name->lineEdit(), "Olej nap");
    // A letter no key code of the test tool stands for, as a keyboard layout sends it.
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("ę"));
    QApplication::sendEvent(name->lineEdit(), &letter);
    QTest::keyClicks(name->lineEdit(), "dowy Ekodiesel Plus");
    EXPECT_EQ(name->currentText(), QString::fromUtf8("Olej napędowy Ekodie"));
    EXPECT_EQ(rig.model.Prices[3].Name, Cp1250::FromUtf8("Olej napędowy Ekodie"));
    EXPECT_EQ(rig.model.Prices[3].Name.size(), 20u);

    // Texts set by the program leave the model alone.
    name->setEditText("Something else");
    EXPECT_EQ(rig.model.Prices[3].Name, Cp1250::FromUtf8("Olej napędowy Ekodie"));

    // Picking an item with the keyboard.
    name->setCurrentIndex(0);
    QTest::keyClick(name, Qt::Key_Down);
    EXPECT_EQ(name->currentText(), "Pb95");
    EXPECT_EQ(rig.model.Prices[3].Name, "Pb95");
    EXPECT_EQ(name->count(), 12) << "typed names are not added to the suggestions";
}

TEST(PriceLinesWindow, RedrawAfterAModelChangeShowsTheNewModel)
{
    WindowRig rig;
    MainWindow& w = *rig.window;
    SetLine(rig.model, 2, "000042", 2, true);
    rig.model.Prices[2].Conf.PriceBlinking = 1;
    rig.model.Prices[2].Name = "LPG";
    w.ShowPylon(PylonConfig(rig.model));
    EXPECT_EQ(ScreenCells(w, 2), "___0.42");
    EXPECT_TRUE(w.FlagBoxes[2][PriceLineEditor::Blinking]->isChecked());
    EXPECT_TRUE(w.FlagBoxes[2][PriceLineEditor::ZerosOff]->isChecked());
    EXPECT_EQ(w.NameBoxes[2]->currentText(), "LPG");
}

}  // namespace
