#include "common/DateTimeText.h"

#include "common/AppError.h"

#include <QLocale>
#include <QRegularExpression>
#include <QCoreApplication>

namespace DateTimeText {

QString storageText(const QDateTime &value)
{
    return value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QDateTime fromStorageText(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(
        R"(^(\d{4})-(\d{1,2})-(\d{1,2})(?:[ T](\d{1,2}):(\d{1,2})(?::(\d{1,2}))?)?$)"));
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

// A format that takes every number of one or two digits: "H" reads "9" and
// "09" where "HH" wants two digits. Names ("MMM") and the year stay as they are.
static QString relaxed(QString format)
{
    static const QRegularExpression pairs(QStringLiteral("(?<![dMHhms])([dMHhms])\\1(?![dMHhms])"));
    return format.replace(pairs, QStringLiteral("\\1"));
}

// Date alone, or followed by a time with or without seconds: first in the
// user's own time forms, then in 24-hour form, every part of one or two digits.
static QStringList typedFormats()
{
    const QLocale locale;
    const QString date = relaxed(shortDateFormat());
    QStringList formats;
    for (const QString &time : {longTimeFormat(), locale.timeFormat(QLocale::ShortFormat),
                                QStringLiteral("H:m:s"), QStringLiteral("H:m")})
        formats << date + QLatin1Char(' ') + relaxed(time);
    formats << date;
    formats.removeDuplicates();
    return formats;
}

QDateTime parseTyped(const QString &text)
{
    const QLocale locale;
    const QString trimmed = text.simplified();
    for (const QString &format : typedFormats()) {
        const QDateTime value = locale.toDateTime(trimmed, format);
        if (value.isValid())
            return value;
    }
    const QDateTime stored = fromStorageText(trimmed);
    if (stored.isValid())
        return stored;
    throw AppError(AppError::DateConversion,
                   QCoreApplication::translate("DateTimeText", "“%1”不是有效的日期和时间。请按 %2 或 %3 这样的格式输入。")
                       .arg(text, shortDate(QDate::currentDate()), display(QDateTime(QDate::currentDate(), QTime(14, 30)))));
}

} // namespace DateTimeText
