#pragma once

#include <QString>
#include <QStringList>

class BookQuery;

// Gives the query the statement that selects `columns` of the chapters whose
// text holds `text` (the database's LIKE rules, "%" and "_" included), in
// the chapters' table order. When the book has the full-text index and the
// text holds a run of two or more characters without "%" or "_", the
// index narrows the rows first; the result is the scan's either way.
// `restriction` is a further condition; the caller sets its parameters
// afterwards. Asks the book once whether it has the index.
// With `variants` (繁简通查) a character also matches each of its
// simplified and traditional variants (ChineseVariants).
void prepareTextSearch(BookQuery &query, const QString &columns, const QString &text,
                       const QString &restriction = QString(), bool variants = false);

// How the narrowing names the rows it keeps: SQLite's rowid, or on a server
// book the codes, which are unique there.
QString rowKeyColumn(const BookQuery &query);
// The columns the results window lists: each hit's key, code and name; the
// texts stay unread until a hit is shown.
QString resultListColumns(const BookQuery &query);
// The statement that selects those rows again (those columns), their keys
// bound as the JSON list :rows, in the chapters' table order.
QStringList rowsByKey(const BookQuery &query);
// The statement that reads the shown fields and text of the one row whose
// key is bound as :key.
QStringList rowShownByKey(const BookQuery &query);
