#pragma once
#include <QString>

// The names the library looks for, made once when the library is loaded and
// released when it is unloaded (the single instance is a static object).
// They are heap strings on purpose: a string that pointed into the library's
// read-only data would dangle in the caller after the library is unloaded.
class FixedStrings {
public:
    FixedStrings();

    // Property names: what a key letter asks a component to publish.
    QString Caption, Text, Hint, Filter, Columns, Panels, Items;
    // Key letters, and the letter in front of the depth of a nested owner.
    QString LetterC, LetterT, LetterH, LetterF, LetterI, LetterA, LetterB, LetterS;
    QString Nest;
    // Design class names that the exact class tests compare with.
    QString ListView, StatusBar, RadioGroup, ComboBox, ListBox, LabeledEdit;
    // The message section and the default of every read.
    QString MessageSection, Default;
};

extern const FixedStrings Fixed;
