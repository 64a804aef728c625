#include "widgets/Handlers.h"
#include "../browser/BrowserFixture.h"
#include "../maintenance/DialogScript.h"
#include "common/AppError.h"
#include "data/BookFile.h"
#include "data/BookQuery.h"
#include "bookcare/BookSchema.h"
#include "data/BookTransaction.h"
#include "bookcare/ServerBook.h"
#include "data/ServerConfig.h"
#include "maintenance/ywlbwhFrm.h"
#include "search/FindDialog.h"
#include "data/FullTextQuery.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QMutex>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>
#include <QWaitCondition>
#include <QtTest>
#include <atomic>
#include <csignal>

// The book on a PostgreSQL server: configuration, several stations at once,
// a server that goes away, and moving books to and from the server. Runs in
// a throwaway cluster (tests/server/on-server.sh); EBOOK_TEST_CLUSTER names
// it ("VERSION NAME") for pg_ctlcluster.
class TestServer : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void bookBesideTheProgram();
    void badConfigurations_data();
    void badConfigurations();
    void likeAsSqliteHasIt_data();
    void likeAsSqliteHasIt();
    void variantPairsOnTheIndex_data();
    void variantPairsOnTheIndex();
    void oneCharacterFromTheIndex_data();
    void oneCharacterFromTheIndex();
    void checkSaysWhatTheIndexesLack_data();
    void checkSaysWhatTheIndexesLack();
    void readersSeeTheStaffsSave();
    void terminalOnAStandby();
    void loserOfARaceHearsTheCodeExists();
    void manyStationsSaveOneCode();
    void readerHoldsNoSaveBack();
    void serverStoppedMidSession();
    void connectionDroppedBetweenActions();
    void silentServerIsCutOff();
    void pushAndPullRoundTrip();
    void readerWhoSavesHearsItInChinese();
    void replaceWhileAReaderHoldsTheBook_data();
    void replaceWhileAReaderHoldsTheBook();
    void replaceCarriesGrantsAndPolicies();
    void pairsOfATextAsBefore();

private:
    std::unique_ptr<TestBook> book;
    BrowserFixture f;
    QString reader; // a user who may read the book, dropped after it
};

