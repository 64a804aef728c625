// The two searches of the browser window: the chapter-name search over the
// tree and the full-text search over the chapter texts.
#include "browser/fm_ywzx.h"

#include "browser/BookTree.h"
#include "common/Labels.h"
#include "common/MessageBoxes.h"
#include "data/ywzxDM.h"
#include "search/FindDialog.h"
#include "search/ShowjbywnrFrm.h"

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
// in one statement; empty when the chain does not reach the root (a
// missing parent, a loop). Of rows sharing a code the first counts.
QStringList chainFromRoot(BookQuery &query, const QString &code)
{
    query.close();
    query.setSql({QStringLiteral("with recursive chain(code, parent, depth, seen) as ("),
                  QStringLiteral(" select lbbh, flbh, 0, char(1) || lbbh || char(1) from"),
                  QStringLiteral("  (select lbbh, flbh from ywzx_ywlb where lbbh = :code order by rowid limit 1)"),
                  QStringLiteral(" union all"),
                  QStringLiteral(" select p.lbbh, p.flbh, c.depth + 1, c.seen || p.lbbh || char(1)"),
                  QStringLiteral(" from chain c join ywzx_ywlb p"),
                  QStringLiteral("  on p.rowid = (select rowid from ywzx_ywlb where lbbh = c.parent order by rowid limit 1)"),
                  QStringLiteral(" where c.code <> '00000' and instr(c.seen, char(1) || p.lbbh || char(1)) = 0)"),
                  QStringLiteral("select code, parent from chain order by depth desc")});
    query.setText(QStringLiteral("code"), code);
    query.open();
    if (query.isEmpty())
        return {};
    QStringList chain;
    const QString top = query.fieldAsText(QStringLiteral("code"));
    // A book without its root row still has the root node.
    if (top != Labels::RootCode && query.fieldAsText(QStringLiteral("parent")) == Labels::RootCode)
        chain << Labels::RootCode;
    else if (top != Labels::RootCode)
        return {};
    for (query.first(); !query.eof(); query.next())
        chain << query.fieldAsText(QStringLiteral("code"));
    return chain;
}

QString nodeCode(const QTreeWidgetItem *node)
{
    const QVariant code = node->data(0, NodeRole::Code);
    return code.isValid() ? code.toString() : Labels::chapterCode(node->text(0));
}

QTreeWidgetItem *chapterChild(QTreeWidgetItem *parent, const QString &code)
{
    for (int i = 0; i < parent->childCount(); ++i) {
        QTreeWidgetItem *child = parent->child(i);
        if (!Labels::isArticleLabel(child->text(0)) && nodeCode(child) == code)
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
void Tywzxform::FindDialog1Find()
{
    const QString text = FindDialog1->text();
    const bool wholeWord = FindDialog1->wholeWord();
    QTreeWidgetItem *root = rootNode();
    QTreeWidgetItem *selected = TreeView->currentItem() ? TreeView->currentItem() : root;
    if (!selected)
        return;
    const bool down = selected == root || FindDialog1->down();
    QTreeWidgetItem *node = down ? nextInTreeOrder(selected) : previousInTreeOrder(selected);
    while (node) {
        LoadChildren(node);
        if (nameMatches(Labels::nameOf(node->text(0)), text, wholeWord)) {
            revealAndSelect(TreeView, node);
            return;
        }
        node = down ? nextInTreeOrder(node) : previousInTreeOrder(node);
        if (node == root) // position 0 is examined only as the first step up
            node = nullptr;
    }
    MessageBoxes::searchInfo(FindDialog1->isVisible() ? static_cast<QWidget *>(FindDialog1) : this, NotFound);
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
}

// Finds the chapters whose text holds the text, lists them in the results
// window and, when it closes, moves the tree to the chosen one by its code.
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
    ResultChapterCode.clear();
    ShowSearchResults(query, true);
    if (ResultChapterCode.isNull()) {
        MessageBoxes::searchInfo(owner, QStringLiteral("没有找到您所需要的内容!"));
        return;
    }
    FindDialog1->setText(ResultChapterName);
    landOnChapter(ResultChapterCode);
    FindDialog2->hide();
}
