#include "../browser/BrowserFixture.h"
#include "../maintenance/DialogScript.h"
#include "common/AppError.h"
#include "data/BookIndex.h"
#include "bookcare/BookIndexUpkeep.h"
#include "maintenance/ywlbwhFrm.h"
#include "data/FullTextQuery.h"

#include <QCryptographicHash>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QtTest>

// The full-text index: written by ebook-tool, kept right by every writer,
// and giving the search exactly the scan's results.
class TestFullTextIndex : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void indexedAndScannedAgree();
    void variantsThroughTheIndex_data();
    void variantsThroughTheIndex();
    void indexFollowsEveryWriter();
    void longSavesKeepTheIndex();
    void savesSetThePreviousTriggersAside();
    void checkRepairsAndToolCommands();
    void everyDamageRepaired_data();
    void everyDamageRepaired();
    void readerChangesNoBook();

private:
    QString copyOf(const QString &name, bool indexed);
    QString check(const QString &book);
    QTemporaryDir dir;
    QString demo;
};

// The chapters whose text holds text, in the order the search lists them,
// and whether the index answered.
static QStringList hits(const QString &book, const QString &text, bool *indexed = nullptr,
                        const QStringList &within = {}, bool variants = false)
{
    TywzxDMF dm;
    dm.ydconn.setDatabaseFile(book);
    const QString restriction = within.isEmpty() ? QString() : QStringLiteral("lbbh in (select value from json_each(:codes))");
    prepareTextSearch(dm.Query, QStringLiteral("lbbh"), text, restriction, variants);
    if (!within.isEmpty())
        dm.Query.setText("codes", "[\"" + within.join("\",\"") + "\"]");
    if (indexed)
        *indexed = dm.Query.sqlText().contains("match");
    dm.Query.open();
    QStringList codes;
    for (dm.Query.first(); !dm.Query.eof(); dm.Query.next())
        codes << dm.Query.fieldAsText("lbbh");
    return codes;
}

void TestFullTextIndex::initTestCase()
{
    demo = dir.filePath("demo.mdb");
    QCOMPARE(runTool({"demo", demo}).code, 0);
    // ASCII letters and a quote, and a chapter without a code, written through the triggers.
    SqlFile(demo).exec("insert into ywzx_ywlb (id, lbbh, lbmc, flbh, ywnr) values "
                       "(900, 'en', 'Moon River', '00000', 'Moon River, wider than a mile\r\nO''Neil \"sang\" 100% a_b'),"
                       "(901, NULL, 'No code', '00000', 'moon river without a code'),"
                       "(902, 'dup', 'Two of one code', '00000', '甲乙丙'), (903, 'dup', 'Two of one code', '00000', '丁戊')");
}

QString TestFullTextIndex::copyOf(const QString &name, bool indexed)
{
    const QString path = dir.filePath(name);
    QFile::remove(path);
    QFile::copy(demo, path);
    if (!indexed)
        runTool({"index", "--drop", path});
    return path;
}

QString TestFullTextIndex::check(const QString &book)
{
    return runTool({"index", "--check", book, "--lang", "en"}).out.section(book, 1).trimmed();
}

// Pieces of the book's own texts, 1 to 6 characters long, some across a
// CR LF or at a text's start or end, with "%", "_", quotes and ASCII case
// changed; and texts in no chapter.
static QStringList searchTexts(const QString &book)
{
    QStringList texts{"不在书中的字句", "moon", "MOON RIVER", "o'neil", "\"sang\"", "100%", "a_b", "0% a", "%", "_",
                      "__", "r%r", "e_ _h", "丁", "丙", "乙丙"};
    SqlFile file(book);
    const int count = file.scalar("select count(*) from ywzx_ywlb where length(ywnr) > 20").toInt();
    for (int i = 0; texts.size() < 240; ++i) {
        const QString text = file.scalar("select ywnr from ywzx_ywlb where length(ywnr) > 20 order by rowid limit 1 offset ?",
                                         {i % count}).toString();
        const int length = 1 + i % 6;
        const int breakAt = text.indexOf("\r\n", (i * 37) % text.size());
        int at = i % 5 == 0 && breakAt > length ? breakAt - length / 2 : (i * 53) % (text.size() - length);
        if (i % 13 == 6 || i % 13 == 7) // a text's start or end
            at = i % 13 == 6 ? 0 : text.size() - length;
        QString piece = text.mid(at, length);
        if (i % 7 == 3 && length > 2)
            piece[length / 2] = '_';
        if (i % 11 == 4 && length > 3)
            piece.insert(1, '%');
        texts << piece;
    }
    return texts;
}

