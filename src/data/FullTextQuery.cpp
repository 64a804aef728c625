#include "data/FullTextQuery.h"

#include "data/BookConnection.h"
#include "data/BookEngine.h"
#include "data/BookQuery.h"

namespace {

const BookEngine &engineOf(const BookQuery &query)
{
    return query.connection().engine();
}

// The book a search is built for, asked on a query of its own on the
// search's connection.
class AskedBook final : public SearchedBook {
public:
    explicit AskedBook(BookConnection &connection) : query_(connection, QStringLiteral("textSearchProbe")) {}

    QVariantList catalogueRow(const QString &sql, const Texts &texts) override { return row(sql, texts); }
    QVariantList probeRow(const QString &sql, const Texts &texts) override { return row(sql, texts); }

private:
    QVariantList row(const QString &sql, const Texts &texts)
    {
        query_.close();
        query_.setSql({sql});
        for (const auto &[name, value] : texts)
            query_.setText(name, value);
        query_.open();
        QVariantList fields;
        if (!query_.isEmpty())
            for (const QString &column : query_.columnNames())
                fields << query_.fieldValue(column);
        return fields;
    }

    BookQuery query_;
};

} // namespace

void prepareTextSearch(BookQuery &query, const QString &columns, const QString &text, const QString &restriction,
                       bool variants)
{
    const BookEngine &engine = engineOf(query);
    AskedBook book(query.connection());
    const BookEngine::TextCondition condition = engine.textCondition(text, variants, book);
    QString where = condition.where;
    if (!restriction.isEmpty())
        where += QStringLiteral(" and ") + restriction;
    if (!condition.narrowing.isEmpty())
        where += QStringLiteral(" and ") + condition.narrowing;
    query.close();
    query.setSql({QStringLiteral("select %1 from ywzx_ywlb").arg(columns), where, engine.tableOrder()});
    // Bound, not pasted: % and _ keep their meaning, a quote is a character.
    for (const auto &[name, value] : condition.texts)
        query.setText(name, value);
}

QString rowKeyColumn(const BookQuery &query)
{
    return engineOf(query).rowKeyColumn();
}

QString resultListColumns(const BookQuery &query)
{
    const QString key = rowKeyColumn(query);
    return key == QLatin1String("lbbh") ? QStringLiteral("lbbh, lbmc") : key + QStringLiteral(", lbbh, lbmc");
}

QStringList rowsByKey(const BookQuery &query)
{
    const BookEngine &engine = engineOf(query);
    return {QStringLiteral("select %1 from ywzx_ywlb where %2 in (select %3 from json_each(:rows))")
                .arg(resultListColumns(query), engine.rowKeyColumn(), engine.keyFromText(QStringLiteral("value"))),
            engine.tableOrder()};
}

QStringList rowShownByKey(const BookQuery &query)
{
    const BookEngine &engine = engineOf(query);
    return {QStringLiteral("select lbbh, lbmc, xgrq, xgr, ywnr from ywzx_ywlb where %1 = %2")
                .arg(engine.rowKeyColumn(), engine.keyFromText(QStringLiteral(":key")))};
}
