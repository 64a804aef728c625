#pragma once

#include <QString>
#include <functional>

class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

// The move of the tree to a chapter found by the full-text search, and the
// marks of its hits in the reading pane.
namespace ChapterLanding {

// How the landing has the tree read from the book.
struct TreeReads {
    // A node's children, when they were never read.
    std::function<void(QTreeWidgetItem *)> load;
    // The chapters added to the book (by another station) since a loaded
    // node's children were read.
    std::function<void(QTreeWidgetItem *)> addNew;
};

// The chapter's own node: down its chain of ancestors from the root, as
// the book gives it now, each loaded when it is not yet and read again when
// it lacks the next one. Nothing else is loaded, so the cost follows the
// chapter's depth. Null when the book's chain does not reach it (a missing
// parent, a loop, the chapter gone).
QTreeWidgetItem *chapterNode(QTreeWidgetItem *root, const QString &code, const TreeReads &reads);
// Opens the node's ancestors, selects it and brings it into view; the
// window handles the selection as it handles any.
void revealAndSelect(QTreeWidget *tree, QTreeWidgetItem *node);
// Marks the texts (with their character variants, when asked) in the pane
// until the tree's selection changes.
void markUntilMoved(QTreeWidget *tree, QPlainTextEdit *pane, const QStringList &texts, bool variants);

} // namespace ChapterLanding
