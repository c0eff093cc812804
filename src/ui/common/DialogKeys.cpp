#include "ui/common/DialogKeys.h"

#include <QAbstractButton>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>

namespace {

class DialogKeyFilter : public QObject {
public:
    DialogKeyFilter(QDialog* dialog, QAbstractButton* ok, QAbstractButton* cancel)
        : QObject(dialog), dialog_(dialog), ok_(ok), cancel_(cancel)
    {}

protected:
    // Sees the keys the focused control left unused on their way up to the dialog.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != dialog_ || event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & ~Qt::KeypadModifier) return false;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            auto* focused = qobject_cast<QAbstractButton*>(dialog_->focusWidget());
            QAbstractButton* target = focused && !focused->isCheckable() ? focused : ok_.data();
            if (target && target->isEnabled()) target->click();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            if (cancel_ && cancel_->isEnabled()) cancel_->click();
            else dialog_->reject();
            return true;
        }
        return false;
    }

private:
    QDialog* dialog_;
    QPointer<QAbstractButton> ok_;
    QPointer<QAbstractButton> cancel_;
};

}  // namespace

void SetDialogKeys(QDialog* dialog, QAbstractButton* ok, QAbstractButton* cancel)
{
    for (QAbstractButton* b : {ok, cancel})
        if (b) b->setFocusPolicy(Qt::TabFocus);
    if (ok) {
        // The default button is drawn bold, as the system draws its default button's frame.
        QFont bold = ok->font();
        bold.setBold(true);
        ok->setFont(bold);
    }
    dialog->installEventFilter(new DialogKeyFilter(dialog, ok, cancel));
}

void SetTabChain(std::initializer_list<QWidget*> widgets)
{
    QWidget* previous = nullptr;
    for (QWidget* w : widgets) {
        if (!w) continue;
        if (previous) QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

void NameFromBuddies(QWidget* form)
{
    for (QLabel* label : form->findChildren<QLabel*>()) {
        QWidget* buddy = label->buddy();
        if (!buddy) continue;
        QString text = label->text();
        text.remove(QLatin1Char('&'));
        buddy->setAccessibleName(text.simplified());
    }
}
