#include "bookcare/BookSchema.h"

#include "common/AppError.h"
#include "data/BoundValue.h"
#include "common/DateTimeText.h"
#include "data/BookConnection.h"
#include "bookcare/BookIndexUpkeep.h"
#include "bookcare/TemporaryFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QCoreApplication>

namespace BookSchema {

QString schemaSql()
{
    return scriptOf(QStringLiteral(":/data/ebook.sql"));
}

// A script built into the program; one that cannot be read, or holds no
// statement, would make a book without tables.
QString scriptOf(const QString &resource)
{
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(AppError::BookFile, QCoreApplication::translate("BookSchema", "程序内置的建表脚本 %1 无法读取：%2").arg(resource, file.errorString()));
    const QString script = QString::fromUtf8(file.readAll());
    if (statementsIn(script).isEmpty())
        throw AppError(AppError::BookFile, QCoreApplication::translate("BookSchema", "程序内置的建表脚本 %1 是空的").arg(resource));
    return script;
}

QStringList schemaStatements()
{
    return statementsIn(schemaSql());
}

QStringList statementsIn(const QString &script)
{
    QStringList code;
    for (const QString &line : script.split(QLatin1Char('\n')))
        if (!line.trimmed().startsWith(QLatin1String("--")))
            code << line;
    QStringList statements;
    for (const QString &statement : code.join(QLatin1Char('\n')).split(QLatin1Char(';')))
        if (!statement.trimmed().isEmpty())
            statements << statement.trimmed();
    return statements;
}

void apply(QSqlDatabase &db)
{
    for (const QString &statement : schemaStatements())
        exec(db, statement);
}

void insertRoot(QSqlDatabase &db, const QString &bookName, const QDateTime &when)
{
    exec(db,
         QStringLiteral("insert into ywzx_ywlb (id,lbbh,lbmc,flbh,xgrq,xgr,ywnr,photoimage,checkimage) "
                        "values (1,'00000',?,'00000',?,'',?,?,'0')"),
         {bookName, DateTimeText::storageText(when), QString(QLatin1String("")), QByteArray("nil")});
}

void writeNewFile(const QString &path, const std::function<void(QSqlDatabase &)> &fill, Index index)
{
    const QString name = QStringLiteral("create-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    try {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(path);
            if (!db.open())
                throw AppError(AppError::Database, engineMessage(db.lastError()));
            try {
                exec(db, QStringLiteral("begin"));
                apply(db);
                if (fill)
                    fill(db);
                if (index == Index::FullText)
                    BookIndex::create(db);
                exec(db, QStringLiteral("commit"));
            } catch (...) {
                db.close();
                throw;
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    } catch (...) {
        QSqlDatabase::removeDatabase(name);
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-journal"));
        TemporaryFiles::forget(path);
        throw;
    }
}

QString temporaryPathFor(const QString &path)
{
    const QFileInfo target(path);
    // Named after this process, so that a later run can tell it was left by a dead one.
    TemporaryFiles::removeStale(target.dir().path());
    const QString temporary = target.dir().filePath(
        QStringLiteral(".%1.%2.%3.tmp")
            .arg(target.fileName(), TemporaryFiles::ownerTag(), QUuid::createUuid().toString(QUuid::Id128)));
    TemporaryFiles::add(temporary);
    return temporary;
}

void checkNewBookPath(const QString &path)
{
    const QFileInfo target(path);
    if (target.exists() || target.isSymLink())
        throw AppError(AppError::BookFile, QCoreApplication::translate("BookSchema", "'%1' 已存在，不会覆盖").arg(path));
    if (!target.dir().exists())
        throw AppError(AppError::BookFile, QCoreApplication::translate("BookSchema", "无法新建 '%1'：文件夹不存在").arg(path));
}

// QFile::rename never replaces an existing file, so a book that appeared
// meanwhile is not overwritten either.
void moveIntoPlace(const QString &temporary, const QString &path)
{
    const bool moved = QFile::rename(temporary, path);
    if (!moved)
        QFile::remove(temporary);
    TemporaryFiles::forget(temporary);
    if (!moved)
        throw AppError(AppError::BookFile, QCoreApplication::translate("BookSchema", "无法新建 '%1'").arg(path));
}

void createBook(const QString &path, const QString &bookName,
                const std::function<void(QSqlDatabase &)> &fill, Index index)
{
    checkNewBookPath(path);
    const QString temporary = temporaryPathFor(path);
    writeNewFile(temporary, [&](QSqlDatabase &db) {
        insertRoot(db, bookName, QDateTime::currentDateTime());
        if (fill)
            fill(db);
    }, index);
    moveIntoPlace(temporary, path);
}

} // namespace BookSchema
