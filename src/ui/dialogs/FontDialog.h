#pragma once
#include <QDialog>

class PylonConfig;
class QComboBox;
class QFrame;
class QLabel;
class QToolButton;
class LanguageChanger;

// The pylon's fonts: the basic font number and the upper index. Takes the
// model's values when made and writes them back on OK only.
class FontDialog : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("DesignClass", "TfPylonFontSetting")
public:
    static constexpr int ClientWidth = 253;
    static constexpr int ClientHeight = 119;

    FontDialog(QWidget* owner, LanguageChanger& language, PylonConfig& model);

    QLabel* BasicFontLabel = nullptr;
    QComboBox* BasicFontBox = nullptr;
    QLabel* UpperIndexLabel = nullptr;
    QComboBox* UpperIndexBox = nullptr;
    QFrame* ButtonPanel = nullptr;
    QToolButton* OkButton = nullptr;
    QToolButton* CancelButton = nullptr;

public slots:
    void OkClicked();
    void CancelClicked();

private:
    PylonConfig& model_;
};
