#include "../browser/BrowserFixture.h"
#include "DialogScript.h"
#include "common/AppError.h"
#include "common/DateTimeText.h"
#include "maintenance/ywlbwhFrm.h"
#include "search/FindDialog.h"
#include "search/ShowjbywnrFrm.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>
#include <optional>
#include <unistd.h>
#include <sys/stat.h>

// The chapter dialog on real books, driven through its routines and
// handlers with scripted answers to its message boxes.
class TestChapterDialog : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void presentations();
    void rootChapter();
    void codeWithoutRow();
    void emptyFieldChecksInOrder();
    void addWithAnExistingCode();
    void editToAMissingCode();
    void editToAnotherChaptersCode();
    void idsAndAddMode();
    void randomCodes();
    void deleting();
    void badDate();
    void photoFileMissing();
    void photoKeptReplacedCleared();
    void longTextRoundTrip();
    void typedLineBreaks();
    void codeWithAQuote();
    void cancelInBrowseMode();
    void inputLimitsCountGbkBytes();
    void escapeKey();
    void addKeepsAPickedPhoto();
    void fieldsShowTheirBeginning();
    void nullName();
    void bracketsInNamesAndCodes();
    void nameLookingLikeALabel_data();
    void nameLookingLikeALabel();
    void pastedTextIsStoredValid();
    void photoReadOnceWhenPicked();
    void anotherProgramsWrite();
    void staffButtonsAndAddingUnderAnUnloadedChapter();

private:
    // Opens the dialog as the browser does and runs `act` while it is shown.
    void open(const QString &code, int mode, const std::function<void(TywlbwhForm &)> &act = {});
    static bool silver(QLineEdit *e) { return e->palette().color(QPalette::Base) == QColor(192, 192, 192); }
    QString row(const QString &code, const QString &column)
    {
        return book->scalar(QString("select %1 from ywzx_ywlb where lbbh=?").arg(column), {code}).toString();
    }
    std::unique_ptr<TestBook> book;
    BrowserFixture f;
    QTemporaryDir dir;
};

void TestChapterDialog::init()
{
    book = std::make_unique<TestBook>("书");
    book->chapter(2, "00001", "第一章", "00000", "第一章正文\r\n第二行", "2024-03-05 14:05:06");
    book->chapter(3, "00002", "第二章", "00000", "二");
    book->chapter(4, "00011", "第一节", "00001", "节");
    book->article("00001", "文一", "00002", "文");
    f.open(book->path());
}

void TestChapterDialog::cleanup()
{
    f.window.reset();
    book.reset();
}

void TestChapterDialog::open(const QString &code, int mode, const std::function<void(TywlbwhForm &)> &act)
{
    whileShown<TywlbwhForm>([&] { ShowChapterDialog(code, f.window->TreeView, mode); }, act);
}

void TestChapterDialog::presentations()
{
    QStringList seen;
    open("00001", 0, [&](TywlbwhForm &d) {
        QVERIFY(d.whPanel->isVisibleTo(&d));
        QCOMPARE(d.windowTitle(), QString("章节内容维护"));
        QCOMPARE(d.lb_lbbh_Edit->text(), QString("00001"));
        QCOMPARE(d.lb_lbmc_Edit->text(), QString("第一章"));
        QCOMPARE(d.lb_flbh_Edit->text(), QString("00000"));
        QCOMPARE(d.lb_flmc_Edit->text(), QString("书"));
        QCOMPARE(d.lb_xgrq_dateedit->text(), QString("2024/3/5 14:05:06"));
        QCOMPARE(d.nr_memo->toPlainText(), QString("第一章正文\n第二行"));
        for (QLineEdit *e : {d.lb_lbbh_Edit, d.lb_lbmc_Edit, d.lb_flbh_Edit, d.lb_flmc_Edit, d.lb_xgrq_dateedit, d.lb_xgr_Edit})
            QVERIFY(silver(e));
        QVERIFY(d.lb_lbbh_Edit->isReadOnly() && !d.lb_xgrq_dateedit->isReadOnly());
        QVERIFY(!d.ok_lb_btn->isVisibleTo(&d) && !d.cancel_lb_btn->isVisibleTo(&d) && d.exit_btn->isVisibleTo(&d));
        QVERIFY(d.edit_lb_btn->isVisibleTo(&d) && d.delete_lb_btn->isVisibleTo(&d));
        d.edit_lb_btnClick();
        QCOMPARE(d.ok_lb_btn->text(), QString("确定修改"));
        QVERIFY(!d.lb_lbmc_Edit->isReadOnly() && !silver(d.lb_lbmc_Edit));
        QVERIFY(d.lb_flbh_Edit->isReadOnly() && silver(d.lb_flbh_Edit));
        QVERIFY(!d.Insert_lb_Btn->isEnabled() && d.ok_lb_btn->isVisibleTo(&d) && !d.exit_btn->isVisibleTo(&d));
        QVERIFY(d.ok_lb_btn->isDefault());
        d.LockFields();
        QVERIFY(d.lb_lbmc_Edit->isReadOnly() && d.Insert_lb_Btn->isEnabled() && d.exit_btn->isVisibleTo(&d));
        seen << "0";
    });
    open("00001", 1, [&](TywlbwhForm &d) {
        QVERIFY(!d.whPanel->isVisibleTo(&d));
        QCOMPARE(d.ok_lb_btn->text(), QString("确定添加"));
        QCOMPARE(d.lb_flbh_Edit->text(), QString("00001"));
        QCOMPARE(d.lb_flmc_Edit->text(), QString("第一章"));
        QCOMPARE(d.lb_lbbh_Edit->text().size(), 5);
        QVERIFY(d.lb_lbmc_Edit->text().isEmpty() && d.nr_memo->toPlainText().isEmpty() && d.lb_xgr_Edit->text().isEmpty());
        QCOMPARE(d.lb_xgrq_dateedit->text(), DateTimeText::shortDate(QDate::currentDate()));
        seen << "1";
    });
    open("00001", 2, [&](TywlbwhForm &d) {
        QCOMPARE(d.ok_lb_btn->text(), QString("确定修改"));
        QCOMPARE(d.lb_lbmc_Edit->text(), QString("第一章"));
        QCOMPARE(d.lb_xgrq_dateedit->text(), DateTimeText::shortDate(QDate::currentDate()));
        QVERIFY(d.lb_xgr_Edit->text().isEmpty());
        seen << "2";
    });
    ScriptedBoxes boxes(QMessageBox::Cancel);
    open("00001", 3, [&](TywlbwhForm &) { seen << "3 shown"; });
    QCOMPARE(seen, QStringList({"0", "1", "2"}));
    QCOMPARE(boxes.shown.size(), 1); // mode 3 asks, never shows the window
}

