#include "BrowserFixture.h"
#include "browser/ChapterTree.h"
#include "data/ywzxDM.h"
#include "widgets/LoadProgress.h"
#include "search/FindDialog.h"

#include <QAbstractItemModel>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QtTest>
#include <optional>

// The tree at scale on a generated book (empty chapters, articles, a chapter
// with both, a self-parented row): whatever loads it in bulk (expand all,
// the name search, after refresh, collapse and drops) shows exactly what
// loading one chapter at a time shows; cancelled loads leave a usable tree;
// a writer elsewhere waits for a bulk read instead of failing.
class TestBulkTree : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void bulkLoadsShowWhatPerChapterLoadingShows();
    void firstExpansionIsOneChildQuery();
    void refreshLeavesNothingOfAnExpandAllBehind();
    void cancelledLoadsLeaveAConsistentTree();
    void writerWaitsForABulkLoad();
    void starExpandsTheBranchOnly();
    void chapterTreeWithoutAWindow_data();
    void chapterTreeWithoutAWindow();

private:
    // Every node in tree order: depth, label, images (of the window's tree by default).
    QStringList dump(const QTreeWidget *tree = nullptr) const;
    // What loading each chapter by itself gives: every node passed is loaded.
    void loadChapterByChapter();
    void dropSelectedOn(const QString &dragged, const QString &target);
    void dropTwo();
    int persistentIndexes() const;
    void findNothing();

    QTemporaryDir dir;
    QString book;
    BrowserFixture f;
};

void TestBulkTree::initTestCase()
{
    book = dir.filePath("bulk.mdb");
    QCOMPARE(runTool({"generate", book, "--chapters", "3000", "--fanout", "12", "--articles", "2000", "--text-bytes",
                      "50"})
                 .code,
             0);
    SqlFile file(book);
    file.exec("insert into ywzx_ywlb (id, lbbh, lbmc, flbh) values (5, '自身', '自己的父', '自身')");
    file.exec("insert into ywzx_ywnr (nrbh, nrbt, lbbh) values ('X0001', '隐文', '00001')"); // hidden by chapters
    file.exec("insert into ywzx_ywlb (id, lbbh, lbmc, flbh) values (3, 'B0001', '同号', '00000')"); // id tie
    file.exec("insert into ywzx_ywlb (id, lbbh, lbmc, flbh) values (4, 'B0002', '早号', '00001')"); // last row, low id
}

void TestBulkTree::cleanup()
{
    f.window.reset();
}

QStringList TestBulkTree::dump(const QTreeWidget *tree) const
{
    QStringList lines;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget *>(tree ? tree : f.window->TreeView)); *it; ++it)
        lines << QStringLiteral("%1 %2 %3/%4")
                     .arg(BookNode::levelOf(*it))
                     .arg((*it)->text(0))
                     .arg((*it)->data(0, NodeRole::Image).toInt())
                     .arg((*it)->data(0, NodeRole::SelectedImage).toInt());
    return lines;
}

void TestBulkTree::loadChapterByChapter()
{
    QList<QTreeWidgetItem *> pending{f.root()};
    while (!pending.isEmpty()) {
        QTreeWidgetItem *node = pending.takeLast();
        if (node->childCount() > 0)
            f.window->LoadChildren(node);
        for (int c = node->childCount() - 1; c >= 0; --c)
            pending << node->child(c);
    }
}

// Two drops on a freshly refreshed tree, one onto a chapter not loaded yet
// (its placeholder stays).
void TestBulkTree::dropTwo()
{
    f.window->N5Click();
    for (const char *chapter : {"第1章", "第3章", "第6章", "第83章"})
        f.node(chapter)->setExpanded(true);
    dropSelectedOn("第13章", "第2章");
    dropSelectedOn("第40章", "第1000章");
}

void TestBulkTree::dropSelectedOn(const QString &dragged, const QString &target)
{
    ScriptedBoxes yes(QMessageBox::Yes);
    f.select(f.node(dragged));
    QVERIFY(f.window->dropSelectedNodeOn(f.node(target)));
}

int TestBulkTree::persistentIndexes() const
{
    // The protected member is reached through a member pointer: the model
    // itself is no Model, so it is never cast to one.
    struct Model : QAbstractItemModel {
        using QAbstractItemModel::persistentIndexList;
    };
    const auto list = &Model::persistentIndexList;
    return (f.window->TreeView->model()->*list)().size();
}

void TestBulkTree::findNothing()
{
    f.select(f.root());
    f.window->FindDialog1->setText("没有这一章");
    f.window->FindDialog1Find();
}

