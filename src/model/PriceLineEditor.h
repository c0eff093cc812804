#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "model/PylonConfig.h"

// What the seven price lines of the pylon picture show and which of their
// controls take input, kept apart from the widgets. Every edit goes straight
// into the program's model; the operations taking a PylonConfig by value work on
// a snapshot, whose release brings the per-user session up to date.
//
// Check boxes are part of this state: SetBox runs a box's behaviour whenever
// its checked state changes, whoever changed it, and ShowPylon relies on it.
class PriceLineEditor {
public:
    static constexpr int Lines = 7;
    static constexpr int DigitsPerLine = 6;
    static constexpr int Digits = Lines * DigitsPerLine;  // 42
    static constexpr int PointsPerLine = 5;
    static constexpr int Points = Lines * PointsPerLine;  // 35

    // Pictures of the digit list: 0 to 9 digits, then these.
    enum Picture { Blank = 10, PointLit = 11, PointDark = 12, Dash = 13, PictureCount = 14 };
    // Pictures of the point indicator.
    enum Indicator { IndicatorMovable = 0, IndicatorFixed = 1 };
    // The four flag boxes of a line, in the order of the line's box group.
    enum Box { Blinking = 0, ZerosOff = 1, PriceDash = 2, PriceOff = 3, BoxCount = 4 };

    // Told about every change of what the lines show, to mirror it on widgets.
    class Observer {
    public:
        virtual ~Observer() = default;
        virtual void DigitDrawn(int digit, int picture) = 0;
        virtual void DigitTagChanged(int digit, int tag) = 0;
        virtual void ArrowsEnabled(int digit, bool enabled) = 0;
        virtual void PointDrawn(int point, int picture) = 0;
        virtual void IndicatorDrawn(int line, int picture) = 0;
        virtual void PointButtonsEnabled(int line, bool enabled) = 0;
        virtual void NameEnabled(int line, bool enabled) = 0;
        virtual void NameShown(int line, const std::string& ansi) = 0;
        virtual void BoxEnabled(int line, Box box, bool enabled) = 0;
        virtual void BoxChecked(int line, Box box, bool checked) = 0;
        virtual void DomsChecked(bool checked) = 0;
    };

    explicit PriceLineEditor(PylonConfig& model);
    void SetObserver(Observer* observer) { observer_ = observer; }
    // Tells the observer the whole state, for widgets made after the editor.
    void Publish();

    // The operator's edits; digit = 6 L + k, line = L.
    void DigitUp(int digit);
    void DigitDown(int digit);
    void PointLeft(int line);
    void PointRight(int line);
    // Runs the box's behaviour when `checked` differs from its state.
    void SetBox(int line, Box box, bool checked);
    void SetDoms(bool checked);
    void NameEdited(int line, const std::string& ansi);

    // Display operations. ShowPylon leaves in `snapshot` what it showed, so
    // that releasing the snapshot stores the state on the screen.
    void ShowPylon(PylonConfig snapshot);
    void MovePointImage(int line, int oldPoint, int newPoint);
    void BlankLeadingZeros(PylonConfig snapshot, int line);
    void ShowLeadingZeros(PylonConfig snapshot, int line);
    void ReblankAfterLeft(PylonConfig snapshot, int line);
    void ReblankAfterRight(PylonConfig snapshot, int line);
    void ShowLinePrice(int line, int point);
    void ShowLineOff(int line, int point);
    void ShowLineDash(int line, int point);
    // Shows a name in the line's combo without editing the model.
    void ShowName(int line, const std::string& ansi);

    const PylonConfig& Model() const { return model_; }

    // The state shown.
    int DigitTag(int digit) const { return tags_[digit]; }
    int DigitPicture(int digit) const { return digitPictures_[digit]; }
    bool ArrowsEnabled(int digit) const { return arrows_[digit]; }
    int PointPicture(int point) const { return pointPictures_[point]; }
    int IndicatorPicture(int line) const { return indicators_[line]; }
    bool PointButtonsEnabled(int line) const { return pointButtons_[line]; }
    bool NameEnabled(int line) const { return nameEnabled_[line]; }
    const std::string& NameText(int line) const { return names_[line]; }
    bool BoxEnabled(int line, Box box) const { return boxEnabled_[line][box]; }
    bool BoxChecked(int line, Box box) const { return boxChecked_[line][box]; }
    bool DomsChecked() const { return doms_; }
    uint8_t BlankCount(int line) const { return blankCount_[line]; }

    // The point image lit for `point` digits after the point, -1 for none.
    static int PointImageFor(int line, int point);
    // The last position that leading-zero removal may blank, -1 for none.
    static int LastBlankable(int point);

private:
    // A copy of the model. While the pylon is redrawn the copies write no
    // session: the redraw stores its final state once, at its end.
    PylonConfig Snapshot() const;
    void StepPoint(int line, bool left, int& oldPoint, int& newPoint);
    void MovePointsDoms(bool left);
    void BoxBehaviour(int line, Box box, bool checked);
    void DomsBehaviour(bool checked);
    // Blanks the leading zeros of 0..last in `snapshot` and returns how many.
    int BlankRange(const PylonConfig& snapshot, int line, int last);
    // Shows again the leading zeros of 0..last in `snapshot`.
    void UnblankRange(const PylonConfig& snapshot, int line, int last);

    void DrawDigit(int digit, int picture);
    void SetTag(int digit, int tag);
    void SetArrows(int digit, bool enabled);
    void DrawPoint(int point, int picture);
    void DrawIndicator(int line, int picture);
    void SetPointButtons(int line, bool enabled);
    void SetNameEnabled(int line, bool enabled);
    void SetBoxEnabled(int line, Box box, bool enabled);
    void SetBoxState(int line, Box box, bool checked);

    PylonConfig& model_;
    Observer* observer_ = nullptr;

    std::array<int, Digits> tags_{};
    std::array<int, Digits> digitPictures_{};
    std::array<bool, Digits> arrows_{};
    std::array<int, Points> pointPictures_{};
    std::array<int, Lines> indicators_{};
    std::array<bool, Lines> pointButtons_{};
    std::array<bool, Lines> nameEnabled_{};
    std::array<std::string, Lines> names_;
    std::array<std::array<bool, BoxCount>, Lines> boxEnabled_{};
    std::array<std::array<bool, BoxCount>, Lines> boxChecked_{};
    bool doms_ = false;
    std::array<uint8_t, Lines> blankCount_{};
    int redrawing_ = 0;  // nesting depth of ShowPylon
};
