#include "bookcare/BookBackup.h"

#include "common/AppError.h"
#include "data/BookFile.h"
#include "bookcare/BookSchema.h"
#include "bookcare/TemporaryFiles.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>
#include <cerrno>
#include <cstring>
#include <memory>
#include <unistd.h>
#include <QCoreApplication>

namespace BookBackup {

Seam<int(int)> syncFile(::fsync);

namespace {

struct CloseConnection {
    void operator()(sqlite3 *connection) const { sqlite3_close(connection); }
};
using Connection = std::unique_ptr<sqlite3, CloseConnection>;

// The book opened as the program opens it (written to only to roll back
// a crashed save's journal), waiting for a writer's lock up to 5 s.
sqlite3 *openSource(const QString &book)
{
    BookFile::verify(book);
    sqlite3 *source = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(book).constData(), &source, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(source));
        sqlite3_close(source);
        throw AppError(AppError::Database, message);
    }
    sqlite3_busy_timeout(source, BookFile::LockTimeoutMs);
    return source;
}

// The source's read lock, taken within its busy timeout, held until the
// transaction ends.
void beginReading(sqlite3 *source)
{
    const int rc = sqlite3_exec(source, "begin; select count(*) from sqlite_master", nullptr, nullptr, nullptr);
    if (rc == SQLITE_BUSY)
        throw AppError(Busy, QString::fromUtf8(sqlite3_errmsg(source)));
    if (rc != SQLITE_OK)
        throw AppError(AppError::Database, QString::fromUtf8(sqlite3_errmsg(source)));
}

// The copy as SQLite's backup writes it: all pages in one step under the
// source's read lock.
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

bool usesRollbackJournal(sqlite3 *source)
{
    sqlite3_stmt *statement = nullptr;
    bool rollback = false;
    if (sqlite3_prepare_v2(source, "pragma journal_mode", -1, &statement, nullptr) == SQLITE_OK
        && sqlite3_step(statement) == SQLITE_ROW)
        rollback = QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0))).toLower() != "wal";
    sqlite3_finalize(statement);
    return rollback;
}

// The file's bytes, copied by the kernel. Only while the source's read lock
// is held: with a rollback journal no writer changes the file meanwhile, so
// the bytes are one state of the book (a WAL book keeps changes beside it).
void copyBytes(const QString &book, const QString &temporary)
{
    QFile in(book);
    QFile out(temporary);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw AppError(AppError::Database, QCoreApplication::translate("BookBackup", "无法把 '%1' 复制到 '%2'：%3。").arg(book, temporary, QString::fromLocal8Bit(std::strerror(errno))));
    for (qint64 left = in.size(); left > 0;) {
        const ssize_t copied = ::copy_file_range(in.handle(), nullptr, out.handle(), nullptr, size_t(left), 0);
        if (copied > 0) {
            left -= copied;
            continue;
        }
        if (copied < 0 && (errno == ENOSYS || errno == EXDEV || errno == EINVAL)) {
            // No kernel copy between these file systems: through memory.
            for (QByteArray chunk = in.read(1 << 20); !chunk.isEmpty(); chunk = in.read(1 << 20))
                if (out.write(chunk) != chunk.size())
                    break;
            left = in.size() - out.size();
        }
        if (left > 0 && copied <= 0)
            throw AppError(AppError::Database, QCoreApplication::translate("BookBackup", "无法把 '%1' 复制到 '%2'：%3。").arg(book, temporary, QString::fromLocal8Bit(std::strerror(errno))));
    }
}

void flush(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || syncFile(file.handle()) != 0)
        throw AppError(AppError::Database, QCoreApplication::translate("BookBackup", "无法把 '%1' 写入磁盘：%2。").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
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
    const QString temporary = BookSchema::temporaryPathFor(target);
    try {
        {
            // Closed before the flush: readers and savers need not wait for the disk.
            const Connection source(openSource(book));
            beginReading(source.get());
            if (usesRollbackJournal(source.get()))
                copyBytes(book, temporary);
            else
                copyPages(source.get(), temporary);
        }
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
