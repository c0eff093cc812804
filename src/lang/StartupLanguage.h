#pragma once
#include <string>

// The language the program starts in when none is stored yet, from the
// system's language. Languages are told by the system's primary language
// identifiers: 7 German, 9 English, 14 Hungarian, 21 Polish.
constexpr int LangGerman = 7;
constexpr int LangEnglish = 9;
constexpr int LangHungarian = 14;
constexpr int LangPolish = 21;

// The code for a language identifier; only its low 8 bits (the primary
// language) count. Anything but German, English, Hungarian or Polish gives "EN".
std::string LanguageCodeFor(int languageId);
