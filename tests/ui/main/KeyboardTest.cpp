// The main window by keyboard: typed prices, the Tab order, the commands'
// keys, Alt with a letter, the accessible names in every language, and the
// pylon picture under every palette.
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

#include "WindowRig.h"
#include "ui/common/Palettes.h"
#include "ui/main/DigitFocusFrame.h"
#include "support/Child.h"

namespace {

void SetLine(PylonConfig& m, int L, const char* digits, int point, bool zerosOff = false)
{
    for (int k = 0; k < 6; ++k) m.Prices[L].Price[k] = uint8_t(digits[k] - '0');
    m.Prices[L].Conf.DecimalPoint = uint8_t(point);
    m.Prices[L].Conf.ZerosOff = zerosOff ? 1 : 0;
}

// The control that has the focus, a name box for its text field.
QString Focused()
{
    QWidget* w = QApplication::focusWidget();
    if (w && qobject_cast<QComboBox*>(w->parentWidget())) w = w->parentWidget();
    return w ? w->objectName() : QString();
}

QString AccessibleName(QObject* o)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(o);
    return face ? face->text(QAccessible::Name) : QString();
}

PylonConfig Stored(MemoryRegStore& store)
{
    PylonConfig loaded(&store);
    loaded.DetachSession();
    return loaded;
}

TEST(KeyboardWindow, TypedPriceMatchesTheArrowsOnScreenInTheModelAndInTheStore)
{
    auto setup = [](PylonConfig& m) { SetLine(m, 0, "001234", 2); };
    WindowRig typed("EN", setup);
    MainWindow& w = *typed.window;
    w.DigitPanels[0]->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(w.DigitPanels[0], "649");
    EXPECT_TRUE(w.FocusFrames[0]->isVisible());
    EXPECT_FALSE(w.FocusFrames[1]->isVisible());
    EXPECT_EQ(w.FocusFrames[0]->Digit(), w.DigitImages[5]->geometry());

    WindowRig clicked("EN", setup);
    MainWindow& c = *clicked.window;
    clicked.Click(c.DigitButtons[2].second);
    for (int n = 0; n < 4; ++n) clicked.Click(c.DigitButtons[3].first);
    clicked.Click(c.DigitButtons[4].first);
    for (int n = 0; n < 5; ++n) clicked.Click(c.DigitButtons[5].first);

    EXPECT_EQ(ScreenCells(w, 0), "0006.49");
    EXPECT_EQ(ScreenCells(w, 0), ScreenCells(c, 0));
    EXPECT_TRUE(typed.model.SameFields(clicked.model));
    {
        PylonConfig release(typed.model);
    }
    {
        PylonConfig release(clicked.model);
    }
    EXPECT_TRUE(Stored(typed.store).SameFields(Stored(clicked.store)));
    EXPECT_EQ(AccessibleName(w.DigitImages[3]), "Line 1, digit 4: 6");

    // Left and Up step the tenths; Escape puts back what the line held when it took the focus again.
    QApplication::setActiveWindow(&w);
    w.DigitPanels[0]->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w.DigitPanels[0], Qt::Key_Left);
    QTest::keyClick(w.DigitPanels[0], Qt::Key_Up);
    EXPECT_EQ(ScreenCells(w, 0), "0006.59");
    EXPECT_EQ(w.FocusFrames[0]->Digit(), w.DigitImages[4]->geometry());
    QTest::keyClick(w.DigitPanels[0], Qt::Key_Escape);
    EXPECT_EQ(ScreenCells(w, 0), "0006.49");
    EXPECT_EQ(ScreenCells(w, 1), ScreenCells(c, 1));
}

