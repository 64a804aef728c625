#include "bookcare/BookIndexUpkeep.h"

#include "data/BookIndex.h"
#include "bookcare/DirectSql.h"

#include "common/AppError.h"
#include "data/BookConnection.h"
#include "data/ChineseVariants.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QRegularExpression>
#include <limits>

namespace BookIndex {

namespace {

// Every character beyond ASCII, letters and digits are token characters;
// other ASCII characters separate, so a pair holding one is a term of the
// other character alone. ASCII letters are folded, as LIKE folds them.
// (The quickest tokenizer there is; unicode61 costs a fifth more time.)
const char *Tokenizer = "ascii";

// The character pairs of a text held in a trigger's register (new.x or
// old.x), space-separated: for every character that starts at or before
// the text's second-last byte, the two characters from it (the last one
// alone when it is longer than one byte). Computed on the bytes, since
// substr of a text counts from its start. A register costs nothing to read
// again; a table's column would be read whole for every pair (the square
// of the text's length), so texts in the table reach it through a trigger
// of the feed table below. The numbers 0-999 three times over reach 10^9
// bytes, SQLite's longest text.
QString pairsOf(const QString &text)
{
    const QString bytes = QStringLiteral("CAST(%1 AS BLOB)").arg(text);
    const QString at = QStringLiteral("a.n*1000000 + b.n*1000 + c.n + 1");
    return QStringLiteral(
               "(SELECT group_concat(substr(CAST(substr(%1, %2, 8) AS TEXT), 1, 2), ' ')"
               " FROM ywzx_ywlb_fts_n a, ywzx_ywlb_fts_n b, ywzx_ywlb_fts_n c"
               " WHERE a.n <= (length(%1) - 2) / 1000000 AND b.n <= (length(%1) - 2 - a.n*1000000) / 1000"
               " AND c.n <= length(%1) - 2 - a.n*1000000 - b.n*1000"
               " AND substr(%1, %2, 1) NOT BETWEEN x'80' AND x'BF')")
        .arg(bytes, at);
}

// The pairs of the other chapters with the code (all but the row `except`,
// a rowid or NULL) go into the scratch table, one text at a time through
// the feed table's trigger, which has each text in a register.
QString gatherOthers(const QString &code, const QString &except, const QString &when)
{
    return QStringLiteral("  INSERT INTO ywzx_ywlb_fts_feed (t) SELECT l.ywnr FROM ywzx_ywlb l"
                          " WHERE l.lbbh = %1 AND l.rowid IS NOT %2 AND %3;\n")
        .arg(code, except, when);
}

QString gathered()
{
    return QStringLiteral("coalesce((SELECT group_concat(p, ' ') FROM ywzx_ywlb_fts_scratch), '')");
}

// One document per code holds the pairs of all its chapters' texts. A
// contentless table forgets a document only when told its exact terms, so
// a change takes the code's document out with the terms it had (the other
// chapters' texts and the changed row's old one, `oldPairs`) and puts it
// back as it is now (`newPairs` beside the others'). `when` limits the
// statements (the update's second code).
QString renewCode(const QString &code, const QString &except, const QString &oldPairs, const QString &newPairs,
                  const QString &when = QStringLiteral("1"))
{
    const auto with = [](const QString &pairs) {
        return pairs.isEmpty() ? gathered() : QStringLiteral("%1 || ' ' || coalesce(%2, '')").arg(gathered(), pairs);
    };
    return gatherOthers(code, except, when)
        + QStringLiteral(
              "  INSERT INTO ywzx_ywlb_fts (ywzx_ywlb_fts, rowid, ywnr) SELECT 'delete', k.docid, %2"
              " FROM ywzx_ywlb_fts_key k WHERE k.lbbh = %1 AND %3;\n"
              "  DELETE FROM ywzx_ywlb_fts_key WHERE lbbh = %1 AND %3"
              " AND NOT EXISTS (SELECT 1 FROM ywzx_ywlb WHERE lbbh = %1);\n"
              "  INSERT INTO ywzx_ywlb_fts_key (lbbh) SELECT %1 WHERE %3 AND EXISTS (SELECT 1 FROM ywzx_ywlb WHERE lbbh = %1)"
              " AND NOT EXISTS (SELECT 1 FROM ywzx_ywlb_fts_key WHERE lbbh = %1);\n"
              "  INSERT INTO ywzx_ywlb_fts (rowid, ywnr) SELECT k.docid, %4 FROM ywzx_ywlb_fts_key k"
              " WHERE k.lbbh = %1 AND %3;\n"
              "  DELETE FROM ywzx_ywlb_fts_scratch;\n")
              .arg(code, with(oldPairs), when, with(newPairs));
}

QString ftsTable()
{
    return QStringLiteral("CREATE VIRTUAL TABLE %1 USING fts5(ywnr, content = '', detail = none, prefix = 1, tokenize = \"%2\")");
}

// The program's own saves keep the index themselves (BookIndex::keepWhile)
// with a row in the quiet table for the length of their transaction.
const char *Quiet = " AND NOT EXISTS (SELECT 1 FROM ywzx_ywlb_fts_quiet)";

QStringList triggerStatements()
{
    const QString newCode = QStringLiteral("new.lbbh IS NOT old.lbbh");
    const QString none = QStringLiteral("NULL");
    return {
        QStringLiteral("CREATE TRIGGER ywzx_ywlb_fts_insert AFTER INSERT ON ywzx_ywlb WHEN 1%1 BEGIN\n%2END")
            .arg(QLatin1String(Quiet), renewCode(QStringLiteral("new.lbbh"), QStringLiteral("new.rowid"), QString(),
                                                 pairsOf(QStringLiteral("new.ywnr")))),
        QStringLiteral("CREATE TRIGGER ywzx_ywlb_fts_delete AFTER DELETE ON ywzx_ywlb WHEN 1%1 BEGIN\n%2END")
            .arg(QLatin1String(Quiet),
                 renewCode(QStringLiteral("old.lbbh"), none, pairsOf(QStringLiteral("old.ywnr")), QString())),
        QStringLiteral("CREATE TRIGGER ywzx_ywlb_fts_update AFTER UPDATE OF lbbh, ywnr ON ywzx_ywlb"
                       " WHEN (old.lbbh IS NOT new.lbbh OR old.ywnr IS NOT new.ywnr)%1 BEGIN\n%2%3END")
            .arg(QLatin1String(Quiet),
                 renewCode(QStringLiteral("old.lbbh"), QStringLiteral("new.rowid"), pairsOf(QStringLiteral("old.ywnr")),
                           QStringLiteral("CASE WHEN %1 THEN NULL ELSE %2 END").arg(newCode, pairsOf(QStringLiteral("new.ywnr")))),
                 renewCode(QStringLiteral("new.lbbh"), QStringLiteral("new.rowid"), QString(), pairsOf(QStringLiteral("new.ywnr")),
                           newCode)),
        // A text fed in leaves its pairs in the scratch table and is not kept.
        QStringLiteral("CREATE TRIGGER ywzx_ywlb_fts_feed_pairs BEFORE INSERT ON ywzx_ywlb_fts_feed BEGIN\n"
                       "  INSERT INTO ywzx_ywlb_fts_scratch (p) VALUES (%1);\n"
                       "  SELECT RAISE(IGNORE);\nEND")
            .arg(pairsOf(QStringLiteral("new.t"))),
    };
}

// The index's helper tables beside the FTS5 table and its keys: the numbers
// for the triggers' loops, the feed and scratch tables of the other texts'
// pairs, and the quiet table (empty but while a save of the program runs).
const QStringList HelperTables = {
    QStringLiteral("CREATE TABLE ywzx_ywlb_fts_feed (t TEXT)"),
    QStringLiteral("CREATE TABLE ywzx_ywlb_fts_scratch (p TEXT)"),
    QStringLiteral("CREATE TABLE ywzx_ywlb_fts_quiet (x INTEGER)"),
};

const QStringList ShadowTables = {QStringLiteral("ywzx_ywlb_fts_data"), QStringLiteral("ywzx_ywlb_fts_idx"),
                                  QStringLiteral("ywzx_ywlb_fts_content"), QStringLiteral("ywzx_ywlb_fts_docsize"),
                                  QStringLiteral("ywzx_ywlb_fts_config")};
const QStringList Triggers = {QStringLiteral("ywzx_ywlb_fts_insert"), QStringLiteral("ywzx_ywlb_fts_delete"),
                              QStringLiteral("ywzx_ywlb_fts_update"), QStringLiteral("ywzx_ywlb_fts_feed_pairs")};
const QStringList HelperTableNames = {QStringLiteral("ywzx_ywlb_fts_feed"), QStringLiteral("ywzx_ywlb_fts_scratch"),
                                      QStringLiteral("ywzx_ywlb_fts_quiet")};

qint64 number(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query = DirectSql::exec(db, sql);
    return query.next() ? query.value(0).toLongLong() : 0;
}

// Fills `table` with one document per key of the key table: the pairs of
// its chapters' texts, made here rather than in SQL (several times quicker).
void fill(QSqlDatabase &db, const QString &table)
{
    QSqlQuery rows(db);
    rows.setForwardOnly(true);
    if (!rows.exec(QStringLiteral("SELECT k.docid, CAST(l.ywnr AS BLOB) FROM ywzx_ywlb_fts_key k"
                                  " JOIN ywzx_ywlb l ON l.lbbh = k.lbbh ORDER BY k.docid")))
        throw AppError(AppError::Database, engineMessage(rows.lastError()));
    QSqlQuery insert(db);
    if (!insert.prepare(QStringLiteral("INSERT INTO %1 (rowid, ywnr) VALUES (?, ?)").arg(table)))
        throw AppError(AppError::Database, engineMessage(insert.lastError()));
    qint64 docid = -1;
    QByteArray pairs;
    const auto flush = [&] {
        if (docid < 0)
            return;
        insert.bindValue(0, docid);
        insert.bindValue(1, pairs);
        if (!insert.exec())
            throw AppError(AppError::Database, engineMessage(insert.lastError()));
        pairs.clear();
    };
    while (rows.next()) {
        const qint64 id = rows.value(0).toLongLong();
        if (id != docid) {
            flush();
            docid = id;
        }
        appendPairs(pairs, rows.value(1).toByteArray());
    }
    flush();
}

// The index's terms and documents summed up: equal sums for two indexes
// mean the same pairs in the same documents (a term is at most two
// characters, so the weight names it).
QString fingerprintSql(const QString &vocabulary)
{
    return QStringLiteral(
               "SELECT count(*) || ' ' || total(h * doc % 2147483647) || ' ' || total((h % 1000003) * ((doc * 7919 + h) % 1000003))"
               " FROM (SELECT unicode(term) * 1114112 + coalesce(unicode(substr(term, 2, 1)), 0) + length(term) AS h, doc"
               " FROM %1)")
        .arg(vocabulary);
}

QString fingerprint(QSqlDatabase &db, const QString &vocabulary)
{
    QSqlQuery query = DirectSql::exec(db, fingerprintSql(vocabulary));
    return query.next() ? query.value(0).toString() : QString();
}

// The index holds what a fresh one, built from the texts under the same
// keys, would hold. The fresh one lives in the connection's temporary
// schema, which even a read-only book allows.
bool termsAgree(QSqlDatabase &db)
{
    const auto cleanUp = [&] {
        for (const char *table : {"ywzx_fresh_terms", "ywzx_book_terms", "ywzx_fresh"})
            QSqlQuery(db).exec(QStringLiteral("DROP TABLE IF EXISTS temp.%1").arg(QLatin1String(table)));
    };
    cleanUp();
    try {
        DirectSql::exec(db, ftsTable().arg(QStringLiteral("temp.ywzx_fresh"), QLatin1String(Tokenizer)));
        fill(db, QStringLiteral("temp.ywzx_fresh"));
        DirectSql::exec(db, QStringLiteral("CREATE VIRTUAL TABLE temp.ywzx_fresh_terms USING fts5vocab(temp, ywzx_fresh, 'instance')"));
        DirectSql::exec(db, QStringLiteral("CREATE VIRTUAL TABLE temp.ywzx_book_terms USING fts5vocab(main, ywzx_ywlb_fts, 'instance')"));
        const bool same = fingerprint(db, QStringLiteral("temp.ywzx_fresh_terms"))
                          == fingerprint(db, QStringLiteral("temp.ywzx_book_terms"));
        cleanUp();
        return same;
    } catch (...) {
        cleanUp();
        throw;
    }
}

// The index finds each chapter by the start of its text: its terms can all
// be there while their lookup table is gone, and then it finds nothing.
bool findsEachChapter(QSqlDatabase &db)
{
    QSqlQuery samples = DirectSql::exec(db, samplesSql(std::numeric_limits<int>::max()));
    QSqlQuery finds(db);
    if (!finds.prepare(findsChapterSql()))
        throw AppError(AppError::Database, engineMessage(finds.lastError()));
    while (samples.next()) {
        const QString probe = probeQuery(samples.value(1).toString());
        if (probe.isEmpty())
            continue;
        finds.bindValue(QStringLiteral(":code"), samples.value(0));
        finds.bindValue(QStringLiteral(":probe"), probe);
        if (!finds.exec())
            throw AppError(AppError::Database, engineMessage(finds.lastError()));
        if (!finds.next() || finds.value(0).toInt() != 1)
            return false;
    }
    return true;
}

// The FTS5 table agrees with itself (a write statement that changes nothing).
bool consistentInItself(QSqlDatabase &db)
{
    QSqlQuery integrity(db);
    return integrity.exec(QStringLiteral("INSERT INTO ywzx_ywlb_fts (ywzx_ywlb_fts) VALUES ('integrity-check')"));
}

} // namespace

// The index's tables and triggers are exactly ours, every code is a key
// once, nothing else is, and its terms are those of the texts. A table that
// cannot be read is no match either.
bool agreesWithTheTexts(QSqlDatabase &db)
{
    if (number(db, presenceSql()) != 3)
        return false;
    QStringList expected = triggerStatements();
    expected << ftsTable().arg(QStringLiteral("ywzx_ywlb_fts"), QLatin1String(Tokenizer));
    expected << HelperTables;
    QSqlQuery schema = DirectSql::exec(
        db, QStringLiteral("SELECT sql FROM sqlite_master WHERE name IN ('ywzx_ywlb_fts', '%1', '%2')")
                .arg(Triggers.join(QLatin1String("', '")), HelperTableNames.join(QLatin1String("', '"))));
    QStringList found;
    while (schema.next())
        found << schema.value(0).toString();
    if (QSet<QString>(found.begin(), found.end()) != QSet<QString>(expected.begin(), expected.end())
        || found.size() != expected.size())
        return false;
    // A row left in the quiet table would silence the triggers.
    if (number(db, QStringLiteral("SELECT (SELECT count(*) FROM ywzx_ywlb_fts_quiet)"
                                  " + (SELECT count(*) FROM ywzx_ywlb_fts_scratch)")) != 0)
        return false;
    if (number(db, QStringLiteral("SELECT count(*) = 1000 AND min(n) = 0 AND max(n) = 999 FROM ywzx_ywlb_fts_n")) != 1)
        return false;
    const qint64 codes = number(db, QStringLiteral("SELECT count(DISTINCT lbbh) FROM ywzx_ywlb"));
    if (number(db, QStringLiteral("SELECT count(DISTINCT lbbh) FROM ywzx_ywlb_fts_key")) != codes
        || number(db, QStringLiteral("SELECT count(*) FROM ywzx_ywlb_fts_key")) != codes
        || number(db, QStringLiteral("SELECT count(*) FROM ywzx_ywlb_fts_key k WHERE NOT EXISTS"
                                     " (SELECT 1 FROM ywzx_ywlb l WHERE l.lbbh = k.lbbh)")) != 0)
        return false;
    return findsEachChapter(db) && termsAgree(db);
}

bool present(QSqlDatabase &db)
{
    return number(db, presenceSql()) == 3;
}

void create(QSqlDatabase &db)
{
    DirectSql::exec(db, QStringLiteral("CREATE TABLE ywzx_ywlb_fts_n (n INTEGER PRIMARY KEY)"));
    QSqlQuery numbers(db);
    numbers.prepare(QStringLiteral("INSERT INTO ywzx_ywlb_fts_n (n) VALUES (?)"));
    for (int n = 0; n < 1000; ++n) {
        numbers.bindValue(0, n);
        if (!numbers.exec())
            throw AppError(AppError::Database, engineMessage(numbers.lastError()));
    }
    DirectSql::exec(db, QStringLiteral("CREATE TABLE ywzx_ywlb_fts_key (docid INTEGER PRIMARY KEY, lbbh VARCHAR(5) UNIQUE)"));
    DirectSql::exec(db, ftsTable().arg(QStringLiteral("ywzx_ywlb_fts"), QLatin1String(Tokenizer)));
    DirectSql::exec(db, QStringLiteral("INSERT INTO ywzx_ywlb_fts_key (lbbh) SELECT lbbh FROM ywzx_ywlb"
                                        " WHERE lbbh IS NOT NULL GROUP BY lbbh ORDER BY min(rowid)"));
    // Built with a large pending-terms buffer and merged once at the end
    // (about half the time); the defaults are back for the triggers' writes.
    DirectSql::exec(db, QStringLiteral("INSERT INTO ywzx_ywlb_fts (ywzx_ywlb_fts, rank) VALUES ('hashsize', 67108864)"));
    DirectSql::exec(db, QStringLiteral("INSERT INTO ywzx_ywlb_fts (ywzx_ywlb_fts, rank) VALUES ('automerge', 0)"));
    fill(db, QStringLiteral("ywzx_ywlb_fts"));
    DirectSql::exec(db, QStringLiteral("INSERT INTO ywzx_ywlb_fts (ywzx_ywlb_fts) VALUES ('optimize')"));
    DirectSql::exec(db, QStringLiteral("INSERT INTO ywzx_ywlb_fts (ywzx_ywlb_fts, rank) VALUES ('hashsize', 1048576)"));
    DirectSql::exec(db, QStringLiteral("INSERT INTO ywzx_ywlb_fts (ywzx_ywlb_fts, rank) VALUES ('automerge', 4)"));
    for (const QString &statement : HelperTables + triggerStatements())
        DirectSql::exec(db, statement);
}

bool anyPart(QSqlDatabase &db)
{
    return number(db, QStringLiteral("select count(*) from sqlite_master where name glob 'ywzx_ywlb_fts*'")) > 0;
}

bool olderForm(QSqlDatabase &db)
{
    return !present(db)
        && number(db, QStringLiteral("select count(*) from sqlite_master where type = 'table'"
                                     " and name in ('ywzx_ywlb_fts', 'ywzx_ywlb_fts_key')")) == 2;
}

// Whatever is left of the index goes. An FTS5 table whose own tables are
// damaged cannot be dropped (its constructor fails): its entry is taken out
// of the schema by hand and its tables dropped one by one.
void drop(QSqlDatabase &db)
{
    for (const QString &trigger : Triggers)
        DirectSql::exec(db, QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(trigger));
    if (!QSqlQuery(db).exec(QStringLiteral("DROP TABLE IF EXISTS ywzx_ywlb_fts"))) {
        const qint64 version = number(db, QStringLiteral("PRAGMA schema_version"));
        DirectSql::exec(db, QStringLiteral("PRAGMA writable_schema = ON"));
        DirectSql::exec(db, QStringLiteral("DELETE FROM sqlite_master WHERE type = 'table' AND name = 'ywzx_ywlb_fts'"));
        // A new schema version makes the connection read the schema again.
        DirectSql::exec(db, QStringLiteral("PRAGMA schema_version = %1").arg(version + 1));
        DirectSql::exec(db, QStringLiteral("PRAGMA writable_schema = OFF"));
    }
    for (const QString &table : ShadowTables + HelperTableNames
                                    + QStringList{QStringLiteral("ywzx_ywlb_fts_key"), QStringLiteral("ywzx_ywlb_fts_n")})
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

} // namespace BookIndex
