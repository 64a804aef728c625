#include "../browser/BrowserFixture.h"
#include "widgets/PaneText.h"
#include "common/AppError.h"
#include "common/Labels.h"
#include "common/TextHelpers.h"
#include "search/FindDialog.h"
#include "data/FullTextQuery.h"
#include "search/ResultList.h"
#include "search/ShowjbywnrFrm.h"
#include "search/TextMarks.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QtTest>

// The chapter-name search walking the real tree, and the full-text search
// with its results window, on real books.
class TestSearch : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void findDialog();
    void rootForcesDown();
    void lastNodeDownFindsNothingAtOnce();
    void upStopsAtPositionOne();
    void downIntoANeverExpandedBranch();
    void unloadedSelectionSkipsItsOwnBranch();
    void wholeWordAndContained();
    void caseBracketsAndArticles();
    void secondPressContinues();
    void fullTextOnlyInArticles();
    void resultsListAndFields();
    void bracketedAndNamelessHits();
    void listFollowsClicksAndKeys();
    void narrowing();
    void narrowingFindsNothing();
    void narrowingOverMoreHitsThanParameters();
    void treeMovesToTheChosenHit();
    void landsOnTheChosenChapter();
    void hitMarkedInBothTexts();
    void longTextWholeUnderWaitCursor();
    void endlessLineMarkedPastPieceBreaks();
    void variantsFoundAndMarked();
    void variantsOfEitherWidth_data();
    void variantsOfEitherWidth();
    void unreachableChapter();
    void chapterWrittenElsewhere_data();
    void chapterWrittenElsewhere();
    void specialCharacters_data();
    void specialCharacters();
    void demoBookWalkthrough();

private:
    QString selectedLabel() const { return f.window->TreeView->currentItem()->text(0); }
    void find(const QString &text, bool down = true, bool wholeWord = false);
    std::unique_ptr<TestBook> book;
    BrowserFixture f;
};

void TestSearch::init()
{
    book = std::make_unique<TestBook>("书");
    book->chapter(2, "00001", "人物传记", "00000", "传记之文 明月");
    book->chapter(3, "00011", "甲部", "00001");
    book->chapter(4, "00111", "乙部", "00011");
    book->chapter(5, "01111", "深藏", "00111", "深藏之文");
    book->chapter(6, "00002", "人物", "00000", "人物之文 明月 O'Neil \"引\" 100% a_b", "2024-03-05 14:05:06");
    book->chapter(7, "00003", "Abc", "00000", "latin ABC");
    book->chapter(8, "00004", "括[号", "00000", "括号之文");
    book->chapter(9, "00005", "文集", "00000", "文集之文");
    book->chapter(10, "00006", "人物", "00000", "明月 second");
    book->article("00001", "人物小记", "00005", "只在文章里的孤鸿");
    book->article("00002", "文一", "00005", "文一");
    f.open(book->path());
    ResultChapterName.clear();
}

// 繁简通查: on, simplified, traditional and mixed forms are found (one form
// with several variants too) and marked in both texts; off, only the form typed.
void TestSearch::variantsFoundAndMarked()
{
    book->chapter(11, "00007", "简", "00000", "登黄鹤楼\r\n头发");
    book->chapter(12, "00008", "繁", "00000", "登黃鶴樓 髮");
    book->chapter(13, "00009", "混", "00000", "黃鹤樓 發財");
    f.open(book->path());
    ScriptedBoxes boxes;
    const auto found = [&](const QString &text, bool variants) {
        BookQuery &q = f.dm->Query;
        prepareTextSearch(q, "lbbh", text, QString(), variants);
        q.open();
        QStringList codes;
        for (q.first(); !q.eof(); q.next())
            codes << q.fieldAsText("lbbh");
        return codes;
    };
    const QStringList all = {"00007", "00008", "00009"};
    QCOMPARE(found("黄鹤楼", false), QStringList{"00007"});
    QCOMPARE(found("黃鶴樓", false), QStringList{"00008"});
    QCOMPARE(found("黄鹤楼", true), all);
    QCOMPARE(found("黃鶴樓", true), all);
    QCOMPARE(found("发", true), all);
    QCOMPARE(found("楼_\n頭髮", true), QStringList{"00007"});
    QCOMPARE(found("登黄%发", true), QStringList({"00007", "00008"}));
    QCOMPARE(found("黄鹤人", true), QStringList());
    int listed = 0;
    {
        const auto counting = TShowjbywnrForm::runModal.replace([&](TShowjbywnrForm &form) {
            listed = form.nrbtListBox->count();
            return int(QDialog::Rejected);
        });
        f.window->FindDialog2->setText("黄鹤楼");
        f.window->FindDialog2Find(); // the box off: the typed form alone
    }
    QCOMPARE(listed, 1);
    QStringList shown;
    const auto results = TShowjbywnrForm::runModal.replace([&](TShowjbywnrForm &form) {
        form.nrbtListBox->setCurrentRow(1);
        for (const LikeMatch::Range &r : TextMarks::of(form.nr_memo)->ranges())
            shown << form.nr_memo->toPlainText().mid(r.start, r.end - r.start);
        return int(QDialog::Accepted);
    });
    f.window->FindDialog2->fjtc_chk->setChecked(true);
    f.window->FindDialog2->setText("黄鹤楼");
    f.window->FindDialog2Find();
    QCOMPARE(shown, QStringList{"黃鶴樓"});
    QCOMPARE(TextMarks::of(f.window->memo1)->ranges().size(), 1);
    QCOMPARE(TextMarks::of(f.window->memo1)->ranges().first().start, 1);
}

