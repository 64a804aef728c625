#include "common/PublicCode_Unit.h"

QString CopyBetween(QString s, QString startTag, QString endTag)
{
    const qsizetype p = startTag.isEmpty() ? -1 : s.indexOf(startTag);
    const qsizetype q = endTag.isEmpty() ? -1 : s.indexOf(endTag);
    if (p < 0 || q < 0)
        return QString();
    const qsizetype start = p + startTag.size();
    const qsizetype count = q - start;
    if (count <= 0)
        return QString();
    return s.mid(start, count);
}

QString CopyBefore(QString s, QString delimiter)
{
    const qsizetype p = delimiter.isEmpty() ? -1 : s.indexOf(delimiter);
    if (p < 0)
        return QString();
    return s.left(p);
}
