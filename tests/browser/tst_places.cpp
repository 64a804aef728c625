#include "BrowserFixture.h"
#include "app/DesktopSettings.h"
#include "browser/BookmarksWindow.h"
#include "search/FindDialog.h"
#include "search/ResultList.h"
#include "search/ShowjbywnrFrm.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

// Back and forward, resume and bookmarks, through the window as a reader
// drives it: keys, the mouse's side buttons, the bookmark list.
class TestPlaces : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void backAndForwardRestoreScroll();
    void resumeAfterRestart_data();
    void resumeAfterRestart();
    void bookmarksSurviveRefreshAndRestart();
    void bookKnownByWhereItLies();

private:
    void start(); // a run of the program: settings restored, window shown and active
    void selectByKeys(const QString &label);
    int scroll() const { return f.window->memo1->verticalScrollBar()->value(); }
    void setScroll(int value) { f.window->memo1->verticalScrollBar()->setValue(value); }
    QString title() const { return f.window->Edit2->text().isEmpty() ? f.window->Edit1->text() : f.window->Edit2->text(); }
    void sideButton(QWidget *view, Qt::MouseButton button, QTreeWidgetItem *over = nullptr);

    std::unique_ptr<TestBook> book;
    BrowserFixture f;
};

namespace {

QString lines(const QString &word, int count)
{
    QStringList text;
    for (int i = 0; i < count; ++i)
        text << QString("%1 第%2行").arg(word).arg(i);
    return text.join("\r\n");
}

} // namespace

void TestPlaces::init()
{
    book = std::make_unique<TestBook>("书");
    book->chapter(2, "00001", "第一章", "00000", lines("甲", 400));
    book->chapter(3, "00011", "第一节", "00001", lines("乙", 400) + "\r\n黄鹤楼");
    book->chapter(4, "00002", "第二章", "00000", "二");
    book->article("00001", "文一", "00002", lines("丙", 400));
    book->article("00002", "文二", "00002", "文");
    book->chapter(5, "00003", "第三章", "00000", lines("丁", 400));
}

void TestPlaces::cleanup()
{
    f.window.reset();
    f.dm.reset();
    book.reset();
}

void TestPlaces::start()
{
    f.open(book->path(), false);
    DesktopSettings::restore(*f.window);
    DesktopSettings::showMainWindow(*f.window);
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
}

// Walks the tree with the arrow keys (opening chapters with Right) to the node.
void TestPlaces::selectByKeys(const QString &label)
{
    BookTree *tree = f.window->TreeView;
    tree->setFocus();
    for (int i = 0; i < 50 && !tree->currentItem()->text(0).startsWith(label); ++i) {
        QTreeWidgetItem *at = tree->currentItem();
        const bool opens = at->childCount() > 0 && !at->isExpanded();
        QTest::keyClick(tree, opens ? Qt::Key_Right : Qt::Key_Down);
    }
    QVERIFY2(tree->currentItem()->text(0).startsWith(label), qPrintable(tree->currentItem()->text(0)));
}

void TestPlaces::sideButton(QWidget *view, Qt::MouseButton button, QTreeWidgetItem *over)
{
    QWidget *viewport = view == f.window->memo1 ? f.window->memo1->viewport() : f.window->TreeView->viewport();
    const QPoint at = over ? f.window->TreeView->visualItemRect(over).center() : QPoint(10, 10);
    QTest::mousePress(viewport, button, {}, at);
    QTest::mouseRelease(viewport, button, {}, at);
}

