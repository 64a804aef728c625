#pragma once

#include "bookcare/DirectSql.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

// Writing new book files by the documented schema (schema/ebook.sql).
namespace BookSchema {

// Whether a new book file gets the full-text index.
enum class Index { Without, FullText };

QString schemaSql();
// A built-in script; throws AppError when it cannot be read or is empty.
QString scriptOf(const QString &resource);
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
                const std::function<void(QSqlDatabase &)> &fill = {}, Index index = Index::Without);

// A temporary name in the folder of path, for writing a book to rename later;
// remembered in TemporaryFiles until moveIntoPlace or a failed write ends it.
QString temporaryPathFor(const QString &path);
// Checks that a new book may be written at path; throws AppError if not.
void checkNewBookPath(const QString &path);
// Writes the schema and whatever `fill` adds (no root row) into a new file at
// exactly this path, in one transaction; removes the file again on failure.
// With Index::FullText, the full-text index is part of that transaction.
void writeNewFile(const QString &path, const std::function<void(QSqlDatabase &)> &fill, Index index = Index::Without);
// Renames a finished temporary book to its place; never replaces a file.
void moveIntoPlace(const QString &temporary, const QString &path);

using DirectSql::exec;

} // namespace BookSchema
