#pragma once

#include "search/ChapterLanding.h"

#include <QString>
#include <functional>
#include <memory>

class BookOutline;
class FindDialog;
class LoadProgress;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// The two searches as the browser window runs them, with what they say to
// the reader; `window` owns their messages when the find dialog is hidden.
namespace SearchCommands {

// Loads a node the name search passes (sharing one outline of the book and
// one progress among the walk's loads); false once the reader cancelled.
using WalkLoad = std::function<bool(QTreeWidgetItem *, std::unique_ptr<BookOutline> &, LoadProgress &)>;
// The dialog's chapter-name search from the selected node (the root when
// none) in the direction given, under the wait cursor with its progress;
// selects the node found, or says that none was.
void findName(QTreeWidget *tree, QTreeWidgetItem *root, FindDialog &dialog, bool downChosen,
              const WalkLoad &load, QWidget *window);

// The dialog's full-text search: lists the chapters whose text holds its
// text in the results window and gives the code of the one chosen when it
// closes; null (after saying so) when none was found or chosen. The
// results window leaves the chosen name and the hits to mark behind.
QString chooseChapter(FindDialog &dialog, QWidget *window);

// Moves the tree to the chapter of this code (its ancestors read as the
// book gives them now) and marks the search's hits in the pane until the
// selection moves; says so when the chapter is gone from the book or the
// book's chain does not reach it.
void landOn(QTreeWidget *tree, QTreeWidgetItem *root, QPlainTextEdit *pane, const QString &code,
            const ChapterLanding::TreeReads &reads, QWidget *window);

} // namespace SearchCommands
