#include "bookcare/ServerBook.h"

#include "common/AppError.h"
#include "data/BoundValue.h"
#include "common/DateTimeText.h"
#include "data/BookConnection.h"
#include "data/Engines.h"
#include "data/BookFile.h"
#include "bookcare/BookSchema.h"

#include <QFile>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringDecoder>
#include <QUuid>
#include <functional>
#include <QCoreApplication>

namespace {

const QString ChapterColumns = QStringLiteral("id,lbbh,lbmc,flbh,xgrq,xgr,ywnr,photoimage,checkimage");
const QString ArticleColumns = QStringLiteral("id,nrbh,nrbt,lbbh,xgrq,xgr,ywnr");
constexpr int DateColumn = 4; // xgrq in both column lists


// A named connection that is removed again whatever happens.
class Connection {
public:
    explicit Connection(const std::function<QSqlDatabase(const QString &)> &add)
        : name_(QStringLiteral("transfer-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
    {
        QSqlDatabase db = add(name_);
        if (!db.open()) {
            const QString message = engineMessage(db.lastError());
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name_);
            throw AppError(AppError::Database, message);
        }
    }
    ~Connection()
    {
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }

private:
    QString name_;
};

QSqlQuery run(const QSqlDatabase &db, const QString &sql, const QVariantList &values = {})
{
    return BookSchema::exec(db, sql, values);
}

QVariant scalar(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query = run(db, sql);
    return query.next() ? query.value(0) : QVariant();
}

// The file stores a date-time as text; the server as a timestamp.
QVariant dateToServer(const QVariant &stored, const QString &table, const QVariant &id)
{
    if (stored.isNull())
        return stored;
    const QDateTime when = DateTimeText::fromStorageText(stored.toString());
    if (!when.isValid())
        throw AppError(AppError::Database, QCoreApplication::translate("ServerBook", "%1 行 id %2：xgrq '%3' 不是日期和时间")
                                               .arg(table, id.toString(), stored.toString()));
    return DateTimeText::storageText(when);
}

QVariant dateToFile(const QVariant &stored)
{
    if (stored.isNull())
        return QVariant(QMetaType::fromType<QString>());
    return DateTimeText::storageText(stored.toDateTime());
}

// Text columns are read as their UTF-8 bytes: through the drivers a leading
// U+FEFF would vanish (PostgreSQL's) and U+FFFE become U+FFFD (SQLite's).
bool isText(const QString &column)
{
    static const QStringList notText = {QStringLiteral("id"), QStringLiteral("xgrq"), QStringLiteral("photoimage")};
    return !notText.contains(column);
}

QString selectedAsBytes(const QSqlDatabase &db, const QString &column)
{
    if (!isText(column))
        return column;
    return Engines::forDriver(db.driver()).bytesOf(column) + QStringLiteral(" as ") + column;
}

QVariant textOfBytes(const QVariant &bytes)
{
    if (bytes.isNull())
        return QVariant(QMetaType::fromType<QString>());
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return QString(utf8(bytes.toByteArray()));
}

// Copies every row of one table, columns in the given order, each text
// exactly; `convertDate` changes the date column on the way.
int copyRows(const QSqlDatabase &from, const QSqlDatabase &to, const QString &table, const QString &columns,
             const QString &order, const std::function<QVariant(const QVariant &, const QVariant &)> &convertDate)
{
    const QStringList names = columns.split(QLatin1Char(','));
    const int count = int(names.size());
    QStringList selected;
    QVector<bool> text;
    for (const QString &name : names) {
        selected << selectedAsBytes(from, name);
        text << isText(name);
    }
    QSqlQuery rows = run(from, QStringLiteral("select %1 from %2 order by %3")
                                   .arg(selected.join(QLatin1Char(',')), table, order));
    QSqlQuery insert(to);
    const QString marks = QStringList(count, QStringLiteral("?")).join(QLatin1Char(','));
    if (!insert.prepare(QStringLiteral("insert into %1 (%2) values (%3)").arg(table, columns, marks)))
        throw AppError(AppError::Database, engineMessage(insert.lastError()));
    const auto cell = [&](int i) {
        if (i == DateColumn)
            return convertDate(rows.value(i), rows.value(0));
        return text.at(i) ? textOfBytes(rows.value(i)) : rows.value(i);
    };
    int copied = 0;
    while (rows.next()) {
        for (int i = 0; i < count; ++i)
            BoundValue::bind(insert, i, cell(i));
        if (!insert.exec())
            throw AppError(AppError::Database, QCoreApplication::translate("ServerBook", "%1 行 id %2：%3")
                                                   .arg(table, rows.value(0).toString(), engineMessage(insert.lastError())));
        ++copied;
    }
    if (rows.lastError().isValid())
        throw AppError(AppError::Database, engineMessage(rows.lastError()));
    return copied;
}

bool holdsBook(const QSqlDatabase &server)
{
    return scalar(server, QStringLiteral("select count(*) from information_schema.tables where table_schema = "
                                         "current_schema() and table_name in ('ywzx_ywlb','ywzx_ywnr')"))
               .toInt() > 0;
}

// The book's own tables and sequence, as an SQL list.
const QString BookRelations = QStringLiteral("('ywzx_ywlb', 'ywzx_ywnr', 'ywzx_ywnr_id_seq')");
const QString InThisSchema = QStringLiteral("c.relnamespace = to_regnamespace(current_schema()) and c.relname in ");

// What the old tables give others, to be given to the new ones: each
// statement with the words that say it.
struct Carried {
    QStringList statements;
    QStringList said;
    QList<std::pair<QString, QString>> columns; // table and column a statement needs (empty: none)
};

QString grantee()
{
    return QStringLiteral("case when a.grantee = 0 then 'public' else quote_ident(r.rolname) end");
}

// Grants on the tables, the sequence and single columns, each with its
// grant option, as made again by the owner.
void carryGrants(const QSqlDatabase &server, Carried *carried)
{
    const QString acl = QStringLiteral(
        " a.privilege_type, a.is_grantable from pg_class c %1 cross join aclexplode(%2) a"
        " left join pg_roles r on r.oid = a.grantee where a.grantee <> c.relowner and ") + InThisSchema + BookRelations;
    QSqlQuery rows = run(server, QStringLiteral("select c.relname, c.relkind, '' as col, %1 as grantee,").arg(grantee())
                                     + acl.arg(QString(), QStringLiteral("c.relacl"))
                                     + QStringLiteral(" union all select c.relname, c.relkind, t.attname, %1,").arg(grantee())
                                     + acl.arg(QStringLiteral("join pg_attribute t on t.attrelid = c.oid and t.attnum > 0"
                                                              " and not t.attisdropped"),
                                               QStringLiteral("t.attacl"))
                                     + QStringLiteral(" order by 1, 3, 4, 5"));
    while (rows.next()) {
        const QString table = rows.value(0).toString();
        const QString column = rows.value(2).toString();
        const QString privilege = rows.value(4).toString()
                                  + (column.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(column));
        const QString option = rows.value(5).toBool() ? QStringLiteral(" with grant option") : QString();
        const QString kind = rows.value(1).toString() == QLatin1String("S") ? QStringLiteral("sequence")
                                                                             : QStringLiteral("table");
        carried->statements << QStringLiteral("grant %1 on %2 %3 to %4%5")
                                   .arg(privilege, kind, table, rows.value(3).toString(), option);
        carried->said << QStringLiteral("%1 on %2 to %3%4").arg(privilege, table, rows.value(3).toString(), option);
        carried->columns.append({table, column});
    }
}

// Row-level security, switched on (and forced) as it was, and the policies.
void carryPolicies(const QSqlDatabase &server, Carried *carried)
{
    QSqlQuery tables = run(server, QStringLiteral("select c.relname, c.relrowsecurity, c.relforcerowsecurity from pg_class c"
                                                  " where c.relkind = 'r' and ") + InThisSchema + BookRelations
                                       + QStringLiteral(" order by 1"));
    while (tables.next()) {
        for (const auto &[index, words] : {std::pair{1, QStringLiteral("enable")}, std::pair{2, QStringLiteral("force")}}) {
            if (!tables.value(index).toBool())
                continue;
            carried->statements << QStringLiteral("alter table %1 %2 row level security").arg(tables.value(0).toString(), words);
            carried->said << QStringLiteral("%1 row level security on %2").arg(words, tables.value(0).toString());
            carried->columns.append(std::pair<QString, QString>());
        }
    }
    QSqlQuery policies = run(server, QStringLiteral(
        "select tablename, policyname, format('create policy %I on %I as %s for %s to %s', policyname, tablename,"
        " permissive, cmd, (select string_agg(case when p = 'public' then 'public' else quote_ident(p) end, ', ')"
        " from unnest(roles) p)) || coalesce(' using (' || qual || ')', '') || coalesce(' with check (' || with_check || ')', '')"
        " from pg_policies where schemaname = current_schema() and tablename in ('ywzx_ywlb', 'ywzx_ywnr') order by 1, 2"));
    while (policies.next()) {
        carried->statements << policies.value(2).toString();
        carried->said << QStringLiteral("policy %1 on %2").arg(policies.value(1).toString(), policies.value(0).toString());
        carried->columns.append(std::pair<QString, QString>());
    }
}

// The triggers, rules and indexes of the book's tables ("index i on
// ywzx_ywlb"): those of the old tables that the new ones lack are said.
QStringList tableExtras(const QSqlDatabase &server)
{
    QSqlQuery rows = run(server, QStringLiteral(
        "select 'trigger ' || t.tgname || ' on ' || c.relname from pg_trigger t join pg_class c on c.oid = t.tgrelid"
        " where not t.tgisinternal and ") + InThisSchema + BookRelations + QStringLiteral(
        " union all select 'rule ' || rulename || ' on ' || tablename from pg_rules"
        " where schemaname = current_schema() and tablename in ('ywzx_ywlb', 'ywzx_ywnr')"
        " union all select 'index ' || i.relname || ' on ' || c.relname from pg_index x"
        " join pg_class i on i.oid = x.indexrelid join pg_class c on c.oid = x.indrelid where ") + InThisSchema
        + BookRelations + QStringLiteral(" order by 1"));
    QStringList extras;
    while (rows.next())
        extras << rows.value(0).toString();
    return extras;
}

bool hasColumn(const QSqlDatabase &server, const QString &table, const QString &column)
{
    return scalar(server, QStringLiteral("select count(*) from pg_attribute where attrelid = to_regclass('%1')"
                                         " and attname = '%2' and not attisdropped")
                              .arg(table, QString(column).replace(QLatin1Char('\''), QStringLiteral("''"))))
               .toInt() == 1;
}

// Gives the new tables what the old ones gave; a grant on a column the new
// table lacks is said instead.
void giveAgain(const QSqlDatabase &server, const Carried &carried, ServerBook::Counts *counts)
{
    for (qsizetype i = 0; i < carried.statements.size(); ++i) {
        const auto &[table, column] = carried.columns.at(i);
        if (!column.isEmpty() && !hasColumn(server, table, column)) {
            counts->notCarried << carried.said.at(i);
            continue;
        }
        run(server, carried.statements.at(i));
        counts->grants << carried.said.at(i);
    }
}

QString orUnknown(const QVariant &value)
{
    return value.toString().isEmpty() ? QCoreApplication::translate("ServerBook", "不详") : value.toString();
}

// Who holds the old tables: each connection with a lock on them. Of
// another user's connection only a superuser or a member of
// pg_read_all_stats sees the address and the time (else said so).
QString holdersOfTheBook(const QSqlDatabase &server)
{
    QSqlQuery rows = run(server, QStringLiteral(
        "select distinct a.pid, a.usename, host(a.client_addr), a.application_name,"
        " to_char(a.xact_start, 'YYYY-MM-DD HH24:MI:SS'), a.state is null as hidden"
        " from pg_locks l join pg_stat_activity a on a.pid = l.pid"
        " where l.locktype = 'relation' and l.granted and l.pid <> pg_backend_pid()"
        " and l.relation in (to_regclass('ywzx_ywlb'), to_regclass('ywzx_ywnr')) order by 1"));
    QStringList holders;
    bool anyHidden = false;
    while (rows.next()) {
        const bool hidden = rows.value(5).toBool();
        anyHidden = anyHidden || hidden;
        const QString address = rows.value(2).toString().isEmpty() && !hidden ? QCoreApplication::translate("ServerBook", "本机（Unix 套接字）")
                                                                              : orUnknown(rows.value(2));
        holders << QCoreApplication::translate("ServerBook", "用户 %1（地址 %2，程序 %3，事务开始于 %4，服务器进程 %5）")
                       .arg(orUnknown(rows.value(1)), address, orUnknown(rows.value(3)), orUnknown(rows.value(4)),
                            rows.value(0).toString());
    }
    return holders.join(QCoreApplication::translate("ServerBook", "；"))
           + (anyHidden ? QCoreApplication::translate("ServerBook", "（其他用户的连接的地址和时间，只有超级用户或 pg_read_all_stats 角色的成员看得到）")
                        : QString());
}

// Takes the old tables for the drop, waiting no longer than the lock
// timeout for others to let go of them; then says who holds them.
void takeOldTables(const QSqlDatabase &server, const ServerConfig &target, int lockTimeoutMs)
{
    run(server, QStringLiteral("set local lock_timeout = %1").arg(lockTimeoutMs));
    run(server, QStringLiteral("savepoint taking"));
    for (const char *table : {"ywzx_ywlb", "ywzx_ywnr"}) {
        if (scalar(server, QStringLiteral("select to_regclass('%1') is null").arg(QLatin1String(table))).toBool())
            continue;
        QSqlQuery lock(server);
        if (lock.exec(QStringLiteral("lock table %1 in access exclusive mode").arg(QLatin1String(table))))
            continue;
        const QSqlError error = lock.lastError();
        if (error.nativeErrorCode() != QLatin1String("55P03"))
            throw AppError(AppError::Database, engineMessage(error));
        run(server, QStringLiteral("rollback to savepoint taking"));
        throw AppError(AppError::Database,
                       QCoreApplication::translate("ServerBook", "数据库 %1 中的书正被其他连接使用，等了 %2 秒仍未放开，书没有替换，什么也没有改动（%3）。"
                                      "正在使用它的连接：%4。请让这些终端结束手头的操作或关闭程序后再替换。")
                           .arg(target.describe(), QString::number(lockTimeoutMs / 1000.0), engineMessage(error),
                                holdersOfTheBook(server)));
    }
}

// The article ids go on from where the book file's sequence stood.
void continueArticleIds(const QSqlDatabase &file, const QSqlDatabase &server)
{
    QSqlQuery seq(file);
    qlonglong next = 0;
    if (seq.exec(QStringLiteral("select seq from sqlite_sequence where name='ywzx_ywnr'")) && seq.next())
        next = seq.value(0).toLongLong();
    next = qMax(next, scalar(server, QStringLiteral("select coalesce(max(id),0) from ywzx_ywnr")).toLongLong());
    run(server, QStringLiteral("select setval(pg_get_serial_sequence('ywzx_ywnr','id'), ?, ?)"),
        {qMax<qlonglong>(next, 1), next >= 1});
}

void withTransaction(const QSqlDatabase &db, const std::function<void()> &work,
                     const QString &begin = QStringLiteral("begin"))
{
    run(db, begin);
    try {
        work();
        run(db, QStringLiteral("commit"));
    } catch (...) {
        QSqlQuery(db).exec(QStringLiteral("rollback"));
        throw;
    }
}

// A save writes the text indexes at once. Left in GIN's pending list, the
// saved texts would be scanned by every search until a vacuum moves them,
// and a save cancels the autovacuum it meets (its lock), so the list grows;
// a few hundred kB of it and the planner reads every text instead (seconds).
void writeTextIndexesAtOnce(const QSqlDatabase &db)
{
    for (const char *index : {"ywzx_ywlb_ywnr_trgm", "ywzx_ywlb_ywnr_pairs", "ywzx_ywlb_ywnr_chars"})
        run(db, QStringLiteral("alter index %1 set (fastupdate = off)").arg(QLatin1String(index)));
}

} // namespace

namespace ServerBook {

Counts push(const QString &bookFile, const ServerConfig &target, bool replace, int lockTimeoutMs)
{
    BookFile::verify(bookFile);
    Connection file([&](const QString &name) { return BookFile::addReadOnly(bookFile, name); });
    Connection server([&](const QString &name) { return target.addDatabase(name); });
    Counts counts;
    Carried carried;
    QStringList oldExtras;
    // The file is read as one state of the book, whoever saves meanwhile.
    withTransaction(file.db(), [&] {
        withTransaction(server.db(), [&] {
            if (holdsBook(server.db())) {
                if (!replace)
                    throw AppError(AppError::Database,
                                   QCoreApplication::translate("ServerBook", "数据库 %1 中已有一本书；用 --replace 替换它")
                                       .arg(target.describe()));
                takeOldTables(server.db(), target, lockTimeoutMs);
                carryGrants(server.db(), &carried);
                carryPolicies(server.db(), &carried);
                oldExtras = tableExtras(server.db());
                run(server.db(), QStringLiteral("drop table if exists ywzx_ywlb, ywzx_ywnr"));
            }
            run(server.db(), QStringLiteral("create extension if not exists pg_trgm"));
            for (const QString &statement : BookSchema::statementsIn(BookSchema::scriptOf(QStringLiteral(":/data/server.sql"))))
                run(server.db(), statement);
            counts.chapters = copyRows(file.db(), server.db(), QStringLiteral("ywzx_ywlb"), ChapterColumns,
                                       QStringLiteral("rowid"), [](const QVariant &v, const QVariant &id) {
                                           return dateToServer(v, QStringLiteral("ywzx_ywlb"), id);
                                       });
            counts.articles = copyRows(file.db(), server.db(), QStringLiteral("ywzx_ywnr"), ArticleColumns,
                                       QStringLiteral("rowid"), [](const QVariant &v, const QVariant &id) {
                                           return dateToServer(v, QStringLiteral("ywzx_ywnr"), id);
                                       });
            continueArticleIds(file.db(), server.db());
            for (const QString &statement : BookSchema::statementsIn(BookSchema::scriptOf(QStringLiteral(":/data/server-indexes.sql"))))
                run(server.db(), statement);
            writeTextIndexesAtOnce(server.db());
            giveAgain(server.db(), carried, &counts);
            const QStringList newExtras = tableExtras(server.db());
            for (const QString &extra : std::as_const(oldExtras))
                if (!newExtras.contains(extra))
                    counts.notCarried << extra;
        });
    });
    return counts;
}

Counts pull(const ServerConfig &source, const QString &bookFile)
{
    BookSchema::checkNewBookPath(bookFile);
    Connection server([&](const QString &name) { return source.addDatabase(name); });
    if (!holdsBook(server.db()))
        throw AppError(AppError::Database, QCoreApplication::translate("ServerBook", "数据库 %1 中没有书").arg(source.describe()));
    Counts counts;
    const QString temporary = BookSchema::temporaryPathFor(bookFile);
    // The server's transaction lies inside the file's making, so that any
    // failure, its commit's too, takes the unfinished file away.
    BookSchema::writeNewFile(temporary, [&](QSqlDatabase &file) {
        withTransaction(server.db(), [&] {
            const auto toFile = [](const QVariant &v, const QVariant &) { return dateToFile(v); };
            counts.chapters = copyRows(server.db(), file, QStringLiteral("ywzx_ywlb"), ChapterColumns,
                                       QStringLiteral("id, ctid"), toFile);
            counts.articles = copyRows(server.db(), file, QStringLiteral("ywzx_ywnr"), ArticleColumns,
                                       QStringLiteral("id"), toFile);
            const QVariant last = scalar(server.db(), QStringLiteral(
                "select pg_sequence_last_value(pg_get_serial_sequence('ywzx_ywnr','id')::regclass)"));
            if (!last.isNull() && last.toLongLong() > 0) {
                run(file, QStringLiteral("delete from sqlite_sequence where name='ywzx_ywnr'"));
                run(file, QStringLiteral("insert into sqlite_sequence (name,seq) values ('ywzx_ywnr',?)"),
                    {last.toLongLong()});
            }
        }, QStringLiteral("begin isolation level repeatable read read only"));
    });
    BookSchema::moveIntoPlace(temporary, bookFile);
    return counts;
}

} // namespace ServerBook