// Forms inside and beyond the Basic Multilingual Plane (噁 and 𫫇, 僤 and
// 𫢸) find each other by every way of asking: LIKEs of each form, the
// folded comparison, the server's index scans of each form and its
// regular expression (more than 32 forms).
void TestSearch::variantsOfEitherWidth_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("codes");
    const QStringList both = {"00020", "00021"};
    QTest::newRow("narrow form") << "噁心" << both;
    QTest::newRow("wide form") << "𫫇心" << both;
    QTest::newRow("one wide character") << "𫢸" << both + QStringList{"00022"};
    QTest::newRow("underscore over a wide form") << "恶心_𫢸" << both;
    QTest::newRow("more forms than the server scans") << "恶心_僤发干" << both;
    QTest::newRow("wide form, other neighbour") << "𫫇人" << QStringList{"00022"};
    QTest::newRow("not side by side") << "噁心僤" << QStringList();
}

void TestSearch::variantsOfEitherWidth()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, codes);
    book->chapter(20, "00020", "宽", "00000", "令人𫫇心 𫢸髮乾");
    book->chapter(21, "00021", "窄", "00000", "令人噁心 僤发干");
    book->chapter(22, "00022", "散", "00000", "恶人 心僤");
    f.open(book->path());
    BookQuery &q = f.dm->Query;
    prepareTextSearch(q, "lbbh", typed, QString(), true);
    q.open();
    QStringList found;
    for (q.first(); !q.eof(); q.next())
        found << q.fieldAsText("lbbh");
    found.sort();
    QCOMPARE(found, codes);
}

void TestSearch::cleanup()
{
    f.window.reset();
    book.reset();
}

void TestSearch::find(const QString &text, bool down, bool wholeWord)
{
    f.window->FindDialog1->setText(text);
    f.window->FindDialog1->setDown(down);
    f.window->FindDialog1->WholeWordBox->setChecked(wholeWord);
    f.window->FindDialog1Find();
}

void TestSearch::findDialog()
{
    FindDialog *d1 = f.window->FindDialog1;
    FindDialog *d2 = f.window->FindDialog2;
    QCOMPARE(d1->objectName(), QString("FindDialog1"));
    QVERIFY(d1->down());
    QVERIFY(!d1->FindNextButton->isEnabled());
    f.window->RxSpeedButton1Click();
    QVERIFY(d1->isVisible());
    QVERIFY(!d1->isModal());
    QVERIFY(d1->MatchCaseBox->isHidden());
    QVERIFY(!d1->WholeWordBox->isHidden());
    QVERIFY(!d1->DirectionBox->isHidden());
    QCOMPARE(d1->FindEdit->maxLength(), 255);
    d1->FindEdit->setText("x");
    QVERIFY(d1->FindNextButton->isEnabled());
    d1->CancelButton->click();
    QVERIFY(!d1->isVisible());
    f.window->RxSpeedButton1Click();
    QCOMPARE(d1->text(), QString("x")); // kept while the program runs
    f.window->RxSpeedButton2Click();
    QVERIFY(d2->MatchCaseBox->isHidden() && d2->WholeWordBox->isHidden() && d2->DirectionBox->isHidden());
    // find-next runs the window's search
    ScriptedBoxes boxes;
    d1->FindEdit->setText("深藏");
    f.select(f.root());
    d1->FindNextButton->click();
    QCOMPARE(selectedLabel(), QString("深藏[01111]"));
}

void TestSearch::rootForcesDown()
{
    f.select(f.root());
    find("人物", false);
    QCOMPARE(selectedLabel(), QString("人物传记[00001]"));
}

void TestSearch::lastNodeDownFindsNothingAtOnce()
{
    ScriptedBoxes boxes;
    f.select(f.node("人物[00006]"));
    const QString before = selectedLabel();
    const int statements = f.statements();
    find("人物");
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].text, QString("对不起,没有找到您要查找的内容!"));
    QCOMPARE(boxes.shown[0].caption, QString("系统提示"));
    QCOMPARE(boxes.shown[0].icon, QMessageBox::Information);
    QCOMPARE(selectedLabel(), before);
    QCOMPARE(f.statements(), statements);
}