namespace {

QString uri(const QString &user)
{
    return QStringLiteral("postgresql://%1@%2:%3/%4")
        .arg(user, qEnvironmentVariable("PGHOST"), qEnvironmentVariable("PGPORT"), qEnvironmentVariable("PGDATABASE"));
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Every row of a table of a book file, every column as stored, with its
// storage class.
QList<QStringList> fileRows(const QString &path, const QString &table)
{
    QList<QStringList> rows;
    SqlFile file(path);
    const QString columns = table == "ywzx_ywlb" ? "id,lbbh,lbmc,flbh,xgrq,xgr,ywnr,photoimage,checkimage"
                                                 : "id,nrbh,nrbt,lbbh,xgrq,xgr,ywnr";
    QStringList typed;
    for (const QString &c : columns.split(','))
        typed << QString("typeof(%1) || ':' || coalesce(hex(%1), 'NULL')").arg(c);
    const int count = file.scalar(QString("select count(*) from %1").arg(table)).toInt();
    for (int i = 0; i < count; ++i)
        rows << file.scalar(QString("select %1 from %2 order by rowid limit 1 offset %3")
                                .arg(typed.join(" || ' ' || "), table).arg(i))
                    .toString()
                    .split(' ');
    return rows;
}

// Runs `work` on a thread of its own (database connections belong to the
// thread that made them).
class Station : public QThread {
public:
    explicit Station(std::function<void()> work) : work_(std::move(work)) {}
    void run() override { work_(); }

private:
    std::function<void()> work_;
};

// All stations wait here until every one has arrived.
class Barrier {
public:
    explicit Barrier(int count) : left_(count) {}
    void arrive()
    {
        QMutexLocker lock(&mutex_);
        if (--left_ == 0)
            all_.wakeAll();
        while (left_ > 0)
            all_.wait(&mutex_);
    }

private:
    QMutex mutex_;
    QWaitCondition all_;
    int left_;
};

// A user who may read the book of `owner` (its tables found without a
// schema name), with a configuration file in `folder`.
QString createReader(const QString &owner, const QString &folder)
{
    const QString reader = createTestUser();
    SqlFile ownersBook(writeServerConfig(folder, owner));
    ownersBook.exec(QString("grant usage on schema %1 to %2").arg(owner, reader));
    ownersBook.exec(QString("grant select on ywzx_ywlb, ywzx_ywnr to %1").arg(reader));
    SqlFile(writeServerConfig(folder, reader)).exec(QString("alter role %1 set search_path = %2").arg(reader, owner));
    return reader;
}

// A terminal's configuration for the book of `owner` on the run's standby
// (tests/server/standby.sh starts it and names its port).
QString standbyConfig(const QString &folder, const QString &owner)
{
    const QString port = qEnvironmentVariable("EBOOK_TEST_STANDBY_PORT");
    if (port.isEmpty())
        qFatal("EBOOK_TEST_STANDBY_PORT is not set: run tst_server through tests/server/on-server.sh");
    const QString path = writeServerConfig(folder, owner);
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QString text = QString::fromUtf8(file.readAll())
                             .replace(QStringLiteral("port = %1\n").arg(qEnvironmentVariable("PGPORT")),
                                      QStringLiteral("port = %1\n").arg(port));
    file.close();
    writeFile(path, text.toUtf8());
    return path;
}

// True once the standby has replayed everything the primary has written so far.
bool replayed(SqlFile &standby, const QString &lsn)
{
    return standby.scalar("select pg_last_wal_replay_lsn() >= cast(? as pg_lsn)", {lsn}).toBool();
}

void cluster(const QString &action)
{
    const QStringList cluster = qEnvironmentVariable("EBOOK_TEST_CLUSTER").split(' ');
    QStringList args = {cluster.value(0), cluster.value(1), action};
    if (action == "stop")
        args << "-m" << "fast";
    QCOMPARE(QProcess::execute("pg_ctlcluster", args), 0);
}

} // namespace

void TestServer::init()
{
    qputenv("EBOOK_TEST_SERVER", "1");
    book = std::make_unique<TestBook>("书");
    book->chapter(2, "00001", "第一章", "00000", "Latin ABC abc Äb äb 100% a_b a\\b 中文");
    book->chapter(3, "00002", "第二章", "00000", "x");
    book->chapter(4, "00011", "第一节", "00001", "节");
    book->article("00001", "文一", "00002", "文");
}

void TestServer::cleanup()
{
    f.window.reset();
    f.dm.reset();
    book.reset();
    if (!reader.isEmpty())
        dropTestUser(std::exchange(reader, QString()));
}

void TestServer::bookBesideTheProgram()
{
    QTemporaryDir app;
    QDir(app.path()).mkdir("data");
    QCOMPARE(BookFile::bookBeside(app.path()), app.filePath("data/ebook.mdb"));
    writeFile(app.filePath("data/ebook.conf"), "[server]\n");
    QCOMPARE(BookFile::bookBeside(app.path()), app.filePath("data/ebook.conf"));
}

void TestServer::badConfigurations_data()
{
    QTest::addColumn<QString>("config"); // %1 port, %2 user, %3 database
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("user");  // "empty": its schema holds no book; "ungranted": may not read a table
    QTest::addColumn<QString>("expected");
    const QString good = "[server]\nhost = localhost\nport = %1\ndatabase = %3\nuser = %2\npassfile = pgpass\n";
    QTest::newRow("not an INI file") << "[server\nhost localhost\n" << "" << "" << "第 1 行不是";
    QTest::newRow("no server section") << "[other]\nhost = x\n" << "" << "" << "没有 [server] 一节";
    QTest::newRow("missing key") << "[server]\nhost = localhost\nport = %1\nuser = %2\n" << "" << ""
                                 << "缺少键 \"database\"";
    QTest::newRow("password in the file") << good + "password = secret\n" << "" << "" << "其中写有密码";
    QTest::newRow("password in another section") << good + "[Server]\npassword = secret\n" << "" << ""
                                                 << "不认识的一节 [Server]";
    QTest::newRow("key before the section") << "password = secret\n" + good << "" << "" << "键 \"password\" 不在";
    QTest::newRow("port no number") << QString(good).replace("port = %1", "port = x%1") << "" << "" << "不是有效的端口号";
    QTest::newRow("wrong port") << QString(good).replace("port = %1", "port = 1") << "" << "" << "无法连接";
    QTest::newRow("wrong password") << good << "wrong" << "" << "password authentication failed";
    QTest::newRow("passfile others may read") << good << "readable" << "" << "chmod 600";
    QTest::newRow("unknown database") << QString(good).replace("%3", "nosuchdb") << "" << ""
                                      << "\"nosuchdb\" does not exist";
    QTest::newRow("missing tables") << good << "" << "empty" << "中没有书";
    QTest::newRow("no grant") << good << "" << "ungranted" << "无权读取数据库";
}

// Each fails the start as a bad book file does: an AppError naming the file
// (which start-up shows in the "Application Error" box before it ends with
// exit code 1), and nothing written on the server.
void TestServer::badConfigurations()
{
    QFETCH(QString, config);
    QFETCH(QString, password);
    QFETCH(QString, user);
    QFETCH(QString, expected);
    const QString owner = SqlFile(book->path()).scalar("select current_user").toString();
    const QString empty = createTestUser();
    if (user == "ungranted") // an owner is held to its table's grants too
        book->exec(QString("revoke select on ywzx_ywnr from %1").arg(owner));
    QTemporaryDir dir;
    const bool readable = password == "readable";
    if (readable)
        password = qEnvironmentVariable("PGPASSWORD");
    writeServerConfig(dir.path(), empty, password.isEmpty() ? qEnvironmentVariable("PGPASSWORD") : password);
    if (readable)
        QFile::setPermissions(dir.filePath("pgpass"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    const QString path = dir.filePath("ebook.conf");
    writeFile(path, config.arg(qEnvironmentVariable("PGPORT"), user == "empty" ? empty : owner,
                               qEnvironmentVariable("PGDATABASE")).toUtf8());
    // libpq prefers PGPASSWORD to the password file.
    const QByteArray saved = qgetenv("PGPASSWORD");
    if (!password.isEmpty())
        qunsetenv("PGPASSWORD");
    QString message = "the book opened";
    {
        TywzxDMF dm;
        dm.ydconn.setDatabaseFile(path);
        try {
            dm.ydconn.open();
        } catch (const AppError &error) {
            message = error.message();
        }
        QVERIFY(!dm.ydconn.isOpen());
    }
    qputenv("PGPASSWORD", saved);
    const int tables = book->scalar("select count(*) from information_schema.tables where table_schema = ?",
                                    {empty}).toInt();
    dropTestUser(empty);
    QVERIFY2(message.contains(expected), qPrintable(message));
    QVERIFY2(message.contains(path), qPrintable(message));
    QCOMPARE(tables, 0);
}

void TestServer::likeAsSqliteHasIt_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("code");
    QTest::newRow("ASCII case folds") << "latin abc" << true << "00001";
    QTest::newRow("capitals") << "ABC ABC" << true << "00001";
    QTest::newRow("non-ASCII case does not") << "äB ÄB" << false << "00001";
    QTest::newRow("same non-ASCII case") << "Äb äb" << true << "00001";
    QTest::newRow("percent is a wildcard") << "Latin%中" << true << "00001";
    QTest::newRow("underscore is one character") << "a_b a_b" << true << "00001";
    QTest::newRow("underscore one Chinese character") << "中_" << true << "00001";
    QTest::newRow("backslash is a character") << "a\\b 中" << true << "00001";
    QTest::newRow("backslash escapes nothing") << "\\1" << false << "00001";
    QTest::newRow("short pattern") << "中" << true << "00001";
    QTest::newRow("one character") << "鹤" << true << "00004";
    QTest::newRow("two at the start") << "黄鹤" << true << "00004";
    QTest::newRow("three across a line break") << "楼\r\n仙" << true << "00004";
    QTest::newRow("five at the end") << "云千载悠悠" << true << "00004";
    QTest::newRow("two, wildcard and case") << "P_Q" << true << "00004";
    QTest::newRow("no such two") << "鹤黄" << false << "";
    QTest::newRow("two letters, other case") << "PX" << true << "00004";
    QTest::newRow("two across a line break") << "楼\r" << true << "00004";
}

// The full-text search's statement, on the server as on the book file; the
// trigram index on the folded texts serves it, or for two characters the
// index of their pairs, with no function over the texts.
void TestServer::likeAsSqliteHasIt()
{
    QFETCH(QString, typed);
    QFETCH(bool, found);
    QFETCH(QString, code);
    book->chapter(5, "00004", "第四章", "00000", "黄鹤楼\r\n仙人乘鹤去 pxq，白云千载悠悠");
    f.open(book->path(), false);
    BookQuery &q = f.dm->Query;
    QString statement;
    const auto watching = f.dm->ydconn.onStatement.replace([&](const QString &sql) { statement = sql; });
    prepareTextSearch(q, "lbbh", typed);
    q.open();
    QCOMPARE(!q.isEmpty(), found);
    if (found)
        QCOMPARE(q.fieldAsText("lbbh"), code);
    QSqlQuery plan(f.dm->ydconn.database());
    QVERIFY(plan.exec("set enable_seqscan = off"));
    // Two characters, which no trigram holds, are looked up by their pair,
    // one character by the index of the texts' characters, and these alone
    // decide: no text is unpacked to be compared.
    const QString pairs = q.parameter("pairs").toString();
    const QString chars = q.parameter("chars").toString();
    const bool wildcard = typed.contains('%') || typed.contains('_');
    QCOMPARE(!pairs.isEmpty(), typed.size() == 2 && !wildcard);
    QCOMPARE(!chars.isEmpty(), typed.size() == 1 && !wildcard);
    QCOMPARE(statement.contains("like"), pairs.isEmpty() && chars.isEmpty());
    const QString value = !pairs.isEmpty() ? pairs : !chars.isEmpty() ? chars : QString("%abc%");
    statement.replace("?", "'" + QString(value).replace("'", "''") + "'");
    QVERIFY(plan.exec("explain " + statement));
    QStringList lines;
    while (plan.next())
        lines << plan.value(0).toString();
    const QString index = !pairs.isEmpty() ? "ywzx_ywlb_ywnr_pairs" : !chars.isEmpty() ? "ywzx_ywlb_ywnr_chars" : "ywzx_ywlb_ywnr_trgm";
    QVERIFY2(lines.join('\n').contains(index), qPrintable(lines.join('\n')));
    QVERIFY2(!statement.contains("translate(ywnr"), qPrintable(statement));
    prepareTextSearch(q, "lbbh", typed, QString(), true);
    q.open();
    QCOMPARE(q.fieldAsText("lbbh"), found ? code : QString());

    // A book pushed by an earlier program has no folded copy and no pair
    // index: it folds each text as it compares it, with the same result.
    book->exec("alter table ywzx_ywlb drop column ywnr_folded cascade");
    for (bool variants : {false, true}) {
        prepareTextSearch(q, "lbbh", typed, QString(), variants);
        q.open();
        QCOMPARE(!q.isEmpty(), found);
        QCOMPARE(q.fieldAsText("lbbh"), found ? code : QString());
        QVERIFY2(statement.contains("translate(ywnr"), qPrintable(statement));
    }
}

void TestServer::variantPairsOnTheIndex_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QString>("index");
    const QString pairs = "ywzx_ywlb_ywnr_pairs";
    QTest::newRow("two simplified") << "黄鹤" << QStringList({"00004", "00005"}) << pairs;
    QTest::newRow("two, one beyond the BMP") << "𫫇心" << QStringList{"00005"} << pairs;
    QTest::newRow("two in the other order") << "鹤黄" << QStringList() << pairs;
    // The regular expression's trigrams serve it; its variant pairs narrow.
    QTest::newRow("more forms than scans") << "黄鹤_发_干_台" << QStringList{"00005"} << "ywzx_ywlb_ywnr_trgm";
}

// 繁简通查 of words whose pairs the pair index serves: each form is looked
// up by its own pair, or, past 32 forms, any variant pair of the first pair
// narrows the regular expression.
void TestServer::variantPairsOnTheIndex()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, codes);
    QFETCH(QString, index);
    book->chapter(5, "00004", "第四章", "00000", "黄鹤楼");
    book->chapter(6, "00005", "第五章", "00000", "黃鶴a發b乾c臺 令人噁心");
    f.open(book->path(), false);
    BookQuery &q = f.dm->Query;
    QString statement;
    const auto watching = f.dm->ydconn.onStatement.replace([&](const QString &sql) { statement = sql; });
    prepareTextSearch(q, "lbbh", typed, QString(), true);
    q.open();
    QStringList found;
    for (q.first(); !q.eof(); q.next())
        found << q.fieldAsText("lbbh");
    QCOMPARE(found, codes);
    // The statement with its values in place, in the order it names them.
    static const QRegularExpression name(":(\\w+)");
    for (QRegularExpressionMatchIterator it = name.globalMatch(q.sqlText()); it.hasNext();)
        statement.replace(statement.indexOf('?'), 1, "'" + q.parameter(it.next().captured(1)).toString().replace("'", "''") + "'");
    QSqlQuery plan(f.dm->ydconn.database());
    QVERIFY(plan.exec("set enable_seqscan = off"));
    QVERIFY2(plan.exec("explain " + statement), qPrintable(statement));
    QStringList lines;
    while (plan.next())
        lines << plan.value(0).toString();
    QVERIFY2(lines.join('\n').contains(index), qPrintable(lines.join('\n')));
}

