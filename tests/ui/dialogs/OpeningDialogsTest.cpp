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

#include "comm/K_CONNECTION.h"
#include "ui/comm/TFInfoWindow.h"
#include "ui/lang/TDM.h"
#include "model/K_FILE.h"
#include "model/K_PYLON.h"
#include "model/MemoryRegStore.h"
#include "ui/dialogs/TFLumarqConfiguration.h"
#include "ui/dialogs/TFLumarqNetworkSettings.h"
#include "ui/dialogs/TfPylonFontSetting.h"
#include "ui/main/TFLumarqPylon.h"
#include "ui/main/TSpeedButton.h"
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
        dm = std::make_unique<TDM>(&store);
        dm->Settings.LangId = language.toStdString();
        window = std::make_unique<TFLumarqPylon>(model, file, link, *dm);
        info = std::make_unique<TFInfoWindow>(*dm);
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
            seen.globalSet = FLumarqConfiguration == d || FLumarqNetworkSettings == d;
            answered = true;
            answer(d);
            if (d->isVisible()) d->reject();
        });
        open();
        EXPECT_TRUE(answered) << "no modal dialog came up";
        EXPECT_EQ(FLumarqConfiguration, nullptr);
        EXPECT_EQ(FLumarqNetworkSettings, nullptr);
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
    K_PYLON model{&store};
    K_FILE file;
    K_CONNECTION link{"0.0.0.0", 2101};
    std::unique_ptr<TDM> dm;
    std::unique_ptr<TFLumarqPylon> window;
    std::unique_ptr<TFInfoWindow> info;
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
    const Seen byButton = WhileOpen([&] { QTest::mouseClick(Child<QAbstractButton>(*window, "SBConfiguration"), Qt::LeftButton); },
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

    const Seen byButton = WhileOpen([&] { QTest::mouseClick(Child<QAbstractButton>(*window, "SBNetworkSettings"), Qt::LeftButton); },
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

    const Seen byButton = WhileOpen([&] { QTest::mouseClick(Child<QAbstractButton>(*window, "sbFonts"), Qt::LeftButton); },
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
