// The progress log window with real widgets on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include "ui/comm/ProgressLogWindow.h"
#include "ui/lang/DataModule.h"
#include "model/MemoryRegStore.h"
#include "support/Child.h"

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
    int paints = 0;
};

class InfoWindow : public ::testing::Test {
protected:
    MemoryRegStore store;
    DataModule dm{&store};
};

}  // namespace

TEST_F(InfoWindow, LooksAsDesigned)
{
    ProgressLogWindow w(dm);
    EXPECT_EQ(w.objectName(), "FInfoWindow");
    EXPECT_EQ(w.windowTitle(), "Informacje");
    EXPECT_EQ(Child<QToolButton>(w, "SBOK")->text(), "Zamknij okno");
    const Qt::WindowFlags f = w.windowFlags();
    EXPECT_EQ(f & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(f & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(f & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                      Qt::WindowSystemMenuHint));
    EXPECT_FALSE(w.isVisible());

    w.ShowLog();
    EXPECT_EQ(w.size(), QSize(372, 243));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((w.geometry().center() - screen.center()).manhattanLength(), 4);

    QPlainTextEdit* log = Child<QPlainTextEdit>(w, "REInfoWindow");
    EXPECT_EQ(log->objectName(), "REInfoWindow");
    EXPECT_TRUE(log->isReadOnly());
    EXPECT_EQ(log->palette().color(QPalette::Base), QColor(Qt::black));
    EXPECT_EQ(log->palette().color(QPalette::Text), QColor(0, 255, 0));
    EXPECT_EQ(log->font().pixelSize(), 11);
    EXPECT_EQ(log->font().families().value(0), "Tahoma");
    EXPECT_EQ(log->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(w.palette().color(QPalette::Window), QColor(Qt::black));

    // The log fills the window above the 45-pixel button panel; the button
    // covers the panel below its bevel line.
    QWidget* panel = Child<QToolButton>(w, "SBOK")->parentWidget();
    EXPECT_EQ(panel->height(), 45);
    EXPECT_EQ(panel->geometry().bottom(), w.height() - 1);
    EXPECT_EQ(log->geometry(), QRect(0, 0, 372, 243 - 45));
    EXPECT_EQ(Child<QToolButton>(w, "SBOK")->width(), 372);
    EXPECT_GE(Child<QToolButton>(w, "SBOK")->height(), 43);
    EXPECT_TRUE(Child<QToolButton>(w, "SBOK")->autoRaise());
    EXPECT_TRUE(Child<QToolButton>(w, "SBOK")->font().bold());
    EXPECT_EQ(Child<QToolButton>(w, "SBOK")->palette().color(QPalette::ButtonText), QColor(Qt::white));
    EXPECT_FALSE(Child<QToolButton>(w, "SBOK")->icon().isNull());
}

TEST_F(InfoWindow, TranslatesItsCaptions)
{
    ASSERT_TRUE(dm.Changer.LoadLanguage("EN"));
    ProgressLogWindow en(dm);
    EXPECT_EQ(en.windowTitle(), "Information");
    EXPECT_EQ(Child<QToolButton>(en, "SBOK")->text(), "Close");
    ASSERT_TRUE(dm.Changer.LoadLanguage("HU"));
    ProgressLogWindow hu(dm);
    EXPECT_EQ(hu.windowTitle(), QString::fromUtf8("Információ"));
    EXPECT_EQ(Child<QToolButton>(hu, "SBOK")->text(), QString::fromUtf8("Bezár"));
}

TEST_F(InfoWindow, ShowingClearsAndTheButtonOnlyHides)
{
    QPointer<ProgressLogWindow> w = new ProgressLogWindow(dm);
    EXPECT_TRUE(w->Lines().isEmpty());
    w->ShowLog();
    w->AppendLine("* Connecting with127.0.0.1...");
    w->AppendLine("* Sending data...");
    w->AppendLine("");
    EXPECT_EQ(w->Lines(), (QStringList{"* Connecting with127.0.0.1...", "* Sending data...", ""}));

    // Shown again while visible (the next command): the log starts empty.
    w->ShowLog();
    EXPECT_TRUE(w->Lines().isEmpty());
    w->AppendLine("OK");

    QTest::mouseClick(Child<QToolButton>(*w, "SBOK"), Qt::LeftButton);
    ASSERT_FALSE(w.isNull());
    EXPECT_FALSE(w->isVisible());
    // Lines of pylons served after the window closed still go to its log.
    w->AppendLine("OK");
    EXPECT_EQ(w->Lines(), (QStringList{"OK", "OK"}));

    // A close request from the window system hides it as well.
    w->ShowLog();
    EXPECT_TRUE(w->Lines().isEmpty());
    w->close();
    ASSERT_FALSE(w.isNull());
    EXPECT_FALSE(w->isVisible());

    w->show();  // shown by any means: cleared
    EXPECT_TRUE(w->Lines().isEmpty());
    w->CloseLog();
    EXPECT_FALSE(w->isVisible());
    delete w;
}

TEST_F(InfoWindow, EachLineIsPaintedBeforeAppendReturns)
{
    ProgressLogWindow w(dm);
    w.ShowLog();
    QCoreApplication::processEvents();
    PaintCounter counter(Child<QPlainTextEdit>(w, "REInfoWindow")->viewport());
    // No return to the event loop between the lines, as while a command runs.
    for (int i = 1; i <= 3; ++i) {
        w.AppendLine("line " + std::to_string(i));
        EXPECT_EQ(counter.paints, i);
    }
    // A long log keeps its newest line in view.
    for (int i = 0; i < 40; ++i) w.AppendLine("* Reading data - timeout");
    QScrollBar* bar = Child<QPlainTextEdit>(w, "REInfoWindow")->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
}
