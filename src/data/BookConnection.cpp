#include "data/BookConnection.h"

#include "common/AppError.h"
#include "data/BookFile.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

QString engineMessage(const QSqlError &error)
{
    const QString database = error.databaseText().trimmed();
    return database.isEmpty() ? error.text().trimmed() : database;
}

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
    // Checked first: the driver would create a missing file.
    BookFile::verify(file_);
    QSqlDatabase db = QSqlDatabase::contains(name_) ? QSqlDatabase::database(name_, false)
                                                    : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    db.setDatabaseName(file_);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        throw AppError(AppError::Database, engineMessage(db.lastError()));
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("select count(*) from sqlite_master"))) {
        const QString message = engineMessage(probe.lastError());
        probe = QSqlQuery();
        db.close();
        throw AppError(AppError::Database, message);
    }
}

void BookConnection::close()
{
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

void BookConnection::recordStatement(const QString &sql)
{
    if (onStatement)
        onStatement(sql);
    ++statementCount_;
    recent_ << sql;
    if (recent_.size() > 10000)
        recent_.removeFirst();
}

void BookConnection::clearStatementLog()
{
    statementCount_ = 0;
    recent_.clear();
}

BookConnection::ReadTransaction::ReadTransaction(BookConnection &connection)
    : connection_(connection)
{
    if (connection_.readTransactions_++ == 0)
        began_ = connection_.database().transaction(); // without one, each statement locks by itself
}

BookConnection::ReadTransaction::~ReadTransaction()
{
    --connection_.readTransactions_;
    QSqlDatabase db = QSqlDatabase::database(connection_.name_, false);
    if (began_ && db.isOpen() && !db.commit())
        db.rollback();
}
