#include "ui/dialogs/TFLumarqConfiguration.h"

#include "ui/common/DesignFont.h"
#include "ui/common/DialogKeys.h"

#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QShowEvent>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QToolButton>
#include <QToolTip>

#include "ui/lang/TLanguageChanger.h"
#include "model/K_PYLON.h"
#include "ui/common/CentreOnScreen.h"
#include "ui/dialogs/BrightnessChart.h"
#include "ui/common/DialogParts.h"

TFLumarqConfiguration* FLumarqConfiguration = nullptr;

namespace {

constexpr int TickValues[11] = {1, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100};

QFrame* MakePanel(QWidget* parent, const char* name, QRect geometry)
{
    auto* p = new QFrame(parent);
    p->setObjectName(QLatin1String(name));
    p->setFrameStyle(QFrame::Panel | QFrame::Raised);
    p->setGeometry(geometry);
    return p;
}

// The hint of the control under the cursor, shown now rather than after the
// hover delay, so that the value follows the slider while it is dragged.
void ShowHintAtCursor()
{
    const QPoint at = QCursor::pos();
    for (QWidget* w = QApplication::widgetAt(at); w; w = w->parentWidget()) {
        if (!w->toolTip().isEmpty()) {
            QToolTip::showText(at, w->toolTip(), w);
            return;
        }
        if (w->isWindow()) return;
    }
}

// "2.2" for 22: the gamma slider holds gamma times ten.
QString GammaText(int position)
{
    return QString::number(position / 10) + QLatin1Char('.') + QString::number(position % 10);
}

}  // namespace

