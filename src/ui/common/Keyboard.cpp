#include "ui/common/Keyboard.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

namespace {

class AltTypingFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const Qt::KeyboardModifiers mods = key->modifiers();
            if ((mods & Qt::AltModifier) && !(mods & Qt::ControlModifier) && !key->text().isEmpty()) return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

void RefuseAltTyping(QWidget* field)
{
    if (!field) return;
    // The filter lives as long as the field.
    field->installEventFilter(new AltTypingFilter(field));
}
