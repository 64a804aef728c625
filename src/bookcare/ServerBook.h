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
    // push --replace: what the old tables granted to others, given again on
    // the new ones ("SELECT on ywzx_ywlb to reader", "SELECT (lbmc) on
    // ywzx_ywlb to reader with grant option"), their row-level security and
    // policies ("policy own on ywzx_ywlb") ...
    QStringList grants;
    // ... and what of theirs the new tables do not have ("trigger t on
    // ywzx_ywnr", "index i on ywzx_ywlb").
    QStringList notCarried;
};

// How long push --replace waits for others (readers in a transaction) to
// let go of the old tables.
constexpr int ReplaceLockTimeoutMs = 10000;

// Copies the book file into the database, which must hold no book unless
// `replace` (then the old tables are dropped in the same transaction and
// whatever they granted to others, their row-level security and policies
// are given to the new ones). Creates the tables, their indexes and the
// trigram index of the texts.
Counts push(const QString &bookFile, const ServerConfig &target, bool replace,
            int lockTimeoutMs = ReplaceLockTimeoutMs);

// Writes a new book file from the database; refuses an existing file. The
// file appears only when complete (written under a temporary name).
Counts pull(const ServerConfig &source, const QString &bookFile);

} // namespace ServerBook
