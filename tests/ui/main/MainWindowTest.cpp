// The main window's frame: geometry as outside checks see it, the toolbar,
// the menu with its shortcuts, and the hidden service items.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include "tests/ui/main/WindowRig.h"
#include "support/Child.h"

namespace {

QPoint InClient(const MainWindow& w, const QWidget* widget) { return widget->mapTo(w.ClientArea, QPoint(0, 0)); }

TEST(MainWindow, ClientAreaIsFixedBelowTheMenu)
{
    WindowRig rig;
    MainWindow& w = *rig.window;
    EXPECT_EQ(w.objectName(), "FLumarqPylon");
    EXPECT_EQ(w.windowTitle(), "Lumarq Pylon");
    EXPECT_EQ(w.ClientArea->size(), QSize(665, 576));
    EXPECT_EQ(w.ClientArea->mapTo(&w, QPoint(0, 0)), QPoint(0, w.menuBar()->height()));
    EXPECT_EQ(w.size(), QSize(665, 576 + w.menuBar()->height()));
    EXPECT_EQ(w.minimumSize(), w.maximumSize()) << "not resizable";
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
}

TEST(MainWindow, ToolbarButtonsSitOnTheLeftColumnWithTheirHints)
{
    WindowRig rig;
    MainWindow& w = *rig.window;
    EXPECT_EQ(Child<QLabel>(w, "Image1")->geometry(), QRect(0, 0, 70, 576));
    struct Tool {
        FlatButton* button;
        const char* name;
        const char* hint;
    };
    // The hints name the keys of the menu items that do the same.
    const Tool tools[] = {{Child<FlatButton>(w, "SBOpenFile"), "SBOpenFile", "Open (Ctrl+O)"},
                          {Child<FlatButton>(w, "SBSaveToFile"), "SBSaveToFile", "Save (Ctrl+S)"},
                          {Child<FlatButton>(w, "SBNetworkSettings"), "SBNetworkSettings", "Connections settings (F7)"},
                          {Child<FlatButton>(w, "SBConfiguration"), "SBConfiguration", "Brightness configuration (F6)"},
                          {Child<FlatButton>(w, "sbFonts"), "sbFonts", "Font settings (F8)"},
                          {Child<FlatButton>(w, "SBSendConfiguration"), "SBSendConfiguration", "Send (F5)"},
                          {Child<FlatButton>(w, "SBDownload"), "SBDownload", "Download (F9)"}};
    int y = 0;
    for (const Tool& t : tools) {
        EXPECT_EQ(t.button->objectName(), t.name);
        EXPECT_EQ(QRect(InClient(w, t.button), t.button->size()), QRect(2, y, 65, 50)) << t.name;
        EXPECT_EQ(t.button->toolTip(), t.hint) << t.name;
        EXPECT_FALSE(t.button->Glyph().isNull()) << t.name;
        EXPECT_TRUE(t.button->isVisible()) << t.name;
        y += 50;
    }
}

TEST(MainWindow, EveryPriceLineControlIsAtItsPlaceWithItsNameAndTag)
{
    WindowRig rig;
    MainWindow& w = *rig.window;
    const char* panels[] = {"Panel8", "Panel10", "Panel2", "Panel12", "Panel13", "Panel14", "Panel1"};
    const char* digitPanels[] = {"PPrice1", "PPrice2", "PPrice3", "PPrice4", "PPrice5", "PPrice6", "Panel3"};
    for (int L = 0; L < 7; ++L) {
        const int n = L + 1;
        QFrame* panel = w.LinePanels[L];
        EXPECT_EQ(panel->objectName(), panels[L]);
        EXPECT_EQ(QRect(InClient(w, panel), panel->size()), QRect(81, 82 * L, 580, 80));
        QFrame* digits = w.DigitPanels[L];
        EXPECT_EQ(digits->objectName(), digitPanels[L]);
        EXPECT_EQ(digits->geometry(), QRect(4, 4, 243, 72));
        EXPECT_EQ(digits->parentWidget(), panel);

        for (int d = 1; d <= 6; ++d) {
            const int i = 6 * L + d - 1;
            const QString nd = QString::number(n) + QString::number(d);
            PictureBox* image = w.DigitImages[i];
            EXPECT_EQ(image->objectName(), "IDigit" + nd);
            EXPECT_EQ(image->parentWidget(), digits);
            EXPECT_EQ(image->geometry(), QRect(4 + 41 * (d - 1), 12, 30, 48));
            auto [up, down] = w.DigitButtons[i];
            EXPECT_EQ(up->objectName(), "SBUp" + nd);
            EXPECT_EQ(down->objectName(), "SBDown" + nd);
            EXPECT_EQ(up->geometry(), QRect(6 + 41 * (d - 1), 2, 26, 10));
            EXPECT_EQ(down->geometry(), QRect(6 + 41 * (d - 1), 60, 26, 10));
            EXPECT_EQ(up->property("Tag").toInt(), i);
            EXPECT_EQ(down->property("Tag").toInt(), i);
            if (d <= 5) {
                PictureBox* dot = w.PointImages[5 * L + d - 1];
                EXPECT_EQ(dot->objectName(), "IDot" + nd);
                EXPECT_EQ(dot->geometry(), QRect(34 + 41 * (d - 1), 12, 11, 48));
            }
        }
        QComboBox* name = w.NameBoxes[L];
        EXPECT_EQ(name->objectName(), "CBName" + QString::number(n));
        EXPECT_EQ(name->pos(), QPoint(252, 12));
        EXPECT_EQ(name->width(), 169);
        EXPECT_TRUE(name->isEditable());
        EXPECT_TRUE(name->font().bold());
        EXPECT_EQ(name->maxVisibleItems(), 10);
        EXPECT_EQ(name->count(), 12);
        EXPECT_EQ(name->property("Tag").toInt(), L);

        auto [left, right] = w.PointButtons[L];
        EXPECT_EQ(left->objectName(), "SBLeft" + QString::number(n));
        EXPECT_EQ(right->objectName(), "SBRight" + QString::number(n));
        EXPECT_EQ(left->geometry(), QRect(252, 51, 50, 20));
        EXPECT_EQ(right->geometry(), QRect(n == 7 ? 308 : 310, 51, 50, 20));
        EXPECT_EQ(left->property("Tag").toInt(), L);
        EXPECT_EQ(right->property("Tag").toInt(), L);
        EXPECT_EQ(w.PointIndicators[L]->objectName(), "IDotButt" + QString::number(n));
        EXPECT_EQ(w.PointIndicators[L]->geometry(), QRect(301, 52, 10, 18));

        // Blinking, leading zeros, dash, off.
        const char* boxes[] = {"CBPriceBlinking", "CBZerosOff", "CBPriceDash", "CBPriceOff"};
        const int ys[] = {40, 58, 22, 4};
        for (int b = 0; b < 4; ++b) {
            QCheckBox* box = w.FlagBoxes[L][b];
            EXPECT_EQ(box->objectName(), boxes[b] + QString::number(n));
            EXPECT_EQ(box->pos(), QPoint(428, ys[b]));
            EXPECT_EQ(box->property("Tag").toInt(), L);
            EXPECT_EQ(box->parentWidget(), panel);
        }
        EXPECT_EQ(w.FlagBoxes[L][0]->text(), "Blink");
        EXPECT_EQ(w.FlagBoxes[L][1]->text(), "Leading zeros removing");
        EXPECT_EQ(w.FlagBoxes[L][2]->text(), "None");
        EXPECT_EQ(w.FlagBoxes[L][3]->text(), "Turn off");
    }
    EXPECT_EQ(Child<QCheckBox>(w, "CBDOMS")->objectName(), "CBDOMS");
    EXPECT_EQ(InClient(w, Child<QCheckBox>(w, "CBDOMS")), QPoint(4, 555));
    EXPECT_FALSE(Child<QCheckBox>(w, "CBDOMS")->isVisible());
    // The English items replace the sixth and seventh design items.
    EXPECT_EQ(w.NameBoxes[0]->itemText(5), "Car wash");
    EXPECT_EQ(w.NameBoxes[0]->itemText(6), "Currency");
    EXPECT_EQ(w.NameBoxes[0]->itemText(11), "JPY");
}

struct MenuItem {
    const char* name;
    const char* polish;
    const char* english;
    QKeySequence shortcut;
    int glyph;  // -1 for none
    bool bold;
};

TEST(MainWindow, MenuHasItsItemsCaptionsShortcutsGlyphsAndDefaults)
{
    const std::vector<std::pair<const char*, std::vector<MenuItem>>> menus = {
        {"Plik1",
         {{"Otwrzplik1", "Otwórz...", "Open...", QKeySequence("Ctrl+O"), GlyphOpen, true},
          {"Zapiszdopliku1", "Zapisz...", "Save...", QKeySequence("Ctrl+S"), GlyphSave, false},
          {"N2", "", "", QKeySequence(), -1, false},
          {"MClose", "Zamknij", "Close", QKeySequence(), -1, false}}},
        {"komunikacja1",
         {{"Wylij1", "Wyślij", "Send", QKeySequence("F5"), GlyphSend, true},
          {"Pobierz1", "Pobierz", "Download", QKeySequence("F9"), GlyphDownload, false},
          {"Weryfikujpowysaniu1", "Weryfikuj po wysłaniu", "Verify after sending", QKeySequence(), -1, false},
          {"Historiawysyania1", "Historia wysyłania...", "Send history...", QKeySequence(), -1, false}}},
        {"Ustawienia1",
         {{"konfiguracja1", "Konfiguracja jasności...", "Brightness configuration...", QKeySequence("F6"),
           GlyphBrightness, true},
          {"Sie1", "Ustawienia połączeń", "Connections settings", QKeySequence("F7"), GlyphConnections, false},
          {"Ustawieniaczcionek1", "Ustawienia czcionek", "Font settings", QKeySequence("F8"), GlyphFonts, false}}},
        {"Pomoc1",
         {{"Pomoc2", "Pomoc...", "Help...", QKeySequence("F1"), GlyphHelp, false},
          {"N1", "", "", QKeySequence(), -1, false},
          {"Producent1", "Producent...", "Producer...", QKeySequence(), GlyphInfo, true}}},
    };
    const char* polishMenus[] = {"Plik", "Komunikacja", "Ustawienia", "Pomoc"};
    const char* englishMenus[] = {"File", "Communication", "Settings", "Help"};

    for (const QString& language : {QStringLiteral("PL"), QStringLiteral("EN")}) {
        WindowRig rig(language);
        const bool pl = language == "PL";
        const QList<QAction*> bar = rig.window->menuBar()->actions();
        ASSERT_EQ(bar.size(), 5);
        for (size_t m = 0; m < menus.size(); ++m) {
            QMenu* menu = bar[int(m)]->menu();
            ASSERT_NE(menu, nullptr);
            EXPECT_EQ(menu->objectName(), menus[m].first);
            EXPECT_EQ(menu->title(), pl ? polishMenus[m] : englishMenus[m]);
            const QList<QAction*> items = menu->actions();
            ASSERT_EQ(items.size(), int(menus[m].second.size())) << menus[m].first;
            for (int i = 0; i < items.size(); ++i) {
                const MenuItem& e = menus[m].second[size_t(i)];
                QAction* a = items[i];
                EXPECT_EQ(a->objectName(), e.name);
                if (a->isSeparator()) {
                    EXPECT_TRUE(a->text().isEmpty()) << e.name << " shows no caption";
                    continue;
                }
                EXPECT_EQ(a->text(), QString::fromUtf8(pl ? e.polish : e.english)) << e.name;
                EXPECT_EQ(a->shortcut(), e.shortcut) << e.name;
                EXPECT_EQ(a->font().bold(), e.bold) << e.name;
                EXPECT_EQ(a->icon().isNull(), e.glyph < 0) << e.name;
                if (e.glyph >= 0) {
                    EXPECT_EQ(a->icon().cacheKey(), rig.dm->Glyphs[e.glyph].cacheKey()) << e.name;
                }
            }
        }
        EXPECT_EQ(bar[4]->menu()->objectName(), "mLanguage");
        EXPECT_EQ(bar[4]->menu()->title(), "Language");
    }
}

TEST(MainWindow, HiddenServiceItemsNeverShowButTheirShortcutsWork)
{
    WindowRig rig;
    MainWindow& w = *rig.window;
    for (QAction* hidden : {Child<QAction>(w, "Opcjeserwisowe1"), Child<QAction>(w, "OS21")}) {
        for (QMenu* menu : w.findChildren<QMenu*>())
            EXPECT_FALSE(menu->actions().contains(hidden)) << hidden->objectName().toStdString();
        EXPECT_FALSE(w.menuBar()->actions().contains(hidden));
    }
    EXPECT_EQ(Child<QAction>(w, "Opcjeserwisowe1")->objectName(), "Opcjeserwisowe1");
    EXPECT_EQ(Child<QAction>(w, "OS21")->objectName(), "OS21");
    EXPECT_EQ(Child<QAction>(w, "Opcjeserwisowe1")->text(), "Service");

    rig.Key(Qt::Key_S, Qt::ControlModifier | Qt::AltModifier);
    rig.Key(Qt::Key_F11, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(rig.window->calls, QStringList({"Opcjeserwisowe1Click 0", "Opcjeserwisowe1Click 1"}));
}

TEST(MainWindow, ToolbarAndShortcutsReachTheirCommands)
{
    WindowRig rig;
    MainWindow& w = *rig.window;
    for (FlatButton* b : {Child<FlatButton>(w, "SBNetworkSettings"), Child<FlatButton>(w, "SBConfiguration"),
                          Child<FlatButton>(w, "sbFonts"), Child<FlatButton>(w, "SBSendConfiguration"),
                          Child<FlatButton>(w, "SBDownload")})
        rig.Click(b);
    EXPECT_EQ(rig.window->calls, QStringList({"SBNetworkSettingsClick", "SBConfigurationClick", "sbFontsClick",
                                              "SBSendConfigurationClick", "SBDownloadClick"}));
    rig.window->calls.clear();
    rig.Key(Qt::Key_F5);
    rig.Key(Qt::Key_F6);
    rig.Key(Qt::Key_F7);
    rig.Key(Qt::Key_F8);
    EXPECT_EQ(rig.window->calls, QStringList({"SBSendConfigurationClick", "SBConfigurationClick",
                                              "SBNetworkSettingsClick", "Ustawieniaczcionek1Click"}));

    // Ctrl+O and the open button run the open command: both ask the dialog.
    rig.Key(Qt::Key_O, Qt::ControlModifier);
    rig.Click(Child<FlatButton>(w, "SBOpenFile"));
    EXPECT_EQ(rig.dialogs.openRequests.size(), 2);
    rig.Key(Qt::Key_S, Qt::ControlModifier);
    rig.Click(Child<FlatButton>(w, "SBSaveToFile"));
    EXPECT_EQ(rig.dialogs.saveRequests.size(), 2);
}

TEST(MainWindow, CloseCommandClosesTheWindow)
{
    WindowRig rig;
    ASSERT_TRUE(rig.window->isVisible());
    Child<QAction>(*rig.window, "MClose")->trigger();
    EXPECT_FALSE(rig.window->isVisible());
}

TEST(MainWindow, VersionAndDocumentsFolderFollowTheProgramVersion)
{
    WindowRig rig;
    EXPECT_EQ(rig.window->VersionText, "2.17");
    EXPECT_TRUE(rig.window->DocumentsDir.endsWith("/Lumarq Technology/KD4M_2.17/"))
        << rig.window->DocumentsDir.toStdString();
}

}  // namespace
