#include "ui/main/MainWindow.h"

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
#include "comm/SerialPortError.h"
#include "comm/PylonCommandEnv.h"
#include "history/History.h"
#include "history/HistoryRecorder.h"
#include "model/Version.h"
#include "ui/comm/ProgressLogWindow.h"
#include "ui/comm/TransferRunner.h"
#include "ui/comm/ServiceWindow.h"
#include "ui/lang/MessageBoxes.h"
#include "ui/lang/QtText.h"
#include "ui/lang/QtComponents.h"
#include "ui/lang/SystemLanguage.h"
#include "ui/lang/DataModule.h"
#include "model/Cp1250.h"
#include "model/PylonConfig.h"
#include "model/PylonFile.h"
#include "model/SessionStore.h"
#include "ui/dialogs/BrightnessDialog.h"
#include "ui/dialogs/ConnectionDialog.h"
#include "ui/dialogs/FontDialog.h"
#include "ui/history/SendHistoryWindow.h"
#include "ui/main/DigitFocusFrame.h"
#include "ui/main/PackedPictures.h"
#include "ui/main/ProgramVersion.h"
#include "ui/main/PylonPictures.h"
#include "ui/common/DataFolders.h"
#include "ui/common/DesignFont.h"
#include "ui/common/Keyboard.h"
#include "ui/common/QtFileDialogs.h"
#include "ui/main/Shell.h"
#include "ui/main/LineCheckBox.h"
#include "ui/main/AboutWindow.h"
#include "ui/main/PictureBox.h"
#include "ui/main/FlatButton.h"

namespace {

constexpr const char* TagProperty = "Tag";

// The line panels from the top, and the digit panel inside each.
constexpr const char* LinePanelNames[7] = {"Panel8", "Panel10", "Panel2", "Panel12", "Panel13", "Panel14", "Panel1"};
constexpr const char* DigitPanelNames[7] = {"PPrice1", "PPrice2", "PPrice3", "PPrice4", "PPrice5", "PPrice6", "Panel3"};

// The design items of every name combo: suggestions, free text is allowed.
const char* const NameItems[12] = {"Pb98",   "Pb95", "ON",  "ON TIR", "LPG", "Myjnia",
                                   "Waluta", "USD",  "EUR", "CHF",    "GBP", "JPY"};

constexpr int NameMaxLength = 20;

int TagOf(const QObject* sender) { return sender ? sender->property(TagProperty).toInt() : -1; }

QString Name(const char* prefix, int line, int digit = 0)
{
    QString name = QLatin1String(prefix) + QString::number(line);
    if (digit) name += QString::number(digit);
    return name;
}

QString ToQt(const std::string& ansi) { return QString::fromStdString(Cp1250::ToUtf8(ansi)); }

QString WithSlash(QString dir)
{
    if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
    return dir;
}

}  // namespace

MainWindow::MainWindow(PylonConfig& model, FileHeader& file, PylonLink& link, DataModule& dm, QWidget* parent)
    : QMainWindow(parent), Pylon(model), File(file), Link(link), Shared(dm), editor_(model)
{
    Q_INIT_RESOURCE(assets);
    setObjectName(QStringLiteral("FLumarqPylon"));
    setWindowTitle(QStringLiteral("Lumarq Pylon"));
    // Single border, not resizable, system menu and minimise button only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(DesignFont());

    // 1. The controls, and 2. the control tables, filled as the lines are made.
    CreateControls();
    editor_.SetObserver(this);
    editor_.Publish();

    screenDialogs_ = std::make_unique<QtFileDialogs>();
    fileDialogs_ = screenDialogs_.get();
    UseHistory(History::DefaultPath());
    ProgramDir = QCoreApplication::applicationDirPath();

    SerialLine.OnBeforeOpen = [this] { PortOpening(); };
    SerialLine.OnAfterOpen = [this] { PortOpened(); };
    SerialLine.OnBeforeClose = [this] { PortClosing(); };
    SerialLine.OnAfterClose = [this] { PortClosed(); };

    // 3. and 4.
    VersionText = ProgramVersion::Text();
    DocumentsDir = ProgramVersion::DocumentsDir(VersionText);

    // 5. to 8.: the language menu, the start-up language, the texts.
    BuildLanguageMenu();
    if (Shared.Settings.LangId.empty()) Shared.Settings.LangId = LanguageCodeFor(SystemPrimaryLanguageId());
    Shared.LoadLanguage();
    Shared.Changer.Translate(this, objectName(), QString(), 0);
    ClearSeparatorTexts();
    DescribeControls();

    // 9.
    ShowPylon(PylonConfig(Pylon));

    // Centred on the screen.
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - frameGeometry().center() + pos());
}

