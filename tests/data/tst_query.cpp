#include "TestBook.h"
#include "common/AppError.h"
#include "common/DateTimeText.h"
#include "data/BookSql.h"
#include "data/BookTransaction.h"
#include "data/ywzxDM.h"

#include <QSqlQuery>
#include <QtTest>

// The query layer against real book files: the statements of the program's
// dialect, parameters of each kind and the conversions of values.
class TestQuery : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void translation_data();
    void translation();
    void unsupportedParametersAndComments();
    void statementLinesJoinedByCrLf();
    void dataModuleStatementsAtCreation();
    void dialectReads();
    void doubleQuotedLiteralIsNeverAColumn();
    void selfJoinWithAliases();
    void countAndMaxOnEmptyTable();
    void deleteForms();
    void insertAndUpdateWithParameters();
    void parametersAreNeverStatementText();
    void nullAndEmptyValues();
    void dateTimeRoundTripAndDisplay();
    void blobRoundTrip();
    void engineErrors();
    void movingThroughRows();
    void anotherProgramWritesMeanwhile();
    void failedCommitIsRolledBack();
    void storesOnTheQueriesTheyAreHanded();

private:
    std::unique_ptr<TestBook> book;
    std::unique_ptr<TywzxDMF> dm;
    void rows(BookQuery &q, const QStringList &lines);
    QStringList column(BookQuery &q, const QString &name);
};

void TestQuery::init()
{
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    book = std::make_unique<TestBook>("书名");
    book->chapter(2, "00001", "甲", "00000", "甲的正文\r\n第二行");
    book->chapter(3, "00002", "乙", "00000", QVariant());
    book->chapter(4, "00003", "丙", "00001", "丙文");
    book->article("00001", "文一", "00001", "文章一");
    book->article("00002", "文二", "00002", QVariant());
    dm = std::make_unique<TywzxDMF>();
    dm->ydconn.setDatabaseFile(book->path());
    dm->ydconn.open();
}

void TestQuery::cleanup()
{
    dm.reset();
    book.reset();
    QLocale::setDefault(QLocale::system());
}

void TestQuery::rows(BookQuery &q, const QStringList &lines)
{
    q.close();
    q.setSql(lines);
    q.open();
}

QStringList TestQuery::column(BookQuery &q, const QString &name)
{
    QStringList values;
    for (q.first(); !q.eof(); q.next())
        values << q.fieldAsText(name);
    return values;
}

void TestQuery::translation_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QStringList>("params");
    QTest::newRow("double quotes") << "where lbbh=\"00000\"" << "where lbbh='00000'" << QStringList();
    QTest::newRow("apostrophe inside double quotes") << "x=\"it's\"" << "x='it''s'" << QStringList();
    QTest::newRow("doubled double quote") << "x=\"a\"\"b\"" << "x='a\"b'" << QStringList();
    QTest::newRow("single quotes kept") << "x='a\"b'" << "x='a\"b'" << QStringList();
    QTest::newRow("delete star") << "DELETE  *\r\nFROM t" << "delete from t" << QStringList();
    QTest::newRow("star inside literal kept") << "x='delete * from'" << "x='delete * from'" << QStringList();
    QTest::newRow("parameters") << "values(:id,:LBBH, :id)" << "values(?,?, ?)" << QStringList{"id", "LBBH", "id"};
    QTest::newRow("colon in literal") << "x='12:30' and y=:y" << "x='12:30' and y=?" << QStringList{"y"};
    QTest::newRow("unterminated") << "x=\"abc" << "x='abc" << QStringList();
    QTest::newRow("quotes in a line comment") << "x=1 -- it's \"q\" :p\r\nand y=\"a\""
                                              << "x=1 -- it's \"q\" :p\r\nand y='a'" << QStringList();
    QTest::newRow("block comment") << "/* don't :p ? @a */ y=:y" << "/* don't :p ? @a */ y=?" << QStringList{"y"};
    QTest::newRow("comment marks in literals") << "x='--' and y=\"/*\" and z=:z" << "x='--' and y='/*' and z=?"
                                               << QStringList{"z"};
    QTest::newRow("unterminated comment") << "x=:x /* it's" << "x=? /* it's" << QStringList{"x"};
    QTest::newRow("delete star after comment") << "/* c */ delete * from t" << "/* c */ delete from t" << QStringList();
    QTest::newRow("quoted names") << "select [a?b], `c'd`, x$1 from t" << "select [a?b], `c'd`, x$1 from t"
                                  << QStringList();
}

