#include "ui/main/TFLumarqPylon.h"

#include <new>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QShortcut>

#include "comm/ConfigTransfer.h"
#include "comm/EComPort.h"
#include "comm/PylonCommandEnv.h"
#include "history/History.h"
#include "history/HistoryRecorder.h"
#include "model/Version.h"
#include "ui/comm/TFInfoWindow.h"
#include "ui/comm/TransferRunner.h"
#include "ui/comm/TFServiceOptions.h"
#include "ui/lang/MessageBoxes.h"
#include "ui/lang/QtText.h"
#include "ui/lang/QtComponents.h"
#include "ui/lang/SystemLanguage.h"
#include "ui/lang/TDM.h"
#include "model/Cp1250.h"
#include "model/K_PYLON.h"
#include "model/PylonFile.h"
#include "model/SessionStore.h"
#include "ui/dialogs/TFLumarqConfiguration.h"
#include "ui/dialogs/TFLumarqNetworkSettings.h"
#include "ui/dialogs/TfPylonFontSetting.h"
#include "ui/history/TFSendHistory.h"
#include "ui/main/DigitFocusFrame.h"
#include "ui/main/ProgramVersion.h"
#include "ui/main/PylonPictures.h"
#include "ui/common/DataFolders.h"
#include "ui/common/DesignFont.h"
#include "ui/common/Keyboard.h"
#include "ui/common/QtFileDialogs.h"
#include "ui/main/Shell.h"
#include "ui/main/TCheckBox.h"
#include "ui/main/TFAbout.h"
#include "ui/main/TImage.h"
#include "ui/main/TSpeedButton.h"

namespace {

constexpr const char* TagProperty = "Tag";

// The line panels from the top, and the digit panel inside each.
constexpr const char* LinePanelNames[7] = {"Panel8", "Panel10", "Panel2", "Panel12", "Panel13", "Panel14", "Panel1"};
constexpr const char* DigitPanelNames[7] = {"PPrice1", "PPrice2", "PPrice3", "PPrice4", "PPrice5", "PPrice6", "Panel3"};

// The design items of every name combo: suggestions, free text is allowed.
const char* const NameItems[12] = {"Pb98", "Pb95", "ON", "ON TIR", "LPG", "Myjnia", "Waluta",
                                   "USD", "EUR", "CHF", "GBP", "JPY"};

constexpr int NameMaxLength = 20;

int TagOf(const QObject* sender)
{
    return sender ? sender->property(TagProperty).toInt() : -1;
}

QString Name(const char* prefix, int line, int digit = 0)
{
    QString name = QLatin1String(prefix) + QString::number(line);
    if (digit) name += QString::number(digit);
    return name;
}

QString ToQt(const std::string& ansi)
{
    return QString::fromStdString(Cp1250::ToUtf8(ansi));
}

QString WithSlash(QString dir)
{
    if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
    return dir;
}

}  // namespace

TFLumarqPylon::TFLumarqPylon(K_PYLON& model, K_FILE& file, K_CONNECTION& link, TDM& dm, QWidget* parent)
    : QMainWindow(parent), Pylon(model), File(file), Link(link), DM(dm), editor_(model)
{
    Q_INIT_RESOURCE(assets);
    setObjectName(QStringLiteral("FLumarqPylon"));
    setWindowTitle(QStringLiteral("Lumarq Pylon"));
    // Single border, not resizable, system menu and minimise button only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(DesignFont());

    // 1. The controls, and 2. the control tables, filled as the lines are made.
    CreateControls();
    editor_.SetObserver(this);
    editor_.Publish();

    screenDialogs_ = std::make_unique<QtFileDialogs>();
    fileDialogs_ = screenDialogs_.get();
    UseHistory(History::DefaultPath());
    ProgramDir = QCoreApplication::applicationDirPath();

    ComPort.OnBeforeOpen = [this] { ComPortBeforeOpen(); };
    ComPort.OnAfterOpen = [this] { ComPortAfterOpen(); };
    ComPort.OnBeforeClose = [this] { ComPortBeforeClose(); };
    ComPort.OnAfterClose = [this] { ComPortAfterClose(); };

    // 3. and 4.
    VersionText = ProgramVersion::Text();
    DocumentsDir = ProgramVersion::DocumentsDir(VersionText);

    // 5. to 8.: the language menu, the start-up language, the texts.
    BuildLanguageMenu();
    if (DM.Settings.LangId.empty()) DM.Settings.LangId = LanguageCodeFor(SystemPrimaryLanguageId());
    DM.LoadLanguage();
    DM.LanguageChanger.Translate(this, objectName(), QString(), 0);
    ClearSeparatorTexts();
    DescribeControls();

    // 9.
    ShowPylon(K_PYLON(Pylon));

    // Centred on the screen.
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - frameGeometry().center() + pos());
}

TFLumarqPylon::~TFLumarqPylon()
{
    // A port an error left open closes without a word: the program is ending,
    // and the information window may already be gone.
    destroying_ = true;
    try {
        ComPort.Close();
    } catch (const EComPort&) {
    }
    // The widgets go before the editor; nothing may be drawn on them any more.
    editor_.SetObserver(nullptr);
    // A name combo that loses the focus while the widgets are torn down
    // reports an activation; the window must not hear it any more.
    for (QComboBox* name : NameBoxes) {
        if (!name) continue;
        name->disconnect(this);
        if (name->lineEdit()) name->lineEdit()->disconnect(this);
    }
}

void TFLumarqPylon::SetFileDialogs(FileDialogs* dialogs)
{
    fileDialogs_ = dialogs ? dialogs : screenDialogs_.get();
}

void TFLumarqPylon::SetWaiter(Waiter* waiter)
{
    waiter_ = waiter ? waiter : &sleepWaiter_;
}