TEST(KeyboardWindow, TabWalksTheLinesAndEveryCommandHasItsKey)
{
    WindowRig rig;
    MainWindow& w = *rig.window;
    w.DigitPanels[0]->setFocus(Qt::TabFocusReason);
    QStringList walked = {Focused()}, expected;
    for (int n = 1; n <= 7; ++n)
        for (const char* name : {"PPrice", "CBName", "CBPriceOff", "CBPriceDash", "CBPriceBlinking", "CBZerosOff"})
            expected << (QLatin1String(name) == QLatin1String("PPrice") && n == 7
                             ? QStringLiteral("Panel3")
                             : QLatin1String(name) + QString::number(n));
    expected << expected.first();
    for (int i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked << Focused();
    }
    EXPECT_EQ(walked, expected);

    // Download has its menu item; every toolbar hint names its item's key.
    QTest::keyClick(&w, Qt::Key_F9);
    EXPECT_EQ(rig.window->calls, QStringList{"SBDownloadClick"});
    EXPECT_EQ(Child<QAction>(w, "Pobierz1")->text(), "Download");
    EXPECT_EQ(Child<QAbstractButton>(w, "SBDownload")->toolTip(), "Download (F9)");
    EXPECT_EQ(Child<QAbstractButton>(w, "SBOpenFile")->toolTip(), "Open (Ctrl+O)");
    EXPECT_EQ(AccessibleName(Child<QAbstractButton>(w, "SBSendConfiguration")), "Send");

    // Alt with a letter types nothing into a name; Alt+F opens the File menu.
    const std::string name = rig.model.Prices[0].Name;
    w.NameBoxes[0]->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w.NameBoxes[0]->lineEdit(), Qt::Key_Q, Qt::AltModifier);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    QTest::keyClick(w.NameBoxes[0]->lineEdit(), Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(QApplication::activePopupWidget(), Child<QMenu>(w, "Plik1"));
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    EXPECT_EQ(rig.model.Prices[0].Name, name);
    EXPECT_EQ(w.NameBoxes[0]->currentText(), "Nazwa 1");
}

TEST(KeyboardWindow, EveryFocusableControlIsNamedAndFitsInEachLanguage)
{
    const struct {
        const char* code;
        const char* digit;  // line 3, digit 6 of the sample line
        const char* download;
    } languages[] = {{"PL", "Linia 3, cyfra 6: 4", "Pobierz (F9)"},
                     {"EN", "Line 3, digit 6: 4", "Download (F9)"},
                     {"HU", "3. sor, 6. számjegy: 4", "Letöltés (F9)"},
                     {"DE", "Zeile 3, Ziffer 6: 4", "Download (F9)"}};
    WindowRig rig("EN", [](PylonConfig& m) { SetLine(m, 2, "001234", 2); });
    MainWindow& w = *rig.window;
    for (const auto& language : languages) {
        SCOPED_TRACE(language.code);
        for (const LanguageEntry& l : rig.dm->Changer.Languages)
            if (l.Code == QLatin1String(language.code)) w.LanguageChosen(l.MenuItem);
        EXPECT_EQ(AccessibleName(w.DigitImages[17]), QString::fromUtf8(language.digit));
        EXPECT_EQ(AccessibleName(w.DigitPanels[2]), QString::fromUtf8(language.digit));
        EXPECT_EQ(Child<QAbstractButton>(w, "SBDownload")->toolTip(), QString::fromUtf8(language.download));
        for (QWidget* c : w.findChildren<QWidget*>())
            if ((c->focusPolicy() & Qt::TabFocus) && c->window() == &w)
                EXPECT_FALSE(AccessibleName(c).isEmpty()) << c->objectName().toStdString();
        for (const auto& boxes : w.FlagBoxes)
            for (QCheckBox* box : boxes) EXPECT_LE(box->sizeHint().width(), box->width()) << box->text().toStdString();
    }
}

TEST(KeyboardWindow, WindowsFollowThePaletteAndThePylonStaysRedOnBlack)
{
    const QPalette before = QApplication::palette();
    std::string light;
    for (PaletteKind kind : {PaletteKind::Light, PaletteKind::Dark, PaletteKind::Contrast}) {
        SCOPED_TRACE(int(kind));
        const QPalette palette = MakePalette(kind);
        QApplication::setPalette(palette);
        WindowRig rig("EN", [](PylonConfig& m) { SetLine(m, 0, "001234", 2); });
        MainWindow& w = *rig.window;
        EXPECT_EQ(w.LinePanels[0]->palette().color(QPalette::Window), palette.color(QPalette::Window));
        EXPECT_EQ(w.NameBoxes[0]->palette().color(QPalette::Base), palette.color(QPalette::Base));
        EXPECT_EQ(w.DigitPanels[0]->palette().color(QPalette::Window), QColor(Qt::black));
        // The cells are the very pictures of the light palette.
        if (light.empty()) light = ScreenCells(w, 0);
        EXPECT_EQ(ScreenCells(w, 0), light);
    }
    QApplication::setPalette(before);
    EXPECT_EQ(light, "0012.34");
}

}  // namespace
