#include "TestBook.h"
#include "data/BookSchema.h"
#include "data/TemporaryFiles.h"
#include "data/ywzxDM.h"

#include <QtTest>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

// The companion tool, run as a program: it writes books that the query
// layer reads back.
class TestEbookTool : public QObject {
    Q_OBJECT
private slots:
    void createWritesAnEmptyBook();
    void createRefusesToOverwrite();
    void badInput();
    void demoBook();
    void demoWithoutFortunes();
    void generateBeyondFiveDigits();
    void generateRefusesOutOfRangeNumbers();
    void noTemporaryFileLeftWhenKilled();
    void staleTemporaryFilesCleaned();

private:
    using Result = ToolRun;
    static Result tool(const QStringList &args, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
    {
        return runTool(args, env);
    }
    QTemporaryDir dir;
};

void TestEbookTool::createWritesAnEmptyBook()
{
    const QString path = dir.filePath("new.mdb");
    const Result r = tool({"create", path, "澜州档案"});
    QCOMPARE(r.code, 0);
    TywzxDMF dm;
    dm.ydconn.setDatabaseFile(path);
    dm.Query.setSql({"select * from ywzx_ywlb"});
    dm.Query.open();
    QCOMPARE(dm.Query.recordCount(), 1);
    QCOMPARE(dm.Query.fieldAsText("lbbh"), QString("00000"));
    QCOMPARE(dm.Query.fieldAsText("flbh"), QString("00000"));
    QCOMPARE(dm.Query.fieldAsText("lbmc"), QString("澜州档案"));
    QCOMPARE(dm.Query.fieldAsBytes("photoimage"), QByteArray("nil"));
    QCOMPARE(dm.Query.fieldAsText("checkimage"), QString("0"));
    dm.Query.setSql({"select count(*) from ywzx_ywnr"});
    dm.Query.open();
    QCOMPARE(dm.Query.firstFieldAsInteger(), 0);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"new.mdb"}));
}

void TestEbookTool::createRefusesToOverwrite()
{
    const QString path = dir.filePath("kept.mdb");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("precious");
    f.close();
    const Result r = tool({"create", path, "x"});
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains("exists already"));
    QCOMPARE(r.err.count('\n'), 1);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("precious"));
    QCOMPARE(tool({"demo", path}).code, 1);
}

