#pragma once

#include "data/BookSql.h"

// Turns a statement already translated for SQLite (single-quoted literals,
// "?" parameters) into PostgreSQL's, so that it gives the same rows:
// - LIKE folds ASCII letters only, as SQLite's does, and knows no escape
//   character ("\" is an ordinary character, "%" and "_" the wildcards);
//   the folded chapter text is what the trigram index holds;
// - a JSON list of values expands with json_array_elements_text;
// - "select * from" one table without an order lists the rows by id, the
//   order in which SQLite returns them.
// Names in any case need nothing: PostgreSQL folds unquoted names.
TranslatedSql toServerSql(const TranslatedSql &sqlite);

// The expression that folds ASCII capitals of a text to small letters (the
// column ywnr_folded, which the server keeps folded, as it is).
QString asciiFolded(const QString &operand);
