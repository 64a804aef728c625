#include "BrowserFixture.h"
#include "app/EbookApplication.h"
#include "browser/PanePrint.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

// Citations of the browser window through its real keys and menus: one line
// naming the book, the chapters down to the node, its code and date; the
// pane's printing with that heading and page numbers, or bare by choice.
class TestCitation : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { EbookApplication::installFontSubstitutions(); }
    void init();
    void cleanup();
    void citationOfNode_data();
    void citationOfNode();
    void passageWithItsCitation();
    void menusCopyCitations();
    void printedWithCitationAndPageNumbers();
    void barePrintChosenAndKept();

private:
    void openPath(const QStringList &labelStarts);
    QString printToText();
    std::unique_ptr<TestBook> book;
    BrowserFixture f;
    QTemporaryDir printPlace;
};

void TestCitation::init()
{
    book = std::make_unique<TestBook>("唐诗宋词选读");
    book->chapter(2, "00001", "唐诗三百首", "00000", "序");
    book->chapter(3, "00010", "李白", "00001", "李白小传");
    QString poem;
    for (int i = 1; i <= 300; ++i)
        poem += QString("第%1行 床前明月光\r\n").arg(i);
    book->chapter(4, "00014", "五言", "00010", "床前明月光\r\n疑是地上霜", "2026-01-01 08:30:00");
    book->chapter(5, "00015", "卷[上]\r\n续", "00010", poem, "2025-06-30 00:00:00");
    book->chapter(6, "00016", "无日期", "00010", "无");
    book->exec("update ywzx_ywlb set xgrq=null where lbbh='00016'");
    book->chapter(7, "00020", "有文", "00001");
    // The same code as a chapter's, another date: the article's own row counts.
    book->article("00014", "静夜思", "00020", "举头望明月", "2025-12-31 00:00:00");
    f.open(book->path());
    f.window->activateWindow(); // the window's keys need it active
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
}

void TestCitation::cleanup()
{
    f.window.reset();
    book.reset();
}

// Opens the chapters one after another (their children load as a reader
// expands them) and selects the last node.
void TestCitation::openPath(const QStringList &labelStarts)
{
    QTreeWidgetItem *node = nullptr;
    for (const QString &label : labelStarts) {
        node = f.node(label);
        QVERIFY2(node, qPrintable(label));
        node->setExpanded(true);
    }
    f.select(node);
}

void TestCitation::citationOfNode_data()
{
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QString>("citation");
    QTest::newRow("three levels deep") << QStringList({"唐诗三百首", "李白", "五言"})
                                       << "唐诗宋词选读 › 唐诗三百首 › 李白 › 五言 [00014]（2026-01-01）";
    QTest::newRow("bracket and line break") << QStringList({"唐诗三百首", "李白", "卷[上]"})
                                            << "唐诗宋词选读 › 唐诗三百首 › 李白 › 卷[上] 续 [00015]（2025-06-30）";
    QTest::newRow("no date") << QStringList({"唐诗三百首", "李白", "无日期"})
                             << "唐诗宋词选读 › 唐诗三百首 › 李白 › 无日期 [00016]";
    QTest::newRow("article") << QStringList({"唐诗三百首", "有文", "静夜思"})
                             << "唐诗宋词选读 › 唐诗三百首 › 有文 › 静夜思 [00014]（2025-12-31）";
    QTest::newRow("root") << QStringList({"唐诗宋词选读"}) << "唐诗宋词选读 [00000]";
}

void TestCitation::citationOfNode()
{
    QFETCH(QStringList, path);
    QFETCH(QString, citation);
    if (path == QStringList({"唐诗宋词选读"}))
        book->exec("update ywzx_ywlb set xgrq=null where lbbh='00000'");
    openPath(path);
    QGuiApplication::clipboard()->clear();
    f.window->TreeView->setFocus();
    QTest::keyClick(f.window->TreeView, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), citation);
}

