// A reading room under load: N readers, each a thread with its own
// connection to a server book as a terminal has, replay a mix of reading
// actions for a fixed time while one staff station saves a chapter every
// few seconds; prints the latencies per action and every error.
//   bench_terminals BOOK SECONDS PAUSE_MS N...
// BOOK is a server book's ebook.conf (or a book file). A reader opens a
// chapter and reads its text, expands a chapter (its child chapters, else
// its articles), or searches the texts for a word of 2, 3 or 5 characters
// taken from the book, with and without 繁简通查, and then shows one hit.
// Each N runs twice: first with every terminal as busy as it can be (the
// room's capacity), then with a pause between two actions of half to one
// and a half times PAUSE_MS, as a person looks at what came (none when 0).
// The last column sets each 95th percentile against the median of one busy
// reader alone.
#include "common/AppError.h"
#include "data/BookConnection.h"
#include "data/BookOutline.h"
#include "data/BookQuery.h"
#include "data/BookReader.h"
#include "data/BookTransaction.h"
#include "data/FullTextQuery.h"
#include "data/RecordStore.h"
#include "data/ywzxDM.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QRandomGenerator>
#include <QSemaphore>
#include <QThread>
#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// What every reader draws from; read-only while the readers run.
struct Plan {
    QString book;
    QStringList chapters;        // every chapter code but the root
    QStringList parents;         // chapters that have child chapters
    QMap<int, QStringList> words; // by length: words that occur in the texts
};

// One thread's figures: milliseconds per action, and errors by message.
struct Tally {
    QHash<QString, std::vector<double>> ms;
    QHash<QString, int> errors;

    void merge(const Tally &other)
    {
        for (auto it = other.ms.cbegin(); it != other.ms.cend(); ++it)
            ms[it.key()].insert(ms[it.key()].end(), it.value().begin(), it.value().end());
        for (auto it = other.errors.cbegin(); it != other.errors.cend(); ++it)
            errors[it.key()] += it.value();
    }
};

// Times one action; a failure is counted with its message and the reader
// goes on, as a person at a terminal would after the error box.
void timed(Tally &tally, const QString &action, const std::function<void()> &run)
{
    QElapsedTimer timer;
    timer.start();
    try {
        run();
        tally.ms[action].push_back(timer.nsecsElapsed() / 1e6);
    } catch (const std::exception &error) {
        ++tally.errors[action + QStringLiteral(": ") + QString::fromUtf8(error.what())];
    }
}

bool isHan(QChar c)
{
    return c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF;
}

// Words of each length cut from the texts of a few chapters, all of Han
// characters, so every search finds at least the chapter it came from.
QMap<int, QStringList> wordsOf(const QStringList &chapters, QRandomGenerator &random)
{
    QMap<int, QStringList> words;
    for (int tries = 0; tries < 2000 && words.value(5).size() < 20; ++tries) {
        const QString text = ywzxDMF->reader.chapterText(chapters.at(random.bounded(int(chapters.size()))));
        if (text.size() < 10)
            continue;
        const int at = random.bounded(int(text.size()) - 5);
        const QString five = text.mid(at, 5);
        if (!std::all_of(five.begin(), five.end(), isHan))
            continue;
        for (int length : {2, 3, 5})
            if (words.value(length).size() < 20)
                words[length] << five.left(length);
    }
    return words;
}

Plan planOf(const QString &book)
{
    Plan plan{book, {}, {}, {}};
    BookOutline outline;
    ywzxDMF->reader.readOutline(outline);
    QStringList pending{QStringLiteral("00000")};
    while (!pending.isEmpty()) {
        const QString code = pending.takeLast();
        const auto *children = outline.chaptersUnder(code);
        if (!children)
            continue;
        plan.parents << code;
        for (const auto &child : *children) {
            plan.chapters << child.code;
            pending << child.code;
        }
    }
    QRandomGenerator random(42);
    plan.words = wordsOf(plan.chapters, random);
    return plan;
}

// Statement texts of the program's own: the tree's, the reading pane's,
// the full-text search's and the results window's.
class Reader {
public:
    Reader(const Plan &plan, quint32 seed, int pauseMs)
        : plan_(plan), random_(seed), pauseMs_(pauseMs)
    {
        connection_.setDatabaseFile(plan.book);
        articles_.setSql({QStringLiteral("select * from YWZX_YWNR where LBBH=:lbbh")});
    }

