#pragma once
#include <functional>
#include <QDate>
#include <QDialog>

#include "comm/PylonCommandEnv.h"
#include "comm/TComPort.h"

class K_CONNECTION;
class K_PYLON;
class ProgressLog;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QToolButton;
class TDM;
class TransferRecorder;
class Waiter;

// The service window: the pylon's geometry and its display tests, for
// service staff only. Locked until the day's password of its mode is typed;
// it only reads the model, and is destroyed when it closes.
class TFServiceOptions : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("DesignClass", "TFServiceOptions")
public:
    using DateSource = std::function<QDate()>;

    // passwordMode: the Tag of the menu item that opened the window (0 or 1).
    // today: the date the password is made from (empty: the system clock).
    TFServiceOptions(QWidget* owner, int passwordMode, TDM& dm, K_PYLON& model, K_CONNECTION& link,
                     ProgressLog& log, DateSource today, Waiter& waiter);
    ~TFServiceOptions() override;

    int PasswordMode() const { return passwordMode_; }
    bool Unlocked() const { return unlocked_; }

    static constexpr int ClientWidth = 323;
    static constexpr int ClientHeight = 501;
    static constexpr int InfoHeight = 79;
    static constexpr int ServiceHeight = 323;

    QFrame* PInfo = nullptr;
    QLabel* Label2 = nullptr;
    QFrame* PPassword = nullptr;
    QLabel* LPass = nullptr;
    QLineEdit* EPassword = nullptr;
    QToolButton* SBOKPass = nullptr;
    QFrame* PServise = nullptr;
    QLabel* Linfo1 = nullptr;
    QComboBox* CBList1 = nullptr;
    QLabel* LInfo2 = nullptr;
    QComboBox* CBList2 = nullptr;
    QToolButton* SBSendConfiguration = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QToolButton* SpeedButton4 = nullptr;
    QToolButton* SpeedButton5 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    TComPort ComPort;
    // Told about every pylon of the service commands (the send history); none: not recorded.
    TransferRecorder* Recorder = nullptr;

public slots:
    void SBOKPassClick();
    void EPasswordKeyPress();
    void EPasswordClick();
    void SBSendConfigurationClick();
    void SpeedButton5Click();
    void SpeedButton1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ComPortBeforeOpen();
    void ComPortAfterOpen();
    void ComPortBeforeClose();
    void ComPortAfterClose();
    void LogPort(int msg);
    void RunTest(uint8_t code);
    PylonCommandEnv CommandEnv();
    void LayOutPanels();
    void CentreOnScreen();

    int passwordMode_;
    K_PYLON& model_;
    K_CONNECTION& link_;
    ProgressLog& log_;
    DateSource today_;
    Waiter& waiter_;
    bool unlocked_ = false;
};
