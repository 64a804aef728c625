#include "BrowserFixture.h"
#include "app/EbookApplication.h"
#include "browser/PanePrint.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QPrinter>
#include <QPushButton>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

// Citations through the window's real keys, menus and print button.
class TestCitation : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { EbookApplication::installFontSubstitutions(); }
    void init();
    void cleanup() { f.window.reset(); book.reset(); }
    void citationOfNode_data();
    void citationOfNode();
    void passageWithItsCitation();
    void printedCitedThenBare();

private:
    void openPath(const QStringList &labelStarts);
    QStringList printedPages();
    void copyKeys(QWidget *where) { QTest::keyClick(where, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier); }
    std::unique_ptr<TestBook> book;
    BrowserFixture f;
    QTemporaryDir printPlace;
};

const QString Deep = "唐诗宋词选读 › 唐诗三百首 › 李白 › 五言 [00014]（2026-01-01）";
const QString Odd = "唐诗宋词选读 › 唐诗三百首 › 李白 › 卷[上] 续 [00015]（2025-06-30）";

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
    book->exec("update ywzx_ywlb set xgrq=null where lbbh in ('00016', '00000')");
    book->chapter(7, "00020", "有文", "00001");
    // The same code as a chapter's, another date: the article's own row counts.
    book->article("00014", "静夜思", "00020", "举头望明月", "2025-12-31 00:00:00");
    f.open(book->path());
    f.window->activateWindow(); // the window's keys need it active
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
}

// Expands the chapters as a reader would (their children load) and selects the last.
void TestCitation::openPath(const QStringList &labelStarts)
{
    for (const QString &label : labelStarts) {
        QTreeWidgetItem *node = f.node(label);
        QVERIFY2(node, qPrintable(label));
        node->setExpanded(true);
        f.select(node);
    }
}

void TestCitation::citationOfNode_data()
{
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QString>("citation");
    QTest::newRow("three levels deep") << QStringList({"唐诗三百首", "李白", "五言"}) << Deep;
    QTest::newRow("bracket and line break") << QStringList({"唐诗三百首", "李白", "卷[上]"}) << Odd;
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
    openPath(path);
    QGuiApplication::clipboard()->clear();
    f.window->TreeView->setFocus();
    copyKeys(f.window->TreeView);
    QCOMPARE(QGuiApplication::clipboard()->text(), citation);
}

// In the pane the key copies the selected text, then its citation; in the
// tree the citation alone, though the pane keeps its selection.
void TestCitation::passageWithItsCitation()
{
    openPath({"唐诗三百首", "李白", "五言"});
    TextPane *pane = f.window->memo1;
    pane->setFocus();
    QTest::keyClick(pane, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(pane, Qt::Key_Down);
    QTest::keyClick(pane, Qt::Key_End, Qt::ShiftModifier);
    copyKeys(pane);
    QCOMPARE(QGuiApplication::clipboard()->text(), "疑是地上霜\n" + Deep);
    f.window->TreeView->setFocus();
    copyKeys(f.window->TreeView);
    QCOMPARE(QGuiApplication::clipboard()->text(), Deep);
    f.window->PaneCitationItem->trigger(); // the pane's menu: its selection, wherever the focus
    QCOMPARE(QGuiApplication::clipboard()->text(), "疑是地上霜\n" + Deep);
}

// The print button's pages as pdftotext reads them back.
QStringList TestCitation::printedPages()
{
    const QString pdf = printPlace.filePath("pane.pdf");
    const auto printing = PanePrint::runDialog.replace([&](QPrinter &printer, QWidget *) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    QTest::mouseClick(f.window->BitBtn3, Qt::LeftButton);
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput()).split('\f', Qt::SkipEmptyParts);
}

// Cited: the citation heads the first page only, every page is numbered.
// Bare, as chosen in the print dialog: the text alone over the whole
// printable area (fewer pages); the dialog offers the choice as left.
void TestCitation::printedCitedThenBare()
{
    openPath({"唐诗三百首", "李白", "卷[上]"});
    const QStringList cited = printedPages();
    QVERIFY(cited.size() >= 3);
    for (int n = 1; n <= cited.size(); ++n) {
        const QString page = cited.at(n - 1);
        QVERIFY2(page.contains(QString("第 %1 页，共 %2 页").arg(n).arg(cited.size())), qPrintable(page.right(200)));
        QCOMPARE(page.contains(Odd), n == 1);
    }
    QVERIFY(cited.first().contains("第1行 床前明月光") && cited.last().contains("第300行 床前明月光"));

    std::unique_ptr<QWidget> tab(PanePrint::choiceTab(f.window.get()));
    auto *box = tab->findChild<QCheckBox *>("BarePrintBox");
    tab->show();
    QTest::mouseClick(box, Qt::LeftButton);
    const QString bare = printedPages().join('\f');
    QVERIFY(bare.contains("第1行 床前明月光") && bare.contains("第300行 床前明月光"));
    QVERIFY(!bare.contains("唐诗宋词选读") && !bare.contains(QRegularExpression("第 \\d+ 页")));
    QVERIFY(bare.count('\f') + 1 < cited.size());

    bool offeredChecked = false;
    QTimer answer; // answers the real print dialog
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            const auto *offered = dialog->findChild<QCheckBox *>("BarePrintBox");
            offeredChecked = offered && offered->isChecked() && !offered->accessibleName().isEmpty();
            dialog->reject();
        }
    });
    answer.start(10);
    QTest::mouseClick(f.window->BitBtn3, Qt::LeftButton);
    QVERIFY(offeredChecked);
}

QTEST_MAIN(TestCitation)
#include "tst_citation.moc"
