#pragma once

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

// One row, one number: 3 when the book has the index.
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
// without "%" or "_", all of which must occur; empty when there is none (a
// single character is left to the scan).
// With `variants` (繁简通查) each pair is any pair of the two characters'
// variants.
QString matchQuery(const QString &likeText, bool variants = false);

// A condition on ywzx_ywlb: the rows whose text may match, from the index,
// given the FTS5 query as the parameter :phrase. Rows without a code are
// always candidates. With "ywnr like" beside it the result is exactly the
// scan's.
QString candidateCondition();

} // namespace BookIndex
