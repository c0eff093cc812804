#pragma once
#include <QIcon>
#include <QList>

#include "ui/lang/LanguageChanger.h"
#include "model/ApplicationSettings.h"

class RegStore;

// Indexes of the shared 16 x 16 glyphs (Glyphs): the main menu's images and
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
class DataModule {
public:
    explicit DataModule(RegStore* store);
    // The same with the changer's initial text read from `iniPath`.
    DataModule(RegStore* store, const QString& iniPath);
    ~DataModule();
    DataModule(const DataModule&) = delete;
    DataModule& operator=(const DataModule&) = delete;

    QList<QIcon> Glyphs;
    LanguageChanger Changer;
    ApplicationSettings Settings;  // declared after the changer: released first

    // At start-up: when no language is stored yet, takes the one of the
    // system's language identifier (StartupLanguage.h).
    void ChooseStartupLanguage(int systemLanguageId);
    // Loads the language of Settings.LangId.
    bool LoadLanguage();
    // Appends PL, EN, HU and DE to the language list (done by the constructor).
    void FillLanguages();
};

// The 13 glyphs of Glyphs, in index order, 16 x 16 with alpha.
QList<QIcon> MakeGlyphs16();
