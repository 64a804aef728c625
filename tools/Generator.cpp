#include "Generator.h"

#include "BookWriter.h"
#include "common/AppError.h"
#include "data/BookSchema.h"

#include <QRandomGenerator>
#include <QStringList>

namespace Generator {

namespace {

const QStringList Lines = {
    QStringLiteral("白日依山尽，黄河入海流。"), QStringLiteral("欲穷千里目，更上一层楼。"),
    QStringLiteral("床前看月光，疑是地上霜。"), QStringLiteral("举头望山月，低头思故乡。"),
    QStringLiteral("春眠不觉晓，处处闻啼鸟。"), QStringLiteral("夜来风雨声，花落知多少。"),
    QStringLiteral("千山鸟飞绝，万径人踪灭。"), QStringLiteral("孤舟蓑笠翁，独钓寒江雪。"),
};

// Five characters: the number itself up to 99,999; beyond, a capital letter
// and four digits or capitals (base 36), which no number below collides with.
QString code(int number)
{
    if (number <= 99999)
        return QStringLiteral("%1").arg(number, 5, 10, QLatin1Char('0'));
    const int beyond = number - 100000;
    return QChar(u'A' + beyond / (36 * 36 * 36 * 36))
           + QStringLiteral("%1").arg(beyond % (36 * 36 * 36 * 36), 4, 36, QLatin1Char('0')).toUpper();
}


// About `bytes` bytes of UTF-8 text in lines separated by CR LF.
QString filler(QRandomGenerator &random, int bytes)
{
    QString text;
    while (text.size() * 3 < bytes) {
        if (!text.isEmpty())
            text += QLatin1String("\r\n");
        text += Lines.at(int(random.bounded(Lines.size())));
    }
    return text;
}

} // namespace

Result write(const QString &path, const Options &options, BookSchema::Index index)
{
    if (options.chapters < 0 || options.chapters > MaxCount || options.articles < 0 || options.articles > MaxCount
        || options.fanout < 1)
        throw AppError(AppError::BookFile,
                       QStringLiteral("chapters and articles: 0 to %1; fan-out: 1 or more").arg(MaxCount));
    Result result;
    BookSchema::createBook(path, QStringLiteral("大书"), [&](QSqlDatabase &db) {
        BookWriter writer(db);
        QRandomGenerator random(20261209);
        const QDateTime when(QDate(2026, 1, 1), QTime(8, 0));
        const int every = options.wordPercent > 0 ? qMax(1, int(100.0 / options.wordPercent + 0.5)) : 0;
        // Chapter k (1-based) hangs under chapter (k - 1) / fanout; 0 is the root.
        for (int k = 1; k <= options.chapters; ++k) {
            const int parent = (k - 1) / options.fanout;
            QString text = filler(random, options.textBytes);
            if (every && k % every == 0) {
                text.insert(text.size() / 2, options.word);
                ++result.chaptersWithWord;
            }
            writer.addChapter(k + 1, code(k), QStringLiteral("第%1章").arg(k), code(parent), text, when);
        }
        const int firstLeaf = options.chapters / options.fanout + 1;
        const int leaves = options.chapters - firstLeaf + 1;
        for (int a = 1; a <= options.articles; ++a) {
            const int chapter = leaves > 0 ? firstLeaf + (a - 1) % leaves : 0;
            writer.addArticle(code(a), QStringLiteral("文章%1").arg(a), code(chapter), filler(random, 60), when);
        }
    }, index);
    for (long long reach = 0, width = 1; reach < options.chapters; width *= options.fanout) {
        reach += width * options.fanout;
        ++result.depth;
    }
    return result;
}

} // namespace Generator
