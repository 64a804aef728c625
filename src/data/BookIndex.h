#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The optional full-text index of the chapters' texts: the character pairs
// of ywzx_ywlb.ywnr in a contentless FTS5 table without positions (about
// half the texts' size), kept in step by triggers in plain SQL with a
// built-in tokenizer, so every SQLite writer keeps it right. A word of two
// or more characters is looked up as all of its pairs, and LIKE beside it
// keeps the result exactly the scan's. One document per chapter code
// (never the chapter table's rowid, which VACUUM may renumber) holds the
// pairs of that code's texts. The reader only reads it: what it needs is
// here, the upkeep (BookIndexUpkeep.h) belongs to ebook-tool.
namespace BookIndex {

// One row: 3 when the book has the index; then 1 when it holds the
// prefixes of one character (a single character's search is its).
QString presenceSql();


// A statement that fails unless both tables of the index can be read: it
// looks up the FTS5 query :phrase (as the search would) and its keys.
QString healthSql();

// An index can hold every term and still find nothing (its lookup table
// emptied): it is trusted only when it finds chapters by their own texts.
// Rows (code, the first characters of the text) of chapters with a code
// and a text, in the table's order; at most `most` of them.
QString samplesSql(int most);
// The FTS5 query that must find a sample's chapter (some pairs of the start
// of its text); empty when the start holds none.
QString probeQuery(const QString &start);
// One row, one number: 1 when the FTS5 query :probe finds the chapter :code.
QString findsChapterSql();

// The FTS5 query for a LIKE search text: every pair of characters in a run
// without "%" or "_", all of which must occur; without any pair, the terms
// that begin with each character beyond ASCII; empty when there is neither
// (ASCII characters alone are left to the scan).
// With `variants` (繁简通查) each pair is any pair of the two characters'
// variants.
QString matchQuery(const QString &likeText, bool variants = false);

// A condition on ywzx_ywlb: the rows whose text may match, from the index,
// given the FTS5 query as the parameter :phrase. Rows without a code are
// always candidates. With "ywnr like" beside it the result is exactly the
// scan's.
QString candidateCondition();

// Appends to `out` the character pairs of a UTF-8 text, space-separated,
// as the triggers make them in SQL: one term for every character that
// starts at or before the text's second-last byte (see BookIndexUpkeep).
void appendPairs(QByteArray &out, const QByteArray &text);

// True for a matchQuery() of single characters.
bool isCharacterQuery(const QString &phrase);
// True when the index's candidates for the search text all hold it, but
// for chapters that share their code with another (one character beyond
// ASCII): their texts need not be read.
bool exactForASoleChapter(const QString &likeText);
// A condition on ywzx_ywlb: no other chapter has the row's code.
QString soleChapterOfItsCode();

} // namespace BookIndex
