#include "BookCheck.h"

#include "common/DateTimeText.h"
#include "bookcare/BookScan.h"

#include <QHash>
#include <QImage>
#include <QSet>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <functional>
#include <QCoreApplication>

namespace BookCheck {

namespace {

const QString Chapters = QStringLiteral("ywzx_ywlb");
const QString Articles = QStringLiteral("ywzx_ywnr");
const QString RootCode = QStringLiteral("00000");

struct Node {
    qint64 id;
    QString code, parent;
};

QString shown(const QString &code)
{
    return code.isEmpty() ? QCoreApplication::translate("BookCheck", "（空）") : code;
}

QString line(const QString &table, const Node &node, const QString &what)
{
    return QCoreApplication::translate("BookCheck", "%1 id %2 编码 %3：%4").arg(table, QString::number(node.id), shown(node.code), what);
}

// The kinds of problem, in the order they are printed, and the words that
// count a kind's lines not printed.
enum Kind { Integrity, BadText, BadDate, BadPhoto, MissingParent, Cycle, LostArticle, DuplicateChapter,
            DuplicateArticle, IndexDiffers, KindCount };
const char *const KindNames[KindCount] = {
    QT_TRANSLATE_NOOP("BookCheck", "完整性检查的问题"), QT_TRANSLATE_NOOP("BookCheck", "不是有效 UTF-8 的文字"),
    QT_TRANSLATE_NOOP("BookCheck", "不能转换的修改日期"), QT_TRANSLATE_NOOP("BookCheck", "不可读的照片"),
    QT_TRANSLATE_NOOP("BookCheck", "上级编码不存在的章节"), QT_TRANSLATE_NOOP("BookCheck", "上级编码绕成的环"),
    QT_TRANSLATE_NOOP("BookCheck", "所属章节不存在的文章"), QT_TRANSLATE_NOOP("BookCheck", "重复的章节编码"),
    QT_TRANSLATE_NOOP("BookCheck", "重复的文章编码"), QT_TRANSLATE_NOOP("BookCheck", "全文索引的问题")};

// Every problem is counted; only the first lines of each kind are made and
// kept, so memory follows the book and not the number of its faults.
class Problems {
public:
    void add(Kind kind, const std::function<QString()> &line)
    {
        Bucket &bucket = buckets_[kind];
        if (++bucket.count <= ShownPerKind)
            bucket.lines << line();
    }
    qint64 count() const
    {
        qint64 all = 0;
        for (const Bucket &bucket : buckets_)
            all += bucket.count;
        return all;
    }
    QStringList lines() const
    {
        QStringList all;
        for (int kind = 0; kind < KindCount; ++kind) {
            const Bucket &bucket = buckets_[kind];
            all << bucket.lines;
            if (bucket.count > bucket.lines.size())
                all << QCoreApplication::translate("BookCheck", "……另有 %1 处%2未列出（共 %3 处）")
                           .arg(bucket.count - bucket.lines.size())
                           .arg(QCoreApplication::translate("BookCheck", KindNames[kind]))
                           .arg(bucket.count);
        }
        return all;
    }

private:
    struct Bucket {
        QStringList lines;
        qint64 count = 0;
    };
    std::array<Bucket, KindCount> buckets_;
};

bool validText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless); // a cut sequence is an error too
    const QString decoded = utf8(bytes);
    return !utf8.hasError();
}

bool validDate(const QVariant &date)
{
    if (date.isNull() || date.metaType().id() == QMetaType::QDateTime)
        return date.isNull() || date.toDateTime().isValid();
    return DateTimeText::fromStorageText(date.toString()).isValid();
}

bool validPhoto(const QByteArray &photo)
{
    return photo.isEmpty() || photo == "nil" || !QImage::fromData(photo).isNull();
}

// The rows' own faults, found as they are read.
class RowCheck {
public:
    explicit RowCheck(Problems &problems) : problems_(problems) {}

    void operator()(const QString &table, const BookScan::Row &row)
    {
        const Node node{row.id, row.code, row.parent};
        const bool chapter = table == Chapters;
        text(table, node, row.name, chapter ? QCoreApplication::translate("BookCheck", "名称（lbmc）") : QCoreApplication::translate("BookCheck", "标题（nrbt）"));
        text(table, node, row.text, QCoreApplication::translate("BookCheck", "正文（ywnr）"));
        if (!validDate(row.date))
            problems_.add(BadDate, [&] {
                return line(table, node, QCoreApplication::translate("BookCheck", "修改日期（xgrq）“%1”不能转换为日期；请改为 YYYY-MM-DD HH:MM:SS 形式")
                                             .arg(row.date.toString()));
            });
        if (chapter && !validPhoto(row.photo))
            problems_.add(BadPhoto, [&] {
                return line(table, node, QCoreApplication::translate("BookCheck", "照片（photoimage，%1 字节）不是可读的图片；请换成 JPEG、PNG 或 BMP 图片，或去掉照片")
                                             .arg(row.photo.size()));
            });
    }

private:
    void text(const QString &table, const Node &node, const QByteArray &bytes, const QString &field)
    {
        if (!validText(bytes))
            problems_.add(BadText, [&] {
                return line(table, node, QCoreApplication::translate("BookCheck", "%1不是有效的 UTF-8 文字，阅读时会显示乱码；请重新输入这段文字").arg(field));
            });
    }

