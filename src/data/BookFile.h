#pragma once

#include <QSqlDatabase>
#include <QString>

// Where the book lies and whether a file may be opened as one.
namespace BookFile {

// "data/ebook.mdb" under the directory of the running program file.
QString pathBeside(const QString &programDirectory);
// "data/ebook.conf" there, which names a book on a PostgreSQL server.
QString serverConfigBeside(const QString &programDirectory);
// The server configuration when there is one, else the book file.
QString bookBeside(const QString &programDirectory);
QString pathForThisProgram();

// Throws AppError unless the file exists, is a regular file, can be read,
// is not empty and starts like an SQLite database. Reads the first bytes only; never writes.
void verify(const QString &path);

// How long a reader or a writer waits for another program's lock on a book
// file before it says the book is busy.
constexpr int LockTimeoutMs = 5000;

// A connection (not yet open) that only reads the book file, waiting for a
// writer's lock as the program does.
QSqlDatabase addReadOnly(const QString &path, const QString &connectionName);

} // namespace BookFile
