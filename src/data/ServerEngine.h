#pragma once

#include "data/BookEngine.h"

// A server book: two tables in a PostgreSQL database named by a server
// configuration file (or a postgresql:// address, for the tools). Writers
// take turns by a table lock; the server keeps an ASCII-folded copy of the
// texts with its own trigram and character-pair indexes.
class ServerEngine : public BookEngine {
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
