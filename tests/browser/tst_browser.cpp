#include "browser/PanePrint.h"
#include "BrowserFixture.h"
#include "app/EbookApplication.h"
#include "browser/MC_About.h"
#include "common/AppError.h"
#include "maintenance/DialogScript.h"
#include "maintenance/ywlbwhFrm.h"
#include "maintenance/ywnrwhFrm.h"

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QStatusBar>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QToolButton>
#include <QtTest>

// The browser window on real books: tree content and lazy loading, icons,
// single-expand, drag and drop, the reading pane and its button states, the
// clock, printing and the about window.
class TestBrowser : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { EbookApplication::installFontSubstitutions(); }
    void init();
    void cleanup();
    void contentAfterStart();
    void emptyBookLeavesTheRootSelected();
    void lazyLoadingQueriesOncePerChapter();
    void chaptersHideArticlesAndSelfParents();
    void articlesLoadWhenNoChildChapters();
    void refreshMovesDeepSelectionToRoot();
    void expandAllCollapseAll();
    void iconLevels();
    void dropRefusals();
    void confirmedDropMovesTheTreeOnly();
    void dropOnUnloadedChapterJoinsItsChildren();
    void singleExpandOnAndOff();
    void clicksActOnTheNodeShown();
    void nodesActOnTheirOwnRecord();
    void buttonStates();
    void showContent();
    void failingQueryIsReportedAfterTheTitle();
    void clockText();
    void editMenu();
    void printingThePane();
    void endlessLineReadsBackAsStored();
    void oneAboutWindow();

private:
    void makeBook();
    std::unique_ptr<TestBook> book;
    BrowserFixture f;
};

void TestBrowser::makeBook()
{
    book = std::make_unique<TestBook>("书");
    book->exec("update ywzx_ywlb set ywnr='根的正文' where lbbh='00000'");
    book->chapter(2, "00001", "第一章", "00000", "第一章正文\r\n第二行");
    book->chapter(3, "00002", "第二章", "00000", QVariant());
    book->chapter(5, "00011", "第一节", "00001", "第一节正文");
    book->chapter(4, "00012", "第二节", "00001", "");
    book->chapter(6, "00021", "甲", "00002");
    book->chapter(7, "00022", "乙", "00021");
    book->chapter(8, "00023", "深处", "00022", "深处正文");
    book->chapter(9, "00099", "自己", "00099");
    book->article("00001", "文一", "00011", "文一正文");
    book->article("00002", "文二", "00011", "文二正文");
    book->article("00003", "不显示", "00001", "章下之文");
    book->article("00004", "孤文", "09999", "无章之文");
}

void TestBrowser::init()
{
    makeBook();
    f.open(book->path());
}

void TestBrowser::cleanup()
{
    f.window.reset();
    book.reset();
}

void TestBrowser::contentAfterStart()
{
    QCOMPARE(f.window->windowTitle(), QString("书[00000]"));
    QCOMPARE(f.window->TreeView->topLevelItemCount(), 1);
    QVERIFY(f.root()->isExpanded());
    QCOMPARE(f.childLabels(f.root()), QStringList({"第一章[00001]", "第二章[00002]"}));
    QCOMPARE(f.window->TreeView->currentItem(), f.root()->child(0));
    QCOMPARE(f.window->Edit1->text(), QString("第一章[00001]"));
    QCOMPARE(f.window->memo1->toPlainText(), QString("第一章正文\n第二行"));
    // The selected first chapter opened (auto-expand) and was loaded.
    QCOMPARE(f.childLabels(f.root()->child(0)), QStringList({"第二节[00012]", "第一节[00011]"}));
    QCOMPARE(f.childLabels(f.root()->child(1)), QStringList({"EMPTY"}));
}

void TestBrowser::emptyBookLeavesTheRootSelected()
{
    TestBook empty("空书");
    ScriptedBoxes boxes;
    f.open(empty.path());
    QCOMPARE(f.window->TreeView->currentItem(), f.root());
    QCOMPARE(f.root()->childCount(), 0);
    QCOMPARE(f.window->currentChapterCode, QString("00000"));
    QCOMPARE(f.window->Edit1->text(), QString("空书[00000]"));
    QVERIFY(boxes.shown.isEmpty());
    // While the root has no children, every load asks again.
    const int before = f.statements();
    f.window->LoadChildren(f.root());
    QCOMPARE(f.statements(), before + 2);
}

