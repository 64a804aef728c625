#include "data/BookConnection.h"

#include "common/AppError.h"
#include "data/BookFile.h"
#include "data/ServerConfig.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

QString engineMessage(const QSqlError &error)
{
    const QString database = error.databaseText().trimmed();
    const QString text = database.isEmpty() ? error.text().trimmed() : database;
    return text.isEmpty() ? QStringLiteral("数据库没有说明原因") : text;
}

namespace {

// SQLSTATE classes and codes of a connection that is gone: connection
// exceptions, and the server shutting down or ending this session.
bool connectionGone(const QSqlError &error)
{
    const QString state = error.nativeErrorCode();
    return state.startsWith(QLatin1String("08")) || state == QLatin1String("57P01")
        || state == QLatin1String("57P02") || state == QLatin1String("57P03");
}

} // namespace

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
        removeDatabase();
    QSqlDatabase db = QSqlDatabase::contains(name_) ? QSqlDatabase::database(name_, false)
                                                    : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    openFile(db);
}

void BookConnection::openFile(QSqlDatabase &db)
{
    db.setDatabaseName(file_);
    const QString busy = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(lockTimeout_);
    db.setConnectOptions(readOnly_ ? busy + QStringLiteral(";QSQLITE_OPEN_READONLY") : busy);
    if (!db.open())
        throw AppError(AppError::Database, engineMessage(db.lastError()));
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("select count(*) from sqlite_master"))) {
        const QString message = fileMessage(engineMessage(probe.lastError()));
        probe = QSqlQuery();
        db.close();
        throw AppError(AppError::Database, message);
    }
}

// A save killed halfway leaves its journal beside the book ("hot"): the
// first program that may write the file rolls the save back; one that may
// only read cannot open the book until then.
QString BookConnection::fileMessage(const QString &message) const
{
    const QFileInfo journal(file_ + QStringLiteral("-journal"));
    if (message.contains(QLatin1String("readonly database")) && journal.exists() && journal.size() > 0)
        return QStringLiteral("图书文件 '%1' 的上一次保存没有完成（留下了日志文件 '%2'），"
                              "要由可以写入该文件的人先把它撤销，本终端只能读取，无法打开（%3）。"
                              "请工作人员在有写入权限的工作站上启动一次本程序，之后本终端即可照常打开。")
            .arg(file_, journal.filePath(), message);
    return message;
}

// Reads the configuration, logs in and checks that both tables can be
// read; writes nothing.
void BookConnection::openServer()
{
    const ServerConfig config = ServerConfig::readFile(file_);
    if (QSqlDatabase::contains(name_))
        removeDatabase();
    QSqlDatabase db = config.addDatabase(name_);
    db.setConnectOptions(db.connectOptions()
                         + QStringLiteral(";options='-c lock_timeout=%1 -c statement_timeout=%2'")
                               .arg(lockTimeout_).arg(statementTimeout_));
    if (!db.open()) {
        QString advice = QStringLiteral("请检查网络和服务器后再试。");
        // libpq passes over a password file others may read, saying so on stderr only.
        const QFileInfo passfile(config.passfile);
        if (!config.passfile.isEmpty() && passfile.exists()
            && (passfile.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
                                          | QFile::WriteOther | QFile::ExeOther)))
            advice = QStringLiteral("密码文件 '%1' 可被其他用户读取，libpq 因此不用它：请运行 chmod 600 '%1'。")
                         .arg(config.passfile);
        throw AppError(AppError::Database, QStringLiteral("无法连接图书所在的数据库 %1（配置文件 '%2'）：%3。%4")
                                               .arg(config.describe(), file_, engineMessage(db.lastError()), advice));
    }
    for (const char *table : {"ywzx_ywlb", "ywzx_ywnr"}) {
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("select * from %1 where false").arg(QLatin1String(table)))) {
            const QString message = engineMessage(probe.lastError());
            const bool denied = probe.lastError().nativeErrorCode() == QLatin1String("42501");
            probe = QSqlQuery();
            db.close();
            if (denied)
                throw AppError(AppError::Database,
                               QStringLiteral("用户 %1 无权读取数据库 %2（配置文件 '%3'）中的表 %4：%5。"
                                              "请图书的管理者在服务器上运行 \"grant select on ywzx_ywlb, ywzx_ywnr to %1\"。")
                                   .arg(config.user, config.describe(), file_, QLatin1String(table), message));
            throw AppError(AppError::Database,
                           QStringLiteral("配置文件 '%2' 所指的数据库 %1 中没有书：%3。"
                                          "请用 \"ebook-tool push 书库文件 postgresql://…\" 把书放到服务器上。")
                               .arg(config.describe(), file_, message));
        }
    }
}

// The driver marks a server connection closed once libpq finds it broken.
AppError BookConnection::failure(const QSqlError &error)
{
    const QString message = engineMessage(error);
    if (engine() == Engine::Server && (connectionGone(error) || !isOpen())) {
        close();
        return AppError(AppError::ConnectionLost,
                        QStringLiteral("与图书服务器的连接已断开（%1），刚才的操作没有完成。"
                                       "请再操作一次，程序会重新连接；若仍不成功，请检查网络或联系管理员。")
                            .arg(message));
    }
    // The full-text index's triggers run with every save of a chapter.
    if (engine() == Engine::SQLite && message.contains(QLatin1String("fts"), Qt::CaseInsensitive))
        return AppError(AppError::Database,
                        QStringLiteral("图书的全文索引已损坏（%1），这一操作没有完成，没有写入任何内容。"
                                       "请工作人员运行 \"ebook-tool index --check %2\" 修复索引后再试。")
                            .arg(message, file_));
    if (error.nativeErrorCode() == QLatin1String("23505"))
        return AppError(AppError::DuplicateCode, message);
    if (error.nativeErrorCode() == QLatin1String("57014"))
        return AppError(AppError::Busy,
                        QStringLiteral("服务器在 %1 秒内没有完成这一操作，已把它取消，没有写入任何内容（%2）。"
                                       "请稍后再试；若一再发生，请联系管理员检查服务器和网络。")
                            .arg(QString::number(statementTimeout_ / 1000.0), message));
    // A writer elsewhere held the book longer than this one waits.
    if (error.nativeErrorCode() == QLatin1String("55P03") || message.contains(QLatin1String("database is locked")))
        return AppError(AppError::Busy,
                        QStringLiteral("图书正忙：另一处正在保存，等了 %1 秒仍未轮到这一操作（%2）。"
                                       "这一操作没有完成，没有写入任何内容；请稍后再试。")
                            .arg(QString::number(lockTimeout_ / 1000.0), message));
    return AppError(AppError::Database, engine() == Engine::SQLite ? fileMessage(message) : message);
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
