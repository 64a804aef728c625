#include "bookcare/ServerBook.h"

#include "common/AppError.h"
#include "data/BoundValue.h"
#include "common/DateTimeText.h"
#include "data/BookConnection.h"
#include "data/Engines.h"
#include "data/BookFile.h"
#include "bookcare/BookSchema.h"
#include "bookcare/ServerBookReplace.h"

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
    ServerBookReplace::Carried carried;
    QStringList oldExtras;
    // The file is read as one state of the book, whoever saves meanwhile.
    withTransaction(file.db(), [&] {
        withTransaction(server.db(), [&] {
            if (holdsBook(server.db())) {
                if (!replace)
                    throw AppError(AppError::Database,
                                   QCoreApplication::translate("ServerBook", "数据库 %1 中已有一本书；用 --replace 替换它")
                                       .arg(target.describe()));
                ServerBookReplace::takeOldTables(server.db(), target, lockTimeoutMs);
                ServerBookReplace::carryGrants(server.db(), &carried);
                ServerBookReplace::carryPolicies(server.db(), &carried);
                oldExtras = ServerBookReplace::tableExtras(server.db());
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
            ServerBookReplace::giveAgain(server.db(), carried, &counts.grants, &counts.notCarried);
            const QStringList newExtras = ServerBookReplace::tableExtras(server.db());
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
