#include "bookcare/BookScan.h"

#include "common/AppError.h"
#include "data/Engines.h"
#include "bookcare/BookIndexUpkeep.h"
#include "bookcare/BookSchema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

BookScan::BookScan(const QString &book)
    : name_(QStringLiteral("scan-") + QUuid::createUuid().toString(QUuid::WithoutBraces)),
      engine_(Engines::forBook(book))
{
    try {
        QSqlDatabase db = engine_.openSnapshot(name_, book);
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
    const QString check = engine_.integrityCheckSql();
    if (check.isEmpty())
        return {};
    QStringList problems;
    QSqlQuery query = BookSchema::exec(QSqlDatabase::database(name_, false), check);
    while (query.next())
        if (query.value(0).toString() != QLatin1String("ok"))
            problems << query.value(0).toString();
    return problems;
}

bool BookScan::indexAgrees()
{
    QSqlDatabase db = QSqlDatabase::database(name_, false);
    return !engine_.keepsFullTextIndex() || !BookIndex::anyPart(db) || BookIndex::agreesWithTheTexts(db);
}

QString BookScan::bytesOf(const QString &column) const
{
    return engine_.bytesOf(column);
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
