#include "BookWriter.h"

#include "common/AppError.h"
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
    chapter_.bindValue(0, id);
    chapter_.bindValue(1, code);
    chapter_.bindValue(2, name);
    chapter_.bindValue(3, parentCode);
    chapter_.bindValue(4, DateTimeText::storageText(when));
    chapter_.bindValue(5, text);
    chapter_.bindValue(6, QByteArray("nil"));
    run(chapter_);
}

void BookWriter::addArticle(const QString &code, const QString &title, const QString &chapterCode,
                            const QString &text, const QDateTime &when)
{
    article_.bindValue(0, code);
    article_.bindValue(1, title);
    article_.bindValue(2, chapterCode);
    article_.bindValue(3, DateTimeText::storageText(when));
    article_.bindValue(4, text);
    run(article_);
}
