#include "data/ModifiedDate.h"

#include "common/DateTimeText.h"
#include "data/ywzxDM.h"

#include <QDateTime>

namespace ModifiedDate {

namespace {

// The server hands back a date-time, the file book its stored text.
QDate dateOf(const QString &sql, const QString &code)
{
    BookQuery &query = ywzxDMF->Query;
    query.close();
    query.setSql({sql});
    query.setText(QStringLiteral("code"), code);
    query.open();
    if (query.isEmpty() || query.fieldIsNull(QStringLiteral("xgrq")))
        return {};
    const QVariant stored = query.fieldValue(QStringLiteral("xgrq"));
    if (stored.typeId() == QMetaType::QDateTime || stored.typeId() == QMetaType::QDate)
        return stored.toDate();
    return DateTimeText::fromStorageText(stored.toString()).date();
}

} // namespace

QDate ofChapter(const QString &code)
{
    return dateOf(QStringLiteral("select xgrq from ywzx_ywlb where lbbh=:code order by id"), code);
}

QDate ofArticle(const QString &code)
{
    return dateOf(QStringLiteral("select xgrq from ywzx_ywnr where nrbh=:code order by id"), code);
}

} // namespace ModifiedDate
