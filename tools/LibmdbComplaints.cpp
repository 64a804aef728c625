#include "LibmdbComplaints.h"

#include "common/AppError.h"

#include <QCoreApplication>

#include <unistd.h>

namespace AccessImport {

LibmdbComplaints::LibmdbComplaints()
    : terminal_(dup(STDERR_FILENO)), capture_(std::tmpfile())
{
    if (terminal_ < 0 || !capture_)
        throw AppError(AppError::BookFile, QCoreApplication::translate("AccessImport", "无法监视 Access 读取程序的读取错误"));
    std::fflush(stderr);
    dup2(fileno(capture_), STDERR_FILENO);
}

LibmdbComplaints::~LibmdbComplaints()
{
    std::fflush(stderr);
    dup2(terminal_, STDERR_FILENO);
    close(terminal_);
    std::fclose(capture_);
}

QString LibmdbComplaints::firstLine() const
{
    std::fflush(stderr);
    char line[512] = {};
    if (pread(fileno(capture_), line, sizeof line - 1, 0) <= 0)
        return QString();
    return QString::fromLocal8Bit(line).section(QLatin1Char('\n'), 0, 0).trimmed();
}

LibmdbComplaints::Report LibmdbComplaints::around(const Report &progress) const
{
    if (!progress)
        return Report();
    return [this, progress](const QString &table, int done, int total) {
        std::fflush(stderr);
        dup2(terminal_, STDERR_FILENO);
        progress(table, done, total);
        std::fflush(stderr);
        dup2(fileno(capture_), STDERR_FILENO);
    };
}

} // namespace AccessImport
