#include "ui/common/DialogParts.h"

#include <QCheckBox>
#include <QLabel>
#include <QToolButton>

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QRect geometry)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(geometry);
    return l;
}

namespace {

class WholeCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

}  // namespace

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& text, QRect geometry)
{
    auto* box = new WholeCheckBox(text, parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(geometry);
    return box;
}

QToolButton* MakeButton(QWidget* parent, const char* name, const QString& text, const QIcon& glyph, QRect geometry)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setText(text);
    if (!glyph.isNull()) {
        b->setIcon(glyph);
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    }
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setGeometry(geometry);
    return b;
}

QToolButton* MakeButton(QWidget* parent, const char* name, const QString& text, QStyle::StandardPixmap glyph,
                        QRect geometry)
{
    return MakeButton(parent, name, text, parent->style()->standardIcon(glyph), geometry);
}
