#include "data/BookIndexWrite.h"

#include "data/BookConnection.h"
#include "data/BookIndex.h"

#include <QSqlError>
#include <QSqlQuery>

namespace BookIndex {

namespace {

QSqlQuery run(BookConnection &connection, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    connection.recordStatement(sql);
    bool done = query.prepare(sql);
    for (qsizetype i = 0; done && i < values.size(); ++i)
        query.bindValue(int(i), values.at(i));
    done = done && query.exec();
    if (!done)
        throw connection.failure(query.lastError());
    return query;
}

bool keptByTheProgram(BookConnection &connection)
{
    if (!connection.engine().keepsFullTextIndex())
        return false;
    QSqlQuery tables = run(connection, QStringLiteral("select count(*) from sqlite_master where type = 'table'"
                                                       " and name in ('ywzx_ywlb_fts', 'ywzx_ywlb_fts_key',"
                                                       " 'ywzx_ywlb_fts_quiet')"));
    return tables.next() && tables.value(0).toInt() == 3;
}

// The terms of the code's document: the pairs of each of its texts.
QByteArray pairsOfCode(BookConnection &connection, const QString &code)
{
    QSqlQuery texts = run(connection, QStringLiteral("select cast(ywnr as blob) from ywzx_ywlb where lbbh = ?"), {code});
    QByteArray pairs;
    while (texts.next()) {
        if (!pairs.isEmpty())
            pairs += ' ';
        appendPairs(pairs, texts.value(0).toByteArray());
    }
    return pairs;
}

} // namespace

void keepWhile(BookConnection &connection, const QString &code, const std::function<void()> &write)
{
    if (!keptByTheProgram(connection)) {
        write();
        return;
    }
    run(connection, QStringLiteral("insert into ywzx_ywlb_fts_quiet (x) values (1)"));
    const QByteArray before = pairsOfCode(connection, code);
    write();
    const QByteArray after = pairsOfCode(connection, code);
    run(connection, QStringLiteral("insert into ywzx_ywlb_fts (ywzx_ywlb_fts, rowid, ywnr)"
                                   " select 'delete', docid, ? from ywzx_ywlb_fts_key where lbbh = ?"),
        {before, code});
    run(connection, QStringLiteral("delete from ywzx_ywlb_fts_key where lbbh = ?"
                                   " and not exists (select 1 from ywzx_ywlb where lbbh = ?)"),
        {code, code});
    run(connection, QStringLiteral("insert into ywzx_ywlb_fts_key (lbbh) select ? where exists"
                                   " (select 1 from ywzx_ywlb where lbbh = ?)"
                                   " and not exists (select 1 from ywzx_ywlb_fts_key where lbbh = ?)"),
        {code, code, code});
    run(connection, QStringLiteral("insert into ywzx_ywlb_fts (rowid, ywnr) select docid, ? from ywzx_ywlb_fts_key where lbbh = ?"),
        {after, code});
    run(connection, QStringLiteral("delete from ywzx_ywlb_fts_quiet"));
}

} // namespace BookIndex