void TestServer::oneCharacterFromTheIndex_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("variants");
    QTest::addColumn<QStringList>("codes");
    QTest::newRow("in several, by id") << "鹤" << false << QStringList{"00004", "00006"};
    QTest::newRow("variants of it") << "鹤" << true << QStringList{"00004", "00005", "00006"};
    QTest::newRow("one of three forms") << "发" << true << QStringList{"00005", "00006"};
    QTest::newRow("only its own form") << "發" << false << QStringList{"00005"};
    QTest::newRow("ASCII capital folds") << "P" << false << QStringList{"00004", "00005"};
    QTest::newRow("non-ASCII capital does not") << "Ä" << true << QStringList{"00001"};
    QTest::newRow("beyond the BMP") << "𫫇" << false << QStringList{"00005"};
    QTest::newRow("its simplified form") << "噁" << true << QStringList{"00005"};
    QTest::newRow("half of a line break") << "\n" << false << QStringList{"00004"};
    QTest::newRow("a text's last character") << "悠" << false << QStringList{"00006"};
    QTest::newRow("in no text") << "龘" << true << QStringList();
    QTest::newRow("a wildcard alone") << "_" << false << QStringList{"00001", "00002", "00011", "00004", "00005", "00006"};
}

// One character: the index of each text's characters gives the scan's
// chapters in the scan's order; a book without that index (pushed by an
// earlier program) scans, and a save is found at once.
void TestServer::oneCharacterFromTheIndex()
{
    QFETCH(QString, typed);
    QFETCH(bool, variants);
    QFETCH(QStringList, codes);
    book->chapter(5, "00004", "第四章", "00000", "黄鹤楼\r\n仙人乘鹤去 pxq");
    book->chapter(6, "00005", "第五章", "00000", "黃鶴p發 令人𫫇心");
    book->chapter(7, "00006", "第六章", "00000", "白鹤髮悠");
    book->chapter(8, "00007", "第七章", "00000", "");
    book->chapter(9, "00008", "第八章", "00000", QVariant());
    f.open(book->path(), false);
    BookQuery &q = f.dm->Query;
    QString statement;
    const auto watching = f.dm->ydconn.onStatement.replace([&](const QString &sql) { statement = sql; });
    const auto found = [&] {
        prepareTextSearch(q, "lbbh", typed, QString(), variants);
        q.open();
        QStringList found;
        for (q.first(); !q.eof(); q.next())
            found << q.fieldAsText("lbbh");
        return found;
    };
    QCOMPARE(found(), codes);
    QCOMPARE(statement.contains("ebook_chars"), typed != "_");
    book->exec("update ywzx_ywlb set ywnr = ? where lbbh = '00007'", {typed});
    codes << "00007"; // the saved text is the character itself
    const QStringList indexed = found();
    book->exec("drop index ywzx_ywlb_ywnr_chars");
    QCOMPARE(found(), indexed);
    QVERIFY2(!statement.contains("ebook_chars"), qPrintable(statement));
    QCOMPARE(indexed, codes);
}

