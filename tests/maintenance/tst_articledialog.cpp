#include "../browser/BrowserFixture.h"
#include "DialogScript.h"
#include "common/AppError.h"
#include "common/DateTimeText.h"
#include "maintenance/ywlbwhFrm.h"
#include "maintenance/ywnrwhFrm.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

// The article dialog and the six maintenance commands of the browser
// window, on real books.
class TestArticleDialog : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void addToAChapterWithArticles();
    void addToAChapterWithoutArticles();
    void chapterRowMissing();
    void editShowsToday();
    void emptyFieldChecksInOrder();
    void duplicateAndMissingCodes();
    void editToAnotherArticlesCode();
    void addAppendsAndStaysOpen();
    void deleting();
    void badDate();
    void codeWithAQuote();
    void nullTitle();
    void textRoundTrip();
    void typedLineBreaks();
    void browseMode();
    void escapeKey();
    void overLongImportedTitle();
    void bracketsInTitlesAndCodes();
    void commandsFollowTheSelection();
    void anotherProgramsChange();
    void focusNeverInAReadOnlyField();

private:
    void open(const QString &code, int mode, const std::function<void(TywnrwhForm &)> &act = {});
    QString row(const QString &code, const QString &column)
    {
        return book->scalar(QString("select %1 from ywzx_ywnr where nrbh=?").arg(column), {code}).toString();
    }
    std::unique_ptr<TestBook> book;
    BrowserFixture f;
    QStringList opened; // dialogs opened by the commands: "kind mode code"
};

void TestArticleDialog::init()
{
    book = std::make_unique<TestBook>("书");
    book->chapter(2, "00012", "Annals", "00000", "编年");
    book->chapter(3, "00013", "空章", "00000");
    book->article("00001", "文一", "00012", "文一正文\r\n次行", "2024-03-05 14:05:06");
    book->article("00002", "文二", "00012", "文二正文");
    book->article("00003", "孤文", "09999", "无章");
    f.open(book->path());
    opened.clear();
}

void TestArticleDialog::cleanup()
{
    f.window.reset();
    book.reset();
}

void TestArticleDialog::open(const QString &code, int mode, const std::function<void(TywnrwhForm &)> &act)
{
    whileShown<TywnrwhForm>([&] { ShowArticleDialog(code, f.window->TreeView, mode); }, act);
}

void TestArticleDialog::addToAChapterWithArticles()
{
    f.select(f.node("Annals"));
    open("00001", 1, [&](TywnrwhForm &d) {
        QCOMPARE(d.windowTitle(), QString("文章内容维护"));
        QCOMPARE(d.ok_nr_btn->text(), QString("确定添加"));
        QCOMPARE(d.nr_flbh_Edit->text(), QString("00012"));
        QCOMPARE(d.nr_flmc_Edit->text(), QString("Annals"));
        for (QLineEdit *e : {d.nr_nrbh_Edit, d.nr_nrbt_Edit, d.nr_xgr_Edit})
            QVERIFY(e->text().isEmpty());
        QVERIFY(d.nr_memo->toPlainText().isEmpty());
        QVERIFY(!d.whPanel->isVisibleTo(&d));
        QVERIFY(!d.nr_nrbh_Edit->isReadOnly() && d.nr_flbh_Edit->isReadOnly());
    });
}

void TestArticleDialog::addToAChapterWithoutArticles()
{
    f.select(f.node("空章"));
    open("", 1, [&](TywnrwhForm &d) {
        QCOMPARE(d.nr_flbh_Edit->text(), QString("00013"));
        QCOMPARE(d.nr_flmc_Edit->text(), QString("空章"));
    });
    // The owning chapter is the code and name kept beside the label, never
    // read back from the label.
    f.node("Annals")->setText(0, "Annals[00099]");
    f.select(f.node("Annals"));
    open("", 1, [&](TywnrwhForm &d) {
        QCOMPARE(d.nr_flbh_Edit->text(), QString("00012"));
        QCOMPARE(d.nr_flmc_Edit->text(), QString("Annals"));
    });
}

void TestArticleDialog::chapterRowMissing()
{
    ScriptedBoxes boxes;
    open("00003", 1, [&](TywnrwhForm &d) {
        QVERIFY(d.nr_flbh_Edit->text().isEmpty());
        d.nr_nrbh_Edit->setText("00009");
        d.nr_nrbt_Edit->setText("新");
        QVERIFY(!d.SaveArticle());
    });
    QCOMPARE(boxes.shown[0].text, QString("父类编号字段不能为空。请完整输入后再试！"));
}

