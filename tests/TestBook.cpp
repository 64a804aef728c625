#include "TestBook.h"

#include "common/DateTimeText.h"
#include "bookcare/BookSchema.h"
#include "bookcare/ServerBook.h"
#include "data/ServerConfig.h"
#include "data/ServerSql.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <stdexcept>

bool TestBook::onServer()
{
    return !qEnvironmentVariableIsEmpty("EBOOK_TEST_SERVER");
}

TestBook::TestBook(const QString &bookName)
    : path_(dir_.filePath(QStringLiteral("ebook.mdb")))
{
    BookSchema::createBook(path_, bookName.isEmpty() ? QStringLiteral("x") : bookName);
    if (onServer()) {
        serverUser_ = createTestUser();
        ServerBook::push(path_, ServerConfig::readFile(writeServerConfig(folder(), serverUser_)), false);
        path_ = dir_.filePath(QStringLiteral("ebook.conf"));
    }
    file_ = std::make_unique<SqlFile>(path_);
    if (bookName.isEmpty())
        exec(QStringLiteral("delete from ywzx_ywlb"));
}

TestBook::~TestBook()
{
    file_.reset();
    if (!serverUser_.isEmpty())
        dropTestUser(serverUser_);
}

namespace {

// The maintenance connection to the test server's own database.
QSqlDatabase serverAdmin()
{
    const QString name = QStringLiteral("test-server-admin");
    if (!QSqlDatabase::contains(name)) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setDatabaseName(qEnvironmentVariable("PGDATABASE", QStringLiteral("postgres")));
        if (!db.open())
            throw std::runtime_error(db.lastError().text().toStdString());
    }
    return QSqlDatabase::database(name);
}

// Tries twice: a server restarted by a test has dropped the first connection.
void adminExec(const QString &sql)
{
    for (int attempt = 0;; ++attempt) {
        QSqlQuery query(serverAdmin());
        if (query.exec(sql))
            return;
        if (attempt == 1)
            throw std::runtime_error(query.lastError().text().toStdString());
        query = QSqlQuery();
        QSqlDatabase db = serverAdmin();
        db.close();
        db.open();
    }
}

} // namespace

QString createTestUser()
{
    // Once for all users: a user may not create the extension itself.
    adminExec(QStringLiteral("create extension if not exists pg_trgm schema public"));
    const QString name = QStringLiteral("book_") + QUuid::createUuid().toString(QUuid::Id128);
    adminExec(QStringLiteral("create role %1 login password '%2'").arg(name, qEnvironmentVariable("PGPASSWORD")));
    adminExec(QStringLiteral("create schema authorization %1").arg(name));
    return name;
}

void dropTestUser(const QString &name)
{
    adminExec(QStringLiteral("select pg_terminate_backend(pid) from pg_stat_activity where usename = '%1'").arg(name));
    adminExec(QStringLiteral("drop schema if exists %1 cascade").arg(name));
    adminExec(QStringLiteral("drop role if exists %1").arg(name));
}

QString writeServerConfig(const QString &folder, const QString &user, const QString &password)
{
    const QString passfile = QDir(folder).filePath(QStringLiteral("pgpass"));
    QFile pass(passfile);
    pass.open(QIODevice::WriteOnly);
    pass.write(QStringLiteral("*:*:*:*:%1\n").arg(password).toUtf8());
    pass.close();
    pass.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QString path = QDir(folder).filePath(QStringLiteral("ebook.conf"));
    QFile config(path);
    config.open(QIODevice::WriteOnly);
    config.write(QStringLiteral("[server]\nhost = %1\nport = %2\ndatabase = %3\nuser = %4\npassfile = pgpass\n")
                     .arg(qEnvironmentVariable("PGHOST", QStringLiteral("localhost")),
                          qEnvironmentVariable("PGPORT", QStringLiteral("5432")),
                          qEnvironmentVariable("PGDATABASE", QStringLiteral("postgres")), user)
                     .toUtf8());
    return path;
}

SqlFile::SqlFile(const QString &path)
    : path_(path), connection_(QStringLiteral("sqlfile-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

SqlFile::~SqlFile()
{
    if (QSqlDatabase::contains(connection_)) {
        QSqlDatabase::database(connection_, false).close();
        QSqlDatabase::removeDatabase(connection_);
    }
}

QSqlDatabase SqlFile::db()
{
    if (!QSqlDatabase::contains(connection_)) {
        QSqlDatabase db;
        if (isServerConfigPath(path_)) {
            db = ServerConfig::readFile(path_).addDatabase(connection_);
        } else {
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
            db.setDatabaseName(path_);
        }
        db.open();
    }
    return QSqlDatabase::database(connection_);
}

// The tests' own statements bind by "?"; the program's translation takes
// named parameters only, so they become :p1, :p2, ... in order (outside quotes).
static QString namedParameters(const QString &statement)
{
    QString out;
    QChar quote;
    int n = 0;
    for (const QChar c : statement) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'?') {
            out += QStringLiteral(":p%1").arg(++n);
            continue;
        }
        out += c;
    }
    return out;
}

// The server's driver prepares on the server, which takes no DDL: a
// statement without values runs directly.
static QSqlQuery runSql(const QSqlDatabase &db, const QString &statement, const QVariantList &values)
{
    const bool server = db.driverName() == QLatin1String("QPSQL");
    const QString sql = server ? toServerSql(translateSql(namedParameters(statement))).sql : statement;
    QSqlQuery query(db);
    bool ok = false;
    if (values.isEmpty()) {
        ok = query.exec(sql);
    } else {
        query.prepare(sql);
        for (const QVariant &v : values)
            query.addBindValue(v);
        ok = query.exec();
    }
    if (!ok)
        throw std::runtime_error(query.lastError().text().toStdString());
    return query;
}

void SqlFile::exec(const QString &sql, const QVariantList &values)
{
    runSql(db(), sql, values);
}

// A server's timestamp reads back as the text the book file stores.
QVariant SqlFile::scalar(const QString &sql, const QVariantList &values)
{
    QSqlQuery query = runSql(db(), sql, values);
    if (!query.next())
        return QVariant();
    const QVariant value = query.value(0);
    if (value.typeId() == QMetaType::QDateTime && !value.isNull())
        return DateTimeText::storageText(value.toDateTime());
    return value;
}

void TestBook::chapter(int id, const QString &code, const QString &name, const QString &parent,
                       const QVariant &text, const QString &when)
{
    exec(QStringLiteral("insert into ywzx_ywlb (id,lbbh,lbmc,flbh,xgrq,xgr,ywnr,photoimage,checkimage) "
                        "values (?,?,?,?,?,'',?,?,'0')"),
         {id, code, name, parent, when, text, QByteArray("nil")});
}

void TestBook::article(const QString &code, const QString &title, const QString &chapterCode,
                       const QVariant &text, const QString &when)
{
    exec(QStringLiteral("insert into ywzx_ywnr (nrbh,nrbt,lbbh,xgrq,xgr,ywnr) values (?,?,?,?,'',?)"),
         {code, title, chapterCode, when, text});
}

ToolRun runTool(const QStringList &args, const QProcessEnvironment &env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(qEnvironmentVariable("EBOOK_TOOL"), args);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

ScriptedBoxes::ScriptedBoxes(QMessageBox::StandardButton answer)
    : defaultAnswer_(answer),
      answering_(MessageBoxes::show.replace([this](const MessageBoxes::Request &request) {
          shown << request;
          return answers_.isEmpty() ? defaultAnswer_ : answers_.takeFirst();
      }))
{
}