void TestServer::checkSaysWhatTheIndexesLack_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("said");
    QTest::newRow("as pushed") << "select 1" << "";
    QTest::newRow("an earlier program's book") << "drop index ywzx_ywlb_ywnr_chars"
                                               << "ywzx_ywlb_ywnr_chars：服务器上的书没有这一索引";
    // Every pair and every character besides: more than the index holds.
    QTest::newRow("pairs rewritten") << "create or replace function ebook_pairs(t text) returns text[] language sql "
                                        "immutable as $$ select ebook_chars(t) || array(select a || b from "
                                        "unnest(string_to_array(t, null), (string_to_array(t, null))[2:]) u(a, b) "
                                        "where b is not null) $$"
                                     << "ywzx_ywlb_ywnr_pairs：函数 ebook_pairs 已被改写";
    QTest::newRow("characters without CR") << "create or replace function ebook_chars(t text) returns text[] language sql "
                                              "immutable as $$ select array_remove(string_to_array(t, null), chr(13)) $$"
                                           << "ywzx_ywlb_ywnr_chars：函数 ebook_chars 已被改写";
}

// ebook-tool check on a server book: an index of the texts that is missing,
// or whose function no longer makes what it holds, is a line of its own.
void TestServer::checkSaysWhatTheIndexesLack()
{
    QFETCH(QString, damage);
    QFETCH(QString, said);
    book->exec(damage);
    const ToolRun run = runTool({"check", book->path()});
    QCOMPARE(run.code, said.isEmpty() ? 0 : 1);
    QVERIFY2(run.out.contains(said), qPrintable(run.out));
    QCOMPARE(run.out.count("ywzx_ywlb_ywnr_"), said.isEmpty() ? 0 : 1);
}

// Two readers and a staff station on one book: the staff's new chapter is
// in a reader's tree after the reader reloads it.
void TestServer::readersSeeTheStaffsSave()
{
    BrowserFixture readers[2];
    for (BrowserFixture &reader : readers)
        reader.open(book->path());
    f.open(book->path());
    ScriptedBoxes boxes;
    f.select(f.root());
    whileShown<TywlbwhForm>([&] { ShowChapterDialog("00000", f.window->TreeView, 1); }, [](TywlbwhForm &d) {
        d.lb_lbbh_Edit->setText("00003");
        d.lb_lbmc_Edit->setText("新章");
        d.ok_lb_btnClick();
    });
    QVERIFY(boxes.shown.isEmpty());
    for (BrowserFixture &reader : readers) {
        ywzxDMF = reader.dm.get();
        ywzxform = reader.window.get();
        QVERIFY(!reader.childLabels(reader.root()).contains("新章[00003]"));
        reader.window->ReloadTree();
        QCOMPARE(reader.childLabels(reader.root()), QStringList({"第一章[00001]", "第二章[00002]", "新章[00003]"}));
    }
    ywzxDMF = f.dm.get();
    ywzxform = f.window.get();
}

