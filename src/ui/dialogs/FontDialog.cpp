#include "ui/dialogs/FontDialog.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

#include "ui/lang/LanguageChanger.h"
#include "model/PylonConfig.h"
#include "ui/common/CentreOnScreen.h"
#include "ui/common/DesignFont.h"
#include "ui/common/DialogKeys.h"
#include "ui/common/DialogParts.h"

namespace {

// A byte beyond the list selects nothing.
void SelectIndex(QComboBox* list, int index) { list->setCurrentIndex(index < list->count() ? index : -1); }

// A list without a selection leaves its byte as it was.
void StoreIndex(const QComboBox* list, uint8_t& byte)
{
    if (list->currentIndex() >= 0) byte = static_cast<uint8_t>(list->currentIndex());
}

}  // namespace

FontDialog::FontDialog(QWidget* owner, LanguageChanger& language, PylonConfig& model)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), model_(model)
{
    setObjectName(QStringLiteral("fPylonFontSetting"));
    setFont(DesignFont());
    setWindowTitle(QStringLiteral("Ustawienia czcionek"));
    setFixedSize(ClientWidth, ClientHeight);
    // White on the light palette, as the form is designed; the palette's own
    // field colour elsewhere, so that its text keeps its contrast.
    setBackgroundRole(QPalette::Base);
    setForegroundRole(QPalette::Text);
    setAutoFillBackground(true);

    BasicFontLabel = new QLabel(QStringLiteral("Numer czcionki podstawowej"), this);
    BasicFontLabel->setObjectName(QStringLiteral("Label1"));
    BasicFontLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    BasicFontLabel->setGeometry(4, 14, 160, 22);
    BasicFontBox = new QComboBox(this);
    BasicFontBox->setObjectName(QStringLiteral("cbBasicFont"));
    for (int i = 0; i <= 9; ++i) BasicFontBox->addItem(QString::number(i));
    BasicFontBox->setGeometry(172, 12, 72, 26);

    UpperIndexLabel = new QLabel(QStringLiteral("Upper index"), this);
    UpperIndexLabel->setObjectName(QStringLiteral("Label2"));
    UpperIndexLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    UpperIndexLabel->setGeometry(4, 46, 160, 22);
    UpperIndexBox = new QComboBox(this);
    UpperIndexBox->setObjectName(QStringLiteral("cbUpperIndex"));
    UpperIndexBox->addItems({QStringLiteral("BRAK"), QStringLiteral("1"), QStringLiteral("2")});
    UpperIndexBox->setGeometry(172, 44, 72, 26);

    const int barHeight = 40;
    ButtonPanel = new QFrame(this);
    ButtonPanel->setObjectName(QStringLiteral("Panel1"));
    ButtonPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    ButtonPanel->setGeometry(0, ClientHeight - barHeight, ClientWidth, barHeight);
    OkButton = MakeButton(ButtonPanel, "SBOK", QStringLiteral("OK"), QStyle::SP_DialogOkButton,
                          QRect(ClientWidth - 186, 6, 88, 28));
    CancelButton = MakeButton(ButtonPanel, "SBAbort", QStringLiteral("Anuluj"), QStyle::SP_DialogCancelButton,
                              QRect(ClientWidth - 94, 6, 88, 28));
    connect(OkButton, &QToolButton::clicked, this, &FontDialog::OkClicked);
    connect(CancelButton, &QToolButton::clicked, this, &FontDialog::CancelClicked);

    CentreOnScreen(this);
    language.Translate(this, objectName(), QString(), 0);
    BasicFontLabel->setBuddy(BasicFontBox);
    UpperIndexLabel->setBuddy(UpperIndexBox);
    NameFromBuddies(this);
    SetTabChain({BasicFontBox, UpperIndexBox, OkButton, CancelButton});
    SetDialogKeys(this, OkButton, CancelButton);
    SelectIndex(BasicFontBox, model_.FontConf.BasicFont);
    SelectIndex(UpperIndexBox, model_.FontConf.UpperIndex);
}

void FontDialog::OkClicked()
{
    StoreIndex(BasicFontBox, model_.FontConf.BasicFont);
    StoreIndex(UpperIndexBox, model_.FontConf.UpperIndex);
    accept();
}

void FontDialog::CancelClicked() { reject(); }
