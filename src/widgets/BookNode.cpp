#include "widgets/BookNode.h"

#include "common/Labels.h"

#include <QTreeWidget>

namespace BookNode {

namespace {

QString labelOf(Kind kind, const QString &code, const QString &name)
{
    switch (kind) {
    case Kind::Root: return Labels::rootLabel(name);
    case Kind::Chapter: return Labels::chapterLabel(name, code);
    case Kind::Article: return Labels::articleLabel(name, code);
    case Kind::Placeholder: break;
    }
    return Labels::Placeholder;
}

void setRecord(QTreeWidgetItem *node, Kind kind, const QString &code, const QString &name)
{
    node->setText(0, labelOf(kind, code, name));
    node->setData(0, NodeRole::Kind, static_cast<int>(kind));
    node->setData(0, NodeRole::Code, code);
    node->setData(0, NodeRole::Name, name);
}

} // namespace

QTreeWidgetItem *make(Kind kind, const QString &code, const QString &name)
{
    auto *node = new QTreeWidgetItem;
    setRecord(node, kind, code, name);
    return node;
}

QTreeWidgetItem *makePlaceholder()
{
    return make(Kind::Placeholder, QString(), QString());
}

void relabel(QTreeWidgetItem *node, const QString &code, const QString &name)
{
    setRecord(node, kind(node), code, name);
}

void become(QTreeWidgetItem *node, QTreeWidgetItem *made)
{
    std::unique_ptr<QTreeWidgetItem> source(made);
    node->setText(0, made->text(0));
    for (int role : {NodeRole::Kind, NodeRole::Code, NodeRole::Name, NodeRole::Image, NodeRole::SelectedImage})
        node->setData(0, role, made->data(0, role));
    node->setIcon(0, made->icon(0));
    node->addChildren(made->takeChildren());
}

// A node made outside this unit (none is, in the program) counts as a chapter.
Kind kind(const QTreeWidgetItem *node)
{
    const QVariant kind = node->data(0, NodeRole::Kind);
    return kind.isValid() ? static_cast<Kind>(kind.toInt()) : Kind::Chapter;
}

bool isArticle(const QTreeWidgetItem *node)
{
    return kind(node) == Kind::Article;
}

QString code(const QTreeWidgetItem *node)
{
    return node->data(0, NodeRole::Code).toString();
}

QString name(const QTreeWidgetItem *node)
{
    return node->data(0, NodeRole::Name).toString();
}

bool isNotLoaded(const QTreeWidgetItem *node)
{
    return node->childCount() == 1 && kind(node->child(0)) == Kind::Placeholder;
}

int levelOf(const QTreeWidgetItem *node)
{
    int level = 0;
    for (const QTreeWidgetItem *n = node->parent(); n; n = n->parent())
        ++level;
    return level;
}

bool isAncestorOrSelf(const QTreeWidgetItem *node, const QTreeWidgetItem *of)
{
    for (const QTreeWidgetItem *n = of; n; n = n->parent())
        if (n == node)
            return true;
    return false;
}

QTreeWidgetItem *nextInTreeOrder(QTreeWidgetItem *node)
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

QTreeWidgetItem *previousInTreeOrder(QTreeWidgetItem *node)
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

QTreeWidgetItem *chapterChild(QTreeWidgetItem *parent, const QString &code)
{
    for (int i = 0; i < parent->childCount(); ++i) {
        QTreeWidgetItem *child = parent->child(i);
        if (kind(child) == Kind::Chapter && BookNode::code(child) == code)
            return child;
    }
    return nullptr;
}

void appendChild(QTreeWidgetItem *parent, Kind kind, const QString &code, const QString &name)
{
    if (auto *lazy = dynamic_cast<LazyTree *>(parent->treeWidget()); lazy && isNotLoaded(parent))
        lazy->loadChildrenOf(parent);
    for (int i = 0; i < parent->childCount(); ++i) {
        const QTreeWidgetItem *child = parent->child(i);
        if (BookNode::kind(child) == kind && BookNode::code(child) == code)
            return;
    }
    parent->addChild(make(kind, code, name));
}

} // namespace BookNode
