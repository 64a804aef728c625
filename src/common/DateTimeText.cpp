#include "common/DateTimeText.h"

#include "common/AppError.h"

#include <QLocale>
#include <QRegularExpression>

namespace DateTimeText {

QString storageText(const QDateTime &value)
{
    return value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QDateTime fromStorageText(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(
        R"(^(\d{4})-(\d{1,2})-(\d{1,2})(?:[ T](\d{1,2}):(\d{2})(?::(\d{2}))?)?$)"));
    const QRegularExpressionMatch m = pattern.match(text.trimmed());
    if (!m.hasMatch())
        return QDateTime();
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time);
}

// Two-digit years do not survive a round trip, so a short year is widened.
QString shortDateFormat()
{
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    static const QRegularExpression shortYear(QStringLiteral("(?<!y)yy(?!y)"));
    format.replace(shortYear, QStringLiteral("yyyy"));
    return format;
}

// The locale's long time without its time-zone part.
QString longTimeFormat()
{
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    static const QRegularExpression zone(QStringLiteral("t+"));
    format.remove(zone);
    return format.simplified();
}

QString shortDate(const QDate &date)
{
    return QLocale().toString(date, shortDateFormat());
}

QString display(const QDateTime &value)
{
    const QString date = shortDate(value.date());
    if (value.time() == QTime(0, 0))
        return date;
    return date + QLatin1Char(' ') + QLocale().toString(value.time(), longTimeFormat());
}

QDateTime parseTyped(const QString &text)
{
    const QLocale locale;
    const QString trimmed = text.trimmed();
    const QString date = shortDateFormat();
    const QStringList formats = {
        date + QLatin1Char(' ') + longTimeFormat(),
        date + QLatin1Char(' ') + locale.timeFormat(QLocale::ShortFormat),
        date,
    };
    for (const QString &format : formats) {
        const QDateTime value = locale.toDateTime(trimmed, format);
        if (value.isValid())
            return value;
    }
    const QDateTime stored = fromStorageText(trimmed);
    if (stored.isValid())
        return stored;
    throw AppError(AppError::DateConversion,
                   QStringLiteral("'%1' is not a valid date and time").arg(text));
}

} // namespace DateTimeText
