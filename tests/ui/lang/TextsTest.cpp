// The built-in language texts against the hand transcription in data/texts.tsv.
#include <QFile>
#include <QMap>
#include <QStringList>
#include <gtest/gtest.h>

#include "QStringPrint.h"

#include "ui/lang/LanguageChanger.h"

namespace {

const QStringList Codes = {"PL", "EN", "HU", "DE"};
const QStringList SectionOrder = {"_SETTINGS_",        "FLumarqPylon",         "FServiceOptions",
                                  "FInfoWindow",       "FLumarqConfiguration", "FLumarqNetworkSettings",
                                  "fPylonFontSetting", "FSendHistory",         "MSG"};

using Section = QMap<QString, QString>;  // key -> value, keys as written
struct Text {
    QStringList order;
    QMap<QString, Section> sections;
};

// The transcription: one Text per language.
QMap<QString, Text> ReadTranscription()
{
    QFile f(QStringLiteral(LMQ_LANG_TEST_DATA "/texts.tsv"));
    if (!f.open(QIODevice::ReadOnly)) ADD_FAILURE() << "cannot read texts.tsv";
    QMap<QString, Text> out;
    QString section;
    for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        if (line.startsWith(QLatin1Char('['))) {
            section = line.mid(1, line.size() - 2);
            for (const QString& code : Codes) out[code].order.append(section);
            continue;
        }
        QStringList cols = line.split(QLatin1Char('\t'));
        const QString key = cols.takeFirst();
        if (cols.size() == 1) cols = {cols[0], cols[0], cols[0], cols[0]};
        if (cols.size() != 4) {
            ADD_FAILURE() << "bad row: " << line.toStdString();
            continue;
        }
        const bool perLine = key.contains(QLatin1String("{n}"));
        for (int n = perLine ? 1 : 0; n <= (perLine ? 7 : 0); ++n) {
            for (int l = 0; l < 4; ++l) {
                QString v = cols[l];
                if (v == QLatin1String("-")) continue;
                EXPECT_TRUE(v.size() >= 2 && v.startsWith('"') && v.endsWith('"')) << line.toStdString();
                v = v.mid(1, v.size() - 2);
                QString k = key;
                if (perLine) {
                    k.replace(QLatin1String("{n}"), QString::number(n));
                    v.replace(QLatin1String("{n}"), QString::number(n));
                }
                Section& s = out[Codes[l]].sections[section];
                EXPECT_FALSE(s.contains(k)) << "twice in the transcription: " << k.toStdString();
                s[k] = v;
            }
        }
    }
    return out;
}

QByteArray Resource(const QString& code)
{
    const auto text = LanguageChanger::LanguageText(code);
    return text ? QByteArray::fromStdString(*text) : QByteArray();
}

// Reads a text line by line as it is stored, without the store's leniency.
Text ParseStored(const QByteArray& bytes)
{
    Text out;
    QString section;
    QString text = QString::fromUtf8(bytes.mid(3));
    text.chop(2);  // the last line end
    for (const QString& line : text.split(QStringLiteral("\r\n"))) {
        if (line.isEmpty()) continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2);
            out.order.append(section);
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        EXPECT_GT(eq, 0) << line.toStdString();
        const QString key = line.left(eq);
        EXPECT_FALSE(out.sections[section].contains(key)) << "twice: " << key.toStdString();
        out.sections[section][key] = line.mid(eq + 1);
    }
    return out;
}

TEST(LanguageTexts, AreUtf8WithMarkAndCrLfAndBlankLinesBetweenSections)
{
    for (const QString& code : Codes) {
        SCOPED_TRACE(code.toStdString());
        const QByteArray bytes = Resource(code);
        ASSERT_FALSE(bytes.isEmpty());
        EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF["));
        EXPECT_TRUE(bytes.endsWith("\r\n"));
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n') {
                ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at " << i;
            }
            if (bytes[i] == '\r') {
                ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "bare CR at " << i;
            }
        }
        EXPECT_EQ(QString::fromUtf8(bytes.mid(3)).toUtf8(), bytes.mid(3)) << "not valid UTF-8";
        for (const QString& section : SectionOrder.mid(1))
            EXPECT_TRUE(bytes.contains("\r\n\r\n[" + section.toUtf8() + "]\r\n")) << section.toStdString();
    }
}

TEST(LanguageTexts, HoldTheTranscribedKeysAndValuesInSectionOrder)
{
    const QMap<QString, Text> expected = ReadTranscription();
    for (const QString& code : Codes) {
        SCOPED_TRACE(code.toStdString());
        const Text stored = ParseStored(Resource(code));
        const Text& want = expected[code];
        EXPECT_EQ(stored.order, SectionOrder);
        EXPECT_EQ(want.order, SectionOrder);
        for (const QString& name : SectionOrder) {
            SCOPED_TRACE(name.toStdString());
            const Section& got = stored.sections.value(name);
            const Section& exp = want.sections.value(name);
            for (auto it = exp.begin(); it != exp.end(); ++it) {
                ASSERT_TRUE(got.contains(it.key())) << "missing key " << it.key().toStdString();
                EXPECT_EQ(got[it.key()].toStdString(), it.value().toStdString()) << it.key().toStdString();
            }
            for (auto it = got.begin(); it != got.end(); ++it)
                EXPECT_TRUE(exp.contains(it.key())) << "extra key " << it.key().toStdString();
        }
    }
}

TEST(LanguageTexts, CountKeysAndKeepPolishOnlyMenuCaption)
{
    LanguageChanger changer(QString{});
    for (const QString& code : Codes) {
        SCOPED_TRACE(code.toStdString());
        ASSERT_TRUE(changer.LoadLanguage(code));
        EXPECT_EQ(changer.Texts.KeyCount(), code == "PL" ? 328 : 327);
        EXPECT_EQ(changer.Texts.SectionCount(), 9);
        EXPECT_EQ(changer.Texts.ValueExists("FLumarqPylon", "CMLanguage"), code == "PL");
        EXPECT_EQ(changer.Texts.ReadString("_SETTINGS_", "LNGCode", {}), code.toStdString());
    }
    ASSERT_TRUE(changer.LoadLanguage("HU"));
    // Trailing blanks are part of these two values.
    EXPECT_TRUE(changer.Texts.ReadString("FLumarqConfiguration", "CLabel37", {}).ends_with("[%] "));
    EXPECT_EQ(changer.Texts.ReadString("MSG", "18", {}), std::string("Érvénytelen fájl "));
}

}  // namespace
