// Turns an operator's manual written in Markdown into a PDF, without LaTeX
// or a browser: Qt's Markdown reader lays it out, QPdfWriter prints it.
//   manual_pdf <manual.md> <language.ini> <picture folder> <out.pdf>
// "{{Section/Key}}" in the text stands for that key of the language text
// (the program's own menu and window names: {{FLumarqPylon/CPlik1}} is
// "File" in English); a key the language text lacks is an error, so a
// manual cannot name a menu the program does not show. Pictures are given
// by file name and read from the picture folder.
#include <cstdio>

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPageLayout>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>

namespace {

// Widest picture, in the document's pixels (96 per inch): the text width of
// an A4 page with 2 cm margins is about 640.
constexpr int MaxPictureWidth = 600;

bool Fail(const QString& text)
{
    std::fprintf(stderr, "manual_pdf: %s\n", qPrintable(text));
    return false;
}

// "Section/Key" -> value, from a language text (UTF-8, optional byte-order
// mark, CR LF or LF).
QHash<QString, QString> ReadTexts(const QByteArray& bytes)
{
    QHash<QString, QString> texts;
    QString section;
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2);
        } else if (const qsizetype eq = line.indexOf(QLatin1Char('=')); eq > 0 && !section.isEmpty()) {
            texts.insert(section + QLatin1Char('/') + line.left(eq), line.mid(eq + 1));
        }
    }
    return texts;
}

bool Substitute(QString& markdown, const QHash<QString, QString>& texts)
{
    static const QRegularExpression placeholder(QStringLiteral("\\{\\{([^{}/]+/[^{}]+)\\}\\}"));
    QString out;
    qsizetype last = 0;
    for (auto it = placeholder.globalMatch(markdown); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const auto found = texts.constFind(m.captured(1));
        if (found == texts.constEnd())
            return Fail(QStringLiteral("the language text has no key %1").arg(m.captured(1)));
        out += markdown.mid(last, m.capturedStart() - last) + *found;
        last = m.capturedEnd();
    }
    markdown = out + markdown.mid(last);
    return true;
}

bool LoadPictures(QTextDocument& doc, const QString& markdown, const QString& folder)
{
    static const QRegularExpression picture(QStringLiteral("!\\[[^\\]]*\\]\\(([^)\\s]+)\\)"));
    for (auto it = picture.globalMatch(markdown); it.hasNext();) {
        const QString name = it.next().captured(1);
        const QImage image(folder + QLatin1Char('/') + name);
        if (image.isNull()) return Fail(QStringLiteral("cannot read the picture %1 in %2").arg(name, folder));
        doc.addResource(QTextDocument::ImageResource, QUrl(name), image);
    }
    return true;
}

// Pictures wider than the text are scaled down to it, keeping their shape.
void FitPictures(QTextDocument& doc)
{
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            if (!format.isValid()) continue;
            const QImage image = doc.resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
            if (image.width() <= MaxPictureWidth) continue;
            format.setWidth(MaxPictureWidth);
            format.setHeight(double(image.height()) * MaxPictureWidth / image.width());
            QTextCursor cursor(&doc);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
}

bool Run(const QString& source, const QString& ini, const QString& pictures, const QString& target)
{
    QFile md(source), language(ini);
    if (!md.open(QIODevice::ReadOnly)) return Fail(QStringLiteral("cannot read ") + source);
    if (!language.open(QIODevice::ReadOnly)) return Fail(QStringLiteral("cannot read ") + ini);
    QString markdown = QString::fromUtf8(md.readAll());
    if (!Substitute(markdown, ReadTexts(language.readAll()))) return false;

    QTextDocument doc;
    QFont font(QStringLiteral("DejaVu Sans"), 10);
    doc.setDefaultFont(font);
    doc.setMarkdown(markdown);  // clears the resources: the pictures come after it
    if (!LoadPictures(doc, markdown, pictures)) return false;
    FitPictures(doc);

    QPdfWriter writer(target);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setResolution(300);
    writer.setCreator(QStringLiteral("Lumarq Pylon"));
    const QTextBlock first = doc.begin();
    writer.setTitle(first.text());
    doc.print(&writer);
    if (!QFileInfo(target).size()) return Fail(QStringLiteral("cannot write ") + target);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s <manual.md> <language.ini> <picture folder> <out.pdf>\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    return Run(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
               QString::fromLocal8Bit(argv[4]))
               ? 0
               : 1;
}
