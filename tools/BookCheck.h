#pragma once

#include <QString>
#include <QStringList>

// ebook-tool check: what the tree cannot show and what else is unsound in
// a book, one line per problem in Chinese, naming table, id and code and
// what to do. Reads only.
namespace BookCheck {

// Lines kept of each kind of problem; the rest of a kind is counted in one
// more line, so a book with millions of faults prints a screenful.
constexpr int ShownPerKind = 20;

struct Result {
    QStringList lines;
    qint64 problems = 0; // all found, shown or not
    int chapters = 0;
    int articles = 0;
};

// A book file, a server configuration file or a postgresql:// URL; throws
// AppError when the book cannot be read.
Result run(const QString &book);
// The closing line.
QString summary(const Result &result);

} // namespace BookCheck
