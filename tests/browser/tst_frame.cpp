#include "BrowserFixture.h"
#include "app/EbookApplication.h"
#include "data/BookQuery.h"
#include "search/ShowjbywnrFrm.h"

#include <QLabel>
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
    void initTestCase() { EbookApplication::installFontSubstitutions(); }
    void init();
    void cleanup();
    void narrowsToTheDesignedWidth();
    void tabLeavesTheTexts();

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

QTEST_MAIN(TestFrame)
#include "tst_frame.moc"
