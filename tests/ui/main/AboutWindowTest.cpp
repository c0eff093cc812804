// The about window: its texts, its pictures, the keys and clicks that close
// it, dragging, and the web address.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

#include "lang/Msg.h"
#include "tests/ui/main/WindowRig.h"
#include "ui/main/PngDecoder.h"
#include "ui/main/Shell.h"
#include "ui/main/AboutWindow.h"
#include "support/Child.h"

static void InitAssets() { Q_INIT_RESOURCE(assets); }

namespace {

std::unique_ptr<AboutWindow> Shown(const QString& version = QStringLiteral("2.17"))
{
    auto about = std::make_unique<AboutWindow>(nullptr, "Producer", "Lumarq Pylon", version, "Rights", "");
    about->show();
    return about;
}

TEST(AboutWindow, ProducerCommandShowsTheProgramsTextsModally)
{
    WindowRig rig("EN");
    QStringList seen;
    QSize size;
    bool frameless = false, modal = false;
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<AboutWindow*>(QApplication::activeModalWidget());
        if (!about) return;
        modal = about->isModal();
        frameless = about->windowFlags() & Qt::FramelessWindowHint;
        size = about->size();
        seen << Child<QLabel>(*about, "lbProducerAd")->text() << Child<QLabel>(*about, "lbAppName")->text()
             << Child<QLabel>(*about, "lbAppVersion")->text() << Child<QLabel>(*about, "lbAllRights")->text()
             << Child<QLabel>(*about, "lbAdditionalInfo")->text();
        QTest::keyClick(about, Qt::Key_Escape);
    });
    Child<QAction>(*rig.window, "Producent1")->trigger();  // returns once the window is closed
    EXPECT_TRUE(modal);
    EXPECT_TRUE(frameless);
    EXPECT_EQ(size, QSize(495, 272));
    // The application's title is the second text ("Lumarq Pylon" in the program).
    EXPECT_EQ(seen, QStringList({"Polish manufacturer of LED displays", QApplication::applicationDisplayName(), "2.17",
                                 "All rights reserved", ""}));
}

TEST(AboutWindow, EnterEscapeAndSpaceCloseItWhereverTheKeyGoes)
{
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Space}) {
        auto about = Shown();
        for (QWidget* target :
             {static_cast<QWidget*>(about.get()), static_cast<QWidget*>(Child<QLabel>(*about, "lbAppName"))}) {
            about->show();
            QTest::keyClick(target, key);
            EXPECT_FALSE(about->isVisible()) << key;
        }
    }
    auto about = Shown();
    QTest::keyClick(about.get(), Qt::Key_A);
    QTest::keyClick(Child<QLabel>(*about, "imgLogo"), Qt::Key_F4, Qt::ShiftModifier);
    EXPECT_TRUE(about->isVisible());
}

TEST(AboutWindow, TheCloseImageClosesIt)
{
    auto about = Shown();
    QTest::mouseClick(Child<QLabel>(*about, "Image"), Qt::LeftButton);
    EXPECT_FALSE(about->isVisible());
}

TEST(AboutWindow, PicturesAndLabelsDragTheWindow)
{
    auto about = Shown();
    for (QWidget* handle : {static_cast<QWidget*>(Child<QLabel>(*about, "imgBkg")),
                            static_cast<QWidget*>(Child<QLabel>(*about, "imgLogo")),
                            static_cast<QWidget*>(Child<QLabel>(*about, "lbAppVersion")),
                            static_cast<QWidget*>(Child<QLabel>(*about, "lbProducerAd"))}) {
        const QPoint start = about->pos();
        const QPoint grab = handle->mapToGlobal(QPoint(5, 5));
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(grab), Qt::RightButton, Qt::RightButton,
                          Qt::NoModifier);
        QApplication::sendEvent(handle, &press);
        QMouseEvent move(QEvent::MouseMove, QPointF(35, 25), QPointF(grab + QPoint(30, 20)), Qt::NoButton,
                         Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(35, 25), QPointF(grab + QPoint(30, 20)),
                            Qt::RightButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &release);
        EXPECT_EQ(about->pos(), start + QPoint(30, 20)) << handle->objectName().toStdString();
        EXPECT_TRUE(about->isVisible());
    }
}

TEST(AboutWindow, TheWebAddressOpensTheBrowserInsteadOfDragging)
{
    QStringList opened;
    ShellSeam shell([&](const QString& target) {
        opened << target;
        return Shell::NoAssociation;  // a failure is ignored
    });
    auto about = Shown();
    const QPoint start = about->pos();
    QTest::mouseClick(Child<QLabel>(*about, "LWWW"), Qt::LeftButton, {}, QPoint(10, 8));
    EXPECT_EQ(opened, QStringList({AboutWindow::WebAddress}));
    EXPECT_EQ(about->pos(), start);
    EXPECT_TRUE(about->isVisible());
}

TEST(AboutWindow, TakesTheBackgroundsSizeAndShowsTheLogo)
{
    auto about = Shown(QString());
    EXPECT_EQ(about->size(), Child<QLabel>(*about, "imgBkg")->pixmap().size());
    EXPECT_EQ(about->size(), QSize(495, 272));
    EXPECT_EQ(Child<QLabel>(*about, "lbAppVersion")->text(), "");
    EXPECT_EQ(Child<QLabel>(*about, "lbAppName")->text(), "Lumarq Pylon");
    EXPECT_EQ(Child<QLabel>(*about, "imgLogo")->pixmap().size(), QSize(79, 79));
    EXPECT_EQ(Child<QLabel>(*about, "imgLogo")->geometry(), QRect(0, 118, 495, 79));
    EXPECT_EQ(Child<QLabel>(*about, "LWWW")->geometry(), QRect(8, 254, 133, 17));
    EXPECT_EQ(Child<QLabel>(*about, "Image")->geometry(), QRect(386, 238, 102, 29));
    EXPECT_EQ(about->objectName(), "FAbout");
}

TEST(PngDecoder, DecodesTheLogoWithItsAlphaAndRefusesOtherBytes)
{
    InitAssets();
    const QImage logo = PngDecoder::Load(":/ID_LOGO");
    ASSERT_EQ(logo.size(), QSize(79, 79));
    EXPECT_TRUE(logo.hasAlphaChannel());
    EXPECT_EQ(qAlpha(logo.pixel(0, 0)), 0) << "transparent corner";
    EXPECT_EQ(qAlpha(logo.pixel(40, 40)), 255);

    QFile file(":/ID_LOGO");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray png = file.readAll();
    EXPECT_TRUE(PngDecoder::Decode(png.left(png.size() / 2)).isNull());
    EXPECT_TRUE(PngDecoder::Decode("not a picture").isNull());
    EXPECT_TRUE(PngDecoder::Decode(QByteArray()).isNull());
    EXPECT_TRUE(PngDecoder::Load("/no/such/file.png").isNull());
}

}  // namespace