void TestSearch::upStopsAtPositionOne()
{
    ScriptedBoxes boxes;
    f.select(f.node("Abc"));
    find("书", false); // the root's name: never examined from below position 1
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(selectedLabel(), QString("Abc[00003]"));
    // From position 1 upward the root is examined.
    f.window->N6->trigger(); // no auto-expand, so position 1 is the first chapter
    f.select(f.node("人物传记"));
    find("书", false);
    QCOMPARE(selectedLabel(), QString("书[00000]"));
    // Up finds what lies before, nearest first.
    f.select(f.node("括[号"));
    find("人物", false);
    QCOMPARE(selectedLabel(), QString("人物[00002]"));
}

void TestSearch::downIntoANeverExpandedBranch()
{
    f.window->N5Click();
    f.select(f.root());
    QVERIFY(BookNode::isNotLoaded(f.node("人物传记")));
    find("深藏");
    QCOMPARE(selectedLabel(), QString("深藏[01111]"));
    QVERIFY(f.node("人物传记")->isExpanded());
    QVERIFY(f.node("甲部")->isExpanded());
    QVERIFY(f.node("乙部")->isExpanded());
    QCOMPARE(f.window->Edit1->text(), QString("深藏[01111]"));
    QCOMPARE(f.window->memo1->toPlainText(), QString("深藏之文"));
}

void TestSearch::unloadedSelectionSkipsItsOwnBranch()
{
    ScriptedBoxes boxes;
    f.window->N6->trigger(); // selecting no longer loads
    f.window->N5Click();
    f.select(f.node("人物传记"));
    QVERIFY(BookNode::isNotLoaded(f.node("人物传记")));
    find("深藏");
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(selectedLabel(), QString("人物传记[00001]"));
    // ...while the walk loaded every later chapter.
    QVERIFY(!BookNode::isNotLoaded(f.node("文集")));
    QVERIFY(f.node("人物小记"));
}

void TestSearch::wholeWordAndContained()
{
    f.select(f.root());
    find("人物", true, true);
    QCOMPARE(selectedLabel(), QString("人物[00002]"));
    f.select(f.root());
    find("人物", true, false);
    QCOMPARE(selectedLabel(), QString("人物传记[00001]"));
}

void TestSearch::caseBracketsAndArticles()
{
    ScriptedBoxes boxes;
    f.select(f.root());
    find("abc");
    QCOMPARE(boxes.shown.size(), 1);
    find("Ab");
    QCOMPARE(selectedLabel(), QString("Abc[00003]"));
    f.select(f.root());
    find("号"); // the stored name is compared: a "[" in it is a character like any other
    QCOMPARE(selectedLabel(), QString("括[号[00004]"));
    f.select(f.root());
    find("括", true, true);
    QCOMPARE(boxes.shown.size(), 2);
    find("括[号", true, true);
    QCOMPARE(selectedLabel(), QString("括[号[00004]"));
    f.select(f.root());
    find("小记");
    QCOMPARE(selectedLabel(), QString("人物小记[N00001]"));
    f.select(f.root());
    find("EMPTY"); // a placeholder has no name
    QCOMPARE(boxes.shown.size(), 3);
}

void TestSearch::secondPressContinues()
{
    f.select(f.root());
    QStringList found;
    for (int i = 0; i < 4; ++i) {
        find("人物");
        found << selectedLabel();
    }
    QCOMPARE(found, QStringList({"人物传记[00001]", "人物[00002]", "人物小记[N00001]", "人物[00006]"}));
}

void TestSearch::fullTextOnlyInArticles()
{
    ScriptedBoxes boxes;
    int windows = 0;
    const auto results = TShowjbywnrForm::runModal.replace([&](TShowjbywnrForm &) { ++windows; return int(QDialog::Rejected); });
    f.window->FindDialog2->setText("孤鸿");
    f.window->FindDialog2Find();
    QCOMPARE(windows, 0);
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].text, QString("对不起,没有找到您要查找的内容!"));
    QCOMPARE(boxes.shown[0].caption, QString("系统提示"));
}

void TestSearch::resultsListAndFields()
{
    ScriptedBoxes boxes;
    QStringList labels;
    QStringList fields;
    QWidget *owner = nullptr;
    QStringList listed; // the list holds no texts: a hit's is read when it is shown
    int readOnShow = 0;
    const auto results2 = TShowjbywnrForm::runModal.replace([&](TShowjbywnrForm &form) {
        owner = form.parentWidget();
        for (int i = 0; i < form.nrbtListBox->count(); ++i)
            labels << form.nrbtListBox->text(i);
        // Opened: no item selected, the first hit shown, the name of the first hit chosen.
        fields << form.nr_flbh_Edit->text() << form.nr_nrbt_Edit->text() << form.nr_xgrq_dateedit->text()
               << ResultChapterName << QString::number(form.nrbtListBox->currentRow());
        listed = form.ResultSet.columnNames();
        const int before = f.statements();
        form.nrbtListBox->setCurrentRow(1);
        readOnShow = f.statements() - before;
        fields << form.nr_flbh_Edit->text() << form.nr_nrbh_Edit->text() << form.nr_nrbt_Edit->text()
               << form.nr_xgrq_dateedit->text() << form.nr_xgr_Edit->text() << form.nr_memo->toPlainText()
               << ResultChapterName;
        return int(QDialog::Rejected);
    });
    f.window->FindDialog2->setText("明月");
    f.window->FindDialog2Find();
    QCOMPARE(labels, QStringList({"人物传记[N00001]", "人物[N00002]", "人物[N00006]"}));
    QCOMPARE(fields.mid(0, 5), QStringList({"00001", "人物传记", "2024/3/5", "人物传记", "-1"}));
    QCOMPARE(fields.mid(5, 6), QStringList({"00002", "00002", "人物", "2024/3/5 14:05:06", "",
                                            "人物之文 明月 O'Neil \"引\" 100% a_b"}));
    QCOMPARE(fields.last(), QString("人物"));
    QVERIFY(!listed.contains("ywnr", Qt::CaseInsensitive));
    QCOMPARE(readOnShow, 1);
    QCOMPARE(owner, f.window.get());
    // 人物 is part of an earlier name, 人物传记: the tree still lands on 人物.
    QCOMPARE(selectedLabel(), QString("人物[00002]"));
    QCOMPARE(f.window->FindDialog1->text(), QString("人物"));
    QVERIFY(boxes.shown.isEmpty());
}