void TestBulkTree::bulkLoadsShowWhatPerChapterLoadingShows()
{
    f.open(book);
    loadChapterByChapter();
    const QStringList whole = dump();
    QVERIFY(whole.size() > 5000);
    QVERIFY(!whole.join('\n').contains("EMPTY"));
    QVERIFY(!whole.join('\n').contains("自己的父") && !whole.join('\n').contains("隐文"));
    dropTwo();
    loadChapterByChapter();
    const QStringList dropped = dump();

    ScriptedBoxes boxes;
    f.open(book);
    f.window->N9Click();
    QCOMPARE(dump(), whole);
    f.window->N10Click();
    QCOMPARE(dump(), whole);
    const int statements = f.statements();
    f.window->N9Click(); // everything is loaded: the book is not read again
    QCOMPARE(f.statements(), statements);
    f.window->N5Click();
    f.window->N9Click();
    QCOMPARE(dump(), whole);
    f.window->N5Click();
    findNothing();
    QCOMPARE(dump(), whole);
    QCOMPARE(boxes.shown.size(), 1);
    dropTwo();
    f.window->N9Click();
    QCOMPARE(dump(), dropped);
}

void TestBulkTree::firstExpansionIsOneChildQuery()
{
    f.open(book);
    f.window->N5Click();
    QTreeWidgetItem *second = f.node("第2章");
    const int before = f.statements();
    second->setExpanded(true);
    QCOMPARE(f.statements(), before + 1);
    QCOMPARE(second->childCount(), 12);
}

// Refresh starts the view afresh: nothing that an expand all grew (the
// view's table of persistent indexes, walked by every row removal) is left.
void TestBulkTree::refreshLeavesNothingOfAnExpandAllBehind()
{
    f.open(book);
    f.window->N5Click();
    const int fresh = persistentIndexes();
    QSignalSpy resets(f.window->TreeView->model(), &QAbstractItemModel::modelReset);
    f.window->N9Click();
    QVERIFY(persistentIndexes() > 1000);
    f.window->N10Click();
    f.window->N5Click();
    QCOMPARE(resets.size(), 1);
    QCOMPARE(persistentIndexes(), fresh);
}

// The progress dialog shows at once here; the reader cancels it by Esc
// (expand all) or by 取消 (the name search) at its first update.
void TestBulkTree::cancelledLoadsLeaveAConsistentTree()
{
    const auto noDelay = LoadProgress::showAfterMs.replace([] { return 0; });
    ScriptedBoxes boxes;
    f.open(book);
    f.window->N5Click();
    QTreeWidgetItem *selected = f.node("第3章");
    f.select(selected);
    const auto cancelNext = [](bool byEscape) {
        QTimer::singleShot(0, [byEscape] {
            QWidget *dialog = QApplication::activeModalWidget();
            QVERIFY(dialog && dialog->objectName() == "LoadProgress");
            QCOMPARE(dialog->findChild<QPushButton *>()->text(), QString("取消"));
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::ArrowCursor); // not the load's wait cursor
            if (byEscape)
                QTest::keyClick(dialog, Qt::Key_Escape);
            else
                dialog->findChild<QPushButton *>()->click();
        });
    };
    const auto consistent = [&] {
        int unloaded = 0;
        for (QTreeWidgetItemIterator it(f.window->TreeView); *it; ++it) {
            unloaded += BookNode::isNotLoaded(*it);
            if ((*it)->childCount() > 0 && !BookNode::isNotLoaded(*it) && !(*it)->isExpanded())
                return -1; // expand all opens what it loaded
        }
        return unloaded;
    };
    cancelNext(true);
    f.window->N9Click();
    QVERIFY(consistent() > 0);
    QCOMPARE(f.window->TreeView->currentItem(), selected);
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(!QApplication::overrideCursor());

    f.window->N5Click();
    f.select(f.node("第1章"));
    f.window->FindDialog1->setText("没有这一章");
    cancelNext(false);
    f.window->FindDialog1Find();
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].text, QString("对不起,没有找到您要查找的内容!"));
    QCOMPARE(f.window->TreeView->currentItem(), f.node("第1章"));
    // Usable afterwards: a full load gives the whole book.
    f.window->N9Click();
    QCOMPARE(consistent(), 0);
}

// While expand all reads the book in one read transaction, another
// connection begins a write; it waits for the read to end and succeeds.
void TestBulkTree::writerWaitsForABulkLoad()
{
    QTemporaryDir copyDir;
    const QString copy = copyDir.filePath("copy.mdb");
    QVERIFY(QFile::copy(book, copy));
    f.open(copy);
    QSemaphore writing;
    QString writerError = "not run";
    std::unique_ptr<QThread> writer;
    std::optional<decltype(f.dm->ydconn.onStatement)::Override> watching;
    watching.emplace(f.dm->ydconn.onStatement, [&](const QString &sql) {
        if (writer || !sql.contains("from ywzx_ywnr"))
            return;
        writer.reset(QThread::create([&] {
            {
                QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "writer");
                db.setDatabaseName(copy);
                db.setConnectOptions("QSQLITE_BUSY_TIMEOUT=20000");
                db.open();
                QSqlQuery q(db);
                const bool began = q.exec("begin immediate");
                writing.release();
                if (!began || !q.exec("insert into ywzx_ywlb (id, lbbh, lbmc, flbh) values (9999, 'W0001', '新写', '00000')")
                    || !q.exec("commit"))
                    writerError = q.lastError().text();
                else
                    writerError.clear();
            }
            QSqlDatabase::removeDatabase("writer");
        }));
        writer->start();
        writing.acquire(); // the writer holds its reserved lock while the read goes on
    });
    f.window->N9Click();
    watching.reset();
    QVERIFY(writer);
    writer->wait();
    QCOMPARE(writerError, QString());
    QVERIFY(!f.node("新写")); // the read saw the book as it was when it began
    f.window->N5Click();
    QVERIFY(f.node("新写"));
}

