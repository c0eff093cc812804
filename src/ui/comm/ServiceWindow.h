#pragma once
#include <functional>
#include <QDate>
#include <QDialog>

#include "comm/PylonCommandEnv.h"
#include "comm/SerialPort.h"

class PylonLink;
class PylonConfig;
class ProgressLog;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QToolButton;
class DataModule;
class TransferRecorder;
class Waiter;

// The service window: the pylon's geometry and its display tests, for
// service staff only. Locked until the day's password of its mode is typed;
// it only reads the model, and is destroyed when it closes.
class ServiceWindow : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("DesignClass", "TFServiceOptions")
public:
    using DateSource = std::function<QDate()>;

    // passwordMode: the Tag of the menu item that opened the window (0 or 1).
    // today: the date the password is made from (empty: the system clock).
    ServiceWindow(QWidget* owner, int passwordMode, DataModule& dm, PylonConfig& model, PylonLink& link,
                  ProgressLog& log, DateSource today, Waiter& waiter);
    ~ServiceWindow() override;

    int PasswordMode() const { return passwordMode_; }
    bool Unlocked() const { return unlocked_; }

    static constexpr int ClientWidth = 323;
    static constexpr int ClientHeight = 501;
    static constexpr int InfoHeight = 79;
    static constexpr int ServiceHeight = 323;

    QFrame* WarningPanel = nullptr;
    QLabel* WarningLabel = nullptr;
    QFrame* PasswordPanel = nullptr;
    QLabel* PasswordLabel = nullptr;
    QLineEdit* PasswordEdit = nullptr;
    QToolButton* PasswordOkButton = nullptr;
    QFrame* ServicePanel = nullptr;
    QLabel* DigitsLabel = nullptr;
    QComboBox* DigitsList = nullptr;
    QLabel* LinesLabel = nullptr;
    QComboBox* LinesList = nullptr;
    QToolButton* SendButton = nullptr;
    QToolButton* AllLedsButton = nullptr;
    QToolButton* AddressesButton = nullptr;
    QToolButton* FirmwareButton = nullptr;
    QToolButton* EndTestsButton = nullptr;
    QToolButton* CloseButton = nullptr;
    SerialPort SerialLine;
    // Told about every pylon of the service commands (the send history); none: not recorded.
    TransferRecorder* Recorder = nullptr;

public slots:
    void PasswordOkClicked();
    void PasswordKeyPressed();
    void PasswordClicked();
    void SendClicked();
    void TestClicked();
    void CloseClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void PortOpening();
    void PortOpened();
    void PortClosing();
    void PortClosed();
    void LogPort(int msg);
    void RunTest(uint8_t code);
    PylonCommandEnv CommandEnv();
    void LayOutPanels();
    void CentreOnScreen();

    int passwordMode_;
    PylonConfig& model_;
    PylonLink& link_;
    ProgressLog& log_;
    DateSource today_;
    Waiter& waiter_;
    bool unlocked_ = false;
};