void TestBrowser::lazyLoadingQueriesOncePerChapter()
{
    QTreeWidgetItem *second = f.node("第二章");
    QVERIFY(BookNode::isNotLoaded(second));
    int before = f.statements();
    QString last;
    const auto watching = f.dm->ydconn.onStatement.replace([&](const QString &sql) { last = sql; });
    second->setExpanded(true);
    QCOMPARE(f.statements(), before + 1); // one child query, it has child chapters
    QVERIFY(last.contains("flbh<>lbbh"));
    QCOMPARE(f.childLabels(second), QStringList({"甲[00021]"}));
    second->setExpanded(false);
    before = f.statements();
    second->setExpanded(true);
    f.window->LoadChildren(second);
    QCOMPARE(f.statements(), before);

    // A chapter with neither chapters nor articles: two queries, then never again.
    QTreeWidgetItem *empty = f.node("第二节");
    before = f.statements();
    empty->setExpanded(true);
    QCOMPARE(f.statements(), before + 2);
    QCOMPARE(empty->childCount(), 0);
    f.window->LoadChildren(empty);
    QCOMPARE(f.statements(), before + 2);
}

void TestBrowser::chaptersHideArticlesAndSelfParents()
{
    // 第一章 has child chapters and an article: only the chapters show.
    QCOMPARE(f.childLabels(f.node("第一章")), QStringList({"第二节[00012]", "第一节[00011]"}));
    f.window->N9Click();
    QVERIFY(!f.node("自己"));
    QVERIFY(!f.node("不显示"));
    QVERIFY(!f.node("孤文"));
}

void TestBrowser::articlesLoadWhenNoChildChapters()
{
    QTreeWidgetItem *section = f.node("第一节");
    const int before = f.statements();
    section->setExpanded(true);
    QCOMPARE(f.statements(), before + 2);
    QCOMPARE(f.childLabels(section), QStringList({"文一[N00001]", "文二[N00002]"}));
    QCOMPARE(f.node("文一")->childCount(), 0); // articles get no placeholder
}

void TestBrowser::refreshMovesDeepSelectionToRoot()
{
    f.window->N9Click();
    f.select(f.node("深处"));
    QCOMPARE(f.window->Edit1->text(), QString("深处[00023]"));
    book->chapter(10, "00003", "第三章", "00000");
    f.window->N5Click();
    QCOMPARE(f.window->TreeView->currentItem(), f.root());
    QCOMPARE(f.window->Edit1->text(), QString("书[00000]"));
    QCOMPARE(f.window->memo1->toPlainText(), QString("根的正文"));
    QCOMPARE(f.childLabels(f.root()), QStringList({"第一章[00001]", "第二章[00002]", "第三章[00003]"}));
    QVERIFY(BookNode::isNotLoaded(f.node("第一章")));
    QVERIFY(f.root()->isExpanded());
}

void TestBrowser::expandAllCollapseAll()
{
    f.window->N9Click();
    int placeholders = 0;
    for (QTreeWidgetItemIterator it(f.window->TreeView); *it; ++it)
        placeholders += (*it)->text(0) == "EMPTY";
    QCOMPARE(placeholders, 0);
    QVERIFY(f.node("乙")->isExpanded());
    QCOMPARE(f.node("乙")->child(0)->text(0), QString("深处[00023]"));
    const int nodes = [&] { int n = 0; for (QTreeWidgetItemIterator it(f.window->TreeView); *it; ++it) ++n; return n; }();
    QCOMPARE(nodes, 10);
    const int before = f.statements();
    f.window->N10Click();
    QCOMPARE(f.statements(), before);
    for (QTreeWidgetItemIterator it(f.window->TreeView); *it; ++it)
        QVERIFY(!(*it)->isExpanded());
}