    Problems &problems_;
};

// The rows of one table whose code an earlier row has, met in id order.
class Duplicates {
public:
    Duplicates(const QString &table, Kind kind) : table_(table), kind_(kind) {}
    void operator()(const Node &node, Problems &problems)
    {
        if (node.code.isEmpty())
            return;
        const auto known = first_.constFind(node.code);
        if (known == first_.constEnd()) {
            first_.insert(node.code, node.id);
            return;
        }
        problems.add(kind_, [&] {
            return line(table_, node, QCoreApplication::translate("BookCheck", "编码与 id %1 重复，删除和维护对话框只处理先遇到的一条；请给它一个未用的编码")
                                          .arg(known.value()));
        });
    }

private:
    QString table_;
    Kind kind_;
    QHash<QString, qint64> first_;
};

// A cycle's codes as the parents lead, back to the first; a long one shows
// its first codes only.
QString cyclePath(const QStringList &codes)
{
    constexpr int Shown = 10;
    if (codes.size() <= Shown)
        return (codes + QStringList(codes.first())).join(QStringLiteral(" → "));
    return (codes.mid(0, Shown) + QStringList{QStringLiteral("…"), codes.first()}).join(QStringLiteral(" → "));
}

} // namespace

namespace {

// The chapters the tree reaches from the root, and for every other one the
// chapter it hangs from: a chapter whose parent is missing, or the first
// (lowest id) chapter of a cycle of parents.
class Tree {
public:
    explicit Tree(const QList<Node> &chapters);
    // An article as it is read: counted under the chapter it hangs from, or
    // a problem when its chapter is missing.
    void article(const Node &article, Problems &problems);
    void report(Problems &problems) const;

private:
    void reach();
    void findHead(int chapter);

