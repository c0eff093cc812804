// ZaladujJezyk on a form of the calling program, through dlopen.
#include <chrono>
#include <sys/stat.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QRadioButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <filesystem>

#include "LibraryHost.h"
#include "ui/lang/QtComponents.h"
#include "ui/lang/LabeledEdit.h"
#include "ui/lang/RadioGroup.h"

namespace {

template <typename T>
T* Named(T* object, const char* name)
{
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

// A combo box of the caller's own class: no longer "exactly a combo box".
class TNameCombo : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
};

// The caller's main form; its objectName differs from its class on purpose.
class TFLumarqPylon : public QWidget {
    Q_OBJECT
public:
    TFLumarqPylon()
    {
        setObjectName(Q("MainForm"));
        setWindowTitle(Q("Pylon"));
        auto* layout = new QVBoxLayout(this);

        label = Named(new QLabel(Q("Etykieta"), this), "Label1");
        auto* options = Named(new QGroupBox(Q("Opcje"), this), "GBOptions");
        group = options;
        auto* inside = new QVBoxLayout(options);
        sensor = Named(new QCheckBox(Q("Czujnik"), options), "chbSensor");
        inside->addWidget(sensor);
        edit = Named(new QLineEdit(this), "EName");
        edit->setPlaceholderText(Q("nazwa"));
        action = Named(new QAction(Q("Otwórz"), this), "mOpen");
        dialog = Named(new QFileDialog(this), "ODOpen");

        combo = Named(new QComboBox(this), "CBName1");
        combo->addItems({Q("jeden"), Q("dwa"), Q("trzy")});
        combo->setCurrentIndex(1);
        other = Named(new QComboBox(this), "CBName2");
        other->addItems({Q("a"), Q("b"), Q("c")});
        other->setCurrentIndex(2);
        sub = Named(new TNameCombo(this), "CBSub");
        sub->addItems({Q("x"), Q("y")});

        list = Named(new QListWidget(this), "LBItems");
        list->addItems({Q("l0"), Q("l1")});
        list->setCurrentRow(0);
        tree = Named(new QTreeWidget(this), "LVPylons");
        tree->setHeaderLabels({Q("Nazwa"), Q("IP"), Q("Port")});
        bar = Named(new QStatusBar(this), "SBar");
        for (const char* text : {"p0", "p1"}) {
            panels.append(new QLabel(Q(text)));
            bar->addWidget(panels.last());
        }
        radio = Named(new RadioGroup(this), "RGMode");
        radio->SetItems({Q("r0"), Q("r1"), Q("r2")});
        radio->SetItemIndex(2);
        labeled = Named(new LabeledEdit(this), "LEAddress");
        labeled->EditLabel()->setText(Q("Adres"));

        // Two frames at depth 1 with a label of the same name, and a frame
        // inside the second at depth 2.
        frame1 = Named(new QFrame(this), "Frame1");
        frameLabel1 = Named(new QLabel(Q("f1"), frame1), "Label1");
        frame2 = Named(new QFrame(this), "Frame2");
        frameLabel2 = Named(new QLabel(Q("f2"), frame2), "Label1");
        inner = Named(new QFrame(frame2), "Inner");
        innerLabel = Named(new QLabel(Q("in"), inner), "Label1");
        // An owner with a title of its own.
        ownerBox = Named(new QGroupBox(Q("Ramka"), this), "GBFrame");
        boxLabel = Named(new QLabel(Q("bx"), ownerBox), "LBox");
        for (QObject* owner : {static_cast<QObject*>(frame1), static_cast<QObject*>(frame2),
                               static_cast<QObject*>(inner), static_cast<QObject*>(ownerBox)})
            MarkOwner(owner);

        // A window of its own, parented to the form: not one of its components.
        child = Named(new QDialog(this), "DChild");
        childLabel = Named(new QLabel(Q("dialog"), child), "LChild");

        for (QWidget* w : {static_cast<QWidget*>(label), static_cast<QWidget*>(options), static_cast<QWidget*>(edit),
                           static_cast<QWidget*>(combo)})
            layout->addWidget(w);
    }