TFLumarqConfiguration::TFLumarqConfiguration(QWidget* owner, TLanguageChanger& language, K_PYLON& model)
    : QDialog(owner, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      model_(model),
      leftChart_(ChartWidth, ChartHeight, QImage::Format_RGB32),
      rightChart_(ChartWidth, ChartHeight, QImage::Format_RGB32)
{
    setObjectName(QStringLiteral("FLumarqConfiguration"));
    setFont(DesignFont());
    setWindowTitle(QStringLiteral("Konfiguracja"));
    setFixedSize(ClientWidth, ClientHeight);

    const int half = ClientWidth / 2;
    const int chartPanelHeight = ChartHeight + 2;

    // The two charts on top. Each chart repaints every pixel of its panel,
    // so the panel is never erased under it and dragging does not flicker;
    // the window's backing store does the double buffering.
    Panel3 = MakePanel(this, "Panel3", QRect(0, 0, half, chartPanelHeight));
    Panel6 = MakePanel(this, "Panel6", QRect(half, 0, half, chartPanelHeight));
    IChartLeft = MakeLabel(Panel3, "IChartLeft", QString(), QRect(1, 1, ChartWidth, ChartHeight));
    IChartRight = MakeLabel(Panel6, "IChartRight", QString(), QRect(1, 1, ChartWidth, ChartHeight));
    for (QWidget* w : {static_cast<QWidget*>(Panel3), static_cast<QWidget*>(Panel6),
                       static_cast<QWidget*>(IChartLeft), static_cast<QWidget*>(IChartRight)})
        w->setAttribute(Qt::WA_PaintOnScreen, false);
    IChartLeft->setAttribute(Qt::WA_OpaquePaintEvent);
    IChartRight->setAttribute(Qt::WA_OpaquePaintEvent);

    // Each side's slider under its chart.
    const int sideTop = chartPanelHeight;
    const int sideHeight = 80;
    Panel1 = MakePanel(this, "Panel1", QRect(0, sideTop, half, sideHeight));
    Label24 = MakeLabel(Panel1, "Label24", QStringLiteral("Korekta jasności lewej strony pylonu [%]"),
                        QRect(8, 4, half - 16, 18));
    TBLeft = MakeSlider(Panel1, "TBLeft", 0, 100, 10, 1, QRect(8, 22, half - 16, 30));
    MakeTicks(Panel1, TBLeft, 2, LeftTicks);

    Panel2 = MakePanel(this, "Panel2", QRect(half, sideTop, half, sideHeight));
    Label25 = MakeLabel(Panel2, "Label25", QStringLiteral("Korekta jasności prawej strony pylonu [%]"),
                        QRect(8, 4, half - 16, 18));
    TBRight = MakeSlider(Panel2, "TBRight", 0, 100, 10, 1, QRect(8, 22, half - 16, 30));
    MakeTicks(Panel2, TBRight, 13, RightTicks);

    // The gamma group bottom left, the no-sensor slider bottom right.
    const int barHeight = 40;
    const int lowTop = sideTop + sideHeight;
    const int lowHeight = ClientHeight - barHeight - lowTop;
    Panel4 = MakePanel(this, "Panel4", QRect(0, lowTop, half, lowHeight));
    chbUseGamma = MakeCheckBox(Panel4, "chbUseGamma", QStringLiteral("Używaj czujnika jasności"),
                               QRect(8, 6, half - 16, 22));
    Label1 = MakeLabel(Panel4, "Label1", QStringLiteral("Korekcja gamma"), QRect(8, 32, 190, 18));
    TBGamma = MakeSlider(Panel4, "TBGamma", 1, 30, 5, 22, QRect(8, 52, 190, 30));
    EGamma = new QLineEdit(QStringLiteral("2.2"), Panel4);
    EGamma->setObjectName(QStringLiteral("EGamma"));
    EGamma->setReadOnly(true);
    EGamma->setFocusPolicy(Qt::ClickFocus);
    EGamma->setAlignment(Qt::AlignCenter);
    QFont gammaFont = EGamma->font();
    gammaFont.setBold(true);
    gammaFont.setPixelSize(16);
    EGamma->setFont(gammaFont);
    EGamma->setGeometry(206, 48, half - 214, 30);

    Panel5 = MakePanel(this, "Panel5", QRect(half, lowTop, half, lowHeight));
    Label37 = MakeLabel(Panel5, "Label37",
                        QStringLiteral("Jasność pylonu dla pracy bez czujnika natężenia oświetlenia [%]"),
                        QRect(8, 2, half - 16, 32));
    Label37->setWordWrap(true);
    Label37->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    TBSensor = MakeSlider(Panel5, "TBSensor", 0, 100, 10, 1, QRect(8, 36, half - 16, 30));
    MakeTicks(Panel5, TBSensor, 26, SensorTicks);

    Panel7 = MakePanel(this, "Panel7", QRect(0, ClientHeight - barHeight, ClientWidth, barHeight));
    SBOK = MakeButton(Panel7, "SBOK", QStringLiteral("OK"), QStyle::SP_DialogOkButton,
                      QRect(ClientWidth - 200, 6, 92, 28));
    SBAbort = MakeButton(Panel7, "SBAbort", QStringLiteral("Anuluj"), QStyle::SP_DialogCancelButton,
                         QRect(ClientWidth - 100, 6, 92, 28));

    connect(TBLeft, &QSlider::valueChanged, this, &TFLumarqConfiguration::TBLeftChange);
    connect(TBRight, &QSlider::valueChanged, this, &TFLumarqConfiguration::TBRightChange);
    connect(TBSensor, &QSlider::valueChanged, this, &TFLumarqConfiguration::TBSensorChange);
    connect(TBGamma, &QSlider::valueChanged, this, &TFLumarqConfiguration::TBGammaChange);
    connect(chbUseGamma, &QCheckBox::toggled, this, &TFLumarqConfiguration::chbUseGammaClick);
    connect(SBOK, &QToolButton::clicked, this, &TFLumarqConfiguration::SBOKClick);
    connect(SBAbort, &QToolButton::clicked, this, &TFLumarqConfiguration::SBAbortClick);

    CentreOnScreen(this);
    language.Translate(this, objectName(), QString(), 0);
    Label24->setBuddy(TBLeft);
    Label25->setBuddy(TBRight);
    Label1->setBuddy(TBGamma);
    Label37->setBuddy(TBSensor);
    NameFromBuddies(this);
    EGamma->setAccessibleName(TBGamma->accessibleName());
    SetTabChain({TBLeft, TBRight, chbUseGamma, TBGamma, TBSensor, SBOK, SBAbort});
    SetDialogKeys(this, SBOK, SBAbort);
}

QSlider* TFLumarqConfiguration::MakeSlider(QWidget* parent, const char* name, int minimum, int maximum, int tick,
                                           int position, QRect geometry)
{
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setObjectName(QLatin1String(name));
    s->setRange(minimum, maximum);
    s->setSingleStep(1);
    s->setPageStep(1);
    s->setTickPosition(QSlider::TicksAbove);
    s->setTickInterval(tick);
    s->setValue(position);
    s->setGeometry(geometry);
    return s;
}

void TFLumarqConfiguration::MakeTicks(QWidget* parent, QSlider* slider, int firstLabel,
                                      std::array<QLabel*, 11>& ticks)
{
    // Each label centred under the tick of its value, where the style puts it.
    QStyleOptionSlider opt;
    opt.initFrom(slider);
    opt.rect = QRect(QPoint(0, 0), slider->geometry().size());
    opt.orientation = Qt::Horizontal;
    opt.minimum = slider->minimum();
    opt.maximum = slider->maximum();
    opt.tickPosition = slider->tickPosition();
    opt.tickInterval = slider->tickInterval();
    opt.subControls = QStyle::SC_All;
    const QRect groove = slider->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, slider);
    const QRect handle = slider->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, slider);
    const int span = groove.width() - handle.width();
    const int labelWidth = 24;
    for (int n = 0; n < 11; ++n) {
        const int value = TickValues[n];
        // The labels of 10 to 100 come first in the form's numbering, "1" last.
        const int number = n == 0 ? firstLabel + 10 : firstLabel + n - 1;
        const int x = slider->x() + groove.x() + handle.width() / 2 +
                      QStyle::sliderPositionFromValue(slider->minimum(), slider->maximum(), value, span);
        const QByteArray name = "Label" + QByteArray::number(number);
        QLabel* l = MakeLabel(parent, name.constData(), QString::number(value),
                              QRect(x - labelWidth / 2, slider->geometry().bottom() + 1, labelWidth, 14));
        l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        QFont f = l->font();
        f.setPointSize(7);
        l->setFont(f);
        ticks[n] = l;
    }
}

