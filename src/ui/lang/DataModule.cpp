#include "ui/lang/DataModule.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "lang/StartupLanguage.h"
#include "ui/common/LazyIcon.h"

namespace {

using Draw = void (*)(QPainter&);

QIcon Glyph(Draw draw)
{
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    draw(p);
    p.end();
    return QIcon(QPixmap::fromImage(image));
}

// A flag fills 16 x 11 in the middle, with a thin dark edge.
const QRectF FlagRect(0.5, 2.5, 15, 11);

void Stripes(QPainter& p, std::initializer_list<QColor> colours)
{
    const qreal h = FlagRect.height() / qreal(colours.size());
    qreal y = FlagRect.top();
    p.setPen(Qt::NoPen);
    for (const QColor& c : colours) {
        p.fillRect(QRectF(FlagRect.left(), y, FlagRect.width(), h), c);
        y += h;
    }
}

void FlagEdge(QPainter& p)
{
    p.setPen(QPen(QColor(60, 60, 60, 200), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(FlagRect);
}

void DrawPL(QPainter& p)
{
    Stripes(p, {Qt::white, QColor(220, 20, 60)});
    FlagEdge(p);
}

void DrawEN(QPainter& p)
{
    p.fillRect(FlagRect, QColor(1, 33, 105));
    p.save();
    p.setClipRect(FlagRect);
    p.setPen(QPen(Qt::white, 3));
    p.drawLine(FlagRect.topLeft(), FlagRect.bottomRight());
    p.drawLine(FlagRect.bottomLeft(), FlagRect.topRight());
    p.setPen(QPen(QColor(200, 16, 46), 1));
    p.drawLine(FlagRect.topLeft(), FlagRect.bottomRight());
    p.drawLine(FlagRect.bottomLeft(), FlagRect.topRight());
    p.fillRect(QRectF(6, FlagRect.top(), 4, FlagRect.height()), Qt::white);
    p.fillRect(QRectF(FlagRect.left(), 6, FlagRect.width(), 4), Qt::white);
    p.fillRect(QRectF(7, FlagRect.top(), 2, FlagRect.height()), QColor(200, 16, 46));
    p.fillRect(QRectF(FlagRect.left(), 7, FlagRect.width(), 2), QColor(200, 16, 46));
    p.restore();
    FlagEdge(p);
}

void DrawHU(QPainter& p)
{
    Stripes(p, {QColor(205, 42, 62), Qt::white, QColor(67, 111, 77)});
    FlagEdge(p);
}

void DrawDE(QPainter& p)
{
    Stripes(p, {Qt::black, QColor(221, 0, 0), QColor(255, 206, 0)});
    FlagEdge(p);
}

void DrawSave(QPainter& p)
{
    // A floppy disk: body, label and shutter.
    p.setPen(QPen(QColor(20, 40, 90), 1));
    p.setBrush(QColor(50, 90, 170));
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 2, 8, 5));
    p.setBrush(QColor(190, 190, 200));
    p.drawRect(QRectF(4.5, 10, 7, 4.5));
    p.setBrush(QColor(50, 90, 170));
    p.drawRect(QRectF(9, 10.5, 1.5, 3));
}

void DrawOpen(QPainter& p)
{
    // An open folder.
    p.setPen(QPen(QColor(150, 100, 0), 1));
    p.setBrush(QColor(230, 180, 40));
    QPainterPath back;
    back.moveTo(1.5, 13.5);
    back.lineTo(1.5, 3.5);
    back.lineTo(6, 3.5);
    back.lineTo(7.5, 5);
    back.lineTo(13.5, 5);
    back.lineTo(13.5, 13.5);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(QColor(250, 215, 90));
    QPainterPath front;
    front.moveTo(1.5, 13.5);
    front.lineTo(4, 7.5);
    front.lineTo(15.5, 7.5);
    front.lineTo(13.5, 13.5);
    front.closeSubpath();
    p.drawPath(front);
}

void Disc(QPainter& p, const QColor& colour)
{
    p.setPen(QPen(colour.darker(140), 1));
    p.setBrush(colour);
    p.drawEllipse(QRectF(1, 1, 14, 14));
}

void DrawInfo(QPainter& p)
{
    Disc(p, QColor(40, 110, 200));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(6.8, 3.2, 2.4, 2.4));
    p.drawRect(QRectF(6.9, 6.5, 2.2, 6));
}

void Tray(QPainter& p)
{
    p.setPen(QPen(QColor(70, 70, 70), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(1.5, 10), QPointF(1.5, 14.5), QPointF(14.5, 14.5), QPointF(14.5, 10)}));
}