void TestFullTextIndex::indexedAndScannedAgree()
{
    const QString indexed = copyOf("indexed.mdb", true);
    const QString scanned = copyOf("scanned.mdb", false);
    int answeredByIndex = 0;
    int found = 0;
    const QStringList texts = searchTexts(indexed);
    QVERIFY(texts.size() >= 200);
    for (const QString &text : texts) {
        bool usedIndex = false;
        const QStringList fromIndex = hits(indexed, text, &usedIndex);
        QCOMPARE(fromIndex, hits(scanned, text));
        answeredByIndex += usedIndex;
        if (text.size() >= 2 && !text.contains(QRegularExpression("[%_]")) && text.contains(QRegularExpression("[^\\x00-\\x7f]")))
            QVERIFY2(usedIndex, qPrintable(text)); // two characters or more are the index's
        if (text.toUcs4().size() == 1) // one character: the index's unless ASCII
            QVERIFY2(usedIndex == (text.at(0).unicode() >= 0x80), qPrintable(text));
        found += !fromIndex.isEmpty();
        if (!fromIndex.isEmpty()) // the narrowing's statement too
            QCOMPARE(hits(indexed, text, nullptr, fromIndex.mid(1)), hits(scanned, text, nullptr, fromIndex.mid(1)));
    }
    QVERIFY2(answeredByIndex > texts.size() * 2 / 3 && answeredByIndex < texts.size() - 10, qPrintable(QString::number(answeredByIndex)));
    QVERIFY(found > 150);
}

void TestFullTextIndex::variantsThroughTheIndex_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("variant"); // a chapter holding only other forms
    QTest::newRow("simplified finds traditional") << "黄鹤楼" << "v1";
    QTest::newRow("second character varies") << "令人恶" << "v2";
    QTest::newRow("narrow finds wide") << "噁心" << "v2";
}

// 繁简通查 through the index: every variant pair of the word is looked up,
// with the scan's result.
void TestFullTextIndex::variantsThroughTheIndex()
{
    QFETCH(QString, typed);
    QFETCH(QString, variant);
    const QString indexed = copyOf("variants-indexed.mdb", true);
    const QString scanned = copyOf("variants-scanned.mdb", false);
    for (const QString &book : {indexed, scanned})
        SqlFile(book).exec("insert into ywzx_ywlb (id, lbbh, lbmc, flbh, ywnr) values "
                           "(910, 'v1', '繁', '00000', '登黃鶴樓'), (911, 'v2', '混', '00000', '黃鹤樓 令人𫫇心'),"
                           "(912, 'v3', '简', '00000', '黄鹤楼')");
    bool usedIndex = false;
    const QStringList found = hits(indexed, typed, &usedIndex, {}, true);
    QVERIFY(usedIndex);
    QVERIFY2(found.contains(variant), qPrintable(found.join(' ')));
    QCOMPARE(found, hits(scanned, typed, nullptr, {}, true));
}

// The dialogs' saves and deletes, another connection's write and VACUUM
// all leave the index right.
void TestFullTextIndex::indexFollowsEveryWriter()
{
    const QString book = copyOf("writers.mdb", true);
    BrowserFixture f;
    f.open(book);
    ScriptedBoxes boxes;
    const QString leaf = SqlFile(book).scalar("select lbbh from ywzx_ywlb where lbbh not in (select flbh from ywzx_ywlb) "
                                              "and lbbh <> '00000' and lbbh <> 'en' order by rowid limit 1").toString();
    f.window->landOnChapter(leaf);
    whileShown<TywlbwhForm>([&] { ShowChapterDialog(leaf, f.window->TreeView, 2); }, [](TywlbwhForm &d) {
        d.nr_memo->setPlainText("改写之后的新文字");
        d.ok_lb_btnClick();
    });
    QCOMPARE(hits(book, "改写之后"), QStringList{leaf});
    QCOMPARE(check(book), QString("is right"));
    f.window->delete_lb_btnClick();
    f.select(f.root());
    whileShown<TywlbwhForm>([&] { ShowChapterDialog("00000", f.window->TreeView, 1); }, [](TywlbwhForm &d) {
        d.lb_lbmc_Edit->setText("新章");
        d.nr_memo->setPlainText("新添章节的文字");
        d.ok_lb_btnClick();
    });
    QCOMPARE(hits(book, "新添章节").size(), 1);
    QVERIFY(hits(book, "改写之后").isEmpty());
    QCOMPARE(check(book), QString("is right"));
    f.window.reset();
    SqlFile other(book);
    other.exec("update ywzx_ywlb set ywnr = 'Another writer' where lbbh = 'en'");
    other.exec("delete from ywzx_ywlb where rowid in (select rowid from ywzx_ywlb order by rowid limit 3 offset 5)");
    QCOMPARE(hits(book, "another WRITER"), QStringList{"en"});
    QCOMPARE(check(book), QString("is right"));
    // The sqlite3 program, which knows nothing of this one.
    QProcess sqlite;
    sqlite.start("sqlite3", {book, "update ywzx_ywlb set ywnr = ywnr || '外来工具' where lbbh = '00001';"
                                   "insert into ywzx_ywlb (lbbh, lbmc, flbh, ywnr) values ('zy', '外', '00000', 'x外来工具');"
                                   "update ywzx_ywlb set lbbh = 'zz' where lbbh = 'zy'"});
    QVERIFY(sqlite.waitForFinished() && sqlite.exitCode() == 0);
    QCOMPARE(hits(book, "外来工具"), QStringList({"00001", "zz"}));
    QCOMPARE(check(book), QString("is right"));
    const QString before = hits(book, "明月").join(' ');
    other.exec("vacuum");
    QCOMPARE(hits(book, "明月").join(' '), before);
    QCOMPARE(check(book), QString("is right"));
    QCOMPARE(boxes.shown.size(), 1); // the delete's question
}

