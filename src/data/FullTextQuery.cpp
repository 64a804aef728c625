#include "data/FullTextQuery.h"

#include "data/BookConnection.h"
#include "data/BookIndex.h"
#include "data/BookQuery.h"
#include "data/ChineseVariants.h"
#include "common/AppError.h"

namespace {

bool onServer(const BookQuery &query)
{
    return query.connection().engine() == BookConnection::Engine::Server;
}

// The chapters' table order; a server book lists its rows by id.
QString tableOrder(const BookQuery &query)
{
    return onServer(query) ? QStringLiteral("order by id, lbbh") : QStringLiteral("order by rowid");
}

// The index answers only when both its tables are there and can be read:
// a missing or damaged one leaves the search to the scan, with the same
// result. Costs one catalogue read and one lookup of the phrase.
bool bookHasIndex(BookQuery &query, const QString &phrase)
{
    query.close();
    query.setSql({BookIndex::presenceSql()});
    query.open();
    if (query.firstFieldAsInteger() != 3)
        return false;
    query.setSql({BookIndex::healthSql()});
    query.setText(QStringLiteral("phrase"), phrase);
    try {
        query.open();
    } catch (const AppError &) {
        return false;
    }
    return true;
}

// How a server book is searched: the folded copy of the texts that the
// server keeps (and indexes), and the index of each text's character pairs
// that serves two-character words; a book pushed by an earlier program has
// neither and folds each text as it compares it.
struct ServerSearch {
    QString column = QStringLiteral("ywnr");
    bool pairs = false;
};

ServerSearch serverSearch(BookQuery &query)
{
    ServerSearch search;
    if (!onServer(query))
        return search;
    query.close();
    // The catalogue itself: information_schema's views cost milliseconds.
    query.setSql({QStringLiteral("select (select count(*) from pg_attribute where attrelid = to_regclass('ywzx_ywlb')"
                                 " and attname = 'ywnr_folded' and not attisdropped) as folded,"
                                 " (select count(*) from pg_class where oid = to_regclass('ywzx_ywlb_ywnr_pairs')) as pairs")});
    query.open();
    if (query.fieldAsInteger(QStringLiteral("folded")) == 1) {
        search.column = QStringLiteral("ywnr_folded");
        search.pairs = query.fieldAsInteger(QStringLiteral("pairs")) == 1;
    }
    return search;
}

// The runs of the typed text between wildcards, by code point, ASCII
// letters folded as the server's copy has them.
QList<QList<char32_t>> literalRuns(const QString &text)
{
    QList<QList<char32_t>> runs{{}};
    for (char32_t c : text.toUcs4()) {
        if (c == '%' || c == '_')
            runs.append(QList<char32_t>());
        else
            runs.last() << (c < 0x80 ? char32_t(QChar(c).toLower().unicode()) : c);
    }
    return runs;
}

QString arrayLiteral(const QStringList &values)
{
    QStringList quoted;
    for (QString value : values)
        quoted << QLatin1Char('"') + value.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\""))
                      + QLatin1Char('"');
    return QLatin1Char('{') + quoted.join(QLatin1Char(',')) + QLatin1Char('}');
}

// The character pairs that narrow a server search when the trigram index
// cannot (no run of three characters), as a text[] literal; empty when
// none apply. A text holds every pair of each run; with variants, one of
// the variant pairs of the first pair.
QString serverPairs(const QString &text, bool variants)
{
    const QList<QList<char32_t>> runs = literalRuns(text);
    QStringList pairs;
    for (const QList<char32_t> &run : runs) {
        if (run.size() >= 3)
            return QString(); // the trigram index serves it
        if (run.size() == 2)
            pairs << QString::fromUcs4(run.constData(), 2);
    }
    if (!variants || pairs.isEmpty())
        return pairs.isEmpty() ? QString() : arrayLiteral(pairs);
    const QList<char32_t> first = literalRuns(pairs.first()).first();
    QStringList forms;
    for (char32_t a : ChineseVariants::variantsOf(first.at(0)))
        for (char32_t b : ChineseVariants::variantsOf(first.at(1)))
            forms << QString::fromUcs4(&a, 1) + QString::fromUcs4(&b, 1);
    return arrayLiteral(forms);
}

// A LIKE pattern as a PostgreSQL regular expression over the folded text,
// each character with variants as the bracket of its class.
QString variantsRegex(const QString &likeText)
{
    QString regex;
    for (char32_t c : likeText.toUcs4()) {
        if (c == '%') {
            regex += QLatin1String(".*");
        } else if (c == '_') {
            regex += QLatin1Char('.');
        } else if (c < 0x80) {
            const QChar ascii = QChar(c).toLower();
            if (!ascii.isLetterOrNumber())
                regex += QLatin1Char('\\');
            regex += ascii;
        } else {
            const QList<char32_t> forms = ChineseVariants::variantsOf(c);
            const QString chars = QString::fromUcs4(forms.constData(), forms.size());
            regex += forms.size() == 1 ? chars : QLatin1Char('[') + chars + QLatin1Char(']');
        }
    }
    return regex;
}

