#pragma once
#include <QDialog>

#include "history/History.h"

class FileDialogs;
class HistoryTableModel;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class TLanguageChanger;

// The send history window: every record newest first, filtered by pylon,
// by result and by a range of days, the whole of the selected record, and
// the shown records exported as CSV through the file dialog seam.
class TFSendHistory : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("DesignClass", "TFSendHistory")
public:
    TFSendHistory(QWidget* owner, TLanguageChanger& language, History& history, FileDialogs& dialogs);
    ~TFSendHistory() override;

    // The filter of the controls as they stand.
    HistoryFilter CurrentFilter() const;
    HistoryTableModel* Model() const { return model_; }

    QLabel* LPylon = nullptr;
    QComboBox* CBPylon = nullptr;
    QLabel* LResult = nullptr;
    QComboBox* CBResult = nullptr;
    QCheckBox* CBDateRange = nullptr;
    QDateEdit* DTPFrom = nullptr;
    QLabel* LTo = nullptr;
    QDateEdit* DTPTo = nullptr;
    QLabel* LCount = nullptr;
    QTableView* LVHistory = nullptr;
    QLabel* LRecord = nullptr;
    QPlainTextEdit* MRecord = nullptr;
    QPushButton* BExport = nullptr;
    QPushButton* BClose = nullptr;

public slots:
    void FilterChange();
    void BExportClick();

private:
    void ShowSelected();

    History& history_;
    FileDialogs& dialogs_;
    HistoryTableModel* model_ = nullptr;
};
