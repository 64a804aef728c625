#include "browser/ReadingPlaces.h"

#include "common/Labels.h"
#include "widgets/BookNode.h"

#include <QStringList>
#include <algorithm>

ReadingPlace ReadingPlace::of(const QTreeWidgetItem *node)
{
    ReadingPlace place;
    if (!node || BookNode::kind(node) == BookNode::Kind::Placeholder)
        return place;
    if (BookNode::isArticle(node)) {
        if (!node->parent())
            return place;
        place.chapterCode = BookNode::code(node->parent());
        place.articleCode = BookNode::code(node);
    } else {
        place.chapterCode = BookNode::code(node);
    }
    return place;
}

void PlaceHistory::visit(const ReadingPlace &place)
{
    if (!place.isValid())
        return;
    if (index_ >= 0 && places_.at(index_).sameNode(place))
        return;
    // The places ahead of the current one go (index_ is -1 in an empty history).
    places_.resize(index_ + 1);
    places_.append(place);
    // A long walk by the arrow keys would otherwise grow it without end.
    if (places_.size() > MostPlaces)
        places_.removeFirst();
    index_ = int(places_.size()) - 1;
}

void PlaceHistory::keepScroll(int scroll)
{
    if (index_ >= 0)
        places_[index_].scroll = scroll;
}

ReadingPlace PlaceHistory::step(int step)
{
    const int to = index_ + step;
    if (to < 0 || to >= places_.size())
        return {};
    index_ = to;
    return places_.at(index_);
}

void PlaceHistory::dropCurrent(int cameBy)
{
    if (index_ < 0)
        return;
    places_.removeAt(index_);
    // Back from i+1 to i: the place left is at i now; forward: it is at i-1.
    if (cameBy > 0)
        --index_;
    index_ = std::clamp(index_, -1, int(places_.size()) - 1);
}

void PlaceHistory::clear()
{
    places_.clear();
    index_ = -1;
}

QStringList namesFromRoot(const QTreeWidgetItem *node)
{
    QStringList names;
    for (; node; node = node->parent())
        names.prepend(BookNode::name(node));
    return names;
}

QString namePath(const QTreeWidgetItem *node)
{
    QStringList shown;
    for (const QString &name : namesFromRoot(node))
        shown << Labels::shown(name);
    return shown.join(QStringLiteral(" › "));
}
