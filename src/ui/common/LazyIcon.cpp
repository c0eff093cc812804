#include "ui/common/LazyIcon.h"

#include <memory>

#include <QIconEngine>
#include <QPainter>

namespace {

// Hands every question to the icon `make` returns, made on the first one.
class LazyIconEngine : public QIconEngine {
public:
    explicit LazyIconEngine(std::shared_ptr<std::function<QIcon()>> make) : make_(std::move(make)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return Icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return Icon().pixmap(size, 1.0, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return Icon().availableSizes(mode, state);
    }
    // Asked when icons are set on widgets and actions; a maker gives pictures.
    bool isNull() override { return made_ && icon_.isNull(); }
    QString key() const override { return QStringLiteral("LazyIconEngine"); }
    QIconEngine* clone() const override
    {
        auto* copy = new LazyIconEngine(make_);
        copy->icon_ = icon_;
        copy->made_ = made_;
        return copy;
    }

private:
    QIcon& Icon()
    {
        if (!made_) {
            icon_ = (*make_)();
            made_ = true;
        }
        return icon_;
    }

    std::shared_ptr<std::function<QIcon()>> make_;
    QIcon icon_;
    bool made_ = false;
};

}  // namespace

QIcon LazyIcon(std::function<QIcon()> make)
{
    return QIcon(new LazyIconEngine(std::make_shared<std::function<QIcon()>>(std::move(make))));
}
