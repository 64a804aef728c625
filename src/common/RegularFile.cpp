#include "common/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <QCoreApplication>

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
    return QCoreApplication::translate("RegularFile", "它不是普通文件");
}

QString whyNotOpened(const QString &path, const QFileDevice &file)
{
    if (path.isEmpty())
        return QCoreApplication::translate("RegularFile", "没有指定文件名");
    if (!QFileInfo::exists(path))
        return QCoreApplication::translate("RegularFile", "文件不存在");
    if (otherKind(path))
        return refusal();
    if (file.errorString() == QString::fromLocal8Bit(std::strerror(EACCES)))
        return QCoreApplication::translate("RegularFile", "没有读取它的权限");
    return file.errorString();
}

} // namespace RegularFile
