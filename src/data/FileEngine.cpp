#include "data/FileEngine.h"

#include "common/TextHelpers.h"
#include "data/BookFile.h"
#include "data/BookIndex.h"
#include "data/ChineseVariants.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlResult>

#include <sqlite3.h>
#include <QCoreApplication>

namespace {

// A save killed halfway leaves its journal beside the book ("hot"): the
// first program that may write the file rolls the save back; one that may
// only read cannot open the book until then.
bool stoppedByUnfinishedSave(const QString &message, const QString &path)
{
    const QFileInfo journal(path + QStringLiteral("-journal"));
    return message.contains(QLatin1String("readonly database")) && journal.exists() && journal.size() > 0;
}

QString fileMessage(const QString &message, const QString &path)
{
    if (stoppedByUnfinishedSave(message, path))
        return QCoreApplication::translate("FileEngine", "图书文件 '%1' 的上一次保存没有完成（留下了日志文件 '%2'），"
                              "要由可以写入该文件的人先把它撤销，本终端只能读取，无法打开（%3）。"
                              "请工作人员在有写入权限的工作站上启动一次本程序，之后本终端即可照常打开。")
            .arg(path, path + QStringLiteral("-journal"), message);
    return message;
}

// Runs a statement that must succeed on a book just opened; on failure the
// book is closed again and the error made by `failure` thrown.
void probe(QSqlDatabase &db, const QString &sql, const std::function<AppError(const QString &)> &failure)
{
    QSqlQuery query(db);
    if (query.exec(sql))
        return;
    const AppError error = failure(engineMessage(query.lastError()));
    query = QSqlQuery();
    db.close();
    throw error;
}

AppError plainFailure(const QString &message)
{
    return AppError(AppError::Database, message);
}

// The declared column type tells a date-time, a memo or a short text apart.
ColumnKind kindOfDeclaredType(const char *declared)
{
    const QString type = QString::fromUtf8(declared ? declared : "").toUpper();
    if (type.isEmpty())
        return ColumnKind::Other;
    if (type.contains(QLatin1String("INT")))
        return ColumnKind::Integer;
    if (type.contains(QLatin1String("DATE")) || type.contains(QLatin1String("TIME")))
        return ColumnKind::DateTime;
    if (type.contains(QLatin1String("BLOB")) || type.contains(QLatin1String("OLE")))
        return ColumnKind::Blob;
    if (type.contains(QLatin1String("CHAR")))
        return ColumnKind::ShortText;
    if (type.contains(QLatin1String("TEXT")) || type.contains(QLatin1String("MEMO"))
        || type.contains(QLatin1String("CLOB")))
        return ColumnKind::LongText;
    return ColumnKind::Other;
}

sqlite3_stmt *statementHandle(const QSqlQuery &query)
{
    const QVariant handle = query.result() ? query.result()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3_stmt*") != 0)
        return nullptr;
    return *static_cast<sqlite3_stmt *const *>(handle.constData());
}

// The index answers only when both its tables are there and can be read
// and it finds the first chapter by the start of its text: a missing or
// damaged one leaves the search to the scan, with the same result. Costs
// one catalogue read, one row and two lookups.
bool bookHasIndex(SearchedBook &book, const QString &phrase)
{
    const QVariantList presence = book.catalogueRow(BookIndex::presenceSql());
    if (presence.value(0).toInt() != 3)
        return false;
    // The previous version's index has no prefixes of one character: a
    // character in most texts would cost it more than the scan.
    if (BookIndex::isCharacterQuery(phrase) && presence.value(1).toInt() == 0)
        return false;
    try {
        book.probeRow(BookIndex::healthSql(), {{QStringLiteral("phrase"), phrase}});
        const QVariantList sample = book.probeRow(BookIndex::samplesSql(1));
        const QString probe = BookIndex::probeQuery(sample.value(1).toString());
        return probe.isEmpty()
            || book.probeRow(BookIndex::findsChapterSql(), {{QStringLiteral("code"), sample.value(0).toString()},
                                                            {QStringLiteral("probe"), probe}})
                       .value(0).toInt() == 1;
    } catch (const AppError &) {
        return false;
    }
}

} // namespace

bool FileEngine::reuses(const QSqlDatabase &db) const
{
    return db.driverName() == QLatin1String("QSQLITE");
}

void FileEngine::open(const QString &name, const QString &path, bool readOnly, const Waits &waits) const
{
    // Checked first: the driver would create a missing file.
    BookFile::verify(path);
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false)
                                                   : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    const QString busy = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(waits.lockTimeout);
    db.setConnectOptions(readOnly ? busy + QStringLiteral(";QSQLITE_OPEN_READONLY") : busy);
    if (!db.open())
        throw AppError(AppError::Database,
                       QCoreApplication::translate("FileEngine", "无法打开图书文件 '%1'，数据库报告：%2").arg(path, engineMessage(db.lastError())));
    probe(db, QStringLiteral("select count(*) from sqlite_master"),
          [&](const QString &message) { return AppError(AppError::Database, fileMessage(message, path)); });
    // 繁简通查's folding, for the searches of this connection.
    ChineseVariants::addSqlFunction(db);
}

