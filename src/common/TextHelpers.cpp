#include "common/TextHelpers.h"

#include <QStringConverter>
#include <QStringList>
#include <algorithm>

namespace TextHelpers {

static int gbkLengthOfCodePoint(QStringEncoder &encoder, const QString &one)
{
    const QByteArray bytes = encoder(one);
    if (encoder.hasError() || bytes.isEmpty()) {
        encoder.resetState();
        return 2;
    }
    return int(bytes.size());
}

int gbkByteLength(const QString &text)
{
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    int total = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x80) {
            ++total;
            continue;
        }
        const bool pair = c.isHighSurrogate() && i + 1 < text.size()
                          && text.at(i + 1).isLowSurrogate();
        const QString one = text.mid(i, pair ? 2 : 1);
        if (pair)
            ++i;
        total += encoder.isValid() && !pair ? gbkLengthOfCodePoint(encoder, one) : 2;
    }
    return total;
}

QString validText(const QString &text)
{
    QString valid = text;
    for (qsizetype i = 0; i < valid.size(); ++i) {
        const QChar c = valid.at(i);
        if (c.isHighSurrogate() && i + 1 < valid.size() && valid.at(i + 1).isLowSurrogate())
            ++i; // a whole pair
        else if (c.isSurrogate())
            valid[i] = QChar::ReplacementCharacter;
    }
    return valid;
}

QString withFullStop(const QString &message)
{
    // A Chinese sentence already ends in its own stop, mark or bracket.
    static const QString closing = QStringLiteral("。！？…）”");
    if (!message.isEmpty() && message.back() > QLatin1Char('.') && !closing.contains(message.back()))
        return message + QLatin1Char('.');
    return message;
}

QString joinCrLf(const QStringList &lines)
{
    return lines.join(QLatin1String("\r\n"));
}

// One pass: QString::replace moves the rest of the text again and again
// and took seconds on a text of a million lines.
QString paneFromStored(const QString &stored)
{
    if (!stored.contains(u'\r'))
        return stored;
    QString pane(stored.size(), Qt::Uninitialized);
    QChar *out = pane.data();
    for (const QChar *in = stored.constBegin(), *end = stored.constEnd(); in != end; ++in) {
        if (*in == u'\r' && in + 1 != end && in[1] == u'\n')
            ++in;
        *out++ = *in;
    }
    pane.truncate(out - pane.constData());
    return pane;
}

const DocumentCharacter DocumentCharacters[3] = {
    {u'\u2029', u'\n', true}, // paragraph separator
    {u'\u2028', u'\n', true}, // line separator
    {u'\u00A0', u' ', false},  // no-break space
};

bool isLineBreak(QChar c)
{
    if (c == u'\n')
        return true;
    if (c.unicode() < 0x2028)
        return false; // most characters: no look-up
    for (const DocumentCharacter &d : DocumentCharacters)
        if (d.raw == c.unicode())
            return d.lineBreak;
    return false;
}

QString storedFromPane(const QString &pane)
{
    const qsizetype breaks = std::count_if(pane.cbegin(), pane.cend(), isLineBreak);
    if (breaks == 0)
        return pane;
    QString stored(pane.size() + breaks, Qt::Uninitialized);
    QChar *out = stored.data();
    for (const QChar c : pane) {
        if (isLineBreak(c)) {
            *out++ = u'\r';
            *out++ = u'\n';
        } else {
            *out++ = c;
        }
    }
    return stored;
}

} // namespace TextHelpers
