#include "browser/ChapterTree.h"

#include "browser/BookTree.h"
#include "browser/ImageList.h"
#include "widgets/BookNode.h"
#include "widgets/Handlers.h"
#include "common/Labels.h"
#include "widgets/LoadProgress.h"
#include "widgets/MessageBoxes.h"
#include "widgets/WaitCursor.h"
#include "data/BookOutline.h"
#include "data/ywzxDM.h"

#include <QHash>
#include <QScopedValueRollback>
#include <QTreeWidgetItemIterator>
#include <optional>
#include <QCoreApplication>

namespace {

struct RepaintSuspended {
    QWidget *widget;
    explicit RepaintSuspended(QWidget *w) : widget(w) { widget->setUpdatesEnabled(false); }
    ~RepaintSuspended() { widget->setUpdatesEnabled(true); }
};

struct Muted {
    int &counter;
    explicit Muted(int &c) : counter(c) { ++counter; }
    ~Muted() { --counter; }
};

constexpr int DeepestOpenedLevel = 999; // the root is level 0

// Image and selected image of a level: the root, the first level, the rest.
int imageOfLevel(int level) { return level == 0 ? 0 : level == 1 ? 2 : 4; }

void setNodeImages(QTreeWidgetItem *node, int level)
{
    const int image = imageOfLevel(level);
    if (node->data(0, NodeRole::Image).toInt() == image && node->data(0, NodeRole::Image).isValid())
        return;
    node->setData(0, NodeRole::Image, image);
    node->setData(0, NodeRole::SelectedImage, image + 1);
    node->setIcon(0, ImageList::tree().icon(image, image + 1));
}

QTreeWidgetItem *placedNode(BookNode::Kind kind, const QString &code, const QString &name, int level)
{
    QTreeWidgetItem *node = BookNode::make(kind, code, name);
    setNodeImages(node, level);
    return node;
}

// The chapters below code in the outline, down to depth levels below it
// (each counted once, should rows of one code stand in two places).
int chaptersBelow(const BookOutline &outline, const QString &code, int depth)
{
    QSet<QString> seen{code};
    QList<std::pair<QString, int>> pending{{code, 0}};
    while (!pending.isEmpty()) {
        const auto [parent, below] = pending.takeLast();
        const auto *chapters = below < depth ? outline.chaptersUnder(parent) : nullptr;
        for (int i = 0; chapters && i < chapters->size(); ++i)
            if (!seen.contains(chapters->at(i).code)) {
                seen.insert(chapters->at(i).code);
                pending.append({chapters->at(i).code, below + 1});
            }
    }
    return seen.size() - 1;
}

} // namespace

ChapterTree::ChapterTree(BookTree *view)
    : view_(view)
{
    // Nodes that come from anywhere but the loader (a drop, a dialog) may
    // stand at another level than their images say.
    Handlers::connect(view_->model(), &QAbstractItemModel::rowsInserted, view_, [this] {
        if (!loading_)
            invalidateNodeIcons();
    });
}

QTreeWidgetItem *ChapterTree::rootNode() const
{
    return view_->topLevelItem(0);
}

void ChapterTree::showRoot(const QString &name)
{
    Muted muted(selectionMuted_);
    view_->clear();
    dropped_.clear();
    view_->addTopLevelItem(placedNode(BookNode::Kind::Root, Labels::RootCode, name, 0));
}

void ChapterTree::selectNode(QTreeWidgetItem *node)
{
    if (node && view_->currentItem() != node)
        view_->setCurrentItem(node);
}

// The tree is rebuilt from a fresh root (a model reset): removing rows one
// by one would leave the view's bookkeeping of an earlier expand all behind,
// and every later removal would walk it.
void ChapterTree::ReloadTree(const std::function<void(QTreeWidgetItem *)> &selectionReplaced)
{
    QTreeWidgetItem *oldRoot = rootNode();
    if (!oldRoot)
        return;
    RepaintSuspended suspended(view_);
    QTreeWidgetItem *selected = view_->currentItem();
    const bool selectionGoes = selected && selected != oldRoot;
    QTreeWidgetItem *root = nullptr;
    {
        Muted muted(selectionMuted_);
        root = placedNode(BookNode::Kind::Root, BookNode::code(oldRoot), BookNode::name(oldRoot), 0);
        view_->clear();
        dropped_.clear();
        view_->addTopLevelItem(root);
        if (selected)
            view_->setCurrentItem(root);
    }
    if (selectionGoes)
        selectionReplaced(root);
    LoadChildren(root);
    // Expanding runs the loader once more (it finds the root loaded); a root
    // without children cannot be expanded.
    if (root->childCount() > 0)
        root->setExpanded(true);
}

void ChapterTree::LoadChildren(QTreeWidgetItem *node)
{
    loadChildren(node, nullptr);
}

