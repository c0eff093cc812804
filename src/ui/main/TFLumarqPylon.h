#pragma once
#include <array>
#include <memory>
#include <utility>
#include <vector>

#include <QMainWindow>
#include <QString>

#include "comm/TComPort.h"
#include "comm/TransferResult.h"
#include "comm/Waiter.h"
#include "ui/common/FileDialogs.h"
#include "model/PriceLineEditor.h"
#include "model/PriceTyping.h"

class History;
class HistoryRecorder;
class K_CONNECTION;
class K_PYLON;
struct PylonCommandEnv;
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QShortcut;
class TDM;
class DigitFocusFrame;
class TFInfoWindow;
class TImage;
class TSpeedButton;
struct K_FILE;

// The main window: the toolbar on the left column, the menu, and the seven
// price lines of the pylon picture. Every edit goes straight into the model.
class TFLumarqPylon : public QMainWindow, private PriceLineEditor::Observer {
    Q_OBJECT
    Q_CLASSINFO("DesignClass", "TFLumarqPylon")
public:
    static constexpr int ClientWidth = 665;
    static constexpr int ClientHeight = 576;

    TFLumarqPylon(K_PYLON& model, K_FILE& file, K_CONNECTION& link, TDM& dm, QWidget* parent = nullptr);
    ~TFLumarqPylon() override;

    // The information window is made after the main window.
    void SetInfoWindow(TFInfoWindow* infoWindow) { FInfoWindow = infoWindow; }
    // The open and save dialogs (the screen's unless a test sets its own; not owned).
    void SetFileDialogs(FileDialogs* dialogs);
    // The pauses of the pylon commands (real sleeps unless a test sets its own; not owned).
    void SetWaiter(Waiter* waiter);
    // The send history the commands record into and the history window shows
    // (the per-user file unless a test names another).
    void UseHistory(const std::string& path);
    History& SendHistory() { return *history_; }

    // Opens a configuration file as the Open command does after its dialog:
    // the model takes the file, a refusal shows its warning, the lines show
    // what the model holds. Used for the file named on the command line.
    void OpenFile(const QString& fileName);
    // Shows the window in front of the others (restored when minimised); a
    // dialog the window has open comes to the front instead.
    void BringToFront();

    // ---- the module's objects, for the commands
    K_PYLON& Pylon;
    K_FILE& File;
    K_CONNECTION& Link;
    TDM& DM;
    TFInfoWindow* FInfoWindow = nullptr;
    // The serial port of Send and Download.
    TComPort ComPort;

    // What the last Send or Download did with each pylon.
    TransferResult LastTransfer;

    QString VersionText;
    QString DocumentsDir;
    // The program's folder; the manuals are looked for in its DataFolders.
    QString ProgramDir;

    // ---- controls
    QWidget* ClientArea = nullptr;
    QLabel* Image1 = nullptr;
    TSpeedButton* SBOpenFile = nullptr;
    TSpeedButton* SBSaveToFile = nullptr;
    TSpeedButton* SBNetworkSettings = nullptr;
    TSpeedButton* SBConfiguration = nullptr;
    TSpeedButton* sbFonts = nullptr;
    TSpeedButton* SBSendConfiguration = nullptr;
    TSpeedButton* SBDownload = nullptr;
    QCheckBox* CBDOMS = nullptr;

    QMenuBar* MainMenu1 = nullptr;
    QMenu* Plik1 = nullptr;
    QAction* Otwrzplik1 = nullptr;
    QAction* Zapiszdopliku1 = nullptr;
    QAction* N2 = nullptr;
    QAction* MClose = nullptr;
    QMenu* komunikacja1 = nullptr;
    QAction* Wylij1 = nullptr;
    QAction* Pobierz1 = nullptr;  // Download, F9
    QAction* Weryfikujpowysaniu1 = nullptr;  // checkable: read each pylon back after sending
    QAction* Historiawysyania1 = nullptr;
    QMenu* Ustawienia1 = nullptr;
    QAction* konfiguracja1 = nullptr;
    QAction* Sie1 = nullptr;
    QAction* Ustawieniaczcionek1 = nullptr;
    QMenu* Pomoc1 = nullptr;
    QAction* Pomoc2 = nullptr;
    QAction* N1 = nullptr;
    QAction* Producent1 = nullptr;
    QAction* OS21 = nullptr;             // hidden; its shortcut still works
    QAction* Opcjeserwisowe1 = nullptr;  // hidden; its shortcut still works
    QMenu* mLanguage = nullptr;