void TestQuery::translation()
{
    QFETCH(QString, in);
    QFETCH(QString, out);
    QFETCH(QStringList, params);
    const TranslatedSql t = translateSql(in);
    QCOMPARE(t.sql, out);
    QCOMPARE(t.parameters, params);
}

void TestQuery::unsupportedParametersAndComments()
{
    for (const QString parameter : {"?", "?2", ":1", "@name", "$name"}) {
        try {
            translateSql("select * from ywzx_ywlb where lbbh=" + parameter);
            QFAIL(qPrintable(parameter + " was taken"));
        } catch (const AppError &error) {
            QCOMPARE(error.message(), QString("Parameter '%1' is not supported: use a named parameter such as :name").arg(parameter));
        }
    }
    // A statement with commented quotes runs as written.
    BookQuery &q = dm->Query;
    rows(q, {"select lbbh from ywzx_ywlb -- the root's row", "where lbbh=\"00000\" /* it's \"00000\" */"});
    QCOMPARE(column(q, "lbbh"), QStringList({"00000"}));
}

void TestQuery::statementLinesJoinedByCrLf()
{
    BookQuery &q = dm->Query;
    q.clearSql();
    q.addLine("select *");
    q.addLine("  from ywzx_ywlb");
    QCOMPARE(q.sqlText(), QString("select *\r\n  from ywzx_ywlb\r\n"));
    q.open();
    QCOMPARE(q.recordCount(), 4);
}

void TestQuery::dataModuleStatementsAtCreation()
{
    QCOMPARE(dm->ywlbQuery.sqlText(), QString("select * from ywzx_ywlb where  (flbh<>lbbh) and (flbh=:flbh)\r\n"
                                              "  order by id\r\n"));
    QCOMPARE(dm->ywnrQuery.sqlText(), QString("select * from YWZX_YWNR where LBBH=:lbbh\r\n"));
    QVERIFY(!dm->Query.isOpen());
    QVERIFY(dm->Query.isEmpty());
    // The parameter starts null: no row has a null parent.
    dm->ywlbQuery.open();
    QVERIFY(dm->ywlbQuery.isEmpty());
    dm->ywlbQuery.setText("flbh", "00000");
    dm->ywlbQuery.open();
    QCOMPARE(column(dm->ywlbQuery, "lbbh"), QStringList({"00001", "00002"}));
    dm->ywnrQuery.setText("lbbh", "00001");
    dm->ywnrQuery.open();
    QCOMPARE(column(dm->ywnrQuery, "NRBT"), QStringList({"文一"}));
}

void TestQuery::dialectReads()
{
    BookQuery &q = dm->Query;
    rows(q, {"SELECT LBMC FROM YWZX_YWLB", "WHERE   lbbh   in ('00001',\"00003\")", "ORDER BY ID desc"});
    QCOMPARE(column(q, "lbmc"), QStringList({"丙", "甲"}));
    rows(q, {"select * from ywzx_ywlb where ywnr like  '%正文%'"});
    QCOMPARE(column(q, "lbbh"), QStringList({"00001"}));
    rows(q, {"select * from ywzx_ywlb where ywnr like \"%文%\" and  lbbh in (\"00001\",\"00003\")"});
    QCOMPARE(column(q, "lbbh"), QStringList({"00001", "00003"}));
    rows(q, {"select * from ywzx_ywlb where  (flbh<>lbbh) and (flbh='00000')    order by id"});
    QCOMPARE(column(q, "lbbh"), QStringList({"00001", "00002"}));
    rows(q, {"select count(*) from YWZX_YWLB", "where FLBH='00000'"});
    QCOMPARE(q.firstFieldAsInteger(), 3); // the root counts among its own children
    rows(q, {"select max(id) as id  from ywzx_ywlb"});
    QCOMPARE(q.fieldAsInteger("id"), 4);
}

