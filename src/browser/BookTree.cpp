#include "browser/BookTree.h"

#include "common/Handlers.h"

#include <QDropEvent>

BookTree::BookTree(QWidget *parent)
    : QTreeWidget(parent)
{
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DragDrop);
    // A copy: the view must not remove the dragged rows after the drop.
    setDefaultDropAction(Qt::CopyAction);
}

// The tree accepts the drag at every point.
void BookTree::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->source() == this)
        event->acceptProposedAction();
}

void BookTree::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->source() == this)
        event->acceptProposedAction();
}

void BookTree::dropEvent(QDropEvent *event)
{
    if (event->source() != this)
        return;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (onDrop)
        Handlers::run([&] { onDrop(event->position().toPoint()); });
}