static void checkLevelImages(QTreeWidget *tree)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        const int level = BookNode::levelOf(*it);
        const int image = level == 0 ? 0 : level == 1 ? 2 : 4;
        QVERIFY2((*it)->data(0, NodeRole::Image).toInt() == image, qPrintable((*it)->text(0)));
        QCOMPARE((*it)->data(0, NodeRole::SelectedImage).toInt(), image + 1);
    }
}

void TestBrowser::iconLevels()
{
    checkLevelImages(f.window->TreeView);
    f.node("第一节")->setExpanded(true);
    checkLevelImages(f.window->TreeView);
    f.window->N9Click();
    checkLevelImages(f.window->TreeView);
    // A drop onto a collapsed target: its expansion applies the icon rule.
    ScriptedBoxes boxes(QMessageBox::Yes);
    f.select(f.node("深处"));  // selecting opens its ancestors
    f.window->N10Click();
    QVERIFY(f.window->dropSelectedNodeOn(f.root()));
    QVERIFY(f.root()->isExpanded());
    checkLevelImages(f.window->TreeView);
    // Onto an expanded target: the moved node keeps its images until the next load.
    f.select(f.node("深处"));
    f.node("第一章")->setExpanded(true);
    f.node("第一节")->setExpanded(true);
    QVERIFY(f.window->dropSelectedNodeOn(f.node("第一节")));
    QCOMPARE(f.node("深处")->data(0, NodeRole::Image).toInt(), 2);
    f.node("第二章")->setExpanded(false);
    f.node("第二章")->setExpanded(true);
    checkLevelImages(f.window->TreeView);
}

void TestBrowser::dropRefusals()
{
    f.window->N9Click();
    ScriptedBoxes boxes(QMessageBox::Yes);
    const auto refused = [&](QTreeWidgetItem *dragged, QTreeWidgetItem *target) {
        f.select(dragged);
        return !f.window->dropSelectedNodeOn(target) && dragged->parent() == dragged->parent();
    };
    QTreeWidgetItem *jia = f.node("甲");
    QVERIFY(refused(f.root(), f.node("第一章")));  // the root is never dragged
    QVERIFY(refused(jia, f.node("第二章")));       // onto its own parent
    QVERIFY(refused(jia, jia));                    // onto itself
    QVERIFY(refused(jia, f.node("乙")));           // into its own branch
    QVERIFY(refused(jia, f.node("深处")));
    QVERIFY(refused(jia, nullptr));                // onto empty space
    QVERIFY(boxes.shown.isEmpty());
    QCOMPARE(jia->parent(), f.node("第二章"));
    // Empty space below the last node.
    f.select(jia);
    f.window->TreeViewDragDrop(QPoint(5, f.window->TreeView->viewport()->height() - 2));
    QVERIFY(boxes.shown.isEmpty());
    // Answered No: nothing changes.
    boxes.answerNext(QMessageBox::No);
    QVERIFY(!f.window->dropSelectedNodeOn(f.node("第一节")));
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].caption, QString("确认信息"));
    QCOMPARE(boxes.shown[0].text, QString("是否确认要移动该节点?"));
    QCOMPARE(boxes.shown[0].icon, QMessageBox::Question);
    QCOMPARE(boxes.shown[0].buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(jia->parent(), f.node("第二章"));
}