void TestQuery::doubleQuotedLiteralIsNeverAColumn()
{
    book->chapter(9, "lbmc", "lbmc", "lbbh");
    BookQuery &q = dm->Query;
    rows(q, {"select lbmc from ywzx_ywlb where lbbh=\"00000\""});
    QCOMPARE(column(q, "lbmc"), QStringList({"书名"}));
    rows(q, {"select * from ywzx_ywlb where lbbh=\"lbbh\""});
    QVERIFY(q.isEmpty());
    rows(q, {"select * from ywzx_ywlb where lbmc=\"lbmc\""});
    QCOMPARE(column(q, "lbbh"), QStringList({"lbmc"}));
}

void TestQuery::selfJoinWithAliases()
{
    BookQuery &q = dm->Query;
    rows(q, {"select ywlb.* , fl_ywlb.lbmc as flmc", "from ywzx_ywlb ywlb,ywzx_ywlb fl_ywlb",
             "where ywlb.flbh=fl_ywlb.lbbh and ywlb.lbbh='00003'"});
    QCOMPARE(q.recordCount(), 1);
    QCOMPARE(q.fieldAsText("lbmc"), QString("丙"));
    QCOMPARE(q.fieldAsText("flmc"), QString("甲"));
    rows(q, {"select ywnr.* , fl_ywlb.lbmc as flmc", "from ywzx_ywnr ywnr,ywzx_ywlb fl_ywlb",
             "where ywnr.lbbh=fl_ywlb.lbbh and ywnr.nrbh='00002'"});
    QCOMPARE(q.fieldAsText("nrbt"), QString("文二"));
    QCOMPARE(q.fieldAsText("flmc"), QString("乙"));
}

void TestQuery::countAndMaxOnEmptyTable()
{
    book->exec("delete from ywzx_ywlb");
    BookQuery &q = dm->Query;
    rows(q, {"select max(id) as id  from ywzx_ywlb"});
    QCOMPARE(q.recordCount(), 1);
    QVERIFY(q.fieldIsNull("id"));
    QCOMPARE(q.fieldAsInteger("id"), 0);
    rows(q, {"select count(*) from ywzx_ywlb"});
    QCOMPARE(q.firstFieldAsInteger(), 0);
}

void TestQuery::deleteForms()
{
    BookQuery &u = dm->updateQuery;
    u.setSql({"delete * from YWZX_YWLB", "where LBBH='00003'"});
    u.execSql();
    u.setSql({"delete from YWZX_YWNR", "where NRBH=\"00002\""});
    u.execSql();
    QCOMPARE(book->scalar("select count(*) from ywzx_ywlb").toInt(), 3);
    QCOMPARE(book->scalar("select count(*) from ywzx_ywnr").toInt(), 1);
}

// SQLite's name of the storage class of a column's value (on a server the
// name of its type, a bytea named as SQLite names a blob).
static QString storageClass(TestBook &book, const QString &column, const QString &where)
{
    const QString expression = TestBook::onServer()
        ? QStringLiteral("case cast(pg_typeof(%1) as text) when 'bytea' then 'blob' else cast(pg_typeof(%1) as text) end").arg(column)
        : QStringLiteral("typeof(%1)").arg(column);
    return book.scalar(QStringLiteral("select %1 from ywzx_ywlb where %2").arg(expression, where)).toString();
}

