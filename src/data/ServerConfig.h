#pragma once

#include <QSqlDatabase>
#include <QString>

// Where a book kept on a PostgreSQL server lies: the [server] section of a
// terminal's data/ebook.conf, or a libpq connection URI
// (postgresql://user@host:port/database). The file never holds a password:
// it names a libpq password file, or the server lets the user in by peer or
// trust authentication.
struct ServerConfig {
    QString host;
    int port = 0; // 0: libpq's default
    QString database;
    QString user;
    QString passfile;
    QString sslmode;
    QString password; // from a URI only

    // Throws AppError naming the file when it cannot be read or is not a
    // valid configuration.
    static ServerConfig readFile(const QString &path);
    // Throws AppError when the text is no postgresql:// URI.
    static ServerConfig fromUri(const QString &uri);

    // Sets up a QPSQL connection (not opened) under the given name.
    QSqlDatabase addDatabase(const QString &connectionName) const;
    // "database（服务器 host:port）" for messages.
    QString describe() const;
};

// A server book is named by its configuration file, a book file by its path.
bool isServerConfigPath(const QString &path);
// Whether a book is named by a postgresql:// address.
bool isServerAddress(const QString &book);
// The book's name as a message shows it: a postgresql:// address with any
// password in it replaced by asterisks; any other name as it is.
QString shownBookName(const QString &book);
// The book a reader's places and bookmarks belong to: a book file by its
// path, a server's book by the server's address (user, host, port and
// database, never a password) rather than by the configuration file that
// names it, so that another file naming the same book finds them.
QString placesBookName(const QString &book, const QSqlDatabase &db);
