#include "lang/IniStore.h"

#include <QStringView>

void IniStore::SetUtf8(const QByteArray& bytes)
{
    SetText(QString::fromUtf8(bytes));
}

void IniStore::SetText(const QString& text)
{
    sections_.clear();
    QStringView rest(text);
    if (rest.startsWith(QChar(0xFEFF))) rest = rest.mid(1);
    Section* current = nullptr;
    while (!rest.isEmpty()) {
        qsizetype nl = rest.indexOf(QLatin1Char('\n'));
        QStringView line = nl < 0 ? rest : rest.left(nl);
        rest = nl < 0 ? QStringView() : rest.mid(nl + 1);
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';'))) continue;
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
            const QString name = trimmed.mid(1, trimmed.size() - 2).trimmed().toString();
            current = nullptr;
            for (auto& s : sections_)
                if (s.name.compare(name, Qt::CaseInsensitive) == 0) current = &s;
            if (!current) {
                sections_.append(Section{name, {}, {}});
                current = &sections_.last();
            }
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || !current) continue;
        const QString key = line.left(eq).trimmed().toString();
        if (key.isEmpty()) continue;
        const QString lower = key.toLower();
        if (!current->index.contains(lower)) current->index.insert(lower, current->entries.size());
        current->entries.append({key, line.mid(eq + 1).toString()});
    }
}

const IniStore::Section* IniStore::Find(const QString& section) const
{
    for (const auto& s : sections_)
        if (s.name.compare(section, Qt::CaseInsensitive) == 0) return &s;
    return nullptr;
}

bool IniStore::SectionExists(const QString& section) const { return Find(section) != nullptr; }

bool IniStore::ValueExists(const QString& section, const QString& key) const
{
    const Section* s = Find(section);
    return s && s->index.contains(key.toLower());
}

QString IniStore::ReadString(const QString& section, const QString& key, const QString& def) const
{
    if (const Section* s = Find(section)) {
        const auto it = s->index.constFind(key.toLower());
        if (it != s->index.constEnd()) return s->entries[*it].second;
    }
    return def;
}

int IniStore::KeyCount() const
{
    int n = 0;
    for (const auto& s : sections_) n += int(s.entries.size());
    return n;
}
