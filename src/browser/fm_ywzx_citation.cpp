// Citations of the browser window: copying where a node or a passage comes
// from, and the choice between a cited and a bare print.
#include "browser/fm_ywzx.h"

#include "browser/BookTree.h"
#include "browser/Citation.h"
#include "widgets/Handlers.h"

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QPlainTextEdit>

void Tywzxform::buildCitationCommands()
{
    const QKeySequence keys(Qt::CTRL | Qt::SHIFT | Qt::Key_C);
    CopyCitationAction = new QAction(QCoreApplication::translate("fm_ywzx", "复制引用"), this);
    CopyCitationAction->setObjectName(QStringLiteral("CopyCitationAction"));
    CopyCitationAction->setShortcut(keys);
    addAction(CopyCitationAction);
    // The key cites the passage only where the reader is: in the pane.
    Handlers::connect(CopyCitationAction, &QAction::triggered, this, [this] { copyCitation(memo1->hasFocus()); });

    const auto menuItem = [&keys](QMenu *menu, const char *name, const QString &caption) {
        QAction *item = menu->addAction(caption);
        item->setObjectName(QLatin1String(name));
        item->setShortcut(keys);
        item->setShortcutContext(Qt::WidgetShortcut); // shown in the menu; the window has the key
        return item;
    };
    PopupMenu1->addSeparator();
    TreeCitationItem = menuItem(PopupMenu1, "TreeCitationItem", QCoreApplication::translate("fm_ywzx", "复制引用"));
    Handlers::connect(TreeCitationItem, &QAction::triggered, this, [this] { copyCitation(false); });
    PopupMenu2->addSeparator();
    PaneCitationItem = menuItem(PopupMenu2, "PaneCitationItem", QCoreApplication::translate("fm_ywzx", "复制并附引用"));
    Handlers::connect(PaneCitationItem, &QAction::triggered, this, [this] { copyCitation(true); });

    BarePrintAction = new QAction(QCoreApplication::translate("fm_ywzx", "只打印正文（不加引用标题、页码和页边）"), this);
    BarePrintAction->setObjectName(QStringLiteral("BarePrintAction"));
    BarePrintAction->setCheckable(true);
}

void Tywzxform::copyCitation(bool withPassage)
{
    const QTreeWidgetItem *node = TreeView->currentItem();
    if (!node)
        return;
    const QString citation = Citation::of(node);
    const QTextCursor selection = memo1->textCursor();
    const bool quoting = withPassage && selection.hasSelection();
    const QString passage = quoting ? PaneText::between(memo1->document(), selection.selectionStart(),
                                                        selection.selectionEnd())
                                    : QString();
    QGuiApplication::clipboard()->setText(quoting ? Citation::quoting(passage, citation) : citation);
}
