#pragma once
#include <QColor>
#include <QPalette>
#include <QString>

class QApplication;

// The application palettes every window follows. Only the pylon picture
// keeps its own colours: red digits on black, as the sign shows them.
enum class PaletteKind { Light, Dark, Contrast };

QPalette MakePalette(PaletteKind kind);
// "light", "dark", "contrast"; false for anything else.
bool PaletteKindFromName(const QString& name, PaletteKind& kind);

// Dark when the desktop says it prefers dark (where Qt can tell), else the
// style's own palette stays.
void FollowDesktopScheme(QApplication& application);

// The contrast ratio of two colours, 1 to 21 (WCAG relative luminance).
double ContrastRatio(const QColor& a, const QColor& b);
