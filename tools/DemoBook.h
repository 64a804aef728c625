#pragma once

#include "bookcare/BookSchema.h"
#include <QString>
#include <QStringList>
#include <QVector>

// The demo book: the Tang and Song poems of Debian's fortunes-zh package.
namespace DemoBook {

struct Poem {
    QString title;
    QString poet;
    QStringList lines;
};

struct Collection {
    QString name;
    QString file;
};

// The folder of the fortune files ($EBOOK_FORTUNES_DIR or Debian's).
QString fortunesFolder();
QVector<Collection> collections();

// Parses one fortune file: entries separated by "%" lines, terminal colour
// codes stripped, a title line, an author line, then the poem.
QVector<Poem> parsePoems(const QString &content);

// Writes the demo book to path (refuses an existing file); throws AppError.
// Returns the number of chapters and articles written.
struct Counts { int chapters = 0; int articles = 0; };
Counts write(const QString &path, BookSchema::Index index = BookSchema::Index::Without);

} // namespace DemoBook
