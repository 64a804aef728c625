#include "data/BookScan.h"

#include "common/AppError.h"
#include "data/BookConnection.h"
#include "data/BookFile.h"
#include "data/BookIndexUpkeep.h"
#include "data/BookSchema.h"
#include "data/ServerConfig.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace {

bool isUrl(const QString &book)
{
    return book.startsWith(QLatin1String("postgresql://")) || book.startsWith(QLatin1String("postgres://"));
}

QSqlDatabase addFile(const QString &path, const QString &name)
{
    BookFile::verify(path);
    return BookFile::addReadOnly(path, name);
}

} // namespace

BookScan::BookScan(const QString &book)
    : name_(QStringLiteral("scan-") + QUuid::createUuid().toString(QUuid::WithoutBraces)),
      server_(isUrl(book) || isServerConfigPath(book))
{
    try {
        QSqlDatabase db = !server_        ? addFile(book, name_)
                          : isUrl(book) ? ServerConfig::fromUri(book).addDatabase(name_)
                                        : ServerConfig::readFile(book).addDatabase(name_);
        if (!db.open())
            throw AppError(AppError::Database, engineMessage(db.lastError()));
        BookSchema::exec(db, server_ ? QStringLiteral("begin isolation level repeatable read read only")
                                     : QStringLiteral("begin"));
        BookSchema::exec(db, QStringLiteral("select count(*) from ywzx_ywlb"));
        BookSchema::exec(db, QStringLiteral("select count(*) from ywzx_ywnr"));
    } catch (...) {
        QSqlDatabase::removeDatabase(name_);
        throw;
    }
}

BookScan::~BookScan()
{
    {
        QSqlDatabase db = QSqlDatabase::database(name_, false);
        QSqlQuery(db).exec(QStringLiteral("rollback"));
        db.close();
    }
    QSqlDatabase::removeDatabase(name_);
}

QStringList BookScan::integrityProblems()
{
    if (server_)
        return {};
    QStringList problems;
    QSqlQuery query = BookSchema::exec(QSqlDatabase::database(name_, false), QStringLiteral("pragma integrity_check"));
    while (query.next())
        if (query.value(0).toString() != QLatin1String("ok"))
            problems << query.value(0).toString();
    return problems;
}

bool BookScan::indexAgrees()
{
    QSqlDatabase db = QSqlDatabase::database(name_, false);
    return server_ || !BookIndex::anyPart(db) || BookIndex::agreesWithTheTexts(db);
}

QString BookScan::bytesOf(const QString &column) const
{
    return server_ ? QStringLiteral("convert_to(%1, 'UTF8')").arg(column)
                   : QStringLiteral("cast(%1 as blob)").arg(column);
}

void BookScan::chapters(const Visit &visit)
{
    rows(QStringLiteral("select id, lbbh, flbh, %1, %2, xgrq, photoimage from ywzx_ywlb order by id")
             .arg(bytesOf(QStringLiteral("lbmc")), bytesOf(QStringLiteral("ywnr"))),
         true, visit);
}

void BookScan::articles(const Visit &visit)
{
    rows(QStringLiteral("select id, nrbh, lbbh, %1, %2, xgrq from ywzx_ywnr order by id")
             .arg(bytesOf(QStringLiteral("nrbt")), bytesOf(QStringLiteral("ywnr"))),
         false, visit);
}

void BookScan::rows(const QString &sql, bool chapters, const Visit &visit)
{
    QSqlQuery query = BookSchema::exec(QSqlDatabase::database(name_, false), sql);
    Row row;
    while (query.next()) {
        row.id = query.value(0).toLongLong();
        row.code = query.value(1).toString();
        row.parent = query.value(2).toString();
        row.name = query.value(3).toByteArray();
        row.text = query.value(4).toByteArray();
        row.date = query.value(5);
        if (chapters)
            row.photo = query.value(6).toByteArray();
        visit(row);
    }
    if (query.lastError().isValid())
        throw AppError(AppError::Database, engineMessage(query.lastError()));
}
