#include "data/BookQuery.h"

#include "common/AppError.h"
#include "common/DateTimeText.h"
#include "data/BookConnection.h"
#include "data/BookSql.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QCoreApplication>

namespace {

const QString CrLf = QStringLiteral("\r\n");

QString noSuchField(const QString &query, const QString &column)
{
    return QCoreApplication::translate("BookQuery", "查询 %1 的结果中没有字段 '%2'。").arg(query, column);
}

} // namespace

BookQuery::BookQuery(BookConnection &connection, const QString &name)
    : connection_(connection), name_(name)
{
    connection_.attach(this);
}

BookQuery::~BookQuery()
{
    connection_.detach(this);
}

void BookQuery::dropStatement()
{
    prepared_.reset();
    preparedSql_.clear();
    preparedGeneration_ = -1;
}

void BookQuery::clearSql()
{
    close();
    lines_.clear();
    params_.clear();
}

void BookQuery::addLine(const QString &line)
{
    close();
    lines_ << line;
}

void BookQuery::setSql(const QStringList &lines)
{
    clearSql();
    lines_ = lines;
}

QString BookQuery::sqlText() const
{
    return lines_.isEmpty() ? QString() : lines_.join(CrLf) + CrLf;
}

void BookQuery::setText(const QString &name, const QString &value)
{
    params_.insert(name.toLower(), value.isNull() ? QString(QLatin1String("")) : value);
}

void BookQuery::setNull(const QString &name)
{
    params_.insert(name.toLower(), QVariant());
}

void BookQuery::setDateTime(const QString &name, const QDateTime &value)
{
    params_.insert(name.toLower(), value.isValid() ? QVariant(DateTimeText::storageText(value)) : QVariant());
}

void BookQuery::setInteger(const QString &name, qint32 value)
{
    params_.insert(name.toLower(), value);
}

void BookQuery::setBlob(const QString &name, const QByteArray &bytes)
{
    params_.insert(name.toLower(), bytes.isNull() ? QByteArray("") : bytes);
}

void BookQuery::open()
{
    run(true);
}

void BookQuery::execSql()
{
    run(false);
}

void BookQuery::close()
{
    open_ = false;
    columns_.clear();
    kinds_.clear();
    fields_.clear();
    rowCount_ = 0;
    current_ = 0;
}

void BookQuery::run(bool wantRows)
{
    close();
    const QString text = sqlText();
    const BookEngine &engine = connection_.engine();
    if (text != translatedFrom_ || &engine != translatedFor_) {
        translated_ = engine.translated(translateSql(text));
        translatedFrom_ = text;
        translatedFor_ = &engine;
    }
    const TranslatedSql &translated = translated_;
    connection_.recordStatement(translated.sql);
    connection_.database(); // connected first: connecting has a timeout of its own
    BookConnection::Watch watch(connection_);
    QSqlQuery &query = prepared(translated.sql);
    for (int i = 0; i < translated.parameters.size(); ++i)
        query.bindValue(i, engine.bindable(params_.value(translated.parameters.at(i).toLower())));
    if (!query.exec())
        throw connection_.failure(query.lastError());
    // Whatever happens below, the statement is reset so it holds no lock
    // (unless a lost connection took it away).
    struct Finish {
        std::unique_ptr<QSqlQuery> &q;
        ~Finish() { if (q) q->finish(); }
    } finish{prepared_};
    if (!wantRows)
        return;
    if (!query.isSelect())
        throw AppError(AppError::Database, QCoreApplication::translate("BookQuery", "查询 %1 的语句不返回记录。").arg(name_));
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i) {
        columns_ << record.fieldName(i);
        kinds_ << engine.columnKind(query, record, i);
    }
    const int width = record.count();
    while (query.next()) {
        for (int i = 0; i < width; ++i)
            fields_.append(query.value(i));
        ++rowCount_;
    }
    if (query.lastError().isValid())
        throw connection_.failure(query.lastError());
    open_ = true;
}

QSqlQuery &BookQuery::prepared(const QString &sql)
{
    QSqlDatabase db = connection_.database();
    if (prepared_ && preparedSql_ == sql && preparedGeneration_ == connection_.generation())
        return *prepared_;
    prepared_ = std::make_unique<QSqlQuery>(db);
    prepared_->setForwardOnly(true);
    preparedSql_.clear();
    if (!prepared_->prepare(sql)) {
        const QSqlError error = prepared_->lastError();
        dropStatement();
        throw connection_.failure(error);
    }
    preparedSql_ = sql;
    preparedGeneration_ = connection_.generation();
    return *prepared_;
}

void BookQuery::next()
{
    if (current_ < rowCount_)
        ++current_;
}

int BookQuery::columnIndex(const QString &column) const
{
    if (!open_)
        throw AppError(AppError::Database,
                       QCoreApplication::translate("BookQuery", "查询 %1 已关闭，无法进行这一操作。").arg(name_));
    for (int i = 0; i < columns_.size(); ++i)
        if (columns_.at(i).compare(column, Qt::CaseInsensitive) == 0)
            return i;
    throw AppError(AppError::Database, noSuchField(name_, column));
}

QVariant BookQuery::valueAt(qsizetype row, int column) const
{
    if (row < 0 || row >= rowCount_)
        return QVariant();
    return fields_.at(row * columns_.size() + column);
}

QString BookQuery::textAt(qsizetype row, int column) const
{
    const QVariant cell = valueAt(row, column);
    if (cell.isNull())
        return QString(QLatin1String(""));
    if (kinds_.at(column) == Kind::DateTime) {
        if (cell.typeId() == QMetaType::QDateTime)
            return DateTimeText::display(cell.toDateTime());
        const QDateTime stored = DateTimeText::fromStorageText(cell.toString());
        if (stored.isValid())
            return DateTimeText::display(stored);
    }
    if (cell.typeId() == QMetaType::QByteArray)
        return QString::fromUtf8(cell.toByteArray());
    return cell.toString();
}

int BookQuery::integerOf(int column) const
{
    const QVariant cell = value(column);
    if (cell.isNull())
        return 0;
    bool ok = false;
    const int number = cell.toInt(&ok);
    if (!ok)
        throw AppError(AppError::Conversion,
                       QCoreApplication::translate("BookQuery", "“%1”不是有效的整数。").arg(cell.toString()));
    return number;
}

QString BookQuery::fieldAsText(const QString &column) const
{
    return textOf(columnIndex(column));
}

QString BookQuery::fieldAsText(qsizetype row, const QString &column) const
{
    return textAt(row, columnIndex(column));
}

int BookQuery::fieldAsInteger(const QString &column) const
{
    return integerOf(columnIndex(column));
}

QByteArray BookQuery::fieldAsBytes(const QString &column) const
{
    const QVariant cell = value(columnIndex(column));
    if (cell.typeId() == QMetaType::QByteArray)
        return cell.toByteArray();
    return cell.toString().toUtf8();
}

bool BookQuery::fieldIsNull(const QString &column) const
{
    return value(columnIndex(column)).isNull();
}

int BookQuery::firstFieldAsInteger() const
{
    if (columns_.isEmpty())
        columnIndex(QString()); // reports the closed dataset
    return integerOf(0);
}

QString BookQuery::firstFieldAsText() const
{
    if (columns_.isEmpty())
        columnIndex(QString());
    return textOf(0);
}
