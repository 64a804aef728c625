#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

namespace DirectSql {

// Runs one statement with positional values (forward only); throws AppError
// on failure. A statement without values runs directly: a server prepares
// on the server, which takes no DDL and no transaction control.
QSqlQuery exec(const QSqlDatabase &db, const QString &sql, const QVariantList &values = {});

} // namespace DirectSql