void TestChapterDialog::rootChapter()
{
    book->exec("delete from ywzx_ywlb where lbbh='00000'");
    open("00000", 0, [&](TywlbwhForm &d) {
        QCOMPARE(d.lb_flbh_Edit->text(), QString("00000"));
        QCOMPARE(d.lb_flmc_Edit->text(), QString("澜州省档案馆电子书刊"));
        QVERIFY(!d.edit_lb_btn->isVisibleTo(&d));
        QVERIFY(!d.delete_lb_btn->isVisibleTo(&d));
        QVERIFY(d.Insert_lb_Btn->isVisibleTo(&d));
    });
}

void TestChapterDialog::codeWithoutRow()
{
    ScriptedBoxes boxes;
    open("09999", 1, [&](TywlbwhForm &d) {
        QVERIFY(d.lb_flbh_Edit->text().isEmpty());
        QVERIFY(d.lb_flbh_Edit->isReadOnly());
        d.lb_lbmc_Edit->setText("新");
        QVERIFY(!d.SaveChapter());
    });
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].text, QString("父类编号字段不能为空。请完整输入后再试！"));
    QCOMPARE(boxes.shown[0].caption, QString("错误提示"));
    QCOMPARE(boxes.shown[0].icon, QMessageBox::Critical);
}

void TestChapterDialog::emptyFieldChecksInOrder()
{
    ScriptedBoxes boxes;
    open("09999", 2, [&](TywlbwhForm &d) {
        QVERIFY(!d.SaveChapter());
        d.lb_lbbh_Edit->setText(" ");
        QVERIFY(!d.SaveChapter());
        d.lb_lbmc_Edit->setText(" "); // blanks pass the checks
        QVERIFY(!d.SaveChapter());
    });
    QStringList texts;
    for (const auto &b : boxes.shown)
        texts << b.text;
    QCOMPARE(texts, QStringList({"类别编号字段不能为空。请完整输入后再试！", "类别名称字段不能为空。请完整输入后再试！",
                                 "父类编号字段不能为空。请完整输入后再试！"}));
}

void TestChapterDialog::addWithAnExistingCode()
{
    ScriptedBoxes boxes;
    f.select(f.node("第一章"));
    open("00001", 1, [&](TywlbwhForm &d) {
        d.lb_lbbh_Edit->setText("00002");
        d.lb_lbmc_Edit->setText("重复");
        d.ok_lb_btnClick();
        QCOMPARE(d.lb_lbbh_Edit->text(), QString());
        QVERIFY(d.ok_lb_btn->isVisibleTo(&d));
    });
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].text, QString("此类别已存在。类别编号不允许重复。请重新输入类别编号后再试！"));
    QCOMPARE(row("00002", "lbmc"), QString("第二章"));
}

void TestChapterDialog::editToAMissingCode()
{
    ScriptedBoxes boxes;
    open("00001", 2, [&](TywlbwhForm &d) {
        d.lb_lbbh_Edit->setText("77777");
        QVERIFY(!d.SaveChapter());
        QCOMPARE(d.lb_lbbh_Edit->text(), QString("00001"));
    });
    QCOMPARE(boxes.shown[0].text, QString("此类别不存在。您不能修改不存在的类别。请重新输入类别编号后再试！"));
    QCOMPARE(book->scalar("select count(*) from ywzx_ywlb where lbbh='77777'").toInt(), 0);
}

void TestChapterDialog::editToAnotherChaptersCode()
{
    f.select(f.node("第一章"));
    {
        ScriptedBoxes boxes(QMessageBox::Cancel);
        open("00001", 2, [&](TywlbwhForm &d) {
            d.lb_lbbh_Edit->setText("00002");
            d.lb_lbmc_Edit->setText("改名");
            QVERIFY(!d.SaveChapter());
            QCOMPARE(d.lb_lbbh_Edit->text(), QString("00001"));
        });
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.shown[0].caption, QString("警告"));
        QCOMPARE(boxes.shown[0].text, QString("系统检测到您修改了类别编号。\r此类别原始类别名称为：第二章\r"
                                              "确定修改将替换此类别的原始数据，您是否确定修改？"));
        QCOMPARE(boxes.shown[0].defaultButton, QMessageBox::Cancel);
        QCOMPARE(row("00002", "lbmc"), QString("第二章"));
    }
    ScriptedBoxes boxes(QMessageBox::Ok);
    QString codeAfter;
    open("00001", 0, [&](TywlbwhForm &d) {
        d.edit_lb_btnClick();
        d.lb_lbbh_Edit->setText("00002");
        d.lb_lbmc_Edit->setText("改名");
        d.lb_xgr_Edit->setText("张");
        d.ok_lb_btnClick();
        codeAfter = d.currentCode;
        QVERIFY(d.exit_btn->isVisibleTo(&d)); // mode 0: locked again
        QCOMPARE(d.lb_lbmc_Edit->text(), QString("改名"));
    });
    QCOMPARE(codeAfter, QString("00002"));
    QCOMPARE(row("00002", "lbmc"), QString("改名"));
    QCOMPARE(row("00002", "flbh"), QString("00000"));
    QCOMPARE(row("00002", "xgr"), QString("张"));
    QCOMPARE(row("00002", "ywnr"), QString("第一章正文\r\n第二行"));
    QCOMPARE(row("00001", "lbmc"), QString("第一章")); // the row opened stays as it was
    QCOMPARE(f.window->TreeView->currentItem()->text(0), QString("改名[00002]"));
}

