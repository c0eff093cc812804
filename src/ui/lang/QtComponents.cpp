#include "ui/lang/QtComponents.h"

#include <QAbstractButton>
#include <QMetaClassInfo>
#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalBlocker>
#include <QVariant>
#include <QWidget>

namespace {

constexpr const char* OwnerProperty = "lmqOwner";

// A window of its own that is not part of the form being walked.
bool IsForeignWindow(const QObject* object)
{
    const auto* widget = qobject_cast<const QWidget*>(object);
    return widget && widget->isWindow() && !qobject_cast<const QMenu*>(widget);
}

void Collect(QObject* parent, QList<QObject*>& out)
{
    for (QObject* child : parent->children()) {
        if (qobject_cast<QFileDialog*>(child)) {
            if (!child->objectName().isEmpty()) out.append(child);
            continue;
        }
        if (IsForeignWindow(child)) continue;
        if (!child->objectName().isEmpty()) out.append(child);
        if (!IsOwner(child)) Collect(child, out);
    }
}

}  // namespace

void MarkOwner(QObject* object, bool owner)
{
    if (object) object->setProperty(OwnerProperty, owner);
}

bool IsOwner(const QObject* object) { return object && object->property(OwnerProperty).toBool(); }

QList<QObject*> OwnedComponents(QObject* root)
{
    QList<QObject*> out;
    if (root) Collect(root, out);
    return out;
}

namespace {

const char* DeclaredDesignClass(const QMetaObject* meta)
{
    const int index = meta->indexOfClassInfo("DesignClass");
    return index >= meta->classInfoOffset() ? meta->classInfo(index).value() : nullptr;
}

}  // namespace

QString FormClassName(const QObject* object)
{
    if (!object) return {};
    const QMetaObject* meta = object->metaObject();
    const char* declared = DeclaredDesignClass(meta);
    return QString::fromLatin1(declared ? declared : meta->className());
}

bool InheritsDesignClass(const QObject* object, const char* designClass)
{
    if (!object) return false;
    for (const QMetaObject* meta = object->metaObject(); meta; meta = meta->superClass()) {
        const char* declared = DeclaredDesignClass(meta);
        if (qstrcmp(meta->className(), designClass) == 0 || (declared && qstrcmp(declared, designClass) == 0))
            return true;
    }
    return false;
}

QString DesignClassName(const QObject* object)
{
    if (!object) return {};
    const QString qt = FormClassName(object);
    if (qt == QLatin1String("QComboBox")) return QStringLiteral("TComboBox");
    if (qt == QLatin1String("QListWidget")) return QStringLiteral("TListBox");
    if (qt == QLatin1String("QTreeWidget")) return QStringLiteral("TListView");
    if (qt == QLatin1String("QStatusBar")) return QStringLiteral("TStatusBar");
    if (qt == QLatin1String("QLineEdit")) return QStringLiteral("TEdit");
    if (qt == QLatin1String("TRadioGroup")) return QStringLiteral("TRadioGroup");
    if (qt == QLatin1String("TLabeledEdit")) return QStringLiteral("TLabeledEdit");
    return {};
}

bool PublishesCaption(const QObject* object)
{
    if (qobject_cast<const QMenu*>(object)) return true;
    if (const auto* widget = qobject_cast<const QWidget*>(object); widget && widget->isWindow()) return true;
    return qobject_cast<const QLabel*>(object) || qobject_cast<const QAbstractButton*>(object) ||
           qobject_cast<const QAction*>(object) || qobject_cast<const QGroupBox*>(object);
}

bool SetCaption(QObject* object, const QString& value)
{
    // A menu's title is the text of its menu action: test menus before windows.
    if (auto* menu = qobject_cast<QMenu*>(object)) {
        menu->setTitle(value);
        return true;
    }
    if (auto* widget = qobject_cast<QWidget*>(object); widget && widget->isWindow()) {
        widget->setWindowTitle(value);
        return true;
    }
    if (auto* label = qobject_cast<QLabel*>(object)) {
        label->setText(value);
        return true;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(object)) {
        button->setText(value);
        return true;
    }
    if (auto* action = qobject_cast<QAction*>(object)) {
        action->setText(value);
        return true;
    }
    if (auto* group = qobject_cast<QGroupBox*>(object)) {
        group->setTitle(value);
        return true;
    }
    return false;
}

bool SetTextProperty(QObject* object, const QString& value)
{
    if (auto* edit = qobject_cast<QLineEdit*>(object)) {
        edit->setText(value);
        return true;
    }
    if (auto* combo = qobject_cast<QComboBox*>(object)) {
        if (combo->isEditable()) {
            combo->setEditText(value);
        } else {
            // A fixed list shows only its items: the text picks the item that
            // reads so (letter case aside), quietly, as setting a list's text
            // never counts as a choice.
            const int index = combo->findText(value, Qt::MatchFixedString);
            if (index >= 0) {
                const QSignalBlocker quiet(combo);
                combo->setCurrentIndex(index);
            }
        }
        return true;
    }
    return false;
}

bool SetHint(QObject* object, const QString& value)
{
    if (auto* widget = qobject_cast<QWidget*>(object)) {
        widget->setToolTip(value);
        return true;
    }
    if (auto* action = qobject_cast<QAction*>(object)) {
        action->setToolTip(value);
        return true;
    }
    return false;
}

bool SetFilter(QObject* object, const QString& value)
{
    auto* dialog = qobject_cast<QFileDialog*>(object);
    if (!dialog) return false;
    dialog->setNameFilters(FileDialogFilters(value));
    return true;
}

QStringList FileDialogFilters(const QString& barSeparated)
{
    QStringList out;
    const QStringList parts = barSeparated.split(QLatin1Char('|'));
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString pattern = i + 1 < parts.size() ? parts[i + 1].trimmed() : QString();
        if (description.isEmpty() && pattern.isEmpty()) continue;
        if (pattern.isEmpty()) {
            out.append(description);
            continue;
        }
        // Qt takes the patterns from the brackets at the end and separates them by blanks.
        const QString bracketed =
            QLatin1Char('(') + QString(pattern).replace(QLatin1Char(';'), QLatin1Char(' ')) + QLatin1Char(')');
        if (description.endsWith(bracketed)) out.append(description);
        else if (description.isEmpty()) out.append(bracketed);
        else out.append(description + QLatin1Char(' ') + bracketed);
    }
    return out;
}
