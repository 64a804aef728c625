#include "widgets/OwnedWindow.h"

#include <QDialog>

namespace OwnedWindow {

void attach(QDialog *dialog, QWidget *owner)
{
    if (owner && dialog->parentWidget() != owner)
        dialog->setParent(owner, dialog->windowFlags());
}

} // namespace OwnedWindow
