#include "data/MoveStore.h"

#include "data/ywzxDM.h"

namespace {

void place(const QString &statement, const QString &code, const QString &under)
{
    BookQuery &write = ywzxDMF->updateQuery;
    write.close();
    write.clearSql();
    write.addLine(statement);
    write.setText(QStringLiteral("code"), code);
    write.setText(QStringLiteral("under"), under);
    write.execSql();
    write.close();
}

} // namespace

namespace ChapterStore {

// The text index follows lbbh and ywnr alone: a new parent leaves it as it is.
void setParent(const QString &code, const QString &parent)
{
    place(QStringLiteral("update ywzx_ywlb set flbh=:under where lbbh=:code"), code, parent);
}

} // namespace ChapterStore

namespace ArticleStore {

void setChapter(const QString &code, const QString &chapter)
{
    place(QStringLiteral("update ywzx_ywnr set lbbh=:under where nrbh=:code"), code, chapter);
}

} // namespace ArticleStore
