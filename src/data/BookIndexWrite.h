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
// without an index of pairs leaves it all to its triggers (if any).
void keepWhile(BookConnection &connection, const QString &code, const std::function<void()> &write);

} // namespace BookIndex
