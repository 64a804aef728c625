#include "BrowserFixture.h"
#include "app/EbookApplication.h"
#include "browser/MC_About.h"
#include "search/FindDialog.h"
#include "data/BookQuery.h"
#include "search/ShowjbywnrFrm.h"

#include <QGlyphRun>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QPrintDialog>
#include <QPrinter>
#include <QRawFont>
#include <QTextLayout>
#include <QToolTip>
#include <QLineEdit>
#include <QListWidget>
#include <QStatusBar>
#include <QTextEdit>
#include <QtTest>

// The browser window's frame as a desktop program: its width, the keyboard
// focus, the fonts every window draws with, and printing.
class TestFrame : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { EbookApplication::installApplicationFont(); } // as the program starts
    void init();
    void cleanup();
    void narrowsToTheDesignedWidth();
    void tabLeavesTheTexts();
    void simplifiedChineseEverywhere();
    void printsOverThePrintableArea();

private:
    std::unique_ptr<TestBook> book;
    BrowserFixture f;
};

void TestFrame::init()
{
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    book = std::make_unique<TestBook>("书");
    book->chapter(2, "00001", "第一章", "00000", "第一章正文");
    book->chapter(3, "00002", "第二章", "00000", "第二章正文");
    f.open(book->path());
}

void TestFrame::cleanup()
{
    f.window.reset();
    book.reset();
}

// The support line elides rather than widening the window: a wider minimum
// than the designed client width cancels the maximised state.
void TestFrame::narrowsToTheDesignedWidth()
{
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QVERIFY2(f.window->minimumSizeHint().width() <= 790, qPrintable(QString::number(f.window->minimumSizeHint().width())));
    f.window->resize(790, 541);
    QCOMPARE(f.window->width(), 790);
    QLabel *support = f.window->StatusPanels[2];
    QVERIFY(support->toolTip().startsWith(QString("墨川电子阅读系统")));
    QVERIFY(support->geometry().right() <= f.window->StatusBar1->width());
}

static QWidget *pressTab(Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *from = QApplication::focusWidget();
    QTest::keyClick(from, modifiers & Qt::ShiftModifier ? Qt::Key_Backtab : Qt::Key_Tab, modifiers);
    return QApplication::focusWidget();
}

void TestFrame::tabLeavesTheTexts()
{
    Tywzxform *w = f.window.get();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w->TreeView));

    // Around the whole chain with Tab: every stop is visible, Edit2 is none.
    QSet<QWidget *> stops;
    QWidget *at = w->TreeView;
    for (int i = 0; i < 30 && (i == 0 || at != w->TreeView); ++i) {
        at = pressTab();
        QVERIFY2(at && at->isVisible() && !at->visibleRegion().isEmpty(), at ? at->metaObject()->className() : "none");
        stops << at;
    }
    QCOMPARE(at, static_cast<QWidget *>(w->TreeView));
    QVERIFY(stops.contains(w->memo1));
    QVERIFY(!stops.contains(w->Edit2));

    // Tab and Shift+Tab leave the pane and type nothing into it.
    const QString text = w->memo1->toPlainText();
    for (Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ShiftModifier)}) {
        w->memo1->setFocus();
        QVERIFY(pressTab(modifiers) != w->memo1);
        QCOMPARE(w->memo1->toPlainText(), text);
    }

    // The same in the results window's text.
    BookQuery &query = ywzxDMF->Query;
    query.setSql({"select * from ywzx_ywlb where ywnr like '%正文%'"});
    query.open();
    TShowjbywnrForm results(query);
    results.show();
    results.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&results));
    results.nrbtListBox->setCurrentRow(0);
    const QString hit = results.nr_memo->toPlainText();
    for (Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ShiftModifier)}) {
        results.nr_memo->setFocus();
        QVERIFY(pressTab(modifiers) != results.nr_memo);
        QCOMPARE(results.nr_memo->toPlainText(), hit);
    }
}

// The faces that draw text in widget's font, glyph run by glyph run.
static QStringList facesDrawing(const QWidget *widget, const QString &text)
{
    QTextLayout layout(text, widget->font());
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QStringList faces;
    for (const QGlyphRun &run : layout.glyphRuns())
        faces << run.rawFont().familyName();
    faces.removeDuplicates();
    return faces;
}

static bool simplifiedChineseForms(const QStringList &faces)
{
    static const QStringList chinese = {"AR PL UMing CN", "Noto Serif CJK SC", "Noto Sans CJK SC"};
    return !faces.isEmpty() && std::all_of(faces.begin(), faces.end(), [](const QString &face) { return chinese.contains(face, Qt::CaseInsensitive); });
}

