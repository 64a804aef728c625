#include "data/ywzxDM.h"

TywzxDMF *ywzxDMF = nullptr;

TywzxDMF::TywzxDMF()
    : ywlbQuery(ydconn, QStringLiteral("ywlbQuery")),
      ywnrQuery(ydconn, QStringLiteral("ywnrQuery")),
      Query(ydconn, QStringLiteral("Query")),
      updateQuery(ydconn, QStringLiteral("updateQuery")),
      reader(ydconn, ywlbQuery, ywnrQuery, Query),
      chapterStore(ydconn, Query, updateQuery),
      articleStore(Query, updateQuery)
{
    ywlbQuery.setSql({QStringLiteral("select * from ywzx_ywlb where  (flbh<>lbbh) and (flbh=:flbh)"),
                      QStringLiteral("  order by id")});
    ywlbQuery.setNull(QStringLiteral("flbh"));
    ywnrQuery.setSql({QStringLiteral("select * from YWZX_YWNR where LBBH=:lbbh")});
    ywnrQuery.setNull(QStringLiteral("lbbh"));
    Query.setSql({QStringLiteral("select * from YWZX_YWLB")});
    updateQuery.setSql({QStringLiteral("select * from YWZX_YWLB")});
}
