// The brightness dialog driven as an operator does: sliders dragged with the
// mouse and moved with keys, the sensor box clicked, OK and Cancel.
#include <QCheckBox>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QToolButton>
#include <QToolTip>
#include <gtest/gtest.h>

#include "DialogRig.h"
#include "ui/dialogs/BrightnessDialog.h"
#include "support/Child.h"

namespace {

constexpr int Axis = 264;  // the charts' horizontal axis row
const QRgb Orange = qRgb(255, 128, 0);
const QRgb Yellow = qRgb(255, 255, 0);
const QRgb Grey = qRgb(0x44, 0x44, 0x44);

class ConfigurationDialogTest : public ::testing::Test {
protected:
    void TearDown() override { delete dialog.data(); }

    BrightnessDialog* Open()
    {
        dialog = new BrightnessDialog(nullptr, rig.dm.Changer, rig.model);
        ShowDialog(dialog.data());
        return dialog;
    }

    static QImage Shown(QLabel* chart) { return chart->pixmap().toImage().convertToFormat(QImage::Format_RGB32); }

    static int Count(const QImage& img, QRgb c)
    {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) n += (img.pixel(x, y) & 0xFFFFFF) == (c & 0xFFFFFF);
        return n;
    }

    // Height above the axis of the dotted level line, read off the right end of the chart.
    static int LevelHeight(const QImage& img)
    {
        for (int y = 0; y < img.height(); ++y)
            for (int x = 265; x < 279; ++x)
                if ((img.pixel(x, y) & 0xFFFFFF) == (Grey & 0xFFFFFF)) return Axis - y;
        return -1;
    }

    // Height above the axis of the topmost yellow marker pixel, less its radius.
    static int MarkerHeight(const QImage& img)
    {
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if ((img.pixel(x, y) & 0xFFFFFF) == (Yellow & 0xFFFFFF)) return Axis - (y + 2);
        return -1;
    }

    DialogRig rig;
    QPointer<BrightnessDialog> dialog;
};

TEST_F(ConfigurationDialogTest, OpensTranslatedWithItsControlsAndTheModelValues)
{
    rig.model.Conf = {75, 60, 40, 15};
    rig.model.UseGamma = true;
    Open();
    EXPECT_EQ(dialog->objectName(), "FLumarqConfiguration");
    EXPECT_EQ(dialog->windowTitle(), "Configuration");
    EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(dialog->size(), QSize(572, 490));
    EXPECT_EQ(Child<QLabel>(*dialog, "IChartLeft")->size(), QSize(284, 269));
    EXPECT_EQ(Child<QLabel>(*dialog, "IChartRight")->size(), QSize(284, 269));
    EXPECT_EQ(Child<QLabel>(*dialog, "Label24")->text(), "Pylon left side brightness corr. [%]");
    EXPECT_EQ(Child<QLabel>(*dialog, "Label37")->text(), "Pylon brightness without brightness sensor [%]");
    EXPECT_EQ(Child<QCheckBox>(*dialog, "chbUseGamma")->text(), "Use brightness sensor");
    EXPECT_EQ(Child<QToolButton>(*dialog, "SBAbort")->text(), "Cancel");

    for (QSlider* s :
         {Child<QSlider>(*dialog, "TBLeft"), Child<QSlider>(*dialog, "TBRight"), Child<QSlider>(*dialog, "TBSensor")}) {
        EXPECT_EQ(s->minimum(), 0);
        EXPECT_EQ(s->maximum(), 100);
        EXPECT_EQ(s->tickInterval(), 10);
        EXPECT_EQ(s->pageStep(), 1);
    }
    EXPECT_EQ(Child<QSlider>(*dialog, "TBGamma")->minimum(), 1);
    EXPECT_EQ(Child<QSlider>(*dialog, "TBGamma")->maximum(), 30);
    EXPECT_EQ(Child<QSlider>(*dialog, "TBGamma")->tickInterval(), 5);

    // Tick labels 1, 10, ..., 100 in a row under each percentage slider.
    for (auto* ticks : {&dialog->LeftTicks, &dialog->RightTicks, &dialog->SensorTicks}) {
        QStringList texts;
        int lastX = -1;
        for (QLabel* l : *ticks) {
            texts << l->text();
            EXPECT_GT(l->x(), lastX);
            lastX = l->x();
        }
        EXPECT_EQ(texts.join(' '), "1 10 20 30 40 50 60 70 80 90 100");
    }

    EXPECT_EQ(Child<QSlider>(*dialog, "TBLeft")->value(), 75);
    EXPECT_EQ(Child<QSlider>(*dialog, "TBRight")->value(), 60);
    EXPECT_EQ(Child<QSlider>(*dialog, "TBSensor")->value(), 40);
    EXPECT_EQ(Child<QSlider>(*dialog, "TBGamma")->value(), 15);
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EGamma")->text(), "1.5");
    EXPECT_TRUE(Child<QLineEdit>(*dialog, "EGamma")->isReadOnly());
    EXPECT_TRUE(Child<QCheckBox>(*dialog, "chbUseGamma")->isChecked());
    EXPECT_TRUE(Child<QSlider>(*dialog, "TBGamma")->isEnabled());

    // The charts show the sides: 75 % gives a level of trunc(75 x 2.55) = 191,
    // 60 % gives 152; the no-sensor point is 40 % of each.
    EXPECT_EQ(LevelHeight(Shown(Child<QLabel>(*dialog, "IChartLeft"))), 191);
    EXPECT_EQ(LevelHeight(Shown(Child<QLabel>(*dialog, "IChartRight"))), 152);
    EXPECT_EQ(MarkerHeight(Shown(Child<QLabel>(*dialog, "IChartLeft"))), 76);
    EXPECT_EQ(MarkerHeight(Shown(Child<QLabel>(*dialog, "IChartRight"))), 61);
}

