#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <functional>

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
    // Called with every statement before it runs (tests).
    std::function<void(const QString &)> onStatement;

    // Statements run while one lives see one state of the book and share one
    // read lock instead of taking one each; it ends when the object goes, so
    // keep it around a bulk read only, never across user input. A writer
    // elsewhere waits meanwhile (busy timeout). Nested ones join the outer.
    class ReadTransaction {
    public:
        explicit ReadTransaction(BookConnection &connection);
        ~ReadTransaction();
        ReadTransaction(const ReadTransaction &) = delete;
        ReadTransaction &operator=(const ReadTransaction &) = delete;

    private:
        BookConnection &connection_;
        bool began_ = false;
    };

private:
    QString name_;
    QString file_;
    int statementCount_ = 0;
    int generation_ = 0;
    int readTransactions_ = 0;
    QStringList recent_;
};

// The engine's own message of a failed statement or open.
QString engineMessage(const class QSqlError &error);
