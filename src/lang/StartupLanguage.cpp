#include "lang/StartupLanguage.h"

QString LanguageCodeFor(int languageId)
{
    switch (languageId & 0xFF) {
    case LangGerman: return QStringLiteral("DE");
    case LangEnglish: return QStringLiteral("EN");
    case LangHungarian: return QStringLiteral("HU");
    case LangPolish: return QStringLiteral("PL");
    default: return QStringLiteral("EN");
    }
}

int PrimaryLanguageIdOf(QLocale::Language language)
{
    switch (language) {
    case QLocale::German: return LangGerman;
    case QLocale::English: return LangEnglish;
    case QLocale::Hungarian: return LangHungarian;
    case QLocale::Polish: return LangPolish;
    default: return 0;
    }
}

int SystemPrimaryLanguageId()
{
    return PrimaryLanguageIdOf(QLocale::system().language());
}