// `*` on a node of a 1,500-deep chain opens its branch as expand all does
// (the outline read once, under the progress dialog) and nothing beside it,
// down to the 1000th level, as expand all; Esc in the dialog stops it with
// what was loaded open.
void TestBulkTree::starExpandsTheBranchOnly()
{
    TestBook chain("链书");
    chain.exec("with recursive n(i) as (select 1 union all select i + 1 from n where i < 1500) "
               "insert into ywzx_ywlb (id, lbbh, lbmc, flbh) "
               "select 10 + i, 'c' || i, '链' || i, case when i = 1 then '00000' else 'c' || (i - 1) end from n");
    chain.chapter(5000, "s0001", "旁支", "00000");
    chain.chapter(5001, "s0002", "旁支下", "s0001");
    chain.chapter(5002, "s0003", "侧枝", "c2"); // beside the branch opened
    chain.chapter(5003, "s0004", "侧枝下", "s0003");
    const auto noDelay = LoadProgress::showAfterMs.replace([] { return 0; });
    f.open(chain.path());
    const auto pressStarOnThird = [&](bool cancel) {
        f.window->N5Click();
        f.node("链1[")->setExpanded(true);
        f.node("链2[")->setExpanded(true);
        f.select(f.node("链3["));
        QString dialog;
        QTimer::singleShot(0, [&dialog, cancel] {
            if (QWidget *modal = QApplication::activeModalWidget())
                dialog = modal->objectName();
            if (cancel && QApplication::activeModalWidget())
                QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape);
        });
        const int before = f.statements();
        QTest::keyClick(f.window->TreeView, Qt::Key_Asterisk);
        QCOMPARE(dialog, QString("LoadProgress"));
        QVERIFY(f.statements() - before < 10); // the outline; one per chapter would be 1,000
        QCOMPARE(f.window->TreeView->currentItem(), f.node("链3["));
        QVERIFY(BookNode::isNotLoaded(f.node("侧枝")) && BookNode::isNotLoaded(f.node("旁支")));
        QVERIFY(!QApplication::activeModalWidget() && !QApplication::overrideCursor());
    };
    const auto openDownTo1000thLevel = [&] {
        for (QTreeWidgetItem *n = f.node("链999["); n != f.root(); n = n->parent())
            QVERIFY(n->isExpanded());
        QVERIFY(BookNode::isNotLoaded(f.node("链1000[")) && !f.node("链1000[")->isExpanded());
        QVERIFY(!f.node("链1001["));
    };
    pressStarOnThird(false);
    openDownTo1000thLevel();

    pressStarOnThird(true);
    QVERIFY(f.node("链4[")->isExpanded());
    QVERIFY(BookNode::isNotLoaded(f.node("链5[")));
    QVERIFY(!f.node("链6["));

    f.window->N9Click();
    openDownTo1000thLevel();
    QVERIFY(f.node("旁支下"));
}

void TestBulkTree::chapterTreeWithoutAWindow_data()
{
    QTest::addColumn<bool>("fromOutline");
    QTest::newRow("chapter by chapter") << false;
    QTest::newRow("from the outline") << true;
}

// The tree's content needs no window: on a bare view it loads, orders and
// gives images exactly as the window's tree does.
void TestBulkTree::chapterTreeWithoutAWindow()
{
    QFETCH(bool, fromOutline);
    f.open(book);
    loadChapterByChapter();
    const QStringList expected = dump();
    f.window.reset();
    BookTree view;
    ChapterTree tree(&view);
    tree.showRoot(ywzxDMF->reader.bookName());
    tree.LoadChildren(tree.rootNode());
    if (fromOutline) {
        tree.expandAll(nullptr);
    } else {
        for (QTreeWidgetItemIterator it(&view); *it; ++it)
            tree.LoadChildren(*it);
    }
    QCOMPARE(dump(&view), expected);
    QCOMPARE(expected.mid(0, 3), QStringList({"0 大书[00000] 0/1", "1 第1章[00001] 2/3", "2 早号[B0002] 4/5"}));
}

QTEST_MAIN(TestBulkTree)
#include "tst_bulktree.moc"
