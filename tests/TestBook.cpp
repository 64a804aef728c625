#include "TestBook.h"

#include "data/BookSchema.h"

#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <stdexcept>

TestBook::TestBook(const QString &bookName)
    : path_(dir_.filePath(QStringLiteral("ebook.mdb")))
{
    BookSchema::createBook(path_, bookName.isEmpty() ? QStringLiteral("x") : bookName);
    file_ = std::make_unique<SqlFile>(path_);
    if (bookName.isEmpty())
        exec(QStringLiteral("delete from ywzx_ywlb"));
}

TestBook::~TestBook() = default;

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
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
        db.setDatabaseName(path_);
        db.open();
    }
    return QSqlDatabase::database(connection_);
}

void SqlFile::exec(const QString &sql, const QVariantList &values)
{
    QSqlQuery query(db());
    query.prepare(sql);
    for (const QVariant &v : values)
        query.addBindValue(v);
    if (!query.exec())
        throw std::runtime_error(query.lastError().text().toStdString());
}

QVariant SqlFile::scalar(const QString &sql, const QVariantList &values)
{
    QSqlQuery query(db());
    query.prepare(sql);
    for (const QVariant &v : values)
        query.addBindValue(v);
    if (!query.exec())
        throw std::runtime_error(query.lastError().text().toStdString());
    return query.next() ? query.value(0) : QVariant();
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
    : defaultAnswer_(answer)
{
    previous_ = MessageBoxes::setHandler([this](const MessageBoxes::Request &request) {
        shown << request;
        return answers_.isEmpty() ? defaultAnswer_ : answers_.takeFirst();
    });
}

ScriptedBoxes::~ScriptedBoxes()
{
    MessageBoxes::setHandler(previous_);
}