void TFLumarqConfiguration::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TFLumarqConfiguration::FormShow()
{
    TBLeft->setValue(model_.Conf.Left);
    TBRight->setValue(model_.Conf.Right);
    TBSensor->setValue(model_.Conf.Sensor);
    TBGamma->setValue(model_.Conf.Gamma);
    chbUseGamma->setChecked(model_.UseGamma);
    UpdateGammaState();
}

void TFLumarqConfiguration::UpdateGammaState()
{
    const bool on = chbUseGamma->isChecked();
    TBGamma->setEnabled(on);
    EGamma->setEnabled(on);
    DrawLeftChart();
    DrawRightChart();
}

void TFLumarqConfiguration::DrawChart(QLabel* target, QImage& chart, QSlider* side)
{
    const float attenuation = static_cast<float>(100 - side->value());
    const float gamma = static_cast<float>(static_cast<long double>(TBGamma->value()) * 0.1L);
    DrawBrightnessChart(TChartStyle(), chart, attenuation, TBSensor->value(), gamma, chbUseGamma->isChecked());
    target->setPixmap(QPixmap::fromImage(chart));
}

void TFLumarqConfiguration::DrawLeftChart()
{
    DrawChart(IChartLeft, leftChart_, TBLeft);
}

void TFLumarqConfiguration::DrawRightChart()
{
    DrawChart(IChartRight, rightChart_, TBRight);
}

void TFLumarqConfiguration::PercentChange(QSlider* slider, const QString& unit)
{
    slider->setToolTip(QString::number(slider->value()) + unit);
    ShowHintAtCursor();
}

void TFLumarqConfiguration::TBLeftChange()
{
    // A side is never switched off from here: 0 % becomes 1 %, and the
    // change that brings runs this again.
    if (TBLeft->value() == 0) {
        TBLeft->setValue(1);
        return;
    }
    DrawLeftChart();
    PercentChange(TBLeft, QStringLiteral(" %"));
}

void TFLumarqConfiguration::TBRightChange()
{
    if (TBRight->value() == 0) {
        TBRight->setValue(1);
        return;
    }
    DrawRightChart();
    PercentChange(TBRight, QStringLiteral(" %"));
}

void TFLumarqConfiguration::TBSensorChange()
{
    if (TBSensor->value() == 0) {
        TBSensor->setValue(1);
        return;
    }
    DrawLeftChart();
    DrawRightChart();
    PercentChange(TBSensor, QStringLiteral(" [%]"));
}

void TFLumarqConfiguration::TBGammaChange()
{
    DrawLeftChart();
    DrawRightChart();
    const QString text = GammaText(TBGamma->value());
    EGamma->setText(text);
    TBGamma->setToolTip(text);
    ShowHintAtCursor();
}

void TFLumarqConfiguration::chbUseGammaClick()
{
    UpdateGammaState();
}

void TFLumarqConfiguration::SBOKClick()
{
    model_.Conf.Left = static_cast<uint8_t>(TBLeft->value());
    model_.Conf.Right = static_cast<uint8_t>(TBRight->value());
    model_.Conf.Sensor = static_cast<uint8_t>(TBSensor->value());
    model_.Conf.Gamma = static_cast<uint8_t>(TBGamma->value());
    model_.UseGamma = chbUseGamma->isChecked();
    accept();
}

void TFLumarqConfiguration::SBAbortClick()
{
    reject();
}