QIcon TFLumarqPylon::Glyph(int index) const
{
    return index >= 0 && index < DM.il16x16.size() ? DM.il16x16[index] : QIcon();
}

// ---------------------------------------------------------------- design

void TFLumarqPylon::CreateControls()
{
    ClientArea = new QWidget(this);
    ClientArea->setFixedSize(ClientWidth, ClientHeight);
    setCentralWidget(ClientArea);

    Image1 = new QLabel(ClientArea);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 70, ClientHeight);
    Image1->setScaledContents(true);
    Image1->setPixmap(QPixmap(QStringLiteral(":/assets/left-column.png")));

    CreateToolbar();

    CBDOMS = new QCheckBox(QStringLiteral("DOMS"), ClientArea);
    CBDOMS->setObjectName(QStringLiteral("CBDOMS"));
    CBDOMS->setGeometry(4, 555, 60, 17);
    CBDOMS->setVisible(false);
    connect(CBDOMS, &QCheckBox::toggled, this, [this] { CBDOMSClick(); });

    for (int L = 0; L < PriceLineEditor::Lines; ++L) CreateLine(L);

    CreateMenu();
    SetTabOrder();

    // The window is exactly the client area below its menu.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TFLumarqPylon::CreateToolbar()
{
    struct Tool {
        TSpeedButton** button;
        const char* name;
        const char* glyph;
        const char* hint;
        void (TFLumarqPylon::*handler)();
    };
    const Tool tools[] = {
        {&SBOpenFile, "SBOpenFile", "open", "Otwórz", &TFLumarqPylon::SBOpenFileClick},
        {&SBSaveToFile, "SBSaveToFile", "save", "Zapisz", &TFLumarqPylon::SBSaveToFileClick},
        {&SBNetworkSettings, "SBNetworkSettings", "network", "Ustawienia połączeń",
         &TFLumarqPylon::SBNetworkSettingsClick},
        {&SBConfiguration, "SBConfiguration", "brightness", "Konfiguracja jasności",
         &TFLumarqPylon::SBConfigurationClick},
        {&sbFonts, "sbFonts", "fonts", "Ustawienia czcionek", &TFLumarqPylon::sbFontsClick},
        {&SBSendConfiguration, "SBSendConfiguration", "send", "Wyślij", &TFLumarqPylon::SBSendConfigurationClick},
        {&SBDownload, "SBDownload", "download", "Pobierz", &TFLumarqPylon::SBDownloadClick},
    };
    int y = 0;
    for (const Tool& t : tools) {
        auto* b = new TSpeedButton(ClientArea);
        b->setObjectName(QLatin1String(t.name));
        b->setGeometry(2, y, 65, 50);
        b->SetGlyph(QPixmap(QStringLiteral(":/assets/glyphs/") + QLatin1String(t.glyph) + QStringLiteral(".png")));
        b->setToolTip(QString::fromUtf8(t.hint));
        // Light hover frames on the dark column.
        QPalette palette = b->palette();
        palette.setColor(QPalette::Light, QColor(150, 180, 215));
        palette.setColor(QPalette::Dark, QColor(8, 14, 24));
        b->setPalette(palette);
        const auto handler = t.handler;
        connect(b, &QAbstractButton::clicked, this, [this, handler] { (this->*handler)(); });
        *t.button = b;
        y += 50;
    }
}

