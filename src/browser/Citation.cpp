#include "browser/Citation.h"

#include "browser/ReadingPlaces.h"
#include "widgets/BookNode.h"
#include "common/Labels.h"
#include "data/ywzxDM.h"

#include <QCoreApplication>
#include <QTreeWidgetItem>

namespace Citation {

QString line(const QStringList &namesFromRoot, const QString &code, const QDate &modified)
{
    QStringList shownNames;
    for (const QString &name : namesFromRoot)
        shownNames << Labels::shown(name);
    QString cited = shownNames.join(QStringLiteral(" › ")) + QStringLiteral(" [") + Labels::shown(code)
        + QLatin1Char(']');
    if (modified.isValid())
        cited += QCoreApplication::translate("Citation", "（%1）").arg(modified.toString(Qt::ISODate));
    return cited;
}

QString of(const QTreeWidgetItem *node)
{
    const QStringList names = namesFromRoot(node);
    const QString code = BookNode::code(node);
    const QDate modified = BookNode::isArticle(node) ? ywzxDMF->reader.articleModified(code) : ywzxDMF->reader.chapterModified(code);
    return line(names, code, modified);
}

QString quoting(const QString &passage, const QString &citation)
{
    return passage + QLatin1Char('\n') + citation;
}

} // namespace Citation