// A reading terminal on a hot standby: it reads the book, finds a staff
// save made on the primary once the standby has replayed it, and a save
// tried through its own dialog is refused in Chinese and changes nothing.
void TestServer::terminalOnAStandby()
{
    QTemporaryDir dir;
    const QString owner = book->scalar("select current_user").toString();
    const QString terminal = standbyConfig(dir.path(), owner);
    SqlFile standby(terminal);
    const QString written = book->scalar("select cast(pg_current_wal_lsn() as text)").toString();
    QTRY_VERIFY_WITH_TIMEOUT(replayed(standby, written), 30000);
    QVERIFY(standby.scalar("select pg_is_in_recovery()").toBool());

    BrowserFixture staff;
    staff.open(book->path());
    f.open(terminal);
    QCOMPARE(f.childLabels(f.root()), QStringList({"第一章[00001]", "第二章[00002]"}));
    ywzxDMF = staff.dm.get();
    ywzxform = staff.window.get();
    ScriptedBoxes boxes;
    staff.select(staff.root());
    whileShown<TywlbwhForm>([&] { ShowChapterDialog("00000", staff.window->TreeView, 1); }, [](TywlbwhForm &d) {
        d.lb_lbbh_Edit->setText("00003");
        d.lb_lbmc_Edit->setText("新章");
        d.ok_lb_btn->click();
    });
    QVERIFY(boxes.shown.isEmpty());
    const QString saved = book->scalar("select cast(pg_current_wal_lsn() as text)").toString();
    QTRY_VERIFY_WITH_TIMEOUT(replayed(standby, saved), 30000);

    ywzxDMF = f.dm.get();
    ywzxform = f.window.get();
    f.window->ReloadTree();
    QCOMPARE(f.childLabels(f.root()), QStringList({"第一章[00001]", "第二章[00002]", "新章[00003]"}));
    f.select(f.root());
    whileShown<TywlbwhForm>([&] { ShowChapterDialog("00000", f.window->TreeView, 1); }, [](TywlbwhForm &d) {
        d.lb_lbbh_Edit->setText("00004");
        d.lb_lbmc_Edit->setText("备用机上的章");
        d.ok_lb_btn->click();
    });
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY2(boxes.shown[0].text.startsWith("图书服务器拒绝了这一操作：它是只读的备用服务器，不能修改电子书，没有写入任何内容（"
                                            "ERROR:  cannot execute LOCK TABLE during recovery"),
             qPrintable(boxes.shown[0].text));
    QCOMPARE(book->scalar("select count(*) from ywzx_ywlb where lbbh = '00004'").toInt(), 0);
    QCOMPARE(f.childLabels(f.root()), QStringList({"第一章[00001]", "第二章[00002]", "新章[00003]"}));
}

// Another station saves the same new code between this dialog's check and
// its write: the unique code refuses the second row, and the dialog says
// what its check says of a taken code.
void TestServer::loserOfARaceHearsTheCodeExists()
{
    f.open(book->path());
    ScriptedBoxes boxes;
    std::atomic<bool> waited{false};
    QSemaphore inserted;
    Station rival([&] {
        SqlFile other(book->path());
        other.exec("begin");
        other.exec("insert into ywzx_ywlb (id,lbbh,lbmc,flbh) values (50,'00009','对手','00000')");
        inserted.release();
        // Commits once the dialog's insert waits for this transaction.
        for (int i = 0; i < 100000 && !waited; ++i)
            waited = other.scalar("select count(*) from pg_locks where not granted").toInt() > 0;
        other.exec("commit");
    });
    rival.start();
    inserted.acquire();
    f.select(f.root());
    whileShown<TywlbwhForm>([&] { ShowChapterDialog("00000", f.window->TreeView, 1); }, [](TywlbwhForm &d) {
        d.lb_lbbh_Edit->setText("00009");
        d.lb_lbmc_Edit->setText("我的");
        d.ok_lb_btnClick();
        QCOMPARE(d.lb_lbbh_Edit->text(), QString());
    });
    rival.wait();
    QVERIFY(waited);
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].text, QString("此类别已存在。类别编号不允许重复。请重新输入类别编号后再试！"));
    QCOMPARE(book->scalar("select count(*) from ywzx_ywlb where lbbh='00009'").toInt(), 1);
    QCOMPARE(book->scalar("select lbmc from ywzx_ywlb where lbbh='00009'").toString(), QString("对手"));
    QVERIFY(!f.childLabels(f.root()).contains("我的[00009]"));
}

// Many stations check that a code is free, then all save it at once:
// exactly one row, every other save refused as a taken code.
void TestServer::manyStationsSaveOneCode()
{
    constexpr int Stations = 8;
    Barrier checked(Stations);
    std::atomic<int> saved{0}, refused{0}, failed{0};
    std::vector<std::unique_ptr<Station>> stations;
    for (int i = 0; i < Stations; ++i) {
        stations.push_back(std::make_unique<Station>([&, i] {
            BookConnection connection;
            connection.setDatabaseFile(book->path());
            BookQuery query(connection, "updateQuery");
            query.setSql({"select * from YWZX_YWNR", "where NRBH=:code"});
            query.setText("code", "R0001");
            query.open();
            const bool free = query.isEmpty();
            checked.arrive();
            if (!free)
                return;
            try {
                BookTransaction transaction(connection);
                query.setSql({"insert into ywzx_ywnr (nrbh,nrbt,lbbh) values(:nrbh,:nrbt,:lbbh)"});
                query.setText("nrbh", "R0001");
                query.setText("nrbt", QString("站%1").arg(i));
                query.setText("lbbh", "00002");
                query.execSql();
                transaction.commit();
                ++saved;
            } catch (const AppError &error) {
                ++(error.kind() == QLatin1String(AppError::DuplicateCode) ? refused : failed);
            }
        }));
        stations.back()->start();
    }
    for (auto &station : stations)
        station->wait();
    QCOMPARE(saved.load(), 1);
    QCOMPARE(refused.load(), Stations - 1);
    QCOMPARE(failed.load(), 0);
    QCOMPARE(book->scalar("select count(*) from ywzx_ywnr where nrbh='R0001'").toInt(), 1);
}