void TFLumarqPylon::CreateLine(int L)
{
    const int n = L + 1;
    auto* panel = new QFrame(ClientArea);
    panel->setObjectName(QLatin1String(LinePanelNames[L]));
    panel->setGeometry(81, 82 * L, 580, 80);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    LinePanels[L] = panel;

    auto* digits = new QFrame(panel);
    digits->setObjectName(QLatin1String(DigitPanelNames[L]));
    digits->setGeometry(4, 4, 243, 72);
    digits->setAutoFillBackground(true);
    QPalette black = digits->palette();
    black.setColor(QPalette::Window, Qt::black);
    digits->setPalette(black);
    // The display takes the keyboard: typed prices, Up and Down, Left and Right.
    digits->setFocusPolicy(Qt::StrongFocus);
    digits->setProperty(TagProperty, L);
    digits->installEventFilter(this);
    DigitPanels[L] = digits;

    static const QPixmap up = PylonPictures::Arrow(Qt::UpArrow, QSize(10, 5), QColor(200, 200, 200));
    static const QPixmap upOff = PylonPictures::Arrow(Qt::UpArrow, QSize(10, 5), QColor(60, 60, 60));
    static const QPixmap down = PylonPictures::Arrow(Qt::DownArrow, QSize(10, 5), QColor(200, 200, 200));
    static const QPixmap downOff = PylonPictures::Arrow(Qt::DownArrow, QSize(10, 5), QColor(60, 60, 60));
    // The point buttons lie on the line's panel: dark arrows on a light panel, the
    // palette's text colour on a dark one.
    const QPalette& panelColours = panel->palette();
    const QColor pointArrow = panelColours.color(QPalette::Window).lightness() < 128
                                  ? panelColours.color(QPalette::WindowText)
                                  : QColor(40, 40, 40);
    const QPixmap left = PylonPictures::Arrow(Qt::LeftArrow, QSize(6, 11), pointArrow);
    const QPixmap right = PylonPictures::Arrow(Qt::RightArrow, QSize(6, 11), pointArrow);

    QPalette arrowPalette = digits->palette();
    arrowPalette.setColor(QPalette::Light, QColor(110, 110, 110));
    arrowPalette.setColor(QPalette::Dark, QColor(40, 40, 40));

    for (int d = 1; d <= 6; ++d) {
        const int i = PriceLineEditor::DigitsPerLine * L + d - 1;
        auto* image = new TImage(digits, QRect(4 + 41 * (d - 1), 12, PylonPictures::DigitWidth,
                                               PylonPictures::DigitHeight));
        image->setObjectName(Name("IDigit", n, d));
        image->setProperty(TagProperty, 0);
        DigitImages[i] = image;

        auto* bUp = new TSpeedButton(digits);
        bUp->setObjectName(Name("SBUp", n, d));
        bUp->setGeometry(6 + 41 * (d - 1), 2, 26, 10);
        bUp->setProperty(TagProperty, i);
        bUp->SetGlyph(up, upOff);
        bUp->setPalette(arrowPalette);
        connect(bUp, &QAbstractButton::clicked, this, [this, bUp] { SBUp11Click(bUp); });

        auto* bDown = new TSpeedButton(digits);
        bDown->setObjectName(Name("SBDown", n, d));
        bDown->setGeometry(6 + 41 * (d - 1), 60, 26, 10);
        bDown->setProperty(TagProperty, i);
        bDown->SetGlyph(down, downOff);
        bDown->setPalette(arrowPalette);
        connect(bDown, &QAbstractButton::clicked, this, [this, bDown] { SBDown11Click(bDown); });
        DigitButtons[i] = {bUp, bDown};
    }
    for (int d = 1; d <= 5; ++d) {
        auto* dot = new TImage(digits, QRect(34 + 41 * (d - 1), 12, 11, PylonPictures::DigitHeight));
        dot->setObjectName(Name("IDot", n, d));
        PointImages[PriceLineEditor::PointsPerLine * L + d - 1] = dot;
    }
    FocusFrames[L] = new DigitFocusFrame(digits);
    FocusFrames[L]->setObjectName(Name("FDigitFocus", n));

    auto* name = new QComboBox(panel);
    name->setObjectName(Name("CBName", n));
    name->setEditable(true);
    name->setInsertPolicy(QComboBox::NoInsert);
    name->setCompleter(nullptr);  // what the operator sees is what the model gets
    name->setMaxVisibleItems(10);
    for (const char* item : NameItems) name->addItem(QString::fromUtf8(item));
    name->lineEdit()->setMaxLength(NameMaxLength);
    RefuseAltTyping(name->lineEdit());
    name->setEditText(ToQt(K_PYLON::DefaultName(n)));
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    name->setGeometry(252, 12, 169, qMax(21, name->sizeHint().height()));
    name->setProperty(TagProperty, L);
    // Only the operator's typing and picking change the model; texts the
    // program sets (showing the model, translating) do not.
    connect(name->lineEdit(), &QLineEdit::textEdited, this, [this, name] { CBName1Change(name); });
    connect(name, &QComboBox::activated, this, [this, name] { CBName1Change(name); });
    NameBoxes[L] = name;

    auto* bLeft = new TSpeedButton(panel);
    bLeft->setObjectName(Name("SBLeft", n));
    bLeft->setGeometry(252, 51, 50, 20);
    bLeft->setProperty(TagProperty, L);
    bLeft->SetGlyph(left);
    connect(bLeft, &QAbstractButton::clicked, this, [this, bLeft] { SBLeft1Click(bLeft); });
    auto* bRight = new TSpeedButton(panel);
    bRight->setObjectName(Name("SBRight", n));
    bRight->setGeometry(n == 7 ? 308 : 310, 51, 50, 20);
    bRight->setProperty(TagProperty, L);
    bRight->SetGlyph(right);
    connect(bRight, &QAbstractButton::clicked, this, [this, bRight] { SBRight1Click(bRight); });
    PointButtons[L] = {bLeft, bRight};

    auto* indicator = new TImage(panel, QRect(301, 52, PylonPictures::DotWidth, PylonPictures::DotHeight),
                                 panel->palette().color(QPalette::Window));
    indicator->setObjectName(Name("IDotButt", n));
    PointIndicators[L] = indicator;

    struct Flag {
        const char* name;
        const char* caption;
        int y;
        PriceLineEditor::Box box;
    };
    const Flag flags[] = {
        {"CBPriceOff", "Wygaszenie", 4, PriceLineEditor::PriceOff},
        {"CBPriceDash", "Brak", 22, PriceLineEditor::PriceDash},
        {"CBPriceBlinking", "Miganie", 40, PriceLineEditor::Blinking},
        {"CBZerosOff", "Usuwanie zer wiodących", 58, PriceLineEditor::ZerosOff},
    };
    for (const Flag& f : flags) {
        auto* box = new TCheckBox(QString::fromUtf8(f.caption), panel);
        box->setObjectName(Name(f.name, n));
        box->setGeometry(428, f.y, 580 - 428 - 3, 17);
        box->setProperty(TagProperty, L);
        // Runs on every change of the checked state, the program's own included.
        switch (f.box) {
        case PriceLineEditor::PriceOff:
            connect(box, &QCheckBox::toggled, this, [this, box] { CBPriceOff1Click(box); });
            break;
        case PriceLineEditor::PriceDash:
            connect(box, &QCheckBox::toggled, this, [this, box] { CBPriceDash1Click(box); });
            break;
        case PriceLineEditor::Blinking:
            connect(box, &QCheckBox::toggled, this, [this, box] { CBPriceBlinking1Click(box); });
            break;
        default:
            connect(box, &QCheckBox::toggled, this, [this, box] { CBZerosOff1Click(box); });
            break;
        }
        FlagBoxes[L][f.box] = box;
    }
}

void TFLumarqPylon::SetTabOrder()
{
    // Line by line from the top: the digits, the name, the boxes from the top.
    static constexpr PriceLineEditor::Box boxes[] = {PriceLineEditor::PriceOff, PriceLineEditor::PriceDash,
                                                     PriceLineEditor::Blinking, PriceLineEditor::ZerosOff};
    QWidget* previous = nullptr;
    auto chain = [&previous](QWidget* next) {
        if (previous) setTabOrder(previous, next);
        previous = next;
    };
    for (int L = 0; L < PriceLineEditor::Lines; ++L) {
        chain(DigitPanels[L]);
        chain(NameBoxes[L]);
        for (PriceLineEditor::Box box : boxes) chain(FlagBoxes[L][box]);
    }
}

