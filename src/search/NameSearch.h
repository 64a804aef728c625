#pragma once

#include <QString>
#include <functional>

class QTreeWidgetItem;

// The chapter-name search: from the selected node to the next node in tree
// order, in the chosen direction, whose name holds the text (or is the
// text, for a whole word). The walk has each node it passes loaded first,
// so a downward search reaches the whole book after the start; the root
// forces the direction down; there is no wrapping.
namespace NameSearch {

bool nameMatches(const QString &name, const QString &text, bool wholeWord);

// load is run on each node passed and returns false once the reader has
// cancelled (then nothing is found). Null when nothing matches.
QTreeWidgetItem *find(QTreeWidgetItem *root, QTreeWidgetItem *selected, const QString &text, bool wholeWord,
                      bool downChosen, const std::function<bool(QTreeWidgetItem *)> &load);

} // namespace NameSearch
