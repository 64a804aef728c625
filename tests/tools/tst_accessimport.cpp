#include "../browser/BrowserFixture.h"
#include "common/AppError.h"
#include "data/BookFile.h"

#include <QSqlQuery>
#include <QRandomGenerator>
#include <QtTest>
#include <sys/resource.h>

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
    void damagedCopiesFailCleanlyOrComeOverWhole();
    void readerStoppedBySignal();
    void notAnAccessFile();
    void readerNamesTheCommandForAnAccessFile();

private:
    using Result = ToolRun;
    static Result tool(const QStringList &args) { return runTool(args + QStringList{"--lang", "en"}); } // its messages in English
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

using Rows = QHash<QString, QStringList>; // "LB\tid" or "NR\tid": the other fields

static Rows importedRows(const QString &book)
{
    Rows rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "imported");
        db.setDatabaseName(book);
        db.open();
        QSqlQuery q(db);
        const auto read = [&](const QString &kind, const QString &sql, int fields) {
            q.exec(sql);
            while (q.next()) {
                QStringList values;
                for (int i = 1; i <= fields; ++i)
                    values << hexOf(q.value(i));
                rows.insert(kind + "\t" + q.value(0).toString(), values);
            }
        };
        read("LB", "select id,lbbh,lbmc,flbh,xgrq,xgr,ywnr,photoimage,checkimage from ywzx_ywlb", 8);
        read("NR", "select id,nrbh,nrbt,lbbh,xgrq,xgr,ywnr from ywzx_ywnr", 6);
    }
    QSqlDatabase::removeDatabase("imported");
    return rows;
}

static Rows expectedRows(const QString &path)
{
    QFile expected(path);
    expected.open(QIODevice::ReadOnly);
    Rows rows;
    for (const QByteArray &line : expected.readAll().split('\n')) {
        const QStringList fields = QString::fromUtf8(line).split('\t');
        if (fields.size() > 2)
            rows.insert(fields[0] + "\t" + fields[1], fields.mid(2));
    }
    return rows;
}

// Where got differs from want, or an empty text when every row came over
// exactly (an empty short text may come over as a null).
static QString difference(const Rows &got, const Rows &want)
{
    if (got.size() != want.size())
        return QString("%1 rows instead of %2").arg(got.size()).arg(want.size());
    for (auto row = want.begin(); row != want.end(); ++row) {
        const QStringList fields = got.value(row.key());
        if (fields.size() != row->size())
            return "no row " + row.key();
        for (int i = 0; i < fields.size(); ++i)
            if (fields[i] != row->at(i) && !(row->at(i).isEmpty() && fields[i] == "NULL"))
                return QString("%1 field %2").arg(row.key()).arg(i + 2);
    }
    return QString();
}

void TestAccessImport::everyFieldOfEveryRow()
{
    const QString book = dir.filePath("tang.mdb");
    const Result r = tool({"import", fixture("tang-jet4.mdb"), book});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.contains("88 rows of ywzx_ywlb") && r.out.contains("313 rows of ywzx_ywnr"));
    QVERIFY(r.err.isEmpty()); // no progress lines without a terminal
    const Rows want = expectedRows(fixture("tang-jet4.expected.tsv"));
    QCOMPARE(want.size(), 401);
    const QString differs = difference(importedRows(book), want);
    QVERIFY2(differs.isEmpty(), qPrintable(differs));
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