    QLabel* label;
    QGroupBox* group;
    QCheckBox* sensor;
    QLineEdit* edit;
    QAction* action;
    QFileDialog* dialog;
    QComboBox* combo;
    QComboBox* other;
    TNameCombo* sub;
    QListWidget* list;
    QTreeWidget* tree;
    QStatusBar* bar;
    QList<QLabel*> panels;
    RadioGroup* radio;
    LabeledEdit* labeled;
    QFrame* frame1;
    QLabel* frameLabel1;
    QFrame* frame2;
    QLabel* frameLabel2;
    QFrame* inner;
    QLabel* innerLabel;
    QGroupBox* ownerBox;
    QLabel* boxLabel;
    QDialog* child;
    QLabel* childLabel;
};

using FormTranslation = LibraryHost;

TEST_F(FormTranslation, TitleKeyIsLookedUpInTheSectionTheCallerNames)
{
    TFLumarqPylon form;
    const std::string ini = "[MainForm]\nCFLumarqPylon=From the form's name\n"
                            "[Elsewhere]\nCFLumarqPylon=Elsewhere\n"
                            "[Pylon]\nCFLumarqPylon=Price pylon\nCMainForm=by name\n";

    // The section is not derived from the form: a section only named after
    // the form does nothing unless the caller names it.
    Apply(&form, "FLumarqPylon", ini);
    EXPECT_EQ(form.windowTitle(), Q("Pylon"));

    Apply(&form, "Pylon", ini);
    EXPECT_EQ(form.windowTitle(), Q("Price pylon"));

    // The key follows the class, not the objectName.
    Apply(&form, "Elsewhere", "[Elsewhere]\nCMainForm=by name\n");
    EXPECT_EQ(form.windowTitle(), Q("Price pylon"));
}

TEST_F(FormTranslation, LettersReachComponentsAnywhereOnTheFormAtDepthZero)
{
    TFLumarqPylon form;
    Apply(&form, "F",
          "[F]\n"
          "clabel1=Label\n"  // keys ignore letter case
          "HLabel1=Label hint\n"
          "CchbSensor=Sensor\n"  // inside a group box: still the form's
          "CGBOptions=Options\n"
          "CmOpen=Open\n"
          "HmOpen=Opens a file\n"
          "TEName=a=b\n"  // everything after the first "="
          "CEName=no caption\n"
          "DEName=no text hints\n"
          "FODOpen=Pylon files (*.lmqpyl)|*.lmqpyl|All|*\n"
          "CLChild=not on the form\n"
          "CX1CLabel1=no such component\n");

    EXPECT_EQ(form.label->text(), Q("Label"));
    EXPECT_EQ(form.label->toolTip(), Q("Label hint"));
    EXPECT_EQ(form.sensor->text(), Q("Sensor"));
    EXPECT_EQ(form.group->title(), Q("Options"));
    EXPECT_EQ(form.action->text(), Q("Open"));
    EXPECT_EQ(form.action->toolTip(), Q("Opens a file"));
    EXPECT_EQ(form.edit->text(), Q("a=b"));
    EXPECT_EQ(form.edit->placeholderText(), Q("nazwa"));
    EXPECT_EQ(form.dialog->nameFilters(), QStringList({Q("Pylon files (*.lmqpyl)"), Q("All (*)")}));
    EXPECT_EQ(form.childLabel->text(), Q("dialog"));
    // Labels inside frames are not depth-0 components.
    EXPECT_EQ(form.frameLabel1->text(), Q("f1"));
    EXPECT_EQ(form.innerLabel->text(), Q("in"));
}

TEST_F(FormTranslation, NestedOwnersUseTheDepthPrefixAndShareOneKeySpace)
{
    TFLumarqPylon form;
    Apply(&form, "F",
          "[F]\nCLabel1=Form label\nX1CLabel1=Frame label\nX2CLabel1=Inner label\n"
          "X1CLBox=Box label\nCGBFrame=Box title\nCGroupBox=not the owner's title\n");

    EXPECT_EQ(form.label->text(), Q("Form label"));
    EXPECT_EQ(form.frameLabel1->text(), Q("Frame label"));
    EXPECT_EQ(form.frameLabel2->text(), Q("Frame label"));
    EXPECT_EQ(form.innerLabel->text(), Q("Inner label"));
    EXPECT_EQ(form.boxLabel->text(), Q("Box label"));
    // The owner is translated as a component of the form by its name; its
    // class title key is not read.
    EXPECT_EQ(form.ownerBox->title(), Q("Box title"));

    // Owner paths with "." are not part of this grammar.
    TFLumarqPylon fresh;
    Apply(&fresh, "F",
          "[F]\nX1.Frame1.Label1.CLabel1=path\nX1Frame1CLabel1=path\nX2.Frame2.Inner.Label1.CLabel1=path\n");
    EXPECT_EQ(fresh.frameLabel1->text(), Q("f1"));
    EXPECT_EQ(fresh.frameLabel2->text(), Q("f2"));
    EXPECT_EQ(fresh.innerLabel->text(), Q("in"));
}

TEST_F(FormTranslation, ComboBoxKeepsItsItemCountButLosesTheChoiceWhoseItemIsReplaced)
{
    TFLumarqPylon form;
    Apply(&form, "F",
          "[F]\nSCBName10=one\nSCBName11=two\nSCBName13=beyond the items\n"
          "SCBName20=A\n"
          "SCBSub0=not exactly a combo box\nHCBSub=but it has a hint\n");

    ASSERT_EQ(form.combo->count(), 3);
    EXPECT_EQ(form.combo->itemText(0), Q("one"));
    EXPECT_EQ(form.combo->itemText(1), Q("two"));
    EXPECT_EQ(form.combo->itemText(2), Q("trzy"));
    EXPECT_EQ(form.combo->currentIndex(), -1);

    // Replacing another item leaves the choice where it was.
    ASSERT_EQ(form.other->count(), 3);
    EXPECT_EQ(form.other->itemText(0), Q("A"));
    EXPECT_EQ(form.other->currentIndex(), 2);

    EXPECT_EQ(form.sub->itemText(0), Q("x"));
    EXPECT_EQ(form.sub->toolTip(), Q("but it has a hint"));
}

TEST_F(FormTranslation, EditableComboBoxKeepsItsTextWhenItsChoiceGoes)
{
    TFLumarqPylon form;
    form.combo->setEditable(true);
    form.combo->setCurrentIndex(0);
    Apply(&form, "F", "[F]\nSCBName10=one\n");
    EXPECT_EQ(form.combo->currentIndex(), -1);
    EXPECT_EQ(form.combo->currentText(), Q("one"));
}

TEST_F(FormTranslation, ListItemsColumnsPanelsRadioItemsAndLabelledEdits)
{
    TFLumarqPylon form;
    Apply(&form, "F",
          "[F]\nSLBItems1=second\nSLBItems2=beyond\n"
          "ILVPylons0=Name\nILVPylons2=Port\nILVPylons3=beyond\n"
          "ISBar1=Ready\n"
          "SRGMode0=Off\nSRGMode2=Auto\n"
          "ALEAddress=Address\nBLEAddress=IP address of the pylon\nTLEAddress=10.0.0.1\n"
          "HLEAddress=edit hint\n");

    ASSERT_EQ(form.list->count(), 2);
    EXPECT_EQ(form.list->item(0)->text(), Q("l0"));
    EXPECT_EQ(form.list->item(1)->text(), Q("second"));
    EXPECT_EQ(form.list->currentRow(), 0);

    ASSERT_EQ(form.tree->columnCount(), 3);
    EXPECT_EQ(form.tree->headerItem()->text(0), Q("Name"));
    EXPECT_EQ(form.tree->headerItem()->text(1), Q("IP"));
    EXPECT_EQ(form.tree->headerItem()->text(2), Q("Port"));

    EXPECT_EQ(form.panels[0]->text(), Q("p0"));
    EXPECT_EQ(form.panels[1]->text(), Q("Ready"));

    ASSERT_EQ(form.radio->ItemCount(), 3);
    EXPECT_EQ(form.radio->ItemText(0), Q("Off"));
    EXPECT_EQ(form.radio->ItemText(1), Q("r1"));
    EXPECT_EQ(form.radio->ItemText(2), Q("Auto"));
    EXPECT_EQ(form.radio->ItemIndex(), 2);

    EXPECT_EQ(form.labeled->EditLabel()->text(), Q("Address"));
    EXPECT_EQ(form.labeled->EditLabel()->toolTip(), Q("IP address of the pylon"));
    EXPECT_EQ(form.labeled->text(), Q("10.0.0.1"));
    EXPECT_EQ(form.labeled->toolTip(), Q("edit hint"));
}

TEST_F(FormTranslation, FileIsReadAsUtf8UnderAFileSystemName)
{
    TFLumarqPylon form;
    const std::string path =
        WriteFile("\xEF\xBB\xBF[F]\r\nCLabel1=Zażółć gęślą jaźń\r\nCchbSensor=Fényérzékelő\r\n", "język.ini");
    jezyk_(0, &form, "F", QFile::encodeName(QString::fromStdString(path)).constData());
    EXPECT_EQ(form.label->text(), Q("Zażółć gęślą jaźń"));
    EXPECT_EQ(form.sensor->text(), Q("Fényérzékelő"));
}

TEST_F(FormTranslation, PathWithoutAFileDoesNothing)
{
    TFLumarqPylon form;
    const std::string valid = WriteFile("[F]\nCLabel1=changed\nCFLumarqPylon=changed\n");
    std::filesystem::create_directory(dir_.File("folder.ini"));
    ASSERT_EQ(::mkfifo(dir_.File("pipe.ini").c_str(), 0600), 0);

    jezyk_(0, &form, "F", dir_.File("missing.ini").c_str());
    jezyk_(0, &form, "F", dir_.File("folder.ini").c_str());
    // Neither waits for a writer nor reads without end.
    const auto start = std::chrono::steady_clock::now();
    jezyk_(0, &form, "F", dir_.File("pipe.ini").c_str());
    jezyk_(0, &form, "F", "/dev/zero");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    jezyk_(0, &form, "F", "");
    jezyk_(0, &form, "F", nullptr);
    jezyk_(0, nullptr, "F", valid.c_str());
    EXPECT_EQ(form.label->text(), Q("Etykieta"));
    EXPECT_EQ(form.windowTitle(), Q("Pylon"));

    // A null section is the empty one; nothing in this file belongs to it.
    jezyk_(0, &form, nullptr, valid.c_str());
    EXPECT_EQ(form.label->text(), Q("Etykieta"));
}

TEST_F(FormTranslation, UnreadableFileThrowsAndChangesNothing)
{
    TFLumarqPylon form;
    // The process's own memory file exists but reading it from offset 0 fails.
    EXPECT_THROW(jezyk_(0, &form, "F", "/proc/self/mem"), std::runtime_error);
    EXPECT_EQ(form.windowTitle(), Q("Pylon"));

    // The library is usable again afterwards.
    Apply(&form, "F", "[F]\nCLabel1=after\n");
    EXPECT_EQ(form.label->text(), Q("after"));
}

// A caller's slot that reacts to the lost choice by translating another form
// from another file and deleting a component the walk has not reached yet.
TEST_F(FormTranslation, CallerSlotsMayTranslateAndDeleteDuringTheWalk)
{
    TFLumarqPylon form;
    auto* later = Named(new QFrame(&form), "Later");
    MarkOwner(later);
    auto* laterLabel = Named(new QLabel(Q("late"), later), "LLate");
    QPointer<QLabel> doomed = Named(new QLabel(Q("doomed"), &form), "LDoomed");

    TFLumarqPylon second;
    const std::string secondFile = WriteFile("[S]\nCLabel1=second form\n", "second.ini");
    int calls = 0;
    QObject::connect(form.combo, &QComboBox::currentIndexChanged, &form, [&](int) {
        ++calls;
        jezyk_(0, &second, "S", secondFile.c_str());
        delete doomed.data();
    });

    Apply(&form, "F", "[F]\nSCBName11=two\nX1CLLate=late label\nCLDoomed=gone\nCLabel1=first form\n");
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(doomed.isNull());
    EXPECT_EQ(second.label->text(), Q("second form"));
    EXPECT_EQ(laterLabel->text(), Q("late label"));
    EXPECT_EQ(form.label->text(), Q("first form"));
}

#include "FormTranslationTest.moc"
