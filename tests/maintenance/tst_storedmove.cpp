#include "../browser/BrowserFixture.h"

#include <QtTest>

// Drops in the staff edition write the move to the book (a reader's drop
// still moves the tree only), refused or asked about when another program
// changed the rows since the tree read them. Also run on a server book.
class TestStoredMove : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { f.window.reset(); book.reset(); }
    void staffDropIsStored();
    void dropOnUnloadedChapterReadsItOnce();
    void refusedMoveLeavesTheNodeInPlace_data();
    void refusedMoveLeavesTheNodeInPlace();
    void changeMadeElsewhereIsAsked();
    void readersDropWritesNothing();

private:
    // Drops the selected node on target's row as the tree's drop handler gets it.
    void dropOn(QTreeWidgetItem *target)
    {
        QTreeWidget *tree = f.window->TreeView;
        f.window->TreeViewDragDrop(tree->visualItemRect(target).center());
    }
    QString parentOf(const QString &chapter)
    {
        return book->scalar("select flbh from ywzx_ywlb where lbbh=?", {chapter}).toString();
    }
    std::unique_ptr<TestBook> book;
    BrowserFixture f;
};

void TestStoredMove::init()
{
    book = std::make_unique<TestBook>("书");
    book->chapter(2, "00001", "第一章", "00000");
    book->chapter(3, "00002", "第二章", "00000");
    book->chapter(4, "00012", "第二节", "00001");
    book->chapter(5, "00011", "第一节", "00001");
    book->chapter(6, "00021", "甲", "00002");
    book->chapter(7, "00022", "乙", "00021");
    book->article("00001", "文一", "00011");
    book->article("00002", "文二", "00011");
    f.open(book->path());
    f.window->offerMaintenance();
    f.window->N9Click();
}

void TestStoredMove::staffDropIsStored()
{
    ScriptedBoxes boxes(QMessageBox::Yes);
    QTreeWidgetItem *jia = f.node("甲");
    f.select(jia);
    dropOn(f.node("第一章"));
    QCOMPARE(boxes.shown.size(), 1); // the question alone
    QCOMPARE(parentOf("00021"), QString("00001"));
    QCOMPARE(jia->parent(), f.node("第一章"));
    // An article's chapter.
    f.select(f.node("文一"));
    dropOn(f.node("第二节"));
    QCOMPARE(book->scalar("select lbbh from ywzx_ywnr where nrbh='00001'").toString(), QString("00012"));
    // The stored structure is what the tree showed.
    f.window->N5Click();
    f.window->N9Click();
    QCOMPARE(f.childLabels(f.node("第一章")), QStringList({"第二节[00012]", "第一节[00011]", "甲[00021]"}));
    QCOMPARE(f.childLabels(f.node("第二节")), QStringList({"文一[N00001]"}));
    QCOMPARE(f.node("第二章")->childCount(), 0);
}

// The target's children are read before the move is written, so the
// moved chapter is not read among them as well.
void TestStoredMove::dropOnUnloadedChapterReadsItOnce()
{
    ScriptedBoxes boxes(QMessageBox::Yes);
    f.window->N5Click();
    QVERIFY(BookNode::isNotLoaded(f.node("第一章")));
    f.select(f.node("第二章"));
    dropOn(f.node("第一章"));
    QCOMPARE(parentOf("00002"), QString("00001"));
    QCOMPARE(f.childLabels(f.node("第一章")), QStringList({"第二节[00012]", "第一节[00011]", "第二章[00002]"}));
}

// Another program changed the book after the tree read it: the target
// chapter now lies inside the dragged one, or is gone, or the dragged
// chapter is gone; an article is no target.
void TestStoredMove::refusedMoveLeavesTheNodeInPlace_data()
{
    QTest::addColumn<QString>("elsewhere");
    QTest::addColumn<QString>("dragged");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("message");
    QTest::newRow("cycle") << "update ywzx_ywlb set flbh='00022' where lbbh='00001'" << "第二章" << "第一节"
                           << "目标章节已被其他程序移到此章节之下，章节不能移到自己的下级之中。请刷新后再试！";
    QTest::newRow("target gone") << "delete from ywzx_ywlb where lbbh='00012'" << "甲" << "第二节"
                                 << "目标章节已被其他程序删除，不能移到其下。请刷新后再试！";
    QTest::newRow("dragged gone") << "delete from ywzx_ywlb where lbbh='00022'" << "乙" << "第一章"
                                  << "此章节已被其他程序删除，不能移动。请刷新后再试！";
    QTest::newRow("onto an article") << "" << "甲" << "文二" << "只能把节点移到章节之下。";
}