void TestChapterDialog::idsAndAddMode()
{
    ScriptedBoxes boxes;
    f.select(f.node("第二章"));
    QTreeWidgetItem *selected = f.node("第二章");
    const int childrenBefore = selected->childCount();
    QStringList codes;
    open("00002", 1, [&](TywlbwhForm &d) {
        for (const QString &name : QStringList{"甲", "乙"}) {
            codes << d.lb_lbbh_Edit->text();
            d.lb_lbmc_Edit->setText(name);
            d.nr_memo->setPlainText(QString("%1的正文").arg(name));
            d.ok_lb_btnClick();
            // Stays open for the next child, with a new code and the same parent.
            QCOMPARE(d.ok_lb_btn->text(), QString("确定添加"));
            QCOMPARE(d.lb_flbh_Edit->text(), QString("00002"));
            QCOMPARE(d.lb_flmc_Edit->text(), QString("第二章"));
            QVERIFY(d.lb_lbmc_Edit->text().isEmpty());
            QCOMPARE(d.currentCode, QString("00002"));
        }
    });
    QVERIFY(boxes.shown.isEmpty());
    QCOMPARE(book->scalar("select id from ywzx_ywlb where lbbh=?", {codes[0]}).toInt(), 5);
    QCOMPARE(book->scalar("select id from ywzx_ywlb where lbbh=?", {codes[1]}).toInt(), 6);
    QCOMPARE(row(codes[1], "ywnr"), QString("乙的正文"));
    QCOMPARE(row(codes[1], "photoimage"), QString("nil"));
    QCOMPARE(row(codes[1], "checkimage"), QString("0"));
    QCOMPARE(selected->childCount(), childrenBefore + 2);
    QCOMPARE(selected->child(selected->childCount() - 1)->text(0), QString("乙[%1]").arg(codes[1]));
    QCOMPARE(f.window->TreeView->currentItem(), selected); // the selection does not move
    // The add command applies the icon rule afterwards: every node has its level's images.
    const auto dialogs = maintenanceDialogRunner.replace([](QDialog &) { return 0; });
    f.window->Insert_lb_btnClick();
    for (QTreeWidgetItemIterator it(f.window->TreeView); *it; ++it)
        QCOMPARE((*it)->data(0, NodeRole::Image).toInt(), BookNode::levelOf(*it) == 1 ? 2 : BookNode::levelOf(*it) ? 4 : 0);

    // The first row of an empty table gets id 1.
    book->exec("delete from ywzx_ywlb");
    f.select(f.root());
    open("00000", 1, [&](TywlbwhForm &d) {
        d.lb_flbh_Edit->setText("00000");
        d.lb_lbbh_Edit->setText("00001");
        d.lb_lbmc_Edit->setText("首");
        QVERIFY(d.SaveChapter());
    });
    QCOMPARE(book->scalar("select id from ywzx_ywlb where lbbh='00001'").toInt(), 1);
}

void TestChapterDialog::randomCodes()
{
    for (int i = 0; i < 200; ++i) {
        const QString code = TywlbwhForm::NewRandomCode();
        QCOMPARE(code.size(), 5);
        for (QChar c : code)
            QVERIFY(c >= '0' && c <= '8');
    }
    open("00001", 0, [&](TywlbwhForm &d) {
        d.Button1Click(); // also in the locked presentation; nothing is written
        QVERIFY(d.lb_lbbh_Edit->isReadOnly());
        QCOMPARE(d.lb_lbbh_Edit->text().size(), 5);
    });
    QCOMPARE(book->scalar("select count(*) from ywzx_ywlb").toInt(), 4);
}

void TestChapterDialog::deleting()
{
    f.node("第二章")->setExpanded(true);
    f.select(f.node("第二章"));
    {
        ScriptedBoxes cancel(QMessageBox::Cancel);
        f.window->delete_lb_btnClick();
        QCOMPARE(cancel.shown.size(), 1);
        QCOMPARE(cancel.shown[0].text, QString("删除功能将从数据库中删除选定类别的所有数据。\r"
                                               "数据删除后将是不可恢复的,您确定要删除当前类别吗？"));
        QCOMPARE(cancel.shown[0].icon, QMessageBox::Warning);
        QCOMPARE(cancel.shown[0].parent, f.window.get()); // no dialog shows: the main window asks
        QCOMPARE(row("00002", "lbmc"), QString("第二章"));
    }
    ScriptedBoxes ok(QMessageBox::Ok);
    f.window->delete_lb_btnClick();
    QCOMPARE(book->scalar("select count(*) from ywzx_ywlb where lbbh='00002'").toInt(), 0);
    QVERIFY(!f.node("第二章"));
    QCOMPARE(book->scalar("select count(*) from ywzx_ywnr where lbbh='00002'").toInt(), 1); // articles stay
    // A chapter with child chapters is refused.
    f.select(f.node("第一章"));
    ok.shown.clear();
    open("00001", 3);
    QCOMPARE(ok.shown.size(), 2);
    QCOMPARE(ok.shown[1].text, QString("不能删除，因为指定类别拥有子类别。您应该先删除子类别！"));
    QVERIFY(f.node("第一章"));
    // The root counts among its own children: never deleted, not even when
    // its row does not name itself as its parent.
    f.select(f.root());
    open("00000", 3);
    QCOMPARE(row("00000", "lbmc"), QString("书"));
    book->exec("update ywzx_ywlb set flbh='x' where lbbh='00000'");
    book->exec("delete from ywzx_ywlb where lbbh<>'00000'");
    open("00000", 3);
    QCOMPARE(row("00000", "lbmc"), QString("书"));
    QVERIFY(f.root());
}

