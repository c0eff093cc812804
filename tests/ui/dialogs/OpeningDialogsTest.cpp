// The settings dialogs as the main window opens them: by their menu
// shortcut and by their toolbar button, modal, centred, at their size, in
// the window's language; what they do to the model on OK and Cancel.
#include <functional>
#include <memory>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include "comm/PylonLink.h"
#include "ui/comm/ProgressLogWindow.h"
#include "ui/lang/DataModule.h"
#include "model/FileHeader.h"
#include "model/PylonConfig.h"
#include "model/MemoryRegStore.h"
#include "ui/dialogs/BrightnessDialog.h"
#include "ui/dialogs/ConnectionDialog.h"
#include "ui/dialogs/FontDialog.h"
#include "ui/main/MainWindow.h"
#include "ui/main/FlatButton.h"
#include "support/Child.h"

namespace {

// What was open while the modal loop ran.
struct Seen {
    QString name, title;
    QSize size;
    QPoint centre;
    bool modal = false;
    bool globalSet = false;
};

class OpeningDialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dm = std::make_unique<DataModule>(&store);
        dm->Settings.LangId = language.toStdString();
        window = std::make_unique<MainWindow>(model, file, link, *dm);
        info = std::make_unique<ProgressLogWindow>(*dm);
        window->SetInfoWindow(info.get());
        window->show();
        QApplication::setActiveWindow(window.get());
        (void)QTest::qWaitForWindowActive(window.get(), 1000);
    }
    void TearDown() override
    {
        window.reset();
        info.reset();
        dm.reset();
    }

    // Runs `open`; once the modal dialog is up, notes what shows and lets
    // `answer` close it. Fails the test when no dialog came up.
    Seen WhileOpen(const std::function<void()>& open, const std::function<void(QDialog*)>& answer)
    {
        Seen seen;
        bool answered = false;
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!d) return;
            seen.name = d->objectName();
            seen.title = d->windowTitle();
            seen.size = d->size();
            seen.centre = d->frameGeometry().center();
            seen.modal = d->isModal();
            seen.globalSet = OpenBrightnessDialog == d || OpenConnectionDialog == d;
            answered = true;
            answer(d);
            if (d->isVisible()) d->reject();
        });
        open();
        EXPECT_TRUE(answered) << "no modal dialog came up";
        EXPECT_EQ(OpenBrightnessDialog, nullptr);
        EXPECT_EQ(OpenConnectionDialog, nullptr);
        return seen;
    }

    // The desktop gives the main window back its activation when a dialog
    // closes; the offscreen platform leaves that to the test.
    void Shortcut(int key)
    {
        QApplication::setActiveWindow(window.get());
        QTest::keyClick(window.get(), Qt::Key(key));
    }

    static QPoint ScreenCentre() { return QGuiApplication::primaryScreen()->availableGeometry().center(); }
    // Centred to within the window frame's few pixels.
    static bool Centred(const Seen& s) { return (s.centre - ScreenCentre()).manhattanLength() <= 6; }

    static void Cancel(QDialog* d) { QTest::mouseClick(d->findChild<QToolButton*>("SBAbort"), Qt::LeftButton); }
    static void Ok(QDialog* d) { QTest::mouseClick(d->findChild<QToolButton*>("SBOK"), Qt::LeftButton); }

    QString language = QStringLiteral("EN");
    MemoryRegStore store;
    PylonConfig model{&store};
    FileHeader file;
    PylonLink link{"0.0.0.0", 2101};
    std::unique_ptr<DataModule> dm;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<ProgressLogWindow> info;
};

