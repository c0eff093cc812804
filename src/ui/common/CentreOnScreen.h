#pragma once
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

// Puts a window in the middle of the screen's free area.
inline void CentreOnScreen(QWidget* window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
}
