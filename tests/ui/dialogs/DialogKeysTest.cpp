// The settings dialogs by keyboard and in every language: Return and Escape,
// the Tab order, a name for every control that takes the focus, captions
// that fit their controls, and readable text in every palette.
#include <functional>
#include <memory>

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <gtest/gtest.h>

#include "DialogRig.h"
#include "ui/common/Palettes.h"
#include "ui/dialogs/BrightnessDialog.h"
#include "ui/dialogs/ConnectionDialog.h"
#include "ui/dialogs/StringGrid.h"
#include "ui/dialogs/FontDialog.h"
#include "support/Child.h"

namespace {

const QStringList Languages = {"PL", "EN", "HU", "DE"};

struct Kind {
    const char* name;
    std::function<QDialog*(DialogRig&)> make;
    QStringList tabOrder;  // from the first control, by object name
};

const Kind Kinds[] = {
    {"fonts",
     [](DialogRig& r) { return new FontDialog(nullptr, r.dm.Changer, r.model); },
     {"cbBasicFont", "cbUpperIndex", "SBOK", "SBAbort", "cbBasicFont"}},
    {"brightness",
     [](DialogRig& r) { return new BrightnessDialog(nullptr, r.dm.Changer, r.model); },
     {"TBLeft", "TBRight", "chbUseGamma", "TBSensor", "SBOK", "SBAbort", "TBLeft"}},  // gamma off: no slider
    {"connections",
     [](DialogRig& r) {
         r.model.NetSettings = {{"North", "192.168.0.11", 2101, true}, {"South", "192.168.0.12", 2101, false}};
         return new ConnectionDialog(nullptr, r.dm.Changer, r.model, [] { return std::vector<std::string>{"ttyS0"}; });
     },
     {"qt_tabwidget_tabbar", "EName", "EIP1", "EIP2", "EIP3", "EIP4", "CBState", "EPort", "SBAdd", "SBSub", "SGTable",
      "SBOK", "SBAbort", "qt_tabwidget_tabbar"}},
};

QString AccessibleName(QWidget* w)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
    return face ? face->text(QAccessible::Name) : QString();
}

// What a caption needs beyond its control's width, 0 when it fits.
int Overflow(QWidget* w)
{
    if (auto* label = qobject_cast<QLabel*>(w)) {
        if (label->text().isEmpty() || label->pixmap().isNull() == false) return 0;
        if (label->wordWrap()) return qMax(0, label->heightForWidth(label->width()) - label->height());
        return qMax(0, label->sizeHint().width() - label->width());
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text().isEmpty() ? 0 : qMax(0, button->sizeHint().width() - button->width());
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        int widest = 0;
        for (int i = 0; i < combo->count(); ++i)
            widest = qMax(widest, combo->fontMetrics().horizontalAdvance(combo->itemText(i)));
        QStyleOptionComboBox option;
        option.initFrom(combo);
        const QRect field =
            combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
        return qMax(0, widest - field.width());
    }
    return 0;
}

TEST(DialogKeys, ReturnAcceptsEscapeCancelsAndTabWalksEveryControl)
{
    for (const Kind& kind : Kinds) {
        SCOPED_TRACE(kind.name);
        for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            DialogRig rig;
            std::unique_ptr<QDialog> dialog(kind.make(rig));
            ShowDialog(dialog.get());
            QWidget* first = dialog->findChild<QWidget*>(kind.tabOrder.first());
            ASSERT_TRUE(first);
            first->setFocus(Qt::TabFocusReason);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
            EXPECT_FALSE(dialog->isVisible()) << key;
            EXPECT_EQ(dialog->result(), key == Qt::Key_Escape ? QDialog::Rejected : QDialog::Accepted) << key;
        }
        DialogRig rig;
        std::unique_ptr<QDialog> dialog(kind.make(rig));
        ShowDialog(dialog.get());
        dialog->findChild<QWidget*>(kind.tabOrder.first())->setFocus(Qt::TabFocusReason);
        QStringList walked = {QApplication::focusWidget()->objectName()};
        for (int i = 1; i < kind.tabOrder.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked << QApplication::focusWidget()->objectName();
        }
        EXPECT_EQ(walked, kind.tabOrder);
    }
}

TEST(DialogKeys, EveryFocusableControlIsNamedAndEveryCaptionFitsInEachLanguage)
{
    for (const QString& language : Languages) {
        for (const Kind& kind : Kinds) {
            SCOPED_TRACE(language.toStdString() + " " + kind.name);
            DialogRig rig;
            rig.dm.Changer.LoadLanguage(language);
            std::unique_ptr<QDialog> dialog(kind.make(rig));
            ShowDialog(dialog.get());
            for (QWidget* w : dialog->findChildren<QWidget*>()) {
                if ((w->focusPolicy() & Qt::TabFocus) && !w->focusProxy() && w->window() == dialog.get())
                    EXPECT_FALSE(AccessibleName(w).isEmpty()) << w->objectName().toStdString();
                EXPECT_EQ(Overflow(w), 0) << w->objectName().toStdString();
            }
            if (auto* grid = dialog->findChild<StringGrid*>()) {
                EXPECT_EQ(grid->rowHeight(1), StringGrid::DefaultRowHeight);
                const int needed = grid->fontMetrics().horizontalAdvance(grid->Cell(ConnectionDialog::ColIP, 1)) + 3;
                EXPECT_EQ(grid->Cell(ConnectionDialog::ColIP, 1), "192.168.0.11");
                EXPECT_LE(needed, grid->columnWidth(ConnectionDialog::ColIP));
            }
        }
    }
}

TEST(DialogKeys, FontDialogTextKeepsItsContrastInEveryPalette)
{
    const QPalette before = QApplication::palette();
    for (PaletteKind kind : {PaletteKind::Light, PaletteKind::Dark, PaletteKind::Contrast}) {
        SCOPED_TRACE(int(kind));
        QApplication::setPalette(MakePalette(kind));
        DialogRig rig;
        FontDialog dialog(nullptr, rig.dm.Changer, rig.model);
        ShowDialog(&dialog);
        const QColor background = dialog.palette().color(dialog.backgroundRole());
        // The background drawn is the palette's, not a colour of the form's own.
        EXPECT_EQ(dialog.grab().toImage().pixelColor(2, 2).rgb(), background.rgb());
        for (QLabel* label : {Child<QLabel>(dialog, "Label1"), Child<QLabel>(dialog, "Label2")}) {
            const QColor text = label->palette().color(label->foregroundRole());
            EXPECT_GE(ContrastRatio(text, background), 4.5) << label->objectName().toStdString();
        }
        QWidget* const controls[] = {Child<QComboBox>(dialog, "cbBasicFont"), Child<QToolButton>(dialog, "SBOK"),
                                     Child<QToolButton>(dialog, "SBAbort")};
        for (QWidget* control : controls) {
            const QColor text = control->palette().color(control->foregroundRole());
            EXPECT_GE(ContrastRatio(text, control->palette().color(control->backgroundRole())), 4.5)
                << control->objectName().toStdString();
        }
    }
    QApplication::setPalette(before);
    EXPECT_NEAR(ContrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
}

}  // namespace
