#pragma once
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// An INI document held in memory: "[section]" lines open sections, "key=value"
// lines belong to the section above; the value is everything after the first
// "=" (blanks included), the key is trimmed. Section and key look-up ignores
// letter case; the first of two equal keys wins.
class IniStore {
public:
    IniStore() = default;

    void Clear() { sections_.clear(); }
    // Replaces the whole content; the text may start with a UTF-8 byte-order mark.
    void SetText(const QString& text);
    void SetUtf8(const QByteArray& bytes);

    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;
    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    int SectionCount() const { return int(sections_.size()); }
    // Number of key lines of all sections together.
    int KeyCount() const;

private:
    // Forms are translated key by key, hundreds of keys per form: look-ups go
    // through an index of the lower-cased names.
    struct Section {
        QString name;
        QList<QPair<QString, QString>> entries;
        QHash<QString, qsizetype> index;  // lower-cased key -> its first entry
    };
    const Section* Find(const QString& section) const;
    QList<Section> sections_;
};
