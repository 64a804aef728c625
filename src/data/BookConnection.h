#pragma once

#include "common/AppError.h"
#include "common/Seam.h"
#include "data/Engines.h"
#include "data/BookFile.h"

#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <functional>

class QSqlError;

// The one connection to the book (ydconn). The book is an SQLite file, or a
// PostgreSQL database named by a server configuration file (*.conf). It
// stays open between queries: an idle SQLite handle holds no lock, so other
// programs may read and write the file meanwhile; a busy file is waited for
// a few seconds. A server connection found lost is closed with every
// statement prepared on it, and the next statement connects again.
class BookConnection {
public:
    BookConnection();
    ~BookConnection();
    BookConnection(const BookConnection &) = delete;
    BookConnection &operator=(const BookConnection &) = delete;

    void setDatabaseFile(const QString &path);
    // Opens a book file for reading only, as a terminal without write
    // rights to it has it (tests).
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    // How long a statement waits for a lock (another writer) before it
    // fails saying the book is busy; from the next opening on.
    void setLockTimeout(int milliseconds) { lockTimeout_ = milliseconds; }
    // How long the server may take over one statement before it cancels it;
    // from the next opening on. A server that does not answer at all is
    // left to the answer limit below.
    void setStatementTimeout(int milliseconds) { statementTimeout_ = milliseconds; }
    // How long a statement waits for a server's answer before the
    // connection is cut off and the statement fails: longer than the
    // statement timeout, so a server that is only slow cancels the statement
    // itself first; tests shorten it.
    void setAnswerLimit(int milliseconds) { answerLimit_ = milliseconds; }
    QString databaseFile() const { return file_; }
    // What the book's engine (file or server) needs said its own way.
    const BookEngine &engine() const { return Engines::forBook(file_); }

    // Checks the file, opens it and reads its catalogue, so a file that is no
    // database fails here; throws AppError with the engine's message.
    void open();
    void close();
    bool isOpen() const;

    // The open database; opens it first when it was closed.
    QSqlDatabase database();
    // The database as it is, neither checked nor opened.
    QSqlDatabase handle() const;
    // Changes whenever the database is closed, so prepared statements of an
    // earlier opening are not used again.
    int generation() const { return generation_; }

    // How many statements have run; each is shown to onStatement first, as
    // sent to the engine (nothing by default; tests and benchmarks watch).
    int statementCount() const { return statementCount_; }
    void recordStatement(const QString &sql);
    Seam<void(const QString &)> onStatement{[](const QString &) {}};

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
        int generation_ = 0;
    };

    // The error to raise for a failed statement. A server connection found
    // gone is closed at once (its statements dropped first) and reported
    // once; the next statement connects afresh.
    AppError failure(const QSqlError &error);

    // Watches the blocking calls of one statement while it lives (a server
    // book only): a server silent beyond the answer limit is cut off, the
    // call returns with an error and failure() says what happened. Make it
    // once the connection is open.
    class Watch {
    public:
        explicit Watch(BookConnection &connection);
        ~Watch() { connection_.endWatch(); }
        Watch(const Watch &) = delete;
        Watch &operator=(const Watch &) = delete;

    private:
        BookConnection &connection_;
    };

    // What keeps a prepared statement of this connection (a query).
    class StatementHolder {
    public:
        virtual void dropStatement() = 0;

    protected:
        ~StatementHolder() = default;
    };
    // Queries register here: their prepared statements are dropped before
    // the connection closes, since a statement must not outlive its driver.
    void attach(StatementHolder *query) { queries_.insert(query); }
    void detach(StatementHolder *query) { queries_.remove(query); }

private:
    BookEngine::Waits waits() const { return {lockTimeout_, statementTimeout_}; }
    void dropStatements();
    void removeDatabase();
    // Ends the watch of the statement before anything may close the socket.
    void endWatch();
    AppError cutOff() const;

    QString name_;
    QString file_;
    int statementCount_ = 0;
    int generation_ = 0;
    int readTransactions_ = 0;
    bool readOnly_ = false;
    int lockTimeout_ = BookFile::LockTimeoutMs;
    int statementTimeout_ = 30000;
    int answerLimit_ = 35000;
    quint64 watchTicket_ = 0; // 0: no statement watched
    bool cutOff_ = false;
    QSet<StatementHolder *> queries_;
};