void TestChapterDialog::inputLimitsCountGbkBytes()
{
    open("00001", 2, [&](TywlbwhForm &d) {
        d.lb_xgr_Edit->clear();
        d.lb_xgr_Edit->setFocus();
        QTest::keyClicks(d.lb_xgr_Edit, "abcd");
        QCOMPARE(d.lb_xgr_Edit->text(), QString("abc"));
        d.lb_xgr_Edit->clear();
        d.lb_xgr_Edit->insert("张");  // two bytes
        d.lb_xgr_Edit->insert("李");  // two more: refused
        QCOMPARE(d.lb_xgr_Edit->text(), QString("张"));
        QTest::keyClicks(d.lb_xgr_Edit, "ab");
        QCOMPARE(d.lb_xgr_Edit->text(), QString("张a"));
        d.lb_lbbh_Edit->clear();
        QTest::keyClicks(d.lb_lbbh_Edit, "1234567");
        QCOMPARE(d.lb_lbbh_Edit->text(), QString("12345"));
        d.lb_xgr_Edit->setText("张三丰"); // values set by the program are shown whole
        QCOMPARE(d.lb_xgr_Edit->text(), QString("张三丰"));
        // ... but no keystroke makes such a value longer; deleting still works.
        d.lb_xgr_Edit->end(false);
        QTest::keyClicks(d.lb_xgr_Edit, "a");
        QCOMPARE(d.lb_xgr_Edit->text(), QString("张三丰"));
        QTest::keyClick(d.lb_xgr_Edit, Qt::Key_Backspace);
        QCOMPARE(d.lb_xgr_Edit->text(), QString("张三"));
        QTest::keyClicks(d.lb_xgr_Edit, "a");
        QCOMPARE(d.lb_xgr_Edit->text(), QString("张三"));
        d.lb_xgr_Edit->home(false);
        QTest::keyClick(d.lb_xgr_Edit, Qt::Key_Delete);
        QTest::keyClick(d.lb_xgr_Edit, Qt::Key_Delete);
        QTest::keyClicks(d.lb_xgr_Edit, "abcd");
        QCOMPARE(d.lb_xgr_Edit->text(), QString("abc"));
    });
}

void TestChapterDialog::badDate()
{
    f.select(f.node("第一章"));
    open("00001", 2, [&](TywlbwhForm &d) {
        d.lb_lbmc_Edit->setText("改");
        d.lb_xgrq_dateedit->setText("2024年13月");
        try {
            d.SaveChapter();
            QFAIL("no error");
        } catch (const AppError &error) {
            QVERIFY(error.message().startsWith("“2024年13月”不是有效的日期和时间。"));
        }
    });
    QCOMPARE(row("00001", "lbmc"), QString("第一章"));
    QCOMPARE(f.node("第一章")->text(0), QString("第一章[00001]"));
    // One-digit hours, minutes and seconds are read as the user means them.
    open("00001", 2, [&](TywlbwhForm &d) {
        d.lb_xgrq_dateedit->setText("2024/1/5 9:5:7");
        QVERIFY(d.SaveChapter());
    });
    QCOMPARE(row("00001", "xgrq"), QString("2024-01-05 09:05:07"));
}

void TestChapterDialog::photoFileMissing()
{
    const QString gone = dir.filePath("gone.jpg");
    open("00001", 2, [&](TywlbwhForm &d) {
        d.CheckBox1->setChecked(true);
        d.Label1->setText(gone);
        d.lb_lbmc_Edit->setText("改");
        try {
            d.SaveChapter();
            QFAIL("no error");
        } catch (const AppError &error) {
            QCOMPARE(error.message(), QString("无法打开照片文件“%1”：文件不存在。").arg(gone));
        }
    });
    QCOMPARE(row("00001", "lbmc"), QString("第一章"));
}

static QString writePicture(const QString &path, QColor colour)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(colour);
    image.save(path, "JPG");
    return path;
}

void TestChapterDialog::photoKeptReplacedCleared()
{
    const QString red = writePicture(dir.filePath("red.jpg"), Qt::red);
    const QString blue = writePicture(dir.filePath("blue.jpg"), Qt::blue);
    const auto fileBytes = [](const QString &p) { QFile file(p); file.open(QIODevice::ReadOnly); return file.readAll(); };
    const auto photo = [&](const QString &code) {
        return book->scalar("select photoimage from ywzx_ywlb where lbbh=?", {code}).toByteArray();
    };
    f.select(f.node("第一章"));
    const auto picked = TywlbwhForm::OpenPictureDialog1.replace([&](QWidget *) { return red; });
    open("00001", 2, [&](TywlbwhForm &d) {
        QVERIFY(!d.CheckBox1->isChecked());
        d.show();
        QTest::mouseDClick(d.Image1, Qt::LeftButton);
        QCOMPARE(d.Label1->text(), red);
        QVERIFY(d.CheckBox1->isChecked()); // picking a photo ticks the box
        QVERIFY(!d.Image1->pixmap().isNull());
        d.ok_lb_btnClick();
    });
    QCOMPARE(photo("00001"), fileBytes(red));
    QCOMPARE(row("00001", "checkimage"), QString("1"));
    // Another edit keeps it: the load shows it, ticks the box and remembers it.
    open("00001", 2, [&](TywlbwhForm &d) {
        QVERIFY(d.CheckBox1->isChecked());
        QVERIFY(!d.Image1->pixmap().isNull());
        QCOMPARE(d.rememberedPhoto(), fileBytes(red));
        d.lb_xgr_Edit->setText("李");
        QVERIFY(d.SaveChapter());
    });
    QCOMPARE(photo("00001"), fileBytes(red));
    // A child never inherits it.
    QString child;
    open("00001", 1, [&](TywlbwhForm &d) {
        QVERIFY(!d.CheckBox1->isChecked());
        QVERIFY(d.Image1->pixmap().isNull());
        child = d.lb_lbbh_Edit->text();
        d.lb_lbmc_Edit->setText("子");
        d.CheckBox1->setChecked(true); // ticked with nothing picked: the file check fails
        try {
            d.SaveChapter();
            QFAIL("saved without a photo");
        } catch (const AppError &error) {
            QVERIFY(error.message().startsWith("没有选择照片。"));
        }
        d.CheckBox1->setChecked(false);
        QVERIFY(d.SaveChapter());
    });
    QCOMPARE(photo(child), QByteArray("nil"));
    // A new pick replaces it; unticking clears it, also right after a pick.
    const auto picked2 = TywlbwhForm::OpenPictureDialog1.replace([&](QWidget *) { return blue; });
    open("00001", 2, [&](TywlbwhForm &d) {
        d.Image1DblClick();
        QVERIFY(d.SaveChapter());
    });
    QCOMPARE(photo("00001"), fileBytes(blue));
    open("00001", 2, [&](TywlbwhForm &d) {
        d.Image1DblClick();
        d.CheckBox1->setChecked(false);
        QVERIFY(d.SaveChapter());
    });
    QCOMPARE(photo("00001"), QByteArray("nil"));
    QCOMPARE(row("00001", "checkimage"), QString("0"));
    // A file that is no picture: an error, and the box keeps what it had.
    const QString text = dir.filePath("not.jpg");
    QFile file(text);
    file.open(QIODevice::WriteOnly);
    file.write("no picture");
    file.close();
    const auto picked3 = TywlbwhForm::OpenPictureDialog1.replace([&](QWidget *) { return text; });
    open("00001", 2, [&](TywlbwhForm &d) {
        QVERIFY_THROWS_EXCEPTION(AppError, d.Image1DblClick());
        QVERIFY(d.Label1->text().isEmpty());
    });
    // A FIFO is refused before it is opened, which would wait for a writer.
    const QString fifo = dir.filePath("fifo.jpg");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const auto picked4 = TywlbwhForm::OpenPictureDialog1.replace([&](QWidget *) { return fifo; });
    open("00001", 2, [&](TywlbwhForm &d) {
        try {
            d.Image1DblClick();
            QFAIL("a FIFO was taken as a photo");
        } catch (const AppError &error) {
            QCOMPARE(error.message(), QString("无法打开照片文件“%1”：它不是普通文件。").arg(fifo));
        }
        QVERIFY(d.Label1->text().isEmpty());
    });
    const auto picked5 = TywlbwhForm::OpenPictureDialog1.replace([](QWidget *) { return QString(); });
}

