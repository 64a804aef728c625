#include "data/BookIndex.h"
#include "data/DirectSql.h"

#include "common/AppError.h"
#include "data/BookConnection.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QRegularExpression>

namespace BookIndex {

namespace {

// The entry of the removed (or changed) row: of the entries of its code the
// first that holds its text, so rows that share a code keep theirs.
const char *RemoveOld =
    "  DELETE FROM ywzx_ywlb_fts WHERE rowid = (SELECT k.docid FROM ywzx_ywlb_fts_key k"
    " JOIN ywzx_ywlb_fts f ON f.rowid = k.docid WHERE k.lbbh IS old.lbbh AND f.ywnr IS old.ywnr"
    " ORDER BY k.docid LIMIT 1);\n"
    "  DELETE FROM ywzx_ywlb_fts_key WHERE lbbh IS old.lbbh"
    " AND NOT EXISTS (SELECT 1 FROM ywzx_ywlb_fts f WHERE f.rowid = ywzx_ywlb_fts_key.docid);\n";
const char *AddNew =
    "  INSERT INTO ywzx_ywlb_fts_key (lbbh) VALUES (new.lbbh);\n"
    "  INSERT INTO ywzx_ywlb_fts (rowid, ywnr) VALUES ((SELECT max(docid) FROM ywzx_ywlb_fts_key), new.ywnr);\n";

QStringList createStatements()
{
    return {
        QStringLiteral("CREATE TABLE ywzx_ywlb_fts_key (docid INTEGER PRIMARY KEY, lbbh VARCHAR(5))"),
        QStringLiteral("CREATE INDEX ywzx_ywlb_fts_key_lbbh ON ywzx_ywlb_fts_key (lbbh)"),
        QStringLiteral("CREATE VIRTUAL TABLE ywzx_ywlb_fts USING fts5(ywnr, tokenize = 'trigram')"),
        QStringLiteral("INSERT INTO ywzx_ywlb_fts_key (docid, lbbh) SELECT rowid, lbbh FROM ywzx_ywlb"),
        QStringLiteral("INSERT INTO ywzx_ywlb_fts (rowid, ywnr) SELECT rowid, ywnr FROM ywzx_ywlb"),
        QStringLiteral("CREATE TRIGGER ywzx_ywlb_fts_insert AFTER INSERT ON ywzx_ywlb BEGIN\n%1END")
            .arg(QLatin1String(AddNew)),
        QStringLiteral("CREATE TRIGGER ywzx_ywlb_fts_delete AFTER DELETE ON ywzx_ywlb BEGIN\n%1END")
            .arg(QLatin1String(RemoveOld)),
        QStringLiteral("CREATE TRIGGER ywzx_ywlb_fts_update AFTER UPDATE OF lbbh, ywnr ON ywzx_ywlb"
                       " WHEN old.lbbh IS NOT new.lbbh OR old.ywnr IS NOT new.ywnr BEGIN\n%1%2END")
            .arg(QLatin1String(RemoveOld), QLatin1String(AddNew)),
    };
}

const QStringList ShadowTables = {QStringLiteral("ywzx_ywlb_fts_data"), QStringLiteral("ywzx_ywlb_fts_idx"),
                                  QStringLiteral("ywzx_ywlb_fts_content"), QStringLiteral("ywzx_ywlb_fts_docsize"),
                                  QStringLiteral("ywzx_ywlb_fts_config")};

qint64 number(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query = DirectSql::exec(db, sql);
    return query.next() ? query.value(0).toLongLong() : 0;
}

// The FTS5 table agrees with its own copy of the texts (a write statement
// that changes nothing).
bool consistentInItself(QSqlDatabase &db)
{
    QSqlQuery integrity(db);
    return integrity.exec(QStringLiteral("INSERT INTO ywzx_ywlb_fts (ywzx_ywlb_fts) VALUES ('integrity-check')"));
}

} // namespace

// Every chapter's code and text is in the index exactly once, and nothing
// else is. A table that cannot be read is no match either.
bool agreesWithTheTexts(QSqlDatabase &db)
{
    const QString pairs = QStringLiteral(
        "SELECT k.lbbh, f.ywnr FROM ywzx_ywlb_fts_key k JOIN ywzx_ywlb_fts f ON f.rowid = k.docid");
    if (number(db, presenceSql()) != 2)
        return false;
    if (number(db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'trigger'"
                                  " AND name IN ('ywzx_ywlb_fts_insert', 'ywzx_ywlb_fts_delete',"
                                  " 'ywzx_ywlb_fts_update')")) != 3)
        return false;
    const qint64 chapters = number(db, QStringLiteral("SELECT count(*) FROM ywzx_ywlb"));
    if (number(db, QStringLiteral("SELECT count(*) FROM ywzx_ywlb_fts_key")) != chapters
        || number(db, QStringLiteral("SELECT count(*) FROM ywzx_ywlb_fts")) != chapters
        || number(db, QStringLiteral("SELECT count(*) FROM (%1)").arg(pairs)) != chapters)
        return false;
    return number(db, QStringLiteral("SELECT count(*) FROM (SELECT lbbh, ywnr FROM ywzx_ywlb EXCEPT %1)").arg(pairs)) == 0
        && number(db, QStringLiteral("SELECT count(*) FROM (%1 EXCEPT SELECT lbbh, ywnr FROM ywzx_ywlb)").arg(pairs)) == 0;
}