void TFLumarqPylon::CreateMenu()
{
    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    MainMenu1->setFont(QApplication::font(MainMenu1));

    auto submenu = [this](QMenu*& menu, const char* name, const char* caption) {
        menu = new QMenu(QString::fromUtf8(caption), MainMenu1);
        menu->setObjectName(QLatin1String(name));
        MainMenu1->addMenu(menu);
    };
    auto item = [this](QMenu* menu, const char* name, const char* caption, const QKeySequence& shortcut,
                       int glyph, bool isDefault) {
        auto* action = new QAction(QString::fromUtf8(caption), menu);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(shortcut);
        action->setIcon(Glyph(glyph));
        if (isDefault) {
            QFont font = action->font();
            font.setBold(true);
            action->setFont(font);
        }
        menu->addAction(action);
        return action;
    };
    auto separator = [](QMenu* menu, const char* name) {
        QAction* action = menu->addSeparator();
        action->setObjectName(QLatin1String(name));
        return action;
    };

    submenu(Plik1, "Plik1", "Plik");
    Otwrzplik1 = item(Plik1, "Otwrzplik1", "Otwórz...", QKeySequence(Qt::CTRL | Qt::Key_O), GlyphOpen, true);
    Zapiszdopliku1 = item(Plik1, "Zapiszdopliku1", "Zapisz...", QKeySequence(Qt::CTRL | Qt::Key_S), GlyphSave,
                          false);
    N2 = separator(Plik1, "N2");
    MClose = item(Plik1, "MClose", "Zamknij", QKeySequence(), -1, false);

    submenu(komunikacja1, "komunikacja1", "Komunikacja");
    Wylij1 = item(komunikacja1, "Wylij1", "Wyślij", QKeySequence(Qt::Key_F5), GlyphSend, true);
    Pobierz1 = item(komunikacja1, "Pobierz1", "Pobierz", QKeySequence(Qt::Key_F9), GlyphDownload, false);
    Weryfikujpowysaniu1 = item(komunikacja1, "Weryfikujpowysaniu1", "Weryfikuj po wysłaniu", QKeySequence(), -1,
                               false);
    Weryfikujpowysaniu1->setCheckable(true);
    Weryfikujpowysaniu1->setChecked(Pylon.Session() && SessionStore::LoadVerifyAfterSend(*Pylon.Session()));
    Historiawysyania1 = item(komunikacja1, "Historiawysyania1", "Historia wysyłania...", QKeySequence(), -1, false);

    submenu(Ustawienia1, "Ustawienia1", "Ustawienia");
    konfiguracja1 = item(Ustawienia1, "konfiguracja1", "Konfiguracja jasności...", QKeySequence(Qt::Key_F6),
                         GlyphBrightness, true);
    Sie1 = item(Ustawienia1, "Sie1", "Ustawienia połączeń", QKeySequence(Qt::Key_F7), GlyphConnections, false);
    Ustawieniaczcionek1 = item(Ustawienia1, "Ustawieniaczcionek1", "Ustawienia czcionek",
                               QKeySequence(Qt::Key_F8), GlyphFonts, false);

    submenu(Pomoc1, "Pomoc1", "Pomoc");
    Pomoc2 = item(Pomoc1, "Pomoc2", "Pomoc...", QKeySequence(Qt::Key_F1), GlyphHelp, false);
    N1 = separator(Pomoc1, "N1");
    Producent1 = item(Pomoc1, "Producent1", "Producent...", QKeySequence(), GlyphInfo, true);

    // The service items never show in the menu, yet their shortcuts work:
    // they belong to the window itself (an invisible action takes no keys).
    auto hidden = [this](const char* name, const char* caption, const QKeySequence& shortcut, int tag) {
        auto* action = new QAction(QString::fromUtf8(caption), this);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setProperty(TagProperty, tag);
        addAction(action);
        connect(action, &QAction::triggered, this, [this, action] { Opcjeserwisowe1Click(TagOf(action)); });
        return action;
    };
    OS21 = hidden("OS21", "OS2", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F11), 1);
    Opcjeserwisowe1 = hidden("Opcjeserwisowe1", "Opcje serwisowe", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S), 0);

    mLanguage = new QMenu(QStringLiteral("Language"), MainMenu1);
    mLanguage->setObjectName(QStringLiteral("mLanguage"));
    MainMenu1->addMenu(mLanguage);

    connect(Otwrzplik1, &QAction::triggered, this, [this] { SBOpenFileClick(); });
    connect(Zapiszdopliku1, &QAction::triggered, this, [this] { SBSaveToFileClick(); });
    connect(MClose, &QAction::triggered, this, [this] { MCloseClick(); });
    connect(Wylij1, &QAction::triggered, this, [this] { SBSendConfigurationClick(); });
    connect(Pobierz1, &QAction::triggered, this, [this] { SBDownloadClick(); });
    connect(Weryfikujpowysaniu1, &QAction::triggered, this, [this] { Weryfikujpowysaniu1Click(); });
    connect(Historiawysyania1, &QAction::triggered, this, [this] { Historiawysyania1Click(); });
    connect(konfiguracja1, &QAction::triggered, this, [this] { SBConfigurationClick(); });
    connect(Sie1, &QAction::triggered, this, [this] { SBNetworkSettingsClick(); });
    connect(Ustawieniaczcionek1, &QAction::triggered, this, [this] { Ustawieniaczcionek1Click(); });
    connect(Pomoc2, &QAction::triggered, this, [this] { Pomoc2Click(); });
    connect(Producent1, &QAction::triggered, this, [this] { Producent1Click(); });
}

