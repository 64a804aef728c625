// The chapter tree of the browser window: its view, the handlers of its
// events and menu, single-expand; the tree's content is the ChapterTree's.
#include "browser/fm_ywzx.h"

#include "browser/BookTree.h"
#include "browser/ChapterTree.h"
#include "widgets/BookNode.h"
#include "widgets/Handlers.h"
#include "common/Labels.h"
#include "data/ywzxDM.h"

#include <QMenu>

void Tywzxform::connectTree()
{
    Handlers::connect(TreeView, &QTreeWidget::itemExpanded, this, &Tywzxform::TreeViewExpanded);
    Handlers::connect(TreeView, &QTreeWidget::currentItemChanged, this, &Tywzxform::selectionChanged);
    Handlers::connect(TreeView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupMenu1->popup(TreeView->viewport()->mapToGlobal(at)); });
    TreeView->onDrop = [this](const QPoint &at) { TreeViewDragDrop(at); };
    TreeView->loadChildren = [this](QTreeWidgetItem *node) { LoadChildren(node); };
    TreeView->expandBranch = [this](QTreeWidgetItem *node) { TreeViewExpandBranch(node); };
    chapters_ = std::make_unique<ChapterTree>(TreeView);
    // The first click of a double click opened the chapter; the second must
    // not close it again.
    TreeView->keepsSelectedNodeOnDoubleClick = [this] { return autoExpand_; };
}

QTreeWidgetItem *Tywzxform::rootNode() const
{
    return chapters_->rootNode();
}

void Tywzxform::FormCreate()
{
    if (splash_)
        splash_->hide();
    const QString name = ywzxDMF->reader.bookName();
    setWindowTitle(Labels::rootLabel(name));
    chapters_->showRoot(name);
}

void Tywzxform::FormShow()
{
    ReloadTree();
    chapters_->selectNode(rootNode());
    AssignNodeIcons();
    if (QTreeWidgetItem *root = rootNode(); root && root->childCount() > 0)
        chapters_->selectNode(root->child(0));
    resumeReading();
}

void Tywzxform::ReloadTree()
{
    chapters_->ReloadTree([this](QTreeWidgetItem *root) { Handlers::run([&] { TreeViewChange(root); }); });
}

void Tywzxform::TreeViewExpanded(QTreeWidgetItem *node)
{
    LoadChildren(node);
}

void Tywzxform::LoadChildren(QTreeWidgetItem *node)
{
    chapters_->LoadChildren(node);
}

void Tywzxform::AssignNodeIcons()
{
    chapters_->AssignNodeIcons();
}

// Cancelled, what was loaded stays loaded and opens.
void Tywzxform::N9Click()
{
    chapters_->expandAll(this);
}

// `*`: expand all, for the node's branch only.
void Tywzxform::TreeViewExpandBranch(QTreeWidgetItem *node)
{
    chapters_->expandBranch(node, this);
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
    if (chapters_->selectionMuted() || !current)
        return;
    leavePlace();
    const bool shown = Handlers::run([&] { TreeViewChange(current); });
    enterPlace(current);
    // After a failure (a book gone from under the program) opening the node
    // would read the book again and only report the same failure twice.
    if (autoExpand_ && shown)
        TreeView->afterPress([this, current, previous] { singleExpand(current, previous); });
}

// As a native single-expand tree: the newly selected node opens and the
// branch of the previously selected one closes, up to their common ancestor.
void Tywzxform::singleExpand(QTreeWidgetItem *current, QTreeWidgetItem *previous)
{
    for (QTreeWidgetItem *n = previous; n && !BookNode::isAncestorOrSelf(n, current); n = n->parent())
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
    return chapters_->dropSelectedNodeOn(target, this);
}
