#pragma once

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

// Writing new book files by the documented schema (schema/ebook.sql).
namespace BookSchema {

QString schemaSql();
QStringList schemaStatements();
// The statements of an SQL script, without its comment lines.
QStringList statementsIn(const QString &script);

// Runs the schema on an open, empty database; throws AppError.
void apply(QSqlDatabase &db);
// Adds the root chapter "00000" named bookName, its own parent.
void insertRoot(QSqlDatabase &db, const QString &bookName, const QDateTime &when);

// Builds a new book at path through a temporary file in the same folder that
// is renamed at the end, so a failure leaves nothing behind. `fill` may add
// rows (it runs inside one transaction). Refuses an existing path.
void createBook(const QString &path, const QString &bookName,
                const std::function<void(QSqlDatabase &)> &fill = {});

// A temporary name in the folder of path, for writing a book to rename later;
// remembered in TemporaryFiles until moveIntoPlace or a failed write ends it.
QString temporaryPathFor(const QString &path);
// Checks that a new book may be written at path; throws AppError if not.
void checkNewBookPath(const QString &path);
// Writes the schema and whatever `fill` adds (no root row) into a new file at
// exactly this path, in one transaction; removes the file again on failure.
// With indexNewBooks set, the full-text index is part of that transaction.
void writeNewFile(const QString &path, const std::function<void(QSqlDatabase &)> &fill);
// Whether new book files get the full-text index (ebook-tool's writing
// commands set it unless told --no-index); off by default.
extern bool indexNewBooks;
// Renames a finished temporary book to its place; never replaces a file.
void moveIntoPlace(const QString &temporary, const QString &path);

// Runs one statement with positional values (forward only); throws AppError
// on failure. A statement without values runs directly: a server prepares
// on the server, which takes no DDL and no transaction control.
QSqlQuery exec(const QSqlDatabase &db, const QString &sql, const QVariantList &values = {});

} // namespace BookSchema