void TestArticleDialog::editShowsToday()
{
    open("00001", 2, [&](TywnrwhForm &d) {
        QCOMPARE(d.ok_nr_btn->text(), QString("确定修改"));
        QCOMPARE(d.nr_nrbt_Edit->text(), QString("文一"));
        QCOMPARE(d.nr_xgrq_DateEdit->text(), DateTimeText::shortDate(QDate::currentDate()));
        QVERIFY(d.nr_xgr_Edit->text().isEmpty());
        QCOMPARE(d.nr_memo->toPlainText(), QString("文一正文\n次行"));
        d.cancel_nr_btnClick();
    });
    QCOMPARE(row("00001", "ywnr"), QString("文一正文\r\n次行"));
    open("77777", 2, [&](TywnrwhForm &d) {
        QVERIFY(d.nr_nrbt_Edit->text().isEmpty());
        QCOMPARE(d.nr_xgrq_DateEdit->text(), DateTimeText::shortDate(QDate::currentDate()));
    });
}

void TestArticleDialog::emptyFieldChecksInOrder()
{
    ScriptedBoxes boxes;
    open("", 1, [&](TywnrwhForm &d) {
        d.nr_flbh_Edit->clear();
        QVERIFY(!d.SaveArticle());
        d.nr_nrbh_Edit->setText(" ");
        QVERIFY(!d.SaveArticle());
        d.nr_nrbt_Edit->setText(" ");
        QVERIFY(!d.SaveArticle());
    });
    QStringList texts;
    for (const auto &b : boxes.shown)
        texts << b.text;
    QCOMPARE(texts, QStringList({"内容编号字段不能为空。请完整输入后再试！", "内容标题字段不能为空。请完整输入后再试！",
                                 "父类编号字段不能为空。请完整输入后再试！"}));
}

void TestArticleDialog::duplicateAndMissingCodes()
{
    ScriptedBoxes boxes;
    f.select(f.node("Annals"));
    open("00001", 1, [&](TywnrwhForm &d) {
        d.nr_nrbh_Edit->setText("00002");
        d.nr_nrbt_Edit->setText("重");
        QVERIFY(!d.SaveArticle());
        QVERIFY(d.nr_nrbh_Edit->text().isEmpty());
    });
    open("00001", 2, [&](TywnrwhForm &d) {
        d.nr_nrbh_Edit->setText("88888");
        QVERIFY(!d.SaveArticle());
        QCOMPARE(d.nr_nrbh_Edit->text(), QString("00001"));
    });
    QCOMPARE(boxes.shown[0].text, QString("此编号已存在。内容编号不允许重复。请重新输入编号后再试！"));
    QCOMPARE(boxes.shown[1].text, QString("此编号不存在。您不能修改不存在的编号。请重新输入编号后再试！"));
    QCOMPARE(row("00002", "nrbt"), QString("文二"));
}

void TestArticleDialog::editToAnotherArticlesCode()
{
    f.node("Annals")->setExpanded(true);
    f.select(f.node("文一"));
    {
        ScriptedBoxes boxes(QMessageBox::Cancel);
        open("00001", 2, [&](TywnrwhForm &d) {
            d.nr_nrbh_Edit->setText("00002");
            QVERIFY(!d.SaveArticle());
            QCOMPARE(d.nr_nrbh_Edit->text(), QString("00001"));
        });
        QCOMPARE(boxes.shown[0].text, QString("系统检测到您修改了内容编号。\r此编号的原始内容标题为:文二\r"
                                              "确定修改将替换此类别的原始数据,您是否确定修改?"));
        QCOMPARE(row("00002", "nrbt"), QString("文二"));
    }
    ScriptedBoxes boxes(QMessageBox::Ok);
    open("00001", 2, [&](TywnrwhForm &d) {
        d.nr_nrbh_Edit->setText("00002");
        d.nr_nrbt_Edit->setText("新题");
        d.ok_nr_btnClick();
        QCOMPARE(d.currentCode, QString("00002"));
    });
    QCOMPARE(row("00002", "nrbt"), QString("新题"));
    QCOMPARE(row("00002", "ywnr"), QString("文一正文\r\n次行"));
    QCOMPARE(row("00001", "nrbt"), QString("文一"));
    QCOMPARE(f.window->TreeView->currentItem()->text(0), QString("新题[N00002]"));
}

