#pragma once

#include "widgets/BookNode.h"

#include <QList>
#include <QTreeWidget>
#include <functional>

// The chapter tree control: a tree widget whose drops are handed to its
// window instead of moving rows by themselves.
class BookTree : public QTreeWidget, public BookNode::LazyTree {
    Q_OBJECT
public:
    explicit BookTree(QWidget *parent = nullptr);

    std::function<void(const QPoint &)> onDrop;
    // Reads a node's children from the book when they were never read, so
    // that a node added under it joins them instead of hiding them.
    std::function<void(QTreeWidgetItem *)> loadChildren;
    void loadChildrenOf(QTreeWidgetItem *node) override
    {
        if (loadChildren)
            loadChildren(node);
    }
    // `*` on a node: opens its whole branch (the view's own expansion of a
    // branch would load it one node at a time and cannot be stopped).
    std::function<void(QTreeWidgetItem *)> expandBranch;
    // Asked on a double click on the node that its first click selected:
    // true keeps that node as it is instead of toggling it.
    std::function<bool()> keepsSelectedNodeOnDoubleClick;

    // Runs action once the view has finished handling the mouse press being
    // handled, or at once outside a press. Rows that move during a press
    // would make the view select the row that came under the pointer.
    void afterPress(std::function<void()> action);
    // Opens many nodes with one layout of the view instead of one each.
    void expandAtOnce(const QList<QTreeWidgetItem *> &nodes);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    bool inPress_ = false;
    bool pressSelected_ = false; // the last press made its node current
    QList<std::function<void()>> afterPress_;
};