    const QList<Node> &chapters_;
    QHash<QString, int> first_;        // code: the first chapter with it
    QMultiHash<QString, int> children_; // parent code: its chapters
    QSet<QString> reachedCodes_;
    QVector<bool> reached_;
    QHash<int, int> head_;               // unreached chapter: the one it hangs from
    QHash<int, QList<int>> cycles_;      // head: the cycle, parent after child
    QHash<int, int> chaptersUnder_, articlesUnder_;
};

Tree::Tree(const QList<Node> &chapters)
    : chapters_(chapters), reached_(chapters.size(), false)
{
    for (int i = 0; i < chapters_.size(); ++i) {
        if (!first_.contains(chapters_.at(i).code))
            first_.insert(chapters_.at(i).code, i);
        children_.insert(chapters_.at(i).parent, i);
    }
    reach();
    for (int i = 0; i < chapters_.size(); ++i)
        if (!reached_.at(i)) {
            findHead(i);
            ++chaptersUnder_[head_.value(i)];
        }
}

// The root (code 00000) is shown whatever its parent; every chapter whose
// parent code is that of a shown chapter is shown too.
void Tree::reach()
{
    QList<QString> codes{RootCode};
    reachedCodes_.insert(RootCode);
    for (int i = 0; i < chapters_.size(); ++i)
        if (chapters_.at(i).code == RootCode)
            reached_[i] = true;
    while (!codes.isEmpty()) {
        for (int child : children_.values(codes.takeLast())) {
            reached_[child] = true;
            const QString code = chapters_.at(child).code;
            if (!reachedCodes_.contains(code)) {
                reachedCodes_.insert(code);
                codes << code;
            }
        }
    }
}

// Follows the parents up to a chapter already placed, a missing parent or
// a chapter met before on the way (a cycle).
void Tree::findHead(int chapter)
{
    QList<int> path;
    QHash<int, int> onPath; // chapter: its place in path
    int at = chapter, head = -1;
    while (head < 0) {
        if (head_.contains(at)) {
            head = head_.value(at);
        } else if (onPath.contains(at)) {
            QList<int> cycle = path.mid(onPath.value(at));
            const auto lowest = std::min_element(cycle.begin(), cycle.end(),
                                                 [&](int a, int b) { return chapters_.at(a).id < chapters_.at(b).id; });
            std::rotate(cycle.begin(), lowest, cycle.end());
            head = cycle.first();
            cycles_.insert(head, cycle);
        } else {
            onPath.insert(at, int(path.size()));
            path << at;
            const int parent = first_.value(chapters_.at(at).parent, -1);
            head = parent < 0 ? at : -1;
            at = parent;
        }
    }
    for (int on : path)
        head_.insert(on, head);
}

void Tree::article(const Node &article, Problems &problems)
{
    if (reachedCodes_.contains(article.parent))
        return;
    const int chapter = first_.value(article.parent, -1);
    if (chapter >= 0)
        ++articlesUnder_[head_.value(chapter)];
    else
        problems.add(LostArticle, [&] {
            return line(Articles, article, QCoreApplication::translate("BookCheck", "所属章节 %1 不存在，这篇文章在树中看不到；请把它的章节编码（lbbh）改为存在的章节，或删除它")
                                               .arg(shown(article.parent)));
        });
}

void Tree::report(Problems &problems) const
{
    QList<int> heads = chaptersUnder_.keys();
    std::sort(heads.begin(), heads.end(), [&](int a, int b) { return chapters_.at(a).id < chapters_.at(b).id; });
    for (int head : heads) {
        const Node &node = chapters_.at(head);
        const QList<int> cycle = cycles_.value(head);
        const int under = chaptersUnder_.value(head) - std::max<int>(1, cycle.size());
        const int articles = articlesUnder_.value(head);
        if (cycle.isEmpty()) {
            problems.add(MissingParent, [&] {
                return line(Chapters, node, QCoreApplication::translate("BookCheck", "上级编码 %1 不存在，它和其下 %2 个章节、%3 篇文章在树中看不到；请把它的上级编码（flbh）改为存在的章节编码")
                                                .arg(shown(node.parent)).arg(under).arg(articles));
            });
            continue;
        }
        problems.add(Cycle, [&] {
            QStringList codes;
            for (int on : cycle)
                codes << chapters_.at(on).code;
            return line(Chapters, node, QCoreApplication::translate("BookCheck", "上级编码绕成环（%1），环上 %2 个章节及其下 %3 个章节、%4 篇文章在树中看不到；请把其中一个章节的上级编码（flbh）改为树中章节的编码")
                                            .arg(cyclePath(codes)).arg(cycle.size()).arg(under).arg(articles));
        });
    }
}

} // namespace

Result run(const QString &book)
{
    BookScan scan(book);
    Result result;
    Problems problems;
    for (const QString &message : scan.integrityProblems())
        problems.add(Integrity, [&] {
            return QCoreApplication::translate("BookCheck", "完整性检查：%1；请换用最近一份完好的备份（先检查备份），再补上其后的修改").arg(message);
        });
    // The chapters are kept for the tree; the articles are placed in it as they are read.
    QList<Node> chapters;
    RowCheck rowCheck(problems);
    Duplicates chapterCodes(Chapters, DuplicateChapter), articleCodes(Articles, DuplicateArticle);
    scan.chapters([&](const BookScan::Row &row) {
        chapters << Node{row.id, row.code, row.parent};
        rowCheck(Chapters, row);
        chapterCodes(chapters.last(), problems);
    });
    Tree tree(chapters);
    scan.articles([&](const BookScan::Row &row) {
        const Node article{row.id, row.code, row.parent};
        rowCheck(Articles, row);
        tree.article(article, problems);
        articleCodes(article, problems);
        ++result.articles;
    });
    tree.report(problems);
    if (!scan.indexAgrees())
        problems.add(IndexDiffers, [&] {
            return QCoreApplication::translate("BookCheck", "ywzx_ywlb_fts：全文索引与章节正文不一致，全文检索会漏掉或多出结果；请运行 ebook-tool index --check %1 重建索引")
                .arg(book);
        });
    for (const QString &message : scan.serverIndexProblems())
        problems.add(IndexDiffers, [&] { return message; });
    result.lines = problems.lines();
    result.problems = problems.count();
    result.chapters = int(chapters.size());
    return result;
}

QString summary(const Result &result)
{
    const QString counts = QCoreApplication::translate("BookCheck", "%1 个章节、%2 篇文章").arg(result.chapters).arg(result.articles);
    if (result.problems == 0)
        return QCoreApplication::translate("BookCheck", "检查完毕：%1，未发现问题。").arg(counts);
    return QCoreApplication::translate("BookCheck", "检查完毕：%1，发现 %2 处问题。").arg(counts).arg(result.problems);
}

} // namespace BookCheck
