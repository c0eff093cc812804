// The walker: keys of a form's section applied to small forms built here.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "ui/lang/QtComponents.h"
#include "ui/lang/LabeledEdit.h"
#include "ui/lang/LanguageChanger.h"
#include "ui/lang/RadioGroup.h"
#include "QStringPrint.h"

// A combo box of the program's own: its class name is not QComboBox.
class TCBNameBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
};

class TSpinLine : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
};

// A frame: owns what sits inside it.
class TFrOptions : public QFrame {
    Q_OBJECT
public:
    explicit TFrOptions(const QString& name, QWidget* parent) : QFrame(parent)
    {
        setObjectName(name);
        MarkOwner(this);
        auto* layout = new QVBoxLayout(this);
        label = new QLabel(QStringLiteral("projekt"), this);
        label->setObjectName("Label1");
        layout->addWidget(label);
    }
    QLabel* label;
};

// A main window in miniature: price-line controls deep in panels, a menu, a
// tool button, lists of every kind, two frames and a dialog of its own.
class TFTestPylon : public QWidget {
    Q_OBJECT
public:
    TFTestPylon()
    {
        setObjectName("FTestPylon");
        setWindowTitle("projekt");
        auto* outer = new QVBoxLayout(this);

        menuBar = new QMenuBar(this);
        menuBar->setObjectName("MainMenu1");
        outer->setMenuBar(menuBar);
        mFile = menuBar->addMenu("Plik");
        mFile->setObjectName("Plik1");
        aOpen = mFile->addAction("Otwórz...");
        aOpen->setObjectName("Otwrzplik1");
        LanguageMenu = menuBar->addMenu("Language");
        LanguageMenu->setObjectName("mLanguage");

        auto* panel = new QFrame(this);
        panel->setObjectName("PPrices");
        outer->addWidget(panel);
        auto* panelLayout = new QVBoxLayout(panel);
        auto* line = new QGroupBox("linia", panel);
        line->setObjectName("GBLine1");
        panelLayout->addWidget(line);
        auto* lineLayout = new QHBoxLayout(line);
        priceOff = new QCheckBox("Wygaszenie", line);
        priceOff->setObjectName("CBPriceOff1");
        lineLayout->addWidget(priceOff);
        name1 = new QComboBox(line);
        name1->setObjectName("CBName1");
        name1->setEditable(true);
        for (int i = 0; i < 12; ++i) name1->addItem(QString("item %1").arg(i));
        lineLayout->addWidget(name1);
        name11 = new QComboBox(line);
        name11->setObjectName("CBName11");
        name11->addItems({"a", "b"});
        lineLayout->addWidget(name11);
        FontsButton = new QToolButton(panel);
        FontsButton->setObjectName("sbFonts");
        FontsButton->setToolTip("czcionki");
        panelLayout->addWidget(FontsButton);

        subCombo = new TCBNameBox(this);
        subCombo->setObjectName("CBSub");
        subCombo->setEditable(true);
        subCombo->addItems({"x", "y"});
        outer->addWidget(subCombo);

        label1 = new QLabel("projekt", this);
        label1->setObjectName("Label1");
        outer->addWidget(label1);

        options1 = new TFrOptions("Options1", this);
        options2 = new TFrOptions("Options2", this);
        inner = new TFrOptions("Inner", options1);
        options1->layout()->addWidget(inner);
        outer->addWidget(options1);
        outer->addWidget(options2);

        edit = new QLineEdit(this);
        edit->setObjectName("EName");
        spin = new TSpinLine(this);
        spin->setObjectName("ESpin");
        labeled = new LabeledEdit(this);
        labeled->setObjectName("LEPort");
        labeled->EditLabel()->setText("Port");
        list = new QListWidget(this);
        list->setObjectName("LBItems");
        list->addItems({"jeden", "dwa"});
        view = new QTreeWidget(this);
        view->setObjectName("LVPylons");
        view->setHeaderLabels({"Nazwa", "IP", "Port"});
        radio = new RadioGroup(this);
        radio->setObjectName("RGMode");
        radio->SetItems({"tryb 1", "tryb 2"});
        radio->SetItemIndex(1);
        status = new QStatusBar(this);
        status->setObjectName("StatusBar1");
        panel0 = new QLabel("p0");
        panel1 = new QLabel("p1");
        status->addWidget(panel0);
        status->addPermanentWidget(panel1);
        files = new QFileDialog(this);
        files->setObjectName("ODFile");
        for (QWidget* w : std::initializer_list<QWidget*>{edit, spin, labeled, list, view, radio, status})
            outer->addWidget(w);

        dialog = new QDialog(this);
        dialog->setObjectName("DAbout");
        dialogLabel = new QLabel("projekt", dialog);
        dialogLabel->setObjectName("Label9");
    }