MainWindow::~MainWindow()
{
    // A port an error left open closes without a word: the program is ending,
    // and the information window may already be gone.
    destroying_ = true;
    try {
        SerialLine.Close();
    } catch (const SerialPortError&) {}
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

void MainWindow::SetFileDialogs(FileDialogs* dialogs) { fileDialogs_ = dialogs ? dialogs : screenDialogs_.get(); }

void MainWindow::SetWaiter(Waiter* waiter) { waiter_ = waiter ? waiter : &sleepWaiter_; }

QIcon MainWindow::Glyph(int index) const
{
    return index >= 0 && index < Shared.Glyphs.size() ? Shared.Glyphs[index] : QIcon();
}

// ---------------------------------------------------------------- design

void MainWindow::CreateControls()
{
    ClientArea = new QWidget(this);
    ClientArea->setFixedSize(ClientWidth, ClientHeight);
    setCentralWidget(ClientArea);

    LeftColumnImage = new QLabel(ClientArea);
    LeftColumnImage->setObjectName(QStringLiteral("Image1"));
    LeftColumnImage->setGeometry(0, 0, 70, ClientHeight);
    LeftColumnImage->setScaledContents(true);
    LeftColumnImage->setPixmap(PackedPictures::Pixmap("left-column"));

    CreateToolbar();

    DomsBox = new QCheckBox(QStringLiteral("DOMS"), ClientArea);
    DomsBox->setObjectName(QStringLiteral("CBDOMS"));
    DomsBox->setGeometry(4, 555, 60, 17);
    DomsBox->setVisible(false);
    connect(DomsBox, &QCheckBox::toggled, this, [this] { DomsClicked(); });

    for (int L = 0; L < PriceLineEditor::Lines; ++L) CreateLine(L);

    CreateMenu();
    SetTabOrder();

    // The window is exactly the client area below its menu.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void MainWindow::CreateToolbar()
{
    struct Tool {
        FlatButton** button;
        const char* name;
        const char* glyph;
        const char* hint;
        void (MainWindow::*handler)();
    };
    const Tool tools[] = {
        {&OpenButton, "SBOpenFile", "glyphs/open", "Otwórz", &MainWindow::OpenClicked},
        {&SaveButton, "SBSaveToFile", "glyphs/save", "Zapisz", &MainWindow::SaveClicked},
        {&ConnectionsButton, "SBNetworkSettings", "glyphs/network", "Ustawienia połączeń",
         &MainWindow::ConnectionsClicked},
        {&BrightnessButton, "SBConfiguration", "glyphs/brightness", "Konfiguracja jasności",
         &MainWindow::BrightnessClicked},
        {&FontsButton, "sbFonts", "glyphs/fonts", "Ustawienia czcionek", &MainWindow::FontsClicked},
        {&SendButton, "SBSendConfiguration", "glyphs/send", "Wyślij", &MainWindow::SendClicked},
        {&DownloadButton, "SBDownload", "glyphs/download", "Pobierz", &MainWindow::DownloadClicked},
    };
    int y = 0;
    for (const Tool& t : tools) {
        auto* b = new FlatButton(ClientArea);
        b->setObjectName(QLatin1String(t.name));
        b->setGeometry(2, y, 65, 50);
        b->SetGlyph(PackedPictures::Pixmap(t.glyph));
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

void MainWindow::CreateLine(int L)
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
    // The digit arrows' hover frames, for the arrows to take from the display.
    black.setColor(QPalette::Light, QColor(110, 110, 110));
    black.setColor(QPalette::Dark, QColor(40, 40, 40));
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

    for (int d = 1; d <= 6; ++d) {
        const int i = PriceLineEditor::DigitsPerLine * L + d - 1;
        auto* image =
            new PictureBox(digits, QRect(4 + 41 * (d - 1), 12, PylonPictures::DigitWidth, PylonPictures::DigitHeight));
        image->setObjectName(Name("IDigit", n, d));
        image->setProperty(TagProperty, 0);
        DigitImages[i] = image;

        auto* bUp = new FlatButton(digits);
        bUp->setObjectName(Name("SBUp", n, d));
        bUp->setGeometry(6 + 41 * (d - 1), 2, 26, 10);
        bUp->setProperty(TagProperty, i);
        bUp->SetGlyph(up, upOff);
        connect(bUp, &QAbstractButton::clicked, this, [this, bUp] { DigitUpClicked(bUp); });

        auto* bDown = new FlatButton(digits);
        bDown->setObjectName(Name("SBDown", n, d));
        bDown->setGeometry(6 + 41 * (d - 1), 60, 26, 10);
        bDown->setProperty(TagProperty, i);
        bDown->SetGlyph(down, downOff);
        connect(bDown, &QAbstractButton::clicked, this, [this, bDown] { DigitDownClicked(bDown); });
        DigitButtons[i] = {bUp, bDown};
    }
    for (int d = 1; d <= 5; ++d) {
        auto* dot = new PictureBox(digits, QRect(34 + 41 * (d - 1), 12, 11, PylonPictures::DigitHeight));
        dot->setObjectName(Name("IDot", n, d));
        PointImages[PriceLineEditor::PointsPerLine * L + d - 1] = dot;
    }
    FocusFrames[L] = new DigitFocusFrame(digits);
    FocusFrames[L]->setObjectName(Name("FDigitFocus", n));

    auto* name = new QComboBox(panel);
    name->setObjectName(Name("CBName", n));
    // Bold before the combo makes its line edit and list: they are made in
    // the bold font instead of being told of it one by one afterwards.
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    name->setEditable(true);
    name->setInsertPolicy(QComboBox::NoInsert);
    name->setCompleter(nullptr);  // what the operator sees is what the model gets
    name->setMaxVisibleItems(10);
    for (const char* item : NameItems) name->addItem(QString::fromUtf8(item));
    name->lineEdit()->setMaxLength(NameMaxLength);
    RefuseAltTyping(name->lineEdit());
    name->setEditText(ToQt(PylonConfig::DefaultName(n)));
    name->setGeometry(252, 12, 169, qMax(21, name->sizeHint().height()));
    name->setProperty(TagProperty, L);
    // Only the operator's typing and picking change the model; texts the
    // program sets (showing the model, translating) do not.
    connect(name->lineEdit(), &QLineEdit::textEdited, this, [this, name] { NameChanged(name); });
    connect(name, &QComboBox::activated, this, [this, name] { NameChanged(name); });
    NameBoxes[L] = name;

    auto* bLeft = new FlatButton(panel);
    bLeft->setObjectName(Name("SBLeft", n));
    bLeft->setGeometry(252, 51, 50, 20);
    bLeft->setProperty(TagProperty, L);
    bLeft->SetGlyph(left);
    connect(bLeft, &QAbstractButton::clicked, this, [this, bLeft] { PointLeftClicked(bLeft); });
    auto* bRight = new FlatButton(panel);
    bRight->setObjectName(Name("SBRight", n));
    bRight->setGeometry(n == 7 ? 308 : 310, 51, 50, 20);
    bRight->setProperty(TagProperty, L);
    bRight->SetGlyph(right);
    connect(bRight, &QAbstractButton::clicked, this, [this, bRight] { PointRightClicked(bRight); });
    PointButtons[L] = {bLeft, bRight};

    auto* indicator = new PictureBox(panel, QRect(301, 52, PylonPictures::DotWidth, PylonPictures::DotHeight),
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
        auto* box = new LineCheckBox(QString::fromUtf8(f.caption), panel);
        box->setObjectName(Name(f.name, n));
        box->setGeometry(428, f.y, 580 - 428 - 3, 17);
        box->setProperty(TagProperty, L);
        // Runs on every change of the checked state, the program's own included.
        switch (f.box) {
        case PriceLineEditor::PriceOff:
            connect(box, &QCheckBox::toggled, this, [this, box] { PriceOffClicked(box); });
            break;
        case PriceLineEditor::PriceDash:
            connect(box, &QCheckBox::toggled, this, [this, box] { DashClicked(box); });
            break;
        case PriceLineEditor::Blinking:
            connect(box, &QCheckBox::toggled, this, [this, box] { BlinkingClicked(box); });
            break;
        default: connect(box, &QCheckBox::toggled, this, [this, box] { ZerosOffClicked(box); }); break;
        }
        FlagBoxes[L][f.box] = box;
    }
}

void MainWindow::SetTabOrder()
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

void MainWindow::CreateMenu()
{
    MenuBar = menuBar();
    MenuBar->setObjectName(QStringLiteral("MainMenu1"));
    MenuBar->setFont(QApplication::font(MenuBar));

    auto submenu = [this](QMenu*& menu, const char* name, const char* caption) {
        menu = new QMenu(QString::fromUtf8(caption), MenuBar);
        menu->setObjectName(QLatin1String(name));
        MenuBar->addMenu(menu);
    };
    auto item = [this](QMenu* menu, const char* name, const char* caption, const QKeySequence& shortcut, int glyph,
                       bool isDefault) {
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

    submenu(FileMenu, "Plik1", "Plik");
    OpenItem = item(FileMenu, "Otwrzplik1", "Otwórz...", QKeySequence(Qt::CTRL | Qt::Key_O), GlyphOpen, true);
    SaveItem = item(FileMenu, "Zapiszdopliku1", "Zapisz...", QKeySequence(Qt::CTRL | Qt::Key_S), GlyphSave, false);
    FileSeparator = separator(FileMenu, "N2");
    CloseItem = item(FileMenu, "MClose", "Zamknij", QKeySequence(), -1, false);

    submenu(CommunicationMenu, "komunikacja1", "Komunikacja");
    SendItem = item(CommunicationMenu, "Wylij1", "Wyślij", QKeySequence(Qt::Key_F5), GlyphSend, true);
    DownloadItem = item(CommunicationMenu, "Pobierz1", "Pobierz", QKeySequence(Qt::Key_F9), GlyphDownload, false);
    VerifyAfterSendItem =
        item(CommunicationMenu, "Weryfikujpowysaniu1", "Weryfikuj po wysłaniu", QKeySequence(), -1, false);
    VerifyAfterSendItem->setCheckable(true);
    VerifyAfterSendItem->setChecked(Pylon.Session() && SessionStore::LoadVerifyAfterSend(*Pylon.Session()));
    SendHistoryItem = item(CommunicationMenu, "Historiawysyania1", "Historia wysyłania...", QKeySequence(), -1, false);

    submenu(SettingsMenu, "Ustawienia1", "Ustawienia");
    BrightnessItem = item(SettingsMenu, "konfiguracja1", "Konfiguracja jasności...", QKeySequence(Qt::Key_F6),
                          GlyphBrightness, true);
    ConnectionsItem =
        item(SettingsMenu, "Sie1", "Ustawienia połączeń", QKeySequence(Qt::Key_F7), GlyphConnections, false);
    FontsItem =
        item(SettingsMenu, "Ustawieniaczcionek1", "Ustawienia czcionek", QKeySequence(Qt::Key_F8), GlyphFonts, false);

    submenu(HelpMenu, "Pomoc1", "Pomoc");
    HelpItem = item(HelpMenu, "Pomoc2", "Pomoc...", QKeySequence(Qt::Key_F1), GlyphHelp, false);
    HelpSeparator = separator(HelpMenu, "N1");
    AboutItem = item(HelpMenu, "Producent1", "Producent...", QKeySequence(), GlyphInfo, true);

    // The service items never show in the menu, yet their shortcuts work:
    // they belong to the window itself (an invisible action takes no keys).
    auto hidden = [this](const char* name, const char* caption, const QKeySequence& shortcut, int tag) {
        auto* action = new QAction(QString::fromUtf8(caption), this);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setProperty(TagProperty, tag);
        addAction(action);
        connect(action, &QAction::triggered, this, [this, action] { ServiceOptionsChosen(TagOf(action)); });
        return action;
    };
    SecondServiceItem = hidden("OS21", "OS2", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F11), 1);
    ServiceItem = hidden("Opcjeserwisowe1", "Opcje serwisowe", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S), 0);

    LanguageMenu = new QMenu(QStringLiteral("Language"), MenuBar);
    LanguageMenu->setObjectName(QStringLiteral("mLanguage"));
    MenuBar->addMenu(LanguageMenu);

    connect(OpenItem, &QAction::triggered, this, [this] { OpenClicked(); });
    connect(SaveItem, &QAction::triggered, this, [this] { SaveClicked(); });
    connect(CloseItem, &QAction::triggered, this, [this] { CloseClicked(); });
    connect(SendItem, &QAction::triggered, this, [this] { SendClicked(); });
    connect(DownloadItem, &QAction::triggered, this, [this] { DownloadClicked(); });
    connect(VerifyAfterSendItem, &QAction::triggered, this, [this] { VerifyAfterSendClicked(); });
    connect(SendHistoryItem, &QAction::triggered, this, [this] { SendHistoryClicked(); });
    connect(BrightnessItem, &QAction::triggered, this, [this] { BrightnessClicked(); });
    connect(ConnectionsItem, &QAction::triggered, this, [this] { ConnectionsClicked(); });
    connect(FontsItem, &QAction::triggered, this, [this] { FontsItemClicked(); });
    connect(HelpItem, &QAction::triggered, this, [this] { HelpClicked(); });
    connect(AboutItem, &QAction::triggered, this, [this] { AboutClicked(); });
}

// ---------------------------------------------------------------- language

void MainWindow::BuildLanguageMenu()
{
    int n = 0;
    for (LanguageEntry& language : Shared.Changer.Languages) {
        auto* item = new QAction(language.Name, LanguageMenu);  // the menu owns its items
        item->setObjectName(QStringLiteral("MENULANG") + QString::number(n++));
        item->setIcon(Glyph(language.ImageIndex));
        connect(item, &QAction::triggered, this, [this, item] { LanguageChosen(item); });
        language.MenuItem = item;
        LanguageMenu->addAction(item);
    }
}

void MainWindow::LanguageChosen(QObject* sender)
{
    const LanguageEntry* chosen = nullptr;
    for (const LanguageEntry& language : Shared.Changer.Languages)
        if (sender && language.MenuItem == sender) chosen = &language;
    if (!chosen) return;
    Shared.Settings.LangId = chosen->Code.toStdString();
    Shared.LoadLanguage();
    TranslateWindows();
    // Translating gives the combos the language's line names; the screen
    // must show the configuration's names.
    for (int L = 0; L < PriceLineEditor::Lines; ++L) editor_.ShowName(L, Pylon.Prices[L].Name);
}

void MainWindow::ClearSeparatorTexts()
{
    // The texts give the separators the caption "-", which marks a separator
    // where the texts come from; Qt would draw it beside the line.
    for (QAction* separator : {HelpSeparator, FileSeparator}) separator->setText(QString());
}

void MainWindow::TranslateWindows()
{
    Shared.Changer.Translate(this, objectName(), QString(), 0);
    ClearSeparatorTexts();
    DescribeControls();
    if (LogWindow) Shared.Changer.Translate(LogWindow, LogWindow->objectName(), QString(), 0);
}

void MainWindow::DescribeControls()
{
    const std::pair<FlatButton*, QAction*> tools[] = {{OpenButton, OpenItem},
                                                      {SaveButton, SaveItem},
                                                      {ConnectionsButton, ConnectionsItem},
                                                      {BrightnessButton, BrightnessItem},
                                                      {FontsButton, FontsItem},
                                                      {SendButton, SendItem},
                                                      {DownloadButton, DownloadItem}};
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
    DomsBox->setAccessibleName(DomsBox->text());

    // The menus open from the keyboard: Alt with the first letter of a title
    // that no menu before it took, as the system draws mnemonics.
    for (QShortcut* key : menuKeys_) delete key;
    menuKeys_.clear();
    auto opener = [this](const QKeySequence& keys, QMenu* menu) {
        auto* key = new QShortcut(keys, this);
        connect(key, &QShortcut::activated, this, [this, menu] { MenuBar->setActiveAction(menu->menuAction()); });
        menuKeys_.push_back(key);
    };
    QString taken;
    for (QMenu* menu : {FileMenu, CommunicationMenu, SettingsMenu, HelpMenu, LanguageMenu}) {
        for (const QChar c : menu->title().toUpper()) {
            if (!c.isLetter() || c.unicode() > 'Z' || taken.contains(c)) continue;
            taken += c;
            opener(QKeySequence(Qt::ALT | Qt::Key(c.unicode())), menu);
            break;
        }
    }
    opener(QKeySequence(Qt::Key_F10), FileMenu);
}

void MainWindow::DescribeDigits(int L)
{
    for (int k = 0; k < PriceLineEditor::DigitsPerLine; ++k) DescribeDigit(PriceLineEditor::DigitsPerLine * L + k);
}

void MainWindow::DescribeDigit(int i)
{
    // Each digit reads out as "Line 3, digit 4: 6"; the display as its focused digit.
    const int L = i / PriceLineEditor::DigitsPerLine;
    const int picture = editor_.DigitPicture(i);
    const QString value = picture >= 0 && picture <= 9
                              ? QString::number(picture)
                              : MsgText(picture == PriceLineEditor::Dash ? MsgDigitDash : MsgDigitBlank);
    const QString name = MsgText(MsgDigitName).arg(L + 1).arg(i % PriceLineEditor::DigitsPerLine + 1).arg(value);
    DigitImages[i]->setAccessibleName(name);
    DigitButtons[i].first->setAccessibleName(name + QStringLiteral(" \u2191"));
    DigitButtons[i].second->setAccessibleName(name + QStringLiteral(" \u2193"));
    if (i == PriceLineEditor::DigitsPerLine * L + typing_.FocusDigit()) DigitPanels[L]->setAccessibleName(name);
}

// ---------------------------------------------------------------- price line handlers

void MainWindow::DigitUpClicked(QObject* sender)
{
    typing_.EntryBroken();
    editor_.DigitUp(TagOf(sender));
}

void MainWindow::DigitDownClicked(QObject* sender)
{
    typing_.EntryBroken();
    editor_.DigitDown(TagOf(sender));
}

void MainWindow::PointLeftClicked(QObject* sender)
{
    typing_.EntryBroken();
    editor_.PointLeft(TagOf(sender));
}

void MainWindow::PointRightClicked(QObject* sender)
{
    typing_.EntryBroken();
    editor_.PointRight(TagOf(sender));
}

void MainWindow::FlagBoxToggled(QObject* sender, PriceLineEditor::Box box)
{
    if (auto* check = qobject_cast<QCheckBox*>(sender)) editor_.SetBox(TagOf(sender), box, check->isChecked());
}

void MainWindow::ZerosOffClicked(QObject* sender) { FlagBoxToggled(sender, PriceLineEditor::ZerosOff); }

void MainWindow::PriceOffClicked(QObject* sender) { FlagBoxToggled(sender, PriceLineEditor::PriceOff); }

void MainWindow::BlinkingClicked(QObject* sender) { FlagBoxToggled(sender, PriceLineEditor::Blinking); }

void MainWindow::DashClicked(QObject* sender) { FlagBoxToggled(sender, PriceLineEditor::PriceDash); }

void MainWindow::NameChanged(QObject* sender)
{
    if (auto* combo = qobject_cast<QComboBox*>(sender))
        editor_.NameEdited(TagOf(combo), Cp1250::FromUtf8(combo->currentText().toStdString()));
}

void MainWindow::DomsClicked() { editor_.SetDoms(DomsBox->isChecked()); }

// ---------------------------------------------------------------- typing

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    for (int L = 0; L < PriceLineEditor::Lines; ++L)
        if (watched == DigitPanels[L]) return DigitDisplayEvent(L, event);
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::DigitDisplayEvent(int L, QEvent* event)
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
            if ((k >= Qt::Key_0 && k <= Qt::Key_9) || k == Qt::Key_Period || k == Qt::Key_Comma ||
                k == Qt::Key_Backspace || k == Qt::Key_Escape || k == Qt::Key_Return || k == Qt::Key_Enter ||
                k == Qt::Key_Up || k == Qt::Key_Down || k == Qt::Key_Left || k == Qt::Key_Right)
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
    default: return false;
    }
}