    void connect() { timed(tally_, QStringLiteral("connect"), [this] { connection_.open(); }); }

    void run(const QDeadlineTimer &end)
    {
        while (!end.hasExpired()) {
            step();
            if (pauseMs_ > 0)
                QThread::msleep(std::min<qint64>(pauseMs_ / 2 + random_.bounded(pauseMs_ + 1), end.remainingTime()));
        }
    }

    const Tally &tally() const { return tally_; }

private:
    template <typename T> const T &any(const QList<T> &list) { return list.at(random_.bounded(int(list.size()))); }

    // A search is followed by showing one of its hits.
    void step()
    {
        const int roll = random_.bounded(100);
        if (!hits_.isEmpty())
            showHit(any(hits_));
        else if (roll < 45)
            timed(tally_, QStringLiteral("open chapter"), [this] { openChapter(any(plan_.chapters)); });
        else if (roll < 80)
            timed(tally_, QStringLiteral("expand chapter"), [this] { expand(any(plan_.parents + plan_.chapters)); });
        else
            search();
    }

    void openChapter(const QString &code)
    {
        text_.close();
        text_.setSql({QStringLiteral("select * from ywzx_ywlb where lbbh=:code order by id")});
        text_.setText(QStringLiteral("code"), code);
        text_.open();
        text_.fieldAsText(QStringLiteral("ywnr"));
    }

    // A chapter without child chapters lists its articles instead.
    void expand(const QString &code)
    {
        tree_.close();
        tree_.setSql({QStringLiteral("select * from ywzx_ywlb where  (flbh<>lbbh) and (flbh=:flbh)"),
                      QStringLiteral("  order by id")});
        tree_.setText(QStringLiteral("flbh"), code);
        tree_.open();
        if (tree_.isEmpty()) {
            articles_.close();
            articles_.setText(QStringLiteral("lbbh"), code);
            articles_.open();
        }
    }

    void search()
    {
        const int length = QList<int>{2, 3, 5}.at(random_.bounded(3));
        const bool variants = random_.bounded(2) == 1;
        const QString word = any(plan_.words.value(length));
        const QString action = QStringLiteral("search %1%2").arg(length).arg(variants ? QStringLiteral(" 繁简") : QString());
        timed(tally_, action, [&] {
            prepareTextSearch(results_, resultListColumns(results_), word, QString(), variants);
            results_.open();
            const QString key = rowKeyColumn(results_);
            for (results_.first(); !results_.eof(); results_.next())
                hits_ << results_.fieldAsText(key);
        });
    }

    void showHit(const QString &key)
    {
        hits_.clear();
        timed(tally_, QStringLiteral("show hit"), [&] {
            shown_.close();
            shown_.setSql(rowShownByKey(results_));
            shown_.setText(QStringLiteral("key"), key);
            shown_.open();
            shown_.fieldAsText(QStringLiteral("ywnr"));
            shown_.close();
        });
    }

    const Plan &plan_;
    QRandomGenerator random_;
    int pauseMs_;
    Tally tally_;
    QStringList hits_; // of the last search, until one is shown
    BookConnection connection_;
    BookQuery tree_{connection_, QStringLiteral("ywlbQuery")};
    BookQuery articles_{connection_, QStringLiteral("ywnrQuery")};
    BookQuery text_{connection_, QStringLiteral("Query")};
    BookQuery results_{connection_, QStringLiteral("ResultSet")};
    BookQuery shown_{connection_, QStringLiteral("shown")};
};

// The staff station: the chapter dialog's save of a changed text, through
// the data module on this (the main) thread, in the save's transaction.
class Staff {
public:
    explicit Staff(const Plan &plan)
        : plan_(plan) {}

