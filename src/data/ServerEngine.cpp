#include "data/ServerEngine.h"

#include "common/TextHelpers.h"
#include "data/ServerConfig.h"
#include "data/ServerSql.h"

#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <dlfcn.h>
#include <QCoreApplication>

namespace {

// SQLSTATE classes and codes of a connection that is gone: connection
// exceptions, and the server shutting down or ending this session.
bool connectionGone(const QSqlError &error)
{
    const QString state = error.nativeErrorCode();
    return state.startsWith(QLatin1String("08")) || state == QLatin1String("57P01")
        || state == QLatin1String("57P02") || state == QLatin1String("57P03");
}

ServerConfig configOf(const QString &book)
{
    return isServerAddress(book) ? ServerConfig::fromUri(book) : ServerConfig::readFile(book);
}

QString cannotConnect(const ServerConfig &config, const QString &path, const QSqlDatabase &db)
{
    QString advice = QCoreApplication::translate("ServerEngine", "请检查网络和服务器后再试。");
    // libpq passes over a password file others may read, saying so on stderr only.
    const QFileInfo passfile(config.passfile);
    if (!config.passfile.isEmpty() && passfile.exists()
        && (passfile.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
                                      | QFile::WriteOther | QFile::ExeOther)))
        advice = QCoreApplication::translate("ServerEngine", "密码文件 '%1' 可被其他用户读取，libpq 因此不用它：请运行 chmod 600 '%1'。")
                     .arg(config.passfile);
    return QCoreApplication::translate("ServerEngine", "无法连接图书所在的数据库 %1（配置文件 '%2'）：%3。%4")
        .arg(config.describe(), shownBookName(path), engineMessage(db.lastError()), advice);
}

// Checks that both tables can be read; writes nothing.
void probeTables(QSqlDatabase &db, const ServerConfig &config, const QString &path)
{
    for (const char *table : {"ywzx_ywlb", "ywzx_ywnr"}) {
        QSqlQuery probe(db);
        if (probe.exec(QStringLiteral("select * from %1 where false").arg(QLatin1String(table))))
            continue;
        const QString message = engineMessage(probe.lastError());
        const bool denied = probe.lastError().nativeErrorCode() == QLatin1String("42501");
        probe = QSqlQuery();
        db.close();
        if (denied)
            throw AppError(AppError::Database,
                           QCoreApplication::translate("ServerEngine", "用户 %1 无权读取数据库 %2（配置文件 '%3'）中的表 %4：%5。"
                                          "请图书的管理者在服务器上运行 \"grant select on ywzx_ywlb, ywzx_ywnr to %1\"。")
                               .arg(config.user, config.describe(), shownBookName(path), QLatin1String(table), message));
        throw AppError(AppError::Database,
                       QCoreApplication::translate("ServerEngine", "配置文件 '%2' 所指的数据库 %1 中没有书：%3。"
                                      "请用 \"ebook-tool push 书库文件 postgresql://…\" 把书放到服务器上。")
                           .arg(config.describe(), shownBookName(path), message));
    }
}

// PostgreSQL names a column's type by its type oid.
ColumnKind kindOfServerType(int oid)
{
    switch (oid) {
    case 20: case 21: case 23: return ColumnKind::Integer;  // int8, int2, int4
    case 1042: case 1043: return ColumnKind::ShortText;     // char, varchar
    case 25: return ColumnKind::LongText;                   // text
    case 1082: case 1114: case 1184: return ColumnKind::DateTime;
    case 17: return ColumnKind::Blob;                       // bytea
    default: return ColumnKind::Other;
    }
}

} // namespace

// The configuration is read afresh at each opening.
bool ServerEngine::reuses(const QSqlDatabase &) const
{
    return false;
}

// Logs in and checks that both tables can be read; writes nothing.
void ServerEngine::open(const QString &name, const QString &path, bool, const Waits &waits) const
{
    const ServerConfig config = configOf(path);
    QSqlDatabase db = config.addDatabase(name);
    db.setConnectOptions(db.connectOptions()
                         + QStringLiteral(";options='-c lock_timeout=%1 -c statement_timeout=%2'")
                               .arg(waits.lockTimeout).arg(waits.statementTimeout));
    if (!db.open())
        throw AppError(AppError::Database, cannotConnect(config, path, db));
    probeTables(db, config, path);
}

QSqlDatabase ServerEngine::openSnapshot(const QString &name, const QString &path) const
{
    QSqlDatabase db = configOf(path).addDatabase(name);
    if (!db.open())
        throw AppError(AppError::Database, engineMessage(db.lastError()));
    QSqlQuery begin(db);
    if (!begin.exec(QStringLiteral("begin isolation level repeatable read read only")))
        throw AppError(AppError::Database, engineMessage(begin.lastError()));
    return db;
}

