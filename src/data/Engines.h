#pragma once

#include "data/BookEngine.h"

class QSqlDriver;

// The two engines a book may live in.
namespace Engines {

// A server configuration file (*.conf) or a postgresql:// address names a
// server book; any other path a book file.
const BookEngine &forBook(const QString &path);
// The engine a connection's driver speaks.
const BookEngine &forDriver(const QSqlDriver *driver);

} // namespace Engines