// A text of several hundred thousand characters, saved by the dialog (the
// program keeps the index) and by another connection (the triggers do), in
// a code two chapters share; the dialog's save runs as many statements as
// for a short text.
void TestFullTextIndex::longSavesKeepTheIndex()
{
    const QString book = copyOf("long.mdb", true);
    const QString code = SqlFile(book).scalar("select lbbh from ywzx_ywlb where lbbh not in (select flbh from ywzx_ywlb)"
                                              " and lbbh <> '00000' order by rowid limit 1 offset 3").toString();
    SqlFile(book).exec("insert into ywzx_ywlb (id, lbbh, lbmc, flbh, ywnr) values (990, ?, '同码', '00000', '同码另章的字')",
                       {code});
    QString text;
    for (int i = 0; text.size() < 300000; ++i)
        text += QStringLiteral("第%1段，a\u00A0B 𫢸僤\r\n").arg(i);
    text += QStringLiteral("长文末尾");
    BrowserFixture f;
    f.open(book);
    f.window->landOnChapter(code);
    const auto statementsOfSave = [&](const QString &newText) {
        int count = 0;
        bool waitCursor = false;
        const auto counting = f.dm->ydconn.onStatement.replace([&](const QString &sql) {
            ++count;
            if (sql.contains("update ywzx_ywlb"))
                waitCursor = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        });
        whileShown<TywlbwhForm>([&] { ShowChapterDialog(code, f.window->TreeView, 2); }, [&](TywlbwhForm &d) {
            d.nr_memo->setPlainText(newText);
            QVERIFY(d.SaveChapter());
        });
        [&] { QVERIFY(waitCursor); }();
        return count;
    };
    QCOMPARE(statementsOfSave(text), statementsOfSave("短文"));
    QCOMPARE(statementsOfSave(text), statementsOfSave("短"));
    QCOMPARE(hits(book, "长文末尾"), QStringList({code, code}));
    QCOMPARE(hits(book, "同码另章").size(), 0); // the dialog writes every row of its code
    QCOMPARE(check(book), QString("is right"));
    f.window.reset();
    SqlFile(book).exec("update ywzx_ywlb set ywnr = ywnr || '又一句' where rowid = (select max(rowid) from ywzx_ywlb where lbbh = ?)",
                       {code});
    SqlFile(book).exec("update ywzx_ywlb set ywnr = '另一连接' where rowid = (select min(rowid) from ywzx_ywlb where lbbh = ?)",
                       {code});
    QCOMPARE(hits(book, "长文末尾又一句"), QStringList{code});
    QCOMPARE(hits(book, "另一连接"), QStringList{code});
    QCOMPARE(check(book), QString("is right"));
}

