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
class LanguageChanger;

// The send history window: every record newest first, filtered by pylon,
// by result and by a range of days, the whole of the selected record, and
// the shown records exported as CSV through the file dialog seam.
class SendHistoryWindow : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("DesignClass", "TFSendHistory")
public:
    SendHistoryWindow(QWidget* owner, LanguageChanger& language, History& history, FileDialogs& dialogs);
    ~SendHistoryWindow() override;

    // The filter of the controls as they stand.
    HistoryFilter CurrentFilter() const;
    HistoryTableModel* Model() const { return model_; }

    QLabel* PylonLabel = nullptr;
    QComboBox* PylonBox = nullptr;
    QLabel* ResultLabel = nullptr;
    QComboBox* ResultBox = nullptr;
    QCheckBox* DateRangeBox = nullptr;
    QDateEdit* FromDate = nullptr;
    QLabel* ToLabel = nullptr;
    QDateEdit* ToDate = nullptr;
    QLabel* CountLabel = nullptr;
    QTableView* RecordTable = nullptr;
    QLabel* RecordLabel = nullptr;
    QPlainTextEdit* RecordText = nullptr;
    QPushButton* ExportButton = nullptr;
    QPushButton* CloseButton = nullptr;

public slots:
    void FilterChanged();
    void ExportClicked();

private:
    void ShowSelected();

    History& history_;
    FileDialogs& dialogs_;
    HistoryTableModel* model_ = nullptr;
};
