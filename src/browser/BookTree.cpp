#include "browser/BookTree.h"

#include "widgets/Handlers.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QCoreApplication>

BookTree::BookTree(QWidget *parent)
    : QTreeWidget(parent)
{
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DragDrop);
    // A copy: the view must not remove the dragged rows after the drop.
    setDefaultDropAction(Qt::CopyAction);
    // The designed look: one column without a header, a pale yellow ground,
    // hot tracking.
    setHeaderHidden(true);
    setHeaderLabel(QCoreApplication::translate("BookTree", "章节")); // read out by screen readers, never "1"
    setAccessibleName(QCoreApplication::translate("BookTree", "章节目录"));
    setColumnCount(1);
    setRootIsDecorated(true);
    setIndentation(19);
    setUniformRowHeights(true);
    setAnimated(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setMouseTracking(true); // hot tracking
    setIconSize(QSize(16, 16));
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The width follows the rows in view: an expand or collapse measures
    // those, not up to 1,000 labels of an open tree.
    header()->setResizeContentsPrecision(0);
    header()->setStretchLastSection(false);
    setStyleSheet(QStringLiteral(
        "QTreeView { background-color: #FFFFE1; }"
        "QTreeView::item:hover:!selected { color: #0000FF; text-decoration: underline; }"));
    QPalette colours = palette();
    // The selection stays visible while the tree does not have the focus.
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    setPalette(colours);
}

void BookTree::afterPress(std::function<void()> action)
{
    if (inPress_)
        afterPress_ << std::move(action);
    else
        action();
}

void BookTree::expandAtOnce(const QList<QTreeWidgetItem *> &nodes)
{
    scheduleDelayedItemsLayout(); // each expansion only notes itself until the layout
    for (QTreeWidgetItem *node : nodes)
        node->setExpanded(true);
    executeDelayedItemsLayout();
}

// The key is taken whole: the view would also look for a row starting with "*".
void BookTree::keyPressEvent(QKeyEvent *event)
{
    QTreeWidgetItem *node = currentItem();
    if (event->key() != Qt::Key_Asterisk || !node || !expandBranch) {
        QTreeWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    Handlers::run([&] { expandBranch(node); });
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
        Handlers::run(action);
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
