// Times the full-text search on large books and prints a table:
//   bench_search BOOK [BOOK...] -- WORD...
// For each book (a book file, or the ebook.conf of a server book), each word
// and 繁简通查 off and on: the time until the results window shows, a plain
// `like` scan of the same book on the same connection, their ratio, and
// the tree's move to the last hit after the window closes (the first move
// after the window starts apart from the later ones). A second book's row is
// also set against the first book's (the indexed file for a server book).
// Medians of three runs; the move of the very first search is its own. The
// glyphs of the common characters are loaded first, as the program's start
// does while its splash shows.
#include "app/EbookApplication.h"
#include "app/StartUp.h"
#include "browser/fm_ywzx.h"
#include "widgets/MessageBoxes.h"
#include "bookcare/BookIndexUpkeep.h"
#include "data/BookQuery.h"
#include "data/ywzxDM.h"
#include "search/FindDialog.h"
#include "search/ResultList.h"
#include "search/ShowjbywnrFrm.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <map>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// (word, variants) → the first book's time until the results show.
std::map<std::pair<QString, bool>, double> firstBook;

void benchBook(const QString &book, const QStringList &words, bool firstBookRun)
{
    TywzxDMF dm;
    ywzxDMF = &dm;
    dm.ydconn.setDatabaseFile(book);
    dm.ydconn.open();
    const bool server = !dm.ydconn.engine().keepsFullTextIndex();
    QSqlDatabase db = dm.ydconn.database();
    std::printf("\n%s: %s\n", qPrintable(book),
                server ? "server book" : BookIndex::present(db) ? "file, with the index" : "file, without the index");
    std::printf("| word | 繁简 | hits | results shown ms | scan ms | ×scan | move ms |%s\n", firstBookRun ? "" : " ×first book |");
    std::printf("|---|---|---|---|---|---|---|%s\n", firstBookRun ? "" : "---|");
    std::unique_ptr<Tywzxform> window(Tywzxform::create());
    window->resize(1024, 700);
    window->show();
    QApplication::processEvents();
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
    BookQuery scan(dm.ydconn, QStringLiteral("scan"));
    bool firstMove = true;
    for (const QString &word : words) {
        for (bool variants : {false, true}) {
            std::vector<double> shownTimes, moves, scans;
            double first = -1;
            for (int run = 0; run < 3; ++run) {
                window->N5Click();
                window->FindDialog2->fjtc_chk->setChecked(variants);
                window->FindDialog2->setText(word);
                timer.start();
                window->FindDialog2Find();
                QApplication::processEvents();
                const double moved = timer.nsecsElapsed() / 1e6;
                shownTimes.push_back(shown);
                if (firstMove)
                    first = moved;
                else
                    moves.push_back(moved);
                firstMove = false;
                scan.close();
                scan.setSql({QStringLiteral("select rowid, lbbh, lbmc from ywzx_ywlb where %1 like :pattern order by rowid")
                                 .arg(server ? QStringLiteral("ywnr_folded") : QStringLiteral("ywnr"))});
                scan.setText(QStringLiteral("pattern"), QLatin1Char('%') + word + QLatin1Char('%'));
                QElapsedTimer scanTimer;
                scanTimer.start();
                scan.open();
                scans.push_back(scanTimer.nsecsElapsed() / 1e6);
                scan.close();
            }
            const double s = median(shownTimes), c = median(scans);
            QString move = QString::number(median(moves), 'f', 1);
            if (first >= 0)
                move = QStringLiteral("first %1, later %2").arg(first, 0, 'f', 1).arg(move);
            std::printf("| %s | %s | %d | %.1f | %.1f | %.2f | %s |", qPrintable(word), variants ? "on" : "off", hits, s, c,
                        c > 0 ? s / c : 0, qPrintable(move));
            if (firstBookRun)
                firstBook[{word, variants}] = s;
            else
                std::printf(" %.2f |", s / std::max(0.001, firstBook[{word, variants}]));
            std::printf("\n");
            std::fflush(stdout);
        }
    }
    window.reset();
    ywzxDMF = nullptr;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    EbookApplication app(argc, argv);
    QStringList books, words;
    bool inWords = false;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--"))
            inWords = true;
        else
            (inWords ? words : books) << arg;
    }
    if (books.isEmpty() || words.isEmpty()) {
        std::fprintf(stderr, "usage: bench_search BOOK [BOOK...] -- WORD...\n");
        return 2;
    }
    EbookApplication::installFontSubstitutions();
    QElapsedTimer warmup;
    warmup.start();
    StartUp::warmGlyphs(QDeadlineTimer(2000));
    std::printf("glyph warm-up (the start's, during its splash): %.0f ms\n", warmup.nsecsElapsed() / 1e6);
    const auto boxes = MessageBoxes::show.replace([](const MessageBoxes::Request &) { return QMessageBox::Ok; });
    for (int i = 0; i < books.size(); ++i)
        benchBook(books.at(i), words, i == 0);
    return 0;
}
