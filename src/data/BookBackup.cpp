#include "data/BookBackup.h"

#include "common/AppError.h"
#include "data/BookConnection.h"
#include "data/BookSchema.h"
#include "data/TemporaryFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <sqlite3.h>
#include <unistd.h>

namespace BookBackup {

namespace {

sqlite3 *handleOf(const QSqlDatabase &db)
{
    return *static_cast<sqlite3 *const *>(db.driver()->handle().constData());
}

// The copy as SQLite's backup writes it: all pages in one step, so the
// source's read lock (taken within its busy timeout) covers the whole copy.
void copyPages(sqlite3 *source, const QString &temporary)
{
    sqlite3 *target = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(temporary).constData(), &target,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    // Nobody else sees the new file, and a failure removes it: no journal,
    // and one flush at the end (flushed()) instead of one per write.
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(target, "pragma synchronous = off; pragma journal_mode = off", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_backup *backup = sqlite3_backup_init(target, "main", source, "main");
        rc = backup ? sqlite3_backup_step(backup, -1) : sqlite3_errcode(target);
        if (backup)
            sqlite3_backup_finish(backup);
    }
    const QString message = QString::fromUtf8(target ? sqlite3_errmsg(target) : sqlite3_errstr(rc));
    sqlite3_close(target);
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
        throw AppError(Busy, QString::fromUtf8(sqlite3_errstr(rc)));
    if (rc != SQLITE_DONE)
        throw AppError(AppError::Database, message);
}

void flush(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || ::fsync(file.handle()) != 0)
        throw AppError(AppError::Database, QStringLiteral("Cannot write '%1' to the disk").arg(path));
}

void removeTemporary(const QString &temporary)
{
    QFile::remove(temporary);
    QFile::remove(temporary + QStringLiteral("-journal"));
    TemporaryFiles::forget(temporary);
}

} // namespace

qint64 write(const QString &book, const QString &target)
{
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
        throw AppError(Exists, target);
    BookConnection connection;
    connection.setDatabaseFile(book);
    if (connection.engine() == BookConnection::Engine::Server)
        throw AppError(AppError::BookFile, book);
    sqlite3 *source = handleOf(connection.database());
    const QString temporary = BookSchema::temporaryPathFor(target);
    try {
        copyPages(source, temporary);
        flush(temporary);
    } catch (...) {
        removeTemporary(temporary);
        throw;
    }
    const qint64 size = QFileInfo(temporary).size();
    if (!QFile::rename(temporary, target)) {
        removeTemporary(temporary);
        throw AppError(Exists, target);
    }
    TemporaryFiles::forget(temporary);
    return size;
}

} // namespace BookBackup
