#include "common/OwnedWindow.h"

#include <QApplication>
#include <QDialog>

namespace OwnedWindow {

void attach(QDialog *dialog, QWidget *owner)
{
    if (owner && dialog->parentWidget() != owner)
        dialog->setParent(owner, dialog->windowFlags());
}

QWidget *topOfActive()
{
    QWidget *window = QApplication::activeWindow();
    while (window && window->parentWidget())
        window = window->parentWidget()->window();
    return window;
}

} // namespace OwnedWindow
