#include "data/ServerEngine.h"

#include "common/TextHelpers.h"
#include "data/ChineseVariants.h"
#include "data/ServerConfig.h"
#include "data/ServerSql.h"

#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <dlfcn.h>
#include <QCoreApplication>

namespace {

// SQLSTATE classes and codes of a connection that is gone: connection
// exceptions, and the server shutting down or ending this session.
bool connectionGone(const QSqlError &error)
{
    const QString state = error.nativeErrorCode();
    return state.startsWith(QLatin1String("08")) || state == QLatin1String("57P01")
        || state == QLatin1String("57P02") || state == QLatin1String("57P03");
}

ServerConfig configOf(const QString &book)
{
    return isServerAddress(book) ? ServerConfig::fromUri(book) : ServerConfig::readFile(book);
}

QString cannotConnect(const ServerConfig &config, const QString &path, const QSqlDatabase &db)
{
    QString advice = QCoreApplication::translate("ServerEngine", "请检查网络和服务器后再试。");
    // libpq passes over a password file others may read, saying so on stderr only.
    const QFileInfo passfile(config.passfile);
    if (!config.passfile.isEmpty() && passfile.exists()
        && (passfile.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
                                      | QFile::WriteOther | QFile::ExeOther)))
        advice = QCoreApplication::translate("ServerEngine", "密码文件 '%1' 可被其他用户读取，libpq 因此不用它：请运行 chmod 600 '%1'。")
                     .arg(config.passfile);
    return QCoreApplication::translate("ServerEngine", "无法连接图书所在的数据库 %1（配置文件 '%2'）：%3。%4")
        .arg(config.describe(), shownBookName(path), engineMessage(db.lastError()), advice);
}

// Checks that both tables can be read; writes nothing.
void probeTables(QSqlDatabase &db, const ServerConfig &config, const QString &path)
{
    for (const char *table : {"ywzx_ywlb", "ywzx_ywnr"}) {
        QSqlQuery probe(db);
        if (probe.exec(QStringLiteral("select * from %1 where false").arg(QLatin1String(table))))
            continue;
        const QString message = engineMessage(probe.lastError());
        const bool denied = probe.lastError().nativeErrorCode() == QLatin1String("42501");
        probe = QSqlQuery();
        db.close();
        if (denied)
            throw AppError(AppError::Database,
                           QCoreApplication::translate("ServerEngine", "用户 %1 无权读取数据库 %2（配置文件 '%3'）中的表 %4：%5。"
                                          "请图书的管理者在服务器上运行 \"grant select on ywzx_ywlb, ywzx_ywnr to %1\"。")
                               .arg(config.user, config.describe(), shownBookName(path), QLatin1String(table), message));
        throw AppError(AppError::Database,
                       QCoreApplication::translate("ServerEngine", "配置文件 '%2' 所指的数据库 %1 中没有书：%3。"
                                      "请用 \"ebook-tool push 书库文件 postgresql://…\" 把书放到服务器上。")
                           .arg(config.describe(), shownBookName(path), message));
    }
}

// PostgreSQL names a column's type by its type oid.
ColumnKind kindOfServerType(int oid)
{
    switch (oid) {
    case 20: case 21: case 23: return ColumnKind::Integer;  // int8, int2, int4
    case 1042: case 1043: return ColumnKind::ShortText;     // char, varchar
    case 25: return ColumnKind::LongText;                   // text
    case 1082: case 1114: case 1184: return ColumnKind::DateTime;
    case 17: return ColumnKind::Blob;                       // bytea
    default: return ColumnKind::Other;
    }
}

// How a server book is searched: the folded copy of the texts that the
// server keeps (and indexes), and the index of each text's character pairs
// that serves two-character words; a book pushed by an earlier program has
// neither and folds each text as it compares it.
struct ServerSearch {
    QString column = QStringLiteral("ywnr");
    bool pairs = false;
    bool chars = false;
};

ServerSearch serverSearch(SearchedBook &book)
{
    ServerSearch search;
    // The catalogue itself: information_schema's views cost milliseconds.
    const QVariantList row = book.catalogueRow(QStringLiteral("select (select count(*) from pg_attribute where attrelid = to_regclass('ywzx_ywlb')"
                                                              " and attname = 'ywnr_folded' and not attisdropped) as folded,"
                                                              " (select count(*) from pg_class where oid = to_regclass('ywzx_ywlb_ywnr_pairs')) as pairs,"
                                                              " (select count(*) from pg_class where oid = to_regclass('ywzx_ywlb_ywnr_chars')) as chars"));
    if (row.value(0).toInt() == 1) {
        search.column = QStringLiteral("ywnr_folded");
        search.pairs = row.value(1).toInt() == 1;
        search.chars = row.value(2).toInt() == 1;
    }
    return search;
}

