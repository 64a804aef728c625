#pragma once

#include "common/AppError.h"
#include "data/BookSql.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <utility>

class QSqlDriver;
class QSqlError;
class QSqlQuery;
class QSqlRecord;

// What building a text condition may ask of the book it searches, each
// answer one row of a short statement (none for no row); a failing
// statement throws AppError. The caller answers on its own connection.
class SearchedBook {
public:
    using Texts = QList<std::pair<QString, QString>>;

    // Does the book hold an index: its catalogue asked.
    virtual QVariantList catalogueRow(const QString &sql, const Texts &texts = {}) = 0;
    // Does the phrase probe: the index itself asked.
    virtual QVariantList probeRow(const QString &sql, const Texts &texts = {}) = 0;

protected:
    ~SearchedBook() = default;
};

// The engine's own message of a failed statement or open (never empty).
QString engineMessage(const QSqlError &error);

// What a result column holds, as far as the program reads it.
enum class ColumnKind { Integer, ShortText, LongText, DateTime, Blob, Other };

// Everything that differs between a book file (SQLite) and a server book
// (PostgreSQL): how the book is opened and probed, how writers take turns,
// how statements, values and column types are spoken, and how the texts
// are searched. One object per engine (Engines.h); the rest of the program
// asks the book's engine instead of telling the two apart.
class BookEngine {
public:
    virtual ~BookEngine() = default;

    // How long a statement waits for another writer's lock, and (server)
    // how long the server may take over one statement.
    struct Waits {
        int lockTimeout = 0;
        int statementTimeout = 0;
    };

    // Whether an opening may reuse this connection as it is (else it is
    // removed, its statements first, and added afresh).
    virtual bool reuses(const QSqlDatabase &db) const = 0;
    // Opens the connection `name` (added, or reused when it is this
    // engine's) on the book, and reads its catalogue, so a book that cannot
    // be read fails here with an AppError worded for the user.
    virtual void open(const QString &name, const QString &path, bool readOnly, const Waits &waits) const = 0;
    // A connection of its own that reads one state of the whole book in a
    // read-only transaction, already begun (checks).
    virtual QSqlDatabase openSnapshot(const QString &name, const QString &path) const = 0;
    // The error to raise for a failed statement: the engine's own message
    // (`message`) worded for what the failure means. AppError::ConnectionLost
    // tells the caller to close the connection.
    virtual AppError failure(const QSqlError &error, const QString &message, const QString &path,
                             const Waits &waits, bool stillOpen) const = 0;

    // The statements that begin a write transaction holding the book's
    // writers' lock to its end; readers are not held up.
    virtual QStringList beginWriting() const = 0;
    // A statement already in SQLite's dialect, as this engine takes it.
    virtual TranslatedSql translated(const TranslatedSql &sqlite) const = 0;
    // A value as this engine must receive it bound: a text is made valid
    // (a lone surrogate becomes U+FFFD, no neighbour changes) and is stored
    // as the very characters, a leading U+FEFF or U+FFFE included.
    virtual QVariant bindable(const QVariant &value) const = 0;
    // The kind of a result column of an executed query (record: its columns).
    virtual ColumnKind columnKind(const QSqlQuery &query, const QSqlRecord &record, int column) const = 0;
    // An expression reading a text column's stored bytes, untouched.
    virtual QString bytesOf(const QString &column) const = 0;
    // The socket a statement on this connection waits on, watched so that a
    // server gone silent can be cut off (-1: nothing to watch).
    virtual int watchedSocket(const QSqlDatabase &db) const = 0;
    // The engine's own check of the book's storage (empty: none).
    virtual QString integrityCheckSql() const = 0;
    // Whether the book may carry the program's own full-text index (the
    // server keeps an index of its own).
    virtual bool keepsFullTextIndex() const = 0;

    // The search of the chapters' texts. `where` selects the rows whose text
    // holds the LIKE text; `narrowing` (may be empty) is ANDed after any
    // further condition of the caller; `texts` are the parameters to bind.
    struct TextCondition {
        QString where;
        QString narrowing;
        QList<std::pair<QString, QString>> texts;
    };
    virtual TextCondition textCondition(const QString &likeText, bool variants, SearchedBook &book) const = 0;
    // The chapters' table order.
    virtual QString tableOrder() const = 0;
    // The column that names one chapter row: SQLite's rowid, or on a server
    // book the code, unique there.
    virtual QString rowKeyColumn() const = 0;
    // That key taken from a bound or JSON text.
    virtual QString keyFromText(const QString &operand) const = 0;

protected:
    // Another writer held the book longer than a statement waits.
    static AppError busy(const QString &message, const Waits &waits);
};