bool MainWindow::TypedKey(int key, const QString& text)
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

void MainWindow::ShowTypingFocus()
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

void MainWindow::ShowPylon(PylonConfig snapshot)
{
    editor_.ShowPylon(snapshot);
    snapshot.AssignFields(Pylon);  // released by the caller: stores what is shown
}
void MainWindow::MovePointImage(int line, int oldPoint, int newPoint)
{
    editor_.MovePointImage(line, oldPoint, newPoint);
}
void MainWindow::BlankLeadingZeros(PylonConfig snapshot, int line)
{
    editor_.BlankLeadingZeros(std::move(snapshot), line);
}
void MainWindow::ShowLeadingZeros(PylonConfig snapshot, int line)
{
    editor_.ShowLeadingZeros(std::move(snapshot), line);
}
void MainWindow::ReblankAfterLeft(PylonConfig snapshot, int line)
{
    editor_.ReblankAfterLeft(std::move(snapshot), line);
}
void MainWindow::ReblankAfterRight(PylonConfig snapshot, int line)
{
    editor_.ReblankAfterRight(std::move(snapshot), line);
}
void MainWindow::ShowLinePrice(int line, int point) { editor_.ShowLinePrice(line, point); }
void MainWindow::ShowLineOff(int line, int point) { editor_.ShowLineOff(line, point); }
void MainWindow::ShowLineDash(int line, int point) { editor_.ShowLineDash(line, point); }

