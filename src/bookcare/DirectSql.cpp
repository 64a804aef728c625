#include "bookcare/DirectSql.h"

#include "common/AppError.h"
#include "data/BookConnection.h"
#include "data/BoundValue.h"

#include <QSqlError>

namespace DirectSql {

QSqlQuery exec(const QSqlDatabase &db, const QString &sql, const QVariantList &values)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    bool ok = false;
    if (values.isEmpty()) {
        ok = query.exec(sql);
    } else if (query.prepare(sql)) {
        for (int i = 0; i < values.size(); ++i)
            BoundValue::bind(query, i, values.at(i));
        ok = query.exec();
    }
    if (!ok)
        throw AppError(AppError::Database, engineMessage(query.lastError()));
    return query;
}

} // namespace DirectSql