// A fixed, seeded set of damaged copies: cut at page boundaries (the size
// check lets those through), each page zeroed, and with bytes overwritten
// anywhere. Each import fails with one line and leaves nothing behind, or
// brings every row over. A cut copy or one with a page zeroed that imports
// must match every field (a long value's pages are checked); a byte
// overwritten inside a stored value changes that value, which no reader can
// notice (Access keeps no checksums), so there the rows themselves must all
// be there.
void TestAccessImport::damagedCopiesFailCleanlyOrComeOverWhole()
{
    QFile source(fixture("tang-jet4.mdb"));
    QVERIFY(source.open(QIODevice::ReadOnly));
    const QByteArray whole = source.readAll();
    const Rows want = expectedRows(fixture("tang-jet4.expected.tsv"));
    QRandomGenerator random(20261209);
    const int pages = int(whole.size() / 4096);
    QList<QPair<QString, QByteArray>> copies;
    for (int i = 0; i < 50; ++i) {
        const int kept = 2 + int(random.bounded(pages - 2));
        copies << qMakePair(QString("cut at page %1").arg(kept), whole.left(kept * 4096));
    }
    for (int page = 2; page < pages; ++page) // a lost usage map reads as a table of fewer rows
        copies << qMakePair(QString("page %1 zeroed").arg(page), QByteArray(whole).replace(page * 4096, 4096, QByteArray(4096, 0)));
    // The 30,000-character memo of chapter row 7 runs over pages 44 on; its
    // first part's link to the next part is sent outside the file, which the
    // walk along the parts must name (libmdb alone would read nothing).
    const QString chainLeaves = "long memo's chain leaves the file";
    copies << qMakePair(chainLeaves, QByteArray(whole).replace(44 * 4096 + 20, 4, QByteArray(1, 0) + QByteArray(3, char(0xff))));
    for (int i = 0; i < 60; ++i) {
        QByteArray flipped = whole;
        QStringList at;
        for (int n = 1 + int(random.bounded(4)); n > 0; --n) {
            const int position = int(random.bounded(whole.size()));
            flipped[position] = char(flipped[position] ^ (1 + random.bounded(255)));
            at << QString::number(position);
        }
        copies << qMakePair("bytes changed at " + at.join(','), flipped);
    }
    int failed = 0;
    for (const auto &[name, bytes] : copies) {
        QTemporaryDir here;
        QFile out(here.filePath("copy.mdb"));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        out.close();
        const Result r = tool({"import", out.fileName(), here.filePath("book.mdb")});
        if (r.code == 0) {
            QVERIFY2(name != chainLeaves, "a memo whose chain leaves the file imported");
            const Rows got = importedRows(here.filePath("book.mdb"));
            const QString differs = !name.startsWith("bytes") ? difference(got, want)
                                    : QSet<QString>(got.keyBegin(), got.keyEnd()) == QSet<QString>(want.keyBegin(), want.keyEnd())
                                        ? QString()
                                        : QString("%1 rows, not the expected ones").arg(got.size());
            QVERIFY2(differs.isEmpty(), qPrintable(name + ": imported with " + differs));
            continue;
        }
        ++failed;
        QVERIFY2(r.code == 1, qPrintable(name + ": " + r.err));
        QVERIFY2(name != chainLeaves || r.err.contains("row 7, column ywnr: the long value is broken (a part on page 16777215"),
                 qPrintable(r.err));
        QVERIFY2(r.err.startsWith("ebook-tool: ") && r.err.count('\n') == 1, qPrintable(name + ": " + r.err));
        QCOMPARE(QDir(here.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"copy.mdb"}));
    }
    qInfo("%d of %d damaged copies refused, the rest imported whole", failed, int(copies.size()));
}

// The reader child killed from outside (here by the file size limit while it
// writes the book) is reported as such, not as a damaged Access file.
void TestAccessImport::readerStoppedBySignal()
{
    QProcess process;
    process.setChildProcessModifier([] {
        const rlimit limit{64 * 1024, 64 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    process.start(qEnvironmentVariable("EBOOK_TOOL"), {"import", fixture("tang-jet4.mdb"), dir.filePath("limited.mdb"), "--lang", "en"});
    QVERIFY(process.waitForFinished(120000));
    QCOMPARE(process.exitCode(), 1);
    QCOMPARE(QString::fromUtf8(process.readAllStandardError()),
             QString("ebook-tool: the Access reader was stopped: file size limit exceeded\n"));
    for (const QString &name : leftovers())
        QVERIFY2(!name.startsWith(".limited.mdb") && name != "limited.mdb", qPrintable(name));
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
