#include "data/BookConnection.h"

#include "common/AppError.h"
#include "data/BookFile.h"
#include "data/ServerConfig.h"

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

BookConnection::Engine BookConnection::engine() const
{
    return isServerConfigPath(file_) ? Engine::Server : Engine::SQLite;
}

void BookConnection::open()
{
    if (isOpen())
        return;
    if (engine() == Engine::Server) {
        openServer();
        return;
    }
    // Checked first: the driver would create a missing file.
    BookFile::verify(file_);
    if (QSqlDatabase::contains(name_) && QSqlDatabase::database(name_, false).driverName() != QLatin1String("QSQLITE"))
        QSqlDatabase::removeDatabase(name_);
    QSqlDatabase db = QSqlDatabase::contains(name_) ? QSqlDatabase::database(name_, false)
                                                    : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    openFile(db);
}

void BookConnection::openFile(QSqlDatabase &db)
{
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

// Reads the configuration, logs in and checks that both tables can be
// read; writes nothing.
void BookConnection::openServer()
{
    const ServerConfig config = ServerConfig::readFile(file_);
    if (QSqlDatabase::contains(name_))
        QSqlDatabase::removeDatabase(name_);
    QSqlDatabase db = config.addDatabase(name_);
    if (!db.open())
        throw AppError(AppError::Database, QStringLiteral("Cannot connect to the book's database %1 named in '%2': %3")
                                               .arg(config.describe(), file_, engineMessage(db.lastError())));
    for (const char *table : {"ywzx_ywlb", "ywzx_ywnr"}) {
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("select * from %1 where false").arg(QLatin1String(table)))) {
            const QString message = engineMessage(probe.lastError());
            probe = QSqlQuery();
            db.close();
            throw AppError(AppError::Database, QStringLiteral("The database %1 named in '%2' holds no book: %3")
                                                   .arg(config.describe(), file_, message));
        }
    }
    suspect_ = false;
}

// After a failed statement a cheap probe tells a lost server connection
// from a statement's own fault.
void BookConnection::reconnectIfLost()
{
    if (!suspect_ || engine() != Engine::Server || !isOpen())
        return;
    suspect_ = false;
    QSqlQuery probe(QSqlDatabase::database(name_, false));
    if (probe.exec(QStringLiteral("select 1")))
        return;
    probe = QSqlQuery();
    close();
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
    reconnectIfLost();
    open();
    return QSqlDatabase::database(name_, false);
}

QSqlDatabase BookConnection::handle() const
{
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
    // Counted only once the book is reached: a failure here ends no transaction.
    QSqlDatabase db = connection_.database();
    if (connection_.readTransactions_++ == 0)
        began_ = db.transaction(); // without one, each statement locks by itself
}

BookConnection::ReadTransaction::~ReadTransaction()
{
    --connection_.readTransactions_;
    QSqlDatabase db = QSqlDatabase::database(connection_.name_, false);
    if (began_ && db.isOpen() && !db.commit())
        db.rollback();
}