QSqlDatabase FileEngine::openSnapshot(const QString &name, const QString &path) const
{
    BookFile::verify(path);
    QSqlDatabase db = BookFile::addReadOnly(path, name);
    if (!db.open())
        throw AppError(AppError::Database, engineMessage(db.lastError()));
    probe(db, QStringLiteral("begin"), plainFailure);
    // The first read: a read-only connection cannot roll back a crashed save.
    probe(db, QStringLiteral("select count(*) from sqlite_master"), [&](const QString &message) {
        if (!stoppedByUnfinishedSave(message, path))
            return plainFailure(message);
        return AppError(AppError::UnfinishedSave,
                        QCoreApplication::translate("FileEngine", "图书文件 '%1' 的上一次保存没有完成（留下了日志文件 '%2'），"
                                       "只读打开时不能撤销它，因此无法读取（%3）")
                            .arg(path, path + QStringLiteral("-journal"), message));
    });
    return db;
}

AppError FileEngine::failure(const QSqlError &, const QString &message, const QString &path, const Waits &waits,
                             bool) const
{
    // The full-text index's triggers run with every save of a chapter.
    if (message.contains(QLatin1String("fts"), Qt::CaseInsensitive))
        return AppError(AppError::Database,
                        QCoreApplication::translate("FileEngine", "图书的全文索引已损坏（%1），这一操作没有完成，没有写入任何内容。"
                                       "请工作人员运行 \"ebook-tool index --check %2\" 修复索引后再试。")
                            .arg(message, path));
    if (message.contains(QLatin1String("database is locked")))
        return busy(message, waits);
    const QString worded = fileMessage(message, path);
    return AppError(AppError::Database,
                    worded != message ? worded : QCoreApplication::translate("FileEngine", "图书文件的操作失败，数据库报告：%1").arg(message));
}

QStringList FileEngine::beginWriting() const
{
    return {QStringLiteral("begin immediate")};
}

TranslatedSql FileEngine::translated(const TranslatedSql &sqlite) const
{
    return sqlite;
}

// Qt hands a text to SQLite as UTF-16, whose leading U+FEFF or U+FFFE
// SQLite takes for a byte-order mark (dropped, or the rest read
// byte-swapped); the machine's own mark in front, which SQLite removes,
// keeps the character, stored as UTF-8 like every other.
QVariant FileEngine::bindable(const QVariant &value) const
{
    if (value.typeId() != QMetaType::QString)
        return value;
    QString text = TextHelpers::validText(value.toString());
    if (text.startsWith(QChar::ByteOrderMark) || text.startsWith(QChar::ByteOrderSwapped))
        text.prepend(QChar::ByteOrderMark);
    return text;
}

ColumnKind FileEngine::columnKind(const QSqlQuery &query, const QSqlRecord &, int column) const
{
    sqlite3_stmt *handle = statementHandle(query);
    return kindOfDeclaredType(handle ? sqlite3_column_decltype(handle, column) : nullptr);
}

QString FileEngine::bytesOf(const QString &column) const
{
    return QStringLiteral("cast(%1 as blob)").arg(column);
}

// A book file answers or reports a busy file itself.
int FileEngine::watchedSocket(const QSqlDatabase &) const
{
    return -1;
}

QString FileEngine::integrityCheckSql() const
{
    return QStringLiteral("pragma integrity_check");
}

bool FileEngine::keepsFullTextIndex() const
{
    return true;
}

BookEngine::TextCondition FileEngine::textCondition(const QString &likeText, bool variants, SearchedBook &book) const
{
    TextCondition condition;
    const QString phrase = BookIndex::matchQuery(likeText, variants);
    const bool indexed = !phrase.isEmpty() && bookHasIndex(book, phrase);
    // Two or three LIKEs cost less than folding every text. The typed form
    // first: a text that holds it is checked once.
    QStringList forms = variants ? ChineseVariants::forms(likeText, 4) : QStringList();
    if (const qsizetype typed = forms.indexOf(likeText); typed > 0)
        forms.move(typed, 0);
    QString textTest;
    if (!forms.isEmpty()) {
        QStringList alternatives;
        for (qsizetype i = 0; i < forms.size(); ++i) {
            alternatives << QStringLiteral("ywnr like :form%1").arg(i);
            condition.texts.append({QStringLiteral("form%1").arg(i), QLatin1Char('%') + forms.at(i) + QLatin1Char('%')});
        }
        textTest = QStringLiteral("(%1)").arg(alternatives.join(QStringLiteral(" or ")));
    } else if (variants) {
        textTest = QStringLiteral("ebook_variants_folded(ywnr) like :pattern");
        condition.texts.append({QStringLiteral("pattern"), QLatin1Char('%') + ChineseVariants::folded(likeText) + QLatin1Char('%')});
    } else {
        textTest = QStringLiteral("ywnr like :pattern");
        condition.texts.append({QStringLiteral("pattern"), QLatin1Char('%') + likeText + QLatin1Char('%')});
    }
    // The index's word for a sole chapter is final: its text is not read.
    if (indexed && BookIndex::exactForASoleChapter(likeText))
        textTest = QStringLiteral("(%1 or %2)").arg(BookIndex::soleChapterOfItsCode(), textTest);
    condition.where = QStringLiteral("where ") + textTest;
    if (indexed) {
        condition.narrowing = BookIndex::candidateCondition();
        condition.texts.append({QStringLiteral("phrase"), phrase});
    }
    return condition;
}

QString FileEngine::tableOrder() const
{
    return QStringLiteral("order by rowid");
}

QString FileEngine::rowKeyColumn() const
{
    return QStringLiteral("rowid");
}

QString FileEngine::keyFromText(const QString &operand) const
{
    return QStringLiteral("cast(%1 as integer)").arg(operand);
}
