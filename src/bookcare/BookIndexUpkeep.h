#pragma once

#include <QSqlDatabase>

// Making, removing and checking the full-text index (see BookIndex.h):
// ebook-tool's part, never linked into the reader.
namespace BookIndex {

bool present(QSqlDatabase &db);
// True when any part of the index is there (a table, a trigger, its own
// tables), whole or not.
bool anyPart(QSqlDatabase &db);
// True when the book has the index of an earlier program (pairs of three
// characters, with a copy of the texts): the reader scans instead, and
// "index" or "index --check" rebuilds it.
bool olderForm(QSqlDatabase &db);
// Adds the index and fills it (the caller may hold a transaction).
void create(QSqlDatabase &db);
// Removes every part there is, damaged or not.
void drop(QSqlDatabase &db);
// True when every chapter code is in the index exactly once with the pairs
// of its texts, nothing else is, and its triggers are there; reads only
// (a fresh index in the temporary schema is compared with it).
bool agreesWithTheTexts(QSqlDatabase &db);
// True when the index holds exactly the chapters' texts and its triggers;
// otherwise (damaged parts included) it is rebuilt and the result is false.
bool checkAndRepair(QSqlDatabase &db);

} // namespace BookIndex
