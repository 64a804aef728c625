// Times the browser window on large books and prints the figures:
//   bench_browser --tree BOOK TITLE   one row of the tree table (run.sh prints its head)
//   bench_browser --star BOOK         `*` on the root's first chapter, then
//                                     expand all, each from the command to
//                                     the opened tree (for a deep chain)
//   bench_browser TREE_BOOK TEXT_BOOK WORD
//   bench_browser --large pane|results BOOK WORD
//                                     showing the book's chapter 00001 (a very
//                                     long text) in the reading pane or, as the
//                                     hit of a search for WORD, in the results window
// TEXT_BOOK: full-text searches for WORD and for a text in no chapter.
#include "app/EbookApplication.h"
#include "browser/BookTree.h"
#include "browser/fm_ywzx.h"
#include "widgets/MessageBoxes.h"
#include "data/ywzxDM.h"
#include "search/FindDialog.h"
#include "data/FullTextQuery.h"
#include "search/ResultList.h"
#include "search/ShowjbywnrFrm.h"

#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStyle>
#include <QTreeWidgetItemIterator>
#include <QTreeWidget>
#include <QTextDocument>
#include <QPlainTextEdit>
#include <cstdio>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Lets the next peakMegabytes count from now (Linux: VmHWM back to VmRSS).
void resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

long peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').first().toLong() / 1024;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

int nodeCount(QTreeWidget *tree)
{
    int n = 0;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        ++n;
    return n;
}

template <class F>
double timed(F &&work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    QApplication::processEvents(); // the layout and paint the work caused
    return timer.nsecsElapsed() / 1e6;
}

std::unique_ptr<Tywzxform> openWindow(TywzxDMF &dm, const QString &book)
{
    dm.ydconn.setDatabaseFile(book);
    dm.ydconn.open();
    std::unique_ptr<Tywzxform> window(Tywzxform::create());
    window->resize(1024, 700);
    window->show();
    return window;
}

long residentKilobytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLong() * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

// The reference: the same tree widget (labels, icons, placeholders left
// out) built from two statements and opened whole.
double referenceBuild(const QString &book)
{
    QTreeWidget tree;
    tree.resize(400, 600);
    tree.show();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("reference"));
    db.setDatabaseName(book);
    db.open();
    const double ms = timed([&] {
        const QIcon icon = tree.style()->standardIcon(QStyle::SP_DirIcon);
        QHash<QString, QTreeWidgetItem *> chapters;
        QList<QPair<QString, QTreeWidgetItem *>> links;
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.exec(QStringLiteral("select lbbh, lbmc, flbh from ywzx_ywlb where flbh<>lbbh order by id"));
        auto *root = new QTreeWidgetItem(QStringList(QStringLiteral("大书[00000]")));
        chapters.insert(QStringLiteral("00000"), root);
        while (q.next()) {
            auto *item = new QTreeWidgetItem(QStringList(q.value(1).toString() + u'[' + q.value(0).toString() + u']'));
            item->setIcon(0, icon);
            chapters.insert(q.value(0).toString(), item);
            links << qMakePair(q.value(2).toString(), item);
        }
        q.exec(QStringLiteral("select nrbh, nrbt, lbbh from ywzx_ywnr order by id"));
        while (q.next()) {
            auto *item = new QTreeWidgetItem(QStringList(q.value(1).toString() + QStringLiteral("[N") + q.value(0).toString() + u']'));
            item->setIcon(0, icon);
            links << qMakePair(q.value(2).toString(), item);
        }
        for (const auto &link : links)
            if (QTreeWidgetItem *parent = chapters.value(link.first))
                parent->addChild(link.second);
        tree.addTopLevelItem(root);
        tree.expandAll();
    });
    tree.clear();
    db.close();
    return ms;
}

double findNothing(Tywzxform &window)
{
    window.TreeView->setCurrentItem(window.rootNode());
    window.FindDialog1->setText(QStringLiteral("没有这一章"));
    return timed([&] { window.FindDialog1Find(); });
}

// One row of the table: reference, expand all, collapse all, refresh, name
// search fresh and after expand all, collapse all and refresh; ratios;
// peak memory and bytes per node after expand all.
void benchTree(const QString &book, const QString &title)
{
    const double reference = referenceBuild(book);
    TywzxDMF dm;
    ywzxDMF = &dm;
    std::unique_ptr<Tywzxform> window = openWindow(dm, book);
    window->N5Click();
    const long before = residentKilobytes();
    const double expand = timed([&] { window->N9Click(); });
    const int nodes = nodeCount(window->TreeView);
    const double perNode = (residentKilobytes() - before) * 1024.0 / qMax(1, nodes);
    const double collapse = timed([&] { window->N10Click(); });
    const double refresh = timed([&] { window->N5Click(); });
    const double searchAfter = findNothing(*window);
    window = openWindow(dm, book); // a fresh window
    window->N5Click();
    const double searchFresh = findNothing(*window);
    std::printf("| %s | %d | %.0f | %.0f | %.2f | %.0f | %.0f | %.0f | %.2f | %.0f | %.2f | %ld | %.0f |\n",
                qPrintable(title), nodes, reference, expand, expand / reference, collapse, refresh, searchFresh,
                searchFresh / reference, searchAfter, searchAfter / searchFresh, peakMegabytes(), perNode);
    std::fflush(stdout);
    window.reset();
    ywzxDMF = nullptr;
}

