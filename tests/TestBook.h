#pragma once

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>
#include <QVariantList>
#include <memory>

// Direct SQL on a book file, beside the program's own connection.
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
class TestBook {
public:
    using Reader = SqlFile;
    // An empty book whose root is named bookName (no root row when empty).
    explicit TestBook(const QString &bookName = QStringLiteral("测试书"));
    ~TestBook();

    QString path() const { return path_; }
    QString folder() const { return dir_.path(); }

    void chapter(int id, const QString &code, const QString &name, const QString &parent,
                 const QVariant &text = QString(), const QString &when = QStringLiteral("2024-03-05 00:00:00"));
    void article(const QString &code, const QString &title, const QString &chapterCode,
                 const QVariant &text = QString(), const QString &when = QStringLiteral("2024-03-05 00:00:00"));
    void exec(const QString &sql, const QVariantList &values = {}) { file_->exec(sql, values); }
    QVariant scalar(const QString &sql, const QVariantList &values = {}) { return file_->scalar(sql, values); }

private:
    QTemporaryDir dir_;
    QString path_;
    std::unique_ptr<SqlFile> file_;
};

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
#include "common/MessageBoxes.h"
#include <QList>

class ScriptedBoxes {
public:
    explicit ScriptedBoxes(QMessageBox::StandardButton answer = QMessageBox::Ok);
    ~ScriptedBoxes();
    void answerNext(QMessageBox::StandardButton answer) { answers_ << answer; }
    QList<MessageBoxes::Request> shown;

private:
    QMessageBox::StandardButton defaultAnswer_;
    QList<QMessageBox::StandardButton> answers_;
    MessageBoxes::Handler previous_;
};
