#include "BrowserFixture.h"
#include "../maintenance/DialogScript.h"
#include "app/DesktopSettings.h"
#include "browser/PanePrint.h"
#include "widgets/ReadingLook.h"
#include "widgets/TextZoom.h"
#include "maintenance/ywlbwhFrm.h"
#include "maintenance/ywnrwhFrm.h"
#include "search/FindDialog.h"
#include "search/ShowjbywnrFrm.h"

#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

// How the reader reads: full screen, the night scheme, the reading face,
// and the keys of the search and maintenance dialogs, driven by real keys.
class TestReading : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void f11TogglesFullScreen_data();
    void f11TogglesFullScreen();
    void nightSchemeOnPaneAndResults();
    void printKeepsBlackOnWhiteAndItsFaces();
    void faceAndSchemeRememberedAfterRestart();
    void mainlandFacesFirst_data();
    void mainlandFacesFirst();
    void altJTogglesVariants();
    void ctrlTabLeavesTheDialogsFields();
    void photoBoxOpensTheChooserByKey();

private:
    void activate(QWidget *window);
    QString pickFace(const QString &family);
    static QString otherFace();
    std::unique_ptr<TestBook> book;
    BrowserFixture f;
};

void TestReading::init()
{
    book = std::make_unique<TestBook>("书");
    book->chapter(2, "00001", "第一章", "00000", "黄鹤楼第一章正文");
    book->chapter(3, "00002", "第二章", "00000", "第二章正文");
    book->article("00001", "文一", "00002", "文一正文");
    f.open(book->path());
}

void TestReading::cleanup()
{
    f.window.reset();
    book.reset();
    DesktopSettings::open()->clear();
}