// A chapter whose name holds what looks like a result label's code, and
// one without a name: each item acts on its own record.
void TestSearch::bracketedAndNamelessHits()
{
    book->chapter(11, "00007", "附录[N00002]", "00000", "明月 附录之文");
    book->exec("update ywzx_ywlb set lbmc=null where lbbh='00001'");
    ScriptedBoxes boxes;
    QStringList seen;
    const auto results3 = TShowjbywnrForm::runModal.replace([&](TShowjbywnrForm &form) {
        seen << form.nr_nrbt_Edit->text() << form.nr_memo->toPlainText();
        form.nrbtListBox->setCurrentRow(3); // 附录[N00002][N00007]
        seen << form.nrbtListBox->text(form.nrbtListBox->currentRow()) << form.nr_flbh_Edit->text()
             << form.nr_nrbt_Edit->text()
             << form.nr_memo->toPlainText() << ResultChapterName << ResultChapterCode;
        form.Edit1->setText("附录");
        form.Button1Click(); // the code list holds 00007, not 00002
        seen << QString::number(form.nrbtListBox->count()) << ResultChapterCode;
        return int(QDialog::Rejected);
    });
    f.window->FindDialog2->setText("明月");
    f.window->FindDialog2Find();
    QCOMPARE(seen, QStringList({"", "传记之文 明月", "附录[N00002][N00007]", "00007", "附录[N00002]",
                                "明月 附录之文", "附录[N00002]", "00007", "1", "00007"}));
}

void TestSearch::narrowing()
{
    ScriptedBoxes boxes;
    QStringList after;
    QString shownBefore;
    const auto results4 = TShowjbywnrForm::runModal.replace([&](TShowjbywnrForm &form) {
        form.nrbtListBox->setCurrentRow(0);
        shownBefore = form.nr_nrbt_Edit->text();
        form.Edit1->setText("second");
        QTest::keyClick(form.Edit1, Qt::Key_Return); // Enter narrows as the button does
        for (int i = 0; i < form.nrbtListBox->count(); ++i)
            after << form.nrbtListBox->text(i);
        after << ResultChapterName << form.nr_nrbt_Edit->text();
        return int(QDialog::Rejected);
    });
    f.window->FindDialog2->setText("明月");
    f.window->FindDialog2Find();
    QCOMPARE(after, QStringList({"人物[N00006]", "人物", shownBefore}));
    QCOMPARE(shownBefore, QString("人物传记"));
    QVERIFY(boxes.shown.isEmpty());
    // An empty narrowing text keeps every chapter whose text is not empty.
    after.clear();
    const auto results5 = TShowjbywnrForm::runModal.replace([&](TShowjbywnrForm &form) {
        form.Button1Click();
        after << QString::number(form.nrbtListBox->count());
        return int(QDialog::Rejected);
    });
    f.window->FindDialog2Find();
    QCOMPARE(after, QStringList({"3"}));
}

// The list on screen, driven by real clicks on its viewport and by keys.
static void clickRow(ResultList *list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(row, 0)).center());
}

static bool showWithFocusOnTheList(TShowjbywnrForm &form)
{
    form.show();
    form.activateWindow();
    if (!QTest::qWaitForWindowActive(&form))
        return false;
    form.nrbtListBox->setFocus();
    return form.nrbtListBox->hasFocus();
}