// A book whose triggers have no quiet table (the previous program's): the
// dialog's save sets them aside for its transaction and puts them back.
void TestFullTextIndex::savesSetThePreviousTriggersAside()
{
    const QString book = copyOf("previous.mdb", true);
    SqlFile(book).exec("drop table ywzx_ywlb_fts_quiet");
    const QString triggers = "select group_concat(sql, ';') from (select sql from sqlite_master where type = 'trigger' order by name)";
    const QString before = SqlFile(book).scalar(triggers).toString();
    const QString code = SqlFile(book).scalar("select lbbh from ywzx_ywlb where lbbh not in (select flbh from ywzx_ywlb)"
                                              " and lbbh <> '00000' order by rowid limit 1").toString();
    const QString old = SqlFile(book).scalar("select substr(ywnr, 1, 4) from ywzx_ywlb where lbbh = ?", {code}).toString();
    BrowserFixture f;
    f.open(book);
    f.window->landOnChapter(code);
    whileShown<TywlbwhForm>([&] { ShowChapterDialog(code, f.window->TreeView, 2); }, [&](TywlbwhForm &d) {
        d.nr_memo->setPlainText("旧式触发器之下的新文字");
        QVERIFY(d.SaveChapter());
    });
    QCOMPARE(SqlFile(book).scalar(triggers).toString(), before);
    QCOMPARE(hits(book, "触发器之下"), QStringList{code});
    QVERIFY(!hits(book, old).contains(code));
    // Its FTS5 table had no prefixes: a single character scans.
    SqlFile(book).exec("drop table ywzx_ywlb_fts");
    SqlFile(book).exec("create virtual table ywzx_ywlb_fts using fts5(ywnr, content = '', detail = none, tokenize = \"ascii\")");
    bool indexed = true;
    const QString scan = "select group_concat(lbbh, ' ') from (select lbbh from ywzx_ywlb where ywnr like '%月%' order by rowid)";
    QCOMPARE(hits(book, "月", &indexed).join(' '), SqlFile(book).scalar(scan).toString());
    QVERIFY(!indexed);
}

void TestFullTextIndex::checkRepairsAndToolCommands()
{
    const QString book = copyOf("damaged.mdb", true);
    SqlFile(book).exec("delete from ywzx_ywlb_fts_key where docid in (select docid from ywzx_ywlb_fts_key limit 5)");
    SqlFile(book).exec("insert into ywzx_ywlb_fts (rowid, ywnr) values ((select max(docid) from ywzx_ywlb_fts_key), 'x y')");
    QCOMPARE(check(book), QString("differed from the texts; rebuilt"));
    QCOMPARE(check(book), QString("is right"));
    SqlFile(book).exec("drop trigger ywzx_ywlb_fts_update");
    QCOMPARE(check(book), QString("differed from the texts; rebuilt"));
    QCOMPARE(runTool({"index", book}).code, 1); // there already
    QCOMPARE(runTool({"index", "--drop", book}).code, 0);
    QCOMPARE(runTool({"index", "--check", book}).code, 1); // nothing to check
    QCOMPARE(runTool({"index", "--wrong", book}).code, 2);
    // An earlier program's index (trigrams with a copy of the texts): the
    // reader scans, and "index" or "index --check" makes it today's.
    for (const QStringList &command : {QStringList{"index"}, QStringList{"index", "--check"}}) {
        const QString older = copyOf("older.mdb", false);
        SqlFile(older).exec("create table ywzx_ywlb_fts_key (docid integer primary key, lbbh varchar(5))");
        SqlFile(older).exec("create virtual table ywzx_ywlb_fts using fts5(ywnr, tokenize = 'trigram')");
        SqlFile(older).exec("insert into ywzx_ywlb_fts (rowid, ywnr) values (1, '明月光')");
        bool indexed = true;
        QCOMPARE(hits(older, "明月光", &indexed), hits(demo, "明月光"));
        QVERIFY(!indexed);
        QCOMPARE(runTool(command + QStringList{older}).code, 0);
        QCOMPARE(check(older), QString("is right"));
    }
    // Written with the index unless told otherwise.
    const QString plain = dir.filePath("plain.mdb");
    QCOMPARE(runTool({"create", plain, "书", "--no-index"}).code, 0);
    QCOMPARE(runTool({"index", "--drop", plain}).code, 1);
    const QString fresh = dir.filePath("fresh.mdb");
    QCOMPARE(runTool({"create", fresh, "书"}).code, 0);
    QCOMPARE(check(fresh), QString("is right"));
}