// A user who may only read takes every lock it can and keeps them: a staff
// save goes through. A writer holding the book makes the next save wait its
// lock timeout and then say the book is busy, with nothing written.
void TestServer::readerHoldsNoSaveBack()
{
    const QString owner = book->scalar("select current_user").toString();
    const QString reader = createTestUser();
    book->exec(QString("grant usage on schema %1 to %2").arg(owner, reader));
    book->exec(QString("grant select on ywzx_ywlb, ywzx_ywnr to %1").arg(reader));
    QTemporaryDir dir;
    int held = 0;
    {
        QSqlDatabase db = ServerConfig::readFile(writeServerConfig(dir.path(), reader)).addDatabase("reader-locks");
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec("begin"));
        QVERIFY(q.exec(QString("set local search_path = %1").arg(owner)));
        QVERIFY(q.exec("select pg_advisory_lock(hashtext(current_schema()))"));
        QStringList attempts = {"select * from ywzx_ywlb for update", "select * from ywzx_ywlb for no key update",
                                "select * from ywzx_ywlb for share", "select * from ywzx_ywlb for key share"};
        for (const char *mode : {"access share", "row share", "row exclusive", "share update exclusive", "share",
                                 "share row exclusive", "exclusive", "access exclusive"})
            attempts << QString("lock table ywzx_ywlb, ywzx_ywnr in %1 mode").arg(mode);
        for (const QString &attempt : attempts) {
            QVERIFY(q.exec("savepoint s"));
            if (q.exec(attempt))
                ++held;
            else
                QVERIFY(q.exec("rollback to savepoint s"));
        }
        const auto save = [&](const QString &code) {
            BookConnection staff;
            staff.setDatabaseFile(book->path());
            staff.setLockTimeout(300);
            BookTransaction transaction(staff);
            BookQuery insert(staff, "updateQuery");
            insert.setSql({"insert into ywzx_ywnr (nrbh,nrbt,lbbh) values(:nrbh,'题','00002')"});
            insert.setText("nrbh", code);
            insert.execSql();
            transaction.commit();
        };
        save("S0001");
        BookConnection rival;
        rival.setDatabaseFile(book->path());
        BookTransaction holding(rival);
        QString message;
        try {
            save("S0002");
        } catch (const AppError &error) {
            message = error.message();
            QCOMPARE(error.kind(), QString(AppError::Busy));
        }
        QVERIFY2(message.startsWith("图书正忙") && message.contains("没有写入任何内容"), qPrintable(message));
        // A statement the server does not finish in time is cancelled and said so.
        BookConnection slow;
        slow.setDatabaseFile(book->path());
        slow.setStatementTimeout(200);
        BookQuery sleep(slow, "Query");
        sleep.setSql({"select pg_sleep(60)"});
        message.clear();
        try {
            sleep.open();
        } catch (const AppError &error) {
            message = error.message();
        }
        QVERIFY2(message.startsWith("服务器在 0.2 秒内没有完成这一操作"), qPrintable(message));
    }
    QSqlDatabase::removeDatabase("reader-locks");
    book->exec(QString("revoke all on ywzx_ywlb, ywzx_ywnr from %1").arg(reader));
    book->exec(QString("revoke usage on schema %1 from %2").arg(owner, reader));
    dropTestUser(reader);
    QCOMPARE(held, 1); // access share, which only a dropped table waits for
    QCOMPARE(book->scalar("select count(*) from ywzx_ywnr where nrbh in ('S0001','S0002')").toInt(), 1);
}

// The server goes away under an open window: the action that meets it gets
// one clear message; while it is down each action says so; after the
// restart the next action connects again.
void TestServer::serverStoppedMidSession()
{
    f.open(book->path());
    ScriptedBoxes boxes;
    cluster("stop");
    Handlers::run([&] { f.select(f.node("第二章")); });
    const QList<MessageBoxes::Request> whileStopped = boxes.shown;
    Handlers::run([&] { f.select(f.node("第一章")); }); // still down: reported again
    const qsizetype reported = boxes.shown.size();
    cluster("start");
    Handlers::run([&] { f.select(f.node("第二章")); });
    QCOMPARE(whileStopped.size(), 1); // one click, one box
    QCOMPARE(whileStopped[0].caption, QString("墨川电子阅读系统"));
    QVERIFY2(whileStopped[0].text.startsWith("与图书服务器的连接已断开"), qPrintable(whileStopped[0].text));
    QCOMPARE(reported, 2);
    QVERIFY2(boxes.shown[1].text.startsWith("无法连接图书所在的数据库"), qPrintable(boxes.shown[1].text));
    QCOMPARE(boxes.shown.size(), reported); // connected again: no further box
    QCOMPARE(f.window->memo1->toPlainText(), QString("x"));
}

// The connection is dropped by the server between two actions: the search
// that meets it says so once, the next search and a chapter not loaded yet
// work on a fresh connection, no statement of the old one outliving it.
void TestServer::connectionDroppedBetweenActions()
{
    QTest::failOnWarning(QRegularExpression("still in use"));
    f.open(book->path());
    ScriptedBoxes boxes;
    f.select(f.node("第二章"));
    BookQuery &q = f.dm->Query;
    q.setSql({"select pg_backend_pid()"});
    q.open();
    const int pid = q.firstFieldAsInteger();
    book->exec("select pg_terminate_backend(?)", {pid});
    const auto search = [&] {
        Handlers::run([&] {
            f.window->FindDialog2->setText("不在书中");
            f.window->FindDialog2Find();
        });
    };
    search();
    for (BookQuery *query : {&f.dm->ywlbQuery, &f.dm->ywnrQuery, &f.dm->Query, &f.dm->updateQuery})
        QVERIFY2(!query->holdsStatement(), qPrintable(query->name())); // gone with the connection
    search();
    QCOMPARE(boxes.shown.size(), 2);
    QVERIFY2(boxes.shown[0].text.startsWith("与图书服务器的连接已断开"), qPrintable(boxes.shown[0].text));
    QCOMPARE(boxes.shown[1].caption, QString("系统提示")); // searched: nothing found
    f.window->TreeView->expandItem(f.node("第一章"));
    QCOMPARE(f.childLabels(f.node("第一章")), QStringList({"第一节[00011]"}));
    QCOMPARE(boxes.shown.size(), 2);
    q.open();
    QVERIFY(q.firstFieldAsInteger() != pid);
}