// The runs of the typed text between wildcards, by code point, ASCII
// letters folded as the server's copy has them.
QList<QList<char32_t>> literalRuns(const QString &text)
{
    QList<QList<char32_t>> runs{{}};
    for (char32_t c : text.toUcs4()) {
        if (c == '%' || c == '_')
            runs.append(QList<char32_t>());
        else
            runs.last() << (c < 0x80 ? char32_t(QChar(c).toLower().unicode()) : c);
    }
    return runs;
}

QString arrayLiteral(const QStringList &values)
{
    QStringList quoted;
    for (QString value : values)
        quoted << QLatin1Char('"') + value.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\""))
                      + QLatin1Char('"');
    return QLatin1Char('{') + quoted.join(QLatin1Char(',')) + QLatin1Char('}');
}

// The character pairs that narrow a server search when the trigram index
// cannot (no run of three characters), as a text[] literal; empty when
// none apply. A text holds every pair of each run; with variants, one of
// the variant pairs of the first pair.
QString serverPairs(const QString &text, bool variants)
{
    const QList<QList<char32_t>> runs = literalRuns(text);
    QStringList pairs;
    for (const QList<char32_t> &run : runs) {
        if (run.size() >= 3)
            return QString(); // the trigram index serves it
        if (run.size() == 2)
            pairs << QString::fromUcs4(run.constData(), 2);
    }
    if (!variants || pairs.isEmpty())
        return pairs.isEmpty() ? QString() : arrayLiteral(pairs);
    const QList<char32_t> first = literalRuns(pairs.first()).first();
    QStringList forms;
    for (char32_t a : ChineseVariants::variantsOf(first.at(0)))
        for (char32_t b : ChineseVariants::variantsOf(first.at(1)))
            forms << QString::fromUcs4(&a, 1) + QString::fromUcs4(&b, 1);
    return arrayLiteral(forms);
}

// Whether an index can serve the text: a run of two characters or more
// between wildcards (the pair index, or the trigram index from three).
bool indexable(const QString &text)
{
    for (const QList<char32_t> &run : literalRuns(text))
        if (run.size() >= 2)
            return true;
    return false;
}

// Whether the text is two characters and no wildcard: then a text holds it
// exactly when its pairs do, and the index of the pairs answers alone,
// without unpacking every text it finds (a common pair is in thousands).
bool onePair(const QString &text)
{
    const QList<QList<char32_t>> runs = literalRuns(text);
    return runs.size() == 1 && runs.first().size() == 2;
}

// The one character of a text of one character and no wildcard, folded as
// the server's copy has it; 0 for any other text.
char32_t oneCharacter(const QString &text)
{
    const QList<QList<char32_t>> runs = literalRuns(text);
    return runs.size() == 1 && runs.first().size() == 1 ? runs.first().first() : 0;
}

// One character, answered by the index of each text's characters alone;
// with variants, a text holding any form of it.
BookEngine::TextCondition oneCharacterCondition(char32_t c, bool variants)
{
    QStringList forms;
    for (char32_t form : variants ? ChineseVariants::variantsOf(c) : QList<char32_t>{c})
        forms << QString::fromUcs4(&form, 1);
    BookEngine::TextCondition condition;
    condition.where = QStringLiteral("where ebook_chars(ywnr_folded) && cast(:chars as text[])");
    condition.texts.append({QStringLiteral("chars"), arrayLiteral(forms)});
    return condition;
}

// A LIKE pattern as a PostgreSQL regular expression over the folded text,
// each character with variants as the bracket of its class.
QString variantsRegex(const QString &likeText)
{
    QString regex;
    for (char32_t c : likeText.toUcs4()) {
        if (c == '%') {
            regex += QLatin1String(".*");
        } else if (c == '_') {
            regex += QLatin1Char('.');
        } else if (c < 0x80) {
            const QChar ascii = QChar(c).toLower();
            if (!ascii.isLetterOrNumber())
                regex += QLatin1Char('\\');
            regex += ascii;
        } else {
            const QList<char32_t> forms = ChineseVariants::variantsOf(c);
            const QString chars = QString::fromUcs4(forms.constData(), forms.size());
            regex += forms.size() == 1 ? chars : QLatin1Char('[') + chars + QLatin1Char(']');
        }
    }
    return regex;
}

} // namespace

// The configuration is read afresh at each opening.
bool ServerEngine::reuses(const QSqlDatabase &) const
{
    return false;
}

// Logs in and checks that both tables can be read; writes nothing.
void ServerEngine::open(const QString &name, const QString &path, bool, const Waits &waits) const
{
    const ServerConfig config = configOf(path);
    QSqlDatabase db = config.addDatabase(name);
    db.setConnectOptions(db.connectOptions()
                         + QStringLiteral(";options='-c lock_timeout=%1 -c statement_timeout=%2'")
                               .arg(waits.lockTimeout).arg(waits.statementTimeout));
    if (!db.open())
        throw AppError(AppError::Database, cannotConnect(config, path, db));
    probeTables(db, config, path);
}

