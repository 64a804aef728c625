#include "data/BookConnection.h"

#include "common/AppError.h"
#include "data/BookFile.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

BookConnection::BookConnection()
    : name_(QStringLiteral("ydconn-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

BookConnection::~BookConnection()
{
    close();
    QSqlDatabase::removeDatabase(name_);
}

void BookConnection::setDatabaseFile(const QString &path)
{
    close();
    file_ = path;
}

void BookConnection::open()
{
    if (isOpen())
        return;
    const BookEngine &engine = this->engine();
    if (QSqlDatabase::contains(name_) && !engine.reuses(handle()))
        removeDatabase();
    engine.open(name_, file_, readOnly_, waits());
}

AppError BookConnection::failure(const QSqlError &error)
{
    AppError failed = engine().failure(error, engineMessage(error), file_, waits(), isOpen());
    if (failed.kind() == QLatin1String(AppError::ConnectionLost))
        close();
    return failed;
}

// No statement may outlive its driver, which goes with the database.
void BookConnection::removeDatabase()
{
    dropStatements();
    ++generation_;
    QSqlDatabase::removeDatabase(name_);
}

void BookConnection::dropStatements()
{
    for (StatementHolder *query : std::as_const(queries_))
        query->dropStatement();
}

void BookConnection::close()
{
    dropStatements();
    ++generation_;
    if (QSqlDatabase::contains(name_))
        QSqlDatabase::database(name_, false).close();
}

bool BookConnection::isOpen() const
{
    return QSqlDatabase::contains(name_) && QSqlDatabase::database(name_, false).isOpen();
}

QSqlDatabase BookConnection::database()
{
    open();
    return QSqlDatabase::database(name_, false);
}

QSqlDatabase BookConnection::handle() const
{
    return QSqlDatabase::database(name_, false);
}

void BookConnection::recordStatement(const QString &sql)
{
    onStatement(sql);
    ++statementCount_;
}

BookConnection::ReadTransaction::ReadTransaction(BookConnection &connection)
    : connection_(connection)
{
    // Counted only once the book is reached: a failure here ends no transaction.
    QSqlDatabase db = connection_.database();
    generation_ = connection_.generation_;
    if (connection_.readTransactions_++ == 0)
        began_ = db.transaction(); // without one, each statement locks by itself
}

BookConnection::ReadTransaction::~ReadTransaction()
{
    --connection_.readTransactions_;
    QSqlDatabase db = QSqlDatabase::database(connection_.name_, false);
    // A connection closed meanwhile took its transaction along.
    if (began_ && generation_ == connection_.generation_ && db.isOpen() && !db.commit())
        db.rollback();
}
