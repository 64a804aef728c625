#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>

class BookOutline;
class BookTree;
class LoadProgress;
class QTreeWidgetItem;
class QWidget;

// The chapter tree's content: the lazy loader and the bulk loads from the
// book's outline, the order of children, the icon rule (an image per
// level), reloading and the move of a node by drag and drop. Works on the
// view it is given; the window only wires it.
class ChapterTree {
public:
    explicit ChapterTree(BookTree *view);

    QTreeWidgetItem *rootNode() const;
    // The tree becomes the root alone, named so.
    void showRoot(const QString &name);
    // Reads the children of a node whose children were never read (a root
    // without children counts as such).
    void LoadChildren(QTreeWidgetItem *node);
    // The loader, from the book or from an outline read before; true when
    // the node was due for loading.
    bool loadChildren(QTreeWidgetItem *node, const BookOutline *outline);
    // Rebuilds the tree from a fresh root, read again. When the selection
    // was below the root, selectionReplaced gets the root that takes it.
    void ReloadTree(const std::function<void(QTreeWidgetItem *)> &selectionReplaced);
    // Every node carries the images of its level.
    void AssignNodeIcons();
    // The icons are checked again on the next AssignNodeIcons (nodes were
    // added or moved by something other than the loader).
    void invalidateNodeIcons() { iconsStale_ = true; }
    // Every node loaded and expanded, down to the 1000th level (deeper ones
    // stay closed); the progress dialog (owned by owner) can stop it, and
    // what was loaded then opens.
    void expandAll(QWidget *owner);
    // The same for top and everything below it; nothing else is read.
    void expandBranch(QTreeWidgetItem *top, QWidget *owner);
    // A loaded node's chapters added to the book since it was read join its
    // children in the book's order; the nodes it holds stay as they are.
    // A chapter that a drop moved elsewhere is not added again.
    void addNewChapters(QTreeWidgetItem *node);
    // Loads a node a search walk passes; false once the reader has cancelled.
    bool loadOnWalk(QTreeWidgetItem *node, std::unique_ptr<BookOutline> &outline, LoadProgress &progress);
    // Moves the selected node under target after asking; true when it moved.
    bool dropSelectedNodeOn(QTreeWidgetItem *target, QWidget *asker);
    // Set in the staff edition: writes a confirmed move to the book before
    // the tree shows it; false (refused, or failed) leaves the node in place.
    std::function<bool(QTreeWidgetItem *node, QTreeWidgetItem *target)> storeMove;
    void selectNode(QTreeWidgetItem *node);
    // True while the tree changes its selection itself (a reload, a move).
    bool selectionMuted() const { return selectionMuted_ > 0; }

private:
    QList<QTreeWidgetItem *> childrenFromBook(const QString &code, int level) const;
    QList<QTreeWidgetItem *> childrenFromOutline(const BookOutline &outline, const QString &code, int level) const;
    QTreeWidgetItem *chapterNode(const QString &code, const QString &name, int level) const;
    QTreeWidgetItem *articleNode(const QString &code, const QString &title, int level) const;
    // The progress counts the chapters of branch (the whole book when null).
    void readOutline(std::unique_ptr<BookOutline> &outline, LoadProgress &progress,
                     const QTreeWidgetItem *branch = nullptr);
    enum class BulkLoad { Whole, TooDeep, Cancelled };
    // Loads tops and every node below them in tree order under one progress
    // (counting the chapters of branch), down to a depth the view can open;
    // adds the nodes with children it found closed to passed.
    BulkLoad loadBelow(const QList<QTreeWidgetItem *> &tops, const QTreeWidgetItem *branch, QWidget *owner,
                   QList<QTreeWidgetItem *> &passed);
    static QList<QTreeWidgetItem *> loadedOf(const QList<QTreeWidgetItem *> &nodes);
    void moveNode(QTreeWidgetItem *node, QTreeWidgetItem *target);

    BookTree *view_;
    bool iconsStale_ = false;
    bool loading_ = false;
    int selectionMuted_ = 0;
    QSet<QString> dropped_; // codes of the chapters moved by drops since the last reload
};
