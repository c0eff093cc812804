#pragma once
#include <QList>
#include <QString>
#include <QStringList>

class QObject;

// How the language texts meet Qt's widgets. A language text addresses the
// components of a form by name and by the property a letter stands for; this
// file is the one place that says which Qt object and property that is.
//
// Components. A form's components are the objects below it that carry an
// objectName (widgets, actions, menus, ...), found depth-first in the order
// Qt keeps children (creation order unless a widget was raised or lowered).
// Panels, group boxes, layouts, tool bars and menus are looked through: what
// sits inside them still belongs to the form, at the same level. Two kinds of
// object stop the search:
//  - an owner (a frame marked with MarkOwner): it is a component of the form
//    itself, and what sits inside it belongs to the owner, one level deeper;
//  - another top-level window (a dialog parented to the form): neither it nor
//    anything inside it belongs to the form. A file dialog is the exception,
//    it is a component of the form (for its filter), but is not looked into.
//    Menus are popup windows in Qt but are looked through like panels.
//
// Letters and the property they stand for ("publishes" = has an entry here):
//  C caption: the window title of a top-level form; the text of a QLabel, of
//    a QAbstractButton (push, tool and radio buttons, check boxes), of a
//    QAction (menu item); the title of a QGroupBox or QMenu.
//  T text: a QLineEdit's text, an editable QComboBox's current text; a fixed
//    (not editable) QComboBox selects the item of that text (letter case
//    aside), if it has one, without reporting a change.
//  H hint: the tool tip of any widget or action.
//  F filter: a QFileDialog's name filters, from "text|pattern|text|pattern".
// Letters that test the exact class (a subclass does not match):
//  I  TListView  = QTreeWidget: header caption of column i.
//     TStatusBar = QStatusBar: text of panel i; the panels are the QLabels
//                  placed on the status bar, in the order they were added.
//  S  TComboBox  = QComboBox, TListBox = QListWidget, RadioGroup (project
//     class): item i.
//  A, B LabeledEdit (project class): caption and tool tip of its label.
//  D  TEdit      = QLineEdit: its placeholder text.
// The exact tests compare metaObject()->className(): a subclass is told apart
// only when it declares Q_OBJECT (without it, it reports its base's name).

// Marks (or unmarks) an object as an owner of the components inside it.
void MarkOwner(QObject* object, bool owner = true);
bool IsOwner(const QObject* object);

// The components that `root` owns, in ownership order.
QList<QObject*> OwnedComponents(QObject* root);

// The class a form or control has in the language texts: what its own class
// declares as Q_CLASSINFO("DesignClass", ...) (the program's classes keep the
// names the texts were written for: "MainWindow" gives the title key
// "CFLumarqPylon"), else its C++ class name. Only the most derived class's
// own declaration counts, as only its own name did.
QString FormClassName(const QObject* object);
// Whether the object's class or one of its bases is `designClass` by name
// or by declaration.
bool InheritsDesignClass(const QObject* object, const char* designClass);

// The design class name the exact tests compare with ("TComboBox", ...), or
// an empty string for every other class, subclasses included.
QString DesignClassName(const QObject* object);

// Property access by letter; each returns false (and changes nothing) when
// the object does not publish that property.
bool PublishesCaption(const QObject* object);
bool SetCaption(QObject* object, const QString& value);
bool SetTextProperty(QObject* object, const QString& value);
bool SetHint(QObject* object, const QString& value);
bool SetFilter(QObject* object, const QString& value);

// Turns the bar-separated filter form ("Lumarq Pylon files (*.lmqpyl)|*.lmqpyl")
// into Qt's name filters ("Lumarq Pylon files (*.lmqpyl)"). A description
// that does not already end with its pattern in brackets gets it appended;
// a missing last pattern leaves the description as it stands.
QStringList FileDialogFilters(const QString& barSeparated);
