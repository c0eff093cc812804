#pragma once
#include <optional>
#include <string>
#include <QList>
#include <QString>

#include "lang/IniStore.h"
#include "ui/lang/LanguageEntry.h"

class QObject;

// Loads the built-in language texts by code, fills Msg, and applies a text's
// section to a form and the components it owns (see QtComponents.h for what
// the keys reach on Qt's widgets).
class LanguageChanger {
public:
    // The optional "LumarqPylon.INI" (DefaultIniPath) is the initial text.
    LanguageChanger();
    // The same with the initial text read from `iniPath` (when it exists).
    explicit LanguageChanger(const QString& iniPath);

    QList<LanguageEntry> Languages;
    IniStore Texts;

    // Loads the language text of `code`; false (nothing changed) when there is none.
    bool LoadLanguage(const QString& code);
    // Every caller passes the root's own objectName as section, an empty path and depth 0.
    void Translate(QObject* root, const QString& section, const QString& path, int depth);

    // The language text for `code`, byte for byte: one of the four the core
    // carries, else a Qt resource ":/lang/ID_LANGINI_" + code that a program
    // (a test) compiled in; nothing when there is neither.
    static std::optional<std::string> LanguageText(const QString& code);
    // "LumarqPylon.INI" in the first of the data folders that holds it
    // (beside the program, then the installation's share folder).
    static QString DefaultIniPath();
    // The language INI file in `folder`: "LumarqPylon.INI", or a file whose
    // name differs from it only in letter case; the exact name when neither exists.
    static QString IniPathIn(const QString& folder);

private:
    void TranslateComponent(QObject* c, const QString& section, const QString& prefix);
    bool Has(const QString& section, const QString& key) const
    {
        return Texts.ValueExists(section.toStdString(), key.toStdString());
    }
    QString Read(const QString& section, const QString& key) const;
    void SetTexts(const QByteArray& bytes);
};
