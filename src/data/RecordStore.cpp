#include "data/RecordStore.h"

#include "data/BookIndexWrite.h"
#include "data/BookQuery.h"

namespace {

// The statement keeps its lines: they are sent joined by CR LF.
BookQuery &withLines(BookQuery &query, const QStringList &lines)
{
    query.close();
    query.clearSql();
    for (const QString &line : lines)
        query.addLine(line);
    return query;
}

BookQuery &prepare(BookQuery &query, const QStringList &lines, const QString &code)
{
    withLines(query, lines).setText(QStringLiteral("code"), code);
    return query;
}

const BookQuery &opened(BookQuery &query)
{
    query.open();
    return query;
}

void run(BookQuery &query)
{
    query.execSql();
    query.close();
}

} // namespace

ChapterStore::ChapterStore(BookConnection &connection, BookQuery &reads, BookQuery &writes)
    : connection_(connection), reads_(reads), writes_(writes)
{
}

const BookQuery &ChapterStore::load(const QString &code)
{
    return opened(prepare(reads_,
                          {QStringLiteral("select ywlb.* , fl_ywlb.lbmc as flmc"),
                           QStringLiteral("from ywzx_ywlb ywlb,ywzx_ywlb fl_ywlb"),
                           QStringLiteral("where ywlb.flbh=fl_ywlb.lbbh and ywlb.lbbh=:code")},
                          code));
}

const BookQuery &ChapterStore::find(const QString &code)
{
    return opened(prepare(writes_,
                          {QStringLiteral("select * from YWZX_YWLB"), QStringLiteral("where LBBH=:code")}, code));
}

void ChapterStore::setNextIdStatement(BookQuery &query)
{
    query.setSql({QStringLiteral("select max(id) as id  from ywzx_ywlb")});
}

int ChapterStore::nextId(BookQuery &query)
{
    query.close();
    query.open();
    return query.fieldAsInteger(QStringLiteral("id")) + 1;
}

namespace {

void bindChapter(BookQuery &write, const ChapterStore::Row &row)
{
    write.setText(QStringLiteral("lbbh"), row.lbbh);
    write.setText(QStringLiteral("lbmc"), row.lbmc);
    write.setText(QStringLiteral("flbh"), row.flbh);
    write.setDateTime(QStringLiteral("xgrq"), row.xgrq);
    write.setText(QStringLiteral("xgr"), row.xgr);
    write.setText(QStringLiteral("ywnr"), row.ywnr);
    write.setBlob(QStringLiteral("photoimage"), row.photoimage);
    write.setText(QStringLiteral("checkimage"), row.checkimage ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace

void ChapterStore::insert(const Row &row, int id)
{
    BookQuery &write = withLines(writes_, {QStringLiteral("insert into ywzx_ywlb "),
                                QStringLiteral("(id,lbbh,lbmc,flbh,xgrq,xgr,ywnr,photoimage,checkimage) "
                                               "values(:id,:lbbh,:lbmc,:flbh,:xgrq,:xgr,:ywnr,:photoimage,:checkimage)")});
    write.setInteger(QStringLiteral("id"), id);
    bindChapter(write, row);
    BookIndex::keepWhile(connection_, row.lbbh, [&] { write.execSql(); });
    // Lets go of the photo's bytes.
    write.close();
    write.clearSql();
}

void ChapterStore::update(const Row &row)
{
    BookQuery &write = withLines(writes_, {QStringLiteral("update ywzx_ywlb "),
                                QStringLiteral(" set lbmc=:lbmc,flbh=:flbh,xgrq=:xgrq,xgr=:xgr,ywnr=:ywnr,photoimage=:photoimage,"
                                               "checkimage=:checkimage where lbbh=:lbbh ")});
    bindChapter(write, row);
    BookIndex::keepWhile(connection_, row.lbbh, [&] { write.execSql(); });
}

int ChapterStore::childCount(const QString &code)
{
    BookQuery &count = prepare(reads_,
                               {QStringLiteral("select count(*) from YWZX_YWLB"), QStringLiteral("where FLBH=:code")},
                               code);
    count.open();
    const int children = count.firstFieldAsInteger();
    count.close();
    return children;
}

void ChapterStore::remove(const QString &code)
{
    BookQuery &write =
        prepare(writes_, {QStringLiteral("delete * from YWZX_YWLB"), QStringLiteral("where LBBH=:code")}, code);
    BookIndex::keepWhile(connection_, code, [&] { run(write); });
}

ArticleStore::ArticleStore(BookQuery &reads, BookQuery &writes) : reads_(reads), writes_(writes)
{
}

const BookQuery &ArticleStore::load(const QString &code)
{
    return opened(prepare(reads_,
                          {QStringLiteral("select ywnr.* , fl_ywlb.lbmc as flmc"),
                           QStringLiteral("from ywzx_ywnr ywnr,ywzx_ywlb fl_ywlb"),
                           QStringLiteral("where ywnr.lbbh=fl_ywlb.lbbh and ywnr.nrbh=:code")},
                          code));
}

const BookQuery &ArticleStore::find(const QString &code)
{
    return opened(prepare(writes_,
                          {QStringLiteral("select * from YWZX_YWNR"), QStringLiteral("where NRBH=:code")}, code));
}

namespace {

void bindArticle(BookQuery &write, const ArticleStore::Row &row)
{
    write.setText(QStringLiteral("nrbh"), row.nrbh);
    write.setText(QStringLiteral("nrbt"), row.nrbt);
    write.setText(QStringLiteral("lbbh"), row.lbbh);
    write.setDateTime(QStringLiteral("xgrq"), row.xgrq);
    write.setText(QStringLiteral("xgr"), row.xgr);
    write.setText(QStringLiteral("ywnr"), row.ywnr);
}

} // namespace

void ArticleStore::insert(const Row &row)
{
    BookQuery &write = withLines(writes_, {QStringLiteral("insert into ywzx_ywnr "),
                                QStringLiteral("(nrbh,nrbt,lbbh,xgrq,xgr,ywnr) values(:nrbh,:nrbt,:lbbh,:xgrq,:xgr,:ywnr)")});
    bindArticle(write, row);
    write.execSql();
}

void ArticleStore::update(const Row &row)
{
    BookQuery &write = withLines(writes_, {QStringLiteral("UPDATE ywzx_ywnr "),
                                QStringLiteral(" SET nrbt=:nrbt,lbbh=:lbbh,xgrq=:xgrq,xgr=:xgr,ywnr=:ywnr WHERE nrbh=:nrbh ")});
    bindArticle(write, row);
    write.execSql();
}

void ArticleStore::remove(const QString &code)
{
    run(prepare(writes_, {QStringLiteral("delete from YWZX_YWNR"), QStringLiteral("where NRBH=:code")},
                code));
}

// A record moved to another chapter: the one column that places it is
// written, inside the caller's transaction.
namespace {

void place(BookQuery &write, const QString &statement, const QString &code, const QString &under)
{
    write.close();
    write.clearSql();
    write.addLine(statement);
    write.setText(QStringLiteral("code"), code);
    write.setText(QStringLiteral("under"), under);
    write.execSql();
    write.close();
}

} // namespace

// The text index follows lbbh and ywnr alone: a new parent leaves it as it is.
void ChapterStore::setParent(const QString &code, const QString &parent)
{
    place(writes_, QStringLiteral("update ywzx_ywlb set flbh=:under where lbbh=:code"), code, parent);
}

void ArticleStore::setChapter(const QString &code, const QString &chapter)
{
    place(writes_, QStringLiteral("update ywzx_ywnr set lbbh=:under where nrbh=:code"), code, chapter);
}
