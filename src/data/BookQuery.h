#pragma once

#include "data/BookConnection.h"
#include "data/BookSql.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>

class QSqlQuery;

// A query on the book's connection. Callers close it, give it a statement
// line by line, set its named parameters, then open it (rows) or execute it.
// An opened query holds its whole result, so the file is not kept locked
// while the program reads the rows. Every failure throws AppError.
class BookQuery : private BookConnection::StatementHolder {
public:
    BookQuery(BookConnection &connection, const QString &name);
    ~BookQuery();

    const QString &name() const { return name_; }
    BookConnection &connection() const { return connection_; }

    // Statement
    void clearSql();
    void addLine(const QString &line);
    void setSql(const QStringList &lines);
    const QStringList &lines() const { return lines_; }
    // The lines joined by CR LF, with a CR LF after the last.
    QString sqlText() const;

    // Parameters, by name without the colon
    void setText(const QString &name, const QString &value);
    void setNull(const QString &name);
    void setDateTime(const QString &name, const QDateTime &value);
    void setInteger(const QString &name, qint32 value);
    void setBlob(const QString &name, const QByteArray &bytes);
    QVariant parameter(const QString &name) const { return params_.value(name.toLower()); }

    // Running
    void open();
    void execSql();
    void close();
    bool isOpen() const { return open_; }
    // Whether a statement stays prepared on the connection.
    bool holdsStatement() const { return bool(prepared_); }

    // Rows (of an open query; a closed one has none)
    bool isEmpty() const { return !open_ || rowCount_ == 0; }
    int recordCount() const { return open_ ? int(rowCount_) : 0; }
    void first() { current_ = 0; }
    void next();
    // Moves to the row at index (from 0); past the last is eof.
    void moveTo(qsizetype row) { current_ = qBound<qsizetype>(0, row, rowCount_); }
    bool eof() const { return !open_ || current_ >= rowCount_; }

    // Fields of the current row. A null, or any field of an empty result,
    // reads as empty text or 0. A date-time reads as DateTimeText::display.
    QString fieldAsText(const QString &column) const;
    // The same of any row, the current one staying.
    QString fieldAsText(qsizetype row, const QString &column) const;
    int fieldAsInteger(const QString &column) const;
    QByteArray fieldAsBytes(const QString &column) const;
    bool fieldIsNull(const QString &column) const;
    // The field as the engine gave it (a null stays null).
    QVariant fieldValue(const QString &column) const { return value(columnIndex(column)); }
    // The first field by position.
    int firstFieldAsInteger() const;
    QString firstFieldAsText() const;
    QStringList columnNames() const { return columns_; }

    using Kind = ColumnKind;

private:
    // Lets go of the prepared statement (before its connection closes).
    void dropStatement() override;
    void run(bool wantRows);
    QSqlQuery &prepared(const QString &sql);
    int columnIndex(const QString &column) const;
    QVariant value(int column) const { return valueAt(current_, column); }
    QVariant valueAt(qsizetype row, int column) const;
    QString textOf(int column) const { return textAt(current_, column); }
    QString textAt(qsizetype row, int column) const;
    int integerOf(int column) const;

    BookConnection &connection_;
    QString name_;
    QStringList lines_;
    QHash<QString, QVariant> params_;
    bool open_ = false;
    QStringList columns_;
    QVector<Kind> kinds_;
    // Row after row, columns_.size() fields each: one allocation for the
    // whole result instead of one per row.
    QVector<QVariant> fields_;
    qsizetype rowCount_ = 0;
    qsizetype current_ = 0;
    // The last statement stays prepared: the tree runs the same one for
    // every chapter it loads.
    std::unique_ptr<QSqlQuery> prepared_;
    QString preparedSql_;
    QString translatedFrom_; // the text whose translation `translated_` holds
    const BookEngine *translatedFor_ = nullptr;
    TranslatedSql translated_;
    int preparedGeneration_ = -1;
};
