#pragma once
#include <initializer_list>

class QAbstractButton;
class QDialog;
class QWidget;

// The keyboard of a dialog with flat OK and Cancel buttons: Return or Enter
// clicks OK (or the button that has the focus), Escape clicks Cancel, and
// both buttons are reached with Tab. Flat buttons still take no focus from
// a click, so a field being typed in keeps it.
void SetDialogKeys(QDialog* dialog, QAbstractButton* ok, QAbstractButton* cancel);

// Chains the Tab order through `widgets` in the order given.
void SetTabChain(std::initializer_list<QWidget*> widgets);

// Gives every focusable control of `form` that has no accessible name the
// text of the label whose buddy it is.
void NameFromBuddies(QWidget* form);
