#pragma once
#include <string>
#include <QString>

#include "lang/Msg.h"

// The forms' edge to the core's interface texts, which are UTF-8.
inline QString ToQString(const std::string& utf8) { return QString::fromStdString(utf8); }
inline std::string ToUtf8(const QString& text) { return text.toStdString(); }

// Message n of the current language.
inline QString MsgText(int n) { return QString::fromStdString(Msg[n]); }
