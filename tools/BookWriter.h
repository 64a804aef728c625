#pragma once

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

// Adds rows to a new book quickly (prepared statements, the caller's
// transaction).
class BookWriter {
public:
    explicit BookWriter(QSqlDatabase &db);

    void addChapter(int id, const QString &code, const QString &name, const QString &parentCode,
                    const QString &text, const QDateTime &when);
    void addArticle(const QString &code, const QString &title, const QString &chapterCode,
                    const QString &text, const QDateTime &when);

private:
    QSqlQuery chapter_;
    QSqlQuery article_;
};
