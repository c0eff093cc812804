#include "langlib/FixedStrings.h"

namespace {
QString Make(const char* text) { return QString::fromUtf8(text); }
}  // namespace

FixedStrings::FixedStrings()
    : Caption(Make("Caption")), Text(Make("Text")), Hint(Make("Hint")), Filter(Make("Filter")),
      Columns(Make("Columns")), Panels(Make("Panels")), Items(Make("Items")), LetterC(Make("C")), LetterT(Make("T")),
      LetterH(Make("H")), LetterF(Make("F")), LetterI(Make("I")), LetterA(Make("A")), LetterB(Make("B")),
      LetterS(Make("S")), Nest(Make("X")), ListView(Make("TListView")), StatusBar(Make("TStatusBar")),
      RadioGroup(Make("TRadioGroup")), ComboBox(Make("TComboBox")), ListBox(Make("TListBox")),
      LabeledEdit(Make("TLabeledEdit")), MessageSection(Make("MSG")), Default(Make("Error LNG"))
{}

const FixedStrings Fixed;
