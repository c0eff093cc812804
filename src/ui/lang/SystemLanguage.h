#pragma once
#include <QLocale>

#include "lang/StartupLanguage.h"

// The primary language identifier of a Qt language, 0 for languages the
// program has no text for.
int PrimaryLanguageIdOf(QLocale::Language language);
// The primary language identifier of the system's default locale.
int SystemPrimaryLanguageId();
