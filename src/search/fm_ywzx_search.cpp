// The two searches of the browser window: the chapter-name search over the
// tree and the full-text search over the chapter texts.
#include "browser/fm_ywzx.h"

#include "browser/BookOutline.h"
#include "browser/BookTree.h"
#include "browser/LoadProgress.h"
#include "browser/WaitCursor.h"
#include "common/Handlers.h"
#include "common/Labels.h"
#include "common/MessageBoxes.h"
#include "data/ywzxDM.h"
#include "search/FindDialog.h"
#include "search/FullTextQuery.h"
#include "search/ShowjbywnrFrm.h"
#include "search/TextMarks.h"

#include <QSet>
#include <QTextEdit>
#include <QTreeWidget>

namespace {

const QString NotFound = QStringLiteral("对不起,没有找到您要查找的内容!");

bool nameMatches(const QString &name, const QString &text, bool wholeWord)
{
    return wholeWord ? name == text : name.contains(text, Qt::CaseSensitive);
}

// Opens the node's ancestors, selects it and brings it into view; the
// browser window handles the selection as it handles any.
void revealAndSelect(QTreeWidget *tree, QTreeWidgetItem *node)
{
    for (QTreeWidgetItem *above = node->parent(); above; above = above->parent())
        above->setExpanded(true);
    tree->setCurrentItem(node);
    tree->scrollToItem(node);
}

// The codes from the root down to the chapter, through the stored parents,
// one short statement per step up; empty when the chain does not reach the
// root (a missing parent, a loop). Of rows sharing a code the first counts.
QStringList chainFromRoot(BookQuery &query, const QString &code)
{
    query.close();
    query.setSql({QStringLiteral("select flbh from ywzx_ywlb where lbbh = :code")});
    QStringList chain{code};
    QSet<QString> seen{code};
    while (chain.first() != Labels::RootCode) {
        query.setText(QStringLiteral("code"), chain.first());
        query.open();
        const QString parent = query.firstFieldAsText();
        // A book without its root row still has the root node.
        if (parent == Labels::RootCode) {
            chain.prepend(parent);
            break;
        }
        if (query.isEmpty() || seen.contains(parent))
            return {};
        seen.insert(parent);
        chain.prepend(parent);
    }
    return chain;
}

QTreeWidgetItem *chapterChild(QTreeWidgetItem *parent, const QString &code)
{
    for (int i = 0; i < parent->childCount(); ++i) {
        QTreeWidgetItem *child = parent->child(i);
        if (!Labels::isArticleLabel(child->text(0)) && Tywzxform::nodeCode(child) == code)
            return child;
    }
    return nullptr;
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
    findName(FindDialog1->down());
}

void Tywzxform::findName(bool downChosen)
{
    const QString text = FindDialog1->text();
    const bool wholeWord = FindDialog1->wholeWord();
    QTreeWidgetItem *root = rootNode();
    QTreeWidgetItem *selected = TreeView->currentItem() ? TreeView->currentItem() : root;
    if (!selected)
        return;
    const bool down = selected == root || downChosen;
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
    revealAndSelect(TreeView, found);
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

// Moves the tree to the chapter's own node: down its chain of ancestors
// from the root, each loaded as the lazy loader does when it is not yet.
// Nothing else is loaded, so the cost follows the chapter's depth.
void Tywzxform::landOnChapter(const QString &code)
{
    const QStringList chain = chainFromRoot(ywzxDMF->Query, code);
    QTreeWidgetItem *node = rootNode();
    for (int i = 1; node && i < chain.size(); ++i) {
        LoadChildren(node);
        node = chapterChild(node, chain.at(i));
    }
    if (chain.isEmpty() || !node) {
        MessageBoxes::searchInfo(this, NotFound);
        return;
    }
    revealAndSelect(TreeView, node);
    markLanding();
}

// The reading pane marks the hits in the chapter landed on until another
// node is selected.
void Tywzxform::markLanding()
{
    TextMarks *marks = TextMarks::mark(memo1, ResultMarkTexts, ResultMarkVariants);
    if (!marks)
        return;
    QTextEdit *pane = memo1;
    Handlers::connect(TreeView, &QTreeWidget::currentItemChanged, marks, [pane] { TextMarks::clear(pane); },
            Qt::SingleShotConnection);
}

// Finds the chapters whose text holds the text, lists them in the results
// window and, when it closes, moves the tree to the chosen one by its code.
void Tywzxform::FindDialog2Find()
{
    BookQuery &query = ywzxDMF->Query;
    prepareTextSearch(query, QStringLiteral("*"), FindDialog2->text(), QString(), FindDialog2->variants());
    query.open();
    QWidget *owner = FindDialog2->isVisible() ? static_cast<QWidget *>(FindDialog2) : this;
    if (query.isEmpty()) {
        MessageBoxes::searchInfo(owner, NotFound);
        return;
    }
    ResultChapterName.clear();
    ResultChapterCode.clear();
    ResultMarkTexts = QStringList{FindDialog2->text()};
    ResultMarkVariants = FindDialog2->variants();
    ShowSearchResults(query, true, this);
    if (ResultChapterCode.isNull()) {
        MessageBoxes::searchInfo(owner, QStringLiteral("没有找到您所需要的内容!"));
        return;
    }
    FindDialog1->setText(ResultChapterName);
    landOnChapter(ResultChapterCode);
    FindDialog2->hide();
}
