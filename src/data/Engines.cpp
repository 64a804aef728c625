#include "data/Engines.h"

#include "data/FileEngine.h"
#include "data/ServerConfig.h"
#include "data/ServerEngine.h"

#include <QSqlDriver>

namespace Engines {
namespace {

const FileEngine &file()
{
    static const FileEngine engine;
    return engine;
}

const ServerEngine &server()
{
    static const ServerEngine engine;
    return engine;
}

} // namespace

const BookEngine &forBook(const QString &path)
{
    if (isServerAddress(path) || isServerConfigPath(path))
        return server();
    return file();
}

const BookEngine &forDriver(const QSqlDriver *driver)
{
    if (driver && driver->dbmsType() == QSqlDriver::SQLite)
        return file();
    return server();
}

} // namespace Engines
