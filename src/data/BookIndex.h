#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The optional full-text index of the chapters' texts: an FTS5 table with
// the trigram tokenizer over ywzx_ywlb.ywnr, kept in step by triggers, so
// every writer keeps it right. Its entries are keyed on the chapter's code,
// never on the chapter table's rowid, which VACUUM may renumber. ebook-tool
// creates, drops and checks it; the reader only reads it.
namespace BookIndex {

// One row, one number: 2 when the book has the index.
QString presenceSql();

bool present(QSqlDatabase &db);
// True when any part of the index is there (a table, a trigger, its own
// tables), whole or not.
bool anyPart(QSqlDatabase &db);
// Adds the index and fills it (the caller may hold a transaction).
void create(QSqlDatabase &db);
// Removes every part there is, damaged or not.
void drop(QSqlDatabase &db);
// True when every chapter's code and text is in the index exactly once,
// nothing else is, and its triggers are there; reads only.
bool agreesWithTheTexts(QSqlDatabase &db);
// True when the index holds exactly the chapters' texts and its triggers;
// otherwise (damaged parts included) it is rebuilt and the result is false.
bool checkAndRepair(QSqlDatabase &db);

// A statement that fails unless both tables of the index can be read: it
// looks up the FTS5 query :phrase (as the search would) and its keys.
QString healthSql();

// The FTS5 query for a LIKE search text: each run of three or more
// characters without "%" or "_", as phrases that must all occur; empty
// when there is no such run (the index cannot answer: too short a run
// matches nothing in a trigram index).
QString matchQuery(const QString &likeText);

// A condition on ywzx_ywlb: the rows whose text may match, from the index,
// given the FTS5 query as the parameter :phrase. Rows without a code are
// always candidates. With "ywnr like" beside it the result is exactly the
// scan's.
QString candidateCondition();

} // namespace BookIndex
