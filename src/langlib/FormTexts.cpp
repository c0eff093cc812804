#include "langlib/FormTexts.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QList>
#include <QListWidget>
#include <QPointer>
#include <QRadioButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QWidget>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "lang/IniStore.h"
#include "ui/lang/QtComponents.h"
#include "langlib/FixedStrings.h"

namespace {

// One library-wide slot for the document of ZaladujJezyk. A slot of the
// caller may translate another form while a walk is under way; the inner
// call puts the outer document back when it ends.
const IniStore* Slot = nullptr;

class SlotHolder {
public:
    explicit SlotHolder(const IniStore* doc) : previous_(Slot) { Slot = doc; }
    ~SlotHolder() { Slot = previous_; }
    SlotHolder(const SlotHolder&) = delete;
    SlotHolder& operator=(const SlotHolder&) = delete;

private:
    const IniStore* previous_;
};

[[noreturn]] void Fail(const QString& name, const QString& reason)
{
    const QString text = QStringLiteral("Cannot open file \"%1\". %2").arg(name, reason);
    throw std::runtime_error(text.toStdString());
}

// A key of the section, with its value when it is there.
class Section {
public:
    Section(const IniStore& doc, const QString& name) : doc_(doc), name_(name.toStdString()) {}
    bool Find(const QString& key, QString& value) const
    {
        const std::string k = key.toStdString();
        if (!doc_.ValueExists(name_, k)) return false;
        value = QString::fromStdString(doc_.ReadString(name_, k, Fixed.Default.toStdString()));
        return true;
    }

private:
    const IniStore& doc_;
    const std::string name_;
};

// Whether the component has one of the list properties the exact class tests
// then narrow down. Subclasses publish them too (and then match no class).
bool Publishes(const QObject* c, const QString& property)
{
    if (property == Fixed.Columns) return qobject_cast<const QTreeWidget*>(c) != nullptr;
    if (property == Fixed.Panels) return qobject_cast<const QStatusBar*>(c) != nullptr;
    if (property == Fixed.Items)
        return qobject_cast<const QComboBox*>(c) || qobject_cast<const QListWidget*>(c) ||
               InheritsDesignClass(c, "TRadioGroup");
    return false;
}

// The panels of a status bar are the labels placed on it, in order.
QList<QLabel*> Panels(QStatusBar* bar) { return bar->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly); }

// The items of a radio group are its radio buttons, in order. The group is
// reached through Qt's object tree only: the caller's class is not ours.
QList<QRadioButton*> RadioItems(QObject* group)
{
    return group->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly);
}

// The caption label of a labelled edit is the label whose buddy it is; the
// edit's own label carries no name, which tells it from a form's label that
// happens to point at the same edit.
QLabel* AttachedLabel(QWidget* edit)
{
    QLabel* named = nullptr;
    for (QLabel* label : edit->window()->findChildren<QLabel*>()) {
        if (label->buddy() != edit) continue;
        if (label->objectName().isEmpty()) return label;
        if (!named) named = label;
    }
    return named;
}

// Replacing an item of a combo box is not guarded: when the item replaced is
// the chosen one the box is left without a choice, as a delete and insert
// would leave it. An editable box keeps what its edit field shows.
void ReplaceComboItem(QComboBox* combo, int index, const QString& value)
{
    const bool chosen = combo->currentIndex() == index;
    combo->setItemText(index, value);
    if (!chosen) return;
    const QString typed = combo->currentText();
    combo->setCurrentIndex(-1);
    if (combo->isEditable()) combo->setEditText(typed);
}

template <typename Apply>
void ForEachIndex(const Section& section, const QString& key, int count, Apply apply)
{
    QString value;
    for (int i = 0; i < count; ++i)
        if (section.Find(key + QString::number(i), value)) apply(i, value);
}

