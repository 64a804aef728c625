#include "browser/PanePrint.h"
#include "BrowserFixture.h"
#include "app/DesktopSettings.h"
#include "app/EbookApplication.h"
#include "browser/ImageList.h"
#include "widgets/TextZoom.h"
#include "browser/MC_About.h"
#include "search/FindDialog.h"
#include "maintenance/MaintenanceDialog.h"
#include <QAccessible>
#include <QRegularExpression>
#include "data/BookQuery.h"
#include "search/ResultList.h"
#include "search/ShowjbywnrFrm.h"

#include <QAction>
#include <QCompleter>
#include <QGlyphRun>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QPrintDialog>
#include <QPrinter>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLayout>
#include <QToolTip>
#include <QLineEdit>
#include <QStatusBar>
#include <QPlainTextEdit>
#include <QCheckBox>
#include <QtTest>

// The browser window's frame as a desktop program: its width, the keyboard
// focus, the fonts every window draws with, and printing.
class TestFrame : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void narrowsToTheDesignedWidth();
    void toolbarAsDesigned();
    void tabLeavesTheTexts();
    void simplifiedChineseEverywhere();
    void printsOverThePrintableArea();
    void mainlandFormsAndExactPrintedText();
    void keyboardCommands();
    void zoom();
    void settingsRemembered();
    void damagedSettingsMeanDefaults();
    void sharpIcons();
    void accessibleNames();

private:
    void activate(QWidget *window);
    std::unique_ptr<TestBook> book;
    BrowserFixture f;
};

void TestFrame::initTestCase()
{
    EbookApplication::installApplicationFont(); // as the program starts
}

