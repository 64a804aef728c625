#include "Generator.h"

#include "BookWriter.h"
#include "common/AppError.h"
#include "bookcare/BookSchema.h"

#include <QFile>
#include <QHash>
#include <QRandomGenerator>
#include <memory>
#include <QStringList>
#include <QCoreApplication>

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

// Each character's successors as often as they follow it in the training
// text; a character without one starts again from a random character.
class Chain {
public:
    explicit Chain(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw AppError(AppError::BookFile, QStringLiteral("%1: %2").arg(path, file.errorString()));
        const QList<uint> text = QString::fromUtf8(file.readAll()).toUcs4();
        for (qsizetype i = 0; i + 1 < text.size(); ++i)
            if (text.at(i) > 0x20 && text.at(i + 1) > 0x20)
                next_[text.at(i)].append(text.at(i + 1));
        starts_ = next_.keys();
        if (starts_.isEmpty())
            throw AppError(AppError::BookFile, QCoreApplication::translate("Generator", "%1：没有可供学习的文字").arg(path));
    }
    QString text(QRandomGenerator &random, int bytes) const
    {
        QString text;
        uint c = starts_.at(int(random.bounded(starts_.size())));
        for (int used = 0; used < bytes; used += 2) {
            for (int i = 0; i < 40; ++i) {
                text += QString::fromUcs4(reinterpret_cast<const char32_t *>(&c), 1);
                used += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
                const auto found = next_.constFind(c);
                c = found == next_.cend() ? starts_.at(int(random.bounded(starts_.size())))
                                          : found->at(int(random.bounded(found->size())));
            }
            text += QLatin1String("\r\n");
        }
        return text;
    }

private:
    QHash<uint, QList<uint>> next_;
    QList<uint> starts_;
};

} // namespace

Result write(const QString &path, const Options &options, BookSchema::Index index)
{
    if (options.chapters < 0 || options.chapters > MaxCount || options.articles < 0 || options.articles > MaxCount
        || options.fanout < 1)
        throw AppError(AppError::BookFile,
                       QCoreApplication::translate("Generator", "章节和文章：0 到 %1；扇出：1 或更多").arg(MaxCount));
    Result result;
    BookSchema::createBook(path, QStringLiteral("大书"), [&](QSqlDatabase &db) {
        BookWriter writer(db);
        const std::unique_ptr<Chain> chain(options.chainFile.isEmpty() ? nullptr : new Chain(options.chainFile));
        QRandomGenerator random(20261209);
        const QDateTime when(QDate(2026, 1, 1), QTime(8, 0));
        const int every = options.wordPercent > 0 ? qMax(1, int(100.0 / options.wordPercent + 0.5)) : 0;
        // Chapter k (1-based) hangs under chapter (k - 1) / fanout; 0 is the root.
        for (int k = 1; k <= options.chapters; ++k) {
            const int parent = (k - 1) / options.fanout;
            QString text = chain ? chain->text(random, options.textBytes) : filler(random, options.textBytes);
            if (options.noBreaks)
                text.remove(QLatin1String("\r\n"));
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
