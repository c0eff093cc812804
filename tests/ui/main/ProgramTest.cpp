// The program's application object and a whole run on a store file: what
// escapes an event handler, and what the store holds after the program ends.
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "comm/PylonLink.h"
#include "ui/comm/ProgressLogWindow.h"
#include "ui/lang/MessageBoxes.h"
#include "ui/lang/DataModule.h"
#include "model/FileHeader.h"
#include "model/PylonConfig.h"
#include "model/RegFileStore.h"
#include "model/ApplicationSettings.h"
#include "support/TempDir.h"
#include "ui/main/MainWindow.h"
#include "ui/main/PylonApplication.h"
#include "ui/main/FlatButton.h"
#include "support/Child.h"

namespace {

TEST(Application, CarriesTheProgramsTitle)
{
    EXPECT_EQ(QApplication::applicationName(), "Lumarq Pylon");
    EXPECT_EQ(QApplication::applicationDisplayName(), "Lumarq Pylon");
}

TEST(Application, AnExceptionInAHandlerIsShownAndTheProgramGoesOn)
{
    std::vector<MessageBoxCall> boxes;
    MessageBoxSeam seam([&](const MessageBoxCall& c) { boxes.push_back(c); });
    QWidget window;
    auto* failing = new QPushButton("fail", &window);
    auto* odd = new QPushButton("odd", &window);
    odd->move(0, 40);
    auto* working = new QPushButton("work", &window);
    working->move(0, 80);
    int worked = 0;
    QObject::connect(failing, &QPushButton::clicked, [] { throw std::runtime_error("Port Not Open"); });
    QObject::connect(odd, &QPushButton::clicked, [] { throw 42; });
    QObject::connect(working, &QPushButton::clicked, [&] { ++worked; });
    window.show();

    QTest::mouseClick(failing, Qt::LeftButton);
    QTest::mouseClick(odd, Qt::LeftButton);
    QTest::mouseClick(working, Qt::LeftButton);
    QTest::mouseClick(failing, Qt::LeftButton);

    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].kind, MessageBoxCall::Kind::Error);
    EXPECT_EQ(boxes[0].text, "Port Not Open");
    EXPECT_EQ(boxes[0].caption, "Lumarq Pylon");
    EXPECT_EQ(boxes[1].text, "") << "something thrown that is not an exception";
    EXPECT_EQ(boxes[2].text, "Port Not Open");
    EXPECT_EQ(worked, 1);
}

TEST(Program, TheStoreHoldsTheSessionAndLanguageAfterTheProgramEnds)
{
    TempDir home;
    const std::string path = home.File("user.reg");
    {
        // The order of the program's start and end.
        auto store = std::make_unique<RegFileStore>(path);
        PylonConfig model(store.get());
        FileHeader file;
        PylonLink link("0.0.0.0", 2101);
        {
            DataModule dm(store.get());
            dm.Settings.LangId = "PL";
            MainWindow window(model, file, link, dm);
            ProgressLogWindow info(dm);
            window.SetInfoWindow(&info);
            window.show();
            for (int i = 0; i < 3; ++i) QTest::mouseClick(window.DigitButtons[6 * 2 + 5].first, Qt::LeftButton);
            QTest::mouseClick(window.PointButtons[2].first, Qt::LeftButton);
            window.NameBoxes[2]->lineEdit()->selectAll();
            QTest::keyClicks(window.NameBoxes[2]->lineEdit(), "ON TIR");
            Child<QMenu>(window, "mLanguage")->actions()[3]->trigger();  // Deutsch
            Child<QAction>(window, "MClose")->trigger();
        }
    }
    RegFileStore reread(path);
    ASSERT_TRUE(reread.LoadedFromFile());
    PylonConfig restored(&reread);
    restored.DetachSession();
    EXPECT_EQ(restored.Prices[2].Price[5], 3);
    EXPECT_EQ(restored.Prices[2].Conf.DecimalPoint, 3);
    EXPECT_EQ(restored.Prices[2].Name, "ON TIR");
    EXPECT_EQ(ApplicationSettings(&reread).LangId, "DE");
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    PylonApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
