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
#include <string>
#include <vector>
#include <QCoreApplication>

namespace ChineseVariants {

namespace {

struct Classes {
    QHash<char32_t, char32_t> first;            // character -> first of its class
    QHash<char32_t, QList<char32_t>> members;   // first -> the class
};

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
            throw AppError(AppError::Database, QCoreApplication::translate("ChineseVariants", "繁简字表 %1 无法读取").arg(QLatin1String(name)));
        for (const QByteArray &line : file.readAll().split('\n')) {
            const QList<uint> chars = QString::fromUtf8(line).remove(QLatin1Char('\t')).remove(QLatin1Char(' ')).toUcs4();
            for (qsizetype i = 1; i < chars.size(); ++i) {
                const char32_t a = root(chars.at(0)), b = root(chars.at(i));
                if (a != b)
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

// The first of each character's class as a flat table over the Basic
// Multilingual Plane: the search folds every text it compares, so a hash
// look-up per character would cost more than the comparison.
const std::vector<char32_t> &bmpFirst()
{
    static const std::vector<char32_t> table = [] {
        std::vector<char32_t> t(0x10000);
        for (char32_t c = 0; c < 0x10000; ++c)
            t[c] = c;
        const Classes &all = classes();
        for (auto it = all.first.cbegin(); it != all.first.cend(); ++it)
            if (it.key() < 0x10000)
                t[it.key()] = it.value();
        return t;
    }();
    return table;
}

char32_t firstOf(char32_t c)
{
    return c < 0x10000 ? bmpFirst()[c] : classes().first.value(c, c);
}

void appendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// Folds the UTF-8 text as it is, without making a QString of it; a byte
// that starts no well-formed character is kept as it is.
void foldedInSql(sqlite3_context *context, int, sqlite3_value **values)
{
    if (sqlite3_value_type(values[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto *text = sqlite3_value_text(values[0]);
    const int size = sqlite3_value_bytes(values[0]);
    std::string out;
    out.reserve(size_t(size));
    for (int i = 0; i < size;) {
        const unsigned char b = text[i];
        int length = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > size) {
            out += char(b);
            ++i;
            continue;
        }
        char32_t c = length == 1 ? b : b & (0x7F >> length);
        for (int k = 1; k < length; ++k)
            c = (c << 6) | (text[i + k] & 0x3F);
        appendUtf8(out, firstOf(c));
        i += length;
    }
    sqlite3_result_text(context, out.data(), int(out.size()), SQLITE_TRANSIENT);
}

} // namespace

QList<char32_t> variantsOf(char32_t c)
{
    const Classes &all = classes();
    const auto found = all.first.constFind(c);
    return found == all.first.cend() ? QList<char32_t>{c} : all.members.value(*found);
}

char32_t foldedChar(char32_t c)
{
    return firstOf(c);
}

QString folded(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (char32_t c : text.toUcs4()) {
        const char32_t first = firstOf(c);
        if (first < 0x10000) {
            out += QChar(char16_t(first));
        } else {
            out += QChar(QChar::highSurrogate(first));
            out += QChar(QChar::lowSurrogate(first));
        }
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
    // The tables are read at the first fold (the search folds its own text
    // first), not at every opening of a book.
    sqlite3_create_function_v2(sqlite, "ebook_variants_folded", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               foldedInSql, nullptr, nullptr, nullptr);
}

QStringList forms(const QString &likeText, qsizetype most)
{
    QStringList forms{QString()};
    for (char32_t c : likeText.toUcs4()) {
        const QList<char32_t> variants = c == '%' || c == '_' ? QList<char32_t>{c} : variantsOf(c);
        if (forms.size() * variants.size() > most)
            return {};
        QStringList longer;
        for (const QString &form : forms)
            for (char32_t v : variants)
                longer << form + QString::fromUcs4(&v, 1);
        forms = longer;
    }
    return forms;
}

} // namespace ChineseVariants
