#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include "ui/lang/MessageBoxes.h"
#include "QStringPrint.h"

namespace {

TEST(MessageBoxes, WarningIsTopmostWithTheProgramCaption)
{
    std::vector<MessageBoxCall> calls;
    MessageBoxSeam seam([&](const MessageBoxCall& c) { calls.push_back(c); });
    ShowWarningBox("File open error", MB_ICONEXCLAMATION);
    ShowWarningBox(QString(), 48);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].kind, MessageBoxCall::Kind::Warning);
    EXPECT_EQ(calls[0].text, "File open error");
    EXPECT_EQ(calls[0].caption, "Lumarq Pylon");
    EXPECT_EQ(calls[0].style, 48 | 0x40000);
    EXPECT_TRUE(calls[1].text.isEmpty());
    EXPECT_EQ(calls[1].style, 0x40030);
}

TEST(MessageBoxes, ErrorCarriesTheApplicationTitle)
{
    std::vector<MessageBoxCall> calls;
    MessageBoxSeam seam([&](const MessageBoxCall& c) { calls.push_back(c); });
    QApplication::setApplicationDisplayName("Lumarq Pylon");
    ShowErrorBox("Cannot open the manual");
    QApplication::setApplicationDisplayName(QString());
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].kind, MessageBoxCall::Kind::Error);
    EXPECT_EQ(calls[0].text, "Cannot open the manual");
    EXPECT_EQ(calls[0].caption, "Lumarq Pylon");
    EXPECT_EQ(calls[0].style, 16);
}

TEST(MessageBoxes, SeamsNestAndRestore)
{
    int outer = 0, inner = 0;
    MessageBoxSeam a([&](const MessageBoxCall&) { ++outer; });
    {
        MessageBoxSeam b([&](const MessageBoxCall&) { ++inner; });
        ShowWarningBox("x", 48);
    }
    ShowWarningBox("y", 48);
    EXPECT_EQ(inner, 1);
    EXPECT_EQ(outer, 1);
}

// Without a seam the box is really shown: look at it while it runs, then press OK.
struct SeenBox {
    bool found = false;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool topmost = false;
    int buttons = 0;
    QWidget* parent = nullptr;
};

SeenBox ShowAndPressOk(const std::function<void()>& show)
{
    SeenBox seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen.found = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.topmost = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        seen.buttons = int(box->buttons().size());
        seen.parent = box->parentWidget();
        if (QAbstractButton* ok = box->button(QMessageBox::Ok)) ok->click();
    });
    show();
    return seen;
}

TEST(MessageBoxes, WarningOnScreenIsTopmostWithExclamationAndOk)
{
    QWidget window;
    window.show();
    QApplication::setActiveWindow(&window);
    const SeenBox seen = ShowAndPressOk([] { ShowWarningBox("Wrong password", 48); });
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.title, "Lumarq Pylon");
    EXPECT_EQ(seen.text, "Wrong password");
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_TRUE(seen.topmost);
    EXPECT_EQ(seen.buttons, 1);
    EXPECT_EQ(seen.parent, &window);
}

TEST(MessageBoxes, ErrorOnScreenHasTheErrorIconAndIsNotTopmost)
{
    const SeenBox seen = ShowAndPressOk([] { ShowErrorBox("Port error"); });
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.text, "Port error");
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_FALSE(seen.topmost);
    EXPECT_EQ(seen.buttons, 1);
}

}  // namespace
