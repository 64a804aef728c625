#include "data/ServerConfig.h"

#include "common/AppError.h"
#include "common/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QUrl>
#include <QUrlQuery>
#include <QCoreApplication>

namespace {

const QStringList KnownKeys = {QStringLiteral("host"), QStringLiteral("port"), QStringLiteral("database"),
                               QStringLiteral("user"), QStringLiteral("passfile"), QStringLiteral("sslmode")};
const QStringList RequiredKeys = {QStringLiteral("host"), QStringLiteral("port"), QStringLiteral("database"),
                                  QStringLiteral("user")};
const QStringList SslModes = {QStringLiteral("disable"), QStringLiteral("allow"), QStringLiteral("prefer"),
                              QStringLiteral("require"), QStringLiteral("verify-ca"), QStringLiteral("verify-full")};

AppError configError(const QString &path, const QString &problem)
{
    return AppError(AppError::ServerSetup,
                    QCoreApplication::translate("ServerConfig", "服务器配置文件 '%1' 有误：%2。").arg(path, problem));
}

int portNumber(const QString &text, bool *ok)
{
    const int port = text.trimmed().toInt(ok);
    *ok = *ok && port > 0 && port < 65536;
    return port;
}

// QSettings accepts almost anything; a line that is neither a section, a
// key = value pair, a comment nor blank is a mistake worth reporting.
void checkLines(const QString &path, const QByteArray &bytes)
{
    static const QRegularExpression section(QStringLiteral(R"(^\s*\[[^\]]+\]\s*$)"));
    static const QRegularExpression pair(QStringLiteral(R"(^\s*[A-Za-z_]+\s*=.*$)"));
    const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (!section.match(line).hasMatch() && !pair.match(line).hasMatch())
            throw configError(path, QCoreApplication::translate("ServerConfig", "第 %1 行不是“键 = 值”的形式").arg(i + 1));
    }
}

// A value of a libpq connection string, quoted so blanks survive.
QString conninfoValue(QString value)
{
    value.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    value.replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + value + QLatin1Char('\'');
}

} // namespace

bool isServerConfigPath(const QString &path)
{
    return path.endsWith(QLatin1String(".conf"), Qt::CaseInsensitive);
}

bool isServerAddress(const QString &book)
{
    return book.startsWith(QLatin1String("postgresql://")) || book.startsWith(QLatin1String("postgres://"));
}

// Masks from the user's colon to the last "@" before the query: a password
// holding "@" or "/" is masked whole, whether or not the address parses.
QString shownBookName(const QString &book)
{
    if (!isServerAddress(book))
        return book;
    const QString mask = QStringLiteral("******");
    QString shown = book;
    const qsizetype start = book.indexOf(QLatin1String("://")) + 3;
    qsizetype end = book.indexOf(QLatin1Char('?'), start);
    if (end < 0)
        end = book.size();
    const qsizetype at = book.lastIndexOf(QLatin1Char('@'), end - 1);
    const qsizetype colon = book.indexOf(QLatin1Char(':'), start);
    if (at > start && colon >= 0 && colon < at)
        shown.replace(colon + 1, at - colon - 1, mask);
    static const QRegularExpression inQuery(QStringLiteral("([?&]password=)[^&#]*"),
                                            QRegularExpression::CaseInsensitiveOption);
    return shown.replace(inQuery, QStringLiteral("\\1") + mask);
}