void TestSearch::listFollowsClicksAndKeys()
{
    ScriptedBoxes boxes;
    QStringList seen;
    const auto results6 = TShowjbywnrForm::runModal.replace([&](TShowjbywnrForm &form) {
        if (!showWithFocusOnTheList(form))
            return int(QDialog::Rejected);
        // Taking the focus made the first row current without selecting it.
        seen << QString::number(form.nrbtListBox->currentRow())
             << QString::number(form.nrbtListBox->selectionModel()->selectedIndexes().size());
        form.nr_memo->setPlainText("读者改过的字");
        clickRow(form.nrbtListBox, 0);
        seen << form.nr_memo->toPlainText() << ResultChapterCode;
        QTest::keyClick(form.nrbtListBox, Qt::Key_Down);
        seen << form.nr_nrbt_Edit->text() << ResultChapterCode;
        return int(QDialog::Rejected);
    });
    f.window->FindDialog2->setText("明月");
    f.window->FindDialog2Find();
    QCOMPARE(seen, QStringList({"0", "0", "传记之文 明月", "00001", "人物", "00002"}));
}

// A narrowing that finds nothing changes nothing: the list, the records
// behind it and the reader's choice stay; clicks go on showing the hits and
// closing moves to the hit chosen last.
void TestSearch::narrowingFindsNothing()
{
    ScriptedBoxes boxes;
    QStringList seen;
    const auto results7 = TShowjbywnrForm::runModal.replace([&](TShowjbywnrForm &form) {
        if (!showWithFocusOnTheList(form))
            return int(QDialog::Rejected);
        clickRow(form.nrbtListBox, 2);
        form.Edit1->setText("不在其中");
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        seen << QString::number(form.nrbtListBox->count()) << ResultChapterName << ResultChapterCode
             << form.windowTitle();
        clickRow(form.nrbtListBox, 1);
        seen << form.nr_flbh_Edit->text() << form.nr_memo->toPlainText();
        clickRow(form.nrbtListBox, 0);
        seen << form.nr_flbh_Edit->text() << form.nr_memo->toPlainText() << ResultChapterCode;
        form.nrbtListBox->clear();
        form.Button1Click(); // no item at all
        return int(QDialog::Rejected);
    });
    f.window->FindDialog2->setText("明月");
    f.window->FindDialog2Find();
    QCOMPARE(seen, QStringList({"3", "人物", "00006", "基本内容 — 3 条", "00002", "人物之文 明月 O'Neil \"引\" 100% a_b", "00001",
                                "传记之文 明月", "00001"}));
    QCOMPARE(boxes.shown.size(), 2);
    for (const MessageBoxes::Request &box : boxes.shown) {
        QCOMPARE(box.text, QString("没有找到你需要的内容！！"));
        QCOMPARE(box.caption, QString("墨川电子阅读系统"));
        QCOMPARE(box.icon, QMessageBox::NoIcon);
    }
    // The window closed with the hit chosen last.
    QCOMPARE(selectedLabel(), QString("人物传记[00001]"));
}

void TestSearch::narrowingOverMoreHitsThanParameters()
{
    // More chapters than SQLite takes bound parameters in one statement.
    book->exec("with recursive n(i) as (select 1 union all select i + 1 from n where i < 33000) "
               "insert into ywzx_ywlb (id, lbbh, lbmc, flbh, ywnr) "
               "select 100 + i, 'm' || i, '多' || i, '00000', case when i % 2 = 1 then '群山 单' else '群山' end from n");
    ScriptedBoxes boxes;
    int before = 0, after = 0;
    QStringList captions;
    const auto results8 = TShowjbywnrForm::runModal.replace([&](TShowjbywnrForm &form) {
        before = form.nrbtListBox->count();
        captions << form.windowTitle();
        form.Edit1->setText("单");
        form.Button1Click();
        after = form.nrbtListBox->count();
        captions << form.windowTitle();
        return int(QDialog::Rejected);
    });
    f.window->FindDialog2->setText("群山");
    f.window->FindDialog2Find();
    QCOMPARE(before, 33000);
    QCOMPARE(after, 16500);
    // The caption counts the hits, then the ones the narrowing kept.
    QCOMPARE(captions, QStringList({"基本内容 — 33,000 条", "基本内容 — 16,500 条"}));
    QVERIFY(boxes.shown.size() <= 1); // at most the tree move's not-found message
    for (const auto &box : boxes.shown)
        QCOMPARE(box.caption, QString("系统提示"));
}

// A hit deep in a branch never opened: only its ancestors are loaded, one
// statement each, besides one look-up per step of the chain and what the
// browser does for any selection (the text, the chapter's own children).
void TestSearch::treeMovesToTheChosenHit()
{
    ScriptedBoxes boxes;
    int before = 0;
    const auto results9 = TShowjbywnrForm::runModal.replace([&](TShowjbywnrForm &form) {
        form.nrbtListBox->setCurrentRow(0);
        before = f.statements();
        return int(QDialog::Rejected);
    });
    f.window->N5Click();
    f.window->FindDialog2->setText("深藏之文");
    f.window->RxSpeedButton2Click();
    f.select(f.node("文集"));
    f.window->FindDialog1->setDown(false);
    f.window->FindDialog2Find();
    QCOMPARE(selectedLabel(), QString("深藏[01111]"));
    QCOMPARE(f.statements() - before, 4 + 3 + 1 + 2);
    QVERIFY(BookNode::isNotLoaded(f.node("人物[00002]")));
    QCOMPARE(f.window->FindDialog1->text(), QString("深藏"));
    QVERIFY(!f.window->FindDialog2->isVisible());
    QVERIFY(boxes.shown.isEmpty());
}