// ---------------------------------------------------------------- language

void TFLumarqPylon::BuildLanguageMenu()
{
    int n = 0;
    for (TLangData& language : DM.LanguageChanger.Languages) {
        auto* item = new QAction(language.Name, mLanguage);  // the menu owns its items
        item->setObjectName(QStringLiteral("MENULANG") + QString::number(n++));
        item->setIcon(Glyph(language.ImageIndex));
        connect(item, &QAction::triggered, this, [this, item] { LanguageMenuClick(item); });
        language.MenuItem = item;
        mLanguage->addAction(item);
    }
}

void TFLumarqPylon::LanguageMenuClick(QObject* sender)
{
    const TLangData* chosen = nullptr;
    for (const TLangData& language : DM.LanguageChanger.Languages)
        if (sender && language.MenuItem == sender) chosen = &language;
    if (!chosen) return;
    DM.Settings.LangId = chosen->Code.toStdString();
    DM.LoadLanguage();
    TranslateWindows();
    // Translating gives the combos the language's line names; the screen
    // must show the configuration's names.
    for (int L = 0; L < PriceLineEditor::Lines; ++L) editor_.ShowName(L, Pylon.Prices[L].Name);
}

void TFLumarqPylon::ClearSeparatorTexts()
{
    // The texts give the separators the caption "-", which marks a separator
    // where the texts come from; Qt would draw it beside the line.
    for (QAction* separator : {N1, N2}) separator->setText(QString());
}

void TFLumarqPylon::TranslateWindows()
{
    DM.LanguageChanger.Translate(this, objectName(), QString(), 0);
    ClearSeparatorTexts();
    DescribeControls();
    if (FInfoWindow) DM.LanguageChanger.Translate(FInfoWindow, FInfoWindow->objectName(), QString(), 0);
}

void TFLumarqPylon::DescribeControls()
{
    const std::pair<TSpeedButton*, QAction*> tools[] = {
        {SBOpenFile, Otwrzplik1},        {SBSaveToFile, Zapiszdopliku1}, {SBNetworkSettings, Sie1},
        {SBConfiguration, konfiguracja1}, {sbFonts, Ustawieniaczcionek1}, {SBSendConfiguration, Wylij1},
        {SBDownload, Pobierz1}};
    for (const auto& [button, action] : tools) {
        // The hint as translated, without the shortcut an earlier pass added.
        QString hint = button->toolTip();
        if (const int open = hint.lastIndexOf(QStringLiteral(" (")); open > 0 && hint.endsWith(QLatin1Char(')')))
            hint.truncate(open);
        button->setAccessibleName(hint);
        const QString keys = action->shortcut().toString(QKeySequence::NativeText);
        button->setToolTip(keys.isEmpty() ? hint : hint + QStringLiteral(" (") + keys + QLatin1Char(')'));
    }
    for (int L = 0; L < PriceLineEditor::Lines; ++L) {
        const QString line = MsgText(MsgLineName).arg(L + 1);
        DigitPanels[L]->setAccessibleDescription(MsgText(MsgDigitsHelp));
        NameBoxes[L]->setAccessibleName(MsgText(MsgNameName).arg(L + 1));
        NameBoxes[L]->lineEdit()->setAccessibleName(MsgText(MsgNameName).arg(L + 1));
        for (QCheckBox* box : FlagBoxes[L]) {
            box->setAccessibleName(box->text());
            box->setAccessibleDescription(line);
        }
        PointButtons[L].first->setAccessibleName(line + QStringLiteral(" .\u2190"));
        PointButtons[L].second->setAccessibleName(line + QStringLiteral(" .\u2192"));
        DescribeDigits(L);
    }
    CBDOMS->setAccessibleName(CBDOMS->text());

    // The menus open from the keyboard: Alt with the first letter of a title
    // that no menu before it took, as the system draws mnemonics.
    for (QShortcut* key : menuKeys_) delete key;
    menuKeys_.clear();
    auto opener = [this](const QKeySequence& keys, QMenu* menu) {
        auto* key = new QShortcut(keys, this);
        connect(key, &QShortcut::activated, this, [this, menu] { MainMenu1->setActiveAction(menu->menuAction()); });
        menuKeys_.push_back(key);
    };
    QString taken;
    for (QMenu* menu : {Plik1, komunikacja1, Ustawienia1, Pomoc1, mLanguage}) {
        for (const QChar c : menu->title().toUpper()) {
            if (!c.isLetter() || c.unicode() > 'Z' || taken.contains(c)) continue;
            taken += c;
            opener(QKeySequence(Qt::ALT | Qt::Key(c.unicode())), menu);
            break;
        }
    }
    opener(QKeySequence(Qt::Key_F10), Plik1);
}

void TFLumarqPylon::DescribeDigits(int L)
{
    // Each digit reads out as "Line 3, digit 4: 6"; the display as its focused digit.
    auto value = [this](int i) {
        const int picture = editor_.DigitPicture(i);
        if (picture >= 0 && picture <= 9) return QString::number(picture);
        return MsgText(picture == PriceLineEditor::Dash ? MsgDigitDash : MsgDigitBlank);
    };
    for (int k = 0; k < PriceLineEditor::DigitsPerLine; ++k) {
        const int i = PriceLineEditor::DigitsPerLine * L + k;
        const QString name = MsgText(MsgDigitName).arg(L + 1).arg(k + 1).arg(value(i));
        DigitImages[i]->setAccessibleName(name);
        DigitButtons[i].first->setAccessibleName(name + QStringLiteral(" \u2191"));
        DigitButtons[i].second->setAccessibleName(name + QStringLiteral(" \u2193"));
    }
    const int focused = PriceLineEditor::DigitsPerLine * L + typing_.FocusDigit();
    DigitPanels[L]->setAccessibleName(DigitImages[focused]->accessibleName());
}

