#pragma once

#include <QString>
#include <QStringList>

// ebook-tool check: what the tree cannot show and what else is unsound in
// a book, one line per problem in Chinese, naming table, id and code and
// what to do. Reads only.
namespace BookCheck {

struct Result {
    QStringList problems;
    int chapters = 0;
    int articles = 0;
};

// A book file, a server configuration file or a postgresql:// URL; throws
// AppError when the book cannot be read.
Result run(const QString &book);
// The closing line.
QString summary(const Result &result);

} // namespace BookCheck