void TestReading::activate(QWidget *window)
{
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

// A Chinese face other than the designed one.
QString TestReading::otherFace()
{
    const QStringList faces = ReadingLook::chineseFaces();
    return faces.value(faces.size() > 1 ? 1 : 0);
}

// Chooses a face from the pane menu's face list, as the reader does.
QString TestReading::pickFace(const QString &family)
{
    QMenu *menu = f.window->FaceMenu;
    menu->popup(f.window->mapToGlobal(QPoint(10, 10)));
    QAction *chosen = nullptr;
    for (QAction *action : menu->actions())
        if (action->text() == family)
            chosen = action;
    if (chosen)
        chosen->trigger();
    menu->hide();
    return chosen ? chosen->text() : QString();
}

void TestReading::f11TogglesFullScreen_data()
{
    QTest::addColumn<bool>("maximised");
    QTest::newRow("maximised") << true;
    QTest::newRow("normal") << false;
}

void TestReading::f11TogglesFullScreen()
{
    QFETCH(bool, maximised);
    Tywzxform *w = f.window.get();
    maximised ? w->showMaximized() : w->showNormal();
    activate(w);
    QTest::keyClick(w->TreeView, Qt::Key_F11);
    QVERIFY(w->isFullScreen());
    // The next run starts as the window was before full screen.
    DesktopSettings::save(*w);
    QCOMPARE(DesktopSettings::open()->value("window/maximised").toBool(), maximised);
    QTest::keyClick(w->memo1, Qt::Key_F11);
    QVERIFY(!w->isFullScreen());
    QCOMPARE(w->isMaximized(), maximised);
}

void TestReading::nightSchemeOnPaneAndResults()
{
    Tywzxform *w = f.window.get();
    activate(w);
    const QPalette day = w->memo1->palette();
    QTest::keyClick(w->TreeView, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(w->nightScheme());
    const QPalette night = w->memo1->palette();
    QVERIFY(night.color(QPalette::Base).lightness() < 64);
    QVERIFY(night.color(QPalette::Text).lightness() > 192);

    QPalette results;
    const auto shown = TShowjbywnrForm::runModal.replace([&](TShowjbywnrForm &form) {
        results = form.nr_memo->palette();
        return int(QDialog::Rejected);
    });
    w->FindDialog2->setText("黄鹤楼");
    w->FindDialog2Find();
    QCOMPARE(results.color(QPalette::Base), night.color(QPalette::Base));
    QCOMPARE(results.color(QPalette::Text), night.color(QPalette::Text));

    // Off again: the pane's own colours, and the next results window's.
    w->PopupMenu2->popup(w->mapToGlobal(QPoint(10, 10)));
    w->NightAction->trigger();
    w->PopupMenu2->hide();
    QCOMPARE(w->memo1->palette().color(QPalette::Base), day.color(QPalette::Base));
    QCOMPARE(w->memo1->palette().color(QPalette::Text), day.color(QPalette::Text));
    w->FindDialog2Find();
    QCOMPARE(results.color(QPalette::Base), QColor(0xFF, 0xFF, 0xE1));
}

static QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

void TestReading::printKeepsBlackOnWhiteAndItsFaces()
{
    QVERIFY2(!QStandardPaths::findExecutable("pdftoppm").isEmpty(), "pdftoppm (poppler-utils) is missing");
    Tywzxform *w = f.window.get();
    activate(w);
    const QString face = otherFace();
    QCOMPARE(pickFace(face), face);
    QTest::keyClick(w->TreeView, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(w->nightScheme());
    w->memo1->setPlainText(QString("月落乌啼霜满天，江枫渔火对愁眠。Moon 123\n").repeated(20));
    QTemporaryDir dir;
    const QString pdf = dir.filePath("night.pdf");
    QString output = pdf;
    const auto printing = PanePrint::runDialog.replace([&](QPrinter &printer, QWidget *) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(output);
        return true;
    });
    w->BitBtn3Click();

    // The faces of the designed print, as the day look with the designed face prints.
    w->setNightScheme(false);
    w->setReadingFace(QString());
    output = dir.filePath("day.pdf");
    w->BitBtn3Click();
    const QString fonts = run("pdffonts", {pdf});
    QVERIFY(fonts.count('\n') > 2);
    QCOMPARE(fonts, run("pdffonts", {output}));
    // Black text on a white page.
    run("pdftoppm", {"-gray", "-r", "40", "-f", "1", "-l", "1", "-png", pdf, dir.filePath("page")});
    const QImage page(dir.filePath("page-1.png"));
    QVERIFY(!page.isNull());
    int darkest = 255, white = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const int grey = qGray(page.pixel(x, y));
            darkest = qMin(darkest, grey);
            white += grey > 245;
        }
    QVERIFY2(darkest < 80, qPrintable(QString::number(darkest)));
    QVERIFY(white > page.width() * page.height() * 9 / 10);
}

void TestReading::faceAndSchemeRememberedAfterRestart()
{
    const QString face = otherFace();
    QVERIFY(!face.isEmpty());
    activate(f.window.get());
    QCOMPARE(pickFace(face), face);
    QCOMPARE(f.window->memo1->font().families().value(0), face);
    f.window->NightAction->trigger();
    DesktopSettings::save(*f.window);

    f.open(book->path());
    QVERIFY(!f.window->nightScheme() && f.window->readingFace().isEmpty()); // a new window until restored
    DesktopSettings::restore(*f.window);
    QCOMPARE(f.window->readingFace(), face);
    QCOMPARE(f.window->memo1->font().families().value(0), face);
    QVERIFY(f.window->nightScheme() && f.window->NightAction->isChecked());
    QVERIFY(f.window->memo1->palette().color(QPalette::Base).lightness() < 64);
    // The designed font (printing starts from it) keeps its face.
    QVERIFY(!f.window->PaneZoom->designedFont().families().contains(face));

    // The designed face chosen again; a face uninstalled since means the designed one.
    QCOMPARE(pickFace("宋体（默认）"), QString("宋体（默认）"));
    QVERIFY(f.window->readingFace().isEmpty());
    QCOMPARE(f.window->memo1->font().families(), f.window->PaneZoom->designedFont().families());
    DesktopSettings::open()->setValue("pane/face", "没有这种字体");
    f.open(book->path());
    DesktopSettings::restore(*f.window);
    QVERIFY(f.window->readingFace().isEmpty());
}

void TestReading::mainlandFacesFirst_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<bool>("other");
    QTest::newRow("SC") << "Noto Serif CJK SC" << false;
    QTest::newRow("CN") << "AR PL UMing CN" << false;
    QTest::newRow("GB") << "AR PL SungtiL GB" << false;
    QTest::newRow("TC") << "Noto Sans CJK TC" << true;
    QTest::newRow("HK") << "Noto Sans CJK HK" << true;
    QTest::newRow("TW MBE") << "AR PL UMing TW MBE" << true;
    QTest::newRow("JP") << "Noto Serif CJK JP" << true;
    QTest::newRow("KR") << "Noto Sans CJK KR" << true;
    QTest::newRow("inside a word") << "Twilight Song" << false;
}

void TestReading::mainlandFacesFirst()
{
    QFETCH(QString, family);
    QFETCH(bool, other);
    QCOMPARE(ReadingLook::marksOtherForms(family), other);
    const QStringList faces = ReadingLook::chineseFaces();
    QVERIFY(!faces.isEmpty());
    bool othersBegun = false;
    for (const QString &face : faces) {
        othersBegun = othersBegun || ReadingLook::marksOtherForms(face);
        QVERIFY2(!othersBegun || ReadingLook::marksOtherForms(face), qPrintable(faces.join(", ")));
    }
}