// ---------------------------------------------------------------- price line handlers

void TFLumarqPylon::SBUp11Click(QObject* sender)
{
    typing_.EntryBroken();
    editor_.DigitUp(TagOf(sender));
}

void TFLumarqPylon::SBDown11Click(QObject* sender)
{
    typing_.EntryBroken();
    editor_.DigitDown(TagOf(sender));
}

void TFLumarqPylon::SBLeft1Click(QObject* sender)
{
    typing_.EntryBroken();
    editor_.PointLeft(TagOf(sender));
}

void TFLumarqPylon::SBRight1Click(QObject* sender)
{
    typing_.EntryBroken();
    editor_.PointRight(TagOf(sender));
}

void TFLumarqPylon::FlagBoxToggled(QObject* sender, PriceLineEditor::Box box)
{
    if (auto* check = qobject_cast<QCheckBox*>(sender)) editor_.SetBox(TagOf(sender), box, check->isChecked());
}

void TFLumarqPylon::CBZerosOff1Click(QObject* sender)
{
    FlagBoxToggled(sender, PriceLineEditor::ZerosOff);
}

void TFLumarqPylon::CBPriceOff1Click(QObject* sender)
{
    FlagBoxToggled(sender, PriceLineEditor::PriceOff);
}

void TFLumarqPylon::CBPriceBlinking1Click(QObject* sender)
{
    FlagBoxToggled(sender, PriceLineEditor::Blinking);
}

void TFLumarqPylon::CBPriceDash1Click(QObject* sender)
{
    FlagBoxToggled(sender, PriceLineEditor::PriceDash);
}

void TFLumarqPylon::CBName1Change(QObject* sender)
{
    if (auto* combo = qobject_cast<QComboBox*>(sender))
        editor_.NameEdited(TagOf(combo), Cp1250::FromUtf8(combo->currentText().toStdString()));
}

void TFLumarqPylon::CBDOMSClick()
{
    editor_.SetDoms(CBDOMS->isChecked());
}

// ---------------------------------------------------------------- typing

bool TFLumarqPylon::eventFilter(QObject* watched, QEvent* event)
{
    for (int L = 0; L < PriceLineEditor::Lines; ++L)
        if (watched == DigitPanels[L]) return DigitDisplayEvent(L, event);
    return QMainWindow::eventFilter(watched, event);
}

bool TFLumarqPylon::DigitDisplayEvent(int L, QEvent* event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
        typing_.Begin(L);
        ShowTypingFocus();
        return false;
    case QEvent::FocusOut:
        if (typing_.Line() == L) typing_.Accept();
        ShowTypingFocus();
        return false;
    case QEvent::MouseButtonPress: {
        // A click on a digit chooses it for Up and Down.
        const int x = static_cast<QMouseEvent*>(event)->position().toPoint().x();
        if (typing_.Line() != L) DigitPanels[L]->setFocus(Qt::MouseFocusReason);
        typing_.SetFocusDigit(qBound(0, (x - 4) / 41, PriceLineEditor::DigitsPerLine - 1));
        ShowTypingFocus();
        return false;
    }
    case QEvent::ShortcutOverride: {
        // Digits, the point and the editing keys belong to the display while it has the focus.
        auto* key = static_cast<QKeyEvent*>(event);
        if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            const int k = key->key();
            if ((k >= Qt::Key_0 && k <= Qt::Key_9) || k == Qt::Key_Period || k == Qt::Key_Comma
                || k == Qt::Key_Backspace || k == Qt::Key_Escape || k == Qt::Key_Return || k == Qt::Key_Enter
                || k == Qt::Key_Up || k == Qt::Key_Down || k == Qt::Key_Left || k == Qt::Key_Right)
                key->accept();
        }
        return false;
    }
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
        if (typing_.Line() != L) typing_.Begin(L);
        if (!TypedKey(key->key(), key->text())) return false;
        ShowTypingFocus();
        return true;
    }
    default:
        return false;
    }
}

bool TFLumarqPylon::TypedKey(int key, const QString& text)
{
    // The answer says whether the key belongs to the display; a refused
    // price key is still the display's, it only changes nothing.
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        typing_.Digit(key - Qt::Key_0);
        return true;
    }
    if (key == Qt::Key_Period || key == Qt::Key_Comma || text == QLatin1String(".") || text == QLatin1String(",")) {
        typing_.Point();
        return true;
    }
    switch (key) {
    case Qt::Key_Backspace: typing_.Backspace(); return true;
    case Qt::Key_Up: typing_.Up(); return true;
    case Qt::Key_Down: typing_.Down(); return true;
    case Qt::Key_Left: typing_.Left(); return true;
    case Qt::Key_Right: typing_.Right(); return true;
    case Qt::Key_Escape: typing_.Cancel(); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        // Accepted: what the line holds now is what the next Escape puts back.
        const int line = typing_.Line();
        typing_.Accept();
        typing_.Begin(line);
        return true;
    }
    default: return false;
    }
}

void TFLumarqPylon::ShowTypingFocus()
{
    for (int L = 0; L < PriceLineEditor::Lines; ++L) {
        DigitFocusFrame* frame = FocusFrames[L];
        const bool focused = typing_.Line() == L && DigitPanels[L]->hasFocus();
        if (focused) {
            frame->SetDigit(DigitImages[PriceLineEditor::DigitsPerLine * L + typing_.FocusDigit()]->geometry());
            frame->raise();
            DescribeDigits(L);
        }
        frame->setVisible(focused);
    }
}

// ---------------------------------------------------------------- display

