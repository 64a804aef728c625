#include "data/BookOutline.h"

#include "data/BookConnection.h"
#include "data/BookQuery.h"

namespace {

// Rows grouped by the parent column, in the order read. A null parent
// matches no code, as in the tree's queries.
void readGrouped(BookQuery &query, const QStringList &sql, QHash<QString, QVector<BookOutline::Entry>> &groups)
{
    query.setSql(sql);
    query.open();
    for (query.first(); !query.eof(); query.next())
        groups[query.firstFieldAsText()].append(
            {query.fieldAsText(QStringLiteral("code")), query.fieldAsText(QStringLiteral("name"))});
    query.close();
}

} // namespace

void BookOutline::read(BookConnection &connection)
{
    chapters_.clear();
    articles_.clear();
    BookConnection::ReadTransaction oneState(connection); // both statements see the same book
    BookQuery query(connection, QStringLiteral("OutlineQuery"));
    // Siblings by id, ties as the (flbh, id) index gives them; a row that is
    // its own parent is nobody's child.
    readGrouped(query,
                {QStringLiteral("select flbh, lbbh as code, lbmc as name from ywzx_ywlb"),
                 QStringLiteral("where flbh<>lbbh order by id, rowid")},
                chapters_);
    chapterCount_ = 0;
    for (const auto &group : std::as_const(chapters_))
        chapterCount_ += group.size();
    // The article query takes them through the lbbh index: by id within a chapter.
    readGrouped(query,
                {QStringLiteral("select lbbh, nrbh as code, nrbt as name from ywzx_ywnr"),
                 QStringLiteral("where lbbh is not null order by id")},
                articles_);
}

const QVector<BookOutline::Entry> *BookOutline::chaptersUnder(const QString &code) const
{
    const auto found = chapters_.constFind(code);
    return found == chapters_.cend() ? nullptr : &*found;
}

const QVector<BookOutline::Entry> *BookOutline::articlesOf(const QString &code) const
{
    const auto found = articles_.constFind(code);
    return found == articles_.cend() ? nullptr : &*found;
}