// The driver marks a connection closed once libpq finds it broken.
AppError ServerEngine::failure(const QSqlError &error, const QString &message, const QString &, const Waits &waits,
                               bool stillOpen) const
{
    const QString state = error.nativeErrorCode();
    if (connectionGone(error) || !stillOpen)
        return AppError(AppError::ConnectionLost,
                        QCoreApplication::translate("ServerEngine", "与图书服务器的连接已断开（%1），刚才的操作没有完成。"
                                       "请再操作一次，程序会重新连接；若仍不成功，请检查网络或联系管理员。")
                            .arg(message));
    if (state == QLatin1String("23505"))
        return AppError(AppError::DuplicateCode, message);
    if (state == QLatin1String("57014"))
        return AppError(AppError::Busy,
                        QCoreApplication::translate("ServerEngine", "服务器在 %1 秒内没有完成这一操作，已把它取消，没有写入任何内容（%2）。"
                                       "请稍后再试；若一再发生，请联系管理员检查服务器和网络。")
                            .arg(QString::number(waits.statementTimeout / 1000.0), message));
    if (state == QLatin1String("55P03"))
        return busy(message, waits);
    if (state == QLatin1String("42501"))
        return AppError(AppError::Database,
                        QCoreApplication::translate("ServerEngine", "图书服务器拒绝了这一操作：登录所用的用户没有这样做的权限，没有写入任何内容（%1）。"
                                       "阅读终端只能阅读；要修改图书，请用管理图书的用户登录，或请图书的管理者授予权限。")
                            .arg(message));
    // A hot standby (or a read-only transaction) refuses every write.
    if (state == QLatin1String("25006"))
        return AppError(AppError::Database,
                        QCoreApplication::translate("ServerEngine",
                                                    "图书服务器拒绝了这一操作：它是只读的备用服务器，不能修改电子书，没有写入任何内容（%1）。"
                                                    "连接备用服务器的阅读终端只能阅读；要修改图书，请在连接主服务器的工作站上操作。")
                            .arg(message));
    return AppError(AppError::Database, QCoreApplication::translate("ServerEngine", "图书服务器上的操作失败，服务器报告：%1").arg(message));
}

// The book's writers take turns by a lock of both tables held to the
// transaction's end, as "begin immediate" does on a book file. Only a user
// who may change the tables can take it, and it leaves readers alone; the
// connection's lock timeout bounds the wait.
QStringList ServerEngine::beginWriting() const
{
    return {QStringLiteral("begin"), QStringLiteral("lock table ywzx_ywlb, ywzx_ywnr in share row exclusive mode")};
}

TranslatedSql ServerEngine::translated(const TranslatedSql &sqlite) const
{
    return toServerSql(sqlite);
}

QVariant ServerEngine::bindable(const QVariant &value) const
{
    return value.typeId() == QMetaType::QString ? QVariant(TextHelpers::validText(value.toString())) : value;
}

ColumnKind ServerEngine::columnKind(const QSqlQuery &, const QSqlRecord &record, int column) const
{
    return kindOfServerType(record.field(column).typeID());
}

QString ServerEngine::bytesOf(const QString &column) const
{
    return QStringLiteral("convert_to(%1, 'UTF8')").arg(column);
}

namespace {

// PQsocket from the libpq that the QPSQL driver loaded: the program does
// not link libpq itself (the reader on a book file never loads it). Asked
// for once an open server connection exists, so the driver is loaded.
using SocketFunction = int (*)(const void *);
SocketFunction libpqSocketFunction()
{
    static const SocketFunction found = [] {
        void *libpq = dlopen("libpq.so.5", RTLD_LAZY | RTLD_NOLOAD);
        return libpq ? reinterpret_cast<SocketFunction>(dlsym(libpq, "PQsocket")) : nullptr;
    }();
    return found;
}

} // namespace

int ServerEngine::watchedSocket(const QSqlDatabase &db) const
{
    if (!db.isOpen())
        return -1;
    const QVariant handle = db.driver()->handle();
    // QPSQL names it by libpq's struct (PGconn is a typedef of it).
    if (qstrcmp(handle.typeName(), "pg_conn*") != 0 && qstrcmp(handle.typeName(), "PGconn*") != 0)
        return -1;
    void *connection = *static_cast<void *const *>(handle.constData());
    const auto socketOf = libpqSocketFunction();
    return connection && socketOf ? socketOf(connection) : -1;
}

QString ServerEngine::integrityCheckSql() const
{
    return QString();
}

bool ServerEngine::keepsFullTextIndex() const
{
    return false;
}

QString ServerEngine::tableOrder() const
{
    return QStringLiteral("order by id, lbbh");
}

QString ServerEngine::rowKeyColumn() const
{
    return QStringLiteral("lbbh");
}

QString ServerEngine::keyFromText(const QString &operand) const
{
    return operand;
}