void MainWindow::DigitDrawn(int digit, int picture)
{
    const auto& pictures = PylonPictures::Digits();
    // A value beyond the picture list (from a foreign file) shows a dark cell.
    if (picture < 0 || picture >= pictures.size()) picture = PriceLineEditor::Blank;
    DigitImages[digit]->Draw(pictures[picture]);
    if (DigitPanels[digit / PriceLineEditor::DigitsPerLine] && !Msg[MsgDigitName].empty()) DescribeDigit(digit);
}

void MainWindow::DigitTagChanged(int digit, int tag) { DigitImages[digit]->setProperty(TagProperty, tag); }

void MainWindow::ArrowsEnabled(int digit, bool enabled)
{
    DigitButtons[digit].first->setEnabled(enabled);
    DigitButtons[digit].second->setEnabled(enabled);
}

void MainWindow::PointDrawn(int point, int picture) { PointImages[point]->Draw(PylonPictures::Digits()[picture]); }

void MainWindow::IndicatorDrawn(int line, int picture)
{
    PointIndicators[line]->Draw(PylonPictures::ButtDots()[picture]);
}

void MainWindow::PointButtonsEnabled(int line, bool enabled)
{
    PointButtons[line].first->setEnabled(enabled);
    PointButtons[line].second->setEnabled(enabled);
}

