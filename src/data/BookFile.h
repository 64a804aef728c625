#pragma once

#include <QString>

// Where the book lies and whether a file may be opened as one.
namespace BookFile {

// "data/ebook.mdb" under the directory of the running program file.
QString pathBeside(const QString &programDirectory);
QString pathForThisProgram();

// Throws AppError unless the file exists, is a regular file, can be read,
// is not empty and starts like an SQLite database. Reads the first bytes only; never writes.
void verify(const QString &path);

} // namespace BookFile