bool ChapterTree::loadChildren(QTreeWidgetItem *node, const BookOutline *outline)
{
    const QString code = BookNode::code(node);
    const bool due = (node->childCount() == 0 && BookNode::kind(node) == BookNode::Kind::Root)
        || BookNode::isNotLoaded(node);
    if (!due) {
        AssignNodeIcons();
        return false;
    }
    std::optional<WaitCursor> wait; // a bulk load shows its own
    if (!outline)
        wait.emplace();
    // The placeholder is gone from here on: it leaves the tree unless it can
    // become the first loaded child, which spares the view a removal.
    QTreeWidgetItem *placeholder = node->childCount() == 1 ? node->child(0) : nullptr;
    struct Discard {
        QTreeWidgetItem *item;
        ~Discard() { delete item; }
    } discard{placeholder};
    const int level = BookNode::levelOf(node) + 1;
    QList<QTreeWidgetItem *> children =
        outline ? childrenFromOutline(*outline, code, level) : childrenFromBook(code, level);
    if (children.isEmpty())
        return true; // loaded empty: no icon rule
    {
        QScopedValueRollback<bool> loading(loading_, true);
        if (placeholder && view_->currentItem() != placeholder) {
            BookNode::become(placeholder, children.takeFirst());
            discard.item = nullptr;
        }
        node->addChildren(children);
    }
    AssignNodeIcons();
    return true;
}

// The child chapters of code, else its articles, as the book gives them now.
QList<QTreeWidgetItem *> ChapterTree::childrenFromBook(const QString &code, int level) const
{
    QList<QTreeWidgetItem *> children;
    const QVector<BookReader::Entry> chapters = ywzxDMF->reader.childChapters(code);
    for (const BookReader::Entry &chapter : chapters)
        children << chapterNode(chapter.code, chapter.name, level);
    if (!children.isEmpty())
        return children;
    const QVector<BookReader::Entry> articles = ywzxDMF->reader.articlesOf(code);
    for (const BookReader::Entry &article : articles)
        children << articleNode(article.code, article.name, level);
    return children;
}

// The same children, taken from an outline read before.
QList<QTreeWidgetItem *> ChapterTree::childrenFromOutline(const BookOutline &outline, const QString &code,
                                                          int level) const
{
    QList<QTreeWidgetItem *> children;
    if (const auto *chapters = outline.chaptersUnder(code)) {
        children.reserve(chapters->size());
        for (const BookOutline::Entry &chapter : *chapters)
            children << chapterNode(chapter.code, chapter.name, level);
    } else if (const auto *articles = outline.articlesOf(code)) {
        children.reserve(articles->size());
        for (const BookOutline::Entry &article : *articles)
            children << articleNode(article.code, article.name, level);
    }
    return children;
}

void ChapterTree::addNewChapters(QTreeWidgetItem *node)
{
    QHash<QString, QTreeWidgetItem *> held;
    for (int i = 0; i < node->childCount(); ++i)
        if (BookNode::kind(node->child(i)) == BookNode::Kind::Chapter)
            held.insert(BookNode::code(node->child(i)), node->child(i));
    const int level = BookNode::levelOf(node) + 1;
    QTreeWidgetItem *previous = nullptr;
    QScopedValueRollback<bool> loading(loading_, true);
    for (const BookReader::Entry &chapter : ywzxDMF->reader.childChapters(BookNode::code(node))) {
        if (QTreeWidgetItem *child = held.value(chapter.code)) {
            previous = child;
            continue;
        }
        if (dropped_.contains(chapter.code))
            continue;
        QTreeWidgetItem *added = chapterNode(chapter.code, chapter.name, level);
        node->insertChild(previous ? node->indexOfChild(previous) + 1 : 0, added);
        previous = added;
    }
}

QTreeWidgetItem *ChapterTree::chapterNode(const QString &code, const QString &name, int level) const
{
    QTreeWidgetItem *node = placedNode(BookNode::Kind::Chapter, code, name, level);
    QTreeWidgetItem *placeholder = BookNode::makePlaceholder();
    setNodeImages(placeholder, level + 1);
    node->addChild(placeholder);
    return node;
}

QTreeWidgetItem *ChapterTree::articleNode(const QString &code, const QString &title, int level) const
{
    return placedNode(BookNode::Kind::Article, code, title, level);
}

// New nodes get their images when the loader makes them, so a walk over
// the whole tree is only needed after nodes were added or moved by
// something else (a drop, a dialog).
void ChapterTree::AssignNodeIcons()
{
    if (!iconsStale_)
        return;
    iconsStale_ = false;
    for (QTreeWidgetItemIterator it(view_); *it; ++it)
        setNodeImages(*it, BookNode::levelOf(*it));
}

void ChapterTree::readOutline(std::unique_ptr<BookOutline> &outline, LoadProgress &progress,
                              const QTreeWidgetItem *branch)
{
    outline = std::make_unique<BookOutline>();
    ywzxDMF->reader.readOutline(*outline);
    progress.setMaximum(branch ? chaptersBelow(*outline, BookNode::code(branch),
                                               DeepestOpenedLevel - BookNode::levelOf(branch))
                               : outline->chapterCount());
}

