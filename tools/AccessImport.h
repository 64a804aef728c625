#pragma once

#include "bookcare/BookSchema.h"
#include <QString>
#include <functional>

// Brings a book kept in an Access file (Jet 3 or Jet 4, tables ywzx_ywlb and
// ywzx_ywnr) over into a new book file, row for row and column for column.
namespace AccessImport {

struct Counts {
    int chapters = 0;
    int articles = 0;
};

// Reports rows read so far of all rows of the two tables.
using Progress = std::function<void(const QString &table, int done, int total)>;

// Reads the Access file and writes the book at exactly `path` (which must
// not exist); throws AppError with a one-line message.
Counts writeBook(const QString &accessPath, const QString &path, const Progress &progress);

// The whole command: checks, reads the Access file in a separate process (a
// damaged file may crash the reader), writes a temporary book and renames it
// into place. Nothing is left behind on failure.
Counts run(const QString &accessPath, const QString &bookPath, const Progress &progress,
           BookSchema::Index index = BookSchema::Index::Without);

} // namespace AccessImport
