#include "model/PriceLineEditor.h"

#include "model/Cp1250.h"

namespace {

constexpr size_t NameWidth = 20;

uint8_t& FlagOf(LineSettings& conf, PriceLineEditor::Box box)
{
    switch (box) {
    case PriceLineEditor::Blinking: return conf.PriceBlinking;
    case PriceLineEditor::ZerosOff: return conf.ZerosOff;
    case PriceLineEditor::PriceDash: return conf.PriceDash;
    case PriceLineEditor::PriceOff: break;
    default: break;
    }
    return conf.PriceOff;
}

bool ValidLine(int line) { return line >= 0 && line < PriceLineEditor::Lines; }

}  // namespace

PriceLineEditor::PriceLineEditor(PylonConfig& model) : model_(model)
{
    // The design state, before the model is first shown.
    digitPictures_.fill(Blank);
    arrows_.fill(true);
    pointPictures_.fill(PointDark);
    indicators_.fill(IndicatorMovable);
    pointButtons_.fill(true);
    nameEnabled_.fill(true);
    for (int L = 0; L < Lines; ++L) {
        names_[L] = PylonConfig::DefaultName(L + 1);
        boxEnabled_[L].fill(true);
        boxChecked_[L].fill(false);
    }
}

int PriceLineEditor::PointImageFor(int line, int point)
{
    // Digits right of the point: p lights the point after digit 6 - p. Values
    // outside 1 to 5 (possible from a foreign file) have no point image.
    if (point < 1 || point > 5) return -1;
    return PointsPerLine * line + 5 - point;
}

int PriceLineEditor::LastBlankable(int point)
{
    // Every digit left of the units digit may be blank; the units digit and
    // the decimals never are.
    if (point < 0 || point >= 5) return -1;
    return 4 - point;
}

void PriceLineEditor::Publish()
{
    if (!observer_) return;
    for (int i = 0; i < Digits; ++i) {
        observer_->DigitTagChanged(i, tags_[i]);
        observer_->DigitDrawn(i, digitPictures_[i]);
        observer_->ArrowsEnabled(i, arrows_[i]);
    }
    for (int j = 0; j < Points; ++j) observer_->PointDrawn(j, pointPictures_[j]);
    for (int L = 0; L < Lines; ++L) {
        observer_->IndicatorDrawn(L, indicators_[L]);
        observer_->PointButtonsEnabled(L, pointButtons_[L]);
        observer_->NameEnabled(L, nameEnabled_[L]);
        observer_->NameShown(L, names_[L]);
        for (int b = 0; b < BoxCount; ++b) {
            observer_->BoxEnabled(L, Box(b), boxEnabled_[L][b]);
            observer_->BoxChecked(L, Box(b), boxChecked_[L][b]);
        }
    }
    observer_->DomsChecked(doms_);
}

// ---------------------------------------------------------------- edits

void PriceLineEditor::DigitUp(int digit)
{
    if (digit < 0 || digit >= Digits) return;
    int tag = tags_[digit] + 1;
    if (tag == 10) tag = 0;
    tag = uint8_t(tag);  // the model's digit is a byte; keep the cell equal to it
    SetTag(digit, tag);
    model_.Prices[digit / DigitsPerLine].Price[digit % DigitsPerLine] = uint8_t(tag);
    DrawDigit(digit, tag);
}

void PriceLineEditor::DigitDown(int digit)
{
    if (digit < 0 || digit >= Digits) return;
    int tag = tags_[digit] - 1;
    if (tag == -1) tag = 9;
    tag = uint8_t(tag);
    SetTag(digit, tag);
    model_.Prices[digit / DigitsPerLine].Price[digit % DigitsPerLine] = uint8_t(tag);
    DrawDigit(digit, tag);
}

void PriceLineEditor::StepPoint(int line, bool left, int& oldPoint, int& newPoint)
{
    uint8_t& point = model_.Prices[line].Conf.DecimalPoint;
    oldPoint = point;
    int next = left ? oldPoint + 1 : oldPoint - 1;
    if (left && next == 6) next = 0;
    if (!left && next == -1) next = 5;
    point = uint8_t(next);
    newPoint = point;
}

void PriceLineEditor::PointLeft(int line)
{
    if (!ValidLine(line)) return;
    if (doms_) {
        MovePointsDoms(true);
        return;
    }
    int oldPoint, newPoint;
    StepPoint(line, true, oldPoint, newPoint);
    MovePointImage(line, oldPoint, newPoint);
    if (boxChecked_[line][ZerosOff]) ReblankAfterLeft(Snapshot(), line);
}

