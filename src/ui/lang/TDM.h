#pragma once
#include <QIcon>
#include <QList>

#include "ui/lang/TLanguageChanger.h"
#include "model/TApplicationSettings.h"

class RegStore;

// Indexes of the shared 16 x 16 glyphs (il16x16): the main menu's images and
// the language entries' flags.
enum Glyph16 {
    GlyphPL = 0,
    GlyphEN = 1,
    GlyphHU = 2,
    GlyphSave = 3,
    GlyphOpen = 4,
    GlyphInfo = 5,  // producer / about
    GlyphSend = 6,
    GlyphDownload = 7,
    GlyphBrightness = 8,
    GlyphConnections = 9,
    GlyphFonts = 10,
    GlyphHelp = 11,
    GlyphDE = 12,
    Glyph16Count = 13
};

// The data module: the shared 16 x 16 glyphs, the language changer, the
// language list and the stored language code. Made before the main window,
// released after it (the language code is stored then). Needs the
// application object (the glyphs are pixmaps).
class TDM {
public:
    explicit TDM(RegStore* store);
    // The same with the changer's initial text read from `iniPath`.
    TDM(RegStore* store, const QString& iniPath);
    ~TDM();
    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;

    QList<QIcon> il16x16;
    TLanguageChanger LanguageChanger;
    TApplicationSettings Settings;  // declared after the changer: released first

    // At start-up: when no language is stored yet, takes the one of the
    // system's language identifier (StartupLanguage.h).
    void ChooseStartupLanguage(int systemLanguageId);
    // Loads the language of Settings.LangId.
    bool LoadLanguage();
    // Appends PL, EN, HU and DE to the language list (done by the constructor).
    void FillLanguages();
};

// The 13 glyphs of il16x16, in index order, 16 x 16 with alpha.
QList<QIcon> MakeGlyphs16();
