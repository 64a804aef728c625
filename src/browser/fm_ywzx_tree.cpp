// The chapter tree of the browser window: creation, lazy loading, the icon
// rule, the context menu, single-expand and drag and drop.
#include "browser/fm_ywzx.h"

#include "app/SplashUnit.h"
#include "browser/BookOutline.h"
#include "browser/BookTree.h"
#include "browser/LoadProgress.h"
#include "browser/ImageList.h"
#include "browser/WaitCursor.h"
#include "common/Handlers.h"
#include "common/Labels.h"
#include "common/MessageBoxes.h"
#include "data/ywzxDM.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QSplitter>
#include <QTreeWidgetItemIterator>
#include <QScopedValueRollback>
#include <QVBoxLayout>
#include <memory>
#include <optional>

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

// Image and selected image of a level: the root, the first level, the rest.
int imageOfLevel(int level) { return level == 0 ? 0 : level == 1 ? 2 : 4; }

bool isAncestorOrSelf(const QTreeWidgetItem *node, const QTreeWidgetItem *of)
{
    for (const QTreeWidgetItem *n = of; n; n = n->parent())
        if (n == node)
            return true;
    return false;
}

} // namespace

void Tywzxform::buildTree()
{
    Splitter1 = new QSplitter(Qt::Horizontal, sbClient);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(2);
    Splitter1->setChildrenCollapsible(false);
    sbClient->layout()->addWidget(Splitter1);

    TreeView = new BookTree(Splitter1);
    TreeView->setObjectName(QStringLiteral("TreeView"));
    TreeView->setHeaderHidden(true);
    TreeView->setHeaderLabel(QStringLiteral("章节")); // read out by screen readers, never "1"
    TreeView->setAccessibleName(QStringLiteral("章节目录"));
    TreeView->setColumnCount(1);
    TreeView->setRootIsDecorated(true);
    TreeView->setIndentation(19);
    TreeView->setUniformRowHeights(true);
    TreeView->setAnimated(false);
    TreeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView->setSelectionMode(QAbstractItemView::SingleSelection);
    TreeView->setSelectionBehavior(QAbstractItemView::SelectRows);
    TreeView->setMouseTracking(true); // hot tracking
    TreeView->setIconSize(QSize(16, 16));
    TreeView->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The width follows the rows in view: an expand or collapse measures
    // those, not up to 1,000 labels of an open tree.
    TreeView->header()->setResizeContentsPrecision(0);
    TreeView->header()->setStretchLastSection(false);
    TreeView->setStyleSheet(QStringLiteral(
        "QTreeView { background-color: #FFFFE1; }"
        "QTreeView::item:hover:!selected { color: #0000FF; text-decoration: underline; }"));
    QPalette palette = TreeView->palette();
    // The selection stays visible while the tree does not have the focus.
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    TreeView->setPalette(palette);
    TreeView->setContextMenuPolicy(Qt::CustomContextMenu);
    TreeView->setMinimumWidth(60);
    Splitter1->addWidget(TreeView);

    Handlers::connect(TreeView, &QTreeWidget::itemExpanded, this, &Tywzxform::TreeViewExpanded);
    Handlers::connect(TreeView, &QTreeWidget::currentItemChanged, this, &Tywzxform::selectionChanged);
    Handlers::connect(TreeView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupMenu1->popup(TreeView->viewport()->mapToGlobal(at)); });
    TreeView->onDrop = [this](const QPoint &at) { TreeViewDragDrop(at); };
    TreeView->loadChildren = [this](QTreeWidgetItem *node) { LoadChildren(node); };
    // The first click of a double click opened the chapter; the second must
    // not close it again.
    TreeView->keepsSelectedNodeOnDoubleClick = [this] { return autoExpand_; };
    // Nodes that come from anywhere but the loader (a drop, a dialog) may
    // stand at another level than their images say.
    Handlers::connect(TreeView->model(), &QAbstractItemModel::rowsInserted, this, [this] {
        if (!loading_)
            invalidateNodeIcons();
    });
}

QTreeWidgetItem *Tywzxform::rootNode() const
{
    return TreeView->topLevelItem(0);
}

