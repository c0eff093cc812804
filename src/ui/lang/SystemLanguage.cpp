#include "ui/lang/SystemLanguage.h"

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

int SystemPrimaryLanguageId() { return PrimaryLanguageIdOf(QLocale::system().language()); }