void TFLumarqPylon::ShowPylon(K_PYLON snapshot)
{
    editor_.ShowPylon(snapshot);
    snapshot.AssignFields(Pylon);  // released by the caller: stores what is shown
}
void TFLumarqPylon::MovePointImage(int line, int oldPoint, int newPoint) { editor_.MovePointImage(line, oldPoint, newPoint); }
void TFLumarqPylon::BlankLeadingZeros(K_PYLON snapshot, int line) { editor_.BlankLeadingZeros(std::move(snapshot), line); }
void TFLumarqPylon::ShowLeadingZeros(K_PYLON snapshot, int line) { editor_.ShowLeadingZeros(std::move(snapshot), line); }
void TFLumarqPylon::ReblankAfterLeft(K_PYLON snapshot, int line) { editor_.ReblankAfterLeft(std::move(snapshot), line); }
void TFLumarqPylon::ReblankAfterRight(K_PYLON snapshot, int line) { editor_.ReblankAfterRight(std::move(snapshot), line); }
void TFLumarqPylon::ShowLinePrice(int line, int point) { editor_.ShowLinePrice(line, point); }
void TFLumarqPylon::ShowLineOff(int line, int point) { editor_.ShowLineOff(line, point); }
void TFLumarqPylon::ShowLineDash(int line, int point) { editor_.ShowLineDash(line, point); }

void TFLumarqPylon::DigitDrawn(int digit, int picture)
{
    const auto& pictures = PylonPictures::Digits();
    // A value beyond the picture list (from a foreign file) shows a dark cell.
    if (picture < 0 || picture >= pictures.size()) picture = PriceLineEditor::Blank;
    DigitImages[digit]->Draw(pictures[picture]);
    if (DigitPanels[digit / PriceLineEditor::DigitsPerLine] && !Msg[MsgDigitName].empty())
        DescribeDigits(digit / PriceLineEditor::DigitsPerLine);
}

void TFLumarqPylon::DigitTagChanged(int digit, int tag)
{
    DigitImages[digit]->setProperty(TagProperty, tag);
}

void TFLumarqPylon::ArrowsEnabled(int digit, bool enabled)
{
    DigitButtons[digit].first->setEnabled(enabled);
    DigitButtons[digit].second->setEnabled(enabled);
}

void TFLumarqPylon::PointDrawn(int point, int picture)
{
    PointImages[point]->Draw(PylonPictures::Digits()[picture]);
}

void TFLumarqPylon::IndicatorDrawn(int line, int picture)
{
    PointIndicators[line]->Draw(PylonPictures::ButtDots()[picture]);
}

void TFLumarqPylon::PointButtonsEnabled(int line, bool enabled)
{
    PointButtons[line].first->setEnabled(enabled);
    PointButtons[line].second->setEnabled(enabled);
}

void TFLumarqPylon::NameEnabled(int line, bool enabled)
{
    NameBoxes[line]->setEnabled(enabled);
}

void TFLumarqPylon::NameShown(int line, const std::string& ansi)
{
    NameBoxes[line]->setEditText(ToQt(ansi));
}

void TFLumarqPylon::BoxEnabled(int line, PriceLineEditor::Box box, bool enabled)
{
    FlagBoxes[line][box]->setEnabled(enabled);
}

void TFLumarqPylon::BoxChecked(int line, PriceLineEditor::Box box, bool checked)
{
    // The box's signal comes back to the editor, which already has this state.
    FlagBoxes[line][box]->setChecked(checked);
}

void TFLumarqPylon::DomsChecked(bool checked)
{
    CBDOMS->setChecked(checked);
}

// ---------------------------------------------------------------- file commands

void TFLumarqPylon::SBOpenFileClick()
{
    FileDialogRequest request;
    request.title = MsgText(25);
    request.filters = FileDialogFilters(MsgText(26));
    request.filterIndex = 1;
    request.initialFolder = DocumentsDir;
    request.fileName = lastOpenName_;
    request.defaultSuffix = QStringLiteral("lmqpyl");
    if (std::optional<QString> chosen = fileDialogs_->AskOpen(this, request)) {
        OpenFile(*chosen);
        return;
    }
    // Cancelled: the lines show what the model holds now.
    ShowPylon(K_PYLON(Pylon));
}

void TFLumarqPylon::OpenFile(const QString& fileName)
{
    lastOpenName_ = fileName;
    const int result = Pylon.LoadFromFile(QFile::encodeName(fileName).toStdString(), File);
    int message = -1;
    if (result == PylonFile::CannotOpen) message = 16;
    else if (result >= PylonFile::NoMakerCode && result <= PylonFile::NotCompleted) message = 16 + result;
    if (message >= 0) ShowWarningBox(MsgText(message), MB_ICONEXCLAMATION);
    // Opened or refused: the lines show what the model holds now.
    ShowPylon(K_PYLON(Pylon));
}

void TFLumarqPylon::BringToFront()
{
    if (isMinimized()) showNormal();
    else show();
    raise();
    activateWindow();
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}

void TFLumarqPylon::SBSaveToFileClick()
{
    FileDialogRequest request;
    request.title = MsgText(24);
    request.filters = FileDialogFilters(MsgText(26));
    request.filterIndex = 1;
    request.initialFolder = DocumentsDir;
    request.fileName = MsgText(27);  // proposed anew every time
    request.defaultSuffix = QStringLiteral("lmqpyl");
    request.confirmOverwrite = true;
    std::optional<QString> chosen = fileDialogs_->AskSave(this, request);
    if (!chosen) return;
    const int result = Pylon.SaveToFile(QFile::encodeName(*chosen).toStdString(), File);
    if (result == PylonFile::CannotOpen) ShowWarningBox(MsgText(16), MB_ICONEXCLAMATION);
    else if (result == PylonFile::WriteFailed) ShowWarningBox(MsgText(23), MB_ICONEXCLAMATION);
}

// ---------------------------------------------------------------- window commands

void TFLumarqPylon::MCloseClick()
{
    close();
}

