// The connection settings dialog driven with clicks and keys: the address
// and port fields, Add and Delete, the state list in the grid, the serial
// page, OK and Cancel.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>
#include <QToolButton>
#include <gtest/gtest.h>

#include "DialogRig.h"
#include "lang/Msg.h"
#include "ui/dialogs/ConnectionDialog.h"
#include "ui/dialogs/StringGrid.h"
#include "support/Child.h"

namespace {

using Entry = PylonConfig::NetworkPylon;

class NetworkSettingsTest : public ::testing::Test {
protected:
    void TearDown() override { delete dialog.data(); }

    ConnectionDialog* Open(std::vector<std::string> ports = {"ttyS0", "ttyUSB0", "ttyACM1"})
    {
        dialog = new ConnectionDialog(nullptr, rig.dm.Changer, rig.model, [ports] { return ports; });
        ShowDialog(dialog.data());
        return dialog;
    }

    void ThreePylons()
    {
        rig.model.NetSettings = {
            {"North", "10.0.0.1", 2101, true}, {"South", "10.0.0.2", 2102, false}, {"Road", "10.0.0.3", 2103, true}};
    }

    StringGrid* Grid() const { return Child<StringGrid>(*dialog, "SGTable"); }

    QStringList Column(int col) const
    {
        QStringList out;
        for (int r = 1; r < Grid()->RowCount(); ++r) out << Grid()->Cell(col, r);
        return out;
    }

    void ClickCell(int col, int row)
    {
        const QRect cell = Grid()->visualRect(Grid()->model()->index(row, col));
        QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, cell.center());
    }

    // Empties an edit the way a person does: click (which selects it all), then backspace.
    void Empty(QLineEdit* edit)
    {
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_Backspace);
        ASSERT_TRUE(edit->text().isEmpty()) << edit->objectName().toStdString();
    }

    // Typing with characters beyond ASCII, which QTest's key names do not reach.
    static void Type(QWidget* w, const QString& text)
    {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(w, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(w, &release);
        }
    }

    void Click(QToolButton* b) { QTest::mouseClick(b, Qt::LeftButton); }

    DialogRig rig;
    QPointer<ConnectionDialog> dialog;
};

TEST_F(NetworkSettingsTest, OpensWithTheModelsPylonsAndDesignDefaults)
{
    ThreePylons();
    Open();
    EXPECT_EQ(dialog->objectName(), "FLumarqNetworkSettings");
    EXPECT_EQ(dialog->windowTitle(), "Connections settings");
    EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(dialog->size(), QSize(332, 387));
    EXPECT_EQ(Child<QTabWidget>(*dialog, "pc")->currentWidget(), Child<QWidget>(*dialog, "tbLAN"));
    EXPECT_EQ(Child<QTabWidget>(*dialog, "pc")->tabText(0), "LAN");
    EXPECT_EQ(Child<QTabWidget>(*dialog, "pc")->tabText(1), "COM");
    EXPECT_EQ(Child<QLabel>(*dialog, "Label7")->text(), "IP address");
    EXPECT_EQ(Child<QToolButton>(*dialog, "SBSub")->text(), "Delete");

    QStringList headings;
    for (int c = 0; c < 4; ++c) headings << Grid()->Cell(c, 0);
    EXPECT_EQ(headings.join('|'), "Name|IP|Port|State");
    EXPECT_EQ(Column(0).join('|'), "North|South|Road");
    EXPECT_EQ(Column(1).join('|'), "10.0.0.1|10.0.0.2|10.0.0.3");
    EXPECT_EQ(Column(2).join('|'), "2101|2102|2103");
    EXPECT_EQ(Column(3).join('|'), "Active|Inactive|Active");
    EXPECT_EQ(Grid()->columnWidth(0), 76);

    EXPECT_EQ(Child<QLineEdit>(*dialog, "EName")->text(), "Pylon 4");
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EIP1")->text() + "." + Child<QLineEdit>(*dialog, "EIP2")->text() + "." +
                  Child<QLineEdit>(*dialog, "EIP3")->text() + "." + Child<QLineEdit>(*dialog, "EIP4")->text(),
              "192.168.0.11");
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EPort")->text(), "2101");
    EXPECT_TRUE(Child<QCheckBox>(*dialog, "CBState")->isChecked());
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EName")->maxLength(), 20);
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EIP1")->maxLength(), 3);
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EPort")->maxLength(), 5);
}