// The tree lands on the chosen chapter's own node: of two same-named
// chapters in two volumes the one chosen, the root, a chapter without a name.
void TestSearch::landsOnTheChosenChapter()
{
    book->chapter(11, "00007", "卷一", "00000");
    book->chapter(12, "00017", "概述", "00007", "概述之文");
    book->chapter(13, "00008", "卷二", "00000");
    book->chapter(14, "00018", "概述", "00008", "概述之文");
    book->exec("update ywzx_ywlb set ywnr='概述之文' where lbbh in ('00000', '00003')");
    book->exec("update ywzx_ywlb set lbmc='' where lbbh='00003'");
    f.window->N5Click();
    ScriptedBoxes boxes;
    for (int row : {2, 3, 0, 1}) {
        QString chosen;
        const auto results10 = TShowjbywnrForm::runModal.replace([&](TShowjbywnrForm &form) {
            form.nrbtListBox->setCurrentRow(row);
            chosen = form.nrbtListBox->text(form.nrbtListBox->currentRow());
            return int(QDialog::Rejected);
        });
        f.window->FindDialog2->setText("概述之文");
        f.window->FindDialog2Find();
        QCOMPARE(selectedLabel(), chosen.replace("[N", "[")); // the result's label written as the chapter's
    }
    QCOMPARE(selectedLabel(), QString("[00003]"));
    QVERIFY(boxes.shown.isEmpty());
}

static bool selectedOnScreen(QPlainTextEdit *edit, const QString &text)
{
    return edit->textCursor().selectedText() == text && edit->viewport()->rect().contains(edit->cursorRect())
        && !edit->extraSelections().isEmpty();
}

// A word in the middle of a 1 MB text is marked, selected and on screen in
// the results window and, after the move, in the reading pane, and so is the
// narrowing text; the pane's marks go with the next selection.
void TestSearch::hitMarkedInBothTexts()
{
    QString filler;
    for (int i = 0; i < 10000; ++i)
        filler += QStringLiteral("第%1行 填充的文字填充的文字填充的文字\r\n").arg(i, 5, 10, QLatin1Char('0'));
    const QString text = filler + QStringLiteral("江上 Moon 河 二度\r\n") + filler;
    QVERIFY(text.toUtf8().size() > 1000000);
    book->chapter(11, "00007", "巨章", "00005", text);
    f.window->N5Click();
    ScriptedBoxes boxes;
    QStringList seen;
    const auto results11 = TShowjbywnrForm::runModal.replace([&](TShowjbywnrForm &form) {
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            return int(QDialog::Rejected);
        QCoreApplication::processEvents();
        seen << QString::number(selectedOnScreen(form.nr_memo, "Moon"));
        form.Edit1->setText("二度");
        form.Button1Click();
        QTest::keyClick(form.nr_memo, Qt::Key_F3);
        seen << form.nr_memo->textCursor().selectedText();
        return int(QDialog::Rejected);
    });
    f.window->FindDialog2->setText("mOON");
    f.window->FindDialog2Find();
    QCOMPARE(seen, QStringList({"1", "二度"}));
    QCOMPARE(selectedLabel(), QString("巨章[00007]"));
    QCoreApplication::processEvents();
    QVERIFY(selectedOnScreen(f.window->memo1, "Moon"));
    QTest::keyClick(f.window->memo1, Qt::Key_F3);
    QCOMPARE(f.window->memo1->textCursor().selectedText(), QString("二度"));
    QVERIFY(boxes.shown.isEmpty());
    f.select(f.node("人物[00002]"));
    QVERIFY(f.window->memo1->extraSelections().isEmpty());
    QVERIFY(!TextMarks::of(f.window->memo1));
}

// A text of more lines than a pane keeps paragraphs goes in under the wait
// cursor and reads back, copies and is marked as stored, in both texts.
void TestSearch::longTextWholeUnderWaitCursor()
{
    QString text;
    for (int i = 0; i < 3 * PaneText::MostParagraphs; ++i)
        text += QStringLiteral("第%1行\r\n").arg(i);
    text += QStringLiteral("末行 星\n\r\n");
    book->chapter(11, "00007", "长章", "00005", text);
    f.window->N5Click();
    QList<int> cursors; // the override cursor each time a text goes in
    const auto watch = [&](QPlainTextEdit *edit) {
        connect(edit, &QPlainTextEdit::textChanged, this, [&cursors] {
            cursors << (QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : -1);
        });
    };
    QStringList seen;
    const auto results12 = TShowjbywnrForm::runModal.replace([&](TShowjbywnrForm &form) {
        watch(form.nr_memo);
        form.ShowCurrentResult();
        seen << form.nr_memo->toPlainText() << form.nr_memo->textCursor().selectedText()
             << QString::number(form.nr_memo->blockCount() <= PaneText::MostParagraphs);
        return int(QDialog::Rejected);
    });
    watch(f.window->memo1);
    f.window->FindDialog2->setText("星");
    f.window->FindDialog2Find();
    const QString shown = TextHelpers::paneFromStored(text);
    QCOMPARE(seen, QStringList({shown, "星", "1"}));
    QCOMPARE(f.window->memo1->toPlainText(), shown);
    QCOMPARE(f.window->memo1->textCursor().selectionStart(), shown.indexOf("星"));
    QVERIFY(!cursors.isEmpty());
    QCOMPARE(cursors, QList<int>(cursors.size(), Qt::WaitCursor));
    f.window->N3Click();
    f.window->N4Click();
    QCOMPARE(QGuiApplication::clipboard()->text(), shown);
}