void TestArticleDialog::addAppendsAndStaysOpen()
{
    f.node("Annals")->setExpanded(true);
    f.select(f.node("Annals"));
    open("00001", 1, [&](TywnrwhForm &d) {
        for (const QString &code : QStringList{"00010", "00011"}) {
            d.nr_nrbh_Edit->setText(code);
            d.nr_nrbt_Edit->setText("题" + code);
            d.nr_memo->setPlainText("正文\n二");
            d.ok_nr_btnClick();
            QCOMPARE(d.ok_nr_btn->text(), QString("确定添加"));
            QVERIFY(d.nr_nrbh_Edit->text().isEmpty());
            QCOMPARE(d.nr_flbh_Edit->text(), QString("00012"));
        }
    });
    QCOMPARE(row("00011", "lbbh"), QString("00012"));
    QCOMPARE(row("00011", "ywnr"), QString("正文\r\n二"));
    QCOMPARE(row("00011", "xgr"), QString(""));
    QCOMPARE(f.childLabels(f.node("Annals")),
             QStringList({"文一[N00001]", "文二[N00002]", "题00010[N00010]", "题00011[N00011]"}));
    QCOMPARE(f.window->TreeView->currentItem(), f.node("Annals"));
}

void TestArticleDialog::deleting()
{
    f.node("Annals")->setExpanded(true);
    f.select(f.node("文二"));
    {
        ScriptedBoxes cancel(QMessageBox::Cancel);
        f.window->delete_nr_btnClick();
        QCOMPARE(cancel.shown[0].text, QString("删除功能将从数据库中删除选定内容的所有数据。\r"
                                               "数据删除后将是不可恢复的,您确定要删除当前内容吗？"));
        QCOMPARE(row("00002", "nrbt"), QString("文二"));
    }
    ScriptedBoxes ok(QMessageBox::Ok);
    f.window->delete_nr_btnClick();
    QCOMPARE(book->scalar("select count(*) from ywzx_ywnr where nrbh='00002'").toInt(), 0);
    QVERIFY(!f.node("文二"));
    // 删除 in browse mode closes the dialog whatever the answer.
    f.select(f.node("文一"));
    ok.answerNext(QMessageBox::Cancel);
    open("00001", 0, [&](TywnrwhForm &d) {
        d.show();
        d.delete_nr_btnClick();
        QVERIFY(!d.isVisible());
    });
}

void TestArticleDialog::badDate()
{
    open("00001", 2, [&](TywnrwhForm &d) {
        d.nr_nrbt_Edit->setText("改");
        d.nr_xgrq_DateEdit->setText("明天");
        try {
            d.SaveArticle();
            QFAIL("no error");
        } catch (const AppError &error) {
            QVERIFY(error.message().startsWith("“明天”不是有效的日期和时间。"));
        }
        QCOMPARE(d.nr_nrbt_Edit->text(), QString("改"));
    });
    QCOMPARE(row("00001", "nrbt"), QString("文一"));
    // A one-digit hour is a time like any other.
    open("00001", 2, [&](TywnrwhForm &d) {
        d.nr_xgrq_DateEdit->setText("2024/1/5 9:05");
        QVERIFY(d.SaveArticle());
    });
    QCOMPARE(row("00001", "xgrq"), QString("2024-01-05 09:05:00"));
}

void TestArticleDialog::codeWithAQuote()
{
    f.node("Annals")->setExpanded(true);
    f.select(f.node("Annals"));
    open("00001", 1, [&](TywnrwhForm &d) {
        d.nr_nrbh_Edit->setText("o'k");
        d.nr_nrbt_Edit->setText("引");
        QVERIFY(d.SaveArticle());
    });
    QCOMPARE(row("o'k", "nrbt"), QString("引"));
    f.select(f.node("引"));
    QCOMPARE(f.window->currentArticleCode, QString("o'k"));
    open("o'k", 2, [&](TywnrwhForm &d) {
        QCOMPARE(d.nr_nrbt_Edit->text(), QString("引"));
        d.nr_nrbt_Edit->setText("引二");
        QVERIFY(d.SaveArticle());
    });
    QCOMPARE(row("o'k", "nrbt"), QString("引二"));
    ScriptedBoxes ok(QMessageBox::Ok);
    f.window->delete_nr_btnClick();
    QCOMPARE(book->scalar("select count(*) from ywzx_ywnr where nrbh=?", {"o'k"}).toInt(), 0);
}

