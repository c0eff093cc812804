#pragma once
#include <QFont>

// The forms are laid out for Tahoma 8 point at 96 dots per inch. Where the
// system has no Tahoma, a face with its metrics is loaded from the usual
// font folders (Debian's fonts-wine ships one); failing that, condensed
// faces keep the texts close to the design's widths.
QFont DesignFont(int pointSize = 8);
// Whether a face with Tahoma's name is available to the program.
bool DesignFontAvailable();