void TestEbookTool::badInput()
{
    QCOMPARE(tool({}).code, 2);
    QCOMPARE(tool({"create", dir.filePath("a.mdb")}).code, 2);
    QCOMPARE(tool({"frobnicate"}).code, 2);
    const Result noFolder = tool({"create", dir.filePath("no/such/folder/b.mdb"), "x"});
    QCOMPARE(noFolder.code, 1);
    QVERIFY(noFolder.err.startsWith("ebook-tool: "));
    QDir(dir.path()).mkdir("ro");
    QFile::setPermissions(dir.filePath("ro"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const Result readOnly = tool({"create", dir.filePath("ro/c.mdb"), "x"});
    if (::geteuid() != 0) {
        QCOMPARE(readOnly.code, 1);
        QVERIFY(QDir(dir.filePath("ro")).isEmpty(QDir::Files | QDir::Hidden));
    }
    QCOMPARE(tool({"create", dir.filePath("d.mdb"), " "}).code, 1);
}

// Codes past 99,999: a capital letter and four base-36 digits, all unique,
// each chapter under the parent the fan-out gives.
void TestEbookTool::generateBeyondFiveDigits()
{
    const QString path = dir.filePath("big.mdb");
    QCOMPARE(tool({"generate", path, "--chapters", "100040", "--fanout", "1000", "--articles", "0", "--text-bytes", "0"})
                 .code,
             0);
    SqlFile book(path);
    QCOMPARE(book.scalar("select count(distinct lbbh) from ywzx_ywlb").toInt(), 100041);
    QCOMPARE(book.scalar("select count(*) from ywzx_ywlb where length(lbbh) <> 5").toInt(), 0);
    QCOMPARE(book.scalar("select lbbh from ywzx_ywlb where lbmc='第99999章'").toString(), QString("99999"));
    QCOMPARE(book.scalar("select lbbh from ywzx_ywlb where lbmc='第100000章'").toString(), QString("A0000"));
    QCOMPARE(book.scalar("select flbh from ywzx_ywlb where lbmc='第100036章'").toString(), QString("00100"));
    QCOMPARE(book.scalar("select lbbh from ywzx_ywlb where lbmc='第100036章'").toString(), QString("A0010"));
    QCOMPARE(tool({"generate", dir.filePath("too.mdb"), "--chapters", "1000000"}).code, 2);
}

void TestEbookTool::demoBook()
{
    // The message keeps the file name as it is, "%2" and all.
    const QString path = dir.filePath("demo%2.mdb");
    const Result r = tool({"demo", path});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QString("created %1: 120 chapters, 409 articles\n").arg(path));
    TestBook::Reader book(path);
    QCOMPARE(book.scalar("select lbmc from ywzx_ywlb where lbbh='00000' and flbh='00000'").toString(),
             QString("唐诗宋词选读"));
    QCOMPARE(book.scalar("select group_concat(lbmc, '|') from ywzx_ywlb where flbh='00000' and lbbh<>'00000'")
                 .toString(),
             QString("唐诗三百首|宋诗一百首"));
    // Poets in the order in which they first appear; 张九龄 opens the Tang poems.
    QCOMPARE(book.scalar("select lbmc from ywzx_ywlb where flbh='00001' order by id limit 1").toString(),
             QString("张九龄"));
    QCOMPARE(book.scalar("select count(*) from ywzx_ywnr").toInt(), 313 + 96);
    // A poem is an article under its poet, and the poet's text holds it.
    QCOMPARE(book.scalar("select c.lbmc from ywzx_ywnr a, ywzx_ywlb c where a.lbbh=c.lbbh and a.nrbt='感遇・其一'")
                 .toString(),
             QString("张九龄"));
    QCOMPARE(book.scalar("select ywnr from ywzx_ywnr where nrbt='感遇・其一'").toString().left(12),
             QString("兰叶春葳蕤，桂华秋皎洁。\r\n").left(12));
    QVERIFY(book.scalar("select ywnr from ywzx_ywlb where lbmc='张九龄'").toString().contains("兰叶春葳蕤，桂华秋皎洁。\r\n"));
    QCOMPARE(book.scalar("select count(*) from ywzx_ywlb where ywnr like '%\x1b%' or lbmc like '%\x1b%'").toInt(), 0);
    QCOMPARE(book.scalar("select count(*) from ywzx_ywnr where ywnr like '%\x1b%' or nrbt like '%\x1b%'").toInt(), 0);
    // The Song poets come without their life dates.
    QCOMPARE(book.scalar("select count(*) from ywzx_ywlb where lbmc like '%（%'").toInt(), 0);
    // Several chapters share words, for the full-text search.
    QVERIFY(book.scalar("select count(*) from ywzx_ywlb where ywnr like '%明月%'").toInt() >= 3);
    // Every chapter but the root has a parent that exists.
    QCOMPARE(book.scalar("select count(*) from ywzx_ywlb c where lbbh<>'00000' and not exists "
                         "(select 1 from ywzx_ywlb p where p.lbbh=c.flbh)").toInt(), 0);
}

void TestEbookTool::demoWithoutFortunes()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("EBOOK_FORTUNES_DIR", dir.filePath("nowhere"));
    const QString path = dir.filePath("nodemo.mdb");
    const Result r = tool({"demo", path}, env);
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains("fortunes-zh"), qPrintable(r.err));
    QCOMPARE(r.err.count('\n'), 1);
    QVERIFY(!QFileInfo::exists(path));
}

