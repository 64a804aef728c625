#include "bookcare/ServerBookReplace.h"

#include "bookcare/BookSchema.h"
#include "common/AppError.h"
#include "data/BookEngine.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QCoreApplication>

namespace {

QSqlQuery run(const QSqlDatabase &db, const QString &sql, const QVariantList &values = {})
{
    return BookSchema::exec(db, sql, values);
}

QVariant scalar(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query = run(db, sql);
    return query.next() ? query.value(0) : QVariant();
}

// The book's own tables and sequence, as an SQL list.
const QString BookRelations = QStringLiteral("('ywzx_ywlb', 'ywzx_ywnr', 'ywzx_ywnr_id_seq')");
const QString InThisSchema = QStringLiteral("c.relnamespace = to_regnamespace(current_schema()) and c.relname in ");

QString grantee()
{
    return QStringLiteral("case when a.grantee = 0 then 'public' else quote_ident(r.rolname) end");
}

bool hasColumn(const QSqlDatabase &server, const QString &table, const QString &column)
{
    return scalar(server, QStringLiteral("select count(*) from pg_attribute where attrelid = to_regclass('%1')"
                                         " and attname = '%2' and not attisdropped")
                              .arg(table, QString(column).replace(QLatin1Char('\''), QStringLiteral("''"))))
               .toInt() == 1;
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

} // namespace

namespace ServerBookReplace {

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

void giveAgain(const QSqlDatabase &server, const Carried &carried, QStringList *grants, QStringList *notCarried)
{
    for (qsizetype i = 0; i < carried.statements.size(); ++i) {
        const auto &[table, column] = carried.columns.at(i);
        if (!column.isEmpty() && !hasColumn(server, table, column)) {
            *notCarried << carried.said.at(i);
            continue;
        }
        run(server, carried.statements.at(i));
        *grants << carried.said.at(i);
    }
}

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

} // namespace ServerBookReplace