// In the pane the key copies the selected text with its citation after it;
// in the tree the citation alone, though the pane keeps its selection.
void TestCitation::passageWithItsCitation()
{
    openPath({"唐诗三百首", "李白", "五言"});
    TextPane *pane = f.window->memo1;
    pane->setFocus();
    QTest::keyClick(pane, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(pane, Qt::Key_Down);
    QTest::keyClick(pane, Qt::Key_End, Qt::ShiftModifier);
    QTest::keyClick(pane, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    const QString citation = "唐诗宋词选读 › 唐诗三百首 › 李白 › 五言 [00014]（2026-01-01）";
    QCOMPARE(QGuiApplication::clipboard()->text(), "疑是地上霜\n" + citation);
    f.window->TreeView->setFocus();
    QTest::keyClick(f.window->TreeView, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), citation);
}

void TestCitation::menusCopyCitations()
{
    openPath({"唐诗三百首", "李白"});
    const QString citation = "唐诗宋词选读 › 唐诗三百首 › 李白 [00010]（2024-03-05）";
    QVERIFY(f.window->PopupMenu1->actions().contains(f.window->TreeCitationItem));
    QVERIFY(f.window->PopupMenu2->actions().contains(f.window->PaneCitationItem));
    f.window->TreeCitationItem->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), citation);
    f.window->PaneCitationItem->trigger(); // nothing selected: the citation alone
    QCOMPARE(QGuiApplication::clipboard()->text(), citation);
    f.window->memo1->selectAll();
    f.window->PaneCitationItem->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), "李白小传\n" + citation);
}

// Prints the selected node's text through the print button into a PDF and
// reads it back as a reader copying from it would.
QString TestCitation::printToText()
{
    const QString pdf = printPlace.filePath("pane.pdf");
    QFile::remove(pdf);
    const auto printing = PanePrint::runDialog.replace([&](QPrinter &printer, QWidget *) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    QTest::mouseClick(f.window->BitBtn3, Qt::LeftButton);
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    if (!p.waitForFinished() || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

void TestCitation::printedWithCitationAndPageNumbers()
{
    QVERIFY2(!QStandardPaths::findExecutable("pdftotext").isEmpty(), "pdftotext (poppler-utils) is missing");
    openPath({"唐诗三百首", "李白", "卷[上]"});
    const QStringList pages = printToText().split('\f', Qt::SkipEmptyParts);
    QVERIFY(pages.size() >= 3);
    const int total = pages.size() - (pages.last().trimmed().isEmpty() ? 1 : 0);
    const QString citation = "唐诗宋词选读 › 唐诗三百首 › 李白 › 卷[上] 续 [00015]（2025-06-30）";
    QVERIFY2(pages.first().contains(citation), qPrintable(pages.first().left(300)));
    for (int n = 1; n <= total; ++n) {
        const QString page = pages.at(n - 1);
        QVERIFY2(page.contains(QString("第 %1 页，共 %2 页").arg(n).arg(total)), qPrintable(page.right(200)));
        QCOMPARE(page.contains(citation), n == 1); // a heading, not a running head
    }
    QVERIFY(pages.first().contains("第1行 床前明月光"));
    QVERIFY(pages.at(total - 1).contains("第300行 床前明月光"));
}

// The choice is the print dialog's: checked there it prints the text alone
// over the whole printable area (fewer pages), and stays checked.
void TestCitation::barePrintChosenAndKept()
{
    openPath({"唐诗三百首", "李白", "卷[上]"});
    const int citedPages = printToText().count('\f');
    std::unique_ptr<QWidget> tab(PanePrint::choiceTab(f.window.get()));
    QVERIFY(tab);
    auto *box = tab->findChild<QCheckBox *>("BarePrintBox");
    QVERIFY(box && !box->isChecked() && !box->accessibleName().isEmpty());
    tab->show();
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(f.window->BarePrintAction->isChecked());
    const QString bare = printToText();
    QVERIFY(bare.contains("第1行 床前明月光") && bare.contains("第300行 床前明月光"));
    QVERIFY(!bare.contains("唐诗宋词选读") && !bare.contains(QRegularExpression("第 \\d+ 页")));
    QVERIFY2(bare.count('\f') < citedPages, qPrintable(QString("%1 %2").arg(bare.count('\f')).arg(citedPages)));
    // The next dialog offers the choice as it was left.
    tab.reset(PanePrint::choiceTab(f.window.get()));
    QVERIFY(tab->findChild<QCheckBox *>("BarePrintBox")->isChecked());
}

QTEST_MAIN(TestCitation)
#include "tst_citation.moc"
