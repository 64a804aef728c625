#include "data/BookReader.h"

#include "common/DateTimeText.h"
#include "common/Labels.h"
#include "data/BookQuery.h"

#include <QDateTime>
#include <QSet>

namespace {

QVector<BookReader::Entry> entries(BookQuery &query, const QString &codeField, const QString &nameField)
{
    QVector<BookReader::Entry> result;
    for (query.first(); !query.eof(); query.next())
        result.append({query.fieldAsText(codeField), query.fieldAsText(nameField)});
    return result;
}

} // namespace

BookReader::BookReader(BookConnection &connection, BookQuery &chapters, BookQuery &articles, BookQuery &reads)
    : connection_(connection), chapters_(chapters), articles_(articles), reads_(reads)
{
}

// The code is bound, never pasted: a code holding a quote reads as any other.
BookQuery &BookReader::rowOf(const QString &sql, const QString &code)
{
    BookQuery &query = reads_;
    query.close();
    query.setSql({sql});
    query.setText(QStringLiteral("code"), code);
    query.open();
    return query;
}

QString BookReader::textOf(const QString &sql, const QString &code)
{
    const BookQuery &query = rowOf(sql, code);
    return query.isEmpty() ? QString() : query.fieldAsText(QStringLiteral("ywnr"));
}

QString BookReader::bookName()
{
    BookQuery &query = chapters_;
    query.close();
    query.setSql({QStringLiteral("select lbmc from ywzx_ywlb where lbbh=\"00000\"")});
    query.open();
    return query.fieldAsText(QStringLiteral("lbmc"));
}

QVector<BookReader::Entry> BookReader::childChapters(const QString &code)
{
    BookQuery &chapters = chapters_;
    chapters.close();
    chapters.setSql({QStringLiteral("select * from ywzx_ywlb where  (flbh<>lbbh) and (flbh=:flbh)    order by id")});
    chapters.setText(QStringLiteral("flbh"), code);
    chapters.open();
    return entries(chapters, QStringLiteral("lbbh"), QStringLiteral("lbmc"));
}

QVector<BookReader::Entry> BookReader::articlesOf(const QString &code)
{
    BookQuery &articles = articles_;
    articles.close();
    articles.setText(QStringLiteral("lbbh"), code);
    articles.open();
    return entries(articles, QStringLiteral("nrbh"), QStringLiteral("nrbt"));
}

QString BookReader::chapterText(const QString &code)
{
    return textOf(QStringLiteral("select * from ywzx_ywlb where lbbh=:code order by id"), code);
}

QString BookReader::articleText(const QString &code)
{
    return textOf(QStringLiteral("select * from ywzx_ywnr where nrbh=:code order by id"), code);
}

// One short statement per step up. Of rows sharing a code the first counts.
QStringList BookReader::chainFromRoot(const QString &code)
{
    BookQuery &query = reads_;
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

bool BookReader::hasChapter(const QString &code)
{
    BookQuery &query = reads_;
    query.close();
    query.setSql({QStringLiteral("select lbbh from ywzx_ywlb where lbbh = :code")});
    query.setText(QStringLiteral("code"), code);
    query.open();
    return !query.isEmpty();
}

void BookReader::readOutline(BookOutline &outline)
{
    outline.read(connection_);
}

// The server hands back a date-time, the file book its stored text.
QDate BookReader::dateOf(const QString &sql, const QString &code)
{
    const BookQuery &query = rowOf(sql, code);
    if (query.isEmpty() || query.fieldIsNull(QStringLiteral("xgrq")))
        return {};
    const QVariant stored = query.fieldValue(QStringLiteral("xgrq"));
    if (stored.typeId() == QMetaType::QDateTime || stored.typeId() == QMetaType::QDate)
        return stored.toDate();
    return DateTimeText::fromStorageText(stored.toString()).date();
}

QDate BookReader::chapterModified(const QString &code)
{
    return dateOf(QStringLiteral("select xgrq from ywzx_ywlb where lbbh=:code order by id"), code);
}

QDate BookReader::articleModified(const QString &code)
{
    return dateOf(QStringLiteral("select xgrq from ywzx_ywnr where nrbh=:code order by id"), code);
}
