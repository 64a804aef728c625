#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The one connection to the book file (ydconn). It stays open between
// queries: an idle SQLite handle holds no lock, so other programs may read
// and write the file meanwhile; a busy file is waited for a few seconds.
class BookConnection {
public:
    BookConnection();
    ~BookConnection();
    BookConnection(const BookConnection &) = delete;
    BookConnection &operator=(const BookConnection &) = delete;

    void setDatabaseFile(const QString &path);
    QString databaseFile() const { return file_; }

    // Checks the file, opens it and reads its catalogue, so a file that is no
    // database fails here; throws AppError with the engine's message.
    void open();
    void close();
    bool isOpen() const;

    // The open database; opens it first when it was closed.
    QSqlDatabase database();
    // Changes whenever the database is closed, so prepared statements of an
    // earlier opening are not used again.
    int generation() const { return generation_; }

    // Every statement run, as sent to the engine (the latest 10,000).
    int statementCount() const { return statementCount_; }
    const QStringList &recentStatements() const { return recent_; }
    void recordStatement(const QString &sql);
    void clearStatementLog();

private:
    QString name_;
    QString file_;
    int statementCount_ = 0;
    int generation_ = 0;
    QStringList recent_;
};

// The engine's own message of a failed statement or open.
QString engineMessage(const class QSqlError &error);