void TestBrowser::confirmedDropMovesTheTreeOnly()
{
    f.window->N9Click();
    ScriptedBoxes boxes(QMessageBox::Yes);
    QTreeWidgetItem *jia = f.node("甲");
    f.select(jia);
    const QString pane = f.window->memo1->toPlainText();
    int changes = 0;
    connect(f.window->TreeView, &QTreeWidget::currentItemChanged, this, [&] { ++changes; });
    const int before = f.statements();
    QVERIFY(f.window->dropSelectedNodeOn(f.node("文一")));   // a chapter onto an article
    QCOMPARE(jia->parent(), f.node("文一"));
    QCOMPARE(f.window->TreeView->currentItem(), jia);
    QCOMPARE(f.window->Edit1->text(), QString("甲[00021]"));
    QCOMPARE(f.window->memo1->toPlainText(), pane);
    QCOMPARE(f.childLabels(jia), QStringList({"乙[00022]"}));
    // Its old parent lost its only child and its expand button.
    QCOMPARE(f.node("第二章")->childCount(), 0);
    QVERIFY(!f.node("第二章")->isExpanded());
    QCOMPARE(f.statements(), before);  // no row written or read
    QCOMPARE(book->scalar("select flbh from ywzx_ywlb where lbbh='00021'").toString(), QString("00002"));
    // Onto the root: its last child.
    f.select(jia);
    QVERIFY(f.window->dropSelectedNodeOn(f.root()));
    QCOMPARE(f.root()->child(f.root()->childCount() - 1), jia);
    // Refresh shows the stored structure again.
    f.window->N5Click();
    QCOMPARE(f.childLabels(f.root()), QStringList({"第一章[00001]", "第二章[00002]"}));
}

void TestBrowser::dropOnUnloadedChapterJoinsItsChildren()
{
    ScriptedBoxes boxes(QMessageBox::Yes);
    QTreeWidgetItem *section = f.node("第二节");
    f.select(section);
    QTreeWidgetItem *second = f.node("第二章");
    QVERIFY(BookNode::isNotLoaded(second));
    QVERIFY(f.window->dropSelectedNodeOn(second));
    QVERIFY(second->isExpanded());
    QCOMPARE(f.childLabels(second), QStringList({"甲[00021]", "第二节[00012]"}));
    checkLevelImages(f.window->TreeView);
}

void TestBrowser::singleExpandOnAndOff()
{
    QTreeWidgetItem *first = f.node("第一章");
    QTreeWidgetItem *second = f.node("第二章");
    QVERIFY(first->isExpanded());
    f.select(second);
    QVERIFY(second->isExpanded());
    QVERIFY(!first->isExpanded());
    QCOMPARE(f.childLabels(second), QStringList({"甲[00021]"}));
    f.select(f.node("甲"));
    QVERIFY(second->isExpanded());   // an ancestor of the new selection stays open
    QVERIFY(f.node("甲")->isExpanded());
    f.select(f.node("第一章"));
    QVERIFY(!f.node("甲")->isExpanded());
    QVERIFY(!second->isExpanded());

    QVERIFY(f.window->N6->isChecked());
    f.window->N6->trigger();
    QVERIFY(!f.window->N6->isChecked());
    QVERIFY(!f.window->autoExpand());
    f.select(second);
    QVERIFY(!second->isExpanded());
    QVERIFY(f.node("第一章")->isExpanded());
    f.window->N6->trigger();
    QVERIFY(f.window->autoExpand());
}

// Real presses on the viewport, with an open branch above the clicked row:
// the branch closes only after the view has handled the press, so the
// highlighted, current and shown node are the one clicked.
void TestBrowser::clicksActOnTheNodeShown()
{
    TestBook wide("宽");
    wide.chapter(2, "A", "甲章", "00000");
    wide.chapter(3, "B", "乙章", "00000");
    for (int i = 1; i <= 8; ++i) {
        wide.chapter(10 + i, QString("A%1").arg(i), QString("甲%1").arg(i), "A");
        wide.chapter(20 + i, QString("B%1").arg(i), QString("乙%1").arg(i), "B", QString("乙%1正文").arg(i));
    }
    wide.chapter(31, "C", "丙节", "B3");
    f.open(wide.path());
    QTreeWidget *tree = f.window->TreeView;
    QVERIFY(f.node("甲章")->isExpanded());
    f.node("乙章")->setExpanded(true);  // open without selecting: both branches show
    const auto click = [&](QTreeWidgetItem *node) {
        const QPoint at = tree->visualItemRect(node).center();
        QTest::mousePress(tree->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, at);
        QCoreApplication::processEvents();
    };
    const auto showsOnly = [&](QTreeWidgetItem *node) {
        return tree->currentItem() == node && tree->selectedItems() == QList<QTreeWidgetItem *>{node}
               && f.window->Edit1->text() == node->text(0);
    };
    QTreeWidgetItem *b2 = f.node("乙2");
    click(b2);
    QVERIFY(showsOnly(b2));
    QVERIFY(!f.node("甲章")->isExpanded());
    // A double click on a chapter that its first click opened leaves it open.
    QTreeWidgetItem *b3 = f.node("乙3");
    click(b3);
    QVERIFY(b3->isExpanded());
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(b3).center());
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(b3).center());
    QCoreApplication::processEvents();
    QVERIFY(b3->isExpanded());
    QVERIFY(showsOnly(b3));
    // From the first click on: select 甲章 above, then double click 乙3 anew.
    f.select(f.node("甲章"));
    f.node("乙章")->setExpanded(true);
    QVERIFY(!b3->isExpanded());
    click(b3);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(b3).center());
    QCoreApplication::processEvents();
    QVERIFY(b3->isExpanded() && showsOnly(b3));
    // Without auto-expand a double click toggles as usual.
    f.window->N6->trigger();
    click(b3);
    QVERIFY(b3->isExpanded());
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(b3).center());
    QVERIFY(!b3->isExpanded());
    f.window->N6->trigger();
}

