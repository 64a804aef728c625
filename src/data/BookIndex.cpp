#include "data/BookIndex.h"
#include "data/BookSchema.h"

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

QStringList dropStatements()
{
    return {QStringLiteral("DROP TRIGGER IF EXISTS ywzx_ywlb_fts_insert"),
            QStringLiteral("DROP TRIGGER IF EXISTS ywzx_ywlb_fts_delete"),
            QStringLiteral("DROP TRIGGER IF EXISTS ywzx_ywlb_fts_update"),
            QStringLiteral("DROP TABLE IF EXISTS ywzx_ywlb_fts"),
            QStringLiteral("DROP TABLE IF EXISTS ywzx_ywlb_fts_key")};
}

qint64 number(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query = BookSchema::exec(db, sql);
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

bool agreesWithTheTexts(QSqlDatabase &db)
{
    const QString pairs = QStringLiteral(
        "SELECT k.lbbh, f.ywnr FROM ywzx_ywlb_fts_key k JOIN ywzx_ywlb_fts f ON f.rowid = k.docid");
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
        BookSchema::exec(db, statement);
}

void drop(QSqlDatabase &db)
{
    for (const QString &statement : dropStatements())
        BookSchema::exec(db, statement);
}

bool checkAndRepair(QSqlDatabase &db)
{
    if (agreesWithTheTexts(db) && consistentInItself(db))
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

QString candidateCondition()
{
    return QStringLiteral("rowid in (select l.rowid from ywzx_ywlb l where l.lbbh in"
                          " (select k.lbbh from ywzx_ywlb_fts_key k where k.docid in"
                          " (select rowid from ywzx_ywlb_fts where ywzx_ywlb_fts match :phrase))"
                          " union all select rowid from ywzx_ywlb where lbbh is null)");
}

} // namespace BookIndex
