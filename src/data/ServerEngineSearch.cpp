#include "data/ServerEngine.h"

#include "data/ChineseVariants.h"

#include <QStringList>

// How a text is searched for in a server book: the condition on the
// chapter table that the server's indexes serve.

namespace {

// How a server book is searched: the folded copy of the texts that the
// server keeps (and indexes), and the index of each text's character pairs
// that serves two-character words; a book pushed by an earlier program has
// neither and folds each text as it compares it.
struct ServerSearch {
    QString column = QStringLiteral("ywnr");
    bool pairs = false;
    bool chars = false;
};

ServerSearch serverSearch(SearchedBook &book)
{
    ServerSearch search;
    // The catalogue itself: information_schema's views cost milliseconds.
    const QVariantList row = book.catalogueRow(QStringLiteral("select (select count(*) from pg_attribute where attrelid = to_regclass('ywzx_ywlb')"
                                                              " and attname = 'ywnr_folded' and not attisdropped) as folded,"
                                                              " (select count(*) from pg_class where oid = to_regclass('ywzx_ywlb_ywnr_pairs')) as pairs,"
                                                              " (select count(*) from pg_class where oid = to_regclass('ywzx_ywlb_ywnr_chars')) as chars"));
    if (row.value(0).toInt() == 1) {
        search.column = QStringLiteral("ywnr_folded");
        search.pairs = row.value(1).toInt() == 1;
        search.chars = row.value(2).toInt() == 1;
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

// Whether an index can serve the text: a run of two characters or more
// between wildcards (the pair index, or the trigram index from three).
bool indexable(const QString &text)
{
    for (const QList<char32_t> &run : literalRuns(text))
        if (run.size() >= 2)
            return true;
    return false;
}

// Whether the text is two characters and no wildcard: then a text holds it
// exactly when its pairs do, and the index of the pairs answers alone,
// without unpacking every text it finds (a common pair is in thousands).
bool onePair(const QString &text)
{
    const QList<QList<char32_t>> runs = literalRuns(text);
    return runs.size() == 1 && runs.first().size() == 2;
}

// The one character of a text of one character and no wildcard, folded as
// the server's copy has it; 0 for any other text.
char32_t oneCharacter(const QString &text)
{
    const QList<QList<char32_t>> runs = literalRuns(text);
    return runs.size() == 1 && runs.first().size() == 1 ? runs.first().first() : 0;
}

// One character, answered by the index of each text's characters alone;
// with variants, a text holding any form of it.
BookEngine::TextCondition oneCharacterCondition(char32_t c, bool variants)
{
    QStringList forms;
    for (char32_t form : variants ? ChineseVariants::variantsOf(c) : QList<char32_t>{c})
        forms << QString::fromUcs4(&form, 1);
    BookEngine::TextCondition condition;
    condition.where = QStringLiteral("where ebook_chars(ywnr_folded) && cast(:chars as text[])");
    condition.texts.append({QStringLiteral("chars"), arrayLiteral(forms)});
    return condition;
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

} // namespace

BookEngine::TextCondition ServerEngine::textCondition(const QString &likeText, bool variants, SearchedBook &book) const
{
    TextCondition condition;
    const ServerSearch server = serverSearch(book);
    if (const char32_t c = oneCharacter(likeText); c && server.chars)
        return oneCharacterCondition(c, variants);
    const QString &column = server.column;
    const bool folded = column == QLatin1String("ywnr_folded");
    const QString pairs = server.pairs ? serverPairs(likeText, variants) : QString();
    // A few forms are each a LIKE that the trigram index serves; a regular
    // expression of character classes it serves poorly.
    QStringList forms = variants && folded ? ChineseVariants::forms(likeText, 32) : QStringList();
    if (const qsizetype typed = forms.indexOf(likeText); typed > 0)
        forms.move(typed, 0);
    if (!forms.isEmpty() && !indexable(likeText)) {
        // No index serves it: one pass over the texts, the typed form first.
        QStringList alternatives;
        for (qsizetype i = 0; i < forms.size(); ++i) {
            alternatives << QStringLiteral("ywnr_folded like :form%1").arg(i);
            condition.texts.append({QStringLiteral("form%1").arg(i), QLatin1Char('%') + forms.at(i) + QLatin1Char('%')});
        }
        condition.where = QStringLiteral("where (%1)").arg(alternatives.join(QStringLiteral(" or ")));
    } else if (!forms.isEmpty()) {
        // Each form is its own index scan, and a row found is checked against
        // that form alone: in one OR every row would be checked against each
        // form in turn, each time unpacking its whole text.
        QStringList arms;
        for (qsizetype i = 0; i < forms.size(); ++i) {
            const QString formPairs = server.pairs ? serverPairs(forms.at(i), false) : QString();
            if (!formPairs.isEmpty() && onePair(forms.at(i))) {
                arms << QStringLiteral("select ctid from ywzx_ywlb where ebook_pairs(ywnr_folded) @> cast(:pairs%1 as text[])").arg(i);
                condition.texts.append({QStringLiteral("pairs%1").arg(i), formPairs});
                continue;
            }
            QString arm = QStringLiteral("select ctid from ywzx_ywlb where ywnr_folded like :form%1").arg(i);
            condition.texts.append({QStringLiteral("form%1").arg(i), QLatin1Char('%') + forms.at(i) + QLatin1Char('%')});
            if (!formPairs.isEmpty()) {
                arm += QStringLiteral(" and ebook_pairs(ywnr_folded) @> cast(:pairs%1 as text[])").arg(i);
                condition.texts.append({QStringLiteral("pairs%1").arg(i), formPairs});
            }
            arms << arm;
        }
        condition.where = QStringLiteral("where ctid in (%1)").arg(arms.join(QStringLiteral(" union all ")));
        return condition;
    } else if (variants) {
        condition.where = folded ? QStringLiteral("where ywnr_folded ~ :pattern")
                                 : QStringLiteral("where translate(ywnr, 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz') ~ :pattern");
        condition.texts.append({QStringLiteral("pattern"), variantsRegex(likeText)});
    } else if (!pairs.isEmpty() && onePair(likeText)) {
        condition.where = QStringLiteral("where ebook_pairs(ywnr_folded) @> cast(:pairs as text[])");
        condition.texts.append({QStringLiteral("pairs"), pairs});
        return condition;
    } else {
        condition.where = QStringLiteral("where %1 like :pattern").arg(column);
        condition.texts.append({QStringLiteral("pattern"), QLatin1Char('%') + likeText + QLatin1Char('%')});
    }
    if (!pairs.isEmpty()) {
        condition.narrowing = QStringLiteral("ebook_pairs(ywnr_folded) %1 cast(:pairs as text[])")
                                  .arg(variants ? QStringLiteral("&&") : QStringLiteral("@>"));
        condition.texts.append({QStringLiteral("pairs"), pairs});
    }
    return condition;
}
