#pragma once
#include <QString>

class QAction;

// One available interface language.
struct LanguageEntry {
    QString Code;                 // "PL", "EN", "HU", "DE"; also the resource suffix
    QString Name;                 // "Polski", "English", "Magyar", "Deutsch"
    int ImageIndex = 0;           // glyph in Glyphs
    QAction* MenuItem = nullptr;  // made by the language menu; owned by the menu
};
