#pragma once

#include <QHash>
#include <QString>
#include <QVector>

class BookConnection;

// The book's whole structure, read in two statements: the child chapters of
// every chapter and the articles of every chapter, each in the order the
// tree's own child and article queries return them. Bulk operations load
// the tree from it instead of asking once per chapter.
class BookOutline {
public:
    struct Entry {
        QString code;
        QString name;
    };

    void read(BookConnection &connection);
    // Null when there is none.
    const QVector<Entry> *chaptersUnder(const QString &code) const;
    const QVector<Entry> *articlesOf(const QString &code) const;
    int chapterCount() const { return chapterCount_; }

private:
    QHash<QString, QVector<Entry>> chapters_;
    QHash<QString, QVector<Entry>> articles_;
    int chapterCount_ = 0;
};