// Every form of the text that 繁简通查 finds (each character one of its
// variants, wildcards kept), or none when there are more than `most`.
QStringList variantForms(const QString &text, qsizetype most)
{
    QStringList forms{QString()};
    for (char32_t c : text.toUcs4()) {
        const QList<char32_t> variants = c == '%' || c == '_' ? QList<char32_t>{c} : ChineseVariants::variantsOf(c);
        if (forms.size() * variants.size() > most)
            return {};
        QStringList longer;
        for (const QString &form : forms)
            for (char32_t v : variants)
                longer << form + QString::fromUcs4(&v, 1);
        forms = longer;
    }
    return forms;
}

} // namespace

void prepareTextSearch(BookQuery &query, const QString &columns, const QString &text, const QString &restriction,
                       bool variants)
{
    const QString phrase = BookIndex::matchQuery(text, variants);
    // A server book has no such index; its own trigram index serves LIKE.
    const bool indexed = !phrase.isEmpty() && !onServer(query) && bookHasIndex(query, phrase);
    const ServerSearch server = serverSearch(query);
    const QString &column = server.column;
    const QString pairs = server.pairs ? serverPairs(text, variants) : QString();
    QString where = QStringLiteral("where %1 like :pattern").arg(column);
    // On the server, a few forms are each a LIKE that the trigram index
    // serves; a regular expression of character classes it serves poorly.
    // On a book file, two or three LIKEs cost less than folding every text.
    const QStringList forms = !variants ? QStringList()
                              : column == QLatin1String("ywnr_folded") ? variantForms(text, 32)
                              : onServer(query) ? QStringList() : variantForms(text, 3);
    if (!forms.isEmpty()) {
        QStringList alternatives;
        for (qsizetype i = 0; i < forms.size(); ++i)
            alternatives << QStringLiteral("%1 like :form%2").arg(column).arg(i);
        where = QStringLiteral("where (%1)").arg(alternatives.join(QStringLiteral(" or ")));
    } else if (variants && onServer(query)) {
        where = column == QLatin1String("ywnr_folded")
                    ? QStringLiteral("where ywnr_folded ~ :pattern")
                    : QStringLiteral("where translate(ywnr, 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz') ~ :pattern");
    } else if (variants) {
        ChineseVariants::addSqlFunction(query.connection().database());
        where = QStringLiteral("where ebook_variants_folded(ywnr) like :pattern");
    }
    if (!restriction.isEmpty())
        where += QStringLiteral(" and ") + restriction;
    if (indexed)
        where += QStringLiteral(" and ") + BookIndex::candidateCondition();
    if (!pairs.isEmpty())
        where += QStringLiteral(" and ebook_pairs(ywnr_folded) %1 cast(:pairs as text[])")
                     .arg(variants ? QStringLiteral("&&") : QStringLiteral("@>"));
    query.close();
    query.setSql({QStringLiteral("select %1 from ywzx_ywlb").arg(columns), where, tableOrder(query)});
    // Bound, not pasted: % and _ keep their meaning, a quote is a character.
    if (!forms.isEmpty()) {
        for (qsizetype i = 0; i < forms.size(); ++i)
            query.setText(QStringLiteral("form%1").arg(i), QLatin1Char('%') + forms.at(i) + QLatin1Char('%'));
    } else if (variants && onServer(query))
        query.setText(QStringLiteral("pattern"), variantsRegex(text));
    else
        query.setText(QStringLiteral("pattern"), QLatin1Char('%') + (variants ? ChineseVariants::folded(text) : text) + QLatin1Char('%'));
    if (indexed)
        query.setText(QStringLiteral("phrase"), phrase);
    if (!pairs.isEmpty())
        query.setText(QStringLiteral("pairs"), pairs);
}

QString rowKeyColumn(const BookQuery &query)
{
    return onServer(query) ? QStringLiteral("lbbh") : QStringLiteral("rowid");
}

QString resultListColumns(const BookQuery &query)
{
    return onServer(query) ? QStringLiteral("lbbh, lbmc") : QStringLiteral("rowid, lbbh, lbmc");
}

QStringList rowsByKey(const BookQuery &query)
{
    const QString key = onServer(query) ? QStringLiteral("value") : QStringLiteral("cast(value as integer)");
    return {QStringLiteral("select %1 from ywzx_ywlb where %2 in (select %3 from json_each(:rows))")
                .arg(resultListColumns(query), rowKeyColumn(query), key),
            tableOrder(query)};
}

QStringList rowShownByKey(const BookQuery &query)
{
    const QString key = onServer(query) ? QStringLiteral(":key") : QStringLiteral("cast(:key as integer)");
    return {QStringLiteral("select lbbh, lbmc, xgrq, xgr, ywnr from ywzx_ywlb where %1 = %2").arg(rowKeyColumn(query), key)};
}
