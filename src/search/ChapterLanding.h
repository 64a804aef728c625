#pragma once

#include <QString>
#include <functional>

class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

// The move of the tree to a chapter found by the full-text search, and the
// marks of its hits in the reading pane.
namespace ChapterLanding {

// The chapter's own node: down its chain of ancestors from the root, each
// loaded by load when it is not yet. Nothing else is loaded, so the cost
// follows the chapter's depth. Null when the book's chain does not reach
// it (a missing parent, a loop).
QTreeWidgetItem *chapterNode(QTreeWidgetItem *root, const QString &code,
                             const std::function<void(QTreeWidgetItem *)> &load);
// Opens the node's ancestors, selects it and brings it into view; the
// window handles the selection as it handles any.
void revealAndSelect(QTreeWidget *tree, QTreeWidgetItem *node);
// Marks the texts (with their character variants, when asked) in the pane
// until the tree's selection changes.
void markUntilMoved(QTreeWidget *tree, QPlainTextEdit *pane, const QStringList &texts, bool variants);

} // namespace ChapterLanding