// Every node is expanded, in tree order, the loader running for each node
// that opens. The book's outline is read at the first node still to load
// (two statements instead of two per chapter; none when all is loaded), the
// loads come next, and the view opens everything at once afterwards:
// opening node by node would make the view redo its layout for each one.
void ChapterTree::expandAll(QWidget *owner)
{
    WaitCursor wait;
    QList<QTreeWidgetItem *> tops;
    for (int i = 0; i < view_->topLevelItemCount(); ++i)
        tops << view_->topLevelItem(i);
    QList<QTreeWidgetItem *> passed;
    if (loadBelow(tops, nullptr, owner, passed) == BulkLoad::Whole)
        view_->expandAll(); // each expansion finds its node loaded
    else
        view_->expandAtOnce(loadedOf(passed));
}

// As expand all, for one branch: the view's own expansion of a branch would
// run the loader once per node (one statement each) and lay out the view
// after each one.
void ChapterTree::expandBranch(QTreeWidgetItem *top, QWidget *owner)
{
    WaitCursor wait;
    QList<QTreeWidgetItem *> passed;
    loadBelow({top}, top, owner, passed);
    view_->expandAtOnce(loadedOf(passed));
}

// Nodes below DeepestOpenedLevel stay closed: the view lays out open nodes by
// recursion, one call per level, and a chain of some 25,000 open levels
// overflows the stack (the time grows with the square of the depth well
// before that).
ChapterTree::BulkLoad ChapterTree::loadBelow(const QList<QTreeWidgetItem *> &tops, const QTreeWidgetItem *branch,
                                             QWidget *owner, QList<QTreeWidgetItem *> &passed)
{
    std::unique_ptr<BookOutline> outline;
    LoadProgress progress(owner, 0);
    BulkLoad result = BulkLoad::Whole;
    for (QTreeWidgetItem *top : tops) {
        QList<std::pair<QTreeWidgetItem *, int>> pending{{top, BookNode::levelOf(top)}};
        while (!pending.isEmpty()) {
            const auto [node, level] = pending.takeLast();
            if (node->childCount() == 0)
                continue;
            if (level > DeepestOpenedLevel) {
                result = BulkLoad::TooDeep;
                continue;
            }
            if (!node->isExpanded()) {
                if (!outline && BookNode::isNotLoaded(node))
                    readOutline(outline, progress, branch);
                const bool wasDue = loadChildren(node, outline.get());
                passed << node;
                if (wasDue && !progress.step())
                    return BulkLoad::Cancelled;
            }
            for (int c = node->childCount() - 1; c >= 0; --c)
                pending.append({node->child(c), level + 1});
        }
    }
    return result;
}

// The nodes of list that hold loaded children (so opening one runs no query).
QList<QTreeWidgetItem *> ChapterTree::loadedOf(const QList<QTreeWidgetItem *> &nodes)
{
    QList<QTreeWidgetItem *> result;
    for (QTreeWidgetItem *node : nodes)
        if (node->childCount() > 0 && !BookNode::isNotLoaded(node))
            result << node;
    return result;
}

// The first chapters load one by one (a search often ends soon); a longer
// walk reads the book's outline once and loads the rest from it.
bool ChapterTree::loadOnWalk(QTreeWidgetItem *node, std::unique_ptr<BookOutline> &outline, LoadProgress &progress)
{
    constexpr int LoadsBeforeOutline = 64;
    if (!loadChildren(node, outline.get()))
        return true;
    if (!outline && progress.loaded() + 1 >= LoadsBeforeOutline)
        readOutline(outline, progress);
    return progress.step();
}

bool ChapterTree::dropSelectedNodeOn(QTreeWidgetItem *target, QWidget *asker)
{
    QTreeWidgetItem *node = view_->currentItem();
    if (!node || !node->parent() || !target)
        return false;
    if (target == node->parent() || target == node || BookNode::isAncestorOrSelf(node, target))
        return false;
    const auto answer = MessageBoxes::show({asker, QCoreApplication::translate("ChapterTree", "确认信息"), QCoreApplication::translate("ChapterTree", "是否确认要移动该节点?"),
                                            QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                                            QMessageBox::Yes});
    if (answer != QMessageBox::Yes)
        return false;
    // The target's own children first: the dropped node joins them.
    if (BookNode::isNotLoaded(target))
        LoadChildren(target);
    // Stored after the target's children were read, which then do not hold it yet.
    if (storeMove && !storeMove(node, target))
        return false;
    // A node without children cannot be open, whatever the view remembers.
    const bool wasOpen = target->isExpanded() && target->childCount() > 0;
    moveNode(node, target);
    if (!wasOpen) {
        if (target->isExpanded())
            LoadChildren(target); // what its expansion runs
        else
            target->setExpanded(true);
    }
    return true;
}

// Moves node with everything below it (and its images) to the end of
// target's children; the selection is not reported as changing.
void ChapterTree::moveNode(QTreeWidgetItem *node, QTreeWidgetItem *target)
{
    Muted muted(selectionMuted_);
    invalidateNodeIcons();
    if (BookNode::kind(node) == BookNode::Kind::Chapter)
        dropped_.insert(BookNode::code(node));
    QTreeWidgetItem *oldParent = node->parent();
    oldParent->takeChild(oldParent->indexOfChild(node));
    if (oldParent->childCount() == 0)
        oldParent->setExpanded(false);
    target->addChild(node);
    view_->setCurrentItem(node);
}
