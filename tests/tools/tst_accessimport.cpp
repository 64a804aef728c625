#include "../browser/BrowserFixture.h"
#include "common/AppError.h"
#include "data/BookFile.h"

#include <QSqlQuery>
#include <QtTest>

// ebook-tool import on the Access fixtures: every field of every row comes
// over exactly, and every failure leaves nothing behind.
class TestAccessImport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void everyFieldOfEveryRow();
    void theReaderOpensTheImportedBook();
    void noBookTables();
    void refusesToOverwrite();
    void truncatedCopies();
    void notAnAccessFile();
    void readerNamesTheCommandForAnAccessFile();

private:
    using Result = ToolRun;
    static Result tool(const QStringList &args) { return runTool(args); }
    QString fixture(const QString &name) const { return QDir(fixtures).filePath(name); }
    QStringList leftovers() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
    QString fixtures;
    QTemporaryDir dir;
};

void TestAccessImport::initTestCase()
{
    fixtures = qEnvironmentVariable("EBOOK_ACCESS_FIXTURES");
    for (const char *name : {"tang-jet4.mdb", "tang-jet4.expected.tsv", "testUnicodeCompV2003.mdb"})
        QVERIFY2(QFileInfo::exists(fixture(name)), qPrintable("missing fixture " + fixture(name)));
}

// A field as the expected rows write it: the hexadecimal of its bytes,
// NULL for a null.
static QString hexOf(const QVariant &value)
{
    if (value.isNull())
        return "NULL";
    if (value.typeId() == QMetaType::QByteArray)
        return QString::fromLatin1(value.toByteArray().toHex().toUpper());
    if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int)
        return value.toString();
    return QString::fromLatin1(value.toString().toUtf8().toHex().toUpper());
}

void TestAccessImport::everyFieldOfEveryRow()
{
    const QString book = dir.filePath("tang.mdb");
    const Result r = tool({"import", fixture("tang-jet4.mdb"), book});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.contains("88 rows of ywzx_ywlb") && r.out.contains("313 rows of ywzx_ywnr"));
    QVERIFY(r.err.isEmpty()); // no progress lines without a terminal

    QHash<QString, QStringList> rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "imported");
        db.setDatabaseName(book);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec("select id,lbbh,lbmc,flbh,xgrq,xgr,ywnr,photoimage,checkimage from ywzx_ywlb"));
        while (q.next()) {
            QStringList fields;
            for (int i = 1; i < 9; ++i)
                fields << hexOf(q.value(i));
            rows.insert("LB\t" + q.value(0).toString(), fields);
        }
        QVERIFY(q.exec("select id,nrbh,nrbt,lbbh,xgrq,xgr,ywnr from ywzx_ywnr"));
        while (q.next()) {
            QStringList fields;
            for (int i = 1; i < 7; ++i)
                fields << hexOf(q.value(i));
            rows.insert("NR\t" + q.value(0).toString(), fields);
        }
    }
    QSqlDatabase::removeDatabase("imported");

    QFile expected(fixture("tang-jet4.expected.tsv"));
    QVERIFY(expected.open(QIODevice::ReadOnly));
    int compared = 0;
    for (const QByteArray &line : expected.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        const QStringList want = QString::fromUtf8(line).split('\t');
        const QString key = want[0] + "\t" + want[1];
        QVERIFY2(rows.contains(key), qPrintable(key));
        const QStringList got = rows.take(key);
        QCOMPARE(got.size(), want.size() - 2);
        for (int i = 0; i < got.size(); ++i) {
            // An empty short text may come over as a null.
            if (want[i + 2].isEmpty() && got[i] == "NULL")
                continue;
            QVERIFY2(got[i] == want[i + 2], qPrintable(QString("%1 field %2").arg(key).arg(i + 2)));
        }
        ++compared;
    }
    QCOMPARE(compared, 401);
    QVERIFY(rows.isEmpty()); // no row more than expected
}

void TestAccessImport::theReaderOpensTheImportedBook()
{
    const QString book = dir.filePath("reader.mdb");
    QCOMPARE(tool({"import", fixture("tang-jet4.mdb"), book}).code, 0);
    BrowserFixture f;
    ScriptedBoxes boxes;
    f.open(book);
    QVERIFY(boxes.shown.isEmpty());
    QVERIFY(f.window->windowTitle().endsWith("[00000]"));
    QVERIFY(f.root()->childCount() > 0);
    f.window->N9Click();
    QVERIFY(boxes.shown.isEmpty());
    int nodes = 0;
    for (QTreeWidgetItemIterator it(f.window->TreeView); *it; ++it)
        ++nodes;
    QVERIFY(nodes > 300);
}

void TestAccessImport::noBookTables()
{
    const QString book = dir.filePath("unicode.mdb");
    const Result r = tool({"import", fixture("testUnicodeCompV2003.mdb"), book});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, QString("ebook-tool: the Access file has no table ywzx_ywlb\n"));
    QVERIFY(!leftovers().contains("unicode.mdb"));
    for (const QString &name : leftovers())
        QVERIFY2(!name.endsWith(".tmp"), qPrintable(name));
}

void TestAccessImport::refusesToOverwrite()
{
    const QString book = dir.filePath("kept.mdb");
    QFile f(book);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("precious");
    f.close();
    const Result r = tool({"import", fixture("tang-jet4.mdb"), book});
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains("exists already"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("precious"));
}

void TestAccessImport::truncatedCopies()
{
    QFile source(fixture("tang-jet4.mdb"));
    QVERIFY(source.open(QIODevice::ReadOnly));
    const QByteArray whole = source.readAll();
    for (int size : {100000, 65536, 20480, 8192, 4096, 100}) {
        QTemporaryDir here;
        const QString cut = here.filePath("cut.mdb");
        QFile out(cut);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(whole.left(size));
        out.close();
        const QString book = here.filePath("book.mdb");
        const Result r = tool({"import", cut, book});
        QVERIFY2(r.code == 1, qPrintable(QString("size %1: exit %2").arg(size).arg(r.code)));
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY(r.err.startsWith("ebook-tool: "));
        QCOMPARE(QDir(here.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"cut.mdb"}));
    }
}

void TestAccessImport::notAnAccessFile()
{
    TestBook sqlite;
    const Result r = tool({"import", sqlite.path(), dir.filePath("x.mdb")});
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains("is not an Access database"));
    const Result missing = tool({"import", dir.filePath("none.mdb"), dir.filePath("y.mdb")});
    QCOMPARE(missing.code, 1);
    QVERIFY(missing.err.contains("cannot read"));
}

void TestAccessImport::readerNamesTheCommandForAnAccessFile()
{
    try {
        BookFile::verify(fixture("tang-jet4.mdb"));
        QFAIL("an Access file was taken for a book");
    } catch (const AppError &error) {
        QVERIFY2(error.message().contains("ebook-tool import"), qPrintable(error.message()));
    }
}

QTEST_MAIN(TestAccessImport)
#include "tst_accessimport.moc"
