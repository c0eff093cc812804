#pragma once
#include <functional>
#include <string>
#include <vector>
#include <QDialog>
#include <QIcon>
#include <QList>
#include <QStringList>

class K_PYLON;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QTabWidget;
class QToolButton;
class TLanguageChanger;
class TStringGrid;

// How the program reaches its pylons: the list of network pylons (name,
// address, port, active) and the serial port with its speed. Copies the
// model into its controls when shown and writes it back on OK only.
class TFLumarqNetworkSettings : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("DesignClass", "TFLumarqNetworkSettings")
public:
    static constexpr int ClientWidth = 332;
    static constexpr int ClientHeight = 387;
    // Grid columns.
    enum { ColName = 0, ColIP = 1, ColPort = 2, ColState = 3, ColCount = 4 };
    // Speed codes of the serial layer offered in cbComSpeed.
    static constexpr int Speed2400 = 5;
    static constexpr int Speed9600 = 7;

    // The serial ports of this machine, by the names the model keeps.
    using PortList = std::function<std::vector<std::string>()>;

    // `ports` lists the serial ports (the port layer's list unless given).
    TFLumarqNetworkSettings(QWidget* owner, TLanguageChanger& language, K_PYLON& model, PortList ports = {});
    ~TFLumarqNetworkSettings() override;

    QList<QIcon> ImageList;
    QTabWidget* pc = nullptr;
    QWidget* tbLAN = nullptr;
    QWidget* tbCOM = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* EName = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* EIP1 = nullptr;
    QLineEdit* EIP2 = nullptr;
    QLineEdit* EIP3 = nullptr;
    QLineEdit* EIP4 = nullptr;
    QCheckBox* CBState = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* EPort = nullptr;
    QToolButton* SBAdd = nullptr;
    QToolButton* SBSub = nullptr;
    TStringGrid* SGTable = nullptr;
    QCheckBox* chbUseCOM = nullptr;
    QLabel* Label4 = nullptr;
    QComboBox* cbCom = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* cbComSpeed = nullptr;
    QFrame* Panel2 = nullptr;
    QToolButton* SBOK = nullptr;
    QToolButton* SBAbort = nullptr;

    // From show to close: the two state texts and the list that edits a
    // State cell in place.
    QStringList StateItems;
    QComboBox* StateCombo = nullptr;
    // The row Delete removes, and the cell of the last click on the grid.
    int SelectedRow = 1;
    int EditCol = 0;
    int EditRow = 0;

    void FillComPorts();
    void PlaceStateCombo(int col, int row);

public slots:
    void FormShow();
    void FormClose();
    void SBOKClick();
    void SBAbortClick();
    void SBAddClick();
    void SBSubClick();
    void EIP1Change(QLineEdit* edit);
    void EPortChange();
    void EIP1Click(QLineEdit* edit);
    void EIP1Exit(QLineEdit* edit);
    void SGTableMouseUp(QPoint at);
    void SGTableExit();
    void StateComboChange();
    void StateComboExit();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SGTableDrawCell(QPainter& painter, int col, int row, const QRect& rect, bool selected);
    void LimitNumber(QLineEdit* edit, long limit);
    void ProposeName();
    bool IsNumberEdit(QObject* o) const;

    K_PYLON& model_;
    PortList ports_;
};

// The dialog while the main window shows it, else null.
extern TFLumarqNetworkSettings* FLumarqNetworkSettings;
