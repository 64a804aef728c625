#pragma once

#include "AccessReader.h"
#include "bookcare/BookSchema.h"
#include <QString>

// Brings a book kept in an Access file (Jet 3 or Jet 4, tables ywzx_ywlb and
// ywzx_ywnr) over into a new book file, row for row and column for column.
namespace AccessImport {

// The whole command: checks, reads the Access file in a separate process (a
// damaged file may crash the reader), writes a temporary book and renames it
// into place. Nothing is left behind on failure.
Counts run(const QString &accessPath, const QString &bookPath, const Progress &progress,
           BookSchema::Index index = BookSchema::Index::Without);

} // namespace AccessImport