void TFLumarqPylon::Pomoc2Click()
{
    // The manual of the current language, else the English one, each looked
    // for beside the program first, then in the installation's share folder.
    const QStringList names = {QStringLiteral("Lumarq Pylon ") + ToQString(DM.Settings.LangId) + QStringLiteral(".pdf"),
                               QStringLiteral("Lumarq Pylon EN.pdf")};
    const QStringList folders = DataFolders(ProgramDir);
    QString manual;
    for (const QString& name : names)
        for (const QString& folder : folders)
            if (manual.isEmpty() && QFileInfo(WithSlash(folder) + name).isFile()) manual = WithSlash(folder) + name;
    int code;
    if (!manual.isEmpty()) {
        code = Shell::OpenDocument(manual);
    } else {
        ShowErrorBox(QStringLiteral("ERROR"));
        code = 0;
    }
    if (code < 32) ShowPlainMessage(QStringLiteral("PDF - ERROR ") + QString::number(code));
}

void TFLumarqPylon::Producent1Click()
{
    TFAbout about(this, MsgText(38), QApplication::applicationDisplayName(), VersionText, MsgText(39), QString());
    about.exec();
}

// ---------------------------------------------------------------- commands of the pylon link,
// the settings dialogs and the service window

void TFLumarqPylon::UseHistory(const std::string& path)
{
    recorder_.reset();
    history_ = std::make_unique<History>(path);
    recorder_ = std::make_unique<HistoryRecorder>(*history_, "LumarqPylon", ProgramVersionText());
}

void TFLumarqPylon::Historiawysyania1Click()
{
    if (!history_->IsOpen() && !history_->Open()) {
        ShowWarningBox(MsgText(MsgHistoryCannotOpen) + QStringLiteral("\n") + ToQString(history_->LastError()),
                       MB_ICONEXCLAMATION);
        return;
    }
    TFSendHistory window(this, DM.LanguageChanger, *history_, *fileDialogs_);
    window.exec();
}

PylonCommandEnv TFLumarqPylon::CommandEnv()
{
    recorder_->SetLog(FInfoWindow);
    return {Pylon, Link, ComPort, *FInfoWindow, *waiter_,
            [](const std::string& text, int style) { ShowWarningBox(ToQString(text), style); },
            [](const std::string& text) { ShowErrorBox(ToQString(text)); },
            [this](const K_PYLON& model) { ShowPylon(K_PYLON(model)); },
            recorder_.get()};
}

void TFLumarqPylon::SBSendConfigurationClick()
{
    if (!FInfoWindow) return;
    TransferOptions options;
    options.verifyAfterSend = Weryfikujpowysaniu1->isChecked();
    TransferRunner::Run(CommandEnv(), [this, options](PylonCommandEnv& env) {
        LastTransfer = ConfigTransfer(env, options).Send();
    });
}

void TFLumarqPylon::SBDownloadClick()
{
    if (!FInfoWindow) return;
    TransferRunner::Run(CommandEnv(), [this](PylonCommandEnv& env) { LastTransfer = ConfigTransfer(env).Download(); });
}

void TFLumarqPylon::Weryfikujpowysaniu1Click()
{
    if (Pylon.Session()) SessionStore::SaveVerifyAfterSend(*Pylon.Session(), Weryfikujpowysaniu1->isChecked());
}

void TFLumarqPylon::SBConfigurationClick()
{
    try {
        FLumarqConfiguration = new TFLumarqConfiguration(this, DM.LanguageChanger, Pylon);
    } catch (const std::bad_alloc&) {
        FLumarqConfiguration = nullptr;
    }
    if (!FLumarqConfiguration) {
        ShowWarningBox(MsgText(13), MB_ICONEXCLAMATION);
        return;
    }
    FLumarqConfiguration->exec();
    delete FLumarqConfiguration;
    FLumarqConfiguration = nullptr;
}

void TFLumarqPylon::SBNetworkSettingsClick()
{
    try {
        FLumarqNetworkSettings = new TFLumarqNetworkSettings(this, DM.LanguageChanger, Pylon);
    } catch (const std::bad_alloc&) {
        FLumarqNetworkSettings = nullptr;
    }
    if (!FLumarqNetworkSettings) {
        ShowWarningBox(MsgText(13), MB_ICONEXCLAMATION);
        return;
    }
    FLumarqNetworkSettings->exec();
    delete FLumarqNetworkSettings;
    FLumarqNetworkSettings = nullptr;
}

void TFLumarqPylon::sbFontsClick()
{
    TfPylonFontSetting fonts(this, DM.LanguageChanger, Pylon);
    fonts.exec();
}

void TFLumarqPylon::Ustawieniaczcionek1Click()
{
    sbFontsClick();
}

void TFLumarqPylon::Opcjeserwisowe1Click(int tag)
{
    if (!FInfoWindow) return;
    // Modal to this window only, so the information window's own close button
    // still answers while the service window is open.
    QPointer<TFServiceOptions> service =
        new TFServiceOptions(this, tag, DM, Pylon, Link, *FInfoWindow, {}, *waiter_);
    recorder_->SetLog(FInfoWindow);
    service->Recorder = recorder_.get();
    service->setWindowModality(Qt::WindowModal);
    service->exec();
    // Closed by its buttons it deletes itself; make sure it is gone now.
    delete service.data();
}

void TFLumarqPylon::LogPort(int msg)
{
    if (destroying_ || !FInfoWindow) return;
    FInfoWindow->AppendLine(Msg[msg] + " " + Cp1250::ToUtf8(ComPort.Port()));
}

void TFLumarqPylon::ComPortBeforeOpen() { LogPort(40); }
void TFLumarqPylon::ComPortAfterOpen() { LogPort(41); }
void TFLumarqPylon::ComPortBeforeClose() { LogPort(42); }
void TFLumarqPylon::ComPortAfterClose() { LogPort(43); }
