#pragma once
#include <array>
#include <memory>
#include <utility>
#include <vector>

#include <QMainWindow>
#include <QString>

#include "comm/SerialPort.h"
#include "comm/TransferResult.h"
#include "comm/Waiter.h"
#include "ui/common/FileDialogs.h"
#include "model/PriceLineEditor.h"
#include "model/PriceTyping.h"

class History;
class HistoryRecorder;
class PylonLink;
class PylonConfig;
struct PylonCommandEnv;
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QShortcut;
class DataModule;
class DigitFocusFrame;
class ProgressLogWindow;
class PictureBox;
class FlatButton;
struct FileHeader;

// The main window: the toolbar on the left column, the menu, and the seven
// price lines of the pylon picture. Every edit goes straight into the model.
class MainWindow : public QMainWindow, private PriceLineEditor::Observer {
    Q_OBJECT
    Q_CLASSINFO("DesignClass", "TFLumarqPylon")
public:
    static constexpr int ClientWidth = 665;
    static constexpr int ClientHeight = 576;

    MainWindow(PylonConfig& model, FileHeader& file, PylonLink& link, DataModule& dm, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The information window is made after the main window.
    void SetInfoWindow(ProgressLogWindow* infoWindow) { LogWindow = infoWindow; }
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
    PylonConfig& Pylon;
    FileHeader& File;
    PylonLink& Link;
    DataModule& Shared;
    ProgressLogWindow* LogWindow = nullptr;
    // The serial port of Send and Download.
    SerialPort SerialLine;

    // What the last Send or Download did with each pylon.
    TransferResult LastTransfer;

    QString VersionText;
    QString DocumentsDir;
    // The program's folder; the manuals are looked for in its DataFolders.
    QString ProgramDir;

    // ---- controls
    QWidget* ClientArea = nullptr;
    QLabel* LeftColumnImage = nullptr;
    FlatButton* OpenButton = nullptr;
    FlatButton* SaveButton = nullptr;
    FlatButton* ConnectionsButton = nullptr;
    FlatButton* BrightnessButton = nullptr;
    FlatButton* FontsButton = nullptr;
    FlatButton* SendButton = nullptr;
    FlatButton* DownloadButton = nullptr;
    QCheckBox* DomsBox = nullptr;

    QMenuBar* MenuBar = nullptr;
    QMenu* FileMenu = nullptr;
    QAction* OpenItem = nullptr;
    QAction* SaveItem = nullptr;
    QAction* FileSeparator = nullptr;
    QAction* CloseItem = nullptr;
    QMenu* CommunicationMenu = nullptr;
    QAction* SendItem = nullptr;
    QAction* DownloadItem = nullptr;         // Download, F9
    QAction* VerifyAfterSendItem = nullptr;  // checkable: read each pylon back after sending
    QAction* SendHistoryItem = nullptr;
    QMenu* SettingsMenu = nullptr;
    QAction* BrightnessItem = nullptr;
    QAction* ConnectionsItem = nullptr;
    QAction* FontsItem = nullptr;
    QMenu* HelpMenu = nullptr;
    QAction* HelpItem = nullptr;
    QAction* HelpSeparator = nullptr;
    QAction* AboutItem = nullptr;
    QAction* SecondServiceItem = nullptr;  // hidden; its shortcut still works
    QAction* ServiceItem = nullptr;        // hidden; its shortcut still works
    QMenu* LanguageMenu = nullptr;

    // ---- control tables of the price lines (L line 0 to 6, k digit 0 to 5)
    std::array<QFrame*, PriceLineEditor::Lines> LinePanels{};
    std::array<QFrame*, PriceLineEditor::Lines> DigitPanels{};
    std::array<PictureBox*, PriceLineEditor::Digits> DigitImages{};  // 6L + k
    std::array<PictureBox*, PriceLineEditor::Points> PointImages{};  // 5L + j: the point after digit j + 1
    std::array<std::pair<FlatButton*, FlatButton*>, PriceLineEditor::Digits> DigitButtons{};  // up, down
    std::array<std::pair<FlatButton*, FlatButton*>, PriceLineEditor::Lines> PointButtons{};   // left, right
    std::array<PictureBox*, PriceLineEditor::Lines> PointIndicators{};
    std::array<QComboBox*, PriceLineEditor::Lines> NameBoxes{};
    // Blinking, leading zeros, dash, off.
    std::array<std::array<QCheckBox*, PriceLineEditor::BoxCount>, PriceLineEditor::Lines> FlagBoxes{};

    // Over each digit display: which line and digit take typed keys.
    std::array<DigitFocusFrame*, PriceLineEditor::Lines> FocusFrames{};

    PriceLineEditor& Editor() { return editor_; }
    PriceTyping& Typing() { return typing_; }

    // ---- display operations
    void ShowPylon(PylonConfig snapshot);
    void MovePointImage(int line, int oldPoint, int newPoint);
    void BlankLeadingZeros(PylonConfig snapshot, int line);
    void ShowLeadingZeros(PylonConfig snapshot, int line);
    void ReblankAfterLeft(PylonConfig snapshot, int line);
    void ReblankAfterRight(PylonConfig snapshot, int line);
    void ShowLinePrice(int line, int point);
    void ShowLineOff(int line, int point);
    void ShowLineDash(int line, int point);

    void BuildLanguageMenu();

public slots:
    // ---- price line handlers; the sender's Tag tells the digit or line
    void DigitUpClicked(QObject* sender);
    void DigitDownClicked(QObject* sender);
    void PointLeftClicked(QObject* sender);
    void PointRightClicked(QObject* sender);
    void ZerosOffClicked(QObject* sender);
    void PriceOffClicked(QObject* sender);
    void BlinkingClicked(QObject* sender);
    void DashClicked(QObject* sender);
    void NameChanged(QObject* sender);
    void DomsClicked();

    // ---- commands
    void OpenClicked();
    void SaveClicked();
    void CloseClicked();
    void HelpClicked();
    void AboutClicked();
    void LanguageChosen(QObject* sender);

    // Commands of the pylon link, the settings dialogs and the service window.
    virtual void SendClicked();
    virtual void DownloadClicked();
    virtual void BrightnessClicked();
    virtual void ConnectionsClicked();
    virtual void FontsClicked();
    virtual void FontsItemClicked();
    virtual void ServiceOptionsChosen(int tag);
    // Stores the state of "Verify after sending" for the next start.
    void VerifyAfterSendClicked();
    virtual void SendHistoryClicked();

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
    void DescribeDigit(int digit);
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
    void PortOpening();
    void PortOpened();
    void PortClosing();
    void PortClosed();
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
