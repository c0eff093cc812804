#include "ui/common/Palettes.h"

#include <cmath>

#include <QApplication>
#include <QStyle>
#include <QStyleHints>

namespace {

QPalette Build(const QColor& window, const QColor& text, const QColor& base, const QColor& button,
               const QColor& highlight, const QColor& highlightedText, const QColor& disabled)
{
    QPalette p;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QColor fore = group == QPalette::Disabled ? disabled : text;
        p.setColor(group, QPalette::Window, window);
        p.setColor(group, QPalette::WindowText, fore);
        p.setColor(group, QPalette::Base, base);
        p.setColor(group, QPalette::AlternateBase, button);
        p.setColor(group, QPalette::Text, fore);
        p.setColor(group, QPalette::Button, button);
        p.setColor(group, QPalette::ButtonText, fore);
        p.setColor(group, QPalette::BrightText, Qt::red);
        p.setColor(group, QPalette::Highlight, highlight);
        p.setColor(group, QPalette::HighlightedText, highlightedText);
        p.setColor(group, QPalette::ToolTipBase, base);
        p.setColor(group, QPalette::ToolTipText, text);
        p.setColor(group, QPalette::PlaceholderText, disabled);
        p.setColor(group, QPalette::Link, highlight.lighter(120));
        p.setColor(group, QPalette::Light, button.lighter(150));
        p.setColor(group, QPalette::Midlight, button.lighter(125));
        p.setColor(group, QPalette::Mid, button.darker(130));
        p.setColor(group, QPalette::Dark, button.darker(200));
        p.setColor(group, QPalette::Shadow, Qt::black);
    }
    return p;
}

double Channel(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }

double Luminance(const QColor& c)
{
    return 0.2126 * Channel(c.redF()) + 0.7152 * Channel(c.greenF()) + 0.0722 * Channel(c.blueF());
}

}  // namespace

QPalette MakePalette(PaletteKind kind)
{
    switch (kind) {
    case PaletteKind::Dark:
        return Build(QColor(45, 45, 48), QColor(230, 230, 230), QColor(30, 30, 32), QColor(60, 60, 64),
                     QColor(80, 140, 220), Qt::white, QColor(150, 150, 150));
    case PaletteKind::Contrast: {
        QPalette p =
            Build(Qt::black, Qt::white, Qt::black, Qt::black, QColor(255, 255, 0), Qt::black, QColor(0, 255, 0));
        // Frames drawn in light and dark shades must still show on black.
        p.setColor(QPalette::Light, Qt::white);
        p.setColor(QPalette::Midlight, QColor(200, 200, 200));
        p.setColor(QPalette::Mid, QColor(160, 160, 160));
        p.setColor(QPalette::Dark, QColor(160, 160, 160));
        return p;
    }
    case PaletteKind::Light:
    default:
        return Build(QColor(240, 240, 240), Qt::black, Qt::white, QColor(225, 225, 225), QColor(0, 120, 215), Qt::white,
                     QColor(110, 110, 110));
    }
}

bool PaletteKindFromName(const QString& name, PaletteKind& kind)
{
    const QString n = name.toLower();
    if (n == QLatin1String("light")) kind = PaletteKind::Light;
    else if (n == QLatin1String("dark")) kind = PaletteKind::Dark;
    else if (n == QLatin1String("contrast")) kind = PaletteKind::Contrast;
    else return false;
    return true;
}

void FollowDesktopScheme(QApplication& application)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    auto follow = [&application](Qt::ColorScheme scheme) {
        if (scheme == Qt::ColorScheme::Dark) application.setPalette(MakePalette(PaletteKind::Dark));
        else if (scheme == Qt::ColorScheme::Light) application.setPalette(application.style()->standardPalette());
    };
    if (QGuiApplication::styleHints()->colorScheme() == Qt::ColorScheme::Dark) follow(Qt::ColorScheme::Dark);
    QObject::connect(QGuiApplication::styleHints(), &QStyleHints::colorSchemeChanged, &application, follow);
#else
    // Before Qt 6.5 the desktop's preference reaches the program only as the
    // platform theme's palette, which the application already has.
    (void)application;
#endif
}

double ContrastRatio(const QColor& a, const QColor& b)
{
    double la = Luminance(a), lb = Luminance(b);
    if (la < lb) std::swap(la, lb);
    return (la + 0.05) / (lb + 0.05);
}