// A bracket in a name or a code: the node still stands for its own record
// when it is selected, expanded, changed and deleted.
void TestBrowser::nodesActOnTheirOwnRecord()
{
    book->chapter(20, "00031", "附录[00011]", "00000", "附录正文");
    book->article("00041", "附文", "00031", "附文正文");
    book->article("7]", "括号文", "00012", "括号正文");
    book->article("7", "七文", "00012", "七正文");
    f.window->N5Click();
    Tywzxform *w = f.window.get();
    QTreeWidgetItem *appendix = f.node("附录");
    f.select(appendix);
    QCOMPARE(w->Edit1->text(), QString("附录[00011][00031]"));
    QCOMPARE(w->memo1->toPlainText(), QString("附录正文"));
    QCOMPARE(w->currentChapterCode, QString("00031"));
    QCOMPARE(f.childLabels(appendix), QStringList({"附文[N00041]"}));
    f.node("第一章")->setExpanded(true);
    f.node("第二节")->setExpanded(true);
    f.select(f.node("括号文"));
    QCOMPARE(w->memo1->toPlainText(), QString("括号正文"));
    QCOMPARE(w->currentArticleCode, QString("7]"));
    ScriptedBoxes ok(QMessageBox::Ok);
    whileShown<TywnrwhForm>([&] { w->edit_nr_btnClick(); }, [](TywnrwhForm &d) {
        d.nr_nrbt_Edit->setText("改文");
        d.ok_nr_btnClick();
    });
    QCOMPARE(book->scalar("select nrbt from ywzx_ywnr where nrbh='7]'").toString(), QString("改文"));
    QCOMPARE(book->scalar("select nrbt from ywzx_ywnr where nrbh='7'").toString(), QString("七文"));
    whileShown<TywnrwhForm>([&] { w->delete_nr_btnClick(); }, {});
    QCOMPARE(book->scalar("select count(*) from ywzx_ywnr where nrbh in ('7]', '7')").toInt(), 1);
    QCOMPARE(book->scalar("select nrbt from ywzx_ywnr where nrbh='7'").toString(), QString("七文"));
    f.select(f.node("附录"));
    whileShown<TywlbwhForm>([&] { w->Edit_lb_btnClick(); }, [](TywlbwhForm &d) {
        d.lb_lbmc_Edit->setText("附录二");
        d.ok_lb_btnClick();
    });
    QCOMPARE(book->scalar("select lbmc from ywzx_ywlb where lbbh='00031'").toString(), QString("附录二"));
    QCOMPARE(book->scalar("select lbmc from ywzx_ywlb where lbbh='00011'").toString(), QString("第一节"));
    book->exec("update ywzx_ywlb set lbmc='附录[00011]' where lbbh='00031'");
    book->exec("delete from ywzx_ywnr where lbbh='00031'");
    f.window->N5Click();
    f.select(f.node("附录"));
    QCOMPARE(w->currentChapterCode, QString("00031"));
    whileShown<TywlbwhForm>([&] { w->delete_lb_btnClick(); }, {});
    QCOMPARE(book->scalar("select count(*) from ywzx_ywlb where lbbh='00031'").toInt(), 0);
    QCOMPARE(book->scalar("select count(*) from ywzx_ywlb where lbbh='00011'").toInt(), 1);
    QVERIFY(!f.node("附录"));
}