QSqlDatabase ServerEngine::openSnapshot(const QString &name, const QString &path) const
{
    QSqlDatabase db = configOf(path).addDatabase(name);
    if (!db.open())
        throw AppError(AppError::Database, engineMessage(db.lastError()));
    QSqlQuery begin(db);
    if (!begin.exec(QStringLiteral("begin isolation level repeatable read read only")))
        throw AppError(AppError::Database, engineMessage(begin.lastError()));
    return db;
}

// The driver marks a connection closed once libpq finds it broken.
AppError ServerEngine::failure(const QSqlError &error, const QString &message, const QString &, const Waits &waits,
                               bool stillOpen) const
{
    const QString state = error.nativeErrorCode();
    if (connectionGone(error) || !stillOpen)
        return AppError(AppError::ConnectionLost,
                        QCoreApplication::translate("ServerEngine", "与图书服务器的连接已断开（%1），刚才的操作没有完成。"
                                       "请再操作一次，程序会重新连接；若仍不成功，请检查网络或联系管理员。")
                            .arg(message));
    if (state == QLatin1String("23505"))
        return AppError(AppError::DuplicateCode, message);
    if (state == QLatin1String("57014"))
        return AppError(AppError::Busy,
                        QCoreApplication::translate("ServerEngine", "服务器在 %1 秒内没有完成这一操作，已把它取消，没有写入任何内容（%2）。"
                                       "请稍后再试；若一再发生，请联系管理员检查服务器和网络。")
                            .arg(QString::number(waits.statementTimeout / 1000.0), message));
    if (state == QLatin1String("55P03"))
        return busy(message, waits);
    if (state == QLatin1String("42501"))
        return AppError(AppError::Database,
                        QCoreApplication::translate("ServerEngine", "图书服务器拒绝了这一操作：登录所用的用户没有这样做的权限，没有写入任何内容（%1）。"
                                       "阅读终端只能阅读；要修改图书，请用管理图书的用户登录，或请图书的管理者授予权限。")
                            .arg(message));
    // A hot standby (or a read-only transaction) refuses every write.
    if (state == QLatin1String("25006"))
        return AppError(AppError::Database,
                        QCoreApplication::translate("ServerEngine",
                                                    "图书服务器拒绝了这一操作：它是只读的备用服务器，不能修改电子书，没有写入任何内容（%1）。"
                                                    "连接备用服务器的阅读终端只能阅读；要修改图书，请在连接主服务器的工作站上操作。")
                            .arg(message));
    return AppError(AppError::Database, QCoreApplication::translate("ServerEngine", "图书服务器上的操作失败，服务器报告：%1").arg(message));
}

// The book's writers take turns by a lock of both tables held to the
// transaction's end, as "begin immediate" does on a book file. Only a user
// who may change the tables can take it, and it leaves readers alone; the
// connection's lock timeout bounds the wait.
QStringList ServerEngine::beginWriting() const
{
    return {QStringLiteral("begin"), QStringLiteral("lock table ywzx_ywlb, ywzx_ywnr in share row exclusive mode")};
}

TranslatedSql ServerEngine::translated(const TranslatedSql &sqlite) const
{
    return toServerSql(sqlite);
}

QVariant ServerEngine::bindable(const QVariant &value) const
{
    return value.typeId() == QMetaType::QString ? QVariant(TextHelpers::validText(value.toString())) : value;
}

ColumnKind ServerEngine::columnKind(const QSqlQuery &, const QSqlRecord &record, int column) const
{
    return kindOfServerType(record.field(column).typeID());
}

QString ServerEngine::bytesOf(const QString &column) const
{
    return QStringLiteral("convert_to(%1, 'UTF8')").arg(column);
}

namespace {

// PQsocket from the libpq that the QPSQL driver loaded: the program does
// not link libpq itself (the reader on a book file never loads it). Asked
// for once an open server connection exists, so the driver is loaded.
using SocketFunction = int (*)(const void *);
SocketFunction libpqSocketFunction()
{
    static const SocketFunction found = [] {
        void *libpq = dlopen("libpq.so.5", RTLD_LAZY | RTLD_NOLOAD);
        return libpq ? reinterpret_cast<SocketFunction>(dlsym(libpq, "PQsocket")) : nullptr;
    }();
    return found;
}

} // namespace