QString presenceSql()
{
    return QStringLiteral("select count(*) from sqlite_master where type = 'table'"
                          " and name in ('ywzx_ywlb_fts', 'ywzx_ywlb_fts_key')");
}

bool present(QSqlDatabase &db)
{
    return number(db, presenceSql()) == 2;
}

void create(QSqlDatabase &db)
{
    for (const QString &statement : createStatements())
        DirectSql::exec(db, statement);
}

bool anyPart(QSqlDatabase &db)
{
    return number(db, QStringLiteral("select count(*) from sqlite_master where name glob 'ywzx_ywlb_fts*'")) > 0;
}

// Whatever is left of the index goes. An FTS5 table whose own tables are
// damaged cannot be dropped (its constructor fails): its entry is taken out
// of the schema by hand and its tables dropped one by one.
void drop(QSqlDatabase &db)
{
    for (const char *trigger : {"ywzx_ywlb_fts_insert", "ywzx_ywlb_fts_delete", "ywzx_ywlb_fts_update"})
        DirectSql::exec(db, QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(QLatin1String(trigger)));
    if (!QSqlQuery(db).exec(QStringLiteral("DROP TABLE IF EXISTS ywzx_ywlb_fts"))) {
        const qint64 version = number(db, QStringLiteral("PRAGMA schema_version"));
        DirectSql::exec(db, QStringLiteral("PRAGMA writable_schema = ON"));
        DirectSql::exec(db, QStringLiteral("DELETE FROM sqlite_master WHERE type = 'table' AND name = 'ywzx_ywlb_fts'"));
        // A new schema version makes the connection read the schema again.
        DirectSql::exec(db, QStringLiteral("PRAGMA schema_version = %1").arg(version + 1));
        DirectSql::exec(db, QStringLiteral("PRAGMA writable_schema = OFF"));
    }
    for (const QString &table : ShadowTables + QStringList{QStringLiteral("ywzx_ywlb_fts_key")})
        DirectSql::exec(db, QStringLiteral("DROP TABLE IF EXISTS %1").arg(table));
}

bool checkAndRepair(QSqlDatabase &db)
{
    bool right = false;
    try {
        right = agreesWithTheTexts(db) && consistentInItself(db);
    } catch (const AppError &) {
        right = false; // a part cannot even be read
    }
    if (right)
        return true;
    drop(db);
    create(db);
    return false;
}

QString matchQuery(const QString &likeText)
{
    static const QRegularExpression wildcards(QStringLiteral("[%_]"));
    QStringList phrases;
    for (QString run : likeText.split(wildcards, Qt::SkipEmptyParts))
        if (run.toUcs4().size() >= 3)
            phrases << QLatin1Char('"') + run.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
    return phrases.join(QLatin1String(" AND "));
}

QString healthSql()
{
    return QStringLiteral("select count(*) from ywzx_ywlb_fts_key where docid in"
                          " (select rowid from ywzx_ywlb_fts where ywzx_ywlb_fts match :phrase limit 1)");
}

QString candidateCondition()
{
    return QStringLiteral("rowid in (select l.rowid from ywzx_ywlb l where l.lbbh in"
                          " (select k.lbbh from ywzx_ywlb_fts_key k where k.docid in"
                          " (select rowid from ywzx_ywlb_fts where ywzx_ywlb_fts match :phrase))"
                          " union all select rowid from ywzx_ywlb where lbbh is null)");
}

} // namespace BookIndex