void TestChapterDialog::longTextRoundTrip()
{
    QString text = QString(10000, QChar(0x6C34)); // one 10,000-character paragraph
    while (text.size() < 100000)
        text += QStringLiteral("\r\n第二段文字，含\u00A0不换行空格与\t制表符。");
    book->exec("update ywzx_ywlb set ywnr=? where lbbh='00001'", {text});
    f.select(f.node("第一章"));
    open("00001", 2, [&](TywlbwhForm &d) { QVERIFY(d.SaveChapter()); });
    QCOMPARE(row("00001", "ywnr").toUtf8(), text.toUtf8());
    open("00001", 2, [&](TywlbwhForm &d) { QVERIFY(d.SaveChapter()); });
    QCOMPARE(row("00001", "ywnr").toUtf8(), text.toUtf8());
}

// Enter and Shift+Enter typed in the text both store the book's CR LF.
void TestChapterDialog::typedLineBreaks()
{
    f.select(f.node("第一章"));
    open("00001", 2, [&](TywlbwhForm &d) {
        d.show();
        d.nr_memo->clear();
        d.nr_memo->setFocus();
        QTest::keyClick(d.nr_memo, Qt::Key_A);
        QTest::keyClick(d.nr_memo, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClick(d.nr_memo, Qt::Key_Enter, Qt::ShiftModifier | Qt::KeypadModifier);
        QTest::keyClick(d.nr_memo, Qt::Key_B);
        QTest::keyClick(d.nr_memo, Qt::Key_Return);
        QTest::keyClick(d.nr_memo, Qt::Key_C);
        d.ok_lb_btnClick();
    });
    QCOMPARE(row("00001", "ywnr"), QString("a\r\n\r\nb\r\nc"));
}

void TestChapterDialog::codeWithAQuote()
{
    ScriptedBoxes boxes(QMessageBox::Ok);
    f.select(f.node("第二章"));
    open("00002", 1, [&](TywlbwhForm &d) {
        d.lb_lbbh_Edit->setText("a'b");
        d.lb_lbmc_Edit->setText("引号");
        QVERIFY(d.SaveChapter());
    });
    QCOMPARE(row("a'b", "lbmc"), QString("引号"));
    QCOMPARE(row("a'b", "flbh"), QString("00002"));
    f.window->N5Click();
    f.node("第二章")->setExpanded(true);
    f.select(f.node("引号"));
    QCOMPARE(f.window->currentChapterCode, QString("a'b"));
    open("a'b", 2, [&](TywlbwhForm &d) {
        QCOMPARE(d.lb_lbmc_Edit->text(), QString("引号"));
        d.lb_lbmc_Edit->setText("引号二");
        QVERIFY(d.SaveChapter());
    });
    QCOMPARE(row("a'b", "lbmc"), QString("引号二"));
    f.window->delete_lb_btnClick();
    QCOMPARE(book->scalar("select count(*) from ywzx_ywlb where lbbh=?", {"a'b"}).toInt(), 0);
    QVERIFY(!f.node("引号"));
}

void TestChapterDialog::cancelInBrowseMode()
{
    open("00001", 0, [&](TywlbwhForm &d) {
        d.edit_lb_btnClick();
        d.nr_memo->setPlainText("typed");
        d.lb_lbmc_Edit->setText("typed");
        d.cancel_lb_btnClick();
        QCOMPARE(d.nr_memo->toPlainText(), QString("第一章正文\n第二行"));
        QCOMPARE(d.lb_lbmc_Edit->text(), QString("第一章"));
        QVERIFY(d.lb_lbmc_Edit->isReadOnly());
    });
    QCOMPARE(row("00001", "lbmc"), QString("第一章"));
}

// A real Esc key in the shown dialog: 取消 while it is shown, else the close box.
void TestChapterDialog::escapeKey()
{
    const auto esc = [](TywlbwhForm &d, QWidget *field) {
        d.show();
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Escape);
    };
    open("00001", 0, [&](TywlbwhForm &d) {
        d.edit_lb_btnClick();
        d.lb_lbmc_Edit->setText("typed");
        esc(d, d.lb_lbmc_Edit);
        QVERIFY(d.isVisible()); // mode 0: reloaded and locked, not closed
        QCOMPARE(d.lb_lbmc_Edit->text(), QString("第一章"));
        QVERIFY(d.lb_lbmc_Edit->isReadOnly() && d.exit_btn->isVisibleTo(&d));
        esc(d, d.nr_memo); // 取消 hidden: Esc closes as the close box does
        QVERIFY(!d.isVisible());
    });
    open("00001", 2, [&](TywlbwhForm &d) {
        d.lb_lbmc_Edit->setText("typed");
        esc(d, d.lb_lbmc_Edit);
        QVERIFY(!d.isVisible());
    });
    QCOMPARE(row("00001", "lbmc"), QString("第一章"));
}

