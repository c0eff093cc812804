#pragma once
#include <QIcon>
#include <QRect>
#include <QStyle>
#include <QString>

class QCheckBox;
class QLabel;
class QToolButton;
class QWidget;

// Controls the forms place at fixed positions, named as the translation
// keys expect them.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QRect geometry);

// A check box that takes clicks anywhere on its rectangle, as the design's
// boxes do; captions narrower than the box leave no dead area.
QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& text, QRect geometry);

// A flat button with an optional glyph beside its text. Flat buttons take no
// focus, so the edit being typed in keeps it.
QToolButton* MakeButton(QWidget* parent, const char* name, const QString& text, const QIcon& glyph, QRect geometry);
QToolButton* MakeButton(QWidget* parent, const char* name, const QString& text, QStyle::StandardPixmap glyph,
                        QRect geometry);
