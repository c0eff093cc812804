#include "ui/dialogs/BrightnessDialog.h"

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

#include "ui/lang/LanguageChanger.h"
#include "model/PylonConfig.h"
#include "ui/common/CentreOnScreen.h"
#include "ui/dialogs/BrightnessChart.h"
#include "ui/common/DialogParts.h"

BrightnessDialog* OpenBrightnessDialog = nullptr;

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

BrightnessDialog::BrightnessDialog(QWidget* owner, LanguageChanger& language, PylonConfig& model)
    : QDialog(owner, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), model_(model),
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
    LeftChartPanel = MakePanel(this, "Panel3", QRect(0, 0, half, chartPanelHeight));
    RightChartPanel = MakePanel(this, "Panel6", QRect(half, 0, half, chartPanelHeight));
    LeftChartImage = MakeLabel(LeftChartPanel, "IChartLeft", QString(), QRect(1, 1, ChartWidth, ChartHeight));
    RightChartImage = MakeLabel(RightChartPanel, "IChartRight", QString(), QRect(1, 1, ChartWidth, ChartHeight));
    for (QWidget* w : {static_cast<QWidget*>(LeftChartPanel), static_cast<QWidget*>(RightChartPanel),
                       static_cast<QWidget*>(LeftChartImage), static_cast<QWidget*>(RightChartImage)})
        w->setAttribute(Qt::WA_PaintOnScreen, false);
    LeftChartImage->setAttribute(Qt::WA_OpaquePaintEvent);
    RightChartImage->setAttribute(Qt::WA_OpaquePaintEvent);

    // Each side's slider under its chart.
    const int sideTop = chartPanelHeight;
    const int sideHeight = 80;
    LeftSidePanel = MakePanel(this, "Panel1", QRect(0, sideTop, half, sideHeight));
    LeftLabel = MakeLabel(LeftSidePanel, "Label24", QStringLiteral("Korekta jasności lewej strony pylonu [%]"),
                          QRect(8, 4, half - 16, 18));
    LeftSlider = MakeSlider(LeftSidePanel, "TBLeft", 0, 100, 10, 1, QRect(8, 22, half - 16, 30));
    MakeTicks(LeftSidePanel, LeftSlider, 2, LeftTicks);

    RightSidePanel = MakePanel(this, "Panel2", QRect(half, sideTop, half, sideHeight));
    RightLabel = MakeLabel(RightSidePanel, "Label25", QStringLiteral("Korekta jasności prawej strony pylonu [%]"),
                           QRect(8, 4, half - 16, 18));
    RightSlider = MakeSlider(RightSidePanel, "TBRight", 0, 100, 10, 1, QRect(8, 22, half - 16, 30));
    MakeTicks(RightSidePanel, RightSlider, 13, RightTicks);

    // The gamma group bottom left, the no-sensor slider bottom right.
    const int barHeight = 40;
    const int lowTop = sideTop + sideHeight;
    const int lowHeight = ClientHeight - barHeight - lowTop;
    GammaPanel = MakePanel(this, "Panel4", QRect(0, lowTop, half, lowHeight));
    UseGammaBox =
        MakeCheckBox(GammaPanel, "chbUseGamma", QStringLiteral("Używaj czujnika jasności"), QRect(8, 6, half - 16, 22));
    GammaLabel = MakeLabel(GammaPanel, "Label1", QStringLiteral("Korekcja gamma"), QRect(8, 32, 190, 18));
    GammaSlider = MakeSlider(GammaPanel, "TBGamma", 1, 30, 5, 22, QRect(8, 52, 190, 30));
    GammaEdit = new QLineEdit(QStringLiteral("2.2"), GammaPanel);
    GammaEdit->setObjectName(QStringLiteral("EGamma"));
    GammaEdit->setReadOnly(true);
    GammaEdit->setFocusPolicy(Qt::ClickFocus);
    GammaEdit->setAlignment(Qt::AlignCenter);
    QFont gammaFont = GammaEdit->font();
    gammaFont.setBold(true);
    gammaFont.setPixelSize(16);
    GammaEdit->setFont(gammaFont);
    GammaEdit->setGeometry(206, 48, half - 214, 30);

    SensorPanel = MakePanel(this, "Panel5", QRect(half, lowTop, half, lowHeight));
    SensorLabel = MakeLabel(SensorPanel, "Label37",
                            QStringLiteral("Jasność pylonu dla pracy bez czujnika natężenia oświetlenia [%]"),
                            QRect(8, 2, half - 16, 32));
    SensorLabel->setWordWrap(true);
    SensorLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SensorSlider = MakeSlider(SensorPanel, "TBSensor", 0, 100, 10, 1, QRect(8, 36, half - 16, 30));
    MakeTicks(SensorPanel, SensorSlider, 26, SensorTicks);

    ButtonPanel = MakePanel(this, "Panel7", QRect(0, ClientHeight - barHeight, ClientWidth, barHeight));
    OkButton = MakeButton(ButtonPanel, "SBOK", QStringLiteral("OK"), QStyle::SP_DialogOkButton,
                          QRect(ClientWidth - 200, 6, 92, 28));
    CancelButton = MakeButton(ButtonPanel, "SBAbort", QStringLiteral("Anuluj"), QStyle::SP_DialogCancelButton,
                              QRect(ClientWidth - 100, 6, 92, 28));

    connect(LeftSlider, &QSlider::valueChanged, this, &BrightnessDialog::LeftChanged);
    connect(RightSlider, &QSlider::valueChanged, this, &BrightnessDialog::RightChanged);
    connect(SensorSlider, &QSlider::valueChanged, this, &BrightnessDialog::SensorChanged);
    connect(GammaSlider, &QSlider::valueChanged, this, &BrightnessDialog::GammaChanged);
    connect(UseGammaBox, &QCheckBox::toggled, this, &BrightnessDialog::UseGammaClicked);
    connect(OkButton, &QToolButton::clicked, this, &BrightnessDialog::OkClicked);
    connect(CancelButton, &QToolButton::clicked, this, &BrightnessDialog::CancelClicked);

    CentreOnScreen(this);
    language.Translate(this, objectName(), QString(), 0);
    LeftLabel->setBuddy(LeftSlider);
    RightLabel->setBuddy(RightSlider);
    GammaLabel->setBuddy(GammaSlider);
    SensorLabel->setBuddy(SensorSlider);
    NameFromBuddies(this);
    GammaEdit->setAccessibleName(GammaSlider->accessibleName());
    SetTabChain({LeftSlider, RightSlider, UseGammaBox, GammaSlider, SensorSlider, OkButton, CancelButton});
    SetDialogKeys(this, OkButton, CancelButton);
}

