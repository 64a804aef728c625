#pragma once

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>
#include <QVariantList>
#include <memory>

// Direct SQL on a book file, beside the program's own connection. A path
// ending in ".conf" names a book on a PostgreSQL server; statements are then
// written as for SQLite and translated as the program translates its own.
class SqlFile {
public:
    explicit SqlFile(const QString &path);
    ~SqlFile();
    SqlFile(const SqlFile &) = delete;
    SqlFile &operator=(const SqlFile &) = delete;
    void exec(const QString &sql, const QVariantList &values = {});
    QVariant scalar(const QString &sql, const QVariantList &values = {});

private:
    QSqlDatabase db();
    QString path_;
    QString connection_;
};

// A real book file in a temporary folder, made by the schema the program
// ships, with helpers to add rows and read them back directly.
// With EBOOK_TEST_SERVER set (and the PG* variables of a server, as
// pg_virtualenv sets them) the book is pushed into a new database of that
// server and path() is the server configuration ebook.conf that names it:
// the same tests then run against PostgreSQL.
class TestBook {
public:
    using Reader = SqlFile;
    // An empty book whose root is named bookName (no root row when empty).
    explicit TestBook(const QString &bookName = QStringLiteral("测试书"));
    ~TestBook();

    QString path() const { return path_; }
    QString folder() const { return dir_.path(); }
    static bool onServer();

    void chapter(int id, const QString &code, const QString &name, const QString &parent,
                 const QVariant &text = QString(), const QString &when = QStringLiteral("2024-03-05 00:00:00"));
    void article(const QString &code, const QString &title, const QString &chapterCode,
                 const QVariant &text = QString(), const QString &when = QStringLiteral("2024-03-05 00:00:00"));
    void exec(const QString &sql, const QVariantList &values = {}) { file_->exec(sql, values); }
    QVariant scalar(const QString &sql, const QVariantList &values = {}) { return file_->scalar(sql, values); }

private:
    QTemporaryDir dir_;
    QString path_;
    QString serverUser_; // on a server: the user whose schema holds the book
    std::unique_ptr<SqlFile> file_;
};

// Each book on the test server (named by the PG* variables) gets a user of
// its own, whose schema (found first by the default search path) holds its
// tables: far quicker than a database per book. dropTestUser removes both.
// writeServerConfig writes an ebook.conf for that user (with a password
// file) into folder and returns its path.
QString createTestUser();
void dropTestUser(const QString &name);
QString writeServerConfig(const QString &folder, const QString &user,
                          const QString &password = qEnvironmentVariable("PGPASSWORD"));

// ebook-tool run as a program (the path comes from $EBOOK_TOOL).
#include <QProcessEnvironment>
struct ToolRun {
    int code; // -1 when it crashed
    QString out;
    QString err;
};
ToolRun runTool(const QStringList &args,
                const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment());

// Answers message boxes for the lifetime of the object and records them.
#include "widgets/MessageBoxes.h"
#include <QList>

class ScriptedBoxes {
public:
    explicit ScriptedBoxes(QMessageBox::StandardButton answer = QMessageBox::Ok);
    void answerNext(QMessageBox::StandardButton answer) { answers_ << answer; }
    QList<MessageBoxes::Request> shown;

private:
    QMessageBox::StandardButton defaultAnswer_;
    QList<QMessageBox::StandardButton> answers_;
    decltype(MessageBoxes::show)::Override answering_;
};
