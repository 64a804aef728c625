// Times the browser window on large books and prints the figures:
//   bench_browser TREE_BOOK [TEXT_BOOK WORD]
// TREE_BOOK: expand all, collapse all, refresh, a name search that finds
// nothing. TEXT_BOOK: full-text searches for WORD and for a text in no chapter.
#include "app/EbookApplication.h"
#include "browser/BookTree.h"
#include "browser/fm_ywzx.h"
#include "common/MessageBoxes.h"
#include "data/ywzxDM.h"
#include "search/FindDialog.h"
#include "search/ShowjbywnrFrm.h"

#include <QElapsedTimer>
#include <QListWidget>
#include <QTreeWidgetItemIterator>
#include <QTreeWidget>
#include <cstdio>
#include <sys/resource.h>

namespace {

long peakMegabytes()
{
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

void benchTree(const QString &book)
{
    TywzxDMF dm;
    ywzxDMF = &dm;
    std::unique_ptr<Tywzxform> window;
    const double ready = timed([&] { window = openWindow(dm, book); });
    std::printf("main window ready:  %8.1f ms (without the splash's 2 s)\n", ready);
    const int before = dm.ydconn.statementCount();
    const double expand = timed([&] { window->N9Click(); });
    std::printf("expand all:         %8.1f ms  (%d nodes, %d statements)\n", expand, nodeCount(window->TreeView),
                dm.ydconn.statementCount() - before);
    std::printf("collapse all:       %8.1f ms\n", timed([&] { window->N10Click(); }));
    std::printf("refresh:            %8.1f ms\n", timed([&] { window->N5Click(); }));
    std::printf("expand all again:   %8.1f ms\n", timed([&] { window->N9Click(); }));
    window->N5Click();
    window->TreeView->setCurrentItem(window->rootNode());
    window->FindDialog1->setText(QStringLiteral("没有这一章"));
    const double search = timed([&] { window->FindDialog1Find(); });
    std::printf("name search down from the root, nothing found: %8.1f ms  (%d nodes loaded)\n", search,
                nodeCount(window->TreeView));
    window.reset();
    ywzxDMF = nullptr;
}

void benchText(const QString &book, const QString &word)
{
    TywzxDMF dm;
    ywzxDMF = &dm;
    std::unique_ptr<Tywzxform> window = openWindow(dm, book);
    int hits = 0;
    TShowjbywnrForm::runModal = [&](TShowjbywnrForm &form) {
        hits = form.nrbtListBox->count();
        return int(QDialog::Rejected);
    };
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

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    EbookApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_browser TREE_BOOK [TEXT_BOOK WORD]\n");
        return 2;
    }
    EbookApplication::installFontSubstitutions();
    MessageBoxes::setHandler([](const MessageBoxes::Request &) { return QMessageBox::Ok; });
    benchTree(QString::fromLocal8Bit(argv[1]));
    if (argc >= 4)
        benchText(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    std::printf("peak memory:        %8ld MB\n", peakMegabytes());
    return 0;
}