static int lightness(const QImage &image)
{
    qint64 sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += QColor(image.pixel(x, y)).lightness();
    return int(sum / qMax(1, image.width() * image.height()));
}

// Under the C locale (this test's environment) the windows that do not name
// the Song face still draw Simplified Chinese forms: the application's font
// names a Chinese face.
void TestFrame::simplifiedChineseEverywhere()
{
    const QString forms = "直骨角令";
    QMessageBox box(QMessageBox::Information, "系统提示", forms);
    QPrinter printer;
    QPrintDialog print(&printer);
    TMac_About *about = TMac_About::showSingle();
    QList<const QWidget *> windows;
    windows << f.window->FindDialog1->FindLabel << f.window->FindDialog2->FindNextButton << f.window->PopupMenu1
            << f.window->PopupMenu2 << &box << &print << f.window->memo1;
    for (const QLabel *label : about->findChildren<QLabel *>())
        windows << label;
    for (const QWidget *widget : windows)
        QVERIFY2(simplifiedChineseForms(facesDrawing(widget, forms)),
                 qPrintable(QString(widget->metaObject()->className()) + widget->font().toString() + ": " + facesDrawing(widget, forms).join(", ")));

    // One face throughout the about window, for Latin and Chinese alike.
    QStringList faces;
    for (const QLabel *label : about->findChildren<QLabel *>())
        if (!label->text().isEmpty())
            faces << facesDrawing(label, label->text());
    faces.removeDuplicates();
    QVERIFY2(faces.size() == 1, qPrintable(faces.join(", ")));

    // The web address's tooltip keeps the tooltip colours (dark on light).
    QToolTip::showText(about->Label8->mapToGlobal(QPoint(2, 2)), about->Label8->toolTip(), about->Label8);
    QWidget *tip = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->inherits("QTipLabel") && widget->isVisible())
            tip = widget;
    QVERIFY(tip);
    QVERIFY2(lightness(tip->grab().toImage()) > 150, qPrintable(QString::number(lightness(tip->grab().toImage()))));
    QToolTip::hideText();
    delete about;
}

static QString pdfToText(const QStringList &arguments)
{
    QProcess process;
    process.start("pdftotext", arguments);
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The printed pages hold the pane's text and nothing else, from the top
// left corner of the printable area on.
void TestFrame::printsOverThePrintableArea()
{
    QVERIFY2(!QStandardPaths::findExecutable("pdftotext").isEmpty(), "pdftotext (poppler-utils) is missing");
    QTemporaryDir dir;
    const QString pdf = dir.filePath("pane.pdf");
    QString text;
    for (int i = 1; i <= 300; ++i)
        text += QString("第%1行 月落乌啼霜满天\n").arg(i);
    f.window->memo1->setPlainText(text);
    QRectF printable;
    const auto previous = Tywzxform::runPrintDialog;
    Tywzxform::runPrintDialog = [&](QPrinter &printer, QWidget *) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageMargins(QMarginsF(10, 15, 10, 15), QPageLayout::Millimeter);
        printable = printer.pageLayout().paintRect(QPageLayout::Point);
        return true;
    };
    f.window->BitBtn3Click();
    Tywzxform::runPrintDialog = previous;

    const QStringList pages = pdfToText({pdf, "-"}).split('\f', Qt::SkipEmptyParts);
    QVERIFY(pages.size() >= 2);
    const QRegularExpression pageNumber("^\\s*-?\\s*\\d+\\s*-?\\s*$");
    for (const QString &page : pages)
        for (const QString &line : page.split('\n'))
            QVERIFY2(!pageNumber.match(line).hasMatch(), qPrintable("a page number: " + line));
    QVERIFY(pages.first().contains("第1行 月落乌啼霜满天"));
    QVERIFY(pages.last().contains("第300行 月落乌啼霜满天"));

    // The first word of the first page sits at the printable area's corner.
    const QRegularExpression word("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"");
    const QRegularExpressionMatch first = word.match(pdfToText({"-bbox", "-f", "1", "-l", "1", pdf, "-"}));
    QVERIFY(first.hasMatch());
    const QPointF at(first.captured(1).toDouble(), first.captured(2).toDouble());
    QVERIFY2(qAbs(at.x() - printable.left()) < 3 && at.y() >= printable.top() && at.y() - printable.top() < 6,
             qPrintable(QString("text at %1,%2; printable area from %3,%4")
                            .arg(at.x()).arg(at.y()).arg(printable.left()).arg(printable.top())));
}

QTEST_MAIN(TestFrame)
#include "tst_frame.moc"
