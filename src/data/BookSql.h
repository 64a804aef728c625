#pragma once

#include <QString>
#include <QStringList>

// Statements are written in the dialect of the book's original engine; this
// turns one into SQLite's. Literals in double quotes become single-quoted
// literals (so "lbbh" is never taken for the column), "delete * from" loses
// its star, and each named parameter ":name" becomes a "?" whose name is
// listed in order of appearance. Text inside literals, comments and quoted
// names is never touched. The other parameter forms ("?", ":1", "@name",
// "$name") are refused with an AppError.
struct TranslatedSql {
    QString sql;
    QStringList parameters;
};

TranslatedSql translateSql(const QString &statement);
