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
    BookConnection::Watch watch(connection);
    if (!query.exec(sql)) {
        const QSqlError error = query.lastError();
        query = QSqlQuery();
        throw connection.failure(error);
    }
}

} // namespace

BookTransaction::BookTransaction(BookConnection &connection)
    : connection_(connection)
{
    const QStringList begin = connection_.engine().beginWriting();
    run(connection_, begin.first());
    active_ = true;
    try {
        for (qsizetype i = 1; i < begin.size(); ++i)
            run(connection_, begin.at(i));
    } catch (const AppError &) {
        rollback(); // no destructor runs for a constructor that throws
        throw;
    }
}

BookTransaction::~BookTransaction()
{
    if (active_)
        rollback(); // never throws: a lost server connection has ended it anyway
}

// A commit that fails (a book file still read by another program after the
// busy timeout) leaves the transaction open: it stays active, so that it is
// rolled back and nothing looks saved that is not.
void BookTransaction::commit()
{
    run(connection_, QStringLiteral("commit"));
    active_ = false;
}

void BookTransaction::rollback()
{
    active_ = false;
    if (connection_.isOpen()) {
        BookConnection::Watch watch(connection_);
        QSqlQuery(connection_.handle()).exec(QStringLiteral("rollback"));
    }
}
