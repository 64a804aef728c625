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

// How the book's triggers are held back while the program keeps the
// index itself: today's have the quiet table; the previous program's have
// none, so they are dropped and made again inside the write's transaction
// (nobody else ever sees them gone). Nothing to hold back when the book has
// no index of pairs.
class QuietTriggers {
public:
    explicit QuietTriggers(BookConnection &connection)
        : connection_(connection)
    {
        if (!connection.engine().keepsFullTextIndex())
            return;
        QSqlQuery parts = run(connection, QStringLiteral("select name, type, sql from sqlite_master where name in"
                                                          " ('ywzx_ywlb_fts', 'ywzx_ywlb_fts_key', 'ywzx_ywlb_fts_n',"
                                                          " 'ywzx_ywlb_fts_quiet') or (type = 'trigger'"
                                                          " and tbl_name = 'ywzx_ywlb' and name glob 'ywzx_ywlb_fts_*')"));
        int tables = 0;
        while (parts.next()) {
            if (parts.value(1).toString() == QLatin1String("trigger"))
                triggers_.append({parts.value(0).toString(), parts.value(2).toString()});
            else if (parts.value(0).toString() == QLatin1String("ywzx_ywlb_fts_quiet"))
                quietTable_ = true;
            else
                ++tables;
        }
        kept_ = tables == 3;
    }

    bool keptByTheProgram() const { return kept_; }

    void begin()
    {
        if (quietTable_)
            run(connection_, QStringLiteral("insert into ywzx_ywlb_fts_quiet (x) values (1)"));
        else
            for (const auto &trigger : triggers_)
                run(connection_, QStringLiteral("drop trigger \"%1\"").arg(trigger.first));
    }

    void end()
    {
        if (quietTable_)
            run(connection_, QStringLiteral("delete from ywzx_ywlb_fts_quiet"));
        else
            for (const auto &trigger : triggers_)
                run(connection_, trigger.second);
    }

private:
    BookConnection &connection_;
    QList<QPair<QString, QString>> triggers_;
    bool quietTable_ = false;
    bool kept_ = false;
};

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
    QuietTriggers triggers(connection);
    if (!triggers.keptByTheProgram()) {
        write();
        return;
    }
    triggers.begin();
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
    triggers.end();
}

} // namespace BookIndex
