#pragma once
// What every dialog test needs: the English texts loaded, an in-memory
// store, a model without a session and the message boxes caught.
#include <QApplication>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <vector>

#include "ui/lang/MessageBoxes.h"
#include "ui/lang/DataModule.h"
#include "model/PylonConfig.h"
#include "model/MemoryRegStore.h"

struct DialogRig {
    DialogRig() { dm.Changer.LoadLanguage(QStringLiteral("EN")); }

    MemoryRegStore store;
    DataModule dm{&store};
    PylonConfig model;
    std::vector<MessageBoxCall> boxes;
    MessageBoxSeam seam{[this](const MessageBoxCall& c) { boxes.push_back(c); }};
};

// Shows a dialog as the main window would, without its modal loop.
template <class Dialog>
void ShowDialog(Dialog* d)
{
    d->show();
    QApplication::setActiveWindow(d);
    QCoreApplication::processEvents();
}

// The centre of a slider's handle, where a person grabs it.
inline QPoint HandleCentre(QSlider* s)
{
    QStyleOptionSlider opt;
    opt.initFrom(s);
    opt.orientation = s->orientation();
    opt.minimum = s->minimum();
    opt.maximum = s->maximum();
    opt.sliderPosition = s->sliderPosition();
    opt.sliderValue = s->value();
    opt.tickPosition = s->tickPosition();
    opt.tickInterval = s->tickInterval();
    opt.subControls = QStyle::SC_All;
    return s->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, s).center();
}

// Drags a slider's handle with the mouse to x (in the slider's coordinates).
inline void DragSlider(QSlider* s, int x)
{
    const QPoint from = HandleCentre(s);
    QTest::mousePress(s, Qt::LeftButton, {}, from);
    for (int step = 1; step <= 4; ++step) {
        const QPoint at(from.x() + (x - from.x()) * step / 4, from.y());
        QMouseEvent move(QEvent::MouseMove, at, s->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(s, &move);
    }
    QTest::mouseRelease(s, Qt::LeftButton, {}, QPoint(x, from.y()));
}
