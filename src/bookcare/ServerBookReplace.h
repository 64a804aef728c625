#pragma once

#include "data/ServerConfig.h"

#include <QList>
#include <QSqlDatabase>
#include <QStringList>
#include <utility>

// push --replace: what the old tables of the book on the server give others
// and have besides, and taking them for the drop.
namespace ServerBookReplace {

// What the old tables give others, to be given to the new ones: each
// statement with the words that say it.
struct Carried {
    QStringList statements;
    QStringList said;
    QList<std::pair<QString, QString>> columns; // table and column a statement needs (empty: none)
};

// Grants on the tables, the sequence and single columns, each with its
// grant option, as made again by the owner.
void carryGrants(const QSqlDatabase &server, Carried *carried);
// Row-level security, switched on (and forced) as it was, and the policies.
void carryPolicies(const QSqlDatabase &server, Carried *carried);
// The triggers, rules and indexes of the book's tables ("index i on
// ywzx_ywlb"): those of the old tables that the new ones lack are said.
QStringList tableExtras(const QSqlDatabase &server);
// Gives the new tables what the old ones gave; a grant on a column the new
// table lacks is said instead.
void giveAgain(const QSqlDatabase &server, const Carried &carried, QStringList *grants, QStringList *notCarried);
// Takes the old tables for the drop, waiting no longer than the lock
// timeout for others to let go of them; then says who holds them.
void takeOldTables(const QSqlDatabase &server, const ServerConfig &target, int lockTimeoutMs);

} // namespace ServerBookReplace