TEST_F(NetworkSettingsTest, OctetAndPortFieldsTakeDigitsWithinTheirRange)
{
    Open();
    Empty(Child<QLineEdit>(*dialog, "EIP3"));
    QTest::keyClicks(Child<QLineEdit>(*dialog, "EIP3"), "300");
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EIP3")->text(), "30");  // the value before the last keystroke

    Empty(Child<QLineEdit>(*dialog, "EIP1"));
    QTest::keyClicks(Child<QLineEdit>(*dialog, "EIP1"), "2x5-5");
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EIP1")->text(), "255");

    Empty(Child<QLineEdit>(*dialog, "EPort"));
    QTest::keyClicks(Child<QLineEdit>(*dialog, "EPort"), "65536");
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EPort")->text(), "6553");
    Empty(Child<QLineEdit>(*dialog, "EPort"));
    QTest::keyClicks(Child<QLineEdit>(*dialog, "EPort"), "65535");
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EPort")->text(), "65535");

    // Out of range from the value the field opened with puts that back.
    Child<QLineEdit>(*dialog, "EIP4")->setFocus();
    Child<QLineEdit>(*dialog, "EIP4")->setCursorPosition(0);
    QTest::keyClick(Child<QLineEdit>(*dialog, "EIP4"), Qt::Key_3);
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EIP4")->text(), "11");

    // Pasted text that is no number is refused like a value out of range.
    QApplication::clipboard()->setText("1a");
    Empty(Child<QLineEdit>(*dialog, "EIP2"));
    QTest::keyClicks(Child<QLineEdit>(*dialog, "EIP2"), "17");
    QTest::keyClick(Child<QLineEdit>(*dialog, "EIP2"), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EIP2")->text(), "17");
}

TEST_F(NetworkSettingsTest, ClickSelectsTheFieldAndLeavingItEmptySetsZero)
{
    Open();
    QTest::mouseClick(Child<QLineEdit>(*dialog, "EIP2"), Qt::LeftButton);
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EIP2")->selectedText(), "168");
    QTest::keyClick(Child<QLineEdit>(*dialog, "EIP2"), Qt::Key_Backspace);
    QTest::keyClick(Child<QLineEdit>(*dialog, "EIP2"), Qt::Key_Tab);
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EIP2")->text(), "0");
    EXPECT_FALSE(Child<QLineEdit>(*dialog, "EIP2")->hasFocus());
}

TEST_F(NetworkSettingsTest, AddAppendsAndRefusesAnAddressTwice)
{
    Open();
    ASSERT_EQ(Grid()->RowCount(), 1);
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EName")->text(), "Pylon 1");
    Click(Child<QToolButton>(*dialog, "SBAdd"));
    EXPECT_EQ(Column(1).join('|'), "192.168.0.11");
    EXPECT_EQ(Column(0).join('|'), "Pylon 1");
    EXPECT_EQ(Column(3).join('|'), "Active");
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EName")->text(), "Pylon 2");
    EXPECT_TRUE(rig.boxes.empty());

    Click(Child<QToolButton>(*dialog, "SBAdd"));
    ASSERT_EQ(rig.boxes.size(), 1u);
    EXPECT_EQ(rig.boxes[0].kind, MessageBoxCall::Kind::Warning);
    EXPECT_EQ(rig.boxes[0].text, "IP exists");
    EXPECT_EQ(Grid()->RowCount(), 2);
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EName")->text(), "Pylon 2");

    // Another address, inactive, goes in below.
    Empty(Child<QLineEdit>(*dialog, "EIP4"));
    QTest::keyClicks(Child<QLineEdit>(*dialog, "EIP4"), "12");
    QTest::mouseClick(Child<QCheckBox>(*dialog, "CBState"), Qt::LeftButton);
    Click(Child<QToolButton>(*dialog, "SBAdd"));
    EXPECT_EQ(Column(1).join('|'), "192.168.0.11|192.168.0.12");
    EXPECT_EQ(Column(3).join('|'), "Active|Inactive");
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EName")->text(), "Pylon 3");
}

TEST_F(NetworkSettingsTest, AddCountsAFieldLeftEmptyAsZero)
{
    Open();
    Empty(Child<QLineEdit>(*dialog, "EPort"));
    Empty(Child<QLineEdit>(*dialog, "EIP4"));  // still in the field: the button takes no focus
    Click(Child<QToolButton>(*dialog, "SBAdd"));
    EXPECT_EQ(Column(1).join('|'), "192.168.0.0");
    EXPECT_EQ(Column(2).join('|'), "0");
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EIP4")->text(), "0");
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EPort")->text(), "0");
}

TEST_F(NetworkSettingsTest, DeleteRemovesTheClickedRowOrTheFirst)
{
    ThreePylons();
    Open();
    // Without a click on the grid Delete takes the first pylon.
    Click(Child<QToolButton>(*dialog, "SBSub"));
    EXPECT_EQ(Column(0).join('|'), "South|Road");
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EName")->text(), "Pylon 3");

    // A click on the heading row: Delete removes nothing.
    ClickCell(1, 0);
    EXPECT_EQ(dialog->SelectedRow, 0);
    Click(Child<QToolButton>(*dialog, "SBSub"));
    EXPECT_EQ(Column(0).join('|'), "South|Road");

    // The clicked row goes; the row that moves into its place goes next.
    rig.model.NetSettings.push_back({"Pier", "10.0.0.4", 2104, true});
    delete dialog.data();
    Open();
    ClickCell(0, 2);
    EXPECT_EQ(dialog->SelectedRow, 2);
    Click(Child<QToolButton>(*dialog, "SBSub"));
    EXPECT_EQ(Column(0).join('|'), "North|Road|Pier");
    Click(Child<QToolButton>(*dialog, "SBSub"));
    EXPECT_EQ(Column(0).join('|'), "North|Pier");
    // Beyond the last row: the last row goes.
    Click(Child<QToolButton>(*dialog, "SBSub"));
    EXPECT_EQ(Column(0).join('|'), "North");
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EName")->text(), "Pylon 2");
}

TEST_F(NetworkSettingsTest, DeleteOnAnEmptyListKeepsTheHeading)
{
    Open();
    Click(Child<QToolButton>(*dialog, "SBSub"));
    EXPECT_EQ(Grid()->RowCount(), 1);
    EXPECT_EQ(Grid()->Cell(0, 0), "Name");
    EXPECT_EQ(Child<QLineEdit>(*dialog, "EName")->text(), "Pylon 1");
}

TEST_F(NetworkSettingsTest, StateListChangesOnlyItsCell)
{
    ThreePylons();
    Open();
    ClickCell(3, 3);
    QComboBox* combo = Child<QComboBox>(*dialog, "StateCombo");
    ASSERT_NE(combo, nullptr);
    EXPECT_TRUE(combo->isVisible());
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), "Active");
    EXPECT_EQ(combo->itemText(1), "Inactive");
    // It lies over the clicked cell.
    const QRect cell = Grid()->CellRect(3, 3).translated(Grid()->mapTo(dialog, QPoint(0, 0)));
    EXPECT_EQ(combo->geometry().left(), cell.left() - 1);
    EXPECT_EQ(combo->geometry().top(), cell.top() - 1);
    EXPECT_EQ(combo->width(), cell.width() + 2);
    ASSERT_TRUE(combo->view()->isVisible());  // dropped down

    // Pick "Inactive" in the open list.
    QAbstractItemView* list = combo->view();
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_FALSE(combo->isVisible());
    EXPECT_EQ(Column(3).join('|'), "Active|Inactive|Inactive");
    EXPECT_EQ(Column(0).join('|'), "North|South|Road");
    EXPECT_EQ(Column(2).join('|'), "2101|2102|2103");

    // Another pylon's State cell opens it there; a click on another column hides it.
    ClickCell(3, 1);
    EXPECT_TRUE(combo->isVisible());
    combo->hidePopup();
    ClickCell(1, 1);
    EXPECT_FALSE(combo->isVisible());

    QTest::mouseClick(Child<QToolButton>(*dialog, "SBOK"), Qt::LeftButton);
    ASSERT_EQ(rig.model.NetSettings.size(), 3u);
    EXPECT_TRUE(rig.model.NetSettings[0].Active);
    EXPECT_FALSE(rig.model.NetSettings[1].Active);
    EXPECT_FALSE(rig.model.NetSettings[2].Active);
}