void Arrow(QPainter& p, bool up, const QColor& colour)
{
    QPainterPath arrow;
    if (up) {
        arrow.moveTo(8, 1);
        arrow.lineTo(13, 6);
        arrow.lineTo(10, 6);
        arrow.lineTo(10, 12);
        arrow.lineTo(6, 12);
        arrow.lineTo(6, 6);
        arrow.lineTo(3, 6);
    } else {
        arrow.moveTo(8, 12.5);
        arrow.lineTo(13, 7.5);
        arrow.lineTo(10, 7.5);
        arrow.lineTo(10, 1);
        arrow.lineTo(6, 1);
        arrow.lineTo(6, 7.5);
        arrow.lineTo(3, 7.5);
    }
    arrow.closeSubpath();
    p.setPen(QPen(colour.darker(150), 1));
    p.setBrush(colour);
    p.drawPath(arrow);
}

void DrawSend(QPainter& p)
{
    Tray(p);
    Arrow(p, true, QColor(40, 170, 60));
}

void DrawDownload(QPainter& p)
{
    Tray(p);
    Arrow(p, false, QColor(40, 110, 200));
}

void DrawBrightness(QPainter& p)
{
    // A sun: a disc with eight rays.
    p.setPen(QPen(QColor(230, 150, 0), 1.5, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(8, 8);
        p.rotate(45.0 * i);
        p.drawLine(QPointF(0, -5.2), QPointF(0, -7.2));
        p.restore();
    }
    p.setPen(QPen(QColor(230, 150, 0), 1));
    p.setBrush(QColor(255, 210, 40));
    p.drawEllipse(QPointF(8, 8), 3.8, 3.8);
}

void DrawConnections(QPainter& p)
{
    // Three stations on one line.
    p.setPen(QPen(QColor(80, 80, 80), 1.3));
    p.drawLine(QPointF(8, 4), QPointF(3, 12));
    p.drawLine(QPointF(8, 4), QPointF(13, 12));
    p.drawLine(QPointF(3, 12), QPointF(13, 12));
    p.setPen(QPen(QColor(20, 70, 140), 1));
    p.setBrush(QColor(70, 140, 220));
    for (const QPointF& c : {QPointF(8, 3.5), QPointF(3, 12.5), QPointF(13, 12.5)}) p.drawEllipse(c, 2.5, 2.5);
}

void DrawFonts(QPainter& p)
{
    // A capital A with a bar under it.
    p.setPen(QPen(QColor(30, 30, 30), 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(2.5, 12), QPointF(8, 1.5), QPointF(13.5, 12)}));
    p.drawLine(QPointF(4.8, 8), QPointF(11.2, 8));
    p.fillRect(QRectF(1, 14, 14, 1.5), QColor(200, 30, 30));
}

void DrawHelp(QPainter& p)
{
    Disc(p, QColor(40, 110, 200));
    QPainterPath hook;
    hook.moveTo(5.3, 6);
    hook.arcTo(QRectF(5.3, 3.2, 5.4, 5.4), 180, -270);
    hook.lineTo(8, 10);
    p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8, 12.3), 1.2, 1.2);
}

}  // namespace

QList<QIcon> MakeGlyphs16()
{
    const Draw draws[Glyph16Count] = {DrawPL,    DrawEN,   DrawHU,       DrawSave,       DrawOpen,
                                      DrawInfo,  DrawSend, DrawDownload, DrawBrightness, DrawConnections,
                                      DrawFonts, DrawHelp, DrawDE};
    // Drawn when first shown: they sit in menus, which are closed at start.
    QList<QIcon> icons;
    for (Draw draw : draws) icons.append(LazyIcon([draw] { return Glyph(draw); }));
    return icons;
}

DataModule::DataModule(RegStore* store) : DataModule(store, LanguageChanger::DefaultIniPath()) {}

DataModule::DataModule(RegStore* store, const QString& iniPath)
    : Glyphs(MakeGlyphs16()), Changer(iniPath), Settings(store)
{
    FillLanguages();
}

DataModule::~DataModule() = default;

void DataModule::ChooseStartupLanguage(int systemLanguageId)
{
    if (Settings.LangId.empty()) Settings.LangId = LanguageCodeFor(systemLanguageId);
}

bool DataModule::LoadLanguage() { return Changer.LoadLanguage(QString::fromStdString(Settings.LangId)); }

void DataModule::FillLanguages()
{
    Changer.Languages.append({QStringLiteral("PL"), QStringLiteral("Polski"), GlyphPL, nullptr});
    Changer.Languages.append({QStringLiteral("EN"), QStringLiteral("English"), GlyphEN, nullptr});
    Changer.Languages.append({QStringLiteral("HU"), QStringLiteral("Magyar"), GlyphHU, nullptr});
    Changer.Languages.append({QStringLiteral("DE"), QStringLiteral("Deutsch"), GlyphDE, nullptr});
}