void TestBrowser::buttonStates()
{
    Tywzxform *w = f.window.get();
    const auto states = [&w] {
        QString s = w->lbwh_Panel->isVisible() ? "shown" : "hidden";
        for (QToolButton *b : {w->Insert_lb_btn, w->Edit_lb_btn, w->delete_lb_btn, w->Insert_nr_btn, w->edit_nr_btn,
                               w->delete_nr_btn})
            s += b->isEnabled() ? " on" : " off";
        return s;
    };
    f.window->N9Click();
    // article
    f.select(f.node("文一"));  // the chapter buttons keep the states of 第一章
    QCOMPARE(states(), QString("hidden on on off off on on"));
    QCOMPARE(w->currentArticleCode, QString("00001"));
    QCOMPARE(w->currentChapterCode, QString());
    // chapter whose first child is an article (the lb buttons come from the chapter rule)
    f.select(f.node("第一节"));
    QCOMPARE(states(), QString("shown off on off on off off"));
    QCOMPARE(w->firstArticleCode, QString("00001"));
    QCOMPARE(w->currentChapterCode, QString("00011"));
    // article again, then a chapter whose first child is a chapter: article buttons kept
    f.select(f.node("文二"));
    f.select(f.node("第二章"));
    QCOMPARE(states(), QString("shown on on off off on on"));
    f.select(f.node("第一节"));
    f.select(f.node("乙"));
    QCOMPARE(states(), QString("shown on on off on off off"));
    QCOMPARE(w->firstArticleCode, QString());
    // chapter without children
    f.select(f.node("深处"));
    QCOMPARE(states(), QString("shown on on on on off off"));
    // root with children: delete off, article buttons kept
    f.select(f.node("文一"));
    f.select(f.root());
    QCOMPARE(states(), QString("shown on on off off on on"));
    QCOMPARE(w->currentChapterCode, QString("00000"));
    // placeholder node (the one child of a chapter not loaded yet; selecting
    // it in the view would open and load that chapter first)
    f.window->N5Click();
    w->TreeViewChange(f.node("第二章")->child(0));
    QCOMPARE(states(), QString("shown on on on on off off"));
    QCOMPARE(w->currentChapterCode, QString());
    QCOMPARE(w->Edit1->text(), QString("EMPTY"));
    QCOMPARE(w->memo1->toPlainText(), QString());
    // root without children
    TestBook empty("空");
    f.open(empty.path());
    w = f.window.get();
    QCOMPARE(states(), QString("shown on on off on off off"));
}