    // ---- control tables of the price lines (L line 0 to 6, k digit 0 to 5)
    std::array<QFrame*, PriceLineEditor::Lines> LinePanels{};
    std::array<QFrame*, PriceLineEditor::Lines> DigitPanels{};
    std::array<TImage*, PriceLineEditor::Digits> DigitImages{};    // 6L + k
    std::array<TImage*, PriceLineEditor::Points> PointImages{};    // 5L + j: the point after digit j + 1
    std::array<std::pair<TSpeedButton*, TSpeedButton*>, PriceLineEditor::Digits> DigitButtons{};  // up, down
    std::array<std::pair<TSpeedButton*, TSpeedButton*>, PriceLineEditor::Lines> PointButtons{};   // left, right
    std::array<TImage*, PriceLineEditor::Lines> PointIndicators{};
    std::array<QComboBox*, PriceLineEditor::Lines> NameBoxes{};
    // Blinking, leading zeros, dash, off.
    std::array<std::array<QCheckBox*, PriceLineEditor::BoxCount>, PriceLineEditor::Lines> FlagBoxes{};

    // Over each digit display: which line and digit take typed keys.
    std::array<DigitFocusFrame*, PriceLineEditor::Lines> FocusFrames{};

    PriceLineEditor& Editor() { return editor_; }
    PriceTyping& Typing() { return typing_; }

    // ---- display operations
    void ShowPylon(K_PYLON snapshot);
    void MovePointImage(int line, int oldPoint, int newPoint);
    void BlankLeadingZeros(K_PYLON snapshot, int line);
    void ShowLeadingZeros(K_PYLON snapshot, int line);
    void ReblankAfterLeft(K_PYLON snapshot, int line);
    void ReblankAfterRight(K_PYLON snapshot, int line);
    void ShowLinePrice(int line, int point);
    void ShowLineOff(int line, int point);
    void ShowLineDash(int line, int point);

    void BuildLanguageMenu();

public slots:
    // ---- price line handlers; the sender's Tag tells the digit or line
    void SBUp11Click(QObject* sender);
    void SBDown11Click(QObject* sender);
    void SBLeft1Click(QObject* sender);
    void SBRight1Click(QObject* sender);
    void CBZerosOff1Click(QObject* sender);
    void CBPriceOff1Click(QObject* sender);
    void CBPriceBlinking1Click(QObject* sender);
    void CBPriceDash1Click(QObject* sender);
    void CBName1Change(QObject* sender);
    void CBDOMSClick();

    // ---- commands
    void SBOpenFileClick();
    void SBSaveToFileClick();
    void MCloseClick();
    void Pomoc2Click();
    void Producent1Click();
    void LanguageMenuClick(QObject* sender);

    // Commands of the pylon link, the settings dialogs and the service window.
    virtual void SBSendConfigurationClick();
    virtual void SBDownloadClick();
    virtual void SBConfigurationClick();
    virtual void SBNetworkSettingsClick();
    virtual void sbFontsClick();
    virtual void Ustawieniaczcionek1Click();
    virtual void Opcjeserwisowe1Click(int tag);
    // Stores the state of "Verify after sending" for the next start.
    void Weryfikujpowysaniu1Click();
    virtual void Historiawysyania1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Keys and focus of a line's digit display.
    bool DigitDisplayEvent(int line, QEvent* event);
    bool TypedKey(int key, const QString& text);
    void ShowTypingFocus();
    void SetTabOrder();
    void CreateControls();
    void CreateMenu();
    void CreateToolbar();
    void CreateLine(int line);
    void TranslateWindows();
    // After every translation: the tool tips name their menu shortcuts, and
    // every control that takes the focus has its accessible name.
    void DescribeControls();
    void DescribeDigits(int line);
    void ClearSeparatorTexts();
    QIcon Glyph(int index) const;

    // PriceLineEditor::Observer
    void DigitDrawn(int digit, int picture) override;
    void DigitTagChanged(int digit, int tag) override;
    void ArrowsEnabled(int digit, bool enabled) override;
    void PointDrawn(int point, int picture) override;
    void IndicatorDrawn(int line, int picture) override;
    void PointButtonsEnabled(int line, bool enabled) override;
    void NameEnabled(int line, bool enabled) override;
    void NameShown(int line, const std::string& ansi) override;
    void BoxEnabled(int line, PriceLineEditor::Box box, bool enabled) override;
    void BoxChecked(int line, PriceLineEditor::Box box, bool checked) override;
    void DomsChecked(bool checked) override;

    void FlagBoxToggled(QObject* sender, PriceLineEditor::Box box);

    // The port's lines in the information window; silent while the window is destroyed.
    void ComPortBeforeOpen();
    void ComPortAfterOpen();
    void ComPortBeforeClose();
    void ComPortAfterClose();
    void LogPort(int msg);
    PylonCommandEnv CommandEnv();

    PriceLineEditor editor_;
    // The send history every command of the window records into.
    std::unique_ptr<History> history_;
    std::unique_ptr<HistoryRecorder> recorder_;
    PriceTyping typing_{editor_};
    std::unique_ptr<FileDialogs> screenDialogs_;
    FileDialogs* fileDialogs_ = nullptr;
    // The open dialog shows the name last chosen in it this run.
    QString lastOpenName_;
    SleepWaiter sleepWaiter_;
    Waiter* waiter_ = &sleepWaiter_;
    bool destroying_ = false;
    // Alt with a menu's letter opens it, F10 the first menu; made anew for each language.
    std::vector<QShortcut*> menuKeys_;
};