// One line of 200,000 characters, held in pieces: the hits before a cut,
// across one, right after one and far beyond are selected on their own
// characters as F3 and Shift+F3 step through them, in both texts.
void TestSearch::endlessLineMarkedPastPieceBreaks()
{
    QString line;
    for (int i = 0; i < 200000; ++i)
        line += QChar(0x4E00 + i % 3000); // neither 星 nor 河 among them
    for (int at : {100, PaneText::LongestPiece - 1, 2 * PaneText::LongestPiece, 150000})
        line.replace(at, 2, "星河");
    book->chapter(11, "00007", "长行", "00005", line);
    f.window->N5Click();
    const auto stepped = [](TextPane *pane, Qt::KeyboardModifiers modifiers) {
        QStringList seen; // where each selection starts as stored, and what it holds
        for (int i = 0; i < 5; ++i, QTest::keyClick(pane, Qt::Key_F3, modifiers)) {
            const QTextCursor at = pane->textCursor();
            seen << QString::number(PaneText::between(pane->document(), 0, at.selectionStart()).size())
                        + PaneText::between(pane->document(), at.selectionStart(), at.selectionEnd());
        }
        return seen << QString::number(pane->blockCount() > 40);
    };
    QStringList inResults;
    const auto results = TShowjbywnrForm::runModal.replace([&](TShowjbywnrForm &form) {
        form.show();
        inResults = stepped(form.nr_memo, Qt::NoModifier);
        return int(QDialog::Accepted);
    });
    f.window->FindDialog2->setText("星河");
    f.window->FindDialog2Find();
    QCOMPARE(inResults, QStringList({"100星河", "3999星河", "8000星河", "150000星河", "100星河", "1"}));
    QCOMPARE(stepped(f.window->memo1, Qt::ShiftModifier),
             QStringList({"100星河", "150000星河", "8000星河", "3999星河", "100星河", "1"}));
}

// A chapter the root does not reach: a missing parent, a loop, a node moved
// away from its stored parent by drag and drop.
void TestSearch::unreachableChapter()
{
    book->chapter(11, "00007", "孤章", "99999", "无根之文");
    book->chapter(12, "00008", "甲环", "00009", "无根之文");
    book->chapter(13, "00009", "乙环", "00008");
    ScriptedBoxes boxes(QMessageBox::Yes);
    f.select(f.node("Abc"));
    QVERIFY(f.window->dropSelectedNodeOn(f.node("文集")));
    book->exec("update ywzx_ywlb set ywnr='无根之文' where lbbh='00003'");
    boxes.shown.clear();
    for (int row : {0, 1, 2}) {
        const auto results13 = TShowjbywnrForm::runModal.replace([&](TShowjbywnrForm &form) {
            form.nrbtListBox->setCurrentRow(row);
            return int(QDialog::Rejected);
        });
        f.select(f.node("人物传记"));
        f.window->FindDialog2->setText("无根之文");
        f.window->FindDialog2Find();
        QCOMPARE(boxes.shown.size(), row + 1);
        QCOMPARE(boxes.shown.last().text, QString("对不起,没有找到您要查找的内容!"));
        QCOMPARE(selectedLabel(), QString("人物传记[00001]"));
    }
}

void TestSearch::chapterWrittenElsewhere_data()
{
    QTest::addColumn<QString>("parent");
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("deletedMeanwhile");
    QTest::addColumn<QString>("parentLabel");
    QTest::addColumn<QStringList>("children"); // the parent's, after the landing
    QTest::newRow("under a loaded chapter") << "00011" << 20 << false << "甲部" << QStringList({"乙部[00111]", "新章[00007]"});
    QTest::newRow("first under the root") << "00000" << 0 << false << "书"
                                          << QStringList({"新章[00007]", "人物传记[00001]", "人物[00002]", "Abc[00003]",
                                                          "括[号[00004]", "文集[00005]", "人物[00006]"});
    QTest::newRow("between the root's chapters") << "00000" << 4 << false << "书"
                                                 << QStringList({"人物传记[00001]", "新章[00007]", "人物[00002]", "Abc[00003]",
                                                                 "括[号[00004]", "文集[00005]", "人物[00006]"});
    QTest::newRow("under a chapter loaded empty") << "01111" << 20 << false << "深藏" << QStringList({"新章[00007]"});
    QTest::newRow("under a chapter new too") << "00017" << 20 << false << "中间" << QStringList({"新章[00007]"});
    QTest::newRow("deleted meanwhile") << "00011" << 20 << true << "甲部" << QStringList({"乙部[00111]"});
}