// The process serving the window stops (as a silent server or network
// path does): the click that meets it is told after the answer limit, and
// the next click connects afresh. (Without the limit the rescue lets the
// click go on after a minute, with no message.)
void TestServer::silentServerIsCutOff()
{
    f.open(book->path());
    ScriptedBoxes boxes;
    f.dm->Query.setSql({"select pg_backend_pid()"});
    f.dm->Query.open();
    const pid_t pid = f.dm->Query.firstFieldAsInteger();
    f.dm->ydconn.setAnswerLimit(300);
    QCOMPARE(::kill(pid, SIGSTOP), 0);
    QSemaphore answered;
    Station rescue([&] {
        if (!answered.tryAcquire(1, 60000))
            ::kill(pid, SIGCONT);
    });
    rescue.start();
    Handlers::run([&] { f.select(f.node("第二章")); });
    answered.release();
    rescue.wait();
    ::kill(pid, SIGCONT);
    Handlers::run([&] { f.select(f.node("第一章")); });
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY2(boxes.shown[0].text.startsWith("图书服务器在 0.3 秒内没有应答，程序已断开与它的连接"),
             qPrintable(boxes.shown[0].text));
    QCOMPARE(f.window->memo1->toPlainText(), QString("Latin ABC abc Äb äb 100% a_b a\\b 中文"));
}

// A book file with every kind of value goes to the server and back: the same
// rows, column by column, with the same storage classes.
void TestServer::pushAndPullRoundTrip()
{
    QTemporaryDir dir;
    const QString original = dir.filePath("book.mdb");
    BookSchema::createBook(original, "往返");
    SqlFile file(original);
    const QByteArray binary("\x00\x01\xff\xfe 'quote' \\ \x00", 15);
    file.exec("insert into ywzx_ywlb values (?,?,?,?,?,?,?,?,?)",
              {7, "00001", "名\"'", "00000", "2024-02-29 23:59:59", "", "一\r\n二", binary, "1"});
    file.exec("insert into ywzx_ywlb (id,lbbh) values (8,'00002')"); // nulls
    // Texts that start with U+FFFE or U+FEFF keep that character both ways.
    file.exec("insert into ywzx_ywnr values (5,'A1',char(65534)||'题','00001','2024-01-01 00:00:00',NULL,char(65279))");
    file.exec("insert into ywzx_ywnr values (9,'A2',NULL,'00002',NULL,'王',NULL)");
    file.exec("delete from ywzx_ywnr where id=9");
    file.exec("insert into ywzx_ywnr (nrbh) values ('A3')"); // id 10: the sequence passed 9

    const QString user = createTestUser();
    ToolRun pushed = runTool({"push", original, uri(user)});
    QVERIFY2(pushed.code == 0, qPrintable(pushed.err));
    ToolRun again = runTool({"push", original, uri(user), "--lang", "en"});
    QCOMPARE(again.code, 1);
    QVERIFY2(again.err.contains("already holds a book; --replace replaces it"), qPrintable(again.err));
    // The readers' grants outlive the tables a replacement drops.
    const QString reader = createTestUser();
    QTemporaryDir ownersDir;
    auto owners = std::make_unique<SqlFile>(writeServerConfig(ownersDir.path(), user));
    owners->exec(QString("grant select on ywzx_ywlb, ywzx_ywnr to %1").arg(reader));
    ToolRun replaced = runTool({"push", original, uri(user), "--replace", "--lang", "en"});
    QVERIFY2(replaced.code == 0, qPrintable(replaced.err));
    QVERIFY2(replaced.out.contains(QString("granted again as the old tables did: SELECT on ywzx_ywlb to %1, "
                                           "SELECT on ywzx_ywnr to %1").arg(reader)), qPrintable(replaced.out));
    QVERIFY(owners->scalar(QString("select has_table_privilege('%1', 'ywzx_ywnr', 'select')").arg(reader)).toBool());
    // Saves write the text indexes at once: no pending list for every search to scan.
    for (const char *index : {"ywzx_ywlb_ywnr_trgm", "ywzx_ywlb_ywnr_pairs"})
        QCOMPARE(owners->scalar(QString("select array_to_string(reloptions, ',') from pg_class where oid = to_regclass('%1')")
                                    .arg(index)).toString(),
                 QString("fastupdate=off"));
    owners.reset();
    { // the reader's connection takes the tools' address as well
        BookConnection byAddress;
        byAddress.setDatabaseFile(uri(user));
        BookQuery titles(byAddress, "titles");
        titles.setSql({"select nrbh from ywzx_ywnr order by id"});
        titles.open();
        QCOMPARE(titles.recordCount(), 2);
    }

    const QString back = dir.filePath("back.mdb");
    ToolRun pulled = runTool({"pull", uri(user), back});
    QVERIFY2(pulled.code == 0, qPrintable(pulled.err));
    ToolRun over = runTool({"pull", uri(user), back, "--lang", "en"});
    QCOMPARE(over.code, 1);
    QVERIFY2(over.err.contains("exists already"), qPrintable(over.err));
    const ToolRun checked = runTool({"check", uri(user)}); // a chapter without parent, a photo that is no picture
    QCOMPARE(checked.code, 1);
    QVERIFY2(checked.out.contains("ywzx_ywlb id 7 编码 00001：照片") && checked.out.contains("ywzx_ywlb id 8 编码 00002：上级编码 （空） 不存在"),
             qPrintable(checked.out));
    dropTestUser(user);
    dropTestUser(reader);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"back.mdb", "book.mdb"}));

    for (const char *table : {"ywzx_ywlb", "ywzx_ywnr"})
        QCOMPARE(fileRows(back, table), fileRows(original, table));
    SqlFile pulledFile(back);
    QCOMPARE(pulledFile.scalar("select seq from sqlite_sequence where name='ywzx_ywnr'").toInt(), 10);
    QCOMPARE(pulledFile.scalar("select hex(nrbt) from ywzx_ywnr where id=5").toString(), "EFBFBEE9A298");
}