    QMenuBar* menuBar;
    QMenu* mFile;
    QMenu* LanguageMenu;
    QAction* aOpen;
    QCheckBox* priceOff;
    QComboBox* name1;
    QComboBox* name11;
    QToolButton* FontsButton;
    TCBNameBox* subCombo;
    QLabel* label1;
    TFrOptions* options1;
    TFrOptions* options2;
    TFrOptions* inner;
    QLineEdit* edit;
    TSpinLine* spin;
    LabeledEdit* labeled;
    QListWidget* list;
    QTreeWidget* view;
    RadioGroup* radio;
    QStatusBar* status;
    QLabel* panel0;
    QLabel* panel1;
    QFileDialog* files;
    QDialog* dialog;
    QLabel* dialogLabel;
};

namespace {

QString Text(const QString& body) { return QChar(0xFEFF) + QStringLiteral("[FTestPylon]\r\n") + body; }

class TranslateTest : public ::testing::Test {
protected:
    void Apply(const QString& body)
    {
        changer.Texts.SetText(Text(body).toStdString());
        changer.Translate(&form, form.objectName(), QString(), 0);
    }
    LanguageChanger changer{QString()};
    TFTestPylon form;
};

TEST_F(TranslateTest, TitleAndKeysIgnoreLetterCase)
{
    Apply("cftestpylon=Pylon testowy\r\nCMLanguage=Język\r\nHsbFonts=Czcionki\r\nCPLIK1=Plik!\r\n"
          "cotwrzplik1=Otwórz plik\r\n");
    EXPECT_EQ(form.windowTitle(), "Pylon testowy");
    EXPECT_EQ(form.LanguageMenu->title(), QString::fromUtf8("Język"));
    EXPECT_EQ(form.LanguageMenu->menuAction()->text(), QString::fromUtf8("Język"));
    EXPECT_EQ(form.FontsButton->toolTip(), "Czcionki");
    EXPECT_EQ(form.mFile->title(), "Plik!");
    EXPECT_EQ(form.aOpen->text(), QString::fromUtf8("Otwórz plik"));

    // The section name is matched without regard to case as well.
    changer.Texts.SetText("[ftestPYLON]\r\nCLabel1=z sekcji\r\n");
    changer.Translate(&form, "FTestPylon", QString(), 0);
    EXPECT_EQ(form.label1->text(), "z sekcji");
}

TEST_F(TranslateTest, ControlsDeepInPanelsBelongToTheFormItself)
{
    Apply("CCBPriceOff1=Turn off\r\nCGBLine1=Line\r\nX1.PPrices.GBLine1.CCBPriceOff1=wrong\r\n");
    EXPECT_EQ(form.priceOff->text(), "Turn off");
    EXPECT_EQ(form.findChild<QGroupBox*>("GBLine1")->title(), "Line");
}

TEST_F(TranslateTest, ItemIndexFollowsTheNameWithoutSeparator)
{
    Apply("SCBName110=GBP\r\nSCBName13=ON TIR\r\nSCBName112=beyond\r\nSCBName1-1=negative\r\n");
    EXPECT_EQ(form.name1->itemText(10), "GBP");
    EXPECT_EQ(form.name1->itemText(3), "ON TIR");
    EXPECT_EQ(form.name1->count(), 12);
    EXPECT_EQ(form.name1->itemText(11), "item 11");
    // CBName11 reads the very same key as its item 0.
    EXPECT_EQ(form.name11->itemText(0), "GBP");
    EXPECT_EQ(form.name11->itemText(1), "b");
}

TEST_F(TranslateTest, ComboBoxKeepsItsSelectionAndReportsNoChange)
{
    form.name1->setCurrentIndex(5);
    form.name11->setCurrentIndex(1);
    QSignalSpy index(form.name1, &QComboBox::currentIndexChanged);
    QSignalSpy text(form.name1, &QComboBox::currentTextChanged);
    QSignalSpy edit(form.name1, &QComboBox::editTextChanged);
    QSignalSpy other(form.name11, &QComboBox::currentIndexChanged);
    Apply("SCBName15=Car wash\r\nSCBName10=Pb98\r\nSCBName111=c\r\n");
    EXPECT_EQ(form.name1->currentIndex(), 5);
    EXPECT_EQ(form.name1->currentText(), "Car wash");
    EXPECT_EQ(form.name11->currentIndex(), 1);
    EXPECT_EQ(form.name11->currentText(), "c");
    EXPECT_EQ(index.count(), 0);
    EXPECT_EQ(text.count(), 0);
    EXPECT_EQ(edit.count(), 0);
    EXPECT_EQ(other.count(), 0);
    EXPECT_FALSE(form.name1->signalsBlocked());
}

TEST_F(TranslateTest, SubclassGetsNoClassKeysButStillTheLetterKeys)
{
    form.subCombo->setCurrentIndex(0);
    Apply("SCBSub0=item\r\nHCBSub=tip\r\nTCBSub=typed\r\nDESpin=cue\r\nTESpin=7\r\nHESpin=spin tip\r\n"
          "DEName=name cue\r\nTEName=Name 1\r\n");
    EXPECT_EQ(form.subCombo->itemText(0), "x");
    EXPECT_EQ(form.subCombo->toolTip(), "tip");
    EXPECT_EQ(form.subCombo->currentText(), "typed");
    EXPECT_TRUE(form.spin->placeholderText().isEmpty());
    EXPECT_EQ(form.spin->text(), "7");
    EXPECT_EQ(form.spin->toolTip(), "spin tip");
    EXPECT_EQ(form.edit->placeholderText(), "name cue");
    EXPECT_EQ(form.edit->text(), "Name 1");
}

TEST_F(TranslateTest, TextOfAFixedListPicksTheItemQuietly)
{
    form.name11->setCurrentIndex(1);
    QSignalSpy index(form.name11, &QComboBox::currentIndexChanged);
    Apply("TCBName11=a\r\n");
    EXPECT_EQ(form.name11->currentIndex(), 0);
    EXPECT_EQ(index.count(), 0);
    Apply("TCBName11=B\r\n");  // letter case aside, as the system's list look-up does
    EXPECT_EQ(form.name11->currentIndex(), 1);
    Apply("TCBName11=not listed\r\n");
    EXPECT_EQ(form.name11->currentIndex(), 1);
    EXPECT_EQ(form.name11->count(), 2);
    EXPECT_EQ(index.count(), 0);
}

TEST_F(TranslateTest, PropertiesAComponentDoesNotHaveAreIgnored)
{
    form.name11->setCurrentIndex(1);
    Apply("CCBName11=caption\r\nTCBName11=text of a fixed list\r\nTLabel1=text\r\nFLabel1=*.x\r\n"
          "CEName=caption\r\nALabel1=a\r\nIRGMode0=i\r\nSLVPylons0=s\r\n");
    EXPECT_EQ(form.name11->currentText(), "b");
    EXPECT_EQ(form.name11->count(), 2);
    EXPECT_EQ(form.label1->text(), "projekt");
    EXPECT_TRUE(form.edit->text().isEmpty());
    EXPECT_EQ(form.radio->ItemText(0), "tryb 1");
    EXPECT_EQ(form.view->headerItem()->text(0), "Nazwa");
}

TEST_F(TranslateTest, ListsColumnsPanelsRadioItemsAndLabeledEdits)
{
    Apply("SLBItems1=two\r\nILVPylons0=Name\r\nILVPylons2=Port!\r\nILVPylons3=none\r\nIStatusBar10=first\r\n"
          "IStatusBar11=second\r\nSRGMode0=mode 1\r\nCRGMode=Mode\r\nALEPort=TCP port\r\nBLEPort=port tip\r\n"
          "HLEPort=edit tip\r\nFODFile=Lumarq Pylon files (*.lmqpyl)|*.lmqpyl|All|*.*\r\n");
    EXPECT_EQ(form.list->item(0)->text(), "jeden");
    EXPECT_EQ(form.list->item(1)->text(), "two");
    EXPECT_EQ(form.view->headerItem()->text(0), "Name");
    EXPECT_EQ(form.view->headerItem()->text(1), "IP");
    EXPECT_EQ(form.view->headerItem()->text(2), "Port!");
    EXPECT_EQ(form.view->columnCount(), 3);
    EXPECT_EQ(form.panel0->text(), "first");
    EXPECT_EQ(form.panel1->text(), "second");
    EXPECT_EQ(form.radio->ItemText(0), "mode 1");
    EXPECT_EQ(form.radio->ItemText(1), "tryb 2");
    EXPECT_EQ(form.radio->ItemIndex(), 1);
    EXPECT_EQ(form.radio->title(), "Mode");
    EXPECT_EQ(form.labeled->EditLabel()->text(), "TCP port");
    EXPECT_EQ(form.labeled->EditLabel()->toolTip(), "port tip");
    EXPECT_EQ(form.labeled->toolTip(), "edit tip");
    EXPECT_EQ(form.files->nameFilters(), QStringList({"Lumarq Pylon files (*.lmqpyl)", "All (*.*)"}));
}

TEST_F(TranslateTest, FramesStartNestedLevelsWithTheirPath)
{
    Apply("CLabel1=form\r\nX1.Options1.Label1.CLabel1=first frame\r\nX1.Options2.Label1.CLabel1=second frame\r\n"
          "X2.Options1.Inner.Label1.CLabel1=inner frame\r\nCFrOptions=frame title\r\n"
          "X1.Options1.Inner.CInner=not a caption\r\n");
    EXPECT_EQ(form.label1->text(), "form");
    EXPECT_EQ(form.options1->label->text(), "first frame");
    EXPECT_EQ(form.options2->label->text(), "second frame");
    EXPECT_EQ(form.inner->label->text(), "inner frame");
    // A frame's own title key is its class name, the same for every frame of that class.
    EXPECT_EQ(form.options1->windowTitle(), "frame title");
    EXPECT_EQ(form.options2->windowTitle(), "frame title");
    EXPECT_EQ(form.inner->windowTitle(), "frame title");
}

TEST_F(TranslateTest, DialogsOfTheFormAreLeftToTranslateThemselves)
{
    Apply("CLabel9=wrong\r\nCDAbout=wrong\r\n");
    EXPECT_EQ(form.dialogLabel->text(), "projekt");
    EXPECT_TRUE(form.dialog->windowTitle().isEmpty());
}

TEST_F(TranslateTest, ValuesStandAsWrittenAndMissingKeysKeepTheLastText)
{
    Apply("CLabel1=a=b \\r\\n\\t\r\nCCBPriceOff1=Wyłącz\r\n");
    EXPECT_EQ(form.label1->text(), "a=b \\r\\n\\t");
    Apply("CCBPriceOff1=Turn off\r\n");
    EXPECT_EQ(form.label1->text(), "a=b \\r\\n\\t");
    EXPECT_EQ(form.priceOff->text(), "Turn off");
    EXPECT_EQ(form.windowTitle(), "projekt");
    Apply("");
    EXPECT_EQ(form.priceOff->text(), "Turn off");
}

TEST(Components, OwnershipOrderIsDepthFirstInCreationOrderAndStopsAtOwners)
{
    QWidget root;
    auto* a = new QFrame(&root);
    a->setObjectName("A");
    auto* a1 = new QLabel(a);
    a1->setObjectName("A1");
    new QLabel(a);  // unnamed: not a component, and nothing inside it either
    auto* owner = new QFrame(&root);
    owner->setObjectName("F");
    MarkOwner(owner);
    auto* inFrame = new QLabel(owner);
    inFrame->setObjectName("InFrame");
    auto* b = new QLabel(&root);
    b->setObjectName("B");
    auto* action = new QAction(&root);
    action->setObjectName("Act");
    auto* window = new QWidget(&root, Qt::Window);
    window->setObjectName("W");
    new QLabel("x", window);

    QStringList names;
    for (QObject* o : OwnedComponents(&root)) names << o->objectName();
    EXPECT_EQ(names, QStringList({"A", "A1", "F", "B", "Act"}));
    names.clear();
    for (QObject* o : OwnedComponents(owner)) names << o->objectName();
    EXPECT_EQ(names, QStringList({"InFrame"}));
    EXPECT_TRUE(IsOwner(owner));
    MarkOwner(owner, false);
    EXPECT_FALSE(IsOwner(owner));
}

TEST(Components, FileDialogFiltersFromBarSeparatedPairs)
{
    EXPECT_EQ(FileDialogFilters("Pliki Lumarq Pylon (*.lmqpyl)|*.lmqpyl"),
              QStringList({"Pliki Lumarq Pylon (*.lmqpyl)"}));
    EXPECT_EQ(FileDialogFilters("Text|*.txt;*.ini|All files (*.*)|*.*"),
              QStringList({"Text (*.txt *.ini)", "All files (*.*)"}));
    EXPECT_EQ(FileDialogFilters("|*.lmqpyl"), QStringList({"(*.lmqpyl)"}));
    EXPECT_EQ(FileDialogFilters("Only a description"), QStringList({"Only a description"}));
    EXPECT_TRUE(FileDialogFilters("").isEmpty());
}

// A subclass of a control that keeps a design class name, without one of its own.
class TLabeledSpin : public LabeledEdit {
    Q_OBJECT
};

TEST(Components, DesignClassNamesAreExact)
{
    QComboBox combo;
    TCBNameBox sub;
    QLineEdit edit;
    TSpinLine spin;
    LabeledEdit labeled;
    QLabel label;
    EXPECT_EQ(DesignClassName(&combo), "TComboBox");
    EXPECT_EQ(DesignClassName(&sub), "");
    EXPECT_EQ(DesignClassName(&edit), "TEdit");
    EXPECT_EQ(DesignClassName(&spin), "");
    EXPECT_EQ(DesignClassName(&labeled), "TLabeledEdit");
    EXPECT_EQ(DesignClassName(&label), "");

    // The declared name is the class's own: a subclass reports its C++ name
    // and is not the design class, yet it inherits it.
    TLabeledSpin labeledSub;
    RadioGroup group;
    EXPECT_EQ(FormClassName(&labeled), "TLabeledEdit");
    EXPECT_EQ(FormClassName(&labeledSub), "TLabeledSpin");
    EXPECT_EQ(DesignClassName(&labeledSub), "");
    EXPECT_TRUE(InheritsDesignClass(&labeledSub, "TLabeledEdit"));
    EXPECT_TRUE(InheritsDesignClass(&group, "TRadioGroup"));
    EXPECT_TRUE(InheritsDesignClass(&combo, "QComboBox"));
    EXPECT_FALSE(InheritsDesignClass(&combo, "TRadioGroup"));
}

TEST(LabeledEdit, LabelFollowsTheEditAndGoesWithIt)
{
    QWidget parent;
    auto* edit = new LabeledEdit(&parent);
    QLabel* label = edit->EditLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->parentWidget(), &parent);
    EXPECT_EQ(label->buddy(), edit);
    label->setText("Port");
    edit->move(20, 40);
    parent.show();
    EXPECT_TRUE(label->isVisible());
    EXPECT_EQ(label->x(), 20);
    EXPECT_EQ(label->geometry().bottom() + 1 + edit->LabelSpacing(), 40);
    edit->move(30, 60);
    EXPECT_EQ(label->pos(), QPoint(30, 60 - edit->LabelSpacing() - label->height()));
    edit->hide();
    EXPECT_FALSE(label->isVisible());
    edit->setEnabled(false);
    EXPECT_FALSE(label->isEnabled());