TEST_F(NetworkSettingsTest, GridDrawsHeadingAndSelectionInTheirColours)
{
    ThreePylons();
    Open();
    ClickCell(0, 2);
    const QImage shot = Grid()->viewport()->grab().toImage();
    auto rgbAt = [&](int col, int row, QPoint offset) {
        const QRect cell = Grid()->visualRect(Grid()->model()->index(row, col));
        return QColor(shot.pixel(cell.topLeft() + offset));
    };
    // Heading: dark grey; selected row: light blue; other rows: the window colour.
    EXPECT_EQ(rgbAt(0, 0, QPoint(60, 15)), QColor(0x37, 0x37, 0x37));
    EXPECT_EQ(rgbAt(3, 2, QPoint(70, 15)), QColor(0x7C, 0xAB, 0xF1));
    EXPECT_EQ(rgbAt(0, 2, QPoint(70, 15)), QColor(0x7C, 0xAB, 0xF1));
    EXPECT_EQ(rgbAt(0, 1, QPoint(70, 15)), Grid()->palette().color(QPalette::Base));

    // The texts: white in the heading, navy in the selected row.
    auto has = [&](int col, int row, const QColor& want) {
        const QRect cell = Grid()->visualRect(Grid()->model()->index(row, col));
        for (int y = cell.top(); y < cell.bottom(); ++y)
            for (int x = cell.left(); x < cell.left() + 30; ++x)
                if (QColor(shot.pixel(x, y)) == want) return true;
        return false;
    };
    EXPECT_TRUE(has(0, 0, Qt::white));
    EXPECT_TRUE(has(0, 2, QColor(0, 0, 0x80)));
    EXPECT_FALSE(has(0, 1, QColor(0, 0, 0x80)));
}