int Tywzxform::levelOf(const QTreeWidgetItem *node)
{
    int level = 0;
    for (const QTreeWidgetItem *n = node->parent(); n; n = n->parent())
        ++level;
    return level;
}

bool Tywzxform::isNotLoaded(const QTreeWidgetItem *node)
{
    return node->childCount() == 1 && node->child(0)->text(0) == Labels::Placeholder;
}

void Tywzxform::setNodeImages(QTreeWidgetItem *node, int level) const
{
    const int image = imageOfLevel(level);
    if (node->data(0, NodeRole::Image).toInt() == image && node->data(0, NodeRole::Image).isValid())
        return;
    node->setData(0, NodeRole::Image, image);
    node->setData(0, NodeRole::SelectedImage, image + 1);
    node->setIcon(0, ImageList::tree().icon(image, image + 1));
}

QString Tywzxform::nodeCode(const QTreeWidgetItem *node)
{
    const QVariant code = node->data(0, NodeRole::Code);
    if (code.isValid())
        return code.toString();
    // Only a node made without its record (the placeholder, or one added by
    // a caller that keeps no code) is read back from its label.
    const QString label = node->text(0);
    return Labels::isArticleLabel(label) ? Labels::articleCode(label) : Labels::chapterCode(label);
}

void Tywzxform::setNodeRecord(QTreeWidgetItem *node, const QString &label, const QString &code, const QString &name)
{
    node->setText(0, label);
    node->setData(0, NodeRole::Code, code);
    node->setData(0, NodeRole::Name, name);
}

QTreeWidgetItem *Tywzxform::newNode(const NodeRecord &record, int level, bool withPlaceholder) const
{
    auto *node = new QTreeWidgetItem;
    setNodeRecord(node, record.label, record.code, record.name);
    setNodeImages(node, level);
    if (withPlaceholder) {
        auto *placeholder = new QTreeWidgetItem(QStringList(Labels::Placeholder));
        setNodeImages(placeholder, level + 1);
        node->addChild(placeholder);
    }
    return node;
}

void Tywzxform::FormCreate()
{
    if (SplashForm)
        SplashForm->hide();
    BookQuery &query = ywzxDMF->ywlbQuery;
    query.close();
    query.setSql({QStringLiteral("select lbmc from ywzx_ywlb where lbbh=\"00000\"")});
    query.open();
    const QString name = query.fieldAsText(QStringLiteral("lbmc"));
    const QString label = Labels::rootLabel(name);
    setWindowTitle(label);
    Muted muted(selectionMuted_);
    TreeView->clear();
    TreeView->addTopLevelItem(newNode({label, Labels::RootCode, name}, 0, false));
}

void Tywzxform::FormShow()
{
    ReloadTree();
    selectNode(rootNode());
    AssignNodeIcons();
    if (QTreeWidgetItem *root = rootNode(); root && root->childCount() > 0)
        selectNode(root->child(0));
}

void Tywzxform::selectNode(QTreeWidgetItem *node)
{
    if (node && TreeView->currentItem() != node)
        TreeView->setCurrentItem(node);
}

// The tree is rebuilt from a fresh root (a model reset): removing rows one
// by one would leave the view's bookkeeping of an earlier expand all behind,
// and every later removal would walk it.
void Tywzxform::ReloadTree()
{
    QTreeWidgetItem *oldRoot = rootNode();
    if (!oldRoot)
        return;
    RepaintSuspended suspended(TreeView);
    QTreeWidgetItem *selected = TreeView->currentItem();
    const bool selectionGoes = selected && selected != oldRoot;
    QTreeWidgetItem *root = nullptr;
    {
        Muted muted(selectionMuted_);
        root = newNode({oldRoot->text(0), nodeCode(oldRoot), oldRoot->data(0, NodeRole::Name).toString()}, 0, false);
        TreeView->clear();
        TreeView->addTopLevelItem(root);
        if (selected)
            TreeView->setCurrentItem(root);
    }
    if (selectionGoes)
        Handlers::run([&] { TreeViewChange(root); });
    LoadChildren(root);
    // Expanding runs the loader once more (it finds the root loaded); a root
    // without children cannot be expanded.
    if (root->childCount() > 0)
        root->setExpanded(true);
}

