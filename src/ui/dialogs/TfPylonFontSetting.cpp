#include "ui/dialogs/TfPylonFontSetting.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

#include "ui/lang/TLanguageChanger.h"
#include "model/K_PYLON.h"
#include "ui/common/CentreOnScreen.h"
#include "ui/common/DesignFont.h"
#include "ui/common/DialogKeys.h"
#include "ui/common/DialogParts.h"

namespace {

// A byte beyond the list selects nothing.
void SelectIndex(QComboBox* list, int index)
{
    list->setCurrentIndex(index < list->count() ? index : -1);
}

// A list without a selection leaves its byte as it was.
void StoreIndex(const QComboBox* list, uint8_t& byte)
{
    if (list->currentIndex() >= 0) byte = static_cast<uint8_t>(list->currentIndex());
}

}  // namespace

TfPylonFontSetting::TfPylonFontSetting(QWidget* owner, TLanguageChanger& language, K_PYLON& model)
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

    Label1 = new QLabel(QStringLiteral("Numer czcionki podstawowej"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label1->setGeometry(4, 14, 160, 22);
    cbBasicFont = new QComboBox(this);
    cbBasicFont->setObjectName(QStringLiteral("cbBasicFont"));
    for (int i = 0; i <= 9; ++i) cbBasicFont->addItem(QString::number(i));
    cbBasicFont->setGeometry(172, 12, 72, 26);

    Label2 = new QLabel(QStringLiteral("Upper index"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label2->setGeometry(4, 46, 160, 22);
    cbUpperIndex = new QComboBox(this);
    cbUpperIndex->setObjectName(QStringLiteral("cbUpperIndex"));
    cbUpperIndex->addItems({QStringLiteral("BRAK"), QStringLiteral("1"), QStringLiteral("2")});
    cbUpperIndex->setGeometry(172, 44, 72, 26);

    const int barHeight = 40;
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setGeometry(0, ClientHeight - barHeight, ClientWidth, barHeight);
    SBOK = MakeButton(Panel1, "SBOK", QStringLiteral("OK"), QStyle::SP_DialogOkButton,
                      QRect(ClientWidth - 186, 6, 88, 28));
    SBAbort = MakeButton(Panel1, "SBAbort", QStringLiteral("Anuluj"), QStyle::SP_DialogCancelButton,
                         QRect(ClientWidth - 94, 6, 88, 28));
    connect(SBOK, &QToolButton::clicked, this, &TfPylonFontSetting::SBOKClick);
    connect(SBAbort, &QToolButton::clicked, this, &TfPylonFontSetting::SBAbortClick);

    CentreOnScreen(this);
    language.Translate(this, objectName(), QString(), 0);
    Label1->setBuddy(cbBasicFont);
    Label2->setBuddy(cbUpperIndex);
    NameFromBuddies(this);
    SetTabChain({cbBasicFont, cbUpperIndex, SBOK, SBAbort});
    SetDialogKeys(this, SBOK, SBAbort);
    SelectIndex(cbBasicFont, model_.FontConf.BasicFont);
    SelectIndex(cbUpperIndex, model_.FontConf.UpperIndex);
}

void TfPylonFontSetting::SBOKClick()
{
    StoreIndex(cbBasicFont, model_.FontConf.BasicFont);
    StoreIndex(cbUpperIndex, model_.FontConf.UpperIndex);
    accept();
}

void TfPylonFontSetting::SBAbortClick()
{
    reject();
}