// A null title reads as empty text: the article opens in every mode, can be
// given a title and can be deleted.
void TestArticleDialog::nullTitle()
{
    book->exec("update ywzx_ywnr set nrbt=null where nrbh='00002'");
    f.node("Annals")->setExpanded(true);
    f.select(f.node("文二"));
    QStringList titles;
    for (int mode : {0, 1, 2})
        open("00002", mode, [&](TywnrwhForm &d) { titles << d.nr_nrbt_Edit->text() + d.nr_flbh_Edit->text(); });
    QCOMPARE(titles, QStringList({"00012", "00012", "00012"}));
    open("00002", 2, [&](TywnrwhForm &d) {
        d.nr_nrbt_Edit->setText("补题");
        d.ok_nr_btnClick();
    });
    QCOMPARE(row("00002", "nrbt"), QString("补题"));
    QCOMPARE(f.window->TreeView->currentItem()->text(0), QString("补题[N00002]"));
    book->exec("update ywzx_ywnr set nrbt=null where nrbh='00002'");
    ScriptedBoxes ok(QMessageBox::Ok);
    open("00002", 3);
    QCOMPARE(book->scalar("select count(*) from ywzx_ywnr where nrbh='00002'").toInt(), 0);
}

void TestArticleDialog::textRoundTrip()
{
    QString text = QString(12000, QChar(0x5C71)) + "\r\n\r\n末行\u00A0";
    book->exec("update ywzx_ywnr set ywnr=? where nrbh='00001'", {text});
    open("00001", 2, [&](TywnrwhForm &d) { QVERIFY(d.SaveArticle()); });
    QCOMPARE(row("00001", "ywnr").toUtf8(), text.toUtf8());
}

// Enter and Shift+Enter typed in the text both store the book's CR LF.
void TestArticleDialog::typedLineBreaks()
{
    f.node("Annals")->setExpanded(true);
    f.select(f.node("文一"));
    open("00001", 2, [&](TywnrwhForm &d) {
        d.show();
        d.nr_memo->clear();
        d.nr_memo->setFocus();
        QTest::keyClick(d.nr_memo, Qt::Key_A);
        QTest::keyClick(d.nr_memo, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClick(d.nr_memo, Qt::Key_B);
        QTest::keyClick(d.nr_memo, Qt::Key_Return);
        QTest::keyClick(d.nr_memo, Qt::Key_C);
        QTest::keyClick(d.nr_memo, Qt::Key_Enter, Qt::ShiftModifier | Qt::KeypadModifier);
        d.ok_nr_btnClick();
    });
    QCOMPARE(row("00001", "ywnr"), QString("a\r\nb\r\nc\r\n"));
}

void TestArticleDialog::browseMode()
{
    open("00001", 0, [&](TywnrwhForm &d) {
        QVERIFY(d.whPanel->isVisibleTo(&d));
        QVERIFY(d.exit_btn->isVisibleTo(&d) && !d.ok_nr_btn->isVisibleTo(&d));
        QVERIFY(!d.nr_xgrq_DateEdit->isReadOnly() && d.nr_nrbt_Edit->isReadOnly());
        d.edit_nr_btnClick(); // prepares the edit state, then focuses the title
        QVERIFY(!d.nr_nrbt_Edit->isReadOnly());
        QCOMPARE(d.ok_nr_btn->text(), QString("确定修改"));
        d.nr_nrbt_Edit->setText("临时");
        d.cancel_nr_btnClick(); // mode 0: reload and lock, stay open
        QCOMPARE(d.nr_nrbt_Edit->text(), QString("文一"));
        QVERIFY(d.nr_memo->isReadOnly());
        d.insert_nr_BtnClick();
        QCOMPARE(d.ok_nr_btn->text(), QString("确定添加"));
        d.nr_nrbh_Edit->setText("00020");
        d.nr_nrbt_Edit->setText("浏览中添加");
        d.ok_nr_btnClick();
        QVERIFY(d.nr_nrbt_Edit->isReadOnly()); // locked after the save
    });
    QCOMPARE(row("00020", "lbbh"), QString("00012"));
}

// A real Esc key in the shown dialog: 取消 while it is shown, else the close box.
void TestArticleDialog::escapeKey()
{
    const auto esc = [](TywnrwhForm &d, QWidget *field) {
        d.show();
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Escape);
    };
    open("00001", 0, [&](TywnrwhForm &d) {
        d.edit_nr_btnClick();
        d.nr_nrbt_Edit->setText("临时");
        esc(d, d.nr_nrbt_Edit);
        QVERIFY(d.isVisible()); // mode 0: reloaded and locked, not closed
        QCOMPARE(d.nr_nrbt_Edit->text(), QString("文一"));
        QVERIFY(d.nr_nrbt_Edit->isReadOnly() && d.exit_btn->isVisibleTo(&d));
        esc(d, d.nr_memo); // 取消 hidden: Esc closes as the close box does
        QVERIFY(!d.isVisible());
    });
    open("00001", 1, [&](TywnrwhForm &d) {
        d.nr_nrbh_Edit->setText("00030");
        esc(d, d.nr_nrbh_Edit);
        QVERIFY(!d.isVisible());
    });
    QCOMPARE(row("00001", "nrbt"), QString("文一"));
    QCOMPARE(book->scalar("select count(*) from ywzx_ywnr where nrbh='00030'").toInt(), 0);
}

