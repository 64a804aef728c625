#include "common/Labels.h"

#include "common/PublicCode_Unit.h"

namespace Labels {

QString chapterLabel(const QString &name, const QString &code)
{
    return name + QLatin1Char('[') + code + QLatin1Char(']');
}

QString rootLabel(const QString &bookName)
{
    return chapterLabel(bookName, RootCode);
}

QString articleLabel(const QString &title, const QString &code)
{
    return title + QLatin1String("[N") + code + QLatin1Char(']');
}

QString resultLabel(const QString &chapterName, const QString &chapterCode)
{
    return articleLabel(chapterName, chapterCode);
}

bool isArticleLabel(const QString &label)
{
    return label.contains(QLatin1String("[N"));
}

QString chapterCode(const QString &label)
{
    return CopyBetween(label, QStringLiteral("["), QStringLiteral("]"));
}

QString articleCode(const QString &label)
{
    return CopyBetween(label, QStringLiteral("[N"), QStringLiteral("]"));
}

QString nameOf(const QString &label)
{
    return CopyBefore(label, QStringLiteral("["));
}

} // namespace Labels
