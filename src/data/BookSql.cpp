#include "data/BookSql.h"

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
        } else if (c == QLatin1Char('[')) {
            const qsizetype end = statement.indexOf(QLatin1Char(']'), pos);
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
            code += c;
            ++pos;
        }
    }
    flushCode();
    result.sql = out;
    return result;
}