void TestQuery::insertAndUpdateWithParameters()
{
    BookQuery &u = dm->updateQuery;
    u.setSql({"insert into ywzx_ywlb ",
              "(id,lbbh,lbmc,flbh,xgrq,xgr,ywnr,photoimage,checkimage) "
              "values(:id,:lbbh,:lbmc,:flbh,:xgrq,:xgr,:ywnr,:photoimage,:checkimage)"});
    u.setInteger("id", 5);
    u.setText("lbbh", "00004");
    u.setText("lbmc", "丁");
    u.setText("flbh", "00001");
    u.setDateTime("xgrq", QDateTime(QDate(2025, 1, 2), QTime(3, 4, 5)));
    u.setText("xgr", "");
    u.setText("ywnr", "一\r\n二\r\n");
    u.setBlob("photoimage", "nil");
    u.setText("checkimage", "0");
    u.execSql();
    QCOMPARE(storageClass(*book, "id", "lbbh='00004'"), QString("integer"));
    QCOMPARE(book->scalar("select id from ywzx_ywlb where lbbh='00004'").toInt(), 5);
    QCOMPARE(book->scalar("select xgrq from ywzx_ywlb where lbbh='00004'").toString(), QString("2025-01-02 03:04:05"));
    QCOMPARE(storageClass(*book, "photoimage", "lbbh='00004'"), QString("blob"));
    QCOMPARE(book->scalar("select xgr from ywzx_ywlb where lbbh='00004'").toString(), QString(""));
    QVERIFY(!book->scalar("select xgr from ywzx_ywlb where lbbh='00004'").isNull());

    u.setSql({"update ywzx_ywlb ", " set lbmc=:lbmc,ywnr=:ywnr where lbbh=:lbbh "});
    u.setText("lbmc", "丁二");
    u.setText("ywnr", "x");
    u.setText("lbbh", "00004");
    u.execSql();
    QCOMPARE(book->scalar("select lbmc || ywnr from ywzx_ywlb where lbbh='00004'").toString(), QString("丁二x"));
}

void TestQuery::parametersAreNeverStatementText()
{
    const QString hostile = "x' or '1'='1\"; drop table ywzx_ywlb; --";
    BookQuery &q = dm->Query;
    q.setSql({"select * from ywzx_ywlb where lbbh=:code"});
    q.setText("code", hostile);
    q.open();
    QVERIFY(q.isEmpty());
    book->chapter(7, "a'b\"", "引号", "00000");
    q.setSql({"select * from ywzx_ywlb where lbbh=:code"});
    q.setText("code", "a'b\"");
    q.open();
    QCOMPARE(q.fieldAsText("lbmc"), QString("引号"));
    q.setSql({"select * from ywzx_ywlb where ywnr like :pattern"});
    q.setText("pattern", "%第二%");
    q.open();
    QCOMPARE(q.recordCount(), 1);
    QCOMPARE(book->scalar("select count(*) from ywzx_ywlb").toInt(), 5);
}

void TestQuery::nullAndEmptyValues()
{
    BookQuery &q = dm->Query;
    rows(q, {"select * from ywzx_ywlb where lbbh='00002'"});
    QCOMPARE(q.fieldAsText("ywnr"), QString(""));
    QCOMPARE(q.fieldAsInteger("ywnr"), 0);
    rows(q, {"select * from ywzx_ywlb where lbbh='none'"});
    QVERIFY(q.isOpen());
    QVERIFY(q.isEmpty());
    QVERIFY(q.eof());
    QCOMPARE(q.recordCount(), 0);
    QCOMPARE(q.fieldAsText("lbmc"), QString(""));
    QCOMPARE(q.fieldAsInteger("id"), 0);
    // A parameter set to null matches nothing, as a null never equals.
    q.setSql({"select * from ywzx_ywlb where flbh=:flbh"});
    q.setNull("flbh");
    q.open();
    QVERIFY(q.isEmpty());
}

void TestQuery::dateTimeRoundTripAndDisplay()
{
    BookQuery &u = dm->updateQuery;
    const QDateTime afternoon(QDate(2024, 12, 31), QTime(23, 59, 58));
    u.setSql({"update ywzx_ywlb set xgrq=:xgrq where lbbh=:lbbh"});
    u.setDateTime("xgrq", afternoon);
    u.setText("lbbh", "00001");
    u.execSql();
    u.setSql({"update ywzx_ywlb set xgrq=:xgrq where lbbh=:lbbh"});
    u.setDateTime("xgrq", QDateTime(QDate(2024, 1, 2), QTime(0, 0)));
    u.setText("lbbh", "00002");
    u.execSql();
    BookQuery &q = dm->Query;
    rows(q, {"select * from ywzx_ywlb where lbbh in ('00001','00002') order by id"});
    const QString shown = q.fieldAsText("xgrq");
    QCOMPARE(shown, DateTimeText::display(afternoon));
    QVERIFY(shown.startsWith("2024/12/31 "));
    QCOMPARE(DateTimeText::parseTyped(shown), afternoon);
    q.next();
    QCOMPARE(q.fieldAsText("xgrq"), QString("2024/1/2")); // midnight: the date alone
    // An unreadable stored value is shown as it is rather than lost (a
    // server's timestamp column holds none).
    if (TestBook::onServer())
        return;
    book->exec("update ywzx_ywlb set xgrq='someday' where lbbh='00003'");
    rows(q, {"select xgrq from ywzx_ywlb where lbbh='00003'"});
    QCOMPARE(q.fieldAsText("xgrq"), QString("someday"));
}