void MainWindow::NameEnabled(int line, bool enabled) { NameBoxes[line]->setEnabled(enabled); }

void MainWindow::NameShown(int line, const std::string& ansi) { NameBoxes[line]->setEditText(ToQt(ansi)); }

void MainWindow::BoxEnabled(int line, PriceLineEditor::Box box, bool enabled)
{
    FlagBoxes[line][box]->setEnabled(enabled);
}

void MainWindow::BoxChecked(int line, PriceLineEditor::Box box, bool checked)
{
    // The box's signal comes back to the editor, which already has this state.
    FlagBoxes[line][box]->setChecked(checked);
}

void MainWindow::DomsChecked(bool checked) { DomsBox->setChecked(checked); }

// ---------------------------------------------------------------- file commands

void MainWindow::OpenClicked()
{
    FileDialogRequest request;
    request.title = MsgText(MsgOpenTitle);
    request.filters = FileDialogFilters(MsgText(MsgFileFilter));
    request.filterIndex = 1;
    request.initialFolder = DocumentsDir;
    request.fileName = lastOpenName_;
    request.defaultSuffix = QStringLiteral("lmqpyl");
    if (std::optional<QString> chosen = fileDialogs_->AskOpen(this, request)) {
        OpenFile(*chosen);
        return;
    }
    // Cancelled: the lines show what the model holds now.
    ShowPylon(PylonConfig(Pylon));
}