void TestFullTextIndex::everyDamageRepaired_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<bool>("broken"); // the index cannot be read: saves fail
    QTest::addColumn<bool>("findsNothing"); // it reads, but finds no text
    QTest::newRow("config rows") << "delete from ywzx_ywlb_fts_config" << true << false;
    QTest::newRow("structure record") << "delete from ywzx_ywlb_fts_data where id = 10" << true << false;
    QTest::newRow("data table") << "drop table ywzx_ywlb_fts_data" << true << false;
    QTest::newRow("config table") << "drop table ywzx_ywlb_fts_config" << true << false;
    QTest::newRow("key table") << "drop table ywzx_ywlb_fts_key" << true << false;
    QTest::newRow("fts table") << "drop table ywzx_ywlb_fts" << true << false;
    QTest::newRow("both tables, triggers left") << "drop table ywzx_ywlb_fts; drop table ywzx_ywlb_fts_key" << true << false;
    QTest::newRow("keys") << "delete from ywzx_ywlb_fts_key where docid % 3 = 0" << false << false;
    QTest::newRow("entries") << "insert into ywzx_ywlb_fts (ywzx_ywlb_fts) values ('delete-all')" << false << true;
    QTest::newRow("lookup table") << "delete from ywzx_ywlb_fts_idx" << false << true;
    QTest::newRow("numbers") << "delete from ywzx_ywlb_fts_n where n > 9" << false << false;
    QTest::newRow("a trigger") << "drop trigger ywzx_ywlb_fts_insert" << false << false;
    QTest::newRow("triggers only") << "drop trigger ywzx_ywlb_fts_insert; drop trigger ywzx_ywlb_fts_delete;"
                                      " drop trigger ywzx_ywlb_fts_update" << false << false;
    QTest::newRow("a quiet row left") << "insert into ywzx_ywlb_fts_quiet values (1)" << false << false;
    QTest::newRow("scratch rows left") << "insert into ywzx_ywlb_fts_scratch values ('明月')" << false << false;
    QTest::newRow("feed trigger") << "drop trigger ywzx_ywlb_fts_feed_pairs" << false << false;
    QTest::newRow("feed table") << "drop table ywzx_ywlb_fts_feed" << false << false;
}

// Whatever part of the index is damaged or gone: a search gives the scan's
// hits when the index cannot be read or finds nothing, a save names the
// repair, and both "index --check" and "index --drop" then "index" make it
// right again.
void TestFullTextIndex::everyDamageRepaired()
{
    QFETCH(QString, damage);
    QFETCH(bool, broken);
    QFETCH(bool, findsNothing);
    const QString scanned = copyOf("scan-reference.mdb", false);
    const QString text = "明月光";
    for (bool byCheck : {true, false}) {
        const QString book = copyOf(byCheck ? "check-damaged.mdb" : "drop-damaged.mdb", true);
        for (const QString &statement : damage.split(';'))
            SqlFile(book).exec(statement);
        if (broken || findsNothing) { // the search scans
            bool indexed = true;
            QCOMPARE(hits(book, text, &indexed), hits(scanned, text));
            QVERIFY(!indexed);
        }
        if (broken) {
            TywzxDMF dm;
            dm.ydconn.setDatabaseFile(book);
            dm.updateQuery.setSql({"insert into ywzx_ywlb (id,lbbh,lbmc,flbh,ywnr) values (990,'zz','新','00000','明月光')"});
            QString message;
            try {
                dm.updateQuery.execSql();
            } catch (const AppError &error) {
                message = error.message();
            }
            QVERIFY2(message.contains("ebook-tool index --check " + book), qPrintable(message));
        }
        if (byCheck) {
            QCOMPARE(check(book), QString("differed from the texts; rebuilt"));
        } else {
            const ToolRun dropped = runTool({"index", "--drop", book});
            QVERIFY2(dropped.code == 0, qPrintable(dropped.err));
            QCOMPARE(SqlFile(book).scalar("select count(*) from sqlite_master where name glob 'ywzx_ywlb_fts*'").toInt(), 0);
            QCOMPARE(runTool({"index", book}).code, 0);
        }
        QCOMPARE(check(book), QString("is right"));
        bool indexed = false;
        QCOMPARE(hits(book, text, &indexed), hits(scanned, text));
        QVERIFY(indexed);
    }
}

// Opening and searching leave a book without the index byte for byte as it
// was, and one with it too.
void TestFullTextIndex::readerChangesNoBook()
{
    for (bool indexed : {false, true}) {
        const QString book = copyOf(indexed ? "read-indexed.mdb" : "read-plain.mdb", indexed);
        const auto digest = [&] {
            QFile file(book);
            file.open(QIODevice::ReadOnly);
            return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
        };
        const QByteArray before = digest();
        {
            BrowserFixture f;
            f.open(book);
            for (const char *text : {"明月光", "明月", "床_明"})
                QVERIFY(!hits(book, text).isEmpty());
        }
        QCOMPARE(digest(), before);
    }
}

QTEST_MAIN(TestFullTextIndex)
#include "tst_fulltextindex.moc"
