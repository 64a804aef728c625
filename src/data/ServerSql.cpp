#include "data/ServerSql.h"

#include <QRegularExpression>

namespace {

const QChar Marker(0x1);

// Replaces each single-quoted literal by a numbered marker, so the rewrites
// below never look inside one.
QString hideLiterals(const QString &sql, QStringList &literals)
{
    QString code;
    qsizetype pos = 0;
    while (pos < sql.size()) {
        if (sql.at(pos) != QLatin1Char('\'')) {
            code += sql.at(pos++);
            continue;
        }
        qsizetype end = pos + 1;
        while (end < sql.size()) {
            if (sql.at(end) == QLatin1Char('\'') && end + 1 < sql.size() && sql.at(end + 1) == QLatin1Char('\''))
                end += 2;
            else if (sql.at(end) == QLatin1Char('\''))
                break;
            else
                ++end;
        }
        end = qMin(end + 1, sql.size());
        code += Marker + QString::number(literals.size()) + Marker;
        literals << sql.mid(pos, end - pos);
        pos = end;
    }
    return code;
}

QString showLiterals(QString code, const QStringList &literals)
{
    for (qsizetype i = literals.size() - 1; i >= 0; --i)
        code.replace(Marker + QString::number(i) + Marker, literals.at(i));
    return code;
}

QString rewriteLike(const QString &code)
{
    static const QRegularExpression like(
        QStringLiteral(R"(([A-Za-z_][\w.]*|\?|\x01\d+\x01)\s+(not\s+)?like\s+([A-Za-z_][\w.]*|\?|\x01\d+\x01))"),
        QRegularExpression::CaseInsensitiveOption);
    QString out;
    qsizetype last = 0;
    for (auto it = like.globalMatch(code); it.hasNext();) {
        const auto match = it.next();
        out += code.mid(last, match.capturedStart() - last);
        out += QStringLiteral("%1 %2like %3 escape ''")
                   .arg(asciiFolded(match.captured(1)), match.captured(2).toLower(), asciiFolded(match.captured(3)));
        last = match.capturedEnd();
    }
    return out + code.mid(last);
}

QString orderWholeTable(const QString &code)
{
    static const QRegularExpression wholeTable(QStringLiteral(R"(^\s*select\s+\*\s+from\s+ywzx_yw(lb|nr)\b)"),
                                               QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression ordered(QStringLiteral(R"(\b(order|group)\s+by\b|\bunion\b|\bfrom\s+\w+(\s+\w+)?\s*,)"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (!wholeTable.match(code).hasMatch() || ordered.match(code).hasMatch())
        return code;
    return code + QStringLiteral(" order by id");
}

// The chapters' own columns for "select *" from that table alone: the
// server's folded copy of each text is for the search, and read with every
// chapter it would double the text that a tree's expansion, an opened
// chapter or a shown hit reads, unpacks and sends.
QString listChapterColumns(const QString &code)
{
    static const QRegularExpression wholeRow(QStringLiteral(R"(^(\s*select\s+)\*(\s+from\s+ywzx_ywlb\b(?!\s*,)))"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression joined(QStringLiteral(R"(\bjoin\b)"), QRegularExpression::CaseInsensitiveOption);
    if (joined.match(code).hasMatch())
        return code;
    return QString(code).replace(wholeRow, QStringLiteral("\\1id, lbbh, lbmc, flbh, xgrq, xgr, ywnr, photoimage, checkimage\\2"));
}

// SQLite's functions and its hidden row number under their PostgreSQL
// names. Rows are numbered by id on the server: an article's rowid is its
// id, and chapters are written in the order of their ids.
QString renameFunctions(QString code)
{
    static const QRegularExpression rowid(QStringLiteral(R"(\browid\b)"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression charCall(QStringLiteral(R"(\bchar\s*\()"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression instrCall(QStringLiteral(R"(\binstr\s*\()"), QRegularExpression::CaseInsensitiveOption);
    code.replace(rowid, QStringLiteral("id"));
    code.replace(charCall, QStringLiteral("chr("));
    code.replace(instrCall, QStringLiteral("strpos("));
    return code;
}

// PostgreSQL 15 wants a name for every subquery in a FROM clause; SQLite
// does not.
QString nameSubqueries(const QString &code)
{
    static const QRegularExpression fromParen(QStringLiteral(R"(\b(from|join)\s*\()"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression named(QStringLiteral(R"(^\s*(as\s+)?(?!(union|where|order|group|join|on|limit|inner|left|cross)\b)[A-Za-z_]\w*)"),
                                          QRegularExpression::CaseInsensitiveOption);
    QString out = code;
    int count = 0;
    qsizetype from = 0;
    for (auto match = fromParen.match(out, from); match.hasMatch(); match = fromParen.match(out, from)) {
        qsizetype pos = match.capturedEnd() - 1; // the opening parenthesis
        int depth = 0;
        for (; pos < out.size(); ++pos) {
            if (out.at(pos) == QLatin1Char('('))
                ++depth;
            else if (out.at(pos) == QLatin1Char(')') && --depth == 0)
                break;
        }
        if (pos >= out.size())
            break;
        ++pos;
        if (!named.match(out.mid(pos)).hasMatch())
            out.insert(pos, QStringLiteral(" as subquery_%1").arg(++count));
        from = match.capturedEnd();
    }
    return out;
}

} // namespace

QString asciiFolded(const QString &operand)
{
    static const QRegularExpression folded(QStringLiteral(R"((^|\.)ywnr_folded$)"), QRegularExpression::CaseInsensitiveOption);
    if (folded.match(operand).hasMatch())
        return operand; // folded by the server already
    return QStringLiteral("translate(%1,'ABCDEFGHIJKLMNOPQRSTUVWXYZ','abcdefghijklmnopqrstuvwxyz')").arg(operand);
}

TranslatedSql toServerSql(const TranslatedSql &sqlite)
{
    static const QRegularExpression jsonEach(QStringLiteral(R"(\bjson_each\s*\()"),
                                             QRegularExpression::CaseInsensitiveOption);
    QStringList literals;
    QString code = hideLiterals(sqlite.sql, literals);
    code.replace(jsonEach, QStringLiteral("json_array_elements_text("));
    code = nameSubqueries(renameFunctions(rewriteLike(listChapterColumns(orderWholeTable(code)))));
    return {showLiterals(code, literals), sqlite.parameters};
}