TEST_F(OpeningDialogsTest, BrightnessDialogFromF6AndItsButton)
{
    const Seen byKey = WhileOpen([&] { Shortcut(Qt::Key_F6); }, Cancel);
    EXPECT_EQ(byKey.name, "FLumarqConfiguration");
    EXPECT_EQ(byKey.title, "Configuration");
    EXPECT_EQ(byKey.size, QSize(572, 490));
    EXPECT_TRUE(byKey.modal);
    EXPECT_TRUE(byKey.globalSet);
    EXPECT_TRUE(Centred(byKey));

    // The button; a slider moved and OK stores it.
    const Seen byButton =
        WhileOpen([&] { QTest::mouseClick(Child<QAbstractButton>(*window, "SBConfiguration"), Qt::LeftButton); },
                  [](QDialog* d) {
                      auto* s = d->findChild<QSlider*>("TBRight");
                      s->setFocus();
                      QTest::keyClick(s, Qt::Key_PageDown);
                      Ok(d);
                  });
    EXPECT_EQ(byButton.name, "FLumarqConfiguration");
    EXPECT_EQ(model.Conf.Right, 99);
}

TEST_F(OpeningDialogsTest, ConnectionDialogFromF7AndItsButton)
{
    const Seen byKey = WhileOpen([&] { Shortcut(Qt::Key_F7); }, Cancel);
    EXPECT_EQ(byKey.name, "FLumarqNetworkSettings");
    EXPECT_EQ(byKey.title, "Connections settings");
    EXPECT_EQ(byKey.size, QSize(332, 387));
    EXPECT_TRUE(byKey.globalSet);
    EXPECT_TRUE(Centred(byKey));

    const Seen byButton =
        WhileOpen([&] { QTest::mouseClick(Child<QAbstractButton>(*window, "SBNetworkSettings"), Qt::LeftButton); },
                  [](QDialog* d) {
                      QTest::mouseClick(d->findChild<QToolButton*>("SBAdd"), Qt::LeftButton);
                      Ok(d);
                  });
    EXPECT_EQ(byButton.name, "FLumarqNetworkSettings");
    ASSERT_EQ(model.NetSettings.size(), 1u);
    EXPECT_EQ(model.NetSettings[0].IP, "192.168.0.11");
    EXPECT_EQ(model.NetSettings[0].Port, 2101);
}

TEST_F(OpeningDialogsTest, FontDialogFromF8ItsMenuItemAndItsButton)
{
    const Seen byKey = WhileOpen([&] { Shortcut(Qt::Key_F8); }, Cancel);
    EXPECT_EQ(byKey.name, "fPylonFontSetting");
    EXPECT_EQ(byKey.title, "Font settings");
    EXPECT_EQ(byKey.size, QSize(253, 119));
    EXPECT_TRUE(byKey.modal);
    EXPECT_TRUE(Centred(byKey));

    const Seen byItem = WhileOpen([&] { Child<QAction>(*window, "Ustawieniaczcionek1")->trigger(); }, Cancel);
    EXPECT_EQ(byItem.name, "fPylonFontSetting");

    const Seen byButton =
        WhileOpen([&] { QTest::mouseClick(Child<QAbstractButton>(*window, "sbFonts"), Qt::LeftButton); },
                  [](QDialog* d) {
                      auto* list = d->findChild<QComboBox*>("cbBasicFont");
                      list->setFocus();
                      QTest::keyClick(list, Qt::Key_End);
                      Ok(d);
                  });
    EXPECT_EQ(byButton.name, "fPylonFontSetting");
    EXPECT_EQ(model.FontConf.BasicFont, 9);
}

class PolishOpeningTest : public OpeningDialogsTest {
protected:
    void SetUp() override
    {
        language = QStringLiteral("PL");
        OpeningDialogsTest::SetUp();
    }
};

TEST_F(PolishOpeningTest, DialogsSpeakTheWindowsLanguage)
{
    EXPECT_EQ(WhileOpen([&] { Shortcut(Qt::Key_F6); }, Cancel).title, "Konfiguracja");
    EXPECT_EQ(WhileOpen([&] { Shortcut(Qt::Key_F7); }, Cancel).title, QString::fromUtf8("Ustawienia połączęń"));
    EXPECT_EQ(WhileOpen([&] { Shortcut(Qt::Key_F8); }, Cancel).title, "Ustawienia czcionek");
}

}  // namespace
