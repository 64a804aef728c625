#pragma once

#include "data/BookEngine.h"

// A book file: an SQLite database, opened with a busy timeout, written in
// "begin immediate" transactions, searched through the program's own
// full-text index where the book has one.
class FileEngine : public BookEngine {
public:
    bool reuses(const QSqlDatabase &db) const override;
    void open(const QString &name, const QString &path, bool readOnly, const Waits &waits) const override;
    QSqlDatabase openSnapshot(const QString &name, const QString &path) const override;
    AppError failure(const QSqlError &error, const QString &message, const QString &path, const Waits &waits,
                     bool stillOpen) const override;
    QStringList beginWriting() const override;
    TranslatedSql translated(const TranslatedSql &sqlite) const override;
    QVariant bindable(const QVariant &value) const override;
    ColumnKind columnKind(const QSqlQuery &query, const QSqlRecord &record, int column) const override;
    QString bytesOf(const QString &column) const override;
    int watchedSocket(const QSqlDatabase &db) const override;
    QString integrityCheckSql() const override;
    bool keepsFullTextIndex() const override;
    TextCondition textCondition(const QString &likeText, bool variants, SearchedBook &book) const override;
    QString tableOrder() const override;
    QString rowKeyColumn() const override;
    QString keyFromText(const QString &operand) const override;
};
