#include "AccessImport.h"

#include "common/AppError.h"
#include "bookcare/BookSchema.h"
#include "bookcare/TemporaryFiles.h"

#include <QCoreApplication>
#include <QFile>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

namespace AccessImport {

namespace {

// A crash of libmdb is the damaged file's doing; any other signal (a file
// size limit, a kill) stopped the reader from outside.
QString readerStopped(const QString &accessPath, int signal)
{
    const QString name = QString::fromLocal8Bit(strsignal(signal)).toLower();
    for (int crash : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        if (signal == crash)
            return QStringLiteral("%1 is damaged: the Access reader crashed on it (%2)").arg(accessPath, name);
    return QCoreApplication::translate("AccessImport", "Access 读取程序被中止：%1").arg(name);
}

} // namespace

Counts run(const QString &accessPath, const QString &bookPath, const Progress &progress, BookSchema::Index index)
{
    BookSchema::checkNewBookPath(bookPath);
    checkAccessFile(accessPath);
    const QString temporary = BookSchema::temporaryPathFor(bookPath);
    int channel[2];
    if (pipe(channel) != 0)
        fail(QCoreApplication::translate("AccessImport", "无法启动 Access 读取程序"));
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) {
        close(channel[0]);
        close(channel[1]);
        fail(QCoreApplication::translate("AccessImport", "无法启动 Access 读取程序：%1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    }
    if (child == 0) {
        close(channel[0]);
        int code = 0;
        Counts counts;
        QByteArray message;
        // The command's error is the one line printed by the parent.
        try {
            counts = writeBook(accessPath, temporary, progress, index);
        } catch (const AppError &error) {
            message = error.message().toUtf8();
            code = 1;
        }
        const QByteArray report = code ? message : QByteArray::number(counts.chapters) + ' ' + QByteArray::number(counts.articles);
        (void)!write(channel[1], report.constData(), size_t(report.size()));
        close(channel[1]);
        _exit(code);
    }
    close(channel[1]);
    QByteArray report;
    char buffer[4096];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, n);
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        QFile::remove(temporary);
        QFile::remove(temporary + QStringLiteral("-journal"));
        TemporaryFiles::forget(temporary);
        if (WIFSIGNALED(status))
            fail(readerStopped(accessPath, WTERMSIG(status)));
        fail(QString::fromUtf8(report));
    }
    BookSchema::moveIntoPlace(temporary, bookPath);
    const QList<QByteArray> numbers = report.split(' ');
    return {numbers.value(0).toInt(), numbers.value(1).toInt()};
}

} // namespace AccessImport
