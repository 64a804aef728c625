#pragma once

#include "bookcare/BookSchema.h"
#include <QString>
#include <functional>

// The Access reader's side of the import (AccessImport.h has the command):
// libmdb reading the two tables and the rows copied into the new book file.
namespace AccessImport {

struct Counts {
    int chapters = 0;
    int articles = 0;
};

// Reports rows read so far of all rows of the two tables.
using Progress = std::function<void(const QString &table, int done, int total)>;

// Reads the Access file and writes the book at exactly `path` (which must
// not exist); throws AppError with a one-line message.
Counts writeBook(const QString &accessPath, const QString &path, const Progress &progress,
                 BookSchema::Index index = BookSchema::Index::Without);

// Throws the import's error (AppError::BookFile) with a one-line message.
[[noreturn]] void fail(const QString &message);
// Fails unless the file is an Access file of whole pages.
void checkAccessFile(const QString &path);

} // namespace AccessImport