// A reading terminal that saves: the server's refusal is said in Chinese
// first, in the server's own words after.
void TestServer::readerWhoSavesHearsItInChinese()
{
    QTemporaryDir dir;
    reader = createReader(book->scalar("select current_user").toString(), dir.path());
    f.open(dir.filePath("ebook.conf"));
    ScriptedBoxes boxes;
    f.select(f.root());
    whileShown<TywlbwhForm>([&] { ShowChapterDialog("00000", f.window->TreeView, 1); }, [](TywlbwhForm &d) {
        d.lb_lbbh_Edit->setText("00003");
        d.lb_lbmc_Edit->setText("新章");
        d.ok_lb_btn->click();
    });
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY2(boxes.shown[0].text.startsWith("图书服务器拒绝了这一操作：登录所用的用户没有这样做的权限，没有写入任何内容（"
                                            "ERROR:  permission denied for table ywzx_ywlb"),
             qPrintable(boxes.shown[0].text));
}

void TestServer::replaceWhileAReaderHoldsTheBook_data()
{
    QTest::addColumn<bool>("readsAllStats");
    QTest::addColumn<QString>("expected"); // how the reader's connection is described
    QTest::newRow("another user's connection") << false << "（地址 不详，程序 ebook-reader，事务开始于 不详，服务器进程 \\d+）（";
    QTest::newRow("pg_read_all_stats sees it all")
        << true << "（地址 (127\\.0\\.0\\.1|::1)，程序 ebook-reader，事务开始于 20\\d\\d-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d，服务器进程 \\d+）。";
}

// push --replace while a reader's transaction holds the old tables: it gives
// up after its lock timeout naming who holds them, and changes nothing.
void TestServer::replaceWhileAReaderHoldsTheBook()
{
    QFETCH(bool, readsAllStats);
    QFETCH(QString, expected);
    const QString owner = book->scalar("select current_user").toString();
    QTemporaryDir dir, adminDir;
    reader = createReader(owner, dir.path());
    if (readsAllStats)
        SqlFile(writeServerConfig(adminDir.path(), qEnvironmentVariable("PGUSER")))
            .exec(QString("grant pg_read_all_stats to %1").arg(owner));
    BookSchema::createBook(dir.filePath("new.mdb"), "新书");
    SqlFile holding(dir.filePath("ebook.conf"));
    holding.exec("begin");
    holding.exec("select count(*) from ywzx_ywnr");
    qputenv("PGOPTIONS", "-c statement_timeout=20000"); // a push that waited without end fails instead
    QString message;
    try {
        ServerBook::push(dir.filePath("new.mdb"), ServerConfig::readFile(book->path()), true, 200);
    } catch (const AppError &error) {
        message = error.message();
    }
    qunsetenv("PGOPTIONS");
    holding.exec("rollback");
    QCOMPARE(book->scalar("select lbmc from ywzx_ywlb where lbbh='00000'").toString(), QString("书"));
    QVERIFY2(message.contains(QRegularExpression("中的书正被其他连接使用，等了 0.2 秒仍未放开，书没有替换，什么也没有改动（[^）]*）。"
                                                 "正在使用它的连接：用户 " + reader + expected)),
             qPrintable(message));
}

// What the old tables give a reader besides plain grants comes over to the
// new ones; what cannot come over is said.
void TestServer::replaceCarriesGrantsAndPolicies()
{
    const QString owner = book->scalar("select current_user").toString();
    QTemporaryDir dir;
    reader = createReader(owner, dir.path());
    book->exec(QString("revoke select on ywzx_ywlb from %1").arg(reader));
    book->exec(QString("grant select (lbbh, lbmc) on ywzx_ywlb to %1").arg(reader));
    book->exec(QString("grant select on ywzx_ywnr to %1 with grant option").arg(reader));
    book->exec("alter table ywzx_ywlb enable row level security");
    book->exec(QString("create policy under_root on ywzx_ywlb for select to %1 using (flbh = '00000')").arg(reader));
    book->exec("create index titles on ywzx_ywnr (nrbt)");
    const QString file = dir.filePath("new.mdb");
    BookSchema::createBook(file, "新书");
    SqlFile(file).exec("insert into ywzx_ywlb (id,lbbh,lbmc,flbh) values (2,'00001','甲','00000'), (3,'00011','乙','00001')");
    const ToolRun replaced = runTool({"push", file, uri(owner), "--replace", "--lang", "en"});
    QVERIFY2(replaced.out.contains(QString("granted again as the old tables did: SELECT (lbbh) on ywzx_ywlb to %1, "
                                           "SELECT (lbmc) on ywzx_ywlb to %1, SELECT on ywzx_ywnr to %1 with grant option, "
                                           "enable row level security on ywzx_ywlb, policy under_root on ywzx_ywlb\n"
                                           "These were not carried over from the old tables to the new ones "
                                           "(create them again if still needed): index titles on ywzx_ywnr\n")
                                       .arg(reader)),
             qPrintable(replaced.out + replaced.err));
    SqlFile readersBook(dir.filePath("ebook.conf"));
    QCOMPARE(readersBook.scalar("select string_agg(lbmc, ',' order by lbbh) from ywzx_ywlb").toString(),
             QString("新书,甲")); // the policy: the root's children (and the root, its own parent)
    QVERIFY(readersBook.scalar("select has_table_privilege('ywzx_ywnr', 'select with grant option')").toBool());
    QVERIFY(!readersBook.scalar("select has_column_privilege('ywzx_ywlb', 'flbh', 'select')").toBool());
}

// The pairs the index keeps of a text, as the first definition of
// ebook_pairs gave them: astral characters whole, CR LF one pair, a pair
// met twice kept once, none for one character or none.
void TestServer::pairsOfATextAsBefore()
{
    const QStringList texts = {"𠀀𠀁a𠀀𠀁\r\n黃𪚥黃𪚥", "字", "", "\r\n"};
    const QStringList expected = {"\n黃|\r\n|a𠀀|黃𪚥|𠀀𠀁|𠀁\r|𠀁a|𪚥黃", "", "", "\r\n"};
    for (int i = 0; i < texts.size(); ++i) {
        QStringList pairs = book->scalar("select array_to_string(ebook_pairs(cast(? as text)), '|', 'NULL')",
                                         {texts.at(i)}).toString().split('|');
        pairs.sort();
        QCOMPARE(pairs.join('|'), expected.at(i));
    }
}

QTEST_MAIN(TestServer)
#include "tst_server.moc"
