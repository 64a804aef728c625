// Times the browser window on a large book and prints the figures:
//   bench_browser BOOK
#include "app/EbookApplication.h"
#include "browser/BookTree.h"
#include "browser/fm_ywzx.h"
#include "data/ywzxDM.h"

#include <QElapsedTimer>
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

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    EbookApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_browser BOOK\n");
        return 2;
    }
    EbookApplication::installFontSubstitutions();
    TywzxDMF dm;
    ywzxDMF = &dm;
    std::unique_ptr<Tywzxform> window;
    const double ready = timed([&] {
        dm.ydconn.setDatabaseFile(QString::fromLocal8Bit(argv[1]));
        dm.ydconn.open();
        window.reset(Tywzxform::create());
        window->resize(1024, 700);
        window->show();
    });
    std::printf("main window ready:  %8.1f ms (without the splash's 2 s)\n", ready);
    const int before = dm.ydconn.statementCount();
    const double expand = timed([&] { window->N9Click(); });
    std::printf("expand all:         %8.1f ms  (%d nodes, %d statements)\n", expand, nodeCount(window->TreeView),
                dm.ydconn.statementCount() - before);
    std::printf("collapse all:       %8.1f ms\n", timed([&] { window->N10Click(); }));
    std::printf("refresh:            %8.1f ms\n", timed([&] { window->N5Click(); }));
    std::printf("expand all again:   %8.1f ms\n", timed([&] { window->N9Click(); }));
    std::printf("peak memory:        %8ld MB\n", peakMegabytes());
    window.reset();
    ywzxDMF = nullptr;
    return 0;
}