// Another connection to the book (another station) adds a chapter after the
// tree was read; the full-text search finds it and the tree is brought to
// it. A hit deleted while the results window is open is said to be gone.
void TestSearch::chapterWrittenElsewhere()
{
    QFETCH(QString, parent);
    QFETCH(int, id);
    QFETCH(bool, deletedMeanwhile);
    QFETCH(QString, parentLabel);
    QFETCH(QStringList, children);
    for (const char *chapter : {"甲部", "乙部", "深藏"})
        f.node(chapter)->setExpanded(true);
    QCOMPARE(f.node("深藏")->childCount(), 0);
    if (parent == "00017")
        book->chapter(19, "00017", "中间", "00011");
    book->chapter(id, "00007", "新章", parent, "新来之文");
    const QString before = selectedLabel();
    ScriptedBoxes boxes;
    const auto results = TShowjbywnrForm::runModal.replace([&](TShowjbywnrForm &) {
        if (deletedMeanwhile)
            book->exec("delete from ywzx_ywlb where lbbh='00007'");
        return int(QDialog::Rejected);
    });
    f.window->FindDialog2->setText("新来之文");
    f.window->FindDialog2Find();
    QCOMPARE(f.childLabels(f.node(parentLabel)), children);
    if (!deletedMeanwhile) {
        QCOMPARE(selectedLabel(), QString("新章[00007]"));
        QCOMPARE(f.window->memo1->toPlainText(), QString("新来之文"));
        QCOMPARE(boxes.shown.size(), 0);
        return;
    }
    QCOMPARE(selectedLabel(), before);
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].text, QString("您选择的章节已被删除，无法转到该章节。请刷新目录后再查找。"));
    QCOMPARE(boxes.shown[0].caption, QString("系统提示"));
}

void TestSearch::specialCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("hits");
    QTest::newRow("apostrophe") << "O'Neil" << QStringList({"人物[N00002]"});
    QTest::newRow("double quote") << "\"引\"" << QStringList({"人物[N00002]"});
    QTest::newRow("percent keeps its meaning") << "之%明" << QStringList({"人物传记[N00001]", "人物[N00002]"});
    QTest::newRow("underscore is one character") << "a_b" << QStringList({"人物[N00002]"});
    QTest::newRow("underscore matches any") << "深_之" << QStringList({"深藏[N01111]"});
}

void TestSearch::specialCharacters()
{
    QFETCH(QString, text);
    QFETCH(QStringList, hits);
    QStringList labels;
    QStringList narrowed;
    const auto results14 = TShowjbywnrForm::runModal.replace([&](TShowjbywnrForm &form) {
        for (int i = 0; i < form.nrbtListBox->count(); ++i)
            labels << form.nrbtListBox->text(i);
        form.Edit1->setText(text); // narrowing by the same text keeps them all
        form.Button1Click();
        for (int i = 0; i < form.nrbtListBox->count(); ++i)
            narrowed << form.nrbtListBox->text(i);
        return int(QDialog::Rejected);
    });
    ScriptedBoxes boxes;
    f.window->FindDialog2->setText(text);
    f.window->FindDialog2Find();
    QCOMPARE(labels, hits);
    QCOMPARE(narrowed, hits);
}

// A reader on the demo book finds a poet by name, searches a line of a
// poem, narrows the hits and lands on the poet when the window closes.
void TestSearch::demoBookWalkthrough()
{
    QTemporaryDir demo;
    const QString path = demo.filePath("demo.mdb");
    QCOMPARE(runTool({"demo", path}).code, 0);
    f.open(path);
    ScriptedBoxes boxes;
    f.select(f.root());
    find("李白", true, true);
    QCOMPARE(selectedLabel(), QString("李白[%1]").arg(f.window->currentChapterCode));
    QVERIFY(f.window->memo1->toPlainText().contains("床前明月光"));

    QStringList listed;
    const auto results15 = TShowjbywnrForm::runModal.replace([&](TShowjbywnrForm &form) {
        for (int i = 0; i < form.nrbtListBox->count(); ++i)
            listed << form.nrbtListBox->text(i);
        form.Edit1->setText("举头望明月");
        form.Button1Click();
        listed << QString::number(form.nrbtListBox->count());
        form.exit_btn->click();
        return int(QDialog::Rejected);
    });
    f.select(f.node("杜甫"));
    f.window->FindDialog2->setText("床前明月光");
    f.window->FindDialog2Find();
    QVERIFY2(listed.first().startsWith("李白[N"), qPrintable(listed.join(' ')));
    QCOMPARE(listed.last(), QString("1"));
    QVERIFY(selectedLabel().startsWith("李白["));
    QVERIFY(boxes.shown.isEmpty());
}

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
