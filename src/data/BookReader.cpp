#include "data/BookReader.h"

#include "common/Labels.h"
#include "data/ywzxDM.h"

#include <QSet>

namespace BookReader {

namespace {

QVector<Entry> entries(BookQuery &query, const QString &codeField, const QString &nameField)
{
    QVector<Entry> result;
    for (query.first(); !query.eof(); query.next())
        result.append({query.fieldAsText(codeField), query.fieldAsText(nameField)});
    return result;
}

// The code is bound, never pasted: a code holding a quote reads as any other.
QString textOf(const QString &sql, const QString &code)
{
    BookQuery &query = ywzxDMF->Query;
    query.close();
    query.setSql({sql});
    query.setText(QStringLiteral("code"), code);
    query.open();
    return query.isEmpty() ? QString() : query.fieldAsText(QStringLiteral("ywnr"));
}

} // namespace

QString bookName()
{
    BookQuery &query = ywzxDMF->ywlbQuery;
    query.close();
    query.setSql({QStringLiteral("select lbmc from ywzx_ywlb where lbbh=\"00000\"")});
    query.open();
    return query.fieldAsText(QStringLiteral("lbmc"));
}

QVector<Entry> childChapters(const QString &code)
{
    BookQuery &chapters = ywzxDMF->ywlbQuery;
    chapters.close();
    chapters.setSql({QStringLiteral("select * from ywzx_ywlb where  (flbh<>lbbh) and (flbh=:flbh)    order by id")});
    chapters.setText(QStringLiteral("flbh"), code);
    chapters.open();
    return entries(chapters, QStringLiteral("lbbh"), QStringLiteral("lbmc"));
}

QVector<Entry> articlesOf(const QString &code)
{
    BookQuery &articles = ywzxDMF->ywnrQuery;
    articles.close();
    articles.setText(QStringLiteral("lbbh"), code);
    articles.open();
    return entries(articles, QStringLiteral("nrbh"), QStringLiteral("nrbt"));
}

QString chapterText(const QString &code)
{
    return textOf(QStringLiteral("select * from ywzx_ywlb where lbbh=:code order by id"), code);
}

QString articleText(const QString &code)
{
    return textOf(QStringLiteral("select * from ywzx_ywnr where nrbh=:code order by id"), code);
}

// One short statement per step up. Of rows sharing a code the first counts.
QStringList chainFromRoot(const QString &code)
{
    BookQuery &query = ywzxDMF->Query;
    query.close();
    query.setSql({QStringLiteral("select flbh from ywzx_ywlb where lbbh = :code")});
    QStringList chain{code};
    QSet<QString> seen{code};
    while (chain.first() != Labels::RootCode) {
        query.setText(QStringLiteral("code"), chain.first());
        query.open();
        const QString parent = query.firstFieldAsText();
        // A book without its root row still has the root node.
        if (parent == Labels::RootCode) {
            chain.prepend(parent);
            break;
        }
        if (query.isEmpty() || seen.contains(parent))
            return {};
        seen.insert(parent);
        chain.prepend(parent);
    }
    return chain;
}

bool hasChapter(const QString &code)
{
    BookQuery &query = ywzxDMF->Query;
    query.close();
    query.setSql({QStringLiteral("select lbbh from ywzx_ywlb where lbbh = :code")});
    query.setText(QStringLiteral("code"), code);
    query.open();
    return !query.isEmpty();
}

void readOutline(BookOutline &outline)
{
    outline.read(ywzxDMF->ydconn);
}

} // namespace BookReader