void benchText(const QString &book, const QString &word)
{
    TywzxDMF dm;
    ywzxDMF = &dm;
    std::unique_ptr<Tywzxform> window = openWindow(dm, book);
    int hits = 0;
    const auto results = TShowjbywnrForm::runModal.replace([&](TShowjbywnrForm &form) {
        hits = form.nrbtListBox->count();
        return int(QDialog::Rejected);
    });
    for (const QString &text : {word, QStringLiteral("不在书中的字句")}) {
        hits = 0;
        window->TreeView->setCurrentItem(window->rootNode());
        window->FindDialog2->setText(text);
        const double found = timed([&] { window->FindDialog2Find(); });
        std::printf("full-text search %-12s %8.1f ms  (%d chapters listed, tree moved to the first)\n",
                    qPrintable(text), found, hits);
    }
    window.reset();
    ywzxDMF = nullptr;
}

// Shows one long chapter in the pane or in the results window, from the
// command to the text on screen, in a process of its own so that its peak
// memory is its own.
void benchLargeText(const QString &where, const QString &book, const QString &word)
{
    TywzxDMF dm;
    ywzxDMF = &dm;
    std::unique_ptr<Tywzxform> window = openWindow(dm, book);
    // The window starts on the first chapter, the long one: back to the
    // root, and the peak counted from here.
    QTreeWidgetItem *chapter = window->rootNode()->child(0);
    window->TreeView->setCurrentItem(window->rootNode());
    QApplication::processEvents();
    malloc_trim(0);
    const long before = residentKilobytes() / 1024;
    resetPeak();
    double ms = 0;
    qsizetype shown = 0;
    if (where == QLatin1String("pane")) {
        ms = timed([&] { window->TreeView->setCurrentItem(chapter); });
        shown = window->memo1->document()->characterCount();
    } else {
        const auto results2 = TShowjbywnrForm::runModal.replace([&](TShowjbywnrForm &form) {
            form.show();
            QApplication::processEvents();
            shown = form.nr_memo->document()->characterCount();
            return int(QDialog::Rejected);
        });
        BookQuery &query = dm.Query;
        prepareTextSearch(query, resultListColumns(query), word);
        query.open();
        ms = timed([&] { ShowSearchResults(query, true, window.get()); });
    }
    std::printf("| %s | %lld | %.0f | %ld | %ld | %ld |\n", qPrintable(where), qint64(shown), ms, before, peakMegabytes(),
                residentKilobytes() / 1024);
    std::fflush(stdout);
    window.reset();
    ywzxDMF = nullptr;
}

void benchStar(const QString &book)
{
    TywzxDMF dm;
    ywzxDMF = &dm;
    std::unique_ptr<Tywzxform> window = openWindow(dm, book);
    window->N5Click();
    window->TreeView->setCurrentItem(window->rootNode()->child(0));
    QApplication::processEvents();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Asterisk, Qt::NoModifier, QStringLiteral("*"));
    const double star = timed([&] { QApplication::sendEvent(window->TreeView, &press); });
    const int starNodes = nodeCount(window->TreeView);
    window->N5Click();
    const double all = timed([&] { window->N9Click(); });
    std::printf("`*` on the first chapter: %.0f ms (%d nodes); expand all after refresh: %.0f ms (%d nodes); "
                "peak %ld MB\n",
                star, starNodes, all, nodeCount(window->TreeView), peakMegabytes());
    std::fflush(stdout);
    window.reset();
    ywzxDMF = nullptr;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    EbookApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_browser --tree BOOK TITLE | bench_browser TREE_BOOK TEXT_BOOK WORD\n");
        return 2;
    }
    EbookApplication::installFontSubstitutions();
    const auto boxes = MessageBoxes::show.replace([](const MessageBoxes::Request &) { return QMessageBox::Ok; });
    if (argc >= 3 && QByteArray(argv[1]) == "--tree") {
        benchTree(QString::fromLocal8Bit(argv[2]), argc >= 4 ? QString::fromLocal8Bit(argv[3]) : QString());
        return 0;
    }
    if (argc >= 3 && QByteArray(argv[1]) == "--star") {
        benchStar(QString::fromLocal8Bit(argv[2]));
        return 0;
    }
    if (argc >= 5 && QByteArray(argv[1]) == "--large") {
        benchLargeText(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[4]));
        return 0;
    }
    if (argc >= 4)
        benchText(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    std::printf("peak memory:        %8ld MB\n", peakMegabytes());
    return 0;
}