void TestFrame::activate(QWidget *window)
{
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

void TestFrame::init()
{
    book = std::make_unique<TestBook>("书");
    book->chapter(2, "00001", "第一章", "00000", "第一章正文");
    book->chapter(3, "00002", "第二章", "00000", "第二章正文");
    f.open(book->path());
}

void TestFrame::cleanup()
{
    f.window.reset();
    book.reset();
    TextZoom::setLastPercent(100);
    const std::unique_ptr<QSettings> settings = DesktopSettings::open();
    settings->clear();
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

// The Chinese toolbar keeps the places the design draws (the English one widens).
void TestFrame::toolbarAsDesigned()
{
    QCOMPARE(f.window->RxSpeedButton2->geometry(), QRect(101, 1, 99, 33));
    QCOMPARE(f.window->delete_lb_btn->geometry(), QRect(200, 1, 99, 33));
    QCOMPARE(f.window->delete_nr_btn->geometry(), QRect(199, 1, 99, 33));
    QCOMPARE(f.window->forward_btn->geometry(), QRect(68, 1, 66, 33));
    QCOMPARE(f.window->Panel6->minimumWidth(), 200);
    QCOMPARE(f.window->lbwh_Panel->minimumWidth(), 299);
    QCOMPARE(f.window->nrwh_Panel->minimumWidth(), 316);
    QCOMPARE(f.window->nav_Panel->minimumWidth(), 134);
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

// The bare print, as chosen in the print dialog: the printed pages hold the
// pane's text and nothing else, from the top left corner of the printable
// area on.
void TestFrame::printsOverThePrintableArea()
{
    QVERIFY2(!QStandardPaths::findExecutable("pdftotext").isEmpty(), "pdftotext (poppler-utils) is missing");
    f.window->BarePrintAction->setChecked(true);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("pane.pdf");
    QString text;
    for (int i = 1; i <= 300; ++i)
        text += QString("第%1行 月落乌啼霜满天\n").arg(i);
    f.window->memo1->setPlainText(text);
    QRectF printable;
    int onlyPage = 0; // a page range chosen in the dialog
    const auto printing1 = PanePrint::runDialog.replace([&](QPrinter &printer, QWidget *) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(onlyPage ? dir.filePath("range.pdf") : pdf);
        printer.setPageMargins(QMarginsF(10, 15, 10, 15), QPageLayout::Millimeter);
        printable = printer.pageLayout().paintRect(QPageLayout::Point);
        if (onlyPage) {
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(onlyPage, onlyPage);
        }
        return true;
    });
    f.window->BitBtn3Click();
    onlyPage = 2;
    f.window->BitBtn3Click();

    const QStringList pages = pdfToText({pdf, "-"}).split('\f', Qt::SkipEmptyParts);
    QVERIFY(pages.size() >= 2);
    const QRegularExpression pageNumber("^\\s*-?\\s*\\d+\\s*-?\\s*$");
    for (const QString &page : pages)
        for (const QString &line : page.split('\n'))
            QVERIFY2(!pageNumber.match(line).hasMatch(), qPrintable("a page number: " + line));
    QVERIFY(pages.first().contains("第1行 月落乌啼霜满天"));
    QVERIFY(pages.last().contains("第300行 月落乌啼霜满天"));
    QCOMPARE(pdfToText({dir.filePath("range.pdf"), "-"}).split('\f', Qt::SkipEmptyParts), QStringList{pages[1]});

    // The first word of the first page sits at the printable area's corner.
    const QRegularExpression word("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"");
    const QRegularExpressionMatch first = word.match(pdfToText({"-bbox", "-f", "1", "-l", "1", pdf, "-"}));
    QVERIFY(first.hasMatch());
    const QPointF at(first.captured(1).toDouble(), first.captured(2).toDouble());
    QVERIFY2(qAbs(at.x() - printable.left()) < 3 && at.y() >= printable.top() && at.y() - printable.top() < 6,
             qPrintable(QString("text at %1,%2; printable area from %3,%4")
                            .arg(at.x()).arg(at.y()).arg(printable.left()).arg(printable.top())));
}

// Where a face sets 。: the mainland way low at the left of its em box.
static bool mainlandFullStop(const QFont &font)
{
    QTextLayout layout("。", font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QGlyphRun run = layout.glyphRuns().value(0);
    const QRawFont raw = run.rawFont();
    const QPointF ink = raw.pathForGlyph(run.glyphIndexes().value(0)).boundingRect().center();
    const qreal advance = raw.advancesForGlyphIndexes(run.glyphIndexes()).value(0).x();
    return ink.x() < 0.4 * advance && (ink.y() + raw.ascent()) / (raw.ascent() + raw.descent()) > 0.6;
}

// Screen and print set punctuation the mainland way and Latin proportionally,
// and the text read back from a printed PDF is the pane's.
void TestFrame::mainlandFormsAndExactPrintedText()
{
    const QFont screen = f.window->memo1->font();
    const QFont print = PanePrint::printingFont(screen);
    for (const QFont &font : {screen, print}) {
        QVERIFY2(mainlandFullStop(font), qPrintable(font.toString()));
        QVERIFY2(QFontMetricsF(font).horizontalAdvance('i') < QFontMetricsF(font).horizontalAdvance('m'), qPrintable(font.toString()));
    }

    // Kangxi-radical look-alikes, digits, Latin, punctuation, characters outside GB2312.
    const QString text = "一二十人大，。、：；！？“”‘’（）《》【】——……·「」\n"
                         "Latin text: Mimic 0123456789 ilm.\n"
                         "鶴喆 門馬魚鳥龍 墨川电子阅读系统。";
    f.window->memo1->setPlainText(text);
    f.window->BarePrintAction->setChecked(true); // the text alone
    QTemporaryDir dir;
    const QString pdf = dir.filePath("pane.pdf");
    const auto printing2 = PanePrint::runDialog.replace([&](QPrinter &printer, QWidget *) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    f.window->BitBtn3Click();
    QCOMPARE(pdfToText({"-enc", "UTF-8", pdf, "-"}).remove('\f').trimmed(), f.window->memo1->toPlainText());
}

void TestFrame::keyboardCommands()
{
    Tywzxform *w = f.window.get();
    activate(w);
    QTreeWidget *tree = w->TreeView;
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(tree));
    QTest::keyClick(tree, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(w->FindDialog1->isVisible());
    QTest::keyClick(w->FindDialog1, Qt::Key_Escape);
    activate(w);
    QTest::keyClick(tree, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(w->FindDialog2->isVisible());
    w->FindDialog2->hide();
    activate(w);

    // F3 / Shift+F3 repeat the chapter-name search down / up, outside a text.
    w->FindDialog1->setText("章");
    tree->setFocus();
    QVERIFY(tree->currentItem()->text(0).startsWith("第一章"));
    QTest::keyClick(tree, Qt::Key_F3);
    QVERIFY(tree->currentItem()->text(0).startsWith("第二章"));
    QTest::keyClick(tree, Qt::Key_F3, Qt::ShiftModifier);
    QVERIFY(tree->currentItem()->text(0).startsWith("第一章"));
    QVERIFY(w->FindDialog1->down()); // the dialog's own choice stays
    w->memo1->setFocus(); // a text without hits: F3 is the window's still
    QTest::keyClick(w->memo1, Qt::Key_F3);
    QVERIFY(tree->currentItem()->text(0).startsWith("第二章"));
    f.select(f.node("第一章"));
    // One Enter in the history's list takes the text and finds.
    auto *history = new QCompleter(QStringList{"第二章"}, w->FindDialog1);
    w->FindDialog1->offerCompletions(history);
    w->FindDialog1->execute();
    w->FindDialog1->setText("第");
    history->setCompletionPrefix("第");
    history->complete();
    QTest::keyClick(history->popup(), Qt::Key_Down);
    QTest::keyClick(history->popup(), Qt::Key_Return);
    QTRY_VERIFY(tree->currentItem()->text(0).startsWith("第二章"));
    w->FindDialog1->hide();
    activate(w);

    int printDialogs = 0;
    const auto printing3 = PanePrint::runDialog.replace([&](QPrinter &, QWidget *) { ++printDialogs; return false; });
    QTest::keyClick(tree, Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(printDialogs, 1);
    QTest::keyClick(tree, Qt::Key_F1);
    QVERIFY(TMac_About::find() && TMac_About::find()->isVisible());
    delete TMac_About::find();

    // Tooltips name the shortcuts; the pane's menu shows the standard ones
    // and offers only what can act.
    QCOMPARE(w->RxSpeedButton1->toolTip(), QString("章节查找 (Ctrl+F)"));
    QCOMPARE(w->RxSpeedButton2->toolTip(), QString("内容查找 (Ctrl+Shift+F)"));
    QCOMPARE(w->BitBtn3->toolTip(), QString("打印 (Ctrl+P)"));
    QCOMPARE(w->BitBtn2->toolTip(), QString("退出 (Ctrl+Q)"));
    QCOMPARE(w->BitBtn1->toolTip(), QString("关于 (F1)"));
    QCOMPARE(w->N4->shortcut(), QKeySequence(QKeySequence::Copy));
    QCOMPARE(w->N11->shortcut(), QKeySequence(QKeySequence::Cut));
    QCOMPARE(w->N13->shortcut(), QKeySequence(QKeySequence::Undo));
    w->memo1->moveCursor(QTextCursor::Start);
    w->PopupMenu2->popup(w->mapToGlobal(QPoint(100, 100)));
    QVERIFY(w->N3->isEnabled() && !w->N4->isEnabled() && !w->N11->isEnabled() && !w->N13->isEnabled());
    w->PopupMenu2->hide();
    w->memo1->selectAll();
    w->PopupMenu2->popup(w->mapToGlobal(QPoint(100, 100)));
    QVERIFY(w->N4->isEnabled() && w->N11->isEnabled());
    w->PopupMenu2->hide();

    activate(w);
    QTest::keyClick(w->TreeView, Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!w->isVisible());
}

static int pagesOf(const QString &pdf)
{
    QProcess process;
    process.start("pdfinfo", {pdf});
    process.waitForFinished();
    const QRegularExpression pages("Pages:\\s+(\\d+)");
    return pages.match(QString::fromUtf8(process.readAllStandardOutput())).captured(1).toInt();
}

void TestFrame::zoom()
{
    Tywzxform *w = f.window.get();
    activate(w);
    QPlainTextEdit *pane = w->memo1;
    const auto size = [](QPlainTextEdit *text) { return text->font().pixelSize(); };
    QCOMPARE(size(pane), 12);
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int percent;
    } steps[] = {{Qt::Key_Equal, Qt::ControlModifier, 110}, {Qt::Key_Plus, Qt::ControlModifier, 120},
                 {Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier, 130}, {Qt::Key_Minus, Qt::ControlModifier, 120},
                 {Qt::Key_0, Qt::ControlModifier, 100}};
    for (const auto &step : steps) {
        QTest::keyClick(w->TreeView, step.key, step.modifiers);
        QCOMPARE(w->PaneZoom->percent(), step.percent);
        QCOMPARE(size(pane), qRound(12 * step.percent / 100.0));
    }
    // Ctrl+wheel over the text; a plain wheel only scrolls.
    const auto wheel = [pane](int delta, Qt::KeyboardModifiers modifiers) {
        QWheelEvent event(QPointF(20, 20), pane->viewport()->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(pane->viewport(), &event);
    };
    wheel(120, Qt::ControlModifier);
    QCOMPARE(w->PaneZoom->percent(), 110);
    wheel(120, Qt::NoModifier);
    QCOMPARE(w->PaneZoom->percent(), 110);
    for (int i = 0; i < 40; ++i)
        wheel(120, Qt::ControlModifier);
    QCOMPARE(w->PaneZoom->percent(), 400);
    for (int i = 0; i < 40; ++i)
        wheel(-120, Qt::ControlModifier);
    QCOMPARE(w->PaneZoom->percent(), 50);
    QCOMPARE(size(pane), 6);

    // Printing keeps the designed size whatever the zoom.
    QTemporaryDir dir;
    QString text;
    for (int i = 1; i <= 200; ++i)
        text += QString("第%1行 月落乌啼霜满天\n").arg(i);
    pane->setPlainText(text);
    QList<int> pages;
    for (int percent : {100, 400}) {
        w->PaneZoom->setPercent(percent);
        const QString pdf = dir.filePath(QString("zoom%1.pdf").arg(percent));
        const auto printing4 = PanePrint::runDialog.replace([&](QPrinter &printer, QWidget *) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
        w->BitBtn3Click();
        pages << pagesOf(pdf);
    }
    QVERIFY(pages[0] > 0);
    QCOMPARE(pages[1], pages[0]);

    // The results window's text zooms the same way, from the last zoom.
    w->PaneZoom->setPercent(100);
    BookQuery &query = ywzxDMF->Query;
    query.setSql({"select * from ywzx_ywlb where ywnr like '%正文%'"});
    query.open();
    TShowjbywnrForm results(query);
    activate(&results);
    const int designed = size(results.nr_memo);
    QTest::keyClick(results.nrbtListBox, Qt::Key_Equal, Qt::ControlModifier);
    QCOMPARE(size(results.nr_memo), qRound(designed * 1.1));
    QTest::keyClick(results.nrbtListBox, Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(size(results.nr_memo), designed);
}

// Searches the chapter names for each text through the dialog's button.
static void searchNames(Tywzxform *w, const QStringList &texts)
{
    ScriptedBoxes boxes;
    for (const QString &text : texts) {
        w->FindDialog1->setText(text);
        QTest::mouseClick(w->FindDialog1->FindNextButton, Qt::LeftButton);
    }
}

void TestFrame::settingsRemembered()
{
    Tywzxform *w = f.window.get();
    w->hide();
    DesktopSettings::restore(*w);
    DesktopSettings::showMainWindow(*w);
    QVERIFY(w->isMaximized()); // the first start
    QVERIFY(w->autoExpand());
    QCOMPARE(w->PaneZoom->percent(), 100);

    w->showNormal();
    w->setGeometry(QRect(60, 50, 700, 500));
    w->Splitter1->setSizes({150, 550});
    const QList<int> splitter = w->Splitter1->sizes();
    w->PaneZoom->setPercent(150);
    w->N6->trigger();
    QVERIFY(!w->autoExpand());
    QStringList texts;
    for (int i = 1; i <= 12; ++i)
        texts << QString("查%1").arg(i);
    searchNames(w, texts + QStringList{"查5"});
    const QStringList newestFirst = {"查5", "查12", "查11", "查10", "查9", "查8", "查7", "查6", "查4", "查3"};
    QCOMPARE(DesktopSettings::history(*w->FindDialog1), newestFirst);
    QCOMPARE(w->FindDialog1->FindEdit->completer()->model()->rowCount(), 10);
    QVERIFY(!DesktopSettings::open()->contains("find/FindDialog1")); // no search writes the disk
    QVERIFY(!w->FindDialog2->fjtc_chk->isChecked() && w->FindDialog2->fjtc_chk->isVisibleTo(w->FindDialog2));
    QVERIFY(!w->FindDialog1->fjtc_chk->isVisibleTo(w->FindDialog1));
    w->FindDialog2->fjtc_chk->setChecked(true);
    QVERIFY(!w->BarePrintAction->isChecked()); // cited print unless the reader chose otherwise
    w->BarePrintAction->setChecked(true);
    DesktopSettings::save(*w);

    f.open(book->path(), false);
    w = f.window.get();
    DesktopSettings::restore(*w);
    DesktopSettings::showMainWindow(*w);
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QVERIFY(!w->isMaximized());
    QCOMPARE(w->size(), QSize(700, 500));
    QCOMPARE(w->Splitter1->sizes(), splitter);
    QCOMPARE(w->PaneZoom->percent(), 150);
    QCOMPARE(w->memo1->font().pixelSize(), 18);
    QVERIFY(!w->autoExpand() && !w->N6->isChecked());
    QCOMPARE(DesktopSettings::history(*w->FindDialog1), newestFirst);
    QCOMPARE(w->FindDialog1->objectName(), QString("FindDialog1"));
    QCOMPARE(w->FindDialog1->FindEdit->objectName(), QString("FindEdit"));
    QVERIFY(DesktopSettings::history(*w->FindDialog2).isEmpty());
    QVERIFY(w->FindDialog2->fjtc_chk->isChecked());
    QVERIFY(w->BarePrintAction->isChecked());

    // A place that fits no screen any more is brought back onto one.
    w->showNormal();
    w->move(40000, 30000);
    DesktopSettings::save(*w);
    f.open(book->path(), false);
    DesktopSettings::showMainWindow(*f.window);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(screen.intersects(f.window->frameGeometry()), qPrintable(QString("%1,%2").arg(f.window->x()).arg(f.window->y())));
}

void TestFrame::damagedSettingsMeanDefaults()
{
    const QString file = DesktopSettings::open()->fileName();
    const QList<QByteArray> damages = {
        QByteArray("\x00\xff\xfe garbage [[[ = = \n\x01"),
        QByteArray("[window]\ngeometry=@ByteArray(nonsense)\nmaximised=perhaps\nsplitter=@ByteArray(x)\n"
                   "[pane]\nzoom=huge\n[tree]\nautoExpand=@Variant(zz)\n[find]\nFindDialog1=@Variant(\\0\\0)\n"),
    };
    for (const QByteArray &damage : damages) {
        QDir().mkpath(QFileInfo(file).path());
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(damage);
        out.close();
        f.open(book->path(), false);
        Tywzxform *w = f.window.get();
        DesktopSettings::restore(*w);
        DesktopSettings::showMainWindow(*w);
        QVERIFY(w->isMaximized());
        QCOMPARE(w->PaneZoom->percent(), 100);
        QVERIFY(w->autoExpand());
        QVERIFY(DesktopSettings::history(*w->FindDialog1).isEmpty());
    }
}

// The tree's pictures and the program's icon are drawn for the screen's
// density, not enlarged from 16 pixels.
void TestFrame::sharpIcons()
{
    const QIcon program(":/app/mochuan-ebook.svg");
    QVERIFY(!program.isNull());
    const QIcon level = ImageList::tree().icon(2, 3);
    for (qreal scale : {1.0, 1.5, 2.0}) {
        const QPixmap big = program.pixmap(QSize(48, 48), scale);
        QCOMPARE(big.size(), QSize(qRound(48 * scale), qRound(48 * scale)));
        const QPixmap small = level.pixmap(QSize(16, 16), scale);
        QVERIFY2(small.width() >= qRound(16 * scale), qPrintable(QString("%1 %2 %3").arg(scale).arg(small.width()).arg(small.devicePixelRatio())));
    }
    QVERIFY(level.availableSizes().contains(QSize(32, 32)));
}

// What a screen reader says of each control that takes the focus: a
// Chinese name in every window, and no tree header "1".
static QStringList unnamed(QWidget *window)
{
    QStringList missing;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(window) || w->isWindow())
            continue;
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(w);
        const QString name = face ? face->text(QAccessible::Name) : QString();
        if (!name.contains(QRegularExpression("\\p{Han}")))
            missing << QString("%1 %2 \"%3\"").arg(window->objectName(), w->objectName(), name);
    }
    return missing;
}

void TestFrame::accessibleNames()
{
    Tywzxform *w = f.window.get();
    w->offerMaintenance();
    QStringList missing = unnamed(w) + unnamed(w->FindDialog1) + unnamed(w->FindDialog2);
    QAccessibleInterface *tree = QAccessible::queryAccessibleInterface(w->TreeView);
    for (int i = 0; i < tree->childCount(); ++i)
        if (tree->child(i)->text(QAccessible::Name) == "1")
            missing << "TreeView header \"1\"";
    w->BitBtn1Click();
    missing += unnamed(TMac_About::find());
    delete TMac_About::find();
    const auto dialog = [&](QDialog &d) {
        missing += unnamed(&d);
        return 0;
    };
    const auto dialogs = maintenanceDialogRunner.replace(dialog);
    f.select(f.node("第一章"));
    w->Edit_lb_btnClick();
    w->Insert_nr_btnClick();
    const auto results = TShowjbywnrForm::runModal.replace([&](TShowjbywnrForm &form) { return dialog(form); });
    w->FindDialog2->setText("正文");
    w->FindDialog2Find();
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join('\n')));
}

QTEST_MAIN(TestFrame)
#include "tst_frame.moc"