ServerConfig ServerConfig::readFile(const QString &path)
{
    const auto cannotRead = [&](const QString &reason) {
        return AppError(AppError::ServerSetup,
                        QCoreApplication::translate("ServerConfig", "无法读取服务器配置文件 '%1'：%2。").arg(path, reason));
    };
    if (RegularFile::otherKind(path))
        throw cannotRead(RegularFile::refusal());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw cannotRead(RegularFile::whyNotOpened(path, file));
    checkLines(path, file.readAll());
    QSettings ini(path, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError)
        throw configError(path, QCoreApplication::translate("ServerConfig", "它不是 INI 格式的文件"));
    if (!ini.childGroups().contains(QStringLiteral("server")))
        throw configError(path, QCoreApplication::translate("ServerConfig", "其中没有 [server] 一节"));
    for (const QString &group : ini.childGroups())
        if (group != QLatin1String("server"))
            throw configError(path, QCoreApplication::translate("ServerConfig", "不认识的一节 [%1]，只读取 [server] 一节").arg(group));
    if (!ini.childKeys().isEmpty())
        throw configError(path, QCoreApplication::translate("ServerConfig", "键 \"%1\" 不在 [server] 一节之内")
                                    .arg(ini.childKeys().first()));
    ini.beginGroup(QStringLiteral("server"));
    for (const QString &key : ini.childKeys()) {
        if (key.compare(QLatin1String("password"), Qt::CaseInsensitive) == 0)
            throw configError(path, QCoreApplication::translate("ServerConfig", "其中写有密码；请把密码放进密码文件，用 passfile 指明"));
        if (!KnownKeys.contains(key))
            throw configError(path, QCoreApplication::translate("ServerConfig", "不认识的键 \"%1\"").arg(key));
    }
    for (const QString &key : RequiredKeys)
        if (ini.value(key).toString().trimmed().isEmpty())
            throw configError(path, QCoreApplication::translate("ServerConfig", "缺少键 \"%1\"").arg(key));
    ServerConfig config;
    config.host = ini.value(QStringLiteral("host")).toString().trimmed();
    bool ok = false;
    config.port = portNumber(ini.value(QStringLiteral("port")).toString(), &ok);
    if (!ok)
        throw configError(path, QCoreApplication::translate("ServerConfig", "端口 \"%1\" 不是有效的端口号")
                                    .arg(ini.value(QStringLiteral("port")).toString()));
    config.database = ini.value(QStringLiteral("database")).toString().trimmed();
    config.user = ini.value(QStringLiteral("user")).toString().trimmed();
    config.passfile = ini.value(QStringLiteral("passfile")).toString().trimmed();
    if (!config.passfile.isEmpty() && QFileInfo(config.passfile).isRelative())
        config.passfile = QFileInfo(path).dir().absoluteFilePath(config.passfile);
    config.sslmode = ini.value(QStringLiteral("sslmode")).toString().trimmed();
    if (!config.sslmode.isEmpty() && !SslModes.contains(config.sslmode))
        throw configError(path, QCoreApplication::translate("ServerConfig", "不认识的 sslmode \"%1\"").arg(config.sslmode));
    return config;
}

ServerConfig ServerConfig::fromUri(const QString &uri)
{
    const QUrl url(uri, QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != QLatin1String("postgresql") && url.scheme() != QLatin1String("postgres")))
        throw AppError(AppError::ServerSetup,
                       QStringLiteral("'%1' is no server address like postgresql://user@host:port/database")
                           .arg(shownBookName(uri)));
    ServerConfig config;
    config.host = url.host();
    config.port = url.port(0);
    config.database = url.path().mid(1);
    config.user = url.userName();
    config.password = url.password();
    const QUrlQuery query(url);
    config.sslmode = query.queryItemValue(QStringLiteral("sslmode"));
    config.passfile = query.queryItemValue(QStringLiteral("passfile"));
    if (config.database.isEmpty())
        throw AppError(AppError::ServerSetup, QStringLiteral("'%1' names no database").arg(shownBookName(uri)));
    return config;
}

QSqlDatabase ServerConfig::addDatabase(const QString &connectionName) const
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    if (!db.isValid())
        throw AppError(AppError::Database,
                       QCoreApplication::translate("ServerConfig", "未安装 PostgreSQL 数据库驱动（QPSQL），无法打开服务器上的书。"
                                      "请安装 libqt6sql6-psql。"));
    db.setHostName(host);
    if (port > 0)
        db.setPort(port);
    db.setDatabaseName(database);
    db.setUserName(user);
    if (!password.isEmpty())
        db.setPassword(password);
    // A silent network ends a connection within about 30 seconds: probes
    // after 10 s idle, three more 5 s apart, and sent data unacknowledged
    // for 30 s.
    QStringList options = {QStringLiteral("connect_timeout=10"),
                           QStringLiteral("application_name=ebook-reader"),
                           QStringLiteral("keepalives=1"),
                           QStringLiteral("keepalives_idle=10"),
                           QStringLiteral("keepalives_interval=5"),
                           QStringLiteral("keepalives_count=3"),
                           QStringLiteral("tcp_user_timeout=30000")};
    if (!passfile.isEmpty())
        options << QStringLiteral("passfile=%1").arg(conninfoValue(passfile));
    if (!sslmode.isEmpty())
        options << QStringLiteral("sslmode=%1").arg(sslmode);
    db.setConnectOptions(options.join(QLatin1Char(';')));
    return db;
}

QString ServerConfig::describe() const
{
    return QCoreApplication::translate("ServerConfig", "%1（服务器 %2:%3）")
        .arg(database, host.isEmpty() ? QStringLiteral("localhost") : host,
             port > 0 ? QString::number(port) : QStringLiteral("5432"));
}

QString placesBookName(const QString &book, const QSqlDatabase &db)
{
    if (!isServerConfigPath(book))
        return shownBookName(book);
    return QStringLiteral("postgresql://%1@%2:%3/%4")
        .arg(db.userName(), db.hostName().isEmpty() ? QStringLiteral("localhost") : db.hostName(),
             QString::number(db.port() > 0 ? db.port() : 5432), db.databaseName());
}