void TestPlaces::backAndForwardRestoreScroll()
{
    start();
    Tywzxform *w = f.window.get();
    QCOMPARE(title(), QString("第一章[00001]"));
    QVERIFY(!w->BackAction->isEnabled() && !w->back_btn->isEnabled());
    setScroll(40);

    // A full-text search lands on 第一节.
    const auto results = TShowjbywnrForm::runModal.replace([](TShowjbywnrForm &form) {
        form.nrbtListBox->setCurrentRow(0);
        return int(QDialog::Accepted);
    });
    w->FindDialog2->setText("黄鹤楼");
    QTest::mouseClick(w->FindDialog2->FindNextButton, Qt::LeftButton);
    QCOMPARE(title(), QString("第一节[00011]"));
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    setScroll(25);

    // A bookmark opened from the list (Ctrl+B, Enter) is a place too.
    w->setBookmarks({Bookmark{"文一", "书 › 第二章 › 文一", {"00002", "00001", 30}}});
    QTest::keyClick(w->TreeView, Qt::Key_B, Qt::ControlModifier);
    QVERIFY(w->bookmarksWindow() && w->bookmarksWindow()->isVisible());
    QTest::keyClick(w->bookmarksWindow()->BookmarkList, Qt::Key_Return);
    QCOMPARE(title(), QString("文一[N00001]"));
    QCOMPARE(scroll(), 30);
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    setScroll(31);

    QTest::keyClick(w->TreeView, Qt::Key_Left, Qt::AltModifier);
    QCOMPARE(title(), QString("第一节[00011]"));
    QCOMPARE(scroll(), 25);
    // The back button over another row goes back without selecting that row.
    sideButton(w->TreeView, Qt::BackButton, f.node("第二章"));
    QCOMPARE(title(), QString("第一章[00001]"));
    QCOMPARE(scroll(), 40);
    QVERIFY(!w->BackAction->isEnabled());
    sideButton(w->TreeView, Qt::BackButton);
    QCOMPARE(title(), QString("第一章[00001]"));

    // After a refresh 第一节 is not loaded: forward reads its path.
    w->N5->trigger();
    QVERIFY(!f.node("第一节"));
    sideButton(w->memo1, Qt::ForwardButton);
    QCOMPARE(title(), QString("第一节[00011]"));
    QCOMPARE(scroll(), 25);
    QTest::keyClick(w->memo1, Qt::Key_Right, Qt::AltModifier);
    QCOMPARE(title(), QString("文一[N00001]"));
    QCOMPARE(scroll(), 31);
    QVERIFY(!w->ForwardAction->isEnabled() && !w->forward_btn->isEnabled());

    // A new move after going back drops the places ahead; one gone is passed over.
    QTest::mouseClick(w->back_btn, Qt::LeftButton);
    QCOMPARE(title(), QString("第一节[00011]"));
    for (const QString &label : {QString("第三章"), QString("第二章")}) {
        const QRect row = w->TreeView->visualItemRect(f.node(label));
        QTest::mouseClick(w->TreeView->viewport(), Qt::LeftButton, {}, row.center());
    }
    QVERIFY(!w->ForwardAction->isEnabled());
    for (const QString &back : {QString("第三章[00003]"), QString("第一节[00011]"), QString("第一章[00001]")}) {
        QTest::keyClick(w->TreeView, Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(title(), back);
    }
    book->exec("delete from ywzx_ywlb where lbbh='00011'");
    QTest::keyClick(w->TreeView, Qt::Key_Right, Qt::AltModifier);
    QCOMPARE(title(), QString("第三章[00003]"));
    QTest::keyClick(w->TreeView, Qt::Key_Right, Qt::AltModifier);
    QCOMPARE(title(), QString("第二章[00002]"));
    book->exec("delete from ywzx_ywlb where lbbh='00003'");
    QTest::keyClick(w->TreeView, Qt::Key_Left, Qt::AltModifier);
    QCOMPARE(title(), QString("第一章[00001]"));
    QVERIFY(!w->BackAction->isEnabled());
}

void TestPlaces::resumeAfterRestart_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("removal");
    QTest::addColumn<QString>("resumed");
    QTest::addColumn<int>("scroll");
    QTest::newRow("chapter") << "第三章" << "" << "第三章[00003]" << 33;
    QTest::newRow("article") << "文一" << "" << "文一[N00001]" << 33;
    QTest::newRow("chapter gone") << "第三章" << "delete from ywzx_ywlb where lbbh='00003'" << "第一章[00001]" << 0;
    QTest::newRow("article gone") << "文一" << "delete from ywzx_ywnr where nrbh='00001'" << "第一章[00001]" << 0;
}

void TestPlaces::resumeAfterRestart()
{
    QFETCH(QString, label);
    QFETCH(QString, removal);
    QFETCH(QString, resumed);
    QFETCH(int, scroll);
    start();
    selectByKeys(label);
    setScroll(33);
    DesktopSettings::save(*f.window);
    if (!removal.isEmpty())
        book->exec(removal);

    ScriptedBoxes boxes;
    start();
    QCOMPARE(title(), resumed);
    QCOMPARE(this->scroll(), scroll);
    QVERIFY(boxes.shown.isEmpty()); // a place gone is passed over silently
    QVERIFY(!f.window->BackAction->isEnabled());

    // Another book with the same codes opens on its own first chapter.
    TestBook other("别书");
    other.chapter(2, "00001", "第一章", "00000", "一");
    other.chapter(5, "00003", "第三章", "00000", "三");
    f.open(other.path(), false);
    DesktopSettings::restore(*f.window);
    DesktopSettings::showMainWindow(*f.window);
    QCOMPARE(title(), QString("第一章[00001]"));
}

