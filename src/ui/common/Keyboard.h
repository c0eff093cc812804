#pragma once
class QWidget;

// Alt with a letter is a command key (a menu's mnemonic, a shortcut), never
// text: a text field given this filter drops Alt+letter instead of typing the
// letter. AltGr, which Qt reports as Ctrl+Alt on some systems, still types.
void RefuseAltTyping(QWidget* field);
