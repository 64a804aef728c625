#pragma once

#include <QDate>

#include "data/BookOutline.h"

#include <QString>
#include <QStringList>
#include <QVector>

class BookConnection;
class BookQuery;

// What the reader's windows read from the book: the tree's children, a
// node's text, a chapter's place. It runs its statements on the connection
// and queries its owner hands it (the data module's shared ones in the
// program), and keeps nothing else.
class BookReader {
public:
    using Entry = BookOutline::Entry;

    // `chapters` reads the child chapters, `articles` keeps the article
    // query's statement, `reads` takes every other read.
    BookReader(BookConnection &connection, BookQuery &chapters, BookQuery &articles, BookQuery &reads);

    // The root chapter's name (null when the book has no root row).
    QString bookName();
    // The child chapters of the chapter, by id; none when it has articles instead.
    QVector<Entry> childChapters(const QString &code);
    // The articles of the chapter, as its article query orders them.
    QVector<Entry> articlesOf(const QString &code);
    // The stored text of the chapter or article of this code (the first row of
    // that code); null when there is no such row.
    QString chapterText(const QString &code);
    QString articleText(const QString &code);
    // The codes from the root down to the chapter, through the stored parents;
    // empty when the chain does not reach the root (a missing parent, a loop).
    QStringList chainFromRoot(const QString &code);
    // Whether the book holds a chapter of this code.
    bool hasChapter(const QString &code);
    // When a record was last changed (xgrq of the first row of its code);
    // null when there is no such row or its date is empty or unreadable.
    QDate chapterModified(const QString &code);
    QDate articleModified(const QString &code);
    // The whole outline, in two statements.
    void readOutline(BookOutline &outline);

private:
    BookQuery &rowOf(const QString &sql, const QString &code);
    QString textOf(const QString &sql, const QString &code);
    QDate dateOf(const QString &sql, const QString &code);

    BookConnection &connection_;
    BookQuery &chapters_;
    BookQuery &articles_;
    BookQuery &reads_;
};