// 添加 forgets the loaded chapter's stored photo but not a picture picked in
// the dialog: mode 0 pick then 添加, and mode 1 from one child to the next.
void TestChapterDialog::addKeepsAPickedPhoto()
{
    const QString red = writePicture(dir.filePath("red.jpg"), Qt::red);
    QFile file(red);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray redBytes = file.readAll();
    book->exec("update ywzx_ywlb set photoimage=?, checkimage='1' where lbbh='00002'", {QByteArray("stored")});
    f.select(f.node("第二章"));
    const auto picked6 = TywlbwhForm::OpenPictureDialog1.replace([&](QWidget *) { return red; });
    QStringList codes;
    for (int mode : {0, 1}) {
        open("00002", mode, [&](TywlbwhForm &d) {
            if (mode == 0)
                QVERIFY(d.CheckBox1->isChecked()); // the stored photo
            d.Image1DblClick();
            d.CheckBox1->setChecked(true);
            for (int child = 0; child < (mode == 0 ? 1 : 2); ++child) {
                if (mode == 0)
                    d.Insert_lb_BtnClick();
                QCOMPARE(d.Label1->text(), red);
                QVERIFY(d.CheckBox1->isChecked() && !d.Image1->pixmap().isNull());
                QVERIFY(d.rememberedPhoto().isEmpty());
                codes << d.lb_lbbh_Edit->text();
                d.lb_lbmc_Edit->setText(QString("子%1").arg(codes.size()));
                d.ok_lb_btnClick();
            }
            if (mode == 0) { // the parent shown again keeps its own photo through a save
                d.edit_lb_btnClick();
                d.ok_lb_btnClick();
            }
        });
    }
    const auto picked7 = TywlbwhForm::OpenPictureDialog1.replace([](QWidget *) { return QString(); });
    QCOMPARE(book->scalar("select photoimage from ywzx_ywlb where lbbh='00002'").toByteArray(), QByteArray("stored"));
    QCOMPARE(codes.size(), 3);
    for (const QString &code : codes)
        QCOMPARE(book->scalar("select photoimage from ywzx_ywlb where lbbh=?", {code}).toByteArray(), redBytes);
}

// Values the dialog sets are shown from their beginning; typing keeps the
// cursor where the user puts it. The browser's title box does the same.
void TestChapterDialog::fieldsShowTheirBeginning()
{
    const QString name = QString(60, QChar(0x7AE0)) + "末";
    book->exec("update ywzx_ywlb set lbmc=?, xgr='李四' where lbbh='00001'", {name});
    open("00001", 0, [&](TywlbwhForm &d) {
        QCOMPARE(d.lb_lbmc_Edit->text(), name);
        for (QLineEdit *e : d.findChildren<QLineEdit *>())
            QVERIFY2(e->cursorPosition() == 0, qPrintable(e->objectName()));
        d.show();
        d.edit_lb_btnClick();
        QCOMPARE(d.lb_xgrq_dateedit->cursorPosition(), 0);
        d.lb_xgr_Edit->setFocus();
        QTest::keyClicks(d.lb_xgr_Edit, "ab");
        QCOMPARE(d.lb_xgr_Edit->cursorPosition(), 2);
    });
    f.select(f.root());
    f.select(f.node("第一章"));
    QCOMPARE(f.window->Edit1->cursorPosition(), 0);
}

// A null name reads as empty text: the chapter opens in every mode (mode 3
// loads it first), can be given a name and can be deleted.
void TestChapterDialog::nullName()
{
    book->exec("update ywzx_ywlb set lbmc=null where lbbh='00002'");
    f.window->N5Click();
    f.select(f.node("[00002]"));
    QStringList names;
    for (int mode : {0, 1, 2})
        open("00002", mode, [&](TywlbwhForm &d) { names << d.lb_lbmc_Edit->text() + "|" + d.lb_flmc_Edit->text(); });
    QCOMPARE(names, QStringList({"|书", "|", "|书"}));
    open("00002", 2, [&](TywlbwhForm &d) {
        d.lb_lbmc_Edit->setText("补名");
        d.ok_lb_btnClick();
    });
    QCOMPARE(row("00002", "lbmc"), QString("补名"));
    QCOMPARE(f.window->TreeView->currentItem()->text(0), QString("补名[00002]"));
    book->exec("update ywzx_ywlb set lbmc=null where lbbh='00002'");
    ScriptedBoxes ok(QMessageBox::Ok);
    open("00002", 3);
    QCOMPARE(book->scalar("select count(*) from ywzx_ywlb where lbbh='00002'").toInt(), 0);
}

// A chapter named 附录[00011] is changed and its child deleted through the
// commands: chapter 00011 stays as it was. A typed code with a bracket is refused.
void TestChapterDialog::bracketsInNamesAndCodes()
{
    book->chapter(5, "00005", "附录[00011]", "00000");
    f.window->N5Click();
    f.select(f.node("附录"));
    ScriptedBoxes boxes(QMessageBox::Ok);
    QString opened;
    const auto dialogs2 = maintenanceDialogRunner.replace([&](QDialog &dialog) {
        auto &d = static_cast<TywlbwhForm &>(dialog);
        opened = d.currentCode;
        d.lb_lbmc_Edit->setText("附录[00002]");
        d.ok_lb_btnClick();
        return 0;
    });
    f.window->Edit_lb_btnClick();
    QCOMPARE(opened, QString("00005"));
    QCOMPARE(row("00005", "lbmc"), QString("附录[00002]"));
    QTreeWidgetItem *appendix = f.window->TreeView->currentItem();
    QCOMPARE(appendix->text(0), QString("附录[00002][00005]"));
    QCOMPARE(appendix->data(0, NodeRole::Code).toString(), QString("00005"));
    QCOMPARE(appendix->data(0, NodeRole::Name).toString(), QString("附录[00002]"));
    open("00005", 1, [&](TywlbwhForm &d) {
        d.lb_lbmc_Edit->setText("子[00011]");
        for (const QString code : {"1]", "[", "a[b"}) {
            d.lb_lbbh_Edit->setText(code);
            QVERIFY(!d.SaveChapter());
        }
        d.lb_lbbh_Edit->setText("00031");
        QVERIFY(d.SaveChapter());
    });
    QCOMPARE(boxes.shown.size(), 3);
    QCOMPARE(boxes.shown[0].text, QString("类别编号不能含有“[”或“]”。请重新输入类别编号后再试！"));
    QTreeWidgetItem *child = appendix->child(appendix->childCount() - 1);
    QCOMPARE(child->data(0, NodeRole::Code).toString(), QString("00031"));
    QCOMPARE(child->data(0, NodeRole::Name).toString(), QString("子[00011]"));
    f.select(child);
    f.window->delete_lb_btnClick();
    QCOMPARE(book->scalar("select count(*) from ywzx_ywlb where lbbh='00031'").toInt(), 0);
    QCOMPARE(row("00011", "lbmc"), QString("第一节"));
    QCOMPARE(row("00002", "lbmc"), QString("第二章"));
}