void TestEbookTool::generateRefusesOutOfRangeNumbers()
{
    const QString path = dir.filePath("g%1.mdb");
    const struct {
        QString option, value, message;
    } cases[] = {
        {"--text-bytes", "-1", "--text-bytes takes a whole number from 0 to 100000000, not '-1'"},
        {"--word-percent", "150", "--word-percent takes a number from 0 to 100, not '150'"},
        {"--word-percent", "-10", "--word-percent takes a number from 0 to 100, not '-10'"},
        {"--word-percent", "nan", "--word-percent takes a number from 0 to 100, not 'nan'"},
        {"--chapters", "1.5", "--chapters takes a whole number from 0 to 999999, not '1.5'"},
        {"--fanout", "0", "--fanout takes a whole number from 1 to 99999, not '0'"},
        {"--articles", "%1", "--articles takes a whole number from 0 to 999999, not '%1'"},
    };
    for (const auto &c : cases) {
        const Result r = tool({"generate", path, c.option, c.value});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.startsWith("ebook-tool: " + c.message + "\nusage: "), qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(path));
    }
    const Result r = tool({"generate", path, "--chapters", "3", "--articles", "2", "--word-percent", "100", "--word", "x"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QString("created %1: 3 chapters (depth 1), 2 articles, the word in 3 chapters\n").arg(path));
}

// Killed while it writes (by a file size limit, an interrupt or a termination),
// the tool removes its temporary book and journal and ends by that signal.
void TestEbookTool::noTemporaryFileLeftWhenKilled()
{
    const QStringList big = {"--chapters", "99999", "--articles", "99999", "--text-bytes", "3000"};
    const struct {
        const char *name;
        QStringList args;
        int signal; // sent once the temporary book is there; 0: the size limit
    } cases[] = {
        {"demo over the size limit", {"demo"}, 0},
        {"generate over the size limit", QStringList{"generate"} + big, 0},
        {"generate interrupted", QStringList{"generate"} + big, SIGINT},
        {"generate terminated", QStringList{"generate"} + big, SIGTERM},
    };
    for (const auto &c : cases) {
        QTemporaryDir here;
        const auto files = [&] { return QDir(here.path()).entryList(QDir::Files | QDir::Hidden); };
        QProcess process;
        if (!c.signal)
            process.setChildProcessModifier([] {
                const rlimit limit{64 * 1024, 64 * 1024};
                setrlimit(RLIMIT_FSIZE, &limit);
            });
        QStringList args = c.args;
        args.insert(1, here.filePath("book.mdb"));
        process.start(qEnvironmentVariable("EBOOK_TOOL"), args);
        if (c.signal) {
            QTRY_VERIFY_WITH_TIMEOUT(!files().isEmpty(), 60000);
            ::kill(pid_t(process.processId()), c.signal);
        }
        QVERIFY(process.waitForFinished(120000));
        QVERIFY2(process.exitStatus() == QProcess::CrashExit, c.name);
        QVERIFY2(files().isEmpty(), qPrintable(QString(c.name) + ": " + files().join(' ')));
    }
}

// Temporary books of dead processes of this host (kill -9 runs no handler)
// go when the tool next writes into their folder; others stay.
void TestEbookTool::staleTemporaryFilesCleaned()
{
    QTemporaryDir here;
    const QString mine = BookSchema::temporaryPathFor(here.filePath("book.mdb")); // a live process
    TemporaryFiles::forget(mine);
    QProcess ended;
    ended.start("true");
    QVERIFY(ended.waitForStarted());
    const QString pid = QString::number(ended.processId());
    QVERIFY(ended.waitForFinished());
    const QString own = QString("-%1.").arg(getpid());
    const QString dead = QString(mine).replace(own, "-" + pid + ".");
    const QString elsewhere = QString(dead).replace(TemporaryFiles::ownerTag().section('-', 0, 0) + "-", "otherhost-");
    // Checked after the dead one (names in order): process 1 lives.
    const QString init = here.filePath(QFileInfo(mine).fileName().replace(".book.", ".zbook.").replace(own, "-1."));
    QVERIFY(dead != mine && elsewhere != dead && init.contains("-1."));
    for (const QString &path : {mine, dead, dead + "-journal", elsewhere, init, here.filePath(".notes.tmp")}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QCOMPARE(tool({"create", here.filePath("new.mdb"), "书"}).code, 0);
    QStringList expected = {QFileInfo(mine).fileName(), QFileInfo(elsewhere).fileName(), QFileInfo(init).fileName(),
                            ".notes.tmp", "new.mdb"};
    expected.sort();
    QCOMPARE(QDir(here.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
}

QTEST_GUILESS_MAIN(TestEbookTool)
#include "tst_ebooktool.moc"
