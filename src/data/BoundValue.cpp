#include "data/BoundValue.h"

#include "common/TextHelpers.h"

#include <QSqlDriver>
#include <QSqlQuery>

namespace BoundValue {

QVariant forEngine(const QVariant &value, bool sqlite)
{
    if (value.typeId() != QMetaType::QString)
        return value;
    QString text = TextHelpers::validText(value.toString());
    if (sqlite && (text.startsWith(QChar::ByteOrderMark) || text.startsWith(QChar::ByteOrderSwapped)))
        text.prepend(QChar::ByteOrderMark);
    return text;
}

void bind(QSqlQuery &query, int position, const QVariant &value)
{
    const bool sqlite = query.driver() && query.driver()->dbmsType() == QSqlDriver::SQLite;
    query.bindValue(position, forEngine(value, sqlite));
}

} // namespace BoundValue