void TestReading::altJTogglesVariants()
{
    // The name search offers no such box: Alt+J ticks nothing there.
    FindDialog *names = f.window->FindDialog1;
    names->execute();
    activate(names);
    QTRY_COMPARE(QApplication::activeWindow(), names);
    QTest::keyClick(names->FindEdit, Qt::Key_J, Qt::AltModifier);
    QVERIFY(!names->fjtc_chk->isChecked());

    FindDialog *variants = f.window->FindDialog2;
    variants->execute();
    activate(variants);
    QTRY_COMPARE(QApplication::activeWindow(), variants);
    QCOMPARE(variants->fjtc_chk->text(), QString("繁简通查"));
    QVERIFY(!variants->fjtc_chk->isChecked());
    QTest::keyClick(variants->FindEdit, Qt::Key_J, Qt::AltModifier);
    QVERIFY(variants->fjtc_chk->isChecked() && variants->variants());
    QTest::keyClick(variants->fjtc_chk, Qt::Key_J, Qt::AltModifier);
    QVERIFY(!variants->fjtc_chk->isChecked());
}

// Tab types a tab into the content pane; Ctrl+Tab leaves it, Ctrl+Shift+Tab
// goes back; a line field leaves on Ctrl+Tab as on Tab.
template <class Dialog>
static void ctrlTabLeaves(Dialog &d, QLineEdit *line)
{
    d.show();
    d.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&d));
    d.nr_memo->setFocus();
    d.nr_memo->clear();
    QTest::keyClick(d.nr_memo, Qt::Key_Tab);
    QCOMPARE(d.nr_memo->toPlainText(), QString("\t"));
    QVERIFY(d.nr_memo->hasFocus());
    QTest::keyClick(d.nr_memo, Qt::Key_Tab, Qt::ControlModifier);
    QVERIFY(!d.nr_memo->hasFocus());
    QCOMPARE(d.nr_memo->toPlainText(), QString("\t"));
    QVERIFY(QApplication::focusWidget() && QApplication::focusWidget()->window() == &d);
    d.nr_memo->setFocus();
    QTest::keyClick(d.nr_memo, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(!d.nr_memo->hasFocus());
    QCOMPARE(d.nr_memo->toPlainText(), QString("\t"));
    line->setFocus();
    QTest::keyClick(line, Qt::Key_Tab, Qt::ControlModifier);
    QVERIFY(!line->hasFocus());
    d.hide();
}

void TestReading::ctrlTabLeavesTheDialogsFields()
{
    f.select(f.node("第一章"));
    int dialogs = 0;
    whileShown<TywlbwhForm>([&] { ShowChapterDialog("00001", f.window->TreeView, 2); }, [&](TywlbwhForm &d) {
        ctrlTabLeaves(d, d.lb_lbmc_Edit);
        ++dialogs;
    });
    f.window->LoadChildren(f.node("第二章"));
    f.select(f.node("文一"));
    whileShown<TywnrwhForm>([&] { ShowArticleDialog("00001", f.window->TreeView, 2); }, [&](TywnrwhForm &d) {
        ctrlTabLeaves(d, d.nr_nrbt_Edit);
        ++dialogs;
    });
    QCOMPARE(dialogs, 2);
}

void TestReading::photoBoxOpensTheChooserByKey()
{
    f.select(f.node("第一章"));
    int chooserShown = 0;
    const auto chooser = TywlbwhForm::OpenPictureDialog1.replace([&](QWidget *) {
        ++chooserShown;
        return QString(); // Cancel
    });
    whileShown<TywlbwhForm>([&] { ShowChapterDialog("00001", f.window->TreeView, 2); }, [&](TywlbwhForm &d) {
        d.show();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.CheckBox1->setFocus();
        QTest::keyClick(d.CheckBox1, Qt::Key_Tab); // the photo box is in the Tab order
        QVERIFY(d.Image1->hasFocus());
        QCOMPARE(d.Image1->accessibleName(), QString("照片"));
        QTest::keyClick(d.Image1, Qt::Key_Return);
        QTest::keyClick(d.Image1, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(d.Image1, Qt::Key_Space);
        QCOMPARE(chooserShown, 3);
        QTest::keyClick(d.Image1, Qt::Key_A);
        QCOMPARE(chooserShown, 3);
        d.hide();
    });
}

QTEST_MAIN(TestReading)
#include "tst_reading.moc"
