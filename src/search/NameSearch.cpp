#include "search/NameSearch.h"

#include "widgets/BookNode.h"

namespace NameSearch {

bool nameMatches(const QString &name, const QString &text, bool wholeWord)
{
    return wholeWord ? name == text : name.contains(text, Qt::CaseSensitive);
}

// The stored name is compared, never the label: a name may hold "[".
QTreeWidgetItem *find(QTreeWidgetItem *root, QTreeWidgetItem *selected, const QString &text, bool wholeWord,
                      bool downChosen, const std::function<bool(QTreeWidgetItem *)> &load)
{
    const bool down = selected == root || downChosen;
    QTreeWidgetItem *node = down ? BookNode::nextInTreeOrder(selected) : BookNode::previousInTreeOrder(selected);
    while (node && load(node)) {
        if (nameMatches(BookNode::name(node), text, wholeWord))
            return node;
        node = down ? BookNode::nextInTreeOrder(node) : BookNode::previousInTreeOrder(node);
        if (node == root) // position 0 is examined only as the first step up
            node = nullptr;
    }
    return nullptr;
}

} // namespace NameSearch
