#pragma once
#include <QDialog>
#include <QPoint>

class QLabel;

// The about window: a borderless picture naming the program, its version and
// its maker. Dragged by its picture and texts, closed by Enter, Escape, Space
// or its close picture; the web address opens the browser.
class AboutWindow : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("DesignClass", "TFAbout")
public:
    AboutWindow(QWidget* owner, const QString& producerLine, const QString& appName, const QString& version,
                const QString& rightsLine, const QString& additionalLine);

    QLabel* Background = nullptr;
    QLabel* Logo = nullptr;
    QLabel* ProducerLabel = nullptr;
    QLabel* AppNameLabel = nullptr;
    QLabel* VersionLabel = nullptr;
    QLabel* RightsLabel = nullptr;
    QLabel* AdditionalLabel = nullptr;
    QLabel* WebLink = nullptr;
    QLabel* CloseImage = nullptr;

    static constexpr const char* WebAddress = "www.lumarq.example";

public slots:
    void CloseImageClicked();
    void WebLinkClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BackgroundPressed(QMouseEvent* event);
    void DragTo(QMouseEvent* event);
    bool KeyDown(QKeyEvent* event);

    bool dragging_ = false;
    QPoint dragOffset_;
};
