#pragma once
#include <QDialog>
#include <QPoint>

class QLabel;

// The about window: a borderless picture naming the program, its version and
// its maker. Dragged by its picture and texts, closed by Enter, Escape, Space
// or its close picture; the web address opens the browser.
class TFAbout : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("DesignClass", "TFAbout")
public:
    TFAbout(QWidget* owner, const QString& producerLine, const QString& appName, const QString& version,
            const QString& rightsLine, const QString& additionalLine);

    QLabel* imgBkg = nullptr;
    QLabel* imgLogo = nullptr;
    QLabel* lbProducerAd = nullptr;
    QLabel* lbAppName = nullptr;
    QLabel* lbAppVersion = nullptr;
    QLabel* lbAllRights = nullptr;
    QLabel* lbAdditionalInfo = nullptr;
    QLabel* LWWW = nullptr;
    QLabel* Image = nullptr;

    static constexpr const char* WebAddress = "www.lumarq.example";

public slots:
    void ImageClick();
    void LWWWClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void imgBkgMouseDown(QMouseEvent* event);
    void DragTo(QMouseEvent* event);
    bool FormKeyDown(QKeyEvent* event);

    bool dragging_ = false;
    QPoint dragOffset_;
};
