#pragma once

#include <QList>
#include <QString>

class QTreeWidgetItem;

// A place the reader was: a chapter (articleCode empty) or an article of a
// chapter, with the reading pane's scroll position there. Kept by code, so
// it outlives the tree's nodes (a refresh, a restart).
struct ReadingPlace {
    QString chapterCode;
    QString articleCode;
    int scroll = 0;

    bool isValid() const { return !chapterCode.isEmpty(); }
    // Same node, wherever the pane was scrolled.
    bool sameNode(const ReadingPlace &other) const
    {
        return chapterCode == other.chapterCode && articleCode == other.articleCode;
    }
    // The node's place (an article under its chapter); invalid for a placeholder.
    static ReadingPlace of(const QTreeWidgetItem *node);
};

// A place the reader named: its label (the node's name until renamed) and
// the path of chapter names from the root down to it.
struct Bookmark {
    QString label;
    QString path;
    ReadingPlace place;
};

// The places read, in order, as back and forward walk them.
class PlaceHistory {
public:
    static constexpr int MostPlaces = 1000;
    // A place moved to by the reader: forward places are dropped.
    void visit(const ReadingPlace &place);
    // The pane's scroll position at the current place, before leaving it.
    void keepScroll(int scroll);
    bool canGoBack() const { return index_ > 0; }
    bool canGoForward() const { return index_ + 1 < places_.size(); }
    // Steps one place back or forward (step -1 or 1) and gives it.
    ReadingPlace step(int step);
    // The place just stepped to (by step cameBy) is gone from the book: it
    // leaves the history, and the place stepped from is current again.
    void dropCurrent(int cameBy);
    void clear();
    int size() const { return int(places_.size()); }

private:
    QList<ReadingPlace> places_;
    int index_ = -1;
};

// The names from the root down to the node, as stored.
QStringList namesFromRoot(const QTreeWidgetItem *node);
// The same names as the tree shows them, joined as a citation reads them.
QString namePath(const QTreeWidgetItem *node);