    QWidget other;
    edit->setParent(&other);
    EXPECT_EQ(label->parentWidget(), &other);
    QPointer<QLabel> watch(label);
    delete edit;
    EXPECT_TRUE(watch.isNull());

    // Deleting the parent takes both, in whichever order it reaches them.
    auto* parent2 = new QWidget;
    auto* edit2 = new LabeledEdit(parent2);
    QPointer<QLabel> watch2(edit2->EditLabel());
    delete parent2;
    EXPECT_TRUE(watch2.isNull());
}

TEST(RadioGroup, ItemsAndChoice)
{
    RadioGroup group;
    QSignalSpy changed(&group, &RadioGroup::ItemIndexChanged);
    group.SetItems({"a", "b", "c"});
    EXPECT_EQ(group.ItemCount(), 3);
    EXPECT_EQ(group.ItemIndex(), -1);
    group.SetItemIndex(2);
    EXPECT_EQ(group.ItemIndex(), 2);
    group.SetItemText(2, "C");
    EXPECT_EQ(group.ItemText(2), "C");
    EXPECT_EQ(group.ItemText(3), "");
    group.SetItemIndex(-1);
    EXPECT_EQ(group.ItemIndex(), -1);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(1).at(0).toInt(), -1);
    group.SetItems({"x"});
    EXPECT_EQ(group.ItemCount(), 1);
    EXPECT_EQ(group.findChildren<QRadioButton*>().size(), 1);
}

}  // namespace

#include "TranslateTest.moc"
