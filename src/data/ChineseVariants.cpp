#include "data/ChineseVariants.h"

#include "common/AppError.h"

#include <QFile>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QStringList>
#include <QVariant>
#include <sqlite3.h>
#include <algorithm>

namespace ChineseVariants {

namespace {

struct Classes {
    QHash<char32_t, char32_t> first;            // character -> first of its class
    QHash<char32_t, QList<char32_t>> members;   // first -> the class
};

bool wide(char32_t c) { return c > 0xFFFF; }

// Lines "KEY<TAB>VALUE VALUE..." of both directions, joined into classes.
Classes load()
{
    QHash<char32_t, char32_t> parent;
    const auto root = [&](char32_t c) {
        while (parent.value(c, c) != c)
            c = parent.value(c);
        return c;
    };
    for (const char *name : {":/opencc/STCharacters.txt", ":/opencc/TSCharacters.txt"}) {
        QFile file{QString::fromLatin1(name)};
        if (!file.open(QIODevice::ReadOnly))
            throw AppError(AppError::Database, QStringLiteral("繁简字表 %1 无法读取").arg(QLatin1String(name)));
        for (const QByteArray &line : file.readAll().split('\n')) {
            const QList<uint> chars = QString::fromUtf8(line).remove(QLatin1Char('\t')).remove(QLatin1Char(' ')).toUcs4();
            for (qsizetype i = 1; i < chars.size(); ++i) {
                const char32_t a = root(chars.at(0)), b = root(chars.at(i));
                if (a != b && wide(a) == wide(b))
                    parent.insert(qMax(a, b), qMin(a, b));
            }
        }
    }
    Classes classes;
    for (auto it = parent.cbegin(); it != parent.cend(); ++it) {
        const char32_t r = root(it.key());
        classes.first.insert(it.key(), r);
        classes.first.insert(r, r);
    }
    for (auto it = classes.first.cbegin(); it != classes.first.cend(); ++it)
        classes.members[it.value()].append(it.key());
    for (QList<char32_t> &members : classes.members)
        std::sort(members.begin(), members.end());
    return classes;
}

const Classes &classes()
{
    static const Classes loaded = load();
    return loaded;
}

void foldedInSql(sqlite3_context *context, int, sqlite3_value **values)
{
    if (sqlite3_value_type(values[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(values[0]));
    const QByteArray out = folded(QString::fromUtf8(text, sqlite3_value_bytes(values[0]))).toUtf8();
    sqlite3_result_text(context, out.constData(), int(out.size()), SQLITE_TRANSIENT);
}

} // namespace

QList<char32_t> variantsOf(char32_t c)
{
    const Classes &all = classes();
    const auto found = all.first.constFind(c);
    return found == all.first.cend() ? QList<char32_t>{c} : all.members.value(*found);
}

QString folded(const QString &text)
{
    const Classes &all = classes();
    QString out;
    out.reserve(text.size());
    for (char32_t c : text.toUcs4()) {
        const char32_t first = all.first.value(c, c);
        out += QString::fromUcs4(&first, 1);
    }
    return out;
}

void addSqlFunction(const QSqlDatabase &db)
{
    const QVariant handle = db.driver()->handle();
    auto *sqlite = handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0
                       ? *static_cast<sqlite3 *const *>(handle.data()) : nullptr;
    if (!sqlite)
        return;
    classes(); // read before the first row
    sqlite3_create_function_v2(sqlite, "ebook_variants_folded", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               foldedInSql, nullptr, nullptr, nullptr);
}

} // namespace ChineseVariants