void PriceLineEditor::PointRight(int line)
{
    if (!ValidLine(line)) return;
    if (doms_) {
        MovePointsDoms(false);
        return;
    }
    int oldPoint, newPoint;
    StepPoint(line, false, oldPoint, newPoint);
    MovePointImage(line, oldPoint, newPoint);
    if (boxChecked_[line][ZerosOff]) ReblankAfterRight(Snapshot(), line);
}

void PriceLineEditor::MovePointsDoms(bool left)
{
    // One price format for the whole pylon: every line's point moves.
    for (int L = 0; L < Lines; ++L) {
        int oldPoint, newPoint;
        StepPoint(L, left, oldPoint, newPoint);
        const bool hidden = boxChecked_[L][PriceDash] || boxChecked_[L][PriceOff];
        const bool zeros = boxChecked_[L][ZerosOff];
        if (!hidden) MovePointImage(L, oldPoint, newPoint);
        if (zeros && !hidden) {
            if (left) ReblankAfterLeft(Snapshot(), L);
            else ReblankAfterRight(Snapshot(), L);
        } else if (zeros) {
            // Dashed or off: only count the blanks; ShowLinePrice draws them later.
            int count = 0;
            for (int k = 0; k <= LastBlankable(newPoint); ++k) {
                if (model_.Prices[L].Price[k] != 0) break;
                ++count;
            }
            blankCount_[L] = uint8_t(count);
        }
    }
}

void PriceLineEditor::SetBox(int line, Box box, bool checked)
{
    if (!ValidLine(line) || box < 0 || box >= BoxCount) return;
    if (boxChecked_[line][box] == checked) return;
    SetBoxState(line, box, checked);
    BoxBehaviour(line, box, checked);
}

void PriceLineEditor::SetDoms(bool checked)
{
    if (doms_ == checked) return;
    doms_ = checked;
    if (observer_) observer_->DomsChecked(checked);
    DomsBehaviour(checked);
}

void PriceLineEditor::NameEdited(int line, const std::string& ansi)
{
    if (!ValidLine(line)) return;
    names_[line] = Cp1250::Fit(ansi, NameWidth);
    model_.Prices[line].Name = names_[line];
}

void PriceLineEditor::BoxBehaviour(int L, Box box, bool checked)
{
    LineSettings& conf = model_.Prices[L].Conf;
    const int p = conf.DecimalPoint;
    switch (box) {
    case Blinking:
        // Only the pylon blinks; the picture stays still.
        conf.PriceBlinking = checked ? 1 : 0;
        break;
    case ZerosOff:
        // The flag is set before the snapshot is taken, so that releasing the
        // snapshot stores the new state in the session.
        conf.ZerosOff = checked ? 1 : 0;
        if (checked) BlankLeadingZeros(Snapshot(), L);
        else ShowLeadingZeros(Snapshot(), L);
        break;
    case PriceDash:
        if (checked) {
            ShowLineDash(L, p);
            conf.PriceDash = 1;
            SetPointButtons(L, false);
            DrawIndicator(L, IndicatorFixed);
            SetBoxEnabled(L, ZerosOff, false);
        } else {
            ShowLinePrice(L, p);
            conf.PriceDash = 0;
            SetPointButtons(L, true);
            DrawIndicator(L, IndicatorMovable);
            SetBoxEnabled(L, ZerosOff, true);
        }
        break;
    case PriceOff:
        if (checked) {
            ShowLineOff(L, p);
            conf.PriceOff = 1;
            SetPointButtons(L, false);
            DrawIndicator(L, IndicatorFixed);
            SetNameEnabled(L, false);
            SetBoxEnabled(L, Blinking, false);
            SetBoxEnabled(L, ZerosOff, false);
            SetBoxEnabled(L, PriceDash, false);
        } else {
            const bool dashed = boxChecked_[L][PriceDash];
            if (dashed) ShowLineDash(L, p);
            else ShowLinePrice(L, p);
            conf.PriceOff = 0;
            if (!dashed) {
                SetPointButtons(L, true);
                DrawIndicator(L, IndicatorMovable);
            }
            SetNameEnabled(L, true);
            SetBoxEnabled(L, Blinking, true);
            SetBoxEnabled(L, ZerosOff, conf.PriceDash == 0);
            SetBoxEnabled(L, PriceDash, true);
        }
        break;
    default: break;
    }
}

