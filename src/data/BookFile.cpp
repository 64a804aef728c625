#include "data/BookFile.h"

#include "common/AppError.h"
#include "common/RegularFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace BookFile {

QString pathBeside(const QString &programDirectory)
{
    return QDir(programDirectory).filePath(QStringLiteral("data/ebook.mdb"));
}

QString serverConfigBeside(const QString &programDirectory)
{
    return QDir(programDirectory).filePath(QStringLiteral("data/ebook.conf"));
}

QString bookBeside(const QString &programDirectory)
{
    const QString config = serverConfigBeside(programDirectory);
    return QFileInfo::exists(config) ? config : pathBeside(programDirectory);
}

// applicationDirPath() follows /proc/self/exe, so a program started through
// a symbolic link or from the search path still finds its own book.
QString pathForThisProgram()
{
    return bookBeside(QCoreApplication::applicationDirPath());
}

static bool isAccessFile(const QByteArray &head)
{
    const QByteArray marker = head.mid(4, 15);
    return marker == "Standard Jet DB" || marker == "Standard ACE DB";
}

// What to do when the book's place holds no book: the tool's commands that
// make, fetch or convert one.
static QString howToGetABook(const QString &path)
{
    return QCoreApplication::translate("BookFile", "请把书库文件放到这个位置，例如用下列命令之一：\n"
                          "新建空书：ebook-tool create %1 \"书名\"\n"
                          "示例书：ebook-tool demo %1\n"
                          "从服务器取回：ebook-tool pull 服务器地址 %1\n"
                          "转换 Access 书库：ebook-tool import 旧书库.mdb %1")
        .arg(path);
}

static AppError noBook(const QString &what, const QString &path)
{
    return AppError(AppError::BookFile, QStringLiteral("%1\n%2\n%3").arg(what, path, howToGetABook(path)));
}

QSqlDatabase addReadOnly(const QString &path, const QString &connectionName)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=%1").arg(LockTimeoutMs));
    return db;
}

void verify(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw noBook(QCoreApplication::translate("BookFile", "找不到书库文件："), path);
    const auto cannotOpen = [&](const QString &reason) {
        return AppError(AppError::BookFile, QCoreApplication::translate("BookFile", "无法打开书库文件：\n%1\n%2。").arg(path, reason));
    };
    if (info.isDir())
        throw cannotOpen(QCoreApplication::translate("BookFile", "它是一个文件夹"));
    if (RegularFile::otherKind(path))
        throw cannotOpen(RegularFile::refusal());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw cannotOpen(RegularFile::whyNotOpened(path, file));
    const QByteArray head = file.read(100);
    if (head.isEmpty())
        throw noBook(QCoreApplication::translate("BookFile", "书库文件是空的，其中没有书："), path);
    if (isAccessFile(head))
        throw AppError(AppError::BookFile,
                       QCoreApplication::translate("BookFile", "这是一个 Access 数据库，不是本程序的书库文件：\n%1\n"
                                      "请用下面的命令把它转换为新的书库文件，再放到这个位置：\n"
                                      "ebook-tool import %1 新书库文件")
                           .arg(path));
    if (!head.startsWith(QByteArray("SQLite format 3", 16)))
        throw noBook(QCoreApplication::translate("BookFile", "这个文件不是书库数据库："), path);
}

} // namespace BookFile
