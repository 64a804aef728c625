#include "data/BookIndex.h"

#include "data/ChineseVariants.h"

#include <QRegularExpression>

namespace BookIndex {

QString presenceSql()
{
    return QStringLiteral("select count(*) from sqlite_master where type = 'table'"
                          " and name in ('ywzx_ywlb_fts', 'ywzx_ywlb_fts_key', 'ywzx_ywlb_fts_n')");
}

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
    return phrases.join(QLatin1String(" AND "));
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

} // namespace BookIndex
