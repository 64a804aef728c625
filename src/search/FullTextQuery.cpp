#include "search/FullTextQuery.h"

#include "data/BookConnection.h"
#include "data/BookIndex.h"
#include "data/BookQuery.h"

namespace {

bool onServer(const BookQuery &query)
{
    return query.connection().engine() == BookConnection::Engine::Server;
}

// The chapters' table order; a server book lists its rows by id.
QString tableOrder(const BookQuery &query)
{
    return onServer(query) ? QStringLiteral("order by id, lbbh") : QStringLiteral("order by rowid");
}

bool bookHasIndex(BookQuery &query)
{
    query.close();
    query.setSql({BookIndex::presenceSql()});
    query.open();
    return query.firstFieldAsInteger() == 2;
}

} // namespace

void prepareTextSearch(BookQuery &query, const QString &columns, const QString &text, const QString &restriction)
{
    const QString phrase = BookIndex::matchQuery(text);
    // A server book has no such index; its own trigram index serves LIKE.
    const bool indexed = !phrase.isEmpty() && !onServer(query) && bookHasIndex(query);
    QString where = QStringLiteral("where ywnr like :pattern");
    if (!restriction.isEmpty())
        where += QStringLiteral(" and ") + restriction;
    if (indexed)
        where += QStringLiteral(" and ") + BookIndex::candidateCondition();
    query.close();
    query.setSql({QStringLiteral("select %1 from ywzx_ywlb").arg(columns), where, tableOrder(query)});
    // Bound, not pasted: % and _ keep their meaning, a quote is a character.
    query.setText(QStringLiteral("pattern"), QLatin1Char('%') + text + QLatin1Char('%'));
    if (indexed)
        query.setText(QStringLiteral("phrase"), phrase);
}

QString rowKeyColumn(const BookQuery &query)
{
    return onServer(query) ? QStringLiteral("lbbh") : QStringLiteral("rowid");
}

QStringList rowsByKey(const BookQuery &query)
{
    const QString key = onServer(query) ? QStringLiteral("value") : QStringLiteral("cast(value as integer)");
    return {QStringLiteral("select * from ywzx_ywlb where %1 in (select %2 from json_each(:rows))")
                .arg(rowKeyColumn(query), key),
            tableOrder(query)};
}