void TestPlaces::bookmarksSurviveRefreshAndRestart()
{
    start();
    Tywzxform *w = f.window.get();
    selectByKeys("文一");
    setScroll(20);
    QTest::keyClick(w->TreeView, Qt::Key_D, Qt::ControlModifier);
    selectByKeys("第三章");
    QTest::keyClick(w->TreeView, Qt::Key_D, Qt::ControlModifier);
    QTest::keyClick(w->TreeView, Qt::Key_D, Qt::ControlModifier); // once a node
    QVERIFY(w->PopupMenu1->actions().contains(w->AddBookmarkAction) && w->PopupMenu1->actions().contains(w->BookmarksAction));
    QTest::keyClick(w->TreeView, Qt::Key_B, Qt::ControlModifier);
    BookmarksWindow *list = w->bookmarksWindow();
    QCOMPARE(list->BookmarkList->topLevelItemCount(), 2);
    QCOMPARE(list->BookmarkList->topLevelItem(0)->text(0), QString("文一"));
    QCOMPARE(list->BookmarkList->topLevelItem(0)->text(1), QString("书 › 第二章 › 文一"));
    QCOMPARE(list->BookmarkList->topLevelItem(1)->text(1), QString("书 › 第三章"));

    // Renamed in place (an emptied label keeps the old one).
    list->BookmarkList->setCurrentItem(list->BookmarkList->topLevelItem(0));
    for (const QString &typed : {QString("  "), QString("要读的")}) {
        QTest::mouseClick(list->RenameButton, Qt::LeftButton);
        auto *editor = list->BookmarkList->viewport()->findChild<QLineEdit *>();
        QVERIFY(editor);
        editor->setText(typed);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents(); // the view commits and closes its editor queued
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QCOMPARE(list->BookmarkList->topLevelItem(0)->text(0), QString("要读的"));

    w->N5->trigger();
    list->BookmarkList->setCurrentItem(list->BookmarkList->topLevelItem(0));
    QTest::keyClick(list->BookmarkList, Qt::Key_Return);
    QCOMPARE(title(), QString("文一[N00001]"));
    QCOMPARE(scroll(), 20);

    // A restart keeps them; one whose chapter is gone says so and moves nothing.
    book->exec("delete from ywzx_ywlb where lbbh='00003'");
    start();
    w = f.window.get();
    QTest::keyClick(w->TreeView, Qt::Key_B, Qt::ControlModifier);
    list = w->bookmarksWindow();
    QCOMPARE(list->BookmarkList->topLevelItemCount(), 2);
    QCOMPARE(list->BookmarkList->topLevelItem(0)->text(0), QString("要读的"));
    ScriptedBoxes boxes;
    list->BookmarkList->setCurrentItem(list->BookmarkList->topLevelItem(1));
    QTest::keyClick(list->BookmarkList, Qt::Key_Return);
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown.first().text, QString("书签“第三章”所指的章节或内容已不在书中。"));
    QCOMPARE(title(), QString("第一章[00001]"));
    QTest::keyClick(list->BookmarkList, Qt::Key_Delete);
    QCOMPARE(list->BookmarkList->topLevelItemCount(), 1);
    // Nothing of the removed one is left in the settings file.
    const std::unique_ptr<QSettings> settings = DesktopSettings::open();
    for (const QString &key : settings->allKeys())
        QVERIFY2(!settings->value(key).toString().contains("第三章"), qPrintable(key));

    start(); // the removal was written at once
    QCOMPARE(f.window->bookmarks().size(), 1);
    QCOMPARE(f.window->bookmarks().first().label, QString("要读的"));
}

// A server book is its server's database: a second configuration file naming
// it finds the same bookmarks. A copied book file is another book.
void TestPlaces::bookKnownByWhereItLies()
{
    start();
    selectByKeys("第三章");
    QTest::keyClick(f.window->TreeView, Qt::Key_D, Qt::ControlModifier);
    QTemporaryDir elsewhere;
    for (const QString &name : QDir(book->folder()).entryList(QDir::Files))
        QVERIFY(QFile::copy(book->folder() + "/" + name, elsewhere.filePath(name)));
    f.open(elsewhere.filePath(QFileInfo(book->path()).fileName()), false);
    DesktopSettings::restore(*f.window);
    QCOMPARE(f.window->bookmarks().size(), TestBook::onServer() ? 1 : 0);
}

QTEST_MAIN(TestPlaces)
#include "tst_places.moc"
