#include "BookWriter.h"

#include "common/AppError.h"
#include "data/BoundValue.h"
#include "common/DateTimeText.h"
#include "data/BookConnection.h"

#include <QSqlError>

static void prepare(QSqlQuery &query, const QString &sql)
{
    if (!query.prepare(sql))
        throw AppError(AppError::Database, engineMessage(query.lastError()));
}

static void run(QSqlQuery &query)
{
    if (!query.exec())
        throw AppError(AppError::Database, engineMessage(query.lastError()));
}

BookWriter::BookWriter(QSqlDatabase &db)
    : chapter_(db), article_(db)
{
    prepare(chapter_, QStringLiteral("insert into ywzx_ywlb (id,lbbh,lbmc,flbh,xgrq,xgr,ywnr,photoimage,checkimage) "
                                     "values (?,?,?,?,?,'',?,?,'0')"));
    prepare(article_, QStringLiteral("insert into ywzx_ywnr (nrbh,nrbt,lbbh,xgrq,xgr,ywnr) values (?,?,?,?,'',?)"));
}

void BookWriter::addChapter(int id, const QString &code, const QString &name, const QString &parentCode,
                            const QString &text, const QDateTime &when)
{
    BoundValue::bind(chapter_, 0, id);
    BoundValue::bind(chapter_, 1, code);
    BoundValue::bind(chapter_, 2, name);
    BoundValue::bind(chapter_, 3, parentCode);
    BoundValue::bind(chapter_, 4, DateTimeText::storageText(when));
    BoundValue::bind(chapter_, 5, text);
    BoundValue::bind(chapter_, 6, QByteArray("nil"));
    run(chapter_);
}

void BookWriter::addArticle(const QString &code, const QString &title, const QString &chapterCode,
                            const QString &text, const QDateTime &when)
{
    BoundValue::bind(article_, 0, code);
    BoundValue::bind(article_, 1, title);
    BoundValue::bind(article_, 2, chapterCode);
    BoundValue::bind(article_, 3, DateTimeText::storageText(when));
    BoundValue::bind(article_, 4, text);
    run(article_);
}
