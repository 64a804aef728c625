// Times the full-text search on a large book and prints the figures:
//   bench_search BOOK WORD...
// For each word: the time until the results window shows, and the time of
// the tree's move to the last hit after the window closes (the tree freshly
// loaded, so the move loads the hit's ancestors).
#include "app/EbookApplication.h"
#include "browser/fm_ywzx.h"
#include "common/MessageBoxes.h"
#include "data/BookIndexUpkeep.h"
#include "data/ywzxDM.h"
#include "search/FindDialog.h"
#include "search/ShowjbywnrFrm.h"

#include <QElapsedTimer>
#include <QListWidget>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    EbookApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_search BOOK WORD...\n");
        return 2;
    }
    EbookApplication::installFontSubstitutions();
    const auto boxes = MessageBoxes::show.replace([](const MessageBoxes::Request &) { return QMessageBox::Ok; });
    TywzxDMF dm;
    ywzxDMF = &dm;
    dm.ydconn.setDatabaseFile(QString::fromLocal8Bit(argv[1]));
    dm.ydconn.open();
    QSqlDatabase db = dm.ydconn.database();
    std::printf("%s, %s\n", argv[1], BookIndex::present(db) ? "with the index" : "without the index");
    std::unique_ptr<Tywzxform> window(Tywzxform::create());
    window->resize(1024, 700);
    window->show();
    QElapsedTimer timer;
    double shown = 0;
    int hits = 0;
    const auto results = TShowjbywnrForm::runModal.replace([&](TShowjbywnrForm &form) {
        form.show();
        QApplication::processEvents();
        shown = timer.nsecsElapsed() / 1e6;
        hits = form.nrbtListBox->count();
        form.nrbtListBox->setCurrentRow(hits - 1);
        timer.restart();
        return int(QDialog::Rejected);
    });
    for (int i = 2; i < argc; ++i) {
        const QString word = QString::fromLocal8Bit(argv[i]);
        window->N5Click();
        window->FindDialog2->setText(word);
        const int before = dm.ydconn.statementCount();
        timer.start();
        window->FindDialog2Find();
        QApplication::processEvents();
        const double moved = timer.nsecsElapsed() / 1e6;
        std::printf("  %-12s results shown %8.1f ms (%6d chapters); tree moved to the last %6.1f ms"
                    " (%d statements in all)\n",
                    qPrintable(word), shown, hits, moved, dm.ydconn.statementCount() - before);
        // The move alone, on a tree freshly loaded, without closing the window.
        window->N5Click();
        const int statements = dm.ydconn.statementCount();
        timer.start();
        window->landOnChapter(ResultChapterCode);
        std::printf("  %-12s the move alone %6.1f ms (%d statements)\n", "", timer.nsecsElapsed() / 1e6,
                    dm.ydconn.statementCount() - statements);
    }
    window.reset();
    ywzxDMF = nullptr;
    return 0;
}
