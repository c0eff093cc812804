#pragma once
#include <QDialog>

class K_PYLON;
class QComboBox;
class QFrame;
class QLabel;
class QToolButton;
class TLanguageChanger;

// The pylon's fonts: the basic font number and the upper index. Takes the
// model's values when made and writes them back on OK only.
class TfPylonFontSetting : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("DesignClass", "TfPylonFontSetting")
public:
    static constexpr int ClientWidth = 253;
    static constexpr int ClientHeight = 119;

    TfPylonFontSetting(QWidget* owner, TLanguageChanger& language, K_PYLON& model);

    QLabel* Label1 = nullptr;
    QComboBox* cbBasicFont = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* cbUpperIndex = nullptr;
    QFrame* Panel1 = nullptr;
    QToolButton* SBOK = nullptr;
    QToolButton* SBAbort = nullptr;

public slots:
    void SBOKClick();
    void SBAbortClick();

private:

    K_PYLON& model_;
};