void TranslateComponent(QObject* c, const Section& section, const QString& prefix)
{
    const QString name = c->objectName();
    QString value;
    const auto find = [&](const QString& letter) { return section.Find(prefix + letter + name, value); };

    if (find(Fixed.LetterC)) SetCaption(c, value);
    if (find(Fixed.LetterT)) SetTextProperty(c, value);
    if (find(Fixed.LetterH)) SetHint(c, value);
    if (find(Fixed.LetterF)) SetFilter(c, value);

    const QString design = DesignClassName(c);
    if (Publishes(c, Fixed.Columns) || Publishes(c, Fixed.Panels)) {
        if (design == Fixed.ListView) {
            auto* tree = static_cast<QTreeWidget*>(c);
            ForEachIndex(section, prefix + Fixed.LetterI + name, tree->columnCount(),
                         [tree](int i, const QString& v) { tree->headerItem()->setText(i, v); });
        } else if (design == Fixed.StatusBar) {
            const QList<QLabel*> panels = Panels(static_cast<QStatusBar*>(c));
            ForEachIndex(section, prefix + Fixed.LetterI + name, int(panels.size()),
                         [&panels](int i, const QString& v) { panels[i]->setText(v); });
        }
    }

    if (Publishes(c, Fixed.Items)) {
        const QString key = prefix + Fixed.LetterS + name;
        if (design == Fixed.RadioGroup) {
            const QList<QRadioButton*> buttons = RadioItems(c);
            ForEachIndex(section, key, int(buttons.size()),
                         [&buttons](int i, const QString& v) { buttons[i]->setText(v); });
        } else if (design == Fixed.ComboBox) {
            // A slot of the caller may change the box when its choice goes:
            // the count is asked again before every item.
            QPointer<QComboBox> combo(static_cast<QComboBox*>(c));
            for (int i = 0; combo && i < combo->count(); ++i)
                if (section.Find(key + QString::number(i), value)) ReplaceComboItem(combo, i, value);
        } else if (design == Fixed.ListBox) {
            auto* list = static_cast<QListWidget*>(c);
            ForEachIndex(section, key, list->count(), [list](int i, const QString& v) { list->item(i)->setText(v); });
        }
    }

    if (design == Fixed.LabeledEdit) {
        QLabel* label = AttachedLabel(static_cast<QWidget*>(c));
        if (label && find(Fixed.LetterA)) label->setText(value);
        if (label && find(Fixed.LetterB)) label->setToolTip(value);
    }
}

}  // namespace

namespace FormTexts {

bool ReadDocument(const char* path, IniStore& doc)
{
    if (!path || !*path) return false;
    // Only a regular file (or a link to one) counts: a folder, a pipe or a
    // device is no language file, and is refused without waiting on it.
    errno = 0;
    switch (doc.LoadFile(path)) {
    case SafeFile::Status::Ok: return true;
    case SafeFile::Status::NotFound:
    case SafeFile::Status::NotRegular: return false;
    case SafeFile::Status::TooLarge: Fail(QFile::decodeName(path), QString::fromLocal8Bit(std::strerror(EFBIG)));
    default: Fail(QFile::decodeName(path), QString::fromLocal8Bit(std::strerror(errno ? errno : EIO)));
    }
}

void Walk(QObject* owner, const QString& sectionName, int depth)
{
    if (!Slot || !owner) return;
    const Section section(*Slot, sectionName);
    const QString prefix = depth == 0 ? QString() : Fixed.Nest + QString::number(depth);
    // Guarded pointers: a slot of the caller that reacts to a changed text
    // may delete components further down the list.
    QList<QPointer<QObject>> components;
    for (QObject* c : OwnedComponents(owner)) components.append(c);
    for (const QPointer<QObject>& c : components) {
        if (c && IsOwner(c) && !OwnedComponents(c).isEmpty()) Walk(c, sectionName, depth + 1);
        if (c) TranslateComponent(c, section, prefix);
    }
}

}  // namespace FormTexts

extern "C" {

LMQT_LNGS_API void LMQT_LNGS_CALL ZaladujJezyk(std::int32_t reserved, QWidget* root, const char* section,
                                               const char* path)
{
    (void)reserved;
    if (!root) return;
    IniStore doc;
    if (!FormTexts::ReadDocument(path, doc)) return;
    const SlotHolder slot(&doc);
    const QString sectionName = QString::fromLocal8Bit(section ? section : "");
    QPointer<QWidget> guard(root);

    const QString title = Fixed.LetterC + FormClassName(root).mid(1);
    QString value;
    if (Section(doc, sectionName).Find(title, value)) SetCaption(root, value);
    if (guard) FormTexts::Walk(root, sectionName, 0);
}

LMQT_LNGS_API void LMQT_LNGS_CALL ZaladujMSG(std::int32_t reserved, const char* path, QString* const* targets,
                                             std::int32_t count)
{
    (void)reserved;
    IniStore doc;
    if (!FormTexts::ReadDocument(path, doc) || !targets) return;
    const Section messages(doc, Fixed.MessageSection);
    QString value;
    for (std::int32_t i = 0; i < count; ++i)
        if (targets[i] && messages.Find(QString::number(i), value)) *targets[i] = value;
}

}  // extern "C"
