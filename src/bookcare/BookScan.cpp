#include "bookcare/BookScan.h"

#include "common/AppError.h"
#include "data/Engines.h"
#include "bookcare/BookIndexUpkeep.h"
#include "bookcare/BookSchema.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

BookScan::BookScan(const QString &book)
    : name_(QStringLiteral("scan-") + QUuid::createUuid().toString(QUuid::WithoutBraces)),
      engine_(Engines::forBook(book))
{
    try {
        QSqlDatabase db = engine_.openSnapshot(name_, book);
        BookSchema::exec(db, QStringLiteral("select count(*) from ywzx_ywlb"));
        BookSchema::exec(db, QStringLiteral("select count(*) from ywzx_ywnr"));
    } catch (...) {
        QSqlDatabase::removeDatabase(name_);
        throw;
    }
}

BookScan::~BookScan()
{
    {
        QSqlDatabase db = QSqlDatabase::database(name_, false);
        QSqlQuery(db).exec(QStringLiteral("rollback"));
        db.close();
    }
    QSqlDatabase::removeDatabase(name_);
}

QStringList BookScan::integrityProblems()
{
    const QString check = engine_.integrityCheckSql();
    if (check.isEmpty())
        return {};
    QStringList problems;
    QSqlQuery query = BookSchema::exec(QSqlDatabase::database(name_, false), check);
    while (query.next())
        if (query.value(0).toString() != QLatin1String("ok"))
            problems << query.value(0).toString();
    return problems;
}

bool BookScan::indexAgrees()
{
    QSqlDatabase db = QSqlDatabase::database(name_, false);
    return !engine_.keepsFullTextIndex() || !BookIndex::anyPart(db) || BookIndex::agreesWithTheTexts(db);
}

namespace {

struct TextIndex {
    const char *name;
    const char *serves;
    const char *function;  // the index's own function, or none
    const char *sample;    // its argument ...
    const char *expected;  // ... and the elements it must give
};

// The server's indexes of the folded texts (server-indexes.sql), and for
// the character indexes a text whose elements show their function's
// definition: astral characters whole, CR and LF apart, each kept once.
const TextIndex TextIndexes[] = {
    {"ywzx_ywlb_ywnr_trgm", QT_TRANSLATE_NOOP("BookScan", "三个字以上"), nullptr, nullptr, nullptr},
    {"ywzx_ywlb_ywnr_pairs", QT_TRANSLATE_NOOP("BookScan", "两个字"), "ebook_pairs", "a𠀀a𠀀\r\n", "{a𠀀,𠀀a,\"𠀀\r\",\"\r\n\"}"},
    {"ywzx_ywlb_ywnr_chars", QT_TRANSLATE_NOOP("BookScan", "单个字"), "ebook_chars", "a𠀀a𠀀\r\n", "{a,𠀀,\"\r\",\"\n\"}"},
};

QString pushAgain()
{
    return QCoreApplication::translate("BookScan", "请用 ebook-tool pull 把书取回文件，再用 ebook-tool push --replace 放回服务器，索引随之重建");
}

} // namespace

QStringList BookScan::serverIndexProblems()
{
    // A book file keeps its own full-text index (indexAgrees checks it).
    if (engine_.keepsFullTextIndex())
        return {};
    QSqlDatabase db = QSqlDatabase::database(name_, false);
    QStringList problems;
    for (const TextIndex &index : TextIndexes) {
        const QString name = QLatin1String(index.name);
        QSqlQuery state = BookSchema::exec(db, QStringLiteral("select c.oid is not null, coalesce(x.indisvalid and x.indisready, false)"
                                                              " from (select to_regclass('%1') as oid) c"
                                                              " left join pg_index x on x.indexrelid = c.oid").arg(name));
        state.next();
        if (!state.value(0).toBool()) {
            problems << QCoreApplication::translate("BookScan", "%1：服务器上的书没有这一索引（较早的程序放上去的书），检索%2的词要逐章扫描全部正文；%3")
                            .arg(name, QCoreApplication::translate("BookScan", index.serves), pushAgain());
            continue;
        }
        if (!state.value(1).toBool()) {
            problems << QCoreApplication::translate("BookScan", "%1：索引无效（建立时中断），检索%2的词不用它，要逐章扫描；请书的管理者在服务器上运行 \"reindex index %1\"")
                            .arg(name, QCoreApplication::translate("BookScan", index.serves));
            continue;
        }
        if (!index.function)
            continue;
        const QString function = QLatin1String(index.function);
        QSqlQuery agrees = BookSchema::exec(db, QStringLiteral("select %1(cast(? as text)) @> cast(? as text[])"
                                                               " and cast(? as text[]) @> %1(cast(? as text))").arg(function),
                                            {QString::fromUtf8(index.sample), QString::fromUtf8(index.expected),
                                             QString::fromUtf8(index.expected), QString::fromUtf8(index.sample)});
        if (!agrees.next() || !agrees.value(0).toBool())
            problems << QCoreApplication::translate("BookScan", "%1：函数 %2 已被改写，与建立索引时的不同，全文检索会漏掉或多出结果；%3")
                            .arg(name, function, pushAgain());
    }
    return problems;
}

QString BookScan::bytesOf(const QString &column) const
{
    return engine_.bytesOf(column);
}

void BookScan::chapters(const Visit &visit)
{
    rows(QStringLiteral("select id, lbbh, flbh, %1, %2, xgrq, photoimage from ywzx_ywlb order by id")
             .arg(bytesOf(QStringLiteral("lbmc")), bytesOf(QStringLiteral("ywnr"))),
         true, visit);
}

void BookScan::articles(const Visit &visit)
{
    rows(QStringLiteral("select id, nrbh, lbbh, %1, %2, xgrq from ywzx_ywnr order by id")
             .arg(bytesOf(QStringLiteral("nrbt")), bytesOf(QStringLiteral("ywnr"))),
         false, visit);
}

void BookScan::rows(const QString &sql, bool chapters, const Visit &visit)
{
    QSqlQuery query = BookSchema::exec(QSqlDatabase::database(name_, false), sql);
    Row row;
    while (query.next()) {
        row.id = query.value(0).toLongLong();
        row.code = query.value(1).toString();
        row.parent = query.value(2).toString();
        row.name = query.value(3).toByteArray();
        row.text = query.value(4).toByteArray();
        row.date = query.value(5);
        if (chapters)
            row.photo = query.value(6).toByteArray();
        visit(row);
    }
    if (query.lastError().isValid())
        throw AppError(AppError::Database, engineMessage(query.lastError()));
}
