#include "lang/StartupLanguage.h"

std::string LanguageCodeFor(int languageId)
{
    switch (languageId & 0xFF) {
    case LangGerman: return "DE";
    case LangEnglish: return "EN";
    case LangHungarian: return "HU";
    case LangPolish: return "PL";
    default: return "EN";
    }
}
