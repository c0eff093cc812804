#pragma once
// The library's one module: the two exports (declared in lmqt_lngs.h) and the
// walk over a caller's form that ZaladujJezyk runs.
#include "langlib/lmqt_lngs.h"

class IniStore;
class QObject;
class QString;

namespace FormTexts {

// Reads the file named by `path` (an 8-bit file-system name) as UTF-8 into
// `doc`. Returns false, with `doc` untouched, when the path names no regular
// file; throws std::runtime_error when the file is there but can't be read.
bool ReadDocument(const char* path, IniStore& doc);

// Applies `section` of the document of the ZaladujJezyk call under way to
// the components that `owner` owns; the components of a nested owner are
// walked first, one level deeper.
void Walk(QObject* owner, const QString& section, int depth);

}  // namespace FormTexts
