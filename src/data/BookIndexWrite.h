#pragma once

#include <QString>
#include <functional>

class BookConnection;

// The program's own writes of chapter texts and the full-text index.
namespace BookIndex {

// Runs `write`, statements that change the chapter rows of `code`, with
// the index's triggers quiet, and then puts the code's document right
// itself, from pairs made here: the triggers make them in SQL at a far
// higher cost per character. Must run inside a write transaction. A book
// without the index, or with the triggers of an earlier program (no quiet
// table), leaves it all to its triggers.
void keepWhile(BookConnection &connection, const QString &code, const std::function<void()> &write);

} // namespace BookIndex
