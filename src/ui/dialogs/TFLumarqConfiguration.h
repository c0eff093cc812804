#pragma once
#include <array>
#include <QDialog>
#include <QImage>

class K_PYLON;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QSlider;
class QToolButton;
class TLanguageChanger;

// The brightness dialog: the correction of the pylon's left and right side,
// the brightness used without the light sensor, the gamma value and whether
// the sensor (and with it the gamma curve) is used. Two charts show what the
// settings do to each side. Reads the model when shown, writes it on OK only.
class TFLumarqConfiguration : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("DesignClass", "TFLumarqConfiguration")
public:
    static constexpr int ClientWidth = 572;
    static constexpr int ClientHeight = 490;
    static constexpr int ChartWidth = 284;
    static constexpr int ChartHeight = 269;

    TFLumarqConfiguration(QWidget* owner, TLanguageChanger& language, K_PYLON& model);

    QFrame* Panel3 = nullptr;
    QLabel* IChartLeft = nullptr;
    QFrame* Panel6 = nullptr;
    QLabel* IChartRight = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Label24 = nullptr;
    QSlider* TBLeft = nullptr;
    QFrame* Panel2 = nullptr;
    QLabel* Label25 = nullptr;
    QSlider* TBRight = nullptr;
    QFrame* Panel4 = nullptr;
    QCheckBox* chbUseGamma = nullptr;
    QLabel* Label1 = nullptr;
    QSlider* TBGamma = nullptr;
    QLineEdit* EGamma = nullptr;
    QFrame* Panel5 = nullptr;
    QLabel* Label37 = nullptr;
    QSlider* TBSensor = nullptr;
    QFrame* Panel7 = nullptr;
    QToolButton* SBOK = nullptr;
    QToolButton* SBAbort = nullptr;
    // Tick labels 1, 10, ..., 100 under the left, right and no-sensor sliders.
    std::array<QLabel*, 11> LeftTicks{}, RightTicks{}, SensorTicks{};

    // The charts as last drawn.
    const QImage& LeftChart() const { return leftChart_; }
    const QImage& RightChart() const { return rightChart_; }

public slots:
    void FormShow();
    void TBLeftChange();
    void TBRightChange();
    void TBSensorChange();
    void TBGammaChange();
    void chbUseGammaClick();
    void SBOKClick();
    void SBAbortClick();
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

    K_PYLON& model_;
    QImage leftChart_, rightChart_;
};

// The dialog while the main window shows it, else null.
extern TFLumarqConfiguration* FLumarqConfiguration;
