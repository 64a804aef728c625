#include "data/BookSql.h"

#include "common/AppError.h"

#include <QRegularExpression>

namespace {

bool isNameStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
bool isNameChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

// Reads a literal opened by `quote` at `pos`; a doubled quote stands for one.
// Returns its content and moves pos past the closing quote (or to the end of
// an unterminated literal, which the engine then rejects).
QString readLiteral(const QString &s, qsizetype &pos, QChar quote, bool &terminated)
{
    QString content;
    ++pos;
    terminated = false;
    while (pos < s.size()) {
        const QChar c = s.at(pos++);
        if (c != quote) {
            content += c;
        } else if (pos < s.size() && s.at(pos) == quote) {
            content += quote;
            ++pos;
        } else {
            terminated = true;
            break;
        }
    }
    return content;
}

QString singleQuoted(const QString &content, bool terminated)
{
    QString escaped = content;
    escaped.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + escaped + (terminated ? QLatin1String("'") : QLatin1String(""));
}

// The end of a comment starting at pos ("--" to the end of the line, or
// "/*" to "*/"), or -1 when no comment starts there.
qsizetype commentEnd(const QString &s, qsizetype pos)
{
    const QStringView rest = QStringView(s).mid(pos);
    if (rest.startsWith(QLatin1String("--"))) {
        const qsizetype end = s.indexOf(QLatin1Char('\n'), pos);
        return end < 0 ? s.size() : end;
    }
    if (rest.startsWith(QLatin1String("/*"))) {
        const qsizetype end = s.indexOf(QLatin1String("*/"), pos + 2);
        return end < 0 ? s.size() : end + 2;
    }
    return -1;
}

// SQLite's other parameter forms ("?", "?1", ":1", "@name", "$name") would
// be bound by position behind the named ones' backs: refused. A "$" inside
// a name is part of the name.
void refuseOtherParameters(const QString &s, qsizetype pos)
{
    const QChar c = s.at(pos);
    const QChar next = pos + 1 < s.size() ? s.at(pos + 1) : QChar();
    const bool afterName = pos > 0 && isNameChar(s.at(pos - 1));
    const bool refused = c == QLatin1Char('?') || (c == QLatin1Char(':') && next.isDigit())
                         || (c == QLatin1Char('@') && isNameChar(next))
                         || (c == QLatin1Char('$') && isNameChar(next) && !afterName);
    if (!refused)
        return;
    qsizetype end = pos + 1;
    while (end < s.size() && isNameChar(s.at(end)))
        ++end;
    throw AppError(AppError::Database,
                   QStringLiteral("Parameter '%1' is not supported: use a named parameter such as :name")
                       .arg(s.mid(pos, end - pos)));
}

QString fixKeywords(QString code)
{
    static const QRegularExpression deleteStar(
        QStringLiteral(R"(\bdelete\s+\*\s*from\b)"), QRegularExpression::CaseInsensitiveOption);
    code.replace(deleteStar, QStringLiteral("delete from"));
    return code;
}

} // namespace

TranslatedSql translateSql(const QString &statement)
{
    TranslatedSql result;
    QString code; // the statement outside literals, written as it goes
    QString out;
    auto flushCode = [&] {
        out += fixKeywords(code);
        code.clear();
    };
    qsizetype pos = 0;
    while (pos < statement.size()) {
        const QChar c = statement.at(pos);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            flushCode();
            bool terminated = false;
            const QString content = readLiteral(statement, pos, c, terminated);
            out += singleQuoted(content, terminated);
        } else if (const qsizetype end = commentEnd(statement, pos); end >= 0) {
            flushCode(); // a comment separates words: "delete * /**/ from" stays as it is
            out += statement.mid(pos, end - pos);
            pos = end;
        } else if (c == QLatin1Char('[') || c == QLatin1Char('`')) {
            const qsizetype end = statement.indexOf(c == QLatin1Char('[') ? QLatin1Char(']') : c, pos + 1);
            const qsizetype stop = end < 0 ? statement.size() : end + 1;
            code += statement.mid(pos, stop - pos);
            pos = stop;
        } else if (c == QLatin1Char(':') && pos + 1 < statement.size()
                   && isNameStart(statement.at(pos + 1))) {
            qsizetype end = pos + 1;
            while (end < statement.size() && isNameChar(statement.at(end)))
                ++end;
            result.parameters << statement.mid(pos + 1, end - pos - 1);
            code += QLatin1Char('?');
            pos = end;
        } else {
            refuseOtherParameters(statement, pos);
            code += c;
            ++pos;
        }
    }
    flushCode();
    result.sql = out;
    return result;
}