void Tywzxform::TreeViewExpanded(QTreeWidgetItem *node)
{
    LoadChildren(node);
}

void Tywzxform::LoadChildren(QTreeWidgetItem *node)
{
    loadChildren(node, nullptr);
}

bool Tywzxform::loadChildren(QTreeWidgetItem *node, const BookOutline *outline)
{
    const QString code = nodeCode(node);
    const bool due = (node->childCount() == 0 && code == Labels::RootCode) || isNotLoaded(node);
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
    QList<QTreeWidgetItem *> children =
        outline ? childrenFromOutline(*outline, code, levelOf(node) + 1) : childrenFromBook(code, levelOf(node) + 1);
    if (children.isEmpty())
        return true; // loaded empty: no icon rule
    {
        QScopedValueRollback<bool> loading(loading_, true);
        if (placeholder && TreeView->currentItem() != placeholder) {
            becomeNode(placeholder, children.takeFirst());
            discard.item = nullptr;
        }
        node->addChildren(children);
    }
    AssignNodeIcons();
    return true;
}

// The child chapters of code, else its articles, as the book gives them now.
QList<QTreeWidgetItem *> Tywzxform::childrenFromBook(const QString &code, int level) const
{
    QList<QTreeWidgetItem *> children;
    BookQuery &chapters = ywzxDMF->ywlbQuery;
    chapters.close();
    chapters.setSql({QStringLiteral("select * from ywzx_ywlb where  (flbh<>lbbh) and (flbh=:flbh)    order by id")});
    chapters.setText(QStringLiteral("flbh"), code);
    chapters.open();
    if (!chapters.isEmpty()) {
        for (chapters.first(); !chapters.eof(); chapters.next())
            children << chapterNode(chapters.fieldAsText(QStringLiteral("lbbh")),
                                    chapters.fieldAsText(QStringLiteral("lbmc")), level);
        return children;
    }
    BookQuery &articles = ywzxDMF->ywnrQuery;
    articles.close();
    articles.setText(QStringLiteral("lbbh"), code);
    articles.open();
    for (articles.first(); !articles.eof(); articles.next())
        children << articleNode(articles.fieldAsText(QStringLiteral("nrbh")),
                                articles.fieldAsText(QStringLiteral("nrbt")), level);
    return children;
}