void TestStoredMove::refusedMoveLeavesTheNodeInPlace()
{
    QFETCH(QString, elsewhere);
    QFETCH(QString, dragged);
    QFETCH(QString, target);
    QFETCH(QString, message);
    if (!elsewhere.isEmpty())
        book->exec(elsewhere);
    QTreeWidgetItem *node = f.node(dragged);
    QTreeWidgetItem *parent = node->parent();
    const int place = parent->indexOfChild(node);
    const QString storedParent = parentOf(BookNode::code(node));
    ScriptedBoxes boxes(QMessageBox::Yes);
    boxes.answerNext(QMessageBox::Yes);
    boxes.answerNext(QMessageBox::Ok);
    f.select(node);
    QVERIFY(!f.window->dropSelectedNodeOn(f.node(target)));
    QCOMPARE(node->parent(), parent);
    QCOMPARE(parent->indexOfChild(node), place);
    QCOMPARE(parentOf(BookNode::code(node)), storedParent);
    QCOMPARE(boxes.shown.size(), 2);
    QCOMPARE(boxes.shown[1].caption, QString("错误提示"));
    QCOMPARE(boxes.shown[1].text, message);
    QCOMPARE(boxes.shown[1].parent, static_cast<QWidget *>(f.window.get()));
}

void TestStoredMove::changeMadeElsewhereIsAsked()
{
    book->exec("update ywzx_ywlb set flbh='00001', xgr='王五' where lbbh='00021'");
    QTreeWidgetItem *jia = f.node("甲");
    ScriptedBoxes boxes;
    boxes.answerNext(QMessageBox::Yes);
    boxes.answerNext(QMessageBox::Cancel);
    f.select(jia);
    QVERIFY(!f.window->dropSelectedNodeOn(f.node("第一节")));
    QCOMPARE(boxes.shown.size(), 2);
    QCOMPARE(boxes.shown[1].caption, QString("警告"));
    QVERIFY2(boxes.shown[1].text.startsWith("系统检测到此类别在您打开之后已被其他程序修改。\r修改员工：王五，"),
             qPrintable(boxes.shown[1].text));
    QCOMPARE(parentOf("00021"), QString("00001"));
    QCOMPARE(jia->parent(), f.node("第二章"));
    // Consented: the move overwrites the other one.
    boxes.answerNext(QMessageBox::Yes);
    boxes.answerNext(QMessageBox::Ok);
    QVERIFY(f.window->dropSelectedNodeOn(f.node("第一节")));
    QCOMPARE(parentOf("00021"), QString("00011"));
    QCOMPARE(jia->parent(), f.node("第一节"));
    // A name changed elsewhere is asked about and then shown.
    book->exec("update ywzx_ywlb set lbmc='乙二' where lbbh='00022'");
    boxes.answerNext(QMessageBox::Yes);
    boxes.answerNext(QMessageBox::Ok);
    f.select(f.node("乙"));
    QVERIFY(f.window->dropSelectedNodeOn(f.node("第二章")));
    QCOMPARE(boxes.shown.size(), 6);
    QCOMPARE(f.childLabels(f.node("第二章")), QStringList({"乙二[00022]"}));
}

void TestStoredMove::readersDropWritesNothing()
{
    f.open(book->path());
    f.window->N9Click();
    ScriptedBoxes boxes(QMessageBox::Yes);
    QTreeWidgetItem *jia = f.node("甲");
    f.select(jia);
    const int before = f.statements();
    dropOn(f.node("第一章"));
    QCOMPARE(jia->parent(), f.node("第一章"));
    QCOMPARE(f.statements(), before);
    QCOMPARE(parentOf("00021"), QString("00002"));
}

QTEST_MAIN(TestStoredMove)
#include "tst_storedmove.moc"
