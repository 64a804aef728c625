#pragma once

#include "data/ServerConfig.h"

#include <QString>
#include <QStringList>

// Moving a book between a book file and a PostgreSQL database. Each move is
// one transaction on the server; every row and column comes over as it is.
namespace ServerBook {

struct Counts {
    int chapters = 0;
    int articles = 0;
    // push --replace: the grants of the old tables, given again
    // ("SELECT on ywzx_ywlb to reader").
    QStringList grants;
};

// Copies the book file into the database, which must hold no book unless
// `replace` (then the old tables are dropped in the same transaction and
// whatever they granted to others is granted again on the new ones).
// Creates the tables, their indexes and the trigram index of the texts.
Counts push(const QString &bookFile, const ServerConfig &target, bool replace);

// Writes a new book file from the database; refuses an existing file. The
// file appears only when complete (written under a temporary name).
Counts pull(const ServerConfig &source, const QString &bookFile);

} // namespace ServerBook
