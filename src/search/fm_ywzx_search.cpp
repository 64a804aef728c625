// The two searches of the browser window: the chapter-name search over the
// tree and the full-text search over the chapter texts.
#include "browser/fm_ywzx.h"

#include "browser/BookOutline.h"
#include "browser/BookTree.h"
#include "browser/LoadProgress.h"
#include "browser/WaitCursor.h"
#include "common/Labels.h"
#include "common/MessageBoxes.h"
#include "data/ywzxDM.h"
#include "search/FindDialog.h"
#include "search/ShowjbywnrFrm.h"

namespace {

const QString NotFound = QStringLiteral("对不起,没有找到您要查找的内容!");

bool nameMatches(const QString &name, const QString &text, bool wholeWord)
{
    return wholeWord ? name == text : name.contains(text, Qt::CaseSensitive);
}

} // namespace

QTreeWidgetItem *Tywzxform::nextInTreeOrder(QTreeWidgetItem *node)
{
    if (node->childCount() > 0)
        return node->child(0);
    for (QTreeWidgetItem *n = node; n; n = n->parent()) {
        QTreeWidgetItem *parent = n->parent();
        if (!parent) {
            QTreeWidget *tree = n->treeWidget();
            const int index = tree ? tree->indexOfTopLevelItem(n) : -1;
            return tree && index + 1 < tree->topLevelItemCount() ? tree->topLevelItem(index + 1) : nullptr;
        }
        const int index = parent->indexOfChild(n);
        if (index + 1 < parent->childCount())
            return parent->child(index + 1);
    }
    return nullptr;
}

QTreeWidgetItem *Tywzxform::previousInTreeOrder(QTreeWidgetItem *node)
{
    QTreeWidgetItem *parent = node->parent();
    QTreeWidgetItem *sibling = nullptr;
    if (parent) {
        const int index = parent->indexOfChild(node);
        if (index == 0)
            return parent;
        sibling = parent->child(index - 1);
    } else {
        QTreeWidget *tree = node->treeWidget();
        const int index = tree ? tree->indexOfTopLevelItem(node) : 0;
        if (index <= 0)
            return nullptr;
        sibling = tree->topLevelItem(index - 1);
    }
    while (sibling->childCount() > 0)
        sibling = sibling->child(sibling->childCount() - 1);
    return sibling;
}

void Tywzxform::RxSpeedButton1Click()
{
    FindDialog1->execute();
}

void Tywzxform::RxSpeedButton2Click()
{
    FindDialog2->execute();
}

// One press of find-next: from the selected node to the next node in tree
// order, in the chosen direction, whose name holds the text. The walk loads
// each chapter it passes, so a downward search reaches the whole book after
// the start; the root forces the direction down; there is no wrapping.
// A long walk shows its progress and can be cancelled (then nothing is found).
void Tywzxform::FindDialog1Find()
{
    const QString text = FindDialog1->text();
    const bool wholeWord = FindDialog1->wholeWord();
    QTreeWidgetItem *root = rootNode();
    QTreeWidgetItem *selected = TreeView->currentItem() ? TreeView->currentItem() : root;
    if (!selected)
        return;
    const bool down = selected == root || FindDialog1->down();
    QTreeWidgetItem *found = nullptr;
    {
        WaitCursor wait;
        LoadProgress progress(this, 0);
        std::unique_ptr<BookOutline> outline;
        QTreeWidgetItem *node = down ? nextInTreeOrder(selected) : previousInTreeOrder(selected);
        while (node && loadOnWalk(node, outline, progress)) {
            if (nameMatches(Labels::nameOf(node->text(0)), text, wholeWord)) {
                found = node;
                break;
            }
            node = down ? nextInTreeOrder(node) : previousInTreeOrder(node);
            if (node == root) // position 0 is examined only as the first step up
                node = nullptr;
        }
    }
    if (!found) {
        MessageBoxes::searchInfo(FindDialog1->isVisible() ? static_cast<QWidget *>(FindDialog1) : this, NotFound);
        return;
    }
    for (QTreeWidgetItem *above = found->parent(); above; above = above->parent())
        above->setExpanded(true);
    TreeView->setCurrentItem(found);
    TreeView->scrollToItem(found);
}

// Loads a node the search walk passes; false once the reader has cancelled.
// The first chapters load one by one (a search often ends soon); a longer
// walk reads the book's outline once and loads the rest from it.
bool Tywzxform::loadOnWalk(QTreeWidgetItem *node, std::unique_ptr<BookOutline> &outline, LoadProgress &progress)
{
    constexpr int LoadsBeforeOutline = 64;
    if (!loadChildren(node, outline.get()))
        return true;
    if (!outline && progress.loaded() + 1 >= LoadsBeforeOutline) {
        outline = std::make_unique<BookOutline>();
        outline->read(ywzxDMF->ydconn);
        progress.setMaximum(outline->chapterCount());
    }
    return progress.step();
}

// Finds the chapters whose text holds the text, lists them in the results
// window and, when it closes, moves the tree to the chosen one by name.
void Tywzxform::FindDialog2Find()
{
    BookQuery &query = ywzxDMF->Query;
    query.setSql({QStringLiteral("select * from ywzx_ywlb"), QStringLiteral("where ywnr like :pattern")});
    // Bound, not pasted: % and _ keep their meaning, a quote is a character.
    query.setText(QStringLiteral("pattern"), QLatin1Char('%') + FindDialog2->text() + QLatin1Char('%'));
    query.open();
    QWidget *owner = FindDialog2->isVisible() ? static_cast<QWidget *>(FindDialog2) : this;
    if (query.isEmpty()) {
        MessageBoxes::searchInfo(owner, NotFound);
        return;
    }
    ResultChapterName.clear();
    ShowSearchResults(query, true);
    if (ResultChapterName.isEmpty()) {
        MessageBoxes::searchInfo(owner, QStringLiteral("没有找到您所需要的内容!"));
        return;
    }
    selectNode(rootNode());
    FindDialog1->setText(ResultChapterName);
    FindDialog1Find();
    FindDialog2->hide();
}