// An imported 50-byte title (limit 40) opens whole; no keystroke makes it
// longer, deleting shortens it, a character may replace one as long.
void TestArticleDialog::overLongImportedTitle()
{
    const QString title = QString(25, QChar(0x6587));
    book->exec("update ywzx_ywnr set nrbt=? where nrbh='00001'", {title});
    open("00001", 2, [&](TywnrwhForm &d) {
        QLineEdit *e = d.nr_nrbt_Edit;
        QCOMPARE(e->text(), title);
        e->setFocus();
        e->end(false);
        QTest::keyClicks(e, "x");
        e->insert(QStringLiteral("中"));
        QCOMPARE(e->text(), title);
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClick(e, Qt::Key_Backspace);
        QCOMPARE(e->text(), title.left(23));
        QTest::keyClicks(e, "x");
        QCOMPARE(e->text(), title.left(23));
        QTest::keyClick(e, Qt::Key_Left, Qt::ShiftModifier);
        e->insert(QStringLiteral("中"));
        QCOMPARE(e->text(), title.left(22) + "中");
        e->selectAll();
        QTest::keyClicks(e, "ab");
        QCOMPARE(e->text(), QString("ab"));
    });
}

// Brackets in a chapter name or an imported article code never make a node
// act on another record; a typed code with a bracket is refused.
void TestArticleDialog::bracketsInTitlesAndCodes()
{
    book->chapter(4, "00014", "附[00012]", "00000");
    book->article("7]", "甲", "00012", "甲文");
    book->article("7", "乙", "00012", "乙文");
    f.window->N5Click();
    f.select(f.node("附[00012]"));
    ScriptedBoxes boxes(QMessageBox::Ok);
    open("", 1, [&](TywnrwhForm &d) {
        QCOMPARE(d.nr_flbh_Edit->text(), QString("00014"));
        QCOMPARE(d.nr_flmc_Edit->text(), QString("附[00012]"));
        d.nr_nrbt_Edit->setText("丙[N00001]");
        for (const QString code : {"x]", "[", "a[b"}) {
            d.nr_nrbh_Edit->setText(code);
            QVERIFY(!d.SaveArticle());
        }
        d.nr_nrbh_Edit->setText("00040");
        QVERIFY(d.SaveArticle());
    });
    QCOMPARE(boxes.shown.size(), 3);
    QCOMPARE(boxes.shown[0].text, QString("内容编号不能含有“[”或“]”。请重新输入编号后再试！"));
    QCOMPARE(boxes.shown[0].caption, QString("错误提示"));
    QCOMPARE(row("00040", "lbbh"), QString("00014"));
    QTreeWidgetItem *added = f.node("丙[N00001]");
    QCOMPARE(added->data(0, NodeRole::Code).toString(), QString("00040"));
    QCOMPARE(added->data(0, NodeRole::Name).toString(), QString("丙[N00001]"));
    // Change and delete the article coded 7]: article 7 stays as it was.
    f.node("Annals")->setExpanded(true);
    f.select(f.node("甲[N7]]"));
    const auto dialogs = maintenanceDialogRunner.replace([](QDialog &dialog) {
        auto &d = static_cast<TywnrwhForm &>(dialog);
        d.nr_nrbt_Edit->setText("甲改");
        d.ok_nr_btnClick();
        return 0;
    });
    f.window->edit_nr_btnClick();
    QCOMPARE(row("7]", "nrbt"), QString("甲改"));
    QCOMPARE(f.window->TreeView->currentItem()->data(0, NodeRole::Code).toString(), QString("7]"));
    f.window->delete_nr_btnClick();
    QCOMPARE(book->scalar("select count(*) from ywzx_ywnr where nrbh='7]'").toInt(), 0);
    QCOMPARE(row("7", "nrbt"), QString("乙"));
}

