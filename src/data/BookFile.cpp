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

// applicationDirPath() follows /proc/self/exe, so a program started through
// a symbolic link or from the search path still finds its own book.
QString pathForThisProgram()
{
    return pathBeside(QCoreApplication::applicationDirPath());
}

static bool isAccessFile(const QByteArray &head)
{
    const QByteArray marker = head.mid(4, 15);
    return marker == "Standard Jet DB" || marker == "Standard ACE DB";
}

void verify(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw AppError(AppError::BookFile, QStringLiteral("Could not find file '%1'").arg(path));
    const auto cannotOpen = [&](const QString &reason) {
        return AppError(AppError::BookFile, QStringLiteral("Cannot open file '%1'. %2").arg(path, reason));
    };
    if (info.isDir())
        throw cannotOpen(QStringLiteral("Is a directory"));
    if (!RegularFile::check(path))
        throw cannotOpen(RegularFile::refusal());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw cannotOpen(file.errorString());
    const QByteArray head = file.read(100);
    if (head.isEmpty())
        throw AppError(AppError::BookFile,
                       QStringLiteral("The file '%1' is empty: it holds no book").arg(path));
    if (isAccessFile(head))
        throw AppError(AppError::BookFile,
                       QStringLiteral("The file '%1' is an Access database, not a book of this "
                                      "program: convert it with \"ebook-tool import %1 NEW_BOOK\"")
                           .arg(path));
    if (!head.startsWith(QByteArray("SQLite format 3", 16)))
        throw AppError(AppError::BookFile,
                       QStringLiteral("The file '%1' is not a book database: file is not a database")
                           .arg(path));
}

} // namespace BookFile
