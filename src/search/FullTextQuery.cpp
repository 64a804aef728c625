#include "search/FullTextQuery.h"

#include "data/BookConnection.h"
#include "data/BookIndex.h"
#include "data/BookQuery.h"
#include "common/AppError.h"

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

// The index answers only when both its tables are there and can be read:
// a missing or damaged one leaves the search to the scan, with the same
// result. Costs one catalogue read and one lookup of the phrase.
bool bookHasIndex(BookQuery &query, const QString &phrase)
{
    query.close();
    query.setSql({BookIndex::presenceSql()});
    query.open();
    if (query.firstFieldAsInteger() != 3)
        return false;
    query.setSql({BookIndex::healthSql()});
    query.setText(QStringLiteral("phrase"), phrase);
    try {
        query.open();
    } catch (const AppError &) {
        return false;
    }
    return true;
}

// A server book compares the folded copy of the texts that the server
// keeps (and indexes); one pushed by an earlier program has none and folds
// each text as it compares it.
QString searchedColumn(BookQuery &query)
{
    if (!onServer(query))
        return QStringLiteral("ywnr");
    query.close();
    query.setSql({QStringLiteral("select count(*) from information_schema.columns where table_schema = current_schema()"
                                 " and table_name = 'ywzx_ywlb' and column_name = 'ywnr_folded'")});
    query.open();
    return query.firstFieldAsInteger() == 1 ? QStringLiteral("ywnr_folded") : QStringLiteral("ywnr");
}

} // namespace

void prepareTextSearch(BookQuery &query, const QString &columns, const QString &text, const QString &restriction)
{
    const QString phrase = BookIndex::matchQuery(text);
    // A server book has no such index; its own trigram index serves LIKE.
    const bool indexed = !phrase.isEmpty() && !onServer(query) && bookHasIndex(query, phrase);
    QString where = QStringLiteral("where %1 like :pattern").arg(searchedColumn(query));
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