    void save(Tally &tally)
    {
        const QString code = plan_.chapters.at((count_ * 7919) % plan_.chapters.size());
        const QString mark = QStringLiteral("【馆员第%1次保存】").arg(++count_);
        timed(tally, QStringLiteral("staff save"), [&] {
            const BookQuery &loaded = ywzxDMF->chapterStore.load(code);
            const ChapterStore::Row row{code, loaded.fieldAsText(QStringLiteral("lbmc")),
                                        loaded.fieldAsText(QStringLiteral("flbh")), QDateTime::currentDateTime(),
                                        QStringLiteral("馆员"), unmarked(loaded.fieldAsText(QStringLiteral("ywnr"))) + mark,
                                        loaded.fieldAsBytes(QStringLiteral("photoimage")),
                                        loaded.fieldAsText(QStringLiteral("checkimage")) == QLatin1String("1")};
            BookTransaction transaction(ywzxDMF->ydconn);
            if (ywzxDMF->chapterStore.find(code).isEmpty())
                throw AppError(AppError::Database, QStringLiteral("此类别不存在。"));
            ywzxDMF->chapterStore.update(row);
            transaction.commit();
            expected_[code] = mark;
        });
    }

    // Saves whose text is not in the book afterwards.
    int lost() const
    {
        int lost = 0;
        for (auto it = expected_.cbegin(); it != expected_.cend(); ++it)
            lost += ywzxDMF->reader.chapterText(it.key()).endsWith(it.value()) ? 0 : 1;
        return lost;
    }

    int saved() const { return count_; }

private:
    static QString unmarked(const QString &text)
    {
        const qsizetype at = text.indexOf(QStringLiteral("【馆员第"));
        return at < 0 ? text : text.left(at);
    }

    const Plan &plan_;
    int count_ = 0;
    QHash<QString, QString> expected_;
};

double percentile(std::vector<double> &sorted, double p)
{
    if (sorted.empty())
        return 0;
    const size_t at = std::min(sorted.size() - 1, size_t(p * double(sorted.size())));
    return sorted[at];
}

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).section(QLatin1Char(' '), 0, 2)
                                          : QStringLiteral("?");
}

struct Round {
    double seconds = 0;
    Tally readers;
    Tally staff;
    int saves = 0;
    int lost = 0;
};

// Every reader connects first; the clock starts when all have.
Round runRound(const Plan &plan, int readers, int seconds, int pauseMs)
{
    std::vector<Tally> tallies(readers);
    std::vector<std::unique_ptr<QThread>> threads;
    QSemaphore connected;
    std::mutex mutex;
    std::condition_variable started;
    bool go = false;
    QDeadlineTimer end;
    for (int i = 0; i < readers; ++i) {
        threads.emplace_back(QThread::create([&, i] {
            // Made, used and closed on this thread, as its connection must be.
            Reader reader(plan, quint32(1000 + i), pauseMs);
            reader.connect();
            connected.release();
            QDeadlineTimer until;
            {
                std::unique_lock<std::mutex> lock(mutex);
                started.wait(lock, [&] { return go; });
                until = end;
            }
            reader.run(until);
            tallies[i] = reader.tally();
        }));
        threads.back()->start();
    }
    connected.acquire(readers);
    QElapsedTimer clock;
    {
        std::lock_guard<std::mutex> lock(mutex);
        end = QDeadlineTimer(qint64(seconds) * 1000);
        go = true;
        clock.start();
    }
    started.notify_all();
    Round round;
    Staff staff(plan);
    QDeadlineTimer nextSave(0);
    while (!end.hasExpired()) {
        if (nextSave.hasExpired()) {
            nextSave = QDeadlineTimer(3000);
            staff.save(round.staff);
        }
        QThread::msleep(20);
    }
    for (auto &thread : threads)
        thread->wait();
    round.seconds = clock.nsecsElapsed() / 1e9;
    for (const Tally &tally : tallies)
        round.readers.merge(tally);
    round.saves = staff.saved();
    round.lost = staff.lost();
    return round;
}

const QStringList Actions{QStringLiteral("open chapter"), QStringLiteral("expand chapter"),
                          QStringLiteral("search 2"),     QStringLiteral("search 2 繁简"),
                          QStringLiteral("search 3"),     QStringLiteral("search 3 繁简"),
                          QStringLiteral("search 5"),     QStringLiteral("search 5 繁简"),
                          QStringLiteral("show hit"),     QStringLiteral("connect")};

qsizetype actionCount(const Tally &tally)
{
    qsizetype count = 0;
    for (auto it = tally.ms.cbegin(); it != tally.ms.cend(); ++it)
        if (it.key() != QLatin1String("connect"))
            count += qsizetype(it.value().size());
    return count;
}