void TestChapterDialog::nameLookingLikeALabel_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("article mark") << "甲[N10000]乙";
    QTest::newRow("chapter mark") << "甲[10000]乙";
}

// A chapter is a chapter whatever its name holds: an article of code 10000
// (chapters and articles number apart) is never taken for it.
void TestChapterDialog::nameLookingLikeALabel()
{
    QFETCH(QString, name);
    book->chapter(5, "00005", name, "00000", "本章独有正文");
    book->article("10000", "别篇", "00001", "文章正文");
    f.window->N5Click();
    f.select(f.root());
    ScriptedBoxes boxes(QMessageBox::Ok);
    f.window->FindDialog1->setText(name);
    f.window->FindDialog1->WholeWordBox->setChecked(true);
    f.window->FindDialog1Find();
    QTreeWidgetItem *chapter = f.window->TreeView->currentItem();
    QCOMPARE(chapter->text(0), name + "[00005]");
    QCOMPARE(f.window->memo1->toPlainText(), QString("本章独有正文"));
    QCOMPARE(f.window->currentChapterCode, QString("00005"));
    f.select(f.root());
    const auto results = TShowjbywnrForm::runModal.replace([](TShowjbywnrForm &) { return int(QDialog::Accepted); });
    f.window->FindDialog2->setText("独有");
    f.window->FindDialog2Find();
    QCOMPARE(f.window->TreeView->currentItem(), chapter);
    QVERIFY(boxes.shown.isEmpty());
    const auto dialogs3 = maintenanceDialogRunner.replace([&](QDialog &dialog) {
        auto &d = static_cast<TywlbwhForm &>(dialog);
        d.lb_lbmc_Edit->setText(name + "丙");
        d.ok_lb_btnClick();
        return 0;
    });
    f.window->Edit_lb_btnClick();
    QCOMPARE(row("00005", "lbmc"), name + "丙");
    QCOMPARE(chapter->text(0), name + "丙[00005]");
    f.window->delete_lb_btnClick();
    QCOMPARE(book->scalar("select count(*) from ywzx_ywlb where lbbh='00005'").toInt(), 0);
    QCOMPARE(book->scalar("select nrbt || ywnr from ywzx_ywnr where nrbh='10000'").toString(), QString("别篇文章正文"));
    QCOMPARE(book->scalar("select count(*) from ywzx_ywlb").toInt(), 4);
}

// Text pasted into the name field and the content pane is stored as valid
// UTF-8: a lone surrogate becomes U+FFFD and no neighbour changes; a leading
// U+FEFF or U+FFFE is kept as a character.
void TestChapterDialog::pastedTextIsStoredValid()
{
    const struct { QString pasted; QByteArray stored; } cases[] = {
        {QStringView(u"\xD840中文").toString(), "\xEF\xBF\xBD中文"},
        {QStringView(u"中文\xD840").toString(), "中文\xEF\xBF\xBD"},
        {QStringView(u"甲\xDE2D\xD840乙").toString(), "甲\xEF\xBF\xBD\xEF\xBF\xBD乙"},
        {QStringView(u"\xFFFE正文").toString(), "\xEF\xBF\xBE正文"},
        {QStringView(u"\xFEFF正文").toString(), "\xEF\xBB\xBF正文"},
        {QStringView(u"\xD840\xDE2D字").toString(), "\xF0\xA0\x88\xAD字"},
    };
    f.select(f.node("第二章"));
    for (const auto &c : cases) {
        open("00002", 2, [&](TywlbwhForm &d) {
            // What a paste inserts (the clipboard itself takes a leading
            // U+FFFE for a byte-order mark, so the text is inserted directly).
            d.lb_lbmc_Edit->clear();
            d.lb_lbmc_Edit->insert(c.pasted);
            d.nr_memo->clear();
            d.nr_memo->insertPlainText(c.pasted);
            QVERIFY(d.SaveChapter());
        });
        // The stored bytes themselves, in either engine's words.
        const QString bytes = TestBook::onServer() ? "convert_to(%1, 'UTF8')" : "cast(%1 as blob)";
        const QString where = " from ywzx_ywlb where lbbh='00002'";
        QCOMPARE(book->scalar("select " + bytes.arg("lbmc") + where).toByteArray(), c.stored);
        QCOMPARE(book->scalar("select " + bytes.arg("ywnr") + where).toByteArray(), c.stored);
    }
}

// The picture's bytes are read when it is picked and shown; those bytes are
// stored, whatever happens to the file later. Over 20 MB is refused; an
// unreadable picture says why.
void TestChapterDialog::photoReadOnceWhenPicked()
{
    const QString red = writePicture(dir.filePath("red.jpg"), Qt::red);
    QFile file(red);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray redBytes = file.readAll();
    file.close();
    QFile big(dir.filePath("big.jpg"));
    QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(20 * 1024 * 1024 + 1));
    big.close();
    const QString locked = writePicture(dir.filePath("locked.jpg"), Qt::blue);
    QFile::setPermissions(locked, QFileDevice::Permissions());
    f.select(f.node("第一章"));
    ScriptedBoxes boxes;
    open("00001", 2, [&](TywlbwhForm &d) {
        const auto picked8 = TywlbwhForm::OpenPictureDialog1.replace([&](QWidget *) { return red; });
        d.Image1DblClick();
        QFile replaced(red);
        QVERIFY(replaced.open(QIODevice::WriteOnly));
        replaced.write("no longer a picture");
        replaced.close();
        const auto picked9 = TywlbwhForm::OpenPictureDialog1.replace([&](QWidget *) { return big.fileName(); });
        d.Image1DblClick();
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.shown[0].caption, QString("错误提示"));
        QVERIFY(boxes.shown[0].text.contains("20 MB"));
        const auto picked10 = TywlbwhForm::OpenPictureDialog1.replace([&](QWidget *) { return locked; });
        const uid_t user = geteuid();
        QVERIFY(user != 0 || seteuid(65534) == 0); // root reads every file
        QString message;
        try {
            d.Image1DblClick();
        } catch (const AppError &error) {
            message = error.message();
        }
        QVERIFY(seteuid(user) == 0);
        QCOMPARE(message, QString("无法打开照片文件“%1”：没有读取它的权限。").arg(locked));
        QCOMPARE(d.Label1->text(), red); // the refused pictures changed nothing
        d.CheckBox1->setChecked(true);
        QVERIFY(d.SaveChapter());
    });
    const auto picked11 = TywlbwhForm::OpenPictureDialog1.replace([](QWidget *) { return QString(); });
    QCOMPARE(book->scalar("select photoimage from ywzx_ywlb where lbbh='00001'").toByteArray(), redBytes);
    QCOMPARE(row("00001", "checkimage"), QString("1"));
}

