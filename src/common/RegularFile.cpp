#include "common/RegularFile.h"

#include <QFile>
#include <sys/stat.h>

namespace RegularFile {

bool check(const QString &path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

bool otherKind(const QString &path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISREG(info.st_mode);
}

QString refusal()
{
    return QStringLiteral("Not a regular file");
}

} // namespace RegularFile