int ServerEngine::watchedSocket(const QSqlDatabase &db) const
{
    if (!db.isOpen())
        return -1;
    const QVariant handle = db.driver()->handle();
    // QPSQL names it by libpq's struct (PGconn is a typedef of it).
    if (qstrcmp(handle.typeName(), "pg_conn*") != 0 && qstrcmp(handle.typeName(), "PGconn*") != 0)
        return -1;
    void *connection = *static_cast<void *const *>(handle.constData());
    const auto socketOf = libpqSocketFunction();
    return connection && socketOf ? socketOf(connection) : -1;
}

QString ServerEngine::integrityCheckSql() const
{
    return QString();
}

bool ServerEngine::keepsFullTextIndex() const
{
    return false;
}

BookEngine::TextCondition ServerEngine::textCondition(const QString &likeText, bool variants, SearchedBook &book) const
{
    TextCondition condition;
    const ServerSearch server = serverSearch(book);
    if (const char32_t c = oneCharacter(likeText); c && server.chars)
        return oneCharacterCondition(c, variants);
    const QString &column = server.column;
    const bool folded = column == QLatin1String("ywnr_folded");
    const QString pairs = server.pairs ? serverPairs(likeText, variants) : QString();
    // A few forms are each a LIKE that the trigram index serves; a regular
    // expression of character classes it serves poorly.
    QStringList forms = variants && folded ? ChineseVariants::forms(likeText, 32) : QStringList();
    if (const qsizetype typed = forms.indexOf(likeText); typed > 0)
        forms.move(typed, 0);
    if (!forms.isEmpty() && !indexable(likeText)) {
        // No index serves it: one pass over the texts, the typed form first.
        QStringList alternatives;
        for (qsizetype i = 0; i < forms.size(); ++i) {
            alternatives << QStringLiteral("ywnr_folded like :form%1").arg(i);
            condition.texts.append({QStringLiteral("form%1").arg(i), QLatin1Char('%') + forms.at(i) + QLatin1Char('%')});
        }
        condition.where = QStringLiteral("where (%1)").arg(alternatives.join(QStringLiteral(" or ")));
    } else if (!forms.isEmpty()) {
        // Each form is its own index scan, and a row found is checked against
        // that form alone: in one OR every row would be checked against each
        // form in turn, each time unpacking its whole text.
        QStringList arms;
        for (qsizetype i = 0; i < forms.size(); ++i) {
            const QString formPairs = server.pairs ? serverPairs(forms.at(i), false) : QString();
            if (!formPairs.isEmpty() && onePair(forms.at(i))) {
                arms << QStringLiteral("select ctid from ywzx_ywlb where ebook_pairs(ywnr_folded) @> cast(:pairs%1 as text[])").arg(i);
                condition.texts.append({QStringLiteral("pairs%1").arg(i), formPairs});
                continue;
            }
            QString arm = QStringLiteral("select ctid from ywzx_ywlb where ywnr_folded like :form%1").arg(i);
            condition.texts.append({QStringLiteral("form%1").arg(i), QLatin1Char('%') + forms.at(i) + QLatin1Char('%')});
            if (!formPairs.isEmpty()) {
                arm += QStringLiteral(" and ebook_pairs(ywnr_folded) @> cast(:pairs%1 as text[])").arg(i);
                condition.texts.append({QStringLiteral("pairs%1").arg(i), formPairs});
            }
            arms << arm;
        }
        condition.where = QStringLiteral("where ctid in (%1)").arg(arms.join(QStringLiteral(" union all ")));
        return condition;
    } else if (variants) {
        condition.where = folded ? QStringLiteral("where ywnr_folded ~ :pattern")
                                 : QStringLiteral("where translate(ywnr, 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz') ~ :pattern");
        condition.texts.append({QStringLiteral("pattern"), variantsRegex(likeText)});
    } else if (!pairs.isEmpty() && onePair(likeText)) {
        condition.where = QStringLiteral("where ebook_pairs(ywnr_folded) @> cast(:pairs as text[])");
        condition.texts.append({QStringLiteral("pairs"), pairs});
        return condition;
    } else {
        condition.where = QStringLiteral("where %1 like :pattern").arg(column);
        condition.texts.append({QStringLiteral("pattern"), QLatin1Char('%') + likeText + QLatin1Char('%')});
    }
    if (!pairs.isEmpty()) {
        condition.narrowing = QStringLiteral("ebook_pairs(ywnr_folded) %1 cast(:pairs as text[])")
                                  .arg(variants ? QStringLiteral("&&") : QStringLiteral("@>"));
        condition.texts.append({QStringLiteral("pairs"), pairs});
    }
    return condition;
}

QString ServerEngine::tableOrder() const
{
    return QStringLiteral("order by id, lbbh");
}

QString ServerEngine::rowKeyColumn() const
{
    return QStringLiteral("lbbh");
}

QString ServerEngine::keyFromText(const QString &operand) const
{
    return operand;
}
