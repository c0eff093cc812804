#pragma once
#include <array>
#include <QDialog>
#include <QImage>

class PylonConfig;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QSlider;
class QToolButton;
class LanguageChanger;

// The brightness dialog: the correction of the pylon's left and right side,
// the brightness used without the light sensor, the gamma value and whether
// the sensor (and with it the gamma curve) is used. Two charts show what the
// settings do to each side. Reads the model when shown, writes it on OK only.
class BrightnessDialog : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("DesignClass", "TFLumarqConfiguration")
public:
    static constexpr int ClientWidth = 572;
    static constexpr int ClientHeight = 490;
    static constexpr int ChartWidth = 284;
    static constexpr int ChartHeight = 269;

    BrightnessDialog(QWidget* owner, LanguageChanger& language, PylonConfig& model);

    QFrame* LeftChartPanel = nullptr;
    QLabel* LeftChartImage = nullptr;
    QFrame* RightChartPanel = nullptr;
    QLabel* RightChartImage = nullptr;
    QFrame* LeftSidePanel = nullptr;
    QLabel* LeftLabel = nullptr;
    QSlider* LeftSlider = nullptr;
    QFrame* RightSidePanel = nullptr;
    QLabel* RightLabel = nullptr;
    QSlider* RightSlider = nullptr;
    QFrame* GammaPanel = nullptr;
    QCheckBox* UseGammaBox = nullptr;
    QLabel* GammaLabel = nullptr;
    QSlider* GammaSlider = nullptr;
    QLineEdit* GammaEdit = nullptr;
    QFrame* SensorPanel = nullptr;
    QLabel* SensorLabel = nullptr;
    QSlider* SensorSlider = nullptr;
    QFrame* ButtonPanel = nullptr;
    QToolButton* OkButton = nullptr;
    QToolButton* CancelButton = nullptr;
    // Tick labels 1, 10, ..., 100 under the left, right and no-sensor sliders.
    std::array<QLabel*, 11> LeftTicks{}, RightTicks{}, SensorTicks{};

    // The charts as last drawn.
    const QImage& LeftChart() const { return leftChart_; }
    const QImage& RightChart() const { return rightChart_; }

public slots:
    void PrepareToShow();
    void LeftChanged();
    void RightChanged();
    void SensorChanged();
    void GammaChanged();
    void UseGammaClicked();
    void OkClicked();
    void CancelClicked();
    void UpdateGammaState();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QSlider* MakeSlider(QWidget* parent, const char* name, int minimum, int maximum, int tick, int position,
                        QRect geometry);
    void MakeTicks(QWidget* parent, QSlider* slider, int firstLabel, std::array<QLabel*, 11>& ticks);
    void DrawLeftChart();
    void DrawRightChart();
    void DrawChart(QLabel* target, QImage& chart, QSlider* side);
    void PercentChange(QSlider* slider, const QString& unit);

    PylonConfig& model_;
    QImage leftChart_, rightChart_;
};

// The dialog while the main window shows it, else null.
extern BrightnessDialog* OpenBrightnessDialog;