// Every byte value, NUL included, comes back as it was written.
void TestQuery::blobRoundTrip()
{
    QByteArray bytes;
    for (int i = 0; i < 70000; ++i)
        bytes.append(char(i % 256));
    BookQuery &u = dm->updateQuery;
    u.setSql({"update ywzx_ywlb set photoimage=:photoimage where lbbh=:lbbh"});
    u.setBlob("photoimage", bytes);
    u.setText("lbbh", "00001");
    u.execSql();
    BookQuery &q = dm->Query;
    rows(q, {"select photoimage from ywzx_ywlb where lbbh='00001'"});
    QCOMPARE(q.fieldAsBytes("photoimage"), bytes);
}

void TestQuery::engineErrors()
{
    BookQuery &q = dm->Query;
    const auto expectError = [&](const QStringList &lines, const QString &part) {
        q.setSql(lines);
        try {
            q.open();
            QFAIL("no error");
        } catch (const AppError &error) {
            QVERIFY2(error.message().contains(part), qPrintable(error.message()));
            // A Chinese sentence comes first, the engine's own words after it.
            const QString lead = TestBook::onServer() ? "图书服务器上的操作失败，服务器报告：" : "图书文件的操作失败，数据库报告：";
            QVERIFY2(error.message().startsWith(lead), qPrintable(error.message()));
            QCOMPARE(error.kind(), QString(AppError::Database));
        }
        QVERIFY(!q.isOpen());
    };
    const bool server = TestBook::onServer(); // the engine's own words
    expectError({"select * from no_table"}, server ? "relation \"no_table\" does not exist" : "no such table: no_table");
    expectError({"select nocolumn from ywzx_ywlb"},
                server ? "column \"nocolumn\" does not exist" : "no such column: nocolumn");
    expectError({"select * from ywzx_ywlb where lbbh='it's'"}, "syntax error");
    expectError({"select * from ywzx_ywlb where lbbh=\"it\"s\""}, "syntax error");
    q.setSql({"select * from ywzx_ywlb"});
    q.open();
    QVERIFY_THROWS_EXCEPTION(AppError, q.fieldAsText("nosuchfield"));
    q.close();
    QVERIFY_THROWS_EXCEPTION(AppError, q.fieldAsText("lbbh"));
    q.setSql({"update ywzx_ywlb set lbmc='x' where 1=0"});
    QVERIFY_THROWS_EXCEPTION(AppError, q.open());
}

void TestQuery::movingThroughRows()
{
    BookQuery &q = dm->Query;
    rows(q, {"select * from ywzx_ywlb order by id"});
    QCOMPARE(q.recordCount(), 4);
    // A server book's folded copy of the texts is the search's alone.
    QVERIFY_THROWS_EXCEPTION(AppError, q.fieldAsText("ywnr_folded"));
    QCOMPARE(q.fieldAsText("lbbh"), QString("00000"));
    q.moveTo(3);
    QCOMPARE(q.fieldAsText("lbmc"), QString("丙"));
    q.first();
    QCOMPARE(q.fieldAsText("lbmc"), QString("书名"));
    QCOMPARE(q.firstFieldAsText(), QString("1"));
    QCOMPARE(q.fieldAsInteger("id"), 1);
    for (int i = 0; i < 4; ++i)
        q.next();
    QVERIFY(q.eof());
    QCOMPARE(q.fieldAsText("lbmc"), QString(""));
}

