#include "maintenance/MaintenanceDialog.h"

#include "common/DateTimeText.h"
#include "widgets/MessageBoxes.h"
#include "widgets/OwnedWindow.h"
#include "common/TextHelpers.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTreeWidget>
#include <QCoreApplication>

Seam<int(QDialog &)> maintenanceDialogRunner([](QDialog &dialog) { return dialog.exec(); });

MaintenanceDialog::MaintenanceDialog(const QString &name, const QString &caption, const QSize &size)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(name);
    setWindowTitle(caption);
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(size);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(15);
    setFont(font);
}

// QPlainTextEdit::toPlainText() turns non-breaking spaces into blanks; the
// raw text keeps every character, with its own separators for line breaks.
QString MaintenanceDialog::storedText(const QPlainTextEdit *pane)
{
    return TextHelpers::storedFromPane(pane->document()->toRawText());
}

void MaintenanceDialog::showStored(QPlainTextEdit *pane, const QString &stored)
{
    pane->setPlainText(TextHelpers::paneFromStored(stored));
}

void MaintenanceDialog::runEntry(const QString &code, QTreeWidget *tree, int mode)
{
    currentCode = code;
    this->mode = mode;
    this->tree = tree;
    if (tree)
        OwnedWindow::attach(this, tree->window());
    load(currentCode);
    browseButtons()->setVisible(mode == Browse);
    if (mode == Delete) {
        remove();
        return;
    }
    if (mode == Add)
        beginAdd();
    else if (mode == Edit)
        beginEdit();
    maintenanceDialogRunner(*this);
}

void MaintenanceDialog::afterConfirm(bool saved)
{
    if (!saved)
        return;
    if (mode == Browse)
        lockFields();
    else if (mode == Add)
        addNext();
    else if (mode == Edit)
        close();
}

// Esc runs 取消 while it is shown (in mode 0 that reloads and locks the
// record, the dialog stays); otherwise it closes the dialog as the close box.
void MaintenanceDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel) && cancelButton()->isVisibleTo(this)) {
        cancelButton()->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void MaintenanceDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    focusWritable(focusWidget());
}

static bool takesInput(const QWidget *widget, const QWidget *dialog)
{
    if (!widget || !widget->isVisibleTo(dialog) || !widget->isEnabled() || !(widget->focusPolicy() & Qt::TabFocus))
        return false;
    if (const auto *line = qobject_cast<const QLineEdit *>(widget))
        return !line->isReadOnly();
    if (const auto *text = qobject_cast<const QPlainTextEdit *>(widget))
        return !text->isReadOnly();
    return true;
}

void MaintenanceDialog::focusWritable(QWidget *preferred)
{
    QWidget *target = preferred;
    for (QWidget *w = nextInFocusChain(); !takesInput(target, this) && w && w != this; w = w->nextInFocusChain())
        target = w;
    if (takesInput(target, this))
        target->setFocus();
}

QString MaintenanceDialog::todayText()
{
    return DateTimeText::shortDate(QDate::currentDate());
}

// A delete asks without showing the dialog: its question belongs to the
// window the dialog was opened from.
QWidget *MaintenanceDialog::boxOwner()
{
    return isVisible() || !parentWidget() ? static_cast<QWidget *>(this) : parentWidget();
}

bool MaintenanceDialog::confirm(const QStringList &lines)
{
    return MessageBoxes::confirmWarning(boxOwner(), lines.join(QLatin1Char('\r')));
}

void MaintenanceDialog::inputError(const QString &text, QWidget *focus)
{
    MessageBoxes::inputError(boxOwner(), text);
    focus->setFocus();
}
