#pragma once

#include <QVariant>

class QSqlQuery;

// A value as the engine must receive it. Qt hands a text to SQLite as
// UTF-16, which SQLite reads wrongly from a lone surrogate on, and whose
// leading U+FEFF or U+FFFE it takes for a byte-order mark (dropped, or the
// rest read byte-swapped). So a text is made valid (a lone surrogate becomes
// U+FFFD, no neighbour changes), and for SQLite a text that starts with such
// a character gets the machine's own mark in front, which SQLite removes:
// the character itself is stored, as UTF-8 like every other.
namespace BoundValue {
QVariant forEngine(const QVariant &value, bool sqlite);
// Binds at a position of a prepared statement, for the query's engine.
void bind(QSqlQuery &query, int position, const QVariant &value);
}
