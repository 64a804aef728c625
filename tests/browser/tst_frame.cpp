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

QTEST_MAIN(TestFrame)
#include "tst_frame.moc"
