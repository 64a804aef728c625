#include "data/BoundValue.h"

#include "data/Engines.h"

#include <QSqlQuery>

namespace BoundValue {

void bind(QSqlQuery &query, int position, const QVariant &value)
{
    query.bindValue(position, Engines::forDriver(query.driver()).bindable(value));
}

} // namespace BoundValue
