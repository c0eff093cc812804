#pragma once
#include <functional>
#include <string>
#include <vector>
#include <QDialog>
#include <QIcon>
#include <QList>
#include <QStringList>

class PylonConfig;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QTabWidget;
class QToolButton;
class LanguageChanger;
class StringGrid;

// How the program reaches its pylons: the list of network pylons (name,
// address, port, active) and the serial port with its speed. Copies the
// model into its controls when shown and writes it back on OK only.
class ConnectionDialog : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("DesignClass", "TFLumarqNetworkSettings")
public:
    static constexpr int ClientWidth = 332;
    static constexpr int ClientHeight = 387;
    // Grid columns.
    enum { ColName = 0, ColIP = 1, ColPort = 2, ColState = 3, ColCount = 4 };
    // Speed codes of the serial layer offered in SpeedBox.
    static constexpr int Speed2400 = 5;
    static constexpr int Speed9600 = 7;

    // The serial ports of this machine, by the names the model keeps.
    using PortList = std::function<std::vector<std::string>()>;

    // `ports` lists the serial ports (the port layer's list unless given).
    ConnectionDialog(QWidget* owner, LanguageChanger& language, PylonConfig& model, PortList ports = {});
    ~ConnectionDialog() override;

    QList<QIcon> PageIcons;
    QTabWidget* Pages = nullptr;
    QWidget* LanPage = nullptr;
    QWidget* SerialPage = nullptr;
    QFrame* PylonPanel = nullptr;
    QLabel* NameLabel = nullptr;
    QLineEdit* NameEdit = nullptr;
    QLabel* AddressLabel = nullptr;
    QLineEdit* AddressEdit1 = nullptr;
    QLineEdit* AddressEdit2 = nullptr;
    QLineEdit* AddressEdit3 = nullptr;
    QLineEdit* AddressEdit4 = nullptr;
    QCheckBox* ActiveBox = nullptr;
    QLabel* PortLabel = nullptr;
    QLineEdit* PortEdit = nullptr;
    QToolButton* AddButton = nullptr;
    QToolButton* DeleteButton = nullptr;
    StringGrid* PylonGrid = nullptr;
    QCheckBox* UseSerialBox = nullptr;
    QLabel* SerialPortLabel = nullptr;
    QComboBox* SerialPortBox = nullptr;
    QLabel* SpeedLabel = nullptr;
    QComboBox* SpeedBox = nullptr;
    QFrame* ButtonPanel = nullptr;
    QToolButton* OkButton = nullptr;
    QToolButton* CancelButton = nullptr;

    // From show to close: the two state texts and the list that edits a
    // State cell in place.
    QStringList StateItems;
    QComboBox* StateCombo = nullptr;
    // The row Delete removes, and the cell of the last click on the grid.
    int SelectedRow = 1;
    int EditCol = 0;
    int EditRow = 0;

    void FillSerialPorts();
    void PlaceStateCombo(int col, int row);

public slots:
    void PrepareToShow();
    void PrepareToClose();
    void OkClicked();
    void CancelClicked();
    void AddClicked();
    void DeleteClicked();
    void AddressChanged(QLineEdit* edit);
    void PortChanged();
    void AddressClicked(QLineEdit* edit);
    void AddressLeft(QLineEdit* edit);
    void GridMouseUp(QPoint at);
    void GridLeft();
    void StateChanged();
    void StateComboLeft();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DrawGridCell(QPainter& painter, int col, int row, const QRect& rect, bool selected);
    void LimitNumber(QLineEdit* edit, long limit);
    void ProposeName();
    bool IsNumberEdit(QObject* o) const;

    PylonConfig& model_;
    PortList ports_;
};

// The dialog while the main window shows it, else null.
extern ConnectionDialog* OpenConnectionDialog;
