#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

// Reads a whole book, a file or a server book, for its check: one state of
// the book in one read-only transaction; writes nothing.
class BookScan {
public:
    // One row of either table. Texts come as their stored bytes, so text
    // that is no valid UTF-8 stays visible.
    struct Row {
        qint64 id = 0;
        QString code;   // lbbh of a chapter, nrbh of an article
        QString parent; // flbh of a chapter, lbbh of an article
        QByteArray name, text;
        QVariant date;
        QByteArray photo; // chapters only
    };
    using Visit = std::function<void(const Row &)>;

    // A book file, a server configuration file (*.conf) or a postgresql://
    // URL. Throws AppError when the book cannot be read.
    explicit BookScan(const QString &book);
    ~BookScan();
    BookScan(const BookScan &) = delete;
    BookScan &operator=(const BookScan &) = delete;

    // The engine's own check of the book's storage: its messages, empty
    // when sound (and on a server, which has none).
    QStringList integrityProblems();
    // Whether the file's full-text index holds exactly the texts; true without one.
    bool indexAgrees();
    // On a server book, what is wrong with the indexes of the texts that the
    // full-text search uses, one line each (none on a book file): an index
    // missing (a book pushed by an earlier program) or left invalid, or a
    // function of the index that no longer gives what the index was made by.
    QStringList serverIndexProblems();
    // Every row by id, then every article by id.
    void chapters(const Visit &visit);
    void articles(const Visit &visit);

private:
    void rows(const QString &sql, bool chapters, const Visit &visit);
    QString bytesOf(const QString &column) const;

    QString name_;
    const class BookEngine &engine_;
};
