// ebook-tool: makes book files for the reading room.
#include "AccessImport.h"
#include "DemoBook.h"
#include "Generator.h"
#include "common/AppError.h"
#include "data/BookSchema.h"
#include "data/TemporaryFiles.h"

#include <QCoreApplication>
#include <QHash>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {

const char *Usage =
    "usage: ebook-tool create FILE \"BOOK NAME\"   write a new empty book\n"
    "       ebook-tool demo FILE                 write the demo book (Tang and Song poems)\n"
    "       ebook-tool generate FILE [--chapters N] [--fanout F] [--articles M]\n"
    "                  [--text-bytes B] [--word W --word-percent P]\n"
    "                                            write a large book for benchmarks\n"
    "       ebook-tool import ACCESS_FILE BOOK   bring a book kept in an Access file over\n";

int fail(const QString &message)
{
    std::fprintf(stderr, "ebook-tool: %s\n", message.toUtf8().constData());
    return 1;
}

int usage()
{
    std::fputs(Usage, stderr);
    return 2;
}

void say(const QString &message)
{
    std::printf("%s\n", message.toUtf8().constData());
}

int import(const QString &access, const QString &book)
{
    AccessImport::Progress progress;
    if (isatty(STDERR_FILENO))
        progress = [](const QString &table, int done, int total) {
            std::fprintf(stderr, "\r%s: %d of %d rows", table.toUtf8().constData(), done, total);
            if (done == total)
                std::fputc('\n', stderr);
        };
    const AccessImport::Counts counts = AccessImport::run(access, book, progress);
    say(QStringLiteral("imported %1 rows of ywzx_ywlb and %2 rows of ywzx_ywnr into %3")
            .arg(QString::number(counts.chapters), QString::number(counts.articles), book));
    return 0;
}

// A number option of generate and the values it takes.
struct NumberOption {
    const char *name;
    double low, high;
    bool whole;
};
const NumberOption NumberOptions[] = {
    {"--chapters", 0, 99999, true},   {"--fanout", 1, 99999, true},
    {"--articles", 0, 99999, true},   {"--text-bytes", 0, 100000000, true},
    {"--word-percent", 0, 100, false},
};

// The option's value, or nothing when it is no number or out of range (nan
// included), which has been said already.
std::optional<double> numberOf(const NumberOption &option, const QString &value)
{
    bool ok = false;
    const double number = option.whole ? double(value.toInt(&ok)) : value.toDouble(&ok);
    if (ok && number >= option.low && number <= option.high)
        return number;
    std::fprintf(stderr, "ebook-tool: %s takes a%s number from %s to %s, not '%s'\n", option.name,
                 option.whole ? " whole" : "", QByteArray::number(option.low).constData(),
                 QByteArray::number(option.high, 'f', 0).constData(), value.toUtf8().constData());
    return std::nullopt;
}

int generate(const QStringList &args)
{
    Generator::Options options;
    QHash<QString, double> numbers;
    for (int i = 1; i < args.size(); i += 2) {
        const QString option = args.at(i);
        if (i + 1 >= args.size())
            return usage();
        const QString value = args.at(i + 1);
        if (option == QLatin1String("--word")) {
            options.word = value;
            continue;
        }
        const auto known = std::find_if(std::begin(NumberOptions), std::end(NumberOptions),
                                        [&](const NumberOption &o) { return option == QLatin1String(o.name); });
        if (known == std::end(NumberOptions))
            return usage();
        const std::optional<double> number = numberOf(*known, value);
        if (!number)
            return usage();
        numbers.insert(option, *number);
    }
    options.chapters = int(numbers.value(QStringLiteral("--chapters"), options.chapters));
    options.fanout = int(numbers.value(QStringLiteral("--fanout"), options.fanout));
    options.articles = int(numbers.value(QStringLiteral("--articles"), options.articles));
    options.textBytes = int(numbers.value(QStringLiteral("--text-bytes"), options.textBytes));
    options.wordPercent = numbers.value(QStringLiteral("--word-percent"), options.wordPercent);
    const Generator::Result result = Generator::write(args.first(), options);
    say(QStringLiteral("created %1: %2 chapters (depth %3), %4 articles, the word in %5 chapters")
            .arg(args.first(), QString::number(options.chapters), QString::number(result.depth), QString::number(options.articles),
                 QString::number(result.chaptersWithWord)));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    TemporaryFiles::removeOnSignals();
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString command = args.first();
    try {
        if (command == QLatin1String("create") && args.size() == 3) {
            if (args.at(2).trimmed().isEmpty())
                return fail(QStringLiteral("the book name must not be empty"));
            BookSchema::createBook(args.at(1), args.at(2));
            say(QStringLiteral("created %1").arg(args.at(1)));
            return 0;
        }
        if (command == QLatin1String("demo") && args.size() == 2) {
            const DemoBook::Counts counts = DemoBook::write(args.at(1));
            say(QStringLiteral("created %1: %2 chapters, %3 articles")
                    .arg(args.at(1), QString::number(counts.chapters), QString::number(counts.articles)));
            return 0;
        }
        if (command == QLatin1String("import") && args.size() == 3)
            return import(args.at(1), args.at(2));
        if (command == QLatin1String("generate") && args.size() >= 2)
            return generate(args.mid(1));
    } catch (const AppError &error) {
        return fail(error.message());
    }
    return usage();
}
