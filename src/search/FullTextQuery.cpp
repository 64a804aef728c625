#include "search/FullTextQuery.h"

#include "data/BookIndex.h"
#include "data/BookQuery.h"

namespace {

bool bookHasIndex(BookQuery &query)
{
    query.close();
    query.setSql({BookIndex::presenceSql()});
    query.open();
    return query.firstFieldAsInteger() == 2;
}

} // namespace

void prepareTextSearch(BookQuery &query, const QString &columns, const QString &text, const QString &restriction)
{
    const QString phrase = BookIndex::matchQuery(text);
    const bool indexed = !phrase.isEmpty() && bookHasIndex(query);
    QString where = QStringLiteral("where ywnr like :pattern");
    if (!restriction.isEmpty())
        where += QStringLiteral(" and ") + restriction;
    if (indexed)
        where += QStringLiteral(" and ") + BookIndex::candidateCondition();
    query.close();
    query.setSql({QStringLiteral("select %1 from ywzx_ywlb").arg(columns), where, QStringLiteral("order by rowid")});
    // Bound, not pasted: % and _ keep their meaning, a quote is a character.
    query.setText(QStringLiteral("pattern"), QLatin1Char('%') + text + QLatin1Char('%'));
    if (indexed)
        query.setText(QStringLiteral("phrase"), phrase);
}
