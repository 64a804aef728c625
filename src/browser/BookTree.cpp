#include "browser/BookTree.h"

#include "common/Handlers.h"

#include <QDropEvent>
#include <QScopedValueRollback>

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

void BookTree::afterPress(std::function<void()> action)
{
    if (inPress_)
        afterPress_ << std::move(action);
    else
        action();
}

void BookTree::mousePressEvent(QMouseEvent *event)
{
    QTreeWidgetItem *before = currentItem();
    {
        QScopedValueRollback<bool> pressing(inPress_, true);
        QTreeWidget::mousePressEvent(event);
    }
    pressSelected_ = currentItem() != before;
    const QList<std::function<void()>> actions = std::exchange(afterPress_, {});
    for (const auto &action : actions)
        action();
}

void BookTree::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTreeWidgetItem *item = itemAt(event->position().toPoint());
    const bool keep = pressSelected_ && item && item == currentItem() && keepsSelectedNodeOnDoubleClick
                      && keepsSelectedNodeOnDoubleClick();
    if (!keep) {
        QTreeWidget::mouseDoubleClickEvent(event);
        return;
    }
    setExpandsOnDoubleClick(false);
    QTreeWidget::mouseDoubleClickEvent(event);
    setExpandsOnDoubleClick(true);
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