void PriceLineEditor::DomsBehaviour(bool checked)
{
    if (checked) {
        for (int L = 1; L < Lines; ++L) model_.Prices[L].Conf.DecimalPoint = model_.Prices[0].Conf.DecimalPoint;
        model_.DOMS = true;
        ShowPylon(Snapshot());
    } else {
        model_.DOMS = false;
    }
}

// ---------------------------------------------------------------- display

PylonConfig PriceLineEditor::Snapshot() const
{
    PylonConfig copy(model_);
    if (redrawing_ > 0) copy.DetachSession();
    return copy;
}

void PriceLineEditor::ShowPylon(PylonConfig s)
{
    // Clearing and setting the boxes again passes through states that are
    // not worth a write of the session each.
    ++redrawing_;
    for (int i = 0; i < Digits; ++i) {
        SetTag(i, s.Prices[i / DigitsPerLine].Price[i % DigitsPerLine]);
        DrawDigit(i, tags_[i]);
    }
    for (int i = 0; i < Digits; ++i) SetArrows(i, true);
    for (int j = 0; j < Points; ++j) DrawPoint(j, PointDark);
    for (int L = 0; L < Lines; ++L) {
        const int j = PointImageFor(L, s.Prices[L].Conf.DecimalPoint);
        if (j >= 0) DrawPoint(j, PointLit);
    }

    if (s.DOMS) {
        if (!doms_) {
            SetDoms(true);  // redraws the pylon with every point equal to line 1's
        } else {
            // Already in DOMS mode: a configuration opened now must still come
            // up with one point for the whole pylon.
            bool differ = false;
            for (int L = 1; L < Lines; ++L)
                differ |= model_.Prices[L].Conf.DecimalPoint != model_.Prices[0].Conf.DecimalPoint;
            if (differ) DomsBehaviour(true);
        }
    } else {
        SetDoms(false);
    }

    for (int L = 0; L < Lines; ++L) ShowName(L, s.Prices[L].Name);

    // Each box is cleared and set again so that its behaviour draws the line.
    // The flag is read before the box is cleared: clearing writes 0 into it.
    static constexpr Box order[] = {Blinking, ZerosOff, PriceDash, PriceOff};
    for (int L = 0; L < Lines; ++L) {
        for (Box box : order) {
            const bool flag = FlagOf(model_.Prices[L].Conf, box) != 0;
            SetBox(L, box, false);
            if (flag) SetBox(L, box, true);
        }
    }
    --redrawing_;
    s.AssignFields(model_);
}

void PriceLineEditor::MovePointImage(int line, int oldPoint, int newPoint)
{
    if (!ValidLine(line)) return;
    if (int j = PointImageFor(line, oldPoint); j >= 0) DrawPoint(j, PointDark);
    if (int j = PointImageFor(line, newPoint); j >= 0) DrawPoint(j, PointLit);
}

int PriceLineEditor::BlankRange(const PylonConfig& s, int L, int last)
{
    int count = 0;
    for (int k = 0; k <= last; ++k) {
        if (s.Prices[L].Price[k] != 0) break;
        DrawDigit(DigitsPerLine * L + k, Blank);
        SetArrows(DigitsPerLine * L + k, false);
        ++count;
    }
    return count;
}

void PriceLineEditor::UnblankRange(const PylonConfig& s, int L, int last)
{
    for (int k = 0; k <= last; ++k) {
        if (s.Prices[L].Price[k] != 0) break;
        const int i = DigitsPerLine * L + k;
        DrawDigit(i, tags_[i]);
        SetArrows(i, true);
    }
}

void PriceLineEditor::BlankLeadingZeros(PylonConfig s, int L)
{
    if (!ValidLine(L)) return;
    blankCount_[L] = uint8_t(BlankRange(s, L, LastBlankable(s.Prices[L].Conf.DecimalPoint)));
}

void PriceLineEditor::ShowLeadingZeros(PylonConfig s, int L)
{
    if (!ValidLine(L)) return;
    UnblankRange(s, L, LastBlankable(s.Prices[L].Conf.DecimalPoint));
    blankCount_[L] = 0;
}