void TestQuery::anotherProgramWritesMeanwhile()
{
    BookQuery &q = dm->Query;
    rows(q, {"select * from ywzx_ywlb"});
    // The connection stays open and holds no lock: another writer gets through.
    book->exec("insert into ywzx_ywlb (id,lbbh,lbmc,flbh) values (10,'00010','外','00000')");
    QVERIFY(q.isOpen());
    rows(q, {"select lbmc from ywzx_ywlb where lbbh='00010'"});
    QCOMPARE(q.fieldAsText("lbmc"), QString("外"));
    QVERIFY(dm->ydconn.statementCount() >= 2);
}

// A commit that another program's read outlasts fails, and the transaction
// is rolled back: nothing of it stays, and the next one begins.
void TestQuery::failedCommitIsRolledBack()
{
    if (TestBook::onServer())
        return; // a server's readers never hold up a commit
    QSqlQuery(dm->ydconn.database()).exec("pragma busy_timeout = 20");
    SqlFile reader(book->path());
    {
        BookTransaction transaction(dm->ydconn);
        dm->Query.setSql({"update ywzx_ywlb set lbmc='改' where lbbh='00001'"});
        dm->Query.execSql();
        reader.exec("begin");
        reader.scalar("select count(*) from ywzx_ywlb");
        QVERIFY_THROWS_EXCEPTION(AppError, transaction.commit());
    }
    reader.exec("commit");
    BookTransaction next(dm->ydconn);
    next.commit();
    QCOMPARE(book->scalar("select lbmc from ywzx_ywlb where lbbh='00001'").toString(), QString("甲"));
}

// No data module and no window: a store reads and writes through what it
// is handed, and only that.
void TestQuery::storesOnTheQueriesTheyAreHanded()
{
    dm.reset();
    QVERIFY(!ywzxDMF);
    BookConnection connection;
    connection.setDatabaseFile(book->path());
    BookQuery chapters(connection, "chapters"), articles(connection, "articles"), reads(connection, "reads"),
        writes(connection, "writes");
    articles.setSql({"select * from YWZX_YWNR where LBBH=:lbbh order by nrbh"});
    BookReader reader(connection, chapters, articles, reads);
    QCOMPARE(reader.bookName(), QString("书名"));
    const auto named = [](const QVector<BookReader::Entry> &entries) {
        QStringList texts;
        for (const BookReader::Entry &entry : entries)
            texts << entry.code + ' ' + entry.name;
        return texts;
    };
    QCOMPARE(named(reader.childChapters("00000")), QStringList({"00001 甲", "00002 乙"}));
    QCOMPARE(chapters.fieldAsText(1, "lbbh"), QString("00002"));
    QCOMPARE(named(reader.articlesOf("00002")), QStringList({"00002 文二"}));
    QCOMPARE(reader.chapterText("00003"), QString("丙文"));
    QCOMPARE(reads.fieldAsText("lbmc"), QString("丙"));

    ChapterStore chapterStore(connection, reads, writes);
    chapterStore.insert({"00004", "丁", "00003", QDateTime(QDate(2024, 3, 5), QTime(8, 0)), "员工", "丁文", {}, false}, 5);
    QCOMPARE(&chapterStore.load("00004"), &reads);
    QCOMPARE(reads.fieldAsText("flmc"), QString("丙"));
    QCOMPARE(&chapterStore.find("00004"), &writes);
    QCOMPARE(chapterStore.childCount("00003"), 1);
    chapterStore.remove("00004");
    QVERIFY(!reader.hasChapter("00004"));

    ArticleStore articleStore(reads, writes);
    QCOMPARE(&articleStore.load("00001"), &reads);
    QCOMPARE(reads.fieldAsText("flmc"), QString("甲"));
    articleStore.remove("00001");
    QVERIFY(articleStore.find("00001").isEmpty());
    QCOMPARE(book->scalar("select count(*) from ywzx_ywnr").toInt(), 1);
}

QTEST_GUILESS_MAIN(TestQuery)
#include "tst_query.moc"
