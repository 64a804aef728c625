#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

class BookQuery;

// What the maintenance dialogs read and write, through the data module's
// shared queries: one chapter or article row, its existence, its insert,
// update and delete. Codes and values are bound, never pasted: a code
// holding a quote is an ordinary code. A returned query is the shared one,
// open, and valid until the next call that uses it.
namespace ChapterStore {

// A chapter row as the dialog writes it.
struct Row {
    QString lbbh, lbmc, flbh;
    QDateTime xgrq;
    QString xgr, ywnr;
    QByteArray photoimage;
    bool checkimage = false;
};

// The chapter joined with its parent row (flmc is the parent's name); no
// row when either is missing.
const BookQuery &load(const QString &code);
// The chapter rows of this code, for the save's checks.
const BookQuery &find(const QString &code);
// Gives a query of the dialog's own the statement of the largest row id.
void setNextIdStatement(BookQuery &query);
// Runs that query again: the id a new row takes (1 in an empty table).
int nextId(BookQuery &query);
void insert(const Row &row, int id);
// Writes every field but the code to the rows of row.lbbh.
void update(const Row &row);
// The rows whose parent is this code.
int childCount(const QString &code);
void remove(const QString &code);

} // namespace ChapterStore

namespace ArticleStore {

// An article row as the dialog writes it.
struct Row {
    QString nrbh, nrbt, lbbh;
    QDateTime xgrq;
    QString xgr, ywnr;
};

// The article joined with its chapter (flmc is the chapter's name); no row
// when either is missing.
const BookQuery &load(const QString &code);
// The article rows of this code, for the save's checks.
const BookQuery &find(const QString &code);
void insert(const Row &row);
// Writes every field but the code to the rows of row.nrbh.
void update(const Row &row);
void remove(const QString &code);

} // namespace ArticleStore
