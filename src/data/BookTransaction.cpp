#include "data/BookTransaction.h"

#include "common/AppError.h"
#include "data/BookConnection.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {

void run(BookConnection &connection, const QString &sql)
{
    connection.recordStatement(sql);
    QSqlQuery query(connection.database());
    if (!query.exec(sql)) {
        connection.statementFailed();
        throw AppError(AppError::Database, engineMessage(query.lastError()));
    }
}

} // namespace

BookTransaction::BookTransaction(BookConnection &connection)
    : connection_(connection)
{
    run(connection_, connection_.engine() == BookConnection::Engine::Server ? QStringLiteral("begin")
                                                                             : QStringLiteral("begin immediate"));
    active_ = true;
}

BookTransaction::~BookTransaction()
{
    if (active_) {
        // Rolling back after a failure must not throw again; a lost server
        // connection has ended the transaction anyway.
        try {
            rollback();
        } catch (const AppError &) {
        }
    }
}

void BookTransaction::commit()
{
    active_ = false;
    run(connection_, QStringLiteral("commit"));
}

void BookTransaction::rollback()
{
    active_ = false;
    if (connection_.isOpen())
        QSqlQuery(connection_.handle()).exec(QStringLiteral("rollback"));
}