TEST_F(ConfigurationDialogTest, PercentSliderDraggedToZeroStoresOne)
{
    Open();
    DragSlider(Child<QSlider>(*dialog, "TBLeft"), 0);
    EXPECT_EQ(Child<QSlider>(*dialog, "TBLeft")->value(), 1);
    EXPECT_EQ(Child<QSlider>(*dialog, "TBLeft")->toolTip(), "1 %");
    // The keyboard cannot rest it on 0 either.
    Child<QSlider>(*dialog, "TBSensor")->setFocus();
    QTest::keyClick(Child<QSlider>(*dialog, "TBSensor"), Qt::Key_Home);
    EXPECT_EQ(Child<QSlider>(*dialog, "TBSensor")->value(), 1);
    EXPECT_EQ(Child<QSlider>(*dialog, "TBSensor")->toolTip(), "1 [%]");
    QTest::mouseClick(Child<QToolButton>(*dialog, "SBOK"), Qt::LeftButton);
    EXPECT_EQ(rig.model.Conf.Left, 1);
    EXPECT_EQ(rig.model.Conf.Sensor, 1);
    EXPECT_EQ(rig.model.Conf.Right, 100);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(ConfigurationDialogTest, DraggingRedrawsOnlyThatSidesChart)
{
    Open();
    const QImage rightBefore = Shown(Child<QLabel>(*dialog, "IChartRight"));
    DragSlider(Child<QSlider>(*dialog, "TBLeft"), Child<QSlider>(*dialog, "TBLeft")->width() / 2);
    const int left = Child<QSlider>(*dialog, "TBLeft")->value();
    ASSERT_GT(left, 20);
    ASSERT_LT(left, 80);
    EXPECT_EQ(Child<QSlider>(*dialog, "TBLeft")->toolTip(), QString::number(left) + " %");
    EXPECT_LT(LevelHeight(Shown(Child<QLabel>(*dialog, "IChartLeft"))), 254);
    EXPECT_EQ(Shown(Child<QLabel>(*dialog, "IChartRight")), rightBefore);

    // The no-sensor brightness moves the marker on both charts.
    Child<QSlider>(*dialog, "TBSensor")->setFocus();
    QTest::keyClick(Child<QSlider>(*dialog, "TBSensor"), Qt::Key_End);
    EXPECT_EQ(MarkerHeight(Shown(Child<QLabel>(*dialog, "IChartRight"))), 254);
    EXPECT_LT(MarkerHeight(Shown(Child<QLabel>(*dialog, "IChartLeft"))), 254);
}

TEST_F(ConfigurationDialogTest, GammaTextFollowsTheSlider)
{
    rig.model.UseGamma = true;
    Open();
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EGamma")->text(), "2.2");
    Child<QSlider>(*dialog, "TBGamma")->setFocus();
    QTest::keyClick(Child<QSlider>(*dialog, "TBGamma"), Qt::Key_Home);
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EGamma")->text(), "0.1");
    for (int i = 0; i < 9; ++i) QTest::keyClick(Child<QSlider>(*dialog, "TBGamma"), Qt::Key_Right);
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EGamma")->text(), "1.0");
    EXPECT_EQ(Child<QSlider>(*dialog, "TBGamma")->toolTip(), "1.0");
    QTest::keyClick(Child<QSlider>(*dialog, "TBGamma"), Qt::Key_Left);
    QTest::keyClick(Child<QSlider>(*dialog, "TBGamma"), Qt::Key_Left);
    QTest::keyClick(Child<QSlider>(*dialog, "TBGamma"), Qt::Key_Left);
    QTest::keyClick(Child<QSlider>(*dialog, "TBGamma"), Qt::Key_Left);
    QTest::keyClick(Child<QSlider>(*dialog, "TBGamma"), Qt::Key_Left);
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EGamma")->text(), "0.5");
    QTest::keyClick(Child<QSlider>(*dialog, "TBGamma"), Qt::Key_End);
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EGamma")->text(), "3.0");
}

TEST_F(ConfigurationDialogTest, SensorBoxSwitchesTheGammaControlsAndTheCurve)
{
    rig.model.UseGamma = false;
    rig.model.Conf.Gamma = 18;
    Open();
    EXPECT_FALSE(Child<QSlider>(*dialog, "TBGamma")->isEnabled());
    EXPECT_FALSE(Child<QLineEdit>(*dialog, "EGamma")->isEnabled());
    EXPECT_EQ(Count(Shown(Child<QLabel>(*dialog, "IChartLeft")), Orange), 0);
    EXPECT_EQ(Count(Shown(Child<QLabel>(*dialog, "IChartRight")), Orange), 0);

    QTest::mouseClick(Child<QCheckBox>(*dialog, "chbUseGamma"), Qt::LeftButton);
    EXPECT_TRUE(Child<QSlider>(*dialog, "TBGamma")->isEnabled());
    EXPECT_TRUE(Child<QLineEdit>(*dialog, "EGamma")->isEnabled());
    EXPECT_GT(Count(Shown(Child<QLabel>(*dialog, "IChartLeft")), Orange), 200);
    EXPECT_GT(Count(Shown(Child<QLabel>(*dialog, "IChartRight")), Orange), 200);
    Child<QSlider>(*dialog, "TBGamma")->setFocus();
    QTest::keyClick(Child<QSlider>(*dialog, "TBGamma"), Qt::Key_End);

    // Off again: the curve goes, the gamma value is still stored.
    QTest::mouseClick(Child<QCheckBox>(*dialog, "chbUseGamma"), Qt::LeftButton);
    EXPECT_EQ(Count(Shown(Child<QLabel>(*dialog, "IChartLeft")), Orange), 0);
    QTest::mouseClick(Child<QToolButton>(*dialog, "SBOK"), Qt::LeftButton);
    EXPECT_FALSE(rig.model.UseGamma);
    EXPECT_EQ(rig.model.Conf.Gamma, 30);
}

TEST_F(ConfigurationDialogTest, CancelAndTheCloseBoxChangeNothing)
{
    rig.model.Conf = {90, 80, 70, 12};
    const PylonConfig before = [&] {
        PylonConfig copy(rig.model);
        copy.DetachSession();
        return copy;
    }();
    for (bool viaCloseBox : {false, true}) {
        Open();
        DragSlider(Child<QSlider>(*dialog, "TBLeft"), 0);
        DragSlider(Child<QSlider>(*dialog, "TBRight"), Child<QSlider>(*dialog, "TBRight")->width());
        Child<QSlider>(*dialog, "TBSensor")->setFocus();
        QTest::keyClick(Child<QSlider>(*dialog, "TBSensor"), Qt::Key_Home);
        QTest::mouseClick(Child<QCheckBox>(*dialog, "chbUseGamma"), Qt::LeftButton);
        Child<QSlider>(*dialog, "TBGamma")->setFocus();
        QTest::keyClick(Child<QSlider>(*dialog, "TBGamma"), Qt::Key_Home);
        if (viaCloseBox) dialog->close();
        else QTest::mouseClick(Child<QToolButton>(*dialog, "SBAbort"), Qt::LeftButton);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), QDialog::Rejected);
        EXPECT_TRUE(rig.model.SameFields(before));
        delete dialog.data();
    }
}

TEST_F(ConfigurationDialogTest, HintShowsAtOnceUnderTheCursor)
{
    Open();
    const QPoint over =
        Child<QSlider>(*dialog, "TBRight")->mapToGlobal(HandleCentre(Child<QSlider>(*dialog, "TBRight")));
    QCursor::setPos(over);
    if (QCursor::pos() != over) GTEST_SKIP() << "this platform does not move the cursor";
    Child<QSlider>(*dialog, "TBRight")->setFocus();
    QTest::keyClick(Child<QSlider>(*dialog, "TBRight"), Qt::Key_Left);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), "99 %");
    QToolTip::hideText();
}

}  // namespace