TEST_F(NetworkSettingsTest, SerialPageShowsThePortsAndTheSpeed)
{
    rig.model.UseCOM = true;
    rig.model.ComName = "ttyUSB0";
    rig.model.ComSpeed = 0;
    Open();
    EXPECT_TRUE(Child<QCheckBox>(*dialog, "chbUseCOM")->isChecked());
    EXPECT_EQ(Child<QCheckBox>(*dialog, "chbUseCOM")->text(), "Use COM port for sending and receiving data");
    ASSERT_EQ(Child<QComboBox>(*dialog, "cbCom")->count(), 3);
    EXPECT_EQ(Child<QComboBox>(*dialog, "cbCom")->currentText(), "ttyUSB0");
    EXPECT_EQ(Child<QComboBox>(*dialog, "cbComSpeed")->currentText(), "9600");  // 0: not set yet

    delete dialog.data();
    rig.model.ComName = "ttyUSB7";  // not on this machine now: still offered, not replaced
    rig.model.ComSpeed = 5;
    Open();
    EXPECT_EQ(Child<QComboBox>(*dialog, "cbCom")->count(), 4);
    EXPECT_EQ(Child<QComboBox>(*dialog, "cbCom")->currentText(), "ttyUSB7");
    EXPECT_EQ(Child<QComboBox>(*dialog, "cbComSpeed")->currentText(), "2400");

    delete dialog.data();
    rig.model.ComSpeed = 3;  // a code the list does not offer
    Open();
    EXPECT_EQ(Child<QComboBox>(*dialog, "cbComSpeed")->currentIndex(), -1);
    QTest::mouseClick(Child<QToolButton>(*dialog, "SBOK"), Qt::LeftButton);
    EXPECT_EQ(rig.model.ComSpeed, 0);
    EXPECT_EQ(rig.model.ComName, "ttyUSB7");

    delete dialog.data();
    rig.model.ComName = "pts/3";  // the pylon emulator's pseudo-terminal
    Open();
    EXPECT_EQ(Child<QComboBox>(*dialog, "cbCom")->currentText(), "pts/3");
    QTest::mouseClick(Child<QToolButton>(*dialog, "SBOK"), Qt::LeftButton);
    EXPECT_EQ(rig.model.ComName, "pts/3");
}

