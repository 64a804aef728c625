// Keyboard commands of the browser window and the states of the pane's menu.
#include "browser/fm_ywzx.h"

#include "browser/FrameParts.h"
#include "widgets/TextZoom.h"
#include "widgets/Handlers.h"
#include "search/FindDialog.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QToolButton>

using FrameParts::withShortcut;

void Tywzxform::buildKeyboardCommands()
{
    const auto command = [this](const char *name, const QKeySequence &keys, auto handler) {
        auto *action = new QAction(this);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(keys);
        addAction(action);
        Handlers::connect(action, &QAction::triggered, this, handler);
        return action;
    };
    FindNameAction = command("FindNameAction", QKeySequence::Find, &Tywzxform::RxSpeedButton1Click);
    FindTextAction = command("FindTextAction", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F), &Tywzxform::RxSpeedButton2Click);
    FindNextAction = command("FindNextAction", QKeySequence(Qt::Key_F3), [this] { repeatNameSearch(true); });
    FindPreviousAction = command("FindPreviousAction", QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { repeatNameSearch(false); });
    PrintAction = command("PrintAction", QKeySequence::Print, &Tywzxform::BitBtn3Click);
    AboutAction = command("AboutAction", QKeySequence(Qt::Key_F1), &Tywzxform::BitBtn1Click);
    QuitAction = command("QuitAction", QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { close(); });
    // A text that holds search hits takes F3 itself (its marks step through
    // them); anywhere else F3 repeats the name search.
    RxSpeedButton1->setToolTip(withShortcut(RxSpeedButton1->text(), FindNameAction->shortcut()));
    RxSpeedButton2->setToolTip(withShortcut(RxSpeedButton2->text(), FindTextAction->shortcut()));
    BitBtn3->setToolTip(withShortcut(BitBtn3->text(), PrintAction->shortcut()));
    BitBtn2->setToolTip(withShortcut(BitBtn2->text(), QuitAction->shortcut()));
    BitBtn1->setToolTip(withShortcut(BitBtn1->text(), AboutAction->shortcut()));

    Handlers::connect(PopupMenu2, &QMenu::aboutToShow, this, &Tywzxform::updatePaneMenu);
}

void Tywzxform::repeatNameSearch(bool down)
{
    if (FindDialog1->text().isEmpty()) {
        RxSpeedButton1Click();
        return;
    }
    findName(down);
}

void Tywzxform::updatePaneMenu()
{
    const bool selection = memo1->textCursor().hasSelection();
    N3->setEnabled(!memo1->document()->isEmpty());
    N4->setEnabled(selection);
    N11->setEnabled(selection);
    N7->setEnabled(memo1->canPaste());
    N13->setEnabled(memo1->document()->isUndoAvailable());
}
