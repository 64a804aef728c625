#include "DemoBook.h"

#include "BookWriter.h"
#include "common/AppError.h"
#include "common/TextHelpers.h"
#include "bookcare/BookSchema.h"

#include <QDir>
#include <QHash>
#include <QFile>
#include <QRegularExpression>
#include <QCoreApplication>

namespace DemoBook {

namespace {

const QString BookName = QStringLiteral("唐诗宋词选读");

QString stripPrefix(QString line, const QStringList &prefixes)
{
    for (const QString &prefix : prefixes)
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed();
    return line.trimmed();
}

QString titleOf(const QString &line)
{
    QString title = stripPrefix(line, {QStringLiteral("题目:"), QStringLiteral("题目：")});
    title.remove(QChar(0x300A)).remove(QChar(0x300B)); // 《 》
    return title.trimmed();
}

QString poetOf(const QString &line)
{
    QString poet = stripPrefix(line, {QStringLiteral("作者:"), QStringLiteral("作者：")});
    const qsizetype dates = poet.indexOf(QChar(0xFF08)); // （ before the life dates
    if (dates >= 0)
        poet = poet.left(dates);
    return poet.trimmed();
}

QStringList trimmedBlock(QStringList lines)
{
    while (!lines.isEmpty() && lines.first().trimmed().isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    return lines;
}

Poem parseEntry(const QStringList &entry)
{
    Poem poem;
    int next = 0;
    if (next < entry.size())
        poem.title = titleOf(entry.at(next++));
    if (next < entry.size() && entry.at(next).startsWith(QStringLiteral("作者")))
        poem.poet = poetOf(entry.at(next++));
    if (poem.poet.isEmpty())
        poem.poet = QStringLiteral("佚名");
    poem.lines = trimmedBlock(entry.mid(next));
    return poem;
}

QString readFortuneFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(AppError::FileOpen,
                       QCoreApplication::translate("DemoBook", "无法读取 %1（%2）；示例书需要 Debian 的 fortunes-zh 软件包")
                           .arg(path, file.errorString()));
    return QString::fromUtf8(file.readAll());
}

QString code(int number) { return QStringLiteral("%1").arg(number, 5, 10, QLatin1Char('0')); }

QString poemText(const Poem &poem)
{
    return TextHelpers::joinCrLf(poem.lines);
}

// A poet's chapter holds all of the poet's poems, so that the full-text
// search of chapters has real material.
QString poetText(const QVector<Poem> &poems)
{
    QStringList blocks;
    for (const Poem &poem : poems)
        blocks << QStringLiteral("《%1》\r\n%2").arg(poem.title, poemText(poem));
    return blocks.join(QLatin1String("\r\n\r\n"));
}

} // namespace

QString fortunesFolder()
{
    const QString configured = qEnvironmentVariable("EBOOK_FORTUNES_DIR");
    return configured.isEmpty() ? QStringLiteral("/usr/share/games/fortunes") : configured;
}

QVector<Collection> collections()
{
    return {{QStringLiteral("唐诗三百首"), QStringLiteral("tang300")},
            {QStringLiteral("宋诗一百首"), QStringLiteral("song100")}};
}

QVector<Poem> parsePoems(const QString &content)
{
    static const QRegularExpression colour(QStringLiteral("\x1b\\[[0-9;]*m"));
    QString clean = content;
    clean.remove(colour).remove(QLatin1Char('\r'));
    QVector<Poem> poems;
    QStringList entry;
    const QStringList lines = clean.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (line.trimmed() == QLatin1String("%")) {
            entry = trimmedBlock(entry);
            if (!entry.isEmpty())
                poems << parseEntry(entry);
            entry.clear();
        } else {
            entry << line;
        }
    }
    entry = trimmedBlock(entry);
    if (!entry.isEmpty())
        poems << parseEntry(entry);
    return poems;
}

Counts write(const QString &path, BookSchema::Index index)
{
    QVector<QVector<Poem>> parsed;
    for (const Collection &collection : collections())
        parsed << parsePoems(readFortuneFile(QDir(fortunesFolder()).filePath(collection.file)));

    Counts counts;
    BookSchema::createBook(path, BookName, [&](QSqlDatabase &db) {
        BookWriter writer(db);
        const QDateTime when = QDateTime::currentDateTime();
        int nextId = 2, nextChapter = 1, nextArticle = 1;
        const QVector<Collection> all = collections();
        QStringList collectionCodes;
        for (int c = 0; c < all.size(); ++c) {
            collectionCodes << code(nextChapter++);
            writer.addChapter(nextId++, collectionCodes.last(), all[c].name, QStringLiteral("00000"),
                              QStringLiteral("%1，共%2首。").arg(all[c].name, QString::number(parsed[c].size())), when);
        }
        for (int c = 0; c < all.size(); ++c) {
            QStringList poets;
            QHash<QString, QVector<Poem>> byPoet;
            for (const Poem &poem : parsed[c]) {
                if (!byPoet.contains(poem.poet))
                    poets << poem.poet;
                byPoet[poem.poet] << poem;
            }
            for (const QString &poet : poets) {
                const QString poetCode = code(nextChapter++);
                writer.addChapter(nextId++, poetCode, poet, collectionCodes[c], poetText(byPoet[poet]), when);
                for (const Poem &poem : byPoet[poet])
                    writer.addArticle(code(nextArticle++), poem.title, poetCode, poemText(poem), when);
            }
        }
        counts.chapters = nextId - 1;
        counts.articles = nextArticle - 1;
        BookSchema::exec(db, QStringLiteral("update ywzx_ywlb set ywnr=? where lbbh='00000'"),
                         {QStringLiteral("唐诗宋词选读：收录%1位诗人的%2首诗。\r\n左侧目录按诗集与诗人排列，"
                                         "展开诗人可读其诗作。")
                              .arg(QString::number(counts.chapters - 1 - all.size()), QString::number(counts.articles))});
    }, index);
    return counts;
}

} // namespace DemoBook