// Another program's write, after the dialog loaded its chapter or between the
// save's checks and its write lock, is never overwritten unasked and never
// duplicated.
void TestChapterDialog::anotherProgramsWrite()
{
    const auto otherChanges = [&](const QString &who) {
        book->exec("update ywzx_ywlb set lbmc='他改', xgr=?, xgrq='2025-06-07 08:09:10' where lbbh='00001'", {who});
    };
    const QString warning("系统检测到此类别在您打开之后已被其他程序修改。\r修改员工：%1，修改日期：%2。\r"
                          "确定修改将覆盖其他程序所做的修改，您是否确定修改？");
    const QString when = DateTimeText::display(QDateTime(QDate(2025, 6, 7), QTime(8, 9, 10)));
    f.select(f.node("第一章"));
    ScriptedBoxes boxes(QMessageBox::Cancel);
    open("00001", 2, [&](TywlbwhForm &d) {
        d.lb_lbmc_Edit->setText("我改");
        otherChanges("张三");
        QVERIFY(!d.SaveChapter()); // Cancel: nothing written, the dialog as it was
        QCOMPARE(d.lb_lbmc_Edit->text(), QString("我改"));
        QVERIFY(d.ok_lb_btn->isVisibleTo(&d));
        QCOMPARE(row("00001", "lbmc"), QString("他改"));
        boxes.answerNext(QMessageBox::Ok);
        QVERIFY(d.SaveChapter());
    });
    QCOMPARE(boxes.shown.size(), 2);
    QCOMPARE(boxes.shown[0].caption, QString("警告"));
    QCOMPARE(boxes.shown[0].text, warning.arg("张三", when));
    QCOMPARE(row("00001", "lbmc"), QString("我改"));

    // Written just before the save takes the write lock.
    bool once = true;
    std::function<void()> otherWrite;
    std::optional<decltype(f.dm->ydconn.onStatement)::Override> watching;
    watching.emplace(f.dm->ydconn.onStatement, [&](const QString &sql) {
        if (once && sql.startsWith("begin"))
            once = false, otherWrite();
    });
    boxes.shown.clear();
    otherWrite = [&] { otherChanges("李四"); };
    open("00001", 2, [&](TywlbwhForm &d) {
        d.lb_lbmc_Edit->setText("再改");
        boxes.answerNext(QMessageBox::Ok);
        QVERIFY(d.SaveChapter());
    });
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].text, warning.arg("李四", when));
    QCOMPARE(row("00001", "lbmc"), QString("再改"));

    once = true;
    boxes.shown.clear();
    otherWrite = [&] { book->chapter(99, "55555", "别处", "00000"); };
    open("00001", 1, [&](TywlbwhForm &d) {
        d.lb_lbbh_Edit->setText("55555");
        d.lb_lbmc_Edit->setText("新");
        QVERIFY(!d.SaveChapter());
        QCOMPARE(d.lb_lbbh_Edit->text(), QString());
    });
    watching.reset();
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].text, QString("此类别已存在。类别编号不允许重复。请重新输入类别编号后再试！"));
    QCOMPARE(book->scalar("select count(*) from ywzx_ywlb where lbbh='55555'").toInt(), 1);
    QCOMPARE(row("55555", "lbmc"), QString("别处"));
}

// Staff see the six buttons (readers never do) and their Alt keys open the
// dialogs; a chapter added under one never opened joins its children.
void TestChapterDialog::staffButtonsAndAddingUnderAnUnloadedChapter()
{
    Tywzxform *w = f.window.get();
    const QList<QToolButton *> six{w->Insert_lb_btn, w->Edit_lb_btn, w->delete_lb_btn,
                                   w->Insert_nr_btn, w->edit_nr_btn, w->delete_nr_btn};
    w->N6->setChecked(false); // selecting opens nothing
    w->N6Click();
    w->N5Click();
    QTreeWidgetItem *first = f.node("第一章");
    f.select(first);
    QVERIFY(BookNode::isNotLoaded(first));
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    // A button's Alt key presses it at once and clicks it a moment later.
    int shown = 0;
    const auto altD = [&] {
        QSignalSpy pressed(w->Insert_lb_btn, &QAbstractButton::pressed);
        whileShown<TywlbwhForm>(
            [&] {
                QTest::keyClick(w, Qt::Key_D, Qt::AltModifier);
                if (!pressed.isEmpty())
                    QVERIFY(QTest::qWaitFor([&] { return shown > 0; }));
            },
            [&](TywlbwhForm &d) {
                ++shown;
                QCOMPARE(d.parentWidget(), w);
                d.lb_lbbh_Edit->setText("00099");
                d.lb_lbmc_Edit->setText("新章");
                d.ok_lb_btnClick();
            });
        return pressed.size();
    };
    QCOMPARE(altD(), 0);
    for (QToolButton *button : six)
        QVERIFY(!button->isVisible());
    w->offerMaintenance();
    for (QToolButton *button : six)
        QVERIFY2(button->isVisible(), qPrintable(button->objectName()));
    QCOMPARE(altD(), 1);
    QCOMPARE(shown, 1);
    QCOMPARE(f.childLabels(first), QStringList({"第一节[00011]", "新章[00099]"}));
}

QTEST_MAIN(TestChapterDialog)
#include "tst_chapterdialog.moc"