void MainWindow::OpenFile(const QString& fileName)
{
    lastOpenName_ = fileName;
    const int result = Pylon.LoadFromFile(QFile::encodeName(fileName).toStdString(), File);
    int message = -1;
    if (result == PylonFile::CannotOpen) message = 16;
    else if (result >= PylonFile::NoMakerCode && result <= PylonFile::NotCompleted) message = 16 + result;
    if (message >= 0) ShowWarningBox(MsgText(message), MB_ICONEXCLAMATION);
    // Opened or refused: the lines show what the model holds now.
    ShowPylon(PylonConfig(Pylon));
}

void MainWindow::BringToFront()
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

void MainWindow::SaveClicked()
{
    FileDialogRequest request;
    request.title = MsgText(MsgSaveTitle);
    request.filters = FileDialogFilters(MsgText(MsgFileFilter));
    request.filterIndex = 1;
    request.initialFolder = DocumentsDir;
    request.fileName = MsgText(MsgDefaultFileName);  // proposed anew every time
    request.defaultSuffix = QStringLiteral("lmqpyl");
    request.confirmOverwrite = true;
    std::optional<QString> chosen = fileDialogs_->AskSave(this, request);
    if (!chosen) return;
    const int result = Pylon.SaveToFile(QFile::encodeName(*chosen).toStdString(), File);
    if (result == PylonFile::CannotOpen) ShowWarningBox(MsgText(MsgFileOpenError), MB_ICONEXCLAMATION);
    else if (result == PylonFile::WriteFailed) ShowWarningBox(MsgText(MsgFileSaveError), MB_ICONEXCLAMATION);
}

