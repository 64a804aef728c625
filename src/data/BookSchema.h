#pragma once

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// Writing new book files by the documented schema (schema/ebook.sql).
namespace BookSchema {

QString schemaSql();
QStringList schemaStatements();

// Runs the schema on an open, empty database; throws AppError.
void apply(QSqlDatabase &db);
// Adds the root chapter "00000" named bookName, its own parent.
void insertRoot(QSqlDatabase &db, const QString &bookName, const QDateTime &when);

// Builds a new book at path through a temporary file in the same folder that
// is renamed at the end, so a failure leaves nothing behind. `fill` may add
// rows (it runs inside one transaction). Refuses an existing path.
void createBook(const QString &path, const QString &bookName,
                const std::function<void(QSqlDatabase &)> &fill = {});

// Runs one statement with positional values; throws AppError on failure.
void exec(QSqlDatabase &db, const QString &sql, const QVariantList &values = {});

} // namespace BookSchema