QSlider* BrightnessDialog::MakeSlider(QWidget* parent, const char* name, int minimum, int maximum, int tick,
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

void BrightnessDialog::MakeTicks(QWidget* parent, QSlider* slider, int firstLabel, std::array<QLabel*, 11>& ticks)
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

void BrightnessDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) PrepareToShow();
}

void BrightnessDialog::PrepareToShow()
{
    LeftSlider->setValue(model_.Conf.Left);
    RightSlider->setValue(model_.Conf.Right);
    SensorSlider->setValue(model_.Conf.Sensor);
    GammaSlider->setValue(model_.Conf.Gamma);
    UseGammaBox->setChecked(model_.UseGamma);
    UpdateGammaState();
}

void BrightnessDialog::UpdateGammaState()
{
    const bool on = UseGammaBox->isChecked();
    GammaSlider->setEnabled(on);
    GammaEdit->setEnabled(on);
    DrawLeftChart();
    DrawRightChart();
}

void BrightnessDialog::DrawChart(QLabel* target, QImage& chart, QSlider* side)
{
    const float attenuation = static_cast<float>(100 - side->value());
    const float gamma = static_cast<float>(static_cast<long double>(GammaSlider->value()) * 0.1L);
    DrawBrightnessChart(ChartStyle(), chart, attenuation, SensorSlider->value(), gamma, UseGammaBox->isChecked());
    target->setPixmap(QPixmap::fromImage(chart));
}

void BrightnessDialog::DrawLeftChart() { DrawChart(LeftChartImage, leftChart_, LeftSlider); }

void BrightnessDialog::DrawRightChart() { DrawChart(RightChartImage, rightChart_, RightSlider); }

void BrightnessDialog::PercentChange(QSlider* slider, const QString& unit)
{
    slider->setToolTip(QString::number(slider->value()) + unit);
    ShowHintAtCursor();
}

void BrightnessDialog::LeftChanged()
{
    // A side is never switched off from here: 0 % becomes 1 %, and the
    // change that brings runs this again.
    if (LeftSlider->value() == 0) {
        LeftSlider->setValue(1);
        return;
    }
    DrawLeftChart();
    PercentChange(LeftSlider, QStringLiteral(" %"));
}

void BrightnessDialog::RightChanged()
{
    if (RightSlider->value() == 0) {
        RightSlider->setValue(1);
        return;
    }
    DrawRightChart();
    PercentChange(RightSlider, QStringLiteral(" %"));
}

void BrightnessDialog::SensorChanged()
{
    if (SensorSlider->value() == 0) {
        SensorSlider->setValue(1);
        return;
    }
    DrawLeftChart();
    DrawRightChart();
    PercentChange(SensorSlider, QStringLiteral(" [%]"));
}

void BrightnessDialog::GammaChanged()
{
    DrawLeftChart();
    DrawRightChart();
    const QString text = GammaText(GammaSlider->value());
    GammaEdit->setText(text);
    GammaSlider->setToolTip(text);
    ShowHintAtCursor();
}

void BrightnessDialog::UseGammaClicked() { UpdateGammaState(); }

void BrightnessDialog::OkClicked()
{
    model_.Conf.Left = static_cast<uint8_t>(LeftSlider->value());
    model_.Conf.Right = static_cast<uint8_t>(RightSlider->value());
    model_.Conf.Sensor = static_cast<uint8_t>(SensorSlider->value());
    model_.Conf.Gamma = static_cast<uint8_t>(GammaSlider->value());
    model_.UseGamma = UseGammaBox->isChecked();
    accept();
}

void BrightnessDialog::CancelClicked() { reject(); }
