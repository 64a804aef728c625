#include "widgets/FocusKeys.h"

#include <QKeyEvent>
#include <QWidget>

namespace FocusKeys {

namespace {

class CtrlTabLeaves : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (!tab || !(key->modifiers() & Qt::ControlModifier))
            return false;
        const bool back = key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
        auto *field = static_cast<QWidget *>(watched);
        // The window's chain, as Tab moves in any other field.
        QWidget *next = back ? field->previousInFocusChain() : field->nextInFocusChain();
        while (next != field && !(next->isVisible() && next->isEnabled() && (next->focusPolicy() & Qt::TabFocus)))
            next = back ? next->previousInFocusChain() : next->nextInFocusChain();
        next->setFocus(back ? Qt::BacktabFocusReason : Qt::TabFocusReason);
        return true;
    }
};

} // namespace

void ctrlTabLeaves(QWidget *field)
{
    field->installEventFilter(new CtrlTabLeaves(field));
}

} // namespace FocusKeys
