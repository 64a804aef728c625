#pragma once

#include <QDate>
#include <QString>

// When a record was last changed, as its row stores it (xgrq).
namespace ModifiedDate {

// The date of the first row of this code; null when there is no such row or
// its date is empty or unreadable.
QDate ofChapter(const QString &code);
QDate ofArticle(const QString &code);

} // namespace ModifiedDate