// ---------------------------------------------------------------- window commands

void MainWindow::CloseClicked() { close(); }

void MainWindow::HelpClicked()
{
    // The manual of the current language, else the English one, each looked
    // for beside the program first, then in the installation's share folder.
    const QStringList names = {QStringLiteral("Lumarq Pylon ") + ToQString(Shared.Settings.LangId) +
                                   QStringLiteral(".pdf"),
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

void MainWindow::AboutClicked()
{
    AboutWindow about(this, MsgText(MsgProducer), QApplication::applicationDisplayName(), VersionText, MsgText(MsgAllRights), QString());
    about.exec();
}

// ---------------------------------------------------------------- commands of the pylon link,
// the settings dialogs and the service window

void MainWindow::UseHistory(const std::string& path)
{
    recorder_.reset();
    history_ = std::make_unique<History>(path);
    recorder_ = std::make_unique<HistoryRecorder>(*history_, "LumarqPylon", ProgramVersionText());
}

void MainWindow::SendHistoryClicked()
{
    if (!history_->IsOpen() && !history_->Open()) {
        ShowWarningBox(MsgText(MsgHistoryCannotOpen) + QStringLiteral("\n") + ToQString(history_->LastError()),
                       MB_ICONEXCLAMATION);
        return;
    }
    SendHistoryWindow window(this, Shared.Changer, *history_, *fileDialogs_);
    window.exec();
}

PylonCommandEnv MainWindow::CommandEnv()
{
    recorder_->SetLog(LogWindow);
    return {Pylon,
            Link,
            SerialLine,
            *LogWindow,
            *waiter_,
            [](const std::string& text, int style) { ShowWarningBox(ToQString(text), style); },
            [](const std::string& text) { ShowErrorBox(ToQString(text)); },
            [this](const PylonConfig& model) { ShowPylon(PylonConfig(model)); },
            recorder_.get()};
}

void MainWindow::SendClicked()
{
    if (!LogWindow) return;
    TransferOptions options;
    options.verifyAfterSend = VerifyAfterSendItem->isChecked();
    TransferRunner::Run(CommandEnv(),
                        [this, options](PylonCommandEnv& env) { LastTransfer = ConfigTransfer(env, options).Send(); });
}

void MainWindow::DownloadClicked()
{
    if (!LogWindow) return;
    TransferRunner::Run(CommandEnv(), [this](PylonCommandEnv& env) { LastTransfer = ConfigTransfer(env).Download(); });
}

void MainWindow::VerifyAfterSendClicked()
{
    if (Pylon.Session()) SessionStore::SaveVerifyAfterSend(*Pylon.Session(), VerifyAfterSendItem->isChecked());
}

void MainWindow::BrightnessClicked()
{
    try {
        OpenBrightnessDialog = new BrightnessDialog(this, Shared.Changer, Pylon);
    } catch (const std::bad_alloc&) {
        OpenBrightnessDialog = nullptr;
    }
    if (!OpenBrightnessDialog) {
        ShowWarningBox(MsgText(MsgMemoryError), MB_ICONEXCLAMATION);
        return;
    }
    OpenBrightnessDialog->exec();
    delete OpenBrightnessDialog;
    OpenBrightnessDialog = nullptr;
}

void MainWindow::ConnectionsClicked()
{
    try {
        OpenConnectionDialog = new ConnectionDialog(this, Shared.Changer, Pylon);
    } catch (const std::bad_alloc&) {
        OpenConnectionDialog = nullptr;
    }
    if (!OpenConnectionDialog) {
        ShowWarningBox(MsgText(MsgMemoryError), MB_ICONEXCLAMATION);
        return;
    }
    OpenConnectionDialog->exec();
    delete OpenConnectionDialog;
    OpenConnectionDialog = nullptr;
}

void MainWindow::FontsClicked()
{
    FontDialog fonts(this, Shared.Changer, Pylon);
    fonts.exec();
}

void MainWindow::FontsItemClicked() { FontsClicked(); }

void MainWindow::ServiceOptionsChosen(int tag)
{
    if (!LogWindow) return;
    // Modal to this window only, so the information window's own close button
    // still answers while the service window is open.
    QPointer<ServiceWindow> service = new ServiceWindow(this, tag, Shared, Pylon, Link, *LogWindow, {}, *waiter_);
    recorder_->SetLog(LogWindow);
    service->Recorder = recorder_.get();
    service->setWindowModality(Qt::WindowModal);
    service->exec();
    // Closed by its buttons it deletes itself; make sure it is gone now.
    delete service.data();
}

void MainWindow::LogPort(int msg)
{
    if (destroying_ || !LogWindow) return;
    LogWindow->AppendLine(Msg[msg] + " " + Cp1250::ToUtf8(SerialLine.Port()));
}

void MainWindow::PortOpening() { LogPort(MsgOpeningPort); }
void MainWindow::PortOpened() { LogPort(MsgOpenedPort); }
void MainWindow::PortClosing() { LogPort(MsgClosingPort); }
void MainWindow::PortClosed() { LogPort(MsgClosedPort); }