void printRow(int readers, int pause, const QString &action, std::vector<double> ms, double oneReaderMedian)
{
    std::sort(ms.begin(), ms.end());
    const double p95 = percentile(ms, 0.95);
    std::printf("| %d %s | %s | %zu | %.1f | %.1f | %.1f | %.1f | %s |\n", readers,
                pause == 0 ? "busy" : "paced", qPrintable(action), ms.size(), percentile(ms, 0.5), p95, percentile(ms, 0.99), ms.empty() ? 0 : ms.back(),
                oneReaderMedian > 0 ? qPrintable(QString::number(p95 / oneReaderMedian, 'f', 1)) : "");
}

void printErrors(const Round &round)
{
    for (const Tally *tally : {&round.readers, &round.staff})
        for (auto it = tally->errors.cbegin(); it != tally->errors.cend(); ++it)
            std::printf("   error ×%d: %s\n", it.value(), qPrintable(it.key()));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 5) {
        std::fprintf(stderr, "usage: bench_terminals BOOK SECONDS PAUSE_MS N...\n");
        return 2;
    }
    const QString book = QString::fromLocal8Bit(argv[1]);
    const int seconds = QByteArray(argv[2]).toInt();
    const int pauseMs = QByteArray(argv[3]).toInt();
    TywzxDMF dm;
    ywzxDMF = &dm;
    dm.ydconn.setDatabaseFile(book);
    dm.ydconn.open();
    const Plan plan = planOf(book);
    std::printf("%lld chapters, %lld to expand; %d s per round; paced rounds pause %d ms on average; words:",
                qint64(plan.chapters.size()), qint64(plan.parents.size()), seconds, pauseMs);
    for (int length : {2, 3, 5})
        std::printf(" %s", qPrintable(plan.words.value(length).mid(0, 3).join(QLatin1Char(' '))));
    std::printf("\n| readers | action | count | p50 ms | p95 ms | p99 ms | worst ms | p95 ÷ 1-reader p50 |\n"
                "|---|---|---|---|---|---|---|---|\n");
    QHash<QString, double> oneReaderMedian;
    QStringList summary;
    double oneReaderRate = 0;
    QList<std::pair<int, int>> rounds; // readers, pause
    for (int pause : pauseMs > 0 ? QList<int>{0, pauseMs} : QList<int>{0})
        for (int i = 4; i < argc; ++i)
            rounds.append({QByteArray(argv[i]).toInt(), pause});
    for (const auto &[readers, pause] : rounds) {
        const Round round = runRound(plan, readers, seconds, pause);
        const double rate = double(actionCount(round.readers)) / round.seconds;
        double worst = 0;
        for (const QString &action : Actions) {
            std::vector<double> ms = round.readers.ms.value(action);
            if (readers == 1 && pause == 0 && !ms.empty()) {
                std::sort(ms.begin(), ms.end());
                oneReaderMedian[action] = percentile(ms, 0.5);
            }
            if (action != QLatin1String("connect") && !ms.empty())
                worst = std::max(worst, *std::max_element(ms.begin(), ms.end()));
            printRow(readers, pause, action, ms, oneReaderMedian.value(action));
        }
        printRow(readers, pause, QStringLiteral("staff save"), round.staff.ms.value(QStringLiteral("staff save")), 0);
        if (readers == 1 && pause == 0)
            oneReaderRate = rate;
        summary << QStringLiteral("%1 readers, %8: %2 actions/s (×%3 one reader's), worst wait %4 ms; staff saves %5, "
                                  "lost %6; load average %7")
                       .arg(readers)
                       .arg(rate, 0, 'f', 1)
                       .arg(oneReaderRate > 0 ? rate / oneReaderRate : 0, 0, 'f', 2)
                       .arg(worst, 0, 'f', 0)
                       .arg(round.saves)
                       .arg(round.lost)
                       .arg(loadAverage())
                       .arg(pause == 0 ? QStringLiteral("busy") : QStringLiteral("paced"));
        std::printf("   %s\n", qPrintable(summary.last()));
        printErrors(round);
        std::fflush(stdout);
    }
    return 0;
}
