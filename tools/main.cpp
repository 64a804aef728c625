// ebook-tool: makes book files for the reading room.
#include "AccessImport.h"
#include "BookCheck.h"
#include "DemoBook.h"
#include "Generator.h"
#include "common/AppError.h"
#include "bookcare/BookBackup.h"
#include "common/Language.h"
#include "data/BookConnection.h"
#include "data/BookTransaction.h"
#include "bookcare/BookIndexUpkeep.h"
#include "bookcare/BookSchema.h"
#include "bookcare/TemporaryFiles.h"
#include "bookcare/ServerBook.h"

#include <QCoreApplication>
#include <QHash>
#include <QSqlDatabase>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <unistd.h>

namespace {

// The usage in the tool's language.
const char *const Usage = QT_TRANSLATE_NOOP("main",
    "用法：ebook-tool create 文件 \"书名\"       新建一本空书\n"
    "      ebook-tool demo 文件                 写出示例书（唐诗宋词）\n"
    "      ebook-tool generate 文件 [--chapters N] [--fanout F] [--articles M]\n"
    "                 [--text-bytes B] [--word W --word-percent P] [--chain 文本文件] [--no-breaks]\n"
    "                                           写出一本供性能测试用的大书\n"
    "      ebook-tool import ACCESS文件 书库     把 Access 文件中的书转过来\n"
    "      ebook-tool push 书库 URL [--replace] 把书库文件复制到一个空的 PostgreSQL 数据库\n"
    "      ebook-tool pull URL 书库             从 PostgreSQL 数据库写出一个新的书库文件\n"
    "      （URL：postgresql://用户@主机:端口/数据库）\n"
    "      ebook-tool [命令] --help | -h        显示本说明\n"
    "      ebook-tool index [--drop | --check] 书库\n"
    "                                           建立、删除或检查全文索引\n"
    "      ebook-tool backup 书库 目标          为使用中的书库文件做一份一致的副本\n"
    "                                           （先写在目标旁边，从不覆盖目标）\n"
    "      ebook-tool check 书库|URL            报告书中不妥之处；什么也不改\n"
    "                                           （退出码 0 完好，1 发现问题，2 书无法读取，\n"
    "                                           3 未检查：须先撤销未完成的保存）\n"
    "      任何命令都可加 --lang en|zh 选择语言。\n"
    "create、demo、generate 和 import 会写出全文索引，除非给出 --no-index。\n");

int fail(const QString &message)
{
    std::fprintf(stderr, "ebook-tool: %s\n", message.toUtf8().constData());
    return 1;
}

int usage()
{
    std::fputs(qPrintable(QCoreApplication::translate("main", Usage)), stderr);
    return 2;
}

// The commands' operands (files, names, URLs) and options; generate's options take a value.
// A command missing here takes no option.
struct Syntax {
    const char *command;
    int operands;
    QStringList options;
    bool valued;
};
const Syntax Syntaxes[] = {
    {"create", 2, {}, false}, {"demo", 1, {}, false}, {"import", 2, {}, false}, {"pull", 2, {}, false},
    {"push", 2, {"--replace"}, false}, {"index", 1, {"--drop", "--check"}, false},
    {"generate", 1, {"--chapters", "--fanout", "--articles", "--text-bytes", "--word", "--word-percent", "--chain"}, true},
};

// The command line as the commands read it: the command, its operands, then its options
// (with their values). Nothing when a word that starts with "-" is no option of the command
// (an operand never is one) or the operands are not as many as the command takes.
std::optional<QStringList> sorted(const QStringList &args)
{
    const auto known = std::find_if(std::begin(Syntaxes), std::end(Syntaxes),
                                    [&](const Syntax &s) { return args.value(0) == QLatin1String(s.command); });
    const Syntax syntax = known == std::end(Syntaxes) ? Syntax{"", -1, {}, false} : *known;
    QStringList operands, options;
    for (int i = 1; i < args.size(); ++i) {
        const QString &word = args.at(i);
        if (!word.startsWith(QLatin1Char('-'))) {
            operands << word;
        } else if (syntax.options.contains(word)) {
            options << args.mid(i, syntax.valued ? 2 : 1);
            i += syntax.valued;
        } else {
            fail(QCoreApplication::translate("main", "不认识的选项 '%1'").arg(word));
            return std::nullopt;
        }
    }
    if (syntax.operands >= 0 && operands.size() != syntax.operands)
        return std::nullopt;
    return QStringList(args.value(0)) + operands + options;
}

void say(const QString &message)
{
    std::printf("%s\n", message.toUtf8().constData());
}

int backup(const QStringList &args)
{
    try {
        const qint64 size = BookBackup::write(args.at(1), args.at(2));
        say(QCoreApplication::translate("main", "已备份：%1 → %2（%3 字节）").arg(args.at(1), args.at(2)).arg(size));
        return 0;
    } catch (const AppError &error) {
        if (error.kind() == QLatin1String(BookBackup::Busy))
            return fail(QCoreApplication::translate("main", "%1 正有人保存，等待后仍未结束，没有备份；请稍后再试").arg(args.at(1)));
        if (error.kind() == QLatin1String(BookBackup::Exists))
            return fail(QCoreApplication::translate("main", "%1 已存在，不会覆盖；请另选备份文件名").arg(args.at(2)));
        return fail(QCoreApplication::translate("main", "无法备份 %1：%2").arg(args.at(1), error.message()));
    }
}

int check(const QString &book)
{
    try {
        const BookCheck::Result result = BookCheck::run(book);
        for (const QString &line : result.lines)
            say(line);
        say(BookCheck::summary(result));
        return result.problems == 0 ? 0 : 1;
    } catch (const AppError &error) {
        if (error.kind() == QLatin1String(AppError::UnfinishedSave)) {
            fail(QCoreApplication::translate("main", "没有检查 %1：%2。这不说明书有问题。"
                                "请由可以写入该文件的用户运行一次 \"ebook-tool backup %1 备份文件\""
                                "（先撤销这次保存，再写出备份），或在可以写入它的工作站上启动一次阅读程序，然后再检查。")
                     .arg(book, error.message()));
            return 3;
        }
        fail(QCoreApplication::translate("main", "无法读取 %1：%2").arg(shownBookName(book), error.message()));
        return 2;
    }
}

int import(const QString &access, const QString &book, BookSchema::Index index)
{
    AccessImport::Progress progress;
    if (isatty(STDERR_FILENO))
        progress = [](const QString &table, int done, int total) {
            std::fprintf(stderr, "\r%s", qPrintable(QCoreApplication::translate("main", "%1：%2 / %3 行").arg(table).arg(done).arg(total)));
            if (done == total)
                std::fputc('\n', stderr);
        };
    const AccessImport::Counts counts = AccessImport::run(access, book, progress, index);
    say(QCoreApplication::translate("main", "已把 ywzx_ywlb 的 %1 行和 ywzx_ywnr 的 %2 行导入 %3")
            .arg(QString::number(counts.chapters), QString::number(counts.articles), book));
    return 0;
}

// A number option of generate and the values it takes.
struct NumberOption {
    const char *name;
    double low, high;
    bool whole;
};
const NumberOption NumberOptions[] = {
    {"--chapters", 0, Generator::MaxCount, true},   {"--fanout", 1, 99999, true},
    {"--articles", 0, Generator::MaxCount, true},   {"--text-bytes", 0, 100000000, true},
    {"--word-percent", 0, 100, false},
};

// The option's value, or nothing when it is no number or out of range (nan
// included), which has been said already.
std::optional<double> numberOf(const NumberOption &option, const QString &value)
{
    bool ok = false;
    const double number = option.whole ? double(value.toInt(&ok)) : value.toDouble(&ok);
    if (ok && number >= option.low && number <= option.high)
        return number;
    const QString range = option.whole ? QCoreApplication::translate("main", "%1 只能是 %2 到 %3 之间的整数，不能是 '%4'")
                                        : QCoreApplication::translate("main", "%1 只能是 %2 到 %3 之间的数，不能是 '%4'");
    fail(range.arg(QLatin1String(option.name), QString::number(option.low), QString::number(option.high, 'f', 0), value));
    return std::nullopt;
}

int generate(const QStringList &args, bool noBreaks, BookSchema::Index index)
{
    Generator::Options options;
    options.noBreaks = noBreaks;
    QHash<QString, double> numbers;
    for (int i = 1; i < args.size(); i += 2) {
        const QString option = args.at(i);
        if (i + 1 >= args.size())
            return usage();
        const QString value = args.at(i + 1);
        if (option == QLatin1String("--word")) {
            options.word = value;
            continue;
        }
        if (option == QLatin1String("--chain")) {
            options.chainFile = value;
            continue;
        }
        const auto known = std::find_if(std::begin(NumberOptions), std::end(NumberOptions),
                                        [&](const NumberOption &o) { return option == QLatin1String(o.name); });
        if (known == std::end(NumberOptions))
            return usage();
        const std::optional<double> number = numberOf(*known, value);
        if (!number)
            return usage();
        numbers.insert(option, *number);
    }
    options.chapters = int(numbers.value(QStringLiteral("--chapters"), options.chapters));
    options.fanout = int(numbers.value(QStringLiteral("--fanout"), options.fanout));
    options.articles = int(numbers.value(QStringLiteral("--articles"), options.articles));
    options.textBytes = int(numbers.value(QStringLiteral("--text-bytes"), options.textBytes));
    options.wordPercent = numbers.value(QStringLiteral("--word-percent"), options.wordPercent);
    const Generator::Result result = Generator::write(args.first(), options, index);
    // The word's count only when a word was asked for.
    const QString word = options.word.isEmpty() ? QString()
        : QCoreApplication::translate("main", "，其中 %1 个章节含有该词").arg(result.chaptersWithWord);
    say(QCoreApplication::translate("main", "已写出 %1：%2 个章节（%3 层），%4 篇文章")
            .arg(args.first(), QString::number(options.chapters), QString::number(result.depth), QString::number(options.articles))
        + word);
    return 0;
}

int push(const QStringList &args)
{
    const bool replace = args.size() == 4;
    if (replace && args.at(3) != QLatin1String("--replace"))
        return usage();
    const ServerBook::Counts counts = ServerBook::push(args.at(1), ServerConfig::fromUri(args.at(2)), replace);
    say(QCoreApplication::translate("main", "已从 %3 推送 ywzx_ywlb 的 %1 行和 ywzx_ywnr 的 %2 行")
            .arg(counts.chapters).arg(counts.articles).arg(args.at(1)));
    if (replace)
        say(counts.grants.isEmpty() ? QCoreApplication::translate("main", "旧表没有授予其他用户任何权限")
                                    : QCoreApplication::translate("main", "已照旧表重新授权：%1")
                                          .arg(counts.grants.join(QLatin1String(", "))));
    if (!counts.notCarried.isEmpty())
        say(QCoreApplication::translate("main", "旧表的这些没有带到新表上（仍需要的话请重新建立）：%1")
                .arg(counts.notCarried.join(QLatin1String(", "))));
    return 0;
}

int pull(const QStringList &args)
{
    const ServerBook::Counts counts = ServerBook::pull(ServerConfig::fromUri(args.at(1)), args.at(2));
    say(QCoreApplication::translate("main", "已把 ywzx_ywlb 的 %1 行和 ywzx_ywnr 的 %2 行取回到 %3")
            .arg(counts.chapters).arg(counts.articles).arg(args.at(2)));
    return 0;
}

// Runs work on the book file in one write transaction of a connection of
// its own, which waits for a reader's lock as the reader waits for it.
void onBook(const QString &path, const std::function<void(QSqlDatabase &)> &work)
{
    BookConnection book;
    book.setDatabaseFile(path);
    if (!book.engine().keepsFullTextIndex())
        throw AppError(AppError::BookFile,
                       QCoreApplication::translate("main", "%1 指的是服务器上的书：全文索引只用于书库文件").arg(path));
    BookTransaction transaction(book);
    QSqlDatabase db = book.database();
    work(db);
    transaction.commit();
}

void addIndex(const QString &path)
{
    onBook(path, [&](QSqlDatabase &db) {
        if (BookIndex::present(db))
            throw AppError(AppError::BookFile, QCoreApplication::translate("main", "%1 已有全文索引").arg(path));
        if (BookIndex::olderForm(db))
            BookIndex::drop(db); // an earlier program's index: made again in today's form
        else if (BookIndex::anyPart(db))
            throw AppError(AppError::BookFile,
                           QCoreApplication::translate("main", "%1 含有不完整的全文索引：\"ebook-tool index --check %1\" 可以重建它").arg(path));
        BookIndex::create(db);
    });
}

int index(const QStringList &args)
{
    const QString option = args.value(2);
    const QString path = args.at(1);
    if (option.isEmpty()) {
        addIndex(path);
        say(QCoreApplication::translate("main", "已为 %1 建立全文索引").arg(path));
        return 0;
    }
    bool right = true;
    onBook(path, [&](QSqlDatabase &db) {
        if (!BookIndex::anyPart(db))
            throw AppError(AppError::BookFile, QCoreApplication::translate("main", "%1 没有全文索引").arg(path));
        if (option == QLatin1String("--drop"))
            BookIndex::drop(db);
        else
            right = BookIndex::checkAndRepair(db);
    });
    if (option == QLatin1String("--drop"))
        say(QCoreApplication::translate("main", "已删除 %1 的全文索引").arg(path));
    else
        say(right ? QCoreApplication::translate("main", "%1 的全文索引正确").arg(path)
                  : QCoreApplication::translate("main", "%1 的全文索引与正文不一致，已重建").arg(path));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    TemporaryFiles::removeOnSignals();
    const std::optional<QString> language = Language::argument(app.arguments());
    if (language && !Language::parse(*language))
        return usage();
    Language::install(app, language ? *Language::parse(*language) : Language::fromEnvironment());
    QStringList args = Language::withoutLanguage(app.arguments().mid(1));
    if (args.isEmpty())
        return usage();
    const QString command = args.first();
    const bool withIndex = !args.removeAll(QStringLiteral("--no-index"));
    const bool noBreaks = command == QLatin1String("generate") && args.removeAll(QStringLiteral("--no-breaks"));
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        std::fputs(qPrintable(QCoreApplication::translate("main", Usage)), stdout);
        return 0;
    }
    const std::optional<QStringList> words = sorted(args);
    if (!words)
        return usage();
    args = *words;
    // The books that create, demo, import and generate write; pull copies a book as it is.
    const BookSchema::Index newBooks = withIndex ? BookSchema::Index::FullText : BookSchema::Index::Without;
    if (command == QLatin1String("backup") && args.size() == 3)
        return backup(args);
    if (command == QLatin1String("check") && args.size() == 2)
        return check(args.at(1));
    try {
        if (command == QLatin1String("index") && (args.size() == 2 || args.size() == 3) && withIndex)
            return index(args);
        if (command == QLatin1String("create") && args.size() == 3) {
            if (args.at(2).trimmed().isEmpty())
                return fail(QCoreApplication::translate("main", "书名不能为空"));
            BookSchema::createBook(args.at(1), args.at(2), {}, newBooks);
            say(QCoreApplication::translate("main", "已新建 %1").arg(args.at(1)));
            return 0;
        }
        if (command == QLatin1String("demo") && args.size() == 2) {
            const DemoBook::Counts counts = DemoBook::write(args.at(1), newBooks);
            say(QCoreApplication::translate("main", "已写出 %1：%2 个章节，%3 篇文章")
                    .arg(args.at(1), QString::number(counts.chapters), QString::number(counts.articles)));
            return 0;
        }
        if (command == QLatin1String("import") && args.size() == 3)
            return import(args.at(1), args.at(2), newBooks);
        if (command == QLatin1String("push") && (args.size() == 3 || args.size() == 4))
            return push(args);
        if (command == QLatin1String("pull") && args.size() == 3)
            return pull(args);
        if (command == QLatin1String("generate") && args.size() >= 2)
            return generate(args.mid(1), noBreaks, newBooks);
    } catch (const AppError &error) {
        return fail(error.message());
    }
    return usage();
}
