#pragma once
#include <QList>
#include <QString>

#include "lang/IniStore.h"
#include "lang/TLangData.h"

class QObject;

// Loads the built-in language texts by code, fills Msg, and applies a text's
// section to a form and the components it owns.
class TLanguageChanger {
public:
    // The optional "LumarqPylon.INI" beside the program is the initial text.
    TLanguageChanger();

    QList<TLangData> Languages;
    IniStore Texts;

    // Loads "ID_LANGINI_" + code; false (nothing changed) when there is none.
    bool LoadLanguage(const QString& code);
    // Every caller passes the root's own objectName as section, an empty path and depth 0.
    void Translate(QObject* root, const QString& section, const QString& path, int depth);
};
