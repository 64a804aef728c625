#include "data/BookIndexUpkeep.h"

#include "data/BookIndex.h"
#include "data/DirectSql.h"

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

// The character pairs of a text, space-separated: for every character that
// starts at or before the text's second-last byte, the two characters from
// it (the last one alone when it is longer than one byte). Computed on the
// bytes, so that it costs one step per byte (substr of a text counts from
// its start). The numbers 0-999 three times over reach 10^9 bytes, SQLite's
// longest text.
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

// The pairs of the texts of every chapter with the code, but the row
// `except` (a rowid, or NULL for none).
QString pairsOfCode(const QString &code, const QString &except)
{
    return QStringLiteral("(SELECT group_concat(%1, ' ') FROM ywzx_ywlb l WHERE l.lbbh = %2 AND l.rowid IS NOT %3)")
        .arg(pairsOf(QStringLiteral("l.ywnr")), code, except);
}

// One document per code holds the pairs of all its chapters' texts. A
// contentless table forgets a document only when told its exact terms, so
// a change takes the code's document out with the terms it had (the other
// chapters' texts and the changed row's old one) and puts it back as it is
// now. `when` limits the statements (the update's second code).
QString removeCode(const QString &code, const QString &oldText, const QString &when = QStringLiteral("1"))
{
    const QString had = oldText.isEmpty() ? pairsOfCode(code, QStringLiteral("new.rowid"))
                                          : QStringLiteral("coalesce(%1, '') || ' ' || coalesce(%2, '')")
                                                .arg(pairsOfCode(code, QStringLiteral("new.rowid")), pairsOf(oldText));
    return QStringLiteral(
               "  INSERT INTO ywzx_ywlb_fts (ywzx_ywlb_fts, rowid, ywnr) SELECT 'delete', k.docid, %2"
               " FROM ywzx_ywlb_fts_key k WHERE k.lbbh = %1 AND %3;\n")
        .arg(code, had, when);
}

QString putBackCode(const QString &code, const QString &when = QStringLiteral("1"))
{
    return QStringLiteral(
               "  DELETE FROM ywzx_ywlb_fts_key WHERE lbbh = %1 AND %2"
               " AND NOT EXISTS (SELECT 1 FROM ywzx_ywlb WHERE lbbh = %1);\n"
               "  INSERT INTO ywzx_ywlb_fts_key (lbbh) SELECT %1 WHERE %2 AND EXISTS (SELECT 1 FROM ywzx_ywlb WHERE lbbh = %1)"
               " AND NOT EXISTS (SELECT 1 FROM ywzx_ywlb_fts_key WHERE lbbh = %1);\n"
               "  INSERT INTO ywzx_ywlb_fts (rowid, ywnr) SELECT k.docid, %3 FROM ywzx_ywlb_fts_key k"
               " WHERE k.lbbh = %1 AND %2;\n")
        .arg(code, when, pairsOfCode(code, QStringLiteral("NULL")));
}

QString ftsTable()
{
    return QStringLiteral("CREATE VIRTUAL TABLE %1 USING fts5(ywnr, content = '', detail = none, tokenize = \"%2\")");
}

QStringList triggerStatements()
{
    const QString newCode = QStringLiteral("new.lbbh IS NOT old.lbbh");
    return {
        QStringLiteral("CREATE TRIGGER ywzx_ywlb_fts_insert AFTER INSERT ON ywzx_ywlb BEGIN\n%1%2END")
            .arg(removeCode(QStringLiteral("new.lbbh"), QString()), putBackCode(QStringLiteral("new.lbbh"))),
        QStringLiteral("CREATE TRIGGER ywzx_ywlb_fts_delete AFTER DELETE ON ywzx_ywlb BEGIN\n%1%2END")
            .arg(removeCode(QStringLiteral("old.lbbh"), QStringLiteral("old.ywnr")).replace(QLatin1String("new.rowid"), QLatin1String("NULL")),
                 putBackCode(QStringLiteral("old.lbbh"))),
        QStringLiteral("CREATE TRIGGER ywzx_ywlb_fts_update AFTER UPDATE OF lbbh, ywnr ON ywzx_ywlb"
                       " WHEN old.lbbh IS NOT new.lbbh OR old.ywnr IS NOT new.ywnr BEGIN\n%1%2%3%4END")
            .arg(removeCode(QStringLiteral("old.lbbh"), QStringLiteral("old.ywnr")), putBackCode(QStringLiteral("old.lbbh")),
                 removeCode(QStringLiteral("new.lbbh"), QString(), newCode), putBackCode(QStringLiteral("new.lbbh"), newCode)),
    };
}

const QStringList ShadowTables = {QStringLiteral("ywzx_ywlb_fts_data"), QStringLiteral("ywzx_ywlb_fts_idx"),
                                  QStringLiteral("ywzx_ywlb_fts_content"), QStringLiteral("ywzx_ywlb_fts_docsize"),
                                  QStringLiteral("ywzx_ywlb_fts_config")};
const QStringList Triggers = {QStringLiteral("ywzx_ywlb_fts_insert"), QStringLiteral("ywzx_ywlb_fts_delete"),
                              QStringLiteral("ywzx_ywlb_fts_update")};

qint64 number(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query = DirectSql::exec(db, sql);
    return query.next() ? query.value(0).toLongLong() : 0;
}

// The same pairs as pairsOf() makes in SQL, from the text's bytes: a
// character is a byte of 0xC0 or more with the continuation bytes after it,
// or any other byte, as SQLite counts them.
void appendPairs(QByteArray &out, const QByteArray &text)
{
    const qsizetype size = text.size();
    const auto charEnd = [&](qsizetype from, qsizetype limit) {
        const bool lead = uchar(text.at(from)) >= 0xC0;
        ++from;
        if (lead)
            while (from < limit && (uchar(text.at(from)) & 0xC0) == 0x80)
                ++from;
        return from;
    };
    for (qsizetype p = 0; p + 2 <= size; ++p) {
        const uchar byte = uchar(text.at(p));
        if (byte >= 0x80 && byte <= 0xBF)
            continue;
        const qsizetype limit = qMin(size, p + 8);
        qsizetype end = charEnd(p, limit);
        if (end < limit)
            end = charEnd(end, limit);
        if (!out.isEmpty())
            out += ' ';
        out.append(text.constData() + p, end - p);
    }
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
    QSqlQuery schema = DirectSql::exec(db, QStringLiteral("SELECT sql FROM sqlite_master WHERE name IN"
                                                           " ('ywzx_ywlb_fts', 'ywzx_ywlb_fts_insert',"
                                                           " 'ywzx_ywlb_fts_delete', 'ywzx_ywlb_fts_update')"));
    QStringList found;
    while (schema.next())
        found << schema.value(0).toString();
    if (QSet<QString>(found.begin(), found.end()) != QSet<QString>(expected.begin(), expected.end()) || found.size() != 4)
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
    for (const QString &statement : triggerStatements())
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
    for (const QString &table : ShadowTables + QStringList{QStringLiteral("ywzx_ywlb_fts_key"), QStringLiteral("ywzx_ywlb_fts_n")})
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
