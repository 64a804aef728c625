#include "data/BookConnection.h"

#include "common/AppError.h"
#include "data/AnswerWatch.h"
#include "data/BookFile.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QCoreApplication>

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
    endWatch();
    if (cutOff_) {
        close();
        return cutOff();
    }
    AppError failed = engine().failure(error, engineMessage(error), file_, waits(), isOpen());
    if (failed.kind() == QLatin1String(AppError::ConnectionLost))
        close();
    return failed;
}

// The server may have taken a statement that was cut off before its
// answer came (a commit among them), so the message does not say nothing
// was written.
AppError BookConnection::cutOff() const
{
    return AppError(AppError::ConnectionLost,
                    QCoreApplication::translate("BookConnection", "图书服务器在 %1 秒内没有应答，程序已断开与它的连接，刚才的操作没有得到服务器的确认。"
                                   "请稍后再操作一次，程序会重新连接（若刚才是保存，请先看一看它是否已保存）；"
                                   "若仍不成功，请检查网络或联系管理员。")
                        .arg(QString::number(answerLimit_ / 1000.0)));
}

BookConnection::Watch::Watch(BookConnection &connection)
    : connection_(connection)
{
    connection_.endWatch();
    const int socket = connection_.engine().watchedSocket(connection_.handle());
    if (socket >= 0)
        connection_.watchTicket_ = AnswerWatch::arm(socket, connection_.answerLimit_);
}

void BookConnection::endWatch()
{
    if (watchTicket_ == 0)
        return;
    cutOff_ = AnswerWatch::disarm(watchTicket_) || cutOff_;
    watchTicket_ = 0;
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
    endWatch();
    cutOff_ = false;
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
    if (connection_.readTransactions_++ == 0) {
        Watch watch(connection_);
        began_ = db.transaction(); // without one, each statement locks by itself
    }
}

BookConnection::ReadTransaction::~ReadTransaction()
{
    --connection_.readTransactions_;
    QSqlDatabase db = QSqlDatabase::database(connection_.name_, false);
    // A connection closed meanwhile took its transaction along.
    if (began_ && generation_ == connection_.generation_ && db.isOpen()) {
        Watch watch(connection_);
        if (!db.commit())
            db.rollback();
    }
}
