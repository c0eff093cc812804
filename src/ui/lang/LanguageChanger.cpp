#include "ui/lang/LanguageChanger.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTreeWidget>

#include "lang/LanguageTexts.h"
#include "lang/Msg.h"
#include "ui/common/DataFolders.h"
#include "ui/lang/QtComponents.h"
#include "ui/lang/LabeledEdit.h"
#include "ui/lang/RadioGroup.h"

namespace {

const QString ResourceFolder = QStringLiteral(":/lang");
const QString ResourcePrefix = QStringLiteral("ID_LANGINI_");
const char* const MissingText = "ERROR_LOADING_TEXT";

// Status bar panels: the labels placed on the bar, in the order they were added.
QList<QLabel*> Panels(QStatusBar* bar) { return bar->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly); }

}  // namespace

LanguageChanger::LanguageChanger() : LanguageChanger(DefaultIniPath()) {}

LanguageChanger::LanguageChanger(const QString& iniPath)
{
    // Anything but a readable regular file (a FIFO, a device) leaves the texts empty.
    if (!iniPath.isEmpty()) Texts.LoadFile(QFile::encodeName(iniPath).toStdString());
}

void LanguageChanger::SetTexts(const QByteArray& bytes)
{
    Texts.SetText(std::string_view(bytes.constData(), size_t(bytes.size())));
}

QString LanguageChanger::DefaultIniPath()
{
    const QStringList folders = DataFolders();
    for (const QString& folder : folders)
        if (const QString path = IniPathIn(folder); QFileInfo(path).isFile()) return path;
    return IniPathIn(folders.front());
}

QString LanguageChanger::IniPathIn(const QString& folder)
{
    // Stations set up on Windows may carry the file as "LumarqPylon.ini".
    const QString name = QStringLiteral("LumarqPylon.INI");
    const QDir dir(folder);
    if (dir.exists(name)) return dir.filePath(name);
    const QString found = FileInAnyCase(folder, name);
    return found.isEmpty() ? dir.filePath(name) : found;
}

std::optional<std::string> LanguageChanger::LanguageText(const QString& code)
{
    // The code comes from the per-user store and may be anything: compare it
    // with the names the program carries instead of building a path from it.
    // Names ignore letter case, as the system's resource look-up does.
    if (const auto builtin = BuiltinLanguageText(code.toStdString())) return std::string(*builtin);
    const QString wanted = ResourcePrefix + code;
    const QStringList names = QDir(ResourceFolder).entryList(QDir::Files);
    for (const QString& name : names) {
        if (name.compare(wanted, Qt::CaseInsensitive) != 0) continue;
        QFile file(ResourceFolder + QLatin1Char('/') + name);
        if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
        return file.readAll().toStdString();
    }
    return std::nullopt;
}

bool LanguageChanger::LoadLanguage(const QString& code)
{
    const std::optional<std::string> text = LanguageText(code);
    if (!text) return false;
    Texts.SetText(*text);
    LoadMessages(Texts);
    return true;
}

QString LanguageChanger::Read(const QString& section, const QString& key) const
{
    return QString::fromStdString(Texts.ReadString(section.toStdString(), key.toStdString(), MissingText));
}

void LanguageChanger::Translate(QObject* root, const QString& section, const QString& path, int depth)
{
    if (!root) return;
    const QString base = depth > 0 ? QLatin1Char('X') + QString::number(depth) + path : QString();

    const QString title = QLatin1Char('C') + FormClassName(root).mid(1);
    if (Has(section, title) && !SetCaption(root, Read(section, title)))
        if (auto* widget = qobject_cast<QWidget*>(root)) widget->setWindowTitle(Read(section, title));

    for (QObject* c : OwnedComponents(root)) {
        const QString name = c->objectName();
        if (IsOwner(c) && !OwnedComponents(c).isEmpty())
            Translate(c, section, path + QLatin1Char('.') + name, depth + 1);
        const QString prefix = depth > 0 ? base + QLatin1Char('.') + name + QLatin1Char('.') : QString();
        TranslateComponent(c, section, prefix);
    }
}

void LanguageChanger::TranslateComponent(QObject* c, const QString& section, const QString& prefix)
{
    const QString name = c->objectName();
    auto key = [&](char letter) { return prefix + QLatin1Char(letter) + name; };
    auto indexed = [&](char letter, int i) { return key(letter) + QString::number(i); };

    if (Has(section, key('C'))) SetCaption(c, Read(section, key('C')));
    if (Has(section, key('T'))) SetTextProperty(c, Read(section, key('T')));
    if (Has(section, key('H'))) SetHint(c, Read(section, key('H')));
    if (Has(section, key('F'))) SetFilter(c, Read(section, key('F')));

    const QString cls = DesignClassName(c);
    if (cls == QLatin1String("TListView")) {
        auto* view = static_cast<QTreeWidget*>(c);
        QTreeWidgetItem* header = view->headerItem();
        for (int i = 0; header && i < view->columnCount(); ++i)
            if (Has(section, indexed('I', i))) header->setText(i, Read(section, indexed('I', i)));
    } else if (cls == QLatin1String("TStatusBar")) {
        const QList<QLabel*> panels = Panels(static_cast<QStatusBar*>(c));
        for (int i = 0; i < panels.size(); ++i)
            if (Has(section, indexed('I', i))) panels[i]->setText(Read(section, indexed('I', i)));
    } else if (cls == QLatin1String("TRadioGroup")) {
        auto* group = static_cast<RadioGroup*>(c);
        for (int i = 0; i < group->ItemCount(); ++i)
            if (Has(section, indexed('S', i))) group->SetItemText(i, Read(section, indexed('S', i)));
    } else if (cls == QLatin1String("TComboBox")) {
        // The selection survives and no change is reported to the form.
        auto* combo = static_cast<QComboBox*>(c);
        const QSignalBlocker quiet(combo);
        const int selected = combo->currentIndex();
        for (int i = 0; i < combo->count(); ++i)
            if (Has(section, indexed('S', i))) combo->setItemText(i, Read(section, indexed('S', i)));
        combo->setCurrentIndex(selected);
    } else if (cls == QLatin1String("TListBox")) {
        auto* list = static_cast<QListWidget*>(c);
        for (int i = 0; i < list->count(); ++i)
            if (Has(section, indexed('S', i))) list->item(i)->setText(Read(section, indexed('S', i)));
    } else if (cls == QLatin1String("TLabeledEdit")) {
        auto* edit = static_cast<LabeledEdit*>(c);
        if (QLabel* label = edit->EditLabel()) {
            if (Has(section, key('A'))) label->setText(Read(section, key('A')));
            if (Has(section, key('B'))) label->setToolTip(Read(section, key('B')));
        }
    } else if (cls == QLatin1String("TEdit")) {
        if (Has(section, key('D'))) static_cast<QLineEdit*>(c)->setPlaceholderText(Read(section, key('D')));
    }
}