void TestArticleDialog::commandsFollowTheSelection()
{
    const auto dialogs2 = maintenanceDialogRunner.replace([&](QDialog &dialog) {
        if (auto *a = qobject_cast<TywnrwhForm *>(&dialog))
            opened << QString("article %1 %2").arg(a->mode).arg(a->currentCode);
        if (auto *c = qobject_cast<TywlbwhForm *>(&dialog))
            opened << QString("chapter %1 %2").arg(c->mode).arg(c->currentCode);
        return 0;
    });
    Tywzxform *w = f.window.get();
    ScriptedBoxes boxes(QMessageBox::Cancel);
    f.node("Annals")->setExpanded(true);
    f.select(f.root());
    f.select(f.node("Annals")); // its first child is an article
    w->Insert_lb_btnClick();
    w->Edit_lb_btnClick();
    w->delete_lb_btnClick();
    w->Insert_nr_btnClick();
    w->edit_nr_btnClick();
    w->delete_nr_btnClick();
    f.select(f.node("文一"));
    w->Insert_lb_btnClick(); // empty chapter code: nothing but the icon rule
    w->Insert_nr_btnClick(); // always, with an empty code
    w->edit_nr_btnClick();
    w->delete_nr_btnClick();
    QCOMPARE(opened, QStringList({"chapter 1 00012", "chapter 2 00012", "article 1 00001", "article 1 ",
                                  "article 2 00001"}));
    QCOMPARE(boxes.shown.size(), 2); // the two delete questions (mode 3 opens no window)
    // Every node carries the images of its level after the chapter add command.
    for (QTreeWidgetItemIterator it(w->TreeView); *it; ++it) {
        const int level = BookNode::levelOf(*it);
        QCOMPARE((*it)->data(0, NodeRole::Image).toInt(), level == 0 ? 0 : level == 1 ? 2 : 4);
    }
}

// An article changed by another program since the dialog loaded it is
// overwritten only on OK; the warning names who changed it and when.
void TestArticleDialog::anotherProgramsChange()
{
    f.select(f.node("Annals"));
    ScriptedBoxes boxes(QMessageBox::Cancel);
    open("00001", 2, [&](TywnrwhForm &d) {
        d.nr_nrbt_Edit->setText("我改");
        book->exec("update ywzx_ywnr set xgr=NULL where nrbh='00001'"); // '' and NULL differ
        QVERIFY(!d.SaveArticle());
        book->exec("update ywzx_ywnr set ywnr='他写的', xgr='' where nrbh='00001'");
        QVERIFY(!d.SaveArticle());
        QCOMPARE(row("00001", "ywnr"), QString("他写的"));
        QVERIFY(d.ok_nr_btn->isVisibleTo(&d));
        boxes.answerNext(QMessageBox::Ok);
        QVERIFY(d.SaveArticle());
    });
    QCOMPARE(boxes.shown.size(), 3);
    QCOMPARE(boxes.shown[0].text.section('\r', 0, 1),
             QString("系统检测到此内容在您打开之后已被其他程序修改。\r修改员工：（未填写），修改日期：%1。")
                 .arg(DateTimeText::display(QDateTime(QDate(2024, 3, 5), QTime(14, 5, 6)))));
    QCOMPARE(row("00001", "nrbt"), QString("我改"));
    QCOMPARE(row("00001", "ywnr"), QString("文一正文\r\n次行"));
}

// No mode opens with the focus in a field that cannot be typed into.
void TestArticleDialog::focusNeverInAReadOnlyField()
{
    f.select(f.node("Annals"));
    for (int mode : {0, 1, 2})
        open("00001", mode, [&](TywnrwhForm &d) {
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            const auto *line = qobject_cast<QLineEdit *>(d.focusWidget());
            QVERIFY2(d.focusWidget() && !(line && line->isReadOnly()), qPrintable(QString::number(mode)));
            d.hide();
        });
}

QTEST_MAIN(TestArticleDialog)
#include "tst_articledialog.moc"
