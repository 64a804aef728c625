#include "data/BookIndex.h"

#include "data/ChineseVariants.h"

#include <QRegularExpression>

namespace BookIndex {

QString presenceSql()
{
    return QStringLiteral("select count(*), (select count(*) from sqlite_master where name = 'ywzx_ywlb_fts'"
                          " and sql like '%prefix = 1%') from sqlite_master where type = 'table'"
                          " and name in ('ywzx_ywlb_fts', 'ywzx_ywlb_fts_key', 'ywzx_ywlb_fts_n')");
}

namespace {

QString quoted(QString term)
{
    return QLatin1Char('"') + term.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

// Single characters beyond ASCII: each begins a term wherever it stands (a
// pair, or the character alone before a separator or at a text's end), so
// the terms that begin with it find every text that holds it. An ASCII
// letter or digit at a text's end begins none: those are left to the scan.
QString characterQuery(const QString &likeText, bool variants)
{
    QStringList prefixes;
    for (const uint c : likeText.toUcs4()) {
        if (c < 0x80)
            continue;
        QStringList forms;
        const QList<char32_t> all = variants ? ChineseVariants::variantsOf(c) : QList<char32_t>{c};
        for (const char32_t form : all)
            forms << quoted(QString::fromUcs4(&form, 1)) + QLatin1Char('*');
        const QString prefix = forms.size() == 1 ? forms.first() : QLatin1Char('(') + forms.join(QLatin1String(" OR ")) + QLatin1Char(')');
        if (!prefixes.contains(prefix))
            prefixes << prefix;
    }
    return prefixes.join(QLatin1String(" AND "));
}

} // namespace

QString matchQuery(const QString &likeText, bool variants)
{
    static const QRegularExpression wildcards(QStringLiteral("[%_]"));
    QStringList phrases;
    for (const QString &run : likeText.split(wildcards, Qt::SkipEmptyParts)) {
        const QList<uint> chars = run.toUcs4();
        for (qsizetype i = 0; i + 1 < chars.size(); ++i) {
            const auto separates = [](uint c) { return c < 0x80 && !QChar::isLetterOrNumber(c); };
            if (separates(chars.at(i)) && separates(chars.at(i + 1)))
                continue; // no term at all
            QStringList forms;
            const QList<char32_t> firsts = variants ? ChineseVariants::variantsOf(chars.at(i)) : QList<char32_t>{chars.at(i)};
            const QList<char32_t> seconds = variants ? ChineseVariants::variantsOf(chars.at(i + 1)) : QList<char32_t>{chars.at(i + 1)};
            for (char32_t first : firsts)
                for (char32_t second : seconds) {
                    const char32_t both[] = {first, second};
                    QString form = QString::fromUcs4(both, 2);
                    forms << QLatin1Char('"') + form.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
                }
            const QString pair = forms.size() == 1 ? forms.first() : QLatin1Char('(') + forms.join(QLatin1String(" OR ")) + QLatin1Char(')');
            if (!phrases.contains(pair))
                phrases << pair;
        }
    }
    return phrases.isEmpty() ? characterQuery(likeText, variants) : phrases.join(QLatin1String(" AND "));
}

bool isCharacterQuery(const QString &phrase)
{
    return phrase.endsWith(QLatin1Char('*')) || phrase.endsWith(QLatin1String("*)"));
}

bool exactForASoleChapter(const QString &likeText)
{
    const QList<uint> chars = likeText.toUcs4();
    return chars.size() == 1 && chars.first() >= 0x80;
}

QString soleChapterOfItsCode()
{
    return QStringLiteral("lbbh is not null and not exists (select 1 from ywzx_ywlb same"
                          " where same.lbbh = ywzx_ywlb.lbbh and same.rowid <> ywzx_ywlb.rowid)");
}

QString samplesSql(int most)
{
    return QStringLiteral("select lbbh, substr(ywnr, 1, 8) from ywzx_ywlb where lbbh is not null and ywnr <> ''"
                          " order by rowid limit %1").arg(most);
}

QString probeQuery(const QString &start)
{
    // A byte that is no UTF-8 arrives as U+FFFD, which the index never saw:
    // pairs holding one are left out like those across a wildcard.
    return matchQuery(QString(start).replace(QChar::ReplacementCharacter, QLatin1Char('%')));
}

QString findsChapterSql()
{
    return QStringLiteral("select count(*) from ywzx_ywlb_fts_key where lbbh = :code and docid in"
                          " (select rowid from ywzx_ywlb_fts where ywzx_ywlb_fts match :probe)");
}

QString healthSql()
{
    return QStringLiteral("select count(*) from ywzx_ywlb_fts_key where docid in"
                          " (select rowid from ywzx_ywlb_fts where ywzx_ywlb_fts match :phrase limit 1)");
}

QString candidateCondition()
{
    return QStringLiteral("rowid in (select l.rowid from ywzx_ywlb l where l.lbbh in"
                          " (select k.lbbh from ywzx_ywlb_fts_key k where k.docid in"
                          " (select rowid from ywzx_ywlb_fts where ywzx_ywlb_fts match :phrase))"
                          " union all select rowid from ywzx_ywlb where lbbh is null)");
}

// The same pairs as pairsOf() makes in SQL, from the text's bytes: a
// character is a byte of 0xC0 or more with the continuation bytes after it,
// or any other byte, as SQLite counts them.
void appendPairs(QByteArray &out, const QByteArray &text)
{
    const qsizetype size = text.size();
    const auto charEnd = [&](qsizetype from, qsizetype limit) {
        const bool lead = uchar(text.at(from)) >= 0xC0;
        ++from;
        if (lead)
            while (from < limit && (uchar(text.at(from)) & 0xC0) == 0x80)
                ++from;
        return from;
    };
    for (qsizetype p = 0; p + 2 <= size; ++p) {
        const uchar byte = uchar(text.at(p));
        if (byte >= 0x80 && byte <= 0xBF)
            continue;
        const qsizetype limit = qMin(size, p + 8);
        qsizetype end = charEnd(p, limit);
        if (end < limit)
            end = charEnd(end, limit);
        if (!out.isEmpty())
            out += ' ';
        out.append(text.constData() + p, end - p);
    }
}

} // namespace BookIndex
