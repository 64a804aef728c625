#include "TestBook.h"
#include "common/AppError.h"
#include "data/BookFile.h"
#include "data/ChineseVariants.h"
#include "data/ywzxDM.h"

#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

// Finding and opening the book: a file that is no book fails the open and is
// left exactly as it was.
class TestBookFile : public QObject {
    Q_OBJECT
private slots:
    void pathBesideTheProgram();
    void refusedFiles_data();
    void refusedFiles();
    void unreadableFile();
    void onlyRegularFilesAreOpened();
    void validBookOpens();
    void tableLessDatabaseOpens();
    void unfinishedSaveNamedToAReader();
    void variantFoldingComesWithEachOpening();

private:
    QTemporaryDir dir;
};

static QByteArray contentOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

static void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

static QString openError(const QString &path)
{
    TywzxDMF dm;
    dm.ydconn.setDatabaseFile(path);
    try {
        dm.ydconn.open();
    } catch (const AppError &error) {
        return error.message();
    }
    return QString();
}

void TestBookFile::pathBesideTheProgram()
{
    QCOMPARE(BookFile::pathBeside("/opt/ebook"), QString("/opt/ebook/data/ebook.mdb"));
    QCOMPARE(BookFile::pathBeside("/opt/ebook/"), QString("/opt/ebook/data/ebook.mdb"));
    QCOMPARE(BookFile::pathBeside("/"), QString("/data/ebook.mdb"));
    // The directory of the real program file, whatever the working directory.
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QCOMPARE(BookFile::pathForThisProgram(),
             QFileInfo(QFileInfo(QString("/proc/self/exe")).canonicalFilePath()).absolutePath() + "/data/ebook.mdb");
    QDir::setCurrent(before);
}

void TestBookFile::refusedFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << QByteArray() << false << "找不到书库文件：";
    QTest::newRow("empty") << QByteArray() << true << "书库文件是空的";
    QTest::newRow("garbage") << QByteArray("this is no database at all, just text\n").repeated(50) << true
                             << "不是书库数据库";
    QByteArray access(2048, '\0');
    access.replace(4, 15, "Standard Jet DB");
    QTest::newRow("access") << access << true << "ebook-tool import";
    QByteArray damaged("SQLite format 3");
    damaged.append('\0');
    damaged.append(QByteArray(4000, '\x7f'));
    QTest::newRow("damaged sqlite") << damaged << true << "not a database";
}

void TestBookFile::refusedFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, exists);
    QFETCH(QString, message);
    const QString path = dir.filePath(QString("%1.mdb").arg(QTest::currentDataTag()));
    if (exists)
        write(path, content);
    const QString error = openError(path);
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY(message == "not a database" || error.contains("\n" + path + "\n")); // the path on a line of its own
    QCOMPARE(QFileInfo::exists(path), exists);
    if (exists)
        QCOMPARE(contentOf(path), content);
    QVERIFY(!QFileInfo::exists(path + "-journal"));
}

void TestBookFile::unreadableFile()
{
    const QString path = dir.filePath("locked.mdb");
    write(path, "x");
    QFile::setPermissions(path, QFileDevice::Permissions());
    const uid_t user = geteuid();
    QVERIFY(user != 0 || seteuid(65534) == 0); // root reads every file
    const QString error = openError(path);
    QVERIFY(seteuid(user) == 0);
    QCOMPARE(error, QString("无法打开书库文件：\n%1\n没有读取它的权限。").arg(path));
}

// A FIFO would block the open until some writer came: refused at once.
void TestBookFile::onlyRegularFilesAreOpened()
{
    const QString fifo = dir.filePath("fifo.mdb");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QDir(dir.path()).mkdir("folder.mdb");
    const struct {
        QString path;
        QString reason;
    } cases[] = {{fifo, "它不是普通文件"},
                 {"/dev/zero", "它不是普通文件"},
                 {dir.filePath("folder.mdb"), "它是一个文件夹"}};
    for (const auto &c : cases)
        QCOMPARE(openError(c.path), QString("无法打开书库文件：\n%1\n%2。").arg(c.path, c.reason));
    const QString conf = dir.filePath("ebook.conf"); // a server book's configuration
    QCOMPARE(::mkfifo(QFile::encodeName(conf).constData(), 0600), 0);
    QCOMPARE(openError(conf), QString("无法读取服务器配置文件 '%1'：它不是普通文件。").arg(conf));
}

void TestBookFile::validBookOpens()
{
    TestBook book;
    const QByteArray before = contentOf(book.path());
    TywzxDMF dm;
    dm.ydconn.setDatabaseFile(book.path());
    dm.ydconn.open();
    QVERIFY(dm.ydconn.isOpen());
    dm.Query.setSql({"select * from ywzx_ywlb"});
    dm.Query.open();
    QCOMPARE(dm.Query.recordCount(), 1);
    dm.ydconn.close();
    QCOMPARE(contentOf(book.path()), before);
}

void TestBookFile::tableLessDatabaseOpens()
{
    TestBook book;
    book.exec("drop table ywzx_ywlb");
    QCOMPARE(openError(book.path()), QString());
}

// A save killed halfway leaves a hot journal: a terminal that may only read
// is told what happened and what staff must do; a writer rolls it back.
void TestBookFile::unfinishedSaveNamedToAReader()
{
    TestBook book;
    book.chapter(2, "00001", "章", "00000", "原文");
    const QString copy = dir.filePath("hot.mdb");
    {
        SqlFile writer(book.path());
        writer.exec("pragma synchronous = off"); // the journal's header is written at once
        writer.exec("begin");
        writer.exec("update ywzx_ywlb set ywnr = '半途' where lbbh = '00001'");
        QVERIFY(QFile::copy(book.path(), copy));
        QVERIFY(QFile::copy(book.path() + "-journal", copy + "-journal"));
        writer.exec("rollback");
    }
    const auto open = [&](bool readOnly) {
        BookConnection connection;
        connection.setDatabaseFile(copy);
        connection.setReadOnly(readOnly);
        try {
            connection.open();
        } catch (const AppError &error) {
            return error.message();
        }
        return QString();
    };
    const QString refused = open(true);
    QVERIFY2(refused.contains("上一次保存没有完成") && refused.contains(copy + "-journal")
                 && refused.contains("请工作人员"), qPrintable(refused));
    QCOMPARE(open(false), QString());
    QCOMPARE(open(true), QString());
    QCOMPARE(SqlFile(copy).scalar("select ywnr from ywzx_ywlb where lbbh = '00001'").toString(), QString("原文"));
}

// 繁简通查's SQL function is there from the opening on, before any search,
// and again after the connection is closed and opened anew.
void TestBookFile::variantFoldingComesWithEachOpening()
{
    TestBook book;
    BookConnection connection;
    connection.setDatabaseFile(book.path());
    BookQuery query(connection, "fold");
    query.setSql({"select ebook_variants_folded('髮發') as folded"});
    for (int opening = 0; opening < 2; ++opening) {
        connection.open();
        query.open();
        const QString folded = query.fieldAsText("folded");
        QCOMPARE(folded, ChineseVariants::folded("髮發"));
        QCOMPARE(folded.at(0), folded.at(1));
        query.close();
        connection.close();
    }
}

QTEST_GUILESS_MAIN(TestBookFile)
#include "tst_bookfile.moc"