void PriceLineEditor::ReblankAfterLeft(PylonConfig s, int L)
{
    if (!ValidLine(L)) return;
    const int p = s.Prices[L].Conf.DecimalPoint;
    if (p >= 1 && p <= 4) {
        // The range shrank by one: the old last blankable digit is the units digit now.
        blankCount_[L] = uint8_t(BlankRange(s, L, LastBlankable(p)));
        for (int k = 5 - p; k < DigitsPerLine; ++k) {
            const int i = DigitsPerLine * L + k;
            DrawDigit(i, tags_[i]);
            SetArrows(i, true);
        }
    } else if (p == 0) {
        BlankLeadingZeros(s, L);
    } else if (p == 5) {
        blankCount_[L] = 0;
        UnblankRange(s, L, 4);
    }
}

void PriceLineEditor::ReblankAfterRight(PylonConfig s, int L)
{
    if (!ValidLine(L)) return;
    const int p = s.Prices[L].Conf.DecimalPoint;
    if (p >= 1 && p <= 4) {
        blankCount_[L] = uint8_t(BlankRange(s, L, LastBlankable(p)));
    } else if (p == 0) {
        BlankLeadingZeros(s, L);
    } else if (p == 5) {
        UnblankRange(s, L, 4);
        blankCount_[L] = 0;
    }
}

void PriceLineEditor::ShowLinePrice(int L, int p)
{
    if (!ValidLine(L)) return;
    const int blanks = blankCount_[L];
    for (int k = 0; k < DigitsPerLine; ++k) {
        const int i = DigitsPerLine * L + k;
        if (k < blanks) {
            DrawDigit(i, Blank);
            SetArrows(i, false);
        } else {
            DrawDigit(i, tags_[i]);
            SetArrows(i, true);
        }
    }
    if (int j = PointImageFor(L, p); j >= 0) DrawPoint(j, PointLit);
}

void PriceLineEditor::ShowLineOff(int L, int p)
{
    if (!ValidLine(L)) return;
    for (int k = 0; k < DigitsPerLine; ++k) {
        DrawDigit(DigitsPerLine * L + k, Blank);
        SetArrows(DigitsPerLine * L + k, false);
    }
    if (int j = PointImageFor(L, p); j >= 0) DrawPoint(j, PointDark);
}

void PriceLineEditor::ShowLineDash(int L, int p)
{
    if (!ValidLine(L)) return;
    for (int k = 0; k < DigitsPerLine; ++k) {
        DrawDigit(DigitsPerLine * L + k, Dash);
        SetArrows(DigitsPerLine * L + k, false);
    }
    if (int j = PointImageFor(L, p); j >= 0) DrawPoint(j, PointDark);
}

// ---------------------------------------------------------------- state

void PriceLineEditor::DrawDigit(int digit, int picture)
{
    digitPictures_[digit] = picture;
    if (observer_) observer_->DigitDrawn(digit, picture);
}

void PriceLineEditor::SetTag(int digit, int tag)
{
    if (tags_[digit] == tag) return;
    tags_[digit] = tag;
    if (observer_) observer_->DigitTagChanged(digit, tag);
}

void PriceLineEditor::SetArrows(int digit, bool enabled)
{
    if (arrows_[digit] == enabled) return;
    arrows_[digit] = enabled;
    if (observer_) observer_->ArrowsEnabled(digit, enabled);
}

void PriceLineEditor::DrawPoint(int point, int picture)
{
    pointPictures_[point] = picture;
    if (observer_) observer_->PointDrawn(point, picture);
}

void PriceLineEditor::DrawIndicator(int line, int picture)
{
    indicators_[line] = picture;
    if (observer_) observer_->IndicatorDrawn(line, picture);
}

void PriceLineEditor::SetPointButtons(int line, bool enabled)
{
    if (pointButtons_[line] == enabled) return;
    pointButtons_[line] = enabled;
    if (observer_) observer_->PointButtonsEnabled(line, enabled);
}

void PriceLineEditor::SetNameEnabled(int line, bool enabled)
{
    if (nameEnabled_[line] == enabled) return;
    nameEnabled_[line] = enabled;
    if (observer_) observer_->NameEnabled(line, enabled);
}

void PriceLineEditor::SetBoxEnabled(int line, Box box, bool enabled)
{
    if (boxEnabled_[line][box] == enabled) return;
    boxEnabled_[line][box] = enabled;
    if (observer_) observer_->BoxEnabled(line, box, enabled);
}

void PriceLineEditor::SetBoxState(int line, Box box, bool checked)
{
    boxChecked_[line][box] = checked;
    if (observer_) observer_->BoxChecked(line, box, checked);
}

void PriceLineEditor::ShowName(int line, const std::string& ansi)
{
    names_[line] = ansi;
    if (observer_) observer_->NameShown(line, ansi);
}
