#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

class BookConnection;
class BookQuery;

// What the maintenance dialogs read and write: one chapter or article row,
// its existence, its insert, update and delete, on the queries the store's
// owner hands it (the data module's shared ones in the program). Codes and
// values are bound, never pasted: a code holding a quote is an ordinary
// code. A returned query is one of those, open, and valid until the next
// call that uses it.
class ChapterStore {
public:
    // A chapter row as the dialog writes it.
    struct Row {
        QString lbbh, lbmc, flbh;
        QDateTime xgrq;
        QString xgr, ywnr;
        QByteArray photoimage;
        bool checkimage = false;
    };

    // `reads` loads and counts, `writes` checks and writes; the connection
    // keeps the full-text index in step with the writes.
    ChapterStore(BookConnection &connection, BookQuery &reads, BookQuery &writes);

    // The chapter joined with its parent row (flmc is the parent's name); no
    // row when either is missing.
    const BookQuery &load(const QString &code);
    // The chapter rows of this code, for the save's checks.
    const BookQuery &find(const QString &code);
    // Gives a query of the dialog's own the statement of the largest row id.
    static void setNextIdStatement(BookQuery &query);
    // Runs that query again: the id a new row takes (1 in an empty table).
    static int nextId(BookQuery &query);
    void insert(const Row &row, int id);
    // Writes every field but the code to the rows of row.lbbh.
    void update(const Row &row);
    // The rows whose parent is this code.
    int childCount(const QString &code);
    void remove(const QString &code);
    // The chapter of this code now stands under parent; its text, date and
    // author stay as they are.
    void setParent(const QString &code, const QString &parent);

private:
    BookConnection &connection_;
    BookQuery &reads_;
    BookQuery &writes_;
};

class ArticleStore {
public:
    // An article row as the dialog writes it.
    struct Row {
        QString nrbh, nrbt, lbbh;
        QDateTime xgrq;
        QString xgr, ywnr;
    };

    // `reads` loads, `writes` checks and writes.
    ArticleStore(BookQuery &reads, BookQuery &writes);

    // The article joined with its chapter (flmc is the chapter's name); no row
    // when either is missing.
    const BookQuery &load(const QString &code);
    // The article rows of this code, for the save's checks.
    const BookQuery &find(const QString &code);
    void insert(const Row &row);
    // Writes every field but the code to the rows of row.nrbh.
    void update(const Row &row);
    void remove(const QString &code);
    // The article of this code now belongs to chapter, nothing else changes.
    void setChapter(const QString &code, const QString &chapter);

private:
    BookQuery &reads_;
    BookQuery &writes_;
};
