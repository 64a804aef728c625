#pragma once

#include <QVariant>

class QSqlQuery;

namespace BoundValue {
// Binds at a position of a prepared statement, as the statement's engine
// must receive the value (BookEngine::bindable).
void bind(QSqlQuery &query, int position, const QVariant &value);
}