// The same children, taken from an outline read before.
QList<QTreeWidgetItem *> Tywzxform::childrenFromOutline(const BookOutline &outline, const QString &code,
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

QTreeWidgetItem *Tywzxform::chapterNode(const QString &code, const QString &name, int level) const
{
    return newNode({Labels::chapterLabel(name, code), code, name}, level, true);
}

QTreeWidgetItem *Tywzxform::articleNode(const QString &code, const QString &title, int level) const
{
    return newNode({Labels::articleLabel(title, code), code, title}, level, false);
}

// A tree node takes the label, images and children of a node made apart.
void Tywzxform::becomeNode(QTreeWidgetItem *node, QTreeWidgetItem *made)
{
    std::unique_ptr<QTreeWidgetItem> source(made);
    node->setText(0, made->text(0));
    for (int role : {NodeRole::Code, NodeRole::Name})
        node->setData(0, role, made->data(0, role));
    node->setData(0, NodeRole::Image, made->data(0, NodeRole::Image));
    node->setData(0, NodeRole::SelectedImage, made->data(0, NodeRole::SelectedImage));
    node->setIcon(0, made->icon(0));
    node->addChildren(made->takeChildren());
}

// Every node carries the images of its level. New nodes get them when the
// loader makes them, so a walk over the whole tree is only needed after
// nodes were added or moved by something else (a drop, a dialog).
void Tywzxform::AssignNodeIcons()
{
    if (!iconsStale_)
        return;
    iconsStale_ = false;
    for (QTreeWidgetItemIterator it(TreeView); *it; ++it)
        setNodeImages(*it, levelOf(*it));
}

// Every node is expanded, in tree order, the loader running for each node
// that opens. The book's outline is read at the first node still to load
// (two statements instead of two per chapter; none when all is loaded), the
// loads come next, and the view opens everything at once afterwards:
// opening node by node would make the view redo its layout for each one.
// Cancelled, what was loaded stays loaded and opens.
void Tywzxform::N9Click()
{
    WaitCursor wait;
    std::unique_ptr<BookOutline> outline;
    LoadProgress progress(this, 0);
    QList<QTreeWidgetItem *> loaded;
    for (int i = 0; i < TreeView->topLevelItemCount() && !progress.cancelled(); ++i) {
        QList<QTreeWidgetItem *> pending{TreeView->topLevelItem(i)};
        while (!pending.isEmpty()) {
            QTreeWidgetItem *node = pending.takeLast();
            if (node->childCount() > 0 && !node->isExpanded()) {
                if (!outline && isNotLoaded(node)) {
                    outline = std::make_unique<BookOutline>();
                    outline->read(ywzxDMF->ydconn);
                    progress.setMaximum(outline->chapterCount());
                }
                const bool wasDue = loadChildren(node, outline.get());
                loaded << node;
                if (wasDue && !progress.step())
                    break;
            }
            for (int c = node->childCount() - 1; c >= 0; --c)
                pending << node->child(c);
        }
    }
    if (progress.cancelled())
        TreeView->expandAtOnce(loadedOf(loaded));
    else
        TreeView->expandAll(); // each expansion finds its node loaded
}

// The nodes of list that hold loaded children (so opening one runs no query).
QList<QTreeWidgetItem *> Tywzxform::loadedOf(const QList<QTreeWidgetItem *> &nodes)
{
    QList<QTreeWidgetItem *> result;
    for (QTreeWidgetItem *node : nodes)
        if (node->childCount() > 0 && !isNotLoaded(node))
            result << node;
    return result;
}

void Tywzxform::N10Click()
{
    TreeView->collapseAll();
}

void Tywzxform::N5Click()
{
    ReloadTree();
}

void Tywzxform::N6Click()
{
    autoExpand_ = N6->isChecked();
}

void Tywzxform::selectionChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous)
{
    if (selectionMuted_ || !current)
        return;
    const bool shown = Handlers::run([&] { TreeViewChange(current); });
    // After a failure (a book gone from under the program) opening the node
    // would read the book again and only report the same failure twice.
    if (autoExpand_ && shown)
        TreeView->afterPress([this, current, previous] { singleExpand(current, previous); });
}

// As a native single-expand tree: the newly selected node opens and the
// branch of the previously selected one closes, up to their common ancestor.
void Tywzxform::singleExpand(QTreeWidgetItem *current, QTreeWidgetItem *previous)
{
    for (QTreeWidgetItem *n = previous; n && !isAncestorOrSelf(n, current); n = n->parent())
        n->setExpanded(false);
    if (current->childCount() > 0 && !current->isExpanded())
        current->setExpanded(true);
}

void Tywzxform::TreeViewDragDrop(const QPoint &viewportPosition)
{
    QTreeWidgetItem *target = TreeView->itemAt(viewportPosition);
    if (target)
        dropSelectedNodeOn(target);
}

bool Tywzxform::dropSelectedNodeOn(QTreeWidgetItem *target)
{
    QTreeWidgetItem *node = TreeView->currentItem();
    if (!node || !node->parent() || !target)
        return false;
    if (target == node->parent() || target == node || isAncestorOrSelf(node, target))
        return false;
    const auto answer = MessageBoxes::show({this, QStringLiteral("确认信息"), QStringLiteral("是否确认要移动该节点?"),
                                            QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                                            QMessageBox::Yes});
    if (answer != QMessageBox::Yes)
        return false;
    // The target's own children first: the dropped node joins them.
    if (isNotLoaded(target))
        LoadChildren(target);
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
void Tywzxform::moveNode(QTreeWidgetItem *node, QTreeWidgetItem *target)
{
    Muted muted(selectionMuted_);
    invalidateNodeIcons();
    QTreeWidgetItem *oldParent = node->parent();
    oldParent->takeChild(oldParent->indexOfChild(node));
    if (oldParent->childCount() == 0)
        oldParent->setExpanded(false);
    target->addChild(node);
    TreeView->setCurrentItem(node);
}
