// ebook-tool: makes book files for the reading room.
#include "DemoBook.h"
#include "common/AppError.h"
#include "data/BookSchema.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

namespace {

const char *Usage =
    "usage: ebook-tool create FILE \"BOOK NAME\"   write a new empty book\n"
    "       ebook-tool demo FILE                 write the demo book (Tang and Song poems)\n";

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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
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
                    .arg(args.at(1)).arg(counts.chapters).arg(counts.articles));
            return 0;
        }
    } catch (const AppError &error) {
        return fail(error.message());
    }
    return usage();
}
