#pragma once
#include <QIcon>
#include <QList>

#include "lang/TLanguageChanger.h"
#include "model/TApplicationSettings.h"

class RegStore;

// The data module: the shared 16 x 16 glyphs, the language changer, the
// language list and the stored language code. Made before the main window,
// released after it (the language code is stored then).
class TDM {
public:
    explicit TDM(RegStore* store);
    ~TDM();
    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;

    QList<QIcon> il16x16;
    TLanguageChanger LanguageChanger;
    TApplicationSettings Settings;  // declared after the changer: released first

    bool LoadLanguage();
    void FillLanguages();
};
