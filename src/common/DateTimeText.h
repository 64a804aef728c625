#pragma once

#include <QDateTime>
#include <QString>

// Date-times as the book stores them ("YYYY-MM-DD HH:MM:SS") and as the user
// reads and types them (the default locale's short date with a four-digit
// year, then the long time without a time zone).
namespace DateTimeText {

QString storageText(const QDateTime &value);
// Invalid when the text is not a stored date-time ("YYYY-MM-DD", optionally
// followed by a blank or "T" and "HH:MM[:SS]").
QDateTime fromStorageText(const QString &text);

QString shortDateFormat();
QString longTimeFormat();

// Short date, then a blank and the long time unless the time is 0:00:00.
QString display(const QDateTime &value);
QString shortDate(const QDate &date);

// Reads a typed date with an optional time of day; throws AppError
// ("'TEXT' is not a valid date and time") when the text is none.
QDateTime parseTyped(const QString &text);

} // namespace DateTimeText
