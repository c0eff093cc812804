// The font dialog: what it shows for the model's bytes, OK and Cancel.
#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QToolButton>
#include <gtest/gtest.h>

#include "DialogRig.h"
#include "ui/dialogs/FontDialog.h"
#include "support/Child.h"

namespace {

class FontSettingTest : public ::testing::Test {
protected:
    void TearDown() override { delete dialog.data(); }

    FontDialog* Open()
    {
        dialog = new FontDialog(nullptr, rig.dm.Changer, rig.model);
        ShowDialog(dialog.data());
        return dialog;
    }

    // Picks an entry of a drop-down list with the keyboard, as a person would.
    static void Pick(QComboBox* list, int index)
    {
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home);
        for (int i = 0; i < index; ++i) QTest::keyClick(list, Qt::Key_Down);
        ASSERT_EQ(list->currentIndex(), index);
    }

    DialogRig rig;
    QPointer<FontDialog> dialog;
};

TEST_F(FontSettingTest, OpensWithTheModelsFontsInEnglish)
{
    Open();
    EXPECT_EQ(dialog->objectName(), "fPylonFontSetting");
    EXPECT_EQ(dialog->windowTitle(), "Font settings");
    EXPECT_EQ(dialog->size(), QSize(253, 119));
    // White under a light palette: the form takes the palette's field colour.
    EXPECT_EQ(dialog->palette().color(dialog->backgroundRole()), QColor(Qt::white));
    EXPECT_EQ(Child<QLabel>(*dialog, "Label1")->text(), "Basic font number");
    EXPECT_TRUE(Child<QLabel>(*dialog, "Label1")->alignment().testFlag(Qt::AlignRight));
    EXPECT_EQ(Child<QLabel>(*dialog, "Label2")->text(), "Upper index");
    EXPECT_EQ(Child<QComboBox>(*dialog, "cbBasicFont")->count(), 10);
    EXPECT_EQ(Child<QComboBox>(*dialog, "cbBasicFont")->itemText(9), "9");
    EXPECT_EQ(Child<QComboBox>(*dialog, "cbUpperIndex")->count(), 3);
    EXPECT_EQ(Child<QComboBox>(*dialog, "cbBasicFont")->currentText(), "3");
    EXPECT_EQ(Child<QComboBox>(*dialog, "cbUpperIndex")->currentText(), "None");
}

TEST_F(FontSettingTest, OkStoresBothIndexes)
{
    Open();
    Pick(Child<QComboBox>(*dialog, "cbBasicFont"), 9);
    Pick(Child<QComboBox>(*dialog, "cbUpperIndex"), 2);
    QTest::mouseClick(Child<QToolButton>(*dialog, "SBOK"), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(rig.model.FontConf.BasicFont, 9);
    EXPECT_EQ(rig.model.FontConf.UpperIndex, 2);
}

TEST_F(FontSettingTest, AByteBeyondTheListSelectsNothingAndOkKeepsIt)
{
    rig.model.FontConf.BasicFont = 12;
    rig.model.FontConf.UpperIndex = 1;
    Open();
    EXPECT_EQ(Child<QComboBox>(*dialog, "cbBasicFont")->currentIndex(), -1);
    EXPECT_EQ(Child<QComboBox>(*dialog, "cbUpperIndex")->currentText(), "1");
    Pick(Child<QComboBox>(*dialog, "cbUpperIndex"), 0);
    QTest::mouseClick(Child<QToolButton>(*dialog, "SBOK"), Qt::LeftButton);
    EXPECT_EQ(rig.model.FontConf.BasicFont, 12);
    EXPECT_EQ(rig.model.FontConf.UpperIndex, 0);
}

TEST_F(FontSettingTest, CancelAndTheCloseBoxChangeNothing)
{
    for (bool viaCloseBox : {false, true}) {
        Open();
        Pick(Child<QComboBox>(*dialog, "cbBasicFont"), 0);
        Pick(Child<QComboBox>(*dialog, "cbUpperIndex"), 2);
        if (viaCloseBox) dialog->close();
        else QTest::mouseClick(Child<QToolButton>(*dialog, "SBAbort"), Qt::LeftButton);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(rig.model.FontConf.BasicFont, 3);
        EXPECT_EQ(rig.model.FontConf.UpperIndex, 0);
        delete dialog.data();
    }
}

}  // namespace