void TestBrowser::showContent()
{
    f.window->N9Click();
    Tywzxform *w = f.window.get();
    // The wait cursor shows while the pane loads a text, and only then.
    QList<bool> waiting;
    connect(w->memo1, &QPlainTextEdit::textChanged, this, [&] {
        waiting << (QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
    });
    f.select(f.node("第二章"));
    f.select(f.node("第一章"));
    QVERIFY(!waiting.isEmpty() && !waiting.contains(false));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    f.select(f.node("文一"));  // article code 00001, as the chapter 第一章
    QCOMPARE(w->Edit1->text(), QString("第一节[00011]"));
    QCOMPARE(w->Edit2->text(), QString("文一[N00001]"));
    QCOMPARE(w->memo1->toPlainText(), QString("文一正文"));
    f.select(f.node("第一章"));
    QCOMPARE(w->Edit1->text(), QString("第一章[00001]"));
    QCOMPARE(w->Edit2->text(), QString());
    QCOMPARE(w->memo1->toPlainText(), QString("第一章正文\n第二行"));
    f.select(f.root());
    QCOMPARE(w->memo1->toPlainText(), QString("根的正文"));
    f.select(f.node("第二章"));  // a null text
    QCOMPARE(w->memo1->toPlainText(), QString());
    // Typed text is never stored and goes with the next selection.
    w->memo1->setPlainText("typed");
    f.select(f.node("第一章"));
    QCOMPARE(w->memo1->toPlainText(), QString("第一章正文\n第二行"));
    QCOMPARE(book->scalar("select ywnr from ywzx_ywlb where lbbh='00001'").toString(), QString("第一章正文\r\n第二行"));
    // A code holding a quote reads like any other.
    book->exec("update ywzx_ywlb set lbbh=?, ywnr='引号章' where lbbh='00012'", {"a'b"});
    f.window->N5Click();
    f.node("第一章")->setExpanded(true);
    f.select(f.node("第二节"));
    QCOMPARE(w->Edit1->text(), QString("第二节[a'b]"));
    QCOMPARE(w->memo1->toPlainText(), QString("引号章"));
}

void TestBrowser::failingQueryIsReportedAfterTheTitle()
{
    ScriptedBoxes boxes;
    book->exec("alter table ywzx_ywnr rename to gone");
    // No child chapters: the article query fails inside the expansion that
    // a click on the chapter makes; the click's handler reports it.
    QTreeWidget *tree = f.window->TreeView;
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(f.node("第一节")).center());
    QCOMPARE(tree->currentItem(), f.node("第一节"));
    QCOMPARE(boxes.shown.size(), 1);
    const QString missingTable = TestBook::onServer() ? "does not exist" : "no such table";
    QVERIFY2(boxes.shown[0].text.contains(missingTable), qPrintable(boxes.shown[0].text));
    QCOMPARE(boxes.shown[0].caption, QString("墨川电子阅读系统"));
    QCOMPARE(f.node("第一节")->childCount(), 0); // the placeholder is gone, nothing else came
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    // The reading pane: the title box is filled before the query fails.
    book->exec("alter table gone rename to ywzx_ywnr");
    f.window->N5Click();
    f.window->N9Click();
    QTreeWidgetItem *article = f.node("文一");
    book->exec("alter table ywzx_ywnr rename to gone");
    boxes.shown.clear();
    f.select(article);
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(f.window->Edit1->text(), QString("第一节[00011]"));
    QCOMPARE(f.window->currentArticleCode, QString("00001"));
    QCOMPARE(f.window->memo1->toPlainText(), QString());
}

void TestBrowser::clockText()
{
    QCOMPARE(Tywzxform::clockText(QDateTime(QDate(2026, 1, 2), QTime(0, 0))), QString("2026/1/2"));
    QVERIFY(Tywzxform::clockText(QDateTime(QDate(2026, 1, 2), QTime(9, 5, 7))).startsWith("2026/1/2 "));
    QVERIFY(Tywzxform::clockText(QDateTime(QDate(2026, 1, 2), QTime(9, 5, 7))).contains("09:05:07"));
    QVERIFY(f.window->StatusPanels[1]->text().isEmpty()); // until the first tick
    f.window->Timer1Timer();
    QVERIFY(!f.window->StatusPanels[1]->text().isEmpty());
    QCOMPARE(f.window->Timer1->interval(), 1000);
    QCOMPARE(f.window->StatusPanels[0]->width(), 250);
    QCOMPARE(f.window->StatusPanels[1]->width(), 150);
}

void TestBrowser::editMenu()
{
    QPlainTextEdit *memo = f.window->memo1;
    memo->setPlainText("abc");
    f.window->N3Click();
    f.window->N11Click();
    QCOMPARE(memo->toPlainText(), QString());
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("abc"));
    f.window->N13Click();
    QCOMPARE(memo->toPlainText(), QString("abc"));
    f.window->N3Click();
    f.window->N7Click();
    QCOMPARE(memo->toPlainText(), QString("abc"));
    // The design's seven items come first; the reading look's follow them.
    QStringList designed;
    for (const QAction *item : f.window->PopupMenu2->actions().mid(0, 7))
        designed << item->objectName();
    QCOMPARE(designed, QStringList({"N3", "N4", "N7", "N8", "N11", "N12", "N13"}));
}