TEST_F(NetworkSettingsTest, SerialOptionWithoutAPortStaysOpen)
{
    rig.model.UseCOM = false;
    Open({});
    EXPECT_EQ(Child<QComboBox>(*dialog, "cbCom")->count(), 0);
    Child<QTabWidget>(*dialog, "pc")->setCurrentWidget(Child<QWidget>(*dialog, "tbCOM"));
    QTest::mouseClick(Child<QCheckBox>(*dialog, "chbUseCOM"), Qt::LeftButton);
    QTest::mouseClick(Child<QToolButton>(*dialog, "SBOK"), Qt::LeftButton);
    ASSERT_EQ(rig.boxes.size(), 1u);
    EXPECT_EQ(rig.boxes[0].kind, MessageBoxCall::Kind::Plain);
    EXPECT_EQ(rig.boxes[0].text, "com error");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(rig.model.UseCOM);

    // With the option off OK goes through and the port name is empty.
    QTest::mouseClick(Child<QCheckBox>(*dialog, "chbUseCOM"), Qt::LeftButton);
    QTest::mouseClick(Child<QToolButton>(*dialog, "SBOK"), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(rig.model.ComName, "");
    EXPECT_EQ(rig.model.ComSpeed, 7);
}

TEST_F(NetworkSettingsTest, OkStoresTheListAndTheSerialChoice)
{
    Open();
    Click(Child<QToolButton>(*dialog, "SBAdd"));
    QTest::mouseClick(Child<QLineEdit>(*dialog, "EName"), Qt::LeftButton);
    QTest::keyClick(Child<QLineEdit>(*dialog, "EName"), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(Child<QLineEdit>(*dialog, "EName"), Qt::Key_Backspace);
    Type(Child<QLineEdit>(*dialog, "EName"), QString::fromUtf8("Łódź"));
    Empty(Child<QLineEdit>(*dialog, "EIP4"));
    QTest::keyClicks(Child<QLineEdit>(*dialog, "EIP4"), "20");
    Empty(Child<QLineEdit>(*dialog, "EPort"));
    QTest::keyClicks(Child<QLineEdit>(*dialog, "EPort"), "8080");
    QTest::mouseClick(Child<QCheckBox>(*dialog, "CBState"), Qt::LeftButton);
    Click(Child<QToolButton>(*dialog, "SBAdd"));
    Child<QTabWidget>(*dialog, "pc")->setCurrentWidget(Child<QWidget>(*dialog, "tbCOM"));
    QTest::mouseClick(Child<QCheckBox>(*dialog, "chbUseCOM"), Qt::LeftButton);
    Child<QComboBox>(*dialog, "cbCom")->setCurrentIndex(2);
    Child<QComboBox>(*dialog, "cbComSpeed")->setCurrentIndex(0);
    QTest::mouseClick(Child<QToolButton>(*dialog, "SBOK"), Qt::LeftButton);

    EXPECT_FALSE(dialog->isVisible());
    const std::vector<Entry> want = {{"Pylon 1", "192.168.0.11", 2101, true},
                                     {"\xA3\xF3"
                                      "d\x9F",
                                      "192.168.0.20", 8080, false}};  // Windows-1250
    EXPECT_EQ(rig.model.NetSettings, want);
    EXPECT_TRUE(rig.model.UseCOM);
    EXPECT_EQ(rig.model.ComName, "ttyACM1");
    EXPECT_EQ(rig.model.ComSpeed, 5);
}

TEST_F(NetworkSettingsTest, CancelChangesNothing)
{
    ThreePylons();
    rig.model.ComSpeed = 7;
    PylonConfig before(rig.model);
    before.DetachSession();
    for (bool viaCloseBox : {false, true}) {
        Open();
        Click(Child<QToolButton>(*dialog, "SBAdd"));
        Click(Child<QToolButton>(*dialog, "SBSub"));
        ClickCell(3, 1);
        QTest::keyClick(Child<QComboBox>(*dialog, "StateCombo")->view(), Qt::Key_Down);
        QTest::keyClick(Child<QComboBox>(*dialog, "StateCombo")->view(), Qt::Key_Return);
        QTest::mouseClick(Child<QCheckBox>(*dialog, "chbUseCOM"), Qt::LeftButton);
        Child<QComboBox>(*dialog, "cbComSpeed")->setCurrentIndex(0);
        if (viaCloseBox) dialog->close();
        else QTest::mouseClick(Child<QToolButton>(*dialog, "SBAbort"), Qt::LeftButton);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_TRUE(rig.model.SameFields(before));
        delete dialog.data();
    }
}

}  // namespace
