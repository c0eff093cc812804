// The price lines without widgets: what each cell shows, which controls take
// input, and what the model and the session hold after each edit.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/PylonConfig.h"
#include "model/MemoryRegStore.h"
#include "model/PriceLineEditor.h"

namespace {

using Box = PriceLineEditor::Box;

struct Rig {
    MemoryRegStore store;
    PylonConfig model{&store};
    PriceLineEditor editor{model};

    Rig() { editor.ShowPylon(model); }

    void Line(int L, const std::string& digits, int point, bool zerosOff = false)
    {
        for (int k = 0; k < 6; ++k) model.Prices[L].Price[k] = uint8_t(digits[k] - '0');
        model.Prices[L].Conf.DecimalPoint = uint8_t(point);
        model.Prices[L].Conf.ZerosOff = zerosOff ? 1 : 0;
    }
    void Show() { editor.ShowPylon(model); }

    // The line as the operator reads it: a digit, "_" for a dark cell, "-" for
    // a dash, "?" for anything else, and "." where a point is lit.
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
    // "+" where a digit's arrows are enabled, "-" where not.
    std::string Arrows(int L) const
    {
        std::string out;
        for (int k = 0; k < 6; ++k) out += editor.ArrowsEnabled(6 * L + k) ? '+' : '-';
        return out;
    }
    std::string Digits(int L) const
    {
        std::string out;
        for (int k = 0; k < 6; ++k) out += char('0' + model.Prices[L].Price[k]);
        return out;
    }
};

TEST(PriceLineEditor, ArrowsStepTheDigitAndWrapOnlyAtTenAndMinusOne)
{
    struct Case {
        int start;
        bool up;
        int expected;
    };
    const Case cases[] = {{9, true, 0},
                          {0, false, 9},
                          {4, true, 5},
                          {4, false, 3},
                          // Out-of-range values from a file are stepped as they come.
                          {11, true, 12},
                          {12, false, 11},
                          {255, true, 0}};
    for (const Case& c : cases) {
        Rig rig;
        rig.model.Prices[3].Price[2] = uint8_t(c.start);
        rig.Show();
        const int digit = 6 * 3 + 2;
        if (c.up) rig.editor.DigitUp(digit);
        else rig.editor.DigitDown(digit);
        EXPECT_EQ(rig.editor.DigitTag(digit), c.expected) << c.start;
        EXPECT_EQ(rig.editor.DigitPicture(digit), c.expected) << c.start;
        EXPECT_EQ(rig.model.Prices[3].Price[2], c.expected) << c.start;
    }
}

TEST(PriceLineEditor, LeadingZeroRemovalBlanksOnlyLeftOfTheUnitsDigit)
{
    struct Case {
        const char* digits;
        int point;
        bool zerosOff;
        const char* cells;
        const char* arrows;
        int blanks;
    };
    const Case cases[] = {
        {"001234", 2, true, "__12.34", "--++++", 2}, {"000000", 0, true, "_____0", "-----+", 5},
        {"000000", 5, true, "0.00000", "++++++", 0}, {"000000", 2, true, "___0.00", "---+++", 3},
        {"100000", 2, true, "1000.00", "++++++", 0}, {"000000", 2, false, "0000.00", "++++++", 0},
        {"070000", 1, true, "_7000.0", "-+++++", 1},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.Line(0, c.digits, c.point, c.zerosOff);
        rig.Show();
        EXPECT_EQ(rig.Cells(0), c.cells) << c.digits << " p" << c.point;
        EXPECT_EQ(rig.Arrows(0), c.arrows) << c.digits << " p" << c.point;
        EXPECT_EQ(rig.editor.BlankCount(0), c.blanks) << c.digits << " p" << c.point;
        EXPECT_EQ(rig.editor.BoxChecked(0, PriceLineEditor::ZerosOff), c.zerosOff);
    }
}

TEST(PriceLineEditor, MovingThePointRecomputesTheBlanks)
{
    Rig rig;
    rig.Line(2, "000012", 2, true);
    rig.Show();
    ASSERT_EQ(rig.Cells(2), "___0.12");
    // Left walks the point left and wraps from five decimals to none; Right back.
    struct Step {
        char move;
        int point;
        const char* cells;
        const char* arrows;
    };
    const Step steps[] = {
        {'L', 3, "__0.012", "--++++"}, {'L', 4, "_0.0012", "-+++++"}, {'L', 5, "0.00012", "++++++"},
        {'L', 0, "____12", "----++"},  {'R', 5, "0.00012", "++++++"}, {'R', 4, "_0.0012", "-+++++"},
        {'R', 3, "__0.012", "--++++"}, {'R', 2, "___0.12", "---+++"}, {'R', 1, "____1.2", "----++"},
        {'R', 0, "____12", "----++"},  {'L', 1, "____1.2", "----++"},
    };
    for (const Step& s : steps) {
        if (s.move == 'L') rig.editor.PointLeft(2);
        else rig.editor.PointRight(2);
        EXPECT_EQ(rig.model.Prices[2].Conf.DecimalPoint, s.point);
        EXPECT_EQ(rig.Cells(2), s.cells) << "after " << s.move << " to " << s.point;
        EXPECT_EQ(rig.Arrows(2), s.arrows) << "after " << s.move << " to " << s.point;
    }
    // Other lines are not touched.
    EXPECT_EQ(rig.model.Prices[1].Conf.DecimalPoint, 2);
    EXPECT_EQ(rig.Cells(1), "0000.00");
}

TEST(PriceLineEditor, PointWrapsWithoutLeadingZeroRemoval)
{
    Rig rig;
    rig.Line(0, "123456", 5);
    rig.Show();
    EXPECT_EQ(rig.Cells(0), "1.23456");
    rig.editor.PointLeft(0);
    EXPECT_EQ(rig.model.Prices[0].Conf.DecimalPoint, 0);
    EXPECT_EQ(rig.Cells(0), "123456");
    rig.editor.PointRight(0);
    EXPECT_EQ(rig.model.Prices[0].Conf.DecimalPoint, 5);
    EXPECT_EQ(rig.Cells(0), "1.23456");
}

TEST(PriceLineEditor, ADigitTurnedToZeroStaysVisibleUntilTheNextRedraw)
{
    Rig rig;
    rig.Line(0, "001234", 2, true);
    rig.Show();
    rig.editor.DigitDown(2);  // 1 -> 0
    EXPECT_EQ(rig.Cells(0), "__02.34");
    EXPECT_EQ(rig.Digits(0), "000234");
    rig.Show();
    EXPECT_EQ(rig.Cells(0), "___2.34");
}

TEST(PriceLineEditor, OffAndDashRestoreThePictureTheyHid)
{
    for (Box box : {PriceLineEditor::PriceOff, PriceLineEditor::PriceDash}) {
        Rig rig;
        rig.Line(4, "001234", 2, true);
        rig.Show();
        rig.editor.SetBox(4, box, true);
        EXPECT_EQ(rig.Cells(4), box == PriceLineEditor::PriceOff ? "______" : "------");
        EXPECT_EQ(rig.Arrows(4), "------");
        rig.editor.SetBox(4, box, false);
        EXPECT_EQ(rig.Cells(4), "__12.34");
        EXPECT_EQ(rig.Arrows(4), "--++++");
        EXPECT_EQ(rig.model.Prices[4].Conf.PriceOff, 0);
        EXPECT_EQ(rig.model.Prices[4].Conf.PriceDash, 0);
    }
}

// Which controls of a line take input in each display state.
struct Enabling {
    bool pointButtons, name, blinking, zerosOff, dash, off;
    int indicator;
    bool operator==(const Enabling&) const = default;
};

Enabling EnablingOf(const PriceLineEditor& e, int L)
{
    return {e.PointButtonsEnabled(L),
            e.NameEnabled(L),
            e.BoxEnabled(L, Box::Blinking),
            e.BoxEnabled(L, Box::ZerosOff),
            e.BoxEnabled(L, Box::PriceDash),
            e.BoxEnabled(L, Box::PriceOff),
            e.IndicatorPicture(L)};
}

TEST(PriceLineEditor, EachDisplayStateEnablesItsControls)
{
    const Enabling normal{true, true, true, true, true, true, PriceLineEditor::IndicatorMovable};
    const Enabling dashed{false, true, true, false, true, true, PriceLineEditor::IndicatorFixed};
    const Enabling off{false, false, false, false, false, true, PriceLineEditor::IndicatorFixed};

    Rig rig;
    rig.Line(1, "004567", 2);
    rig.Show();
    EXPECT_EQ(EnablingOf(rig.editor, 1), normal);
    rig.editor.SetBox(1, Box::PriceDash, true);  // normal -> dashed
    EXPECT_EQ(EnablingOf(rig.editor, 1), dashed);
    rig.editor.SetBox(1, Box::PriceOff, true);  // dashed -> off
    EXPECT_EQ(EnablingOf(rig.editor, 1), off);
    EXPECT_EQ(rig.model.Prices[1].Conf.PriceDash, 1) << "off keeps the dash flag";
    rig.editor.SetBox(1, Box::PriceOff, false);  // off -> dashed again
    EXPECT_EQ(EnablingOf(rig.editor, 1), dashed);
    EXPECT_EQ(rig.Cells(1), "------");
    rig.editor.SetBox(1, Box::PriceDash, false);  // dashed -> normal
    EXPECT_EQ(EnablingOf(rig.editor, 1), normal);
    EXPECT_EQ(rig.Cells(1), "0045.67");
    rig.editor.SetBox(1, Box::PriceOff, true);  // normal -> off
    EXPECT_EQ(EnablingOf(rig.editor, 1), off);
    rig.editor.SetBox(1, Box::PriceOff, false);  // off -> normal
    EXPECT_EQ(EnablingOf(rig.editor, 1), normal);
}

TEST(PriceLineEditor, BlinkingOnlyChangesTheFlag)
{
    Rig rig;
    rig.Line(6, "000199", 2, true);
    rig.Show();
    const std::string before = rig.Cells(6);
    rig.editor.SetBox(6, Box::Blinking, true);
    EXPECT_EQ(rig.model.Prices[6].Conf.PriceBlinking, 1);
    EXPECT_EQ(rig.Cells(6), before);
    EXPECT_EQ(EnablingOf(rig.editor, 6).pointButtons, true);
    rig.editor.SetBox(6, Box::Blinking, false);
    EXPECT_EQ(rig.model.Prices[6].Conf.PriceBlinking, 0);
}

TEST(PriceLineEditor, RedrawKeepsTheFlagsOfBoxesAlreadyChecked)
{
    Rig rig;
    for (int L = 0; L < 7; ++L) rig.Line(L, "000321", 2, true);
    rig.model.Prices[2].Conf.PriceBlinking = 1;
    rig.model.Prices[3].Conf.PriceDash = 1;
    rig.model.Prices[4].Conf.PriceOff = 1;
    rig.Show();
    rig.Show();  // every box is cleared and set again
    for (int L = 0; L < 7; ++L) {
        EXPECT_EQ(rig.model.Prices[L].Conf.ZerosOff, 1) << L;
        EXPECT_TRUE(rig.editor.BoxChecked(L, Box::ZerosOff)) << L;
    }
    EXPECT_EQ(rig.model.Prices[2].Conf.PriceBlinking, 1);
    EXPECT_EQ(rig.model.Prices[3].Conf.PriceDash, 1);
    EXPECT_EQ(rig.model.Prices[4].Conf.PriceOff, 1);
    EXPECT_EQ(rig.Cells(0), "___3.21");
    EXPECT_EQ(rig.Cells(3), "------");
    EXPECT_EQ(rig.Cells(4), "______");
}

TEST(PriceLineEditor, RedrawReplacesEveryLineWithTheSnapshot)
{
    Rig rig;
    rig.Line(0, "001234", 2, true);
    rig.model.Prices[0].Conf.PriceOff = 1;
    rig.Show();
    // Another configuration arrives (opened file, download): nothing of the old one stays.
    rig.Line(0, "987654", 3, false);
    rig.model.Prices[0].Conf.PriceOff = 0;
    rig.model.Prices[0].Name = "LPG";
    rig.Show();
    EXPECT_EQ(rig.Cells(0), "987.654");
    EXPECT_EQ(rig.Arrows(0), "++++++");
    EXPECT_EQ(rig.editor.NameText(0), "LPG");
    EXPECT_FALSE(rig.editor.BoxChecked(0, Box::PriceOff));
    EXPECT_TRUE(rig.editor.NameEnabled(0));
    EXPECT_EQ(rig.editor.BlankCount(0), 0);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(rig.editor.DigitTag(i), rig.model.Prices[0].Price[i]);
}

TEST(PriceLineEditor, PointsOutsideOneToFiveLightNothingAndTouchNoOtherLine)
{
    Rig rig;
    rig.Line(0, "123456", 0);
    rig.Line(1, "123456", 7);  // would address line 1's neighbour's point images
    rig.Show();
    EXPECT_EQ(rig.Cells(0), "123456");
    EXPECT_EQ(rig.Cells(1), "123456");
    rig.editor.SetBox(1, Box::PriceDash, true);
    rig.editor.SetBox(1, Box::PriceDash, false);
    rig.editor.SetBox(1, Box::PriceOff, true);
    rig.editor.SetBox(1, Box::PriceOff, false);
    EXPECT_EQ(rig.Cells(0), "123456");
    EXPECT_EQ(rig.Cells(1), "123456");
    for (int j = 0; j < PriceLineEditor::Points; ++j)
        EXPECT_EQ(rig.editor.PointPicture(j),
                  j >= 10 && j % 5 == 3 ? PriceLineEditor::PointLit : PriceLineEditor::PointDark)
            << j;
}

TEST(PriceLineEditor, DomsGivesEveryLineTheFirstLinesPoint)
{
    Rig rig;
    for (int L = 0; L < 7; ++L) rig.Line(L, "001234", L % 6);
    rig.model.Prices[0].Conf.DecimalPoint = 3;
    rig.model.DOMS = true;
    rig.Show();
    EXPECT_TRUE(rig.editor.DomsChecked());
    for (int L = 0; L < 7; ++L) {
        EXPECT_EQ(rig.model.Prices[L].Conf.DecimalPoint, 3) << L;
        EXPECT_EQ(rig.Cells(L), "001.234") << L;
    }
    // Any line's button moves all seven points.
    rig.editor.PointRight(5);
    for (int L = 0; L < 7; ++L) EXPECT_EQ(rig.Cells(L), "0012.34") << L;
    rig.editor.PointLeft(0);
    rig.editor.PointLeft(0);
    for (int L = 0; L < 7; ++L) EXPECT_EQ(rig.model.Prices[L].Conf.DecimalPoint, 4) << L;

    rig.editor.SetDoms(false);
    EXPECT_FALSE(rig.model.DOMS);
    rig.editor.PointLeft(0);
    EXPECT_EQ(rig.model.Prices[0].Conf.DecimalPoint, 5);
    EXPECT_EQ(rig.model.Prices[1].Conf.DecimalPoint, 4);
}

TEST(PriceLineEditor, DomsAlreadyOnStillEqualsThePointsOfANewConfiguration)
{
    Rig rig;
    rig.model.DOMS = true;
    rig.Show();
    ASSERT_TRUE(rig.editor.DomsChecked());
    // A file opened while DOMS is on, with points that differ.
    for (int L = 0; L < 7; ++L) rig.Line(L, "000500", L % 5);
    rig.model.Prices[0].Conf.DecimalPoint = 1;
    rig.Show();
    for (int L = 0; L < 7; ++L) EXPECT_EQ(rig.Cells(L), "00050.0") << L;
}

TEST(PriceLineEditor, DomsMovesHiddenLinesAndShowsThemWithTheNewPointLater)
{
    Rig rig;
    for (int L = 0; L < 7; ++L) rig.Line(L, "000012", 2, true);
    rig.model.Prices[3].Conf.PriceDash = 1;
    rig.model.Prices[4].Conf.PriceOff = 1;
    rig.model.DOMS = true;
    rig.Show();
    rig.editor.PointRight(0);  // p 1 everywhere; the grown range blanks one more zero
    EXPECT_EQ(rig.Cells(0), "____1.2");
    EXPECT_EQ(rig.Cells(3), "------");
    EXPECT_EQ(rig.Cells(4), "______");
    EXPECT_EQ(rig.editor.BlankCount(3), 4);
    rig.editor.SetBox(3, Box::PriceDash, false);
    EXPECT_EQ(rig.Cells(3), "____1.2");
    EXPECT_EQ(rig.Arrows(3), "----++");
    rig.editor.SetBox(4, Box::PriceOff, false);
    EXPECT_EQ(rig.Cells(4), "____1.2");
}

TEST(PriceLineEditor, NamesAreCutAtTwentyBytesAndRedrawShowsTheModels)
{
    Rig rig;
    rig.editor.NameEdited(2, "A name that is much too long");
    EXPECT_EQ(rig.model.Prices[2].Name, "A name that is much ");
    rig.model.Prices[2].Name = "ON";
    rig.Show();
    EXPECT_EQ(rig.editor.NameText(2), "ON");
}

// What the session holds after an edit, read back as the next start would.
PylonConfig Restored(MemoryRegStore& store)
{
    PylonConfig restored(&store);
    restored.DetachSession();
    return restored;
}

TEST(PriceLineEditor, ReleasedSnapshotsBringTheSessionUpToDate)
{
    Rig rig;
    rig.Line(1, "000700", 2);
    rig.editor.ShowPylon(PylonConfig(rig.model));
    EXPECT_EQ(Restored(rig.store).Prices[1].Price[3], 7) << "a whole redraw stores the session";

    rig.editor.SetBox(1, Box::ZerosOff, true);
    EXPECT_EQ(Restored(rig.store).Prices[1].Conf.ZerosOff, 1);
    rig.editor.SetBox(1, Box::ZerosOff, false);
    EXPECT_EQ(Restored(rig.store).Prices[1].Conf.ZerosOff, 0);

    rig.editor.SetBox(1, Box::ZerosOff, true);
    rig.editor.PointLeft(1);
    EXPECT_EQ(Restored(rig.store).Prices[1].Conf.DecimalPoint, 3);

    rig.editor.SetDoms(true);
    const PylonConfig stored = Restored(rig.store);
    EXPECT_TRUE(stored.DOMS);
    for (int L = 0; L < 7; ++L) EXPECT_EQ(stored.Prices[L].Conf.DecimalPoint, 2) << L;
}

TEST(PriceLineEditor, ARedrawStoresTheSessionOnceWithWhatItShows)
{
    struct CountingStore : MemoryRegStore {
        int commits = 0;
        bool Commit() override
        {
            ++commits;
            return true;
        }
    } store;
    PylonConfig model(&store);
    PriceLineEditor editor(model);
    for (int L = 0; L < 7; ++L) {
        model.Prices[L].Conf.ZerosOff = 1;
        model.Prices[L].Conf.PriceBlinking = 1;
        model.Prices[L].Conf.DecimalPoint = uint8_t(L % 5);
    }
    model.Prices[0].Conf.DecimalPoint = 3;
    model.Prices[2].Conf.PriceDash = 1;
    model.Prices[4].Conf.PriceOff = 1;
    editor.ShowPylon(model);  // every box checked now
    // A configuration with DOMS arrives while the boxes are checked.
    model.DOMS = true;
    store.commits = 0;
    editor.ShowPylon(PylonConfig(model));
    EXPECT_EQ(store.commits, 1) << "one write for the whole redraw";
    const PylonConfig stored = Restored(store);
    EXPECT_TRUE(stored.DOMS);
    for (int L = 0; L < 7; ++L) {
        EXPECT_EQ(stored.Prices[L].Conf.DecimalPoint, 3) << "the points shown, not the ones passed in";
        EXPECT_EQ(stored.Prices[L].Conf.ZerosOff, 1);
    }
    EXPECT_EQ(stored.Prices[2].Conf.PriceDash, 1);
    EXPECT_EQ(stored.Prices[4].Conf.PriceOff, 1);
}

TEST(PriceLineEditor, ObserverSeesWhatTheEditorShows)
{
    // A recording observer stands in for the widgets.
    struct Recorder : PriceLineEditor::Observer {
        std::vector<int> digits = std::vector<int>(42, -1), tags = std::vector<int>(42, -1);
        std::vector<int> points = std::vector<int>(35, -1);
        std::vector<bool> arrows = std::vector<bool>(42, false);
        std::vector<std::string> names = std::vector<std::string>(7);
        bool doms = false;
        void DigitDrawn(int d, int p) override { digits[d] = p; }
        void DigitTagChanged(int d, int t) override { tags[d] = t; }
        void ArrowsEnabled(int d, bool e) override { arrows[d] = e; }
        void PointDrawn(int j, int p) override { points[j] = p; }
        void IndicatorDrawn(int, int) override {}
        void PointButtonsEnabled(int, bool) override {}
        void NameEnabled(int, bool) override {}
        void NameShown(int L, const std::string& n) override { names[L] = n; }
        void BoxEnabled(int, Box, bool) override {}
        void BoxChecked(int, Box, bool) override {}
        void DomsChecked(bool c) override { doms = c; }
    } recorder;

    Rig rig;
    rig.Line(5, "001234", 2, true);
    rig.model.Prices[5].Name = "EUR";
    rig.editor.SetObserver(&recorder);
    rig.editor.Publish();
    rig.Show();
    rig.editor.DigitUp(6 * 5 + 5);
    for (int i = 0; i < 42; ++i) {
        EXPECT_EQ(recorder.digits[i], rig.editor.DigitPicture(i)) << i;
        EXPECT_EQ(recorder.tags[i], rig.editor.DigitTag(i)) << i;
        EXPECT_EQ(recorder.arrows[i], rig.editor.ArrowsEnabled(i)) << i;
    }
    for (int j = 0; j < 35; ++j) EXPECT_EQ(recorder.points[j], rig.editor.PointPicture(j)) << j;
    EXPECT_EQ(recorder.names[5], "EUR");
    EXPECT_EQ(rig.Cells(5), "__12.35");
}

}  // namespace
