#pragma once

#include <QString>
#include <QTreeWidgetItem>

// Roles under which a tree node (or a results-list item) keeps its record.
namespace NodeRole {
constexpr int Image = Qt::UserRole + 1;
constexpr int SelectedImage = Qt::UserRole + 2;
// The record's own code and name: a bracket in a name would make the label
// read back as another record, so the label is only ever shown.
constexpr int Code = Qt::UserRole + 3;
constexpr int Name = Qt::UserRole + 4;
constexpr int Kind = Qt::UserRole + 5;
} // namespace NodeRole

// A node of the chapter tree: what record it stands for (its kind, code and
// name) and the label made from them. Every part of the program that makes,
// reads or changes a node goes through here.
namespace BookNode {

enum class Kind { Root, Chapter, Article, Placeholder };

QTreeWidgetItem *make(Kind kind, const QString &code, const QString &name);
// Stands for a chapter's children until they are read.
QTreeWidgetItem *makePlaceholder();
// Gives a node another record of its own kind; the label follows.
void relabel(QTreeWidgetItem *node, const QString &code, const QString &name);
// A node takes over the record, images and children of a node made apart.
void become(QTreeWidgetItem *node, QTreeWidgetItem *made);

Kind kind(const QTreeWidgetItem *node);
bool isArticle(const QTreeWidgetItem *node);
QString code(const QTreeWidgetItem *node);
QString name(const QTreeWidgetItem *node);
// A chapter whose only child is the placeholder: its children were never read.
bool isNotLoaded(const QTreeWidgetItem *node);
int levelOf(const QTreeWidgetItem *node);
// True when node is `of` or one of its ancestors.
bool isAncestorOrSelf(const QTreeWidgetItem *node, const QTreeWidgetItem *of);

// Tree order: a node, its children each followed by their descendants, then
// its next sibling. Null past either end.
QTreeWidgetItem *nextInTreeOrder(QTreeWidgetItem *node);
QTreeWidgetItem *previousInTreeOrder(QTreeWidgetItem *node);
// The chapter child of parent with this code, or null.
QTreeWidgetItem *chapterChild(QTreeWidgetItem *parent, const QString &code);

// A tree that reads a node's children only when asked: a node added under
// one whose children were never read must have them read first, or it
// would stand alone where the book has more.
class LazyTree {
public:
    virtual ~LazyTree() = default;
    virtual void loadChildrenOf(QTreeWidgetItem *node) = 0;
};

// Adds a record under parent unless parent already lists it (as read from
// the book, its children include a record just saved); its children are
// read first when parent belongs to a lazy tree.
void appendChild(QTreeWidgetItem *parent, Kind kind, const QString &code, const QString &name);

} // namespace BookNode