void TestBrowser::printingThePane()
{
    QVERIFY2(!QStandardPaths::findExecutable("pdftotext").isEmpty(), "pdftotext (poppler-utils) is missing");
    QTemporaryDir dir;
    const QString pdf = dir.filePath("pane.pdf");
    QString text;
    for (int i = 1; i <= 400; ++i)
        text += QString("第%1行 月落乌啼霜满天\n").arg(i);
    f.window->memo1->setPlainText(text);
    const auto printing1 = PanePrint::runDialog.replace([&](QPrinter &printer, QWidget *) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    f.window->BitBtn3Click();
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    QVERIFY(p.waitForFinished());
    const QString printed = QString::fromUtf8(p.readAllStandardOutput());
    QVERIFY(printed.contains("第1行 月落乌啼霜满天"));
    QVERIFY(printed.contains("第400行 月落乌啼霜满天"));
    QVERIFY(printed.count('\f') >= 2); // page after page
    // Cancelled: nothing printed.
    QFile::remove(pdf);
    const auto printing2 = PanePrint::runDialog.replace([](QPrinter &, QWidget *) { return false; });
    f.window->BitBtn3Click();
    QVERIFY(!QFileInfo::exists(pdf));
}

// One line of 300,000 characters: the pane holds it in pieces (cut after a
// pause, never inside a surrogate pair) and reads it back, copies it across
// each cut and prints it exactly as stored.
void TestBrowser::endlessLineReadsBackAsStored()
{
    QString line;
    for (int i = 0; i < 300000; ++i)
        line += QChar(0x4E00 + i % 5000); // no pause among them
    line[7900] = u'，';
    line.replace(11900, 2, QString::fromUcs4(U"𠀀"));
    line[20000] = QChar(QChar::Nbsp);
    book->chapter(10, "00003", "长行", "00000", line + "\r\n末行");
    f.open(book->path());
    f.select(f.node("长行[00003]"));
    TextPane *pane = f.window->memo1;
    const QString shown = line + "\n末行";
    QCOMPARE(PaneText::text(pane), shown);
    const QVector<int> breaks = PaneText::pieceBreaks(pane->document());
    QCOMPARE(breaks.mid(0, 3), QVector<int>({4000, 7901, 11900}));
    for (int at : {breaks.at(0), breaks.at(1), breaks.at(2), 20001, breaks.last()}) {
        QTextCursor selection(pane->document());
        selection.setPosition(PaneText::documentPosition(breaks, at - 3));
        selection.setPosition(PaneText::documentPosition(breaks, at + 2) + 1, QTextCursor::KeepAnchor);
        pane->setTextCursor(selection);
        QTest::keyClick(pane, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), shown.mid(at - 3, 6));
    }
    QPrinter printer;
    QCOMPARE(PanePrint::paperDocument(pane, pane->font(), printer)->toRawText().replace(QChar::ParagraphSeparator, u'\n'),
             shown);
}

void TestBrowser::oneAboutWindow()
{
    f.window->BitBtn1Click();
    f.window->BitBtn1->click();
    TMac_About *about = TMac_About::find();
    QVERIFY(about);
    QVERIFY(about->isVisible());
    int count = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        count += w->objectName() == "Mac_About";
    QCOMPARE(count, 1);
    QCOMPARE(about->windowTitle(), QString("关于本软件： [墨川软件]"));
    QCOMPARE(about->size(), QSize(353, 275));
    QVERIFY(!about->isModal());
    QTest::keyClick(about, Qt::Key_Escape);
    QVERIFY(!about->isVisible());
    f.window->BitBtn1Click();
    QCOMPARE(TMac_About::find(), about);
    QVERIFY(about->isVisible());
    about->BitBtn3->click();
    QVERIFY(!about->isVisible());
    about->show();
    about->close(); // the title bar's close button
    f.window->BitBtn1Click();
    QCOMPARE(TMac_About::find(), about);
    QVERIFY(about->isVisible());
    delete about;
}

QTEST_MAIN(TestBrowser)
#include "tst_browser.moc"
