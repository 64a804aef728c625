#include "AccessReader.h"

#include "LibmdbComplaints.h"
#include "common/AppError.h"
#include "data/BoundValue.h"
#include "common/RegularFile.h"
#include "bookcare/BookSchema.h"
#include "bookcare/TemporaryFiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVector>

#include <glib.h>
#include <mdbtools.h>

#include <algorithm>
#include <cstdio>

namespace AccessImport {

namespace {

// libmdb cuts a value at its bind size, and takes a buffer of that size for
// every value it reads. So a read starts with a size that fits common texts
// and, when a value reaches it, starts again with one that fits that value,
// up to one that is large enough for any memo.
constexpr size_t FirstBindSize = 64 * 1024;
constexpr size_t LargestBindSize = 16 * 1024 * 1024;

// A value reached the bind size: the read starts again with `wanted`.
struct BindSizeReached {
    size_t wanted;
};

struct Table {
    const char *name;
    QStringList columns;
};

const Table Chapters{"ywzx_ywlb", {"id", "lbbh", "lbmc", "flbh", "xgrq", "xgr", "ywnr", "photoimage", "checkimage"}};
const Table Articles{"ywzx_ywnr", {"id", "nrbh", "nrbt", "lbbh", "xgrq", "xgr", "ywnr"}};

} // namespace

void fail(const QString &message)
{
    throw AppError(AppError::BookFile, message);
}

// The first bytes tell an Access file; its size must be whole pages.
void checkAccessFile(const QString &path)
{
    const auto cannotRead = [&](const QString &reason) { fail(QCoreApplication::translate("AccessImport", "无法读取 %1：%2").arg(path, reason)); };
    if (!QFileInfo::exists(path))
        cannotRead(QCoreApplication::translate("AccessImport", "文件不存在"));
    if (!RegularFile::check(path))
        cannotRead(RegularFile::refusal());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        cannotRead(file.errorString());
    const QByteArray head = file.read(0x20);
    const QByteArray marker = head.mid(4, 15);
    if (marker != "Standard Jet DB" && marker != "Standard ACE DB")
        fail(QCoreApplication::translate("AccessImport", "%1 不是 Access 数据库").arg(path));
    const qint64 page = head.size() > 0x14 && head.at(0x14) == 0 ? 2048 : 4096;
    if (file.size() < 2 * page || file.size() % page != 0)
        fail(QCoreApplication::translate("AccessImport", "%1 已损坏：它在一页的中间结束（被截断了？）").arg(path));
}

namespace {

// libmdb converts text with iconv: Jet 4 stores UTF-16, but libmdb reads it
// as UCS-2 and turns characters outside the Basic Multilingual Plane into
// "??". Jet 3 stores the code page of the machine that wrote it, for this
// program's archives GBK.
void useExactTextConversion(MdbHandle *mdb)
{
    const iconv_t converter = IS_JET4(mdb) ? iconv_open("UTF-8", "UTF-16LE") : iconv_open("UTF-8", "GBK");
    if (converter == iconv_t(-1))
        fail(QCoreApplication::translate("AccessImport", "本系统的文字转换器读不了 Access 的文字"));
    if (mdb->iconv_in != iconv_t(-1))
        iconv_close(mdb->iconv_in);
    mdb->iconv_in = converter;
}

MdbCatalogEntry *findTable(MdbHandle *mdb, const char *name)
{
    for (unsigned int i = 0; i < mdb->num_catalog; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && g_ascii_strcasecmp(entry->object_name, name) == 0)
            return entry;
    }
    return nullptr;
}

// One table opened for reading, its wanted columns bound by name.
class TableReader {
public:
    TableReader(MdbHandle *mdb, const Table &wanted, size_t bindSize)
        : mdb_(mdb), name_(QString::fromLatin1(wanted.name)), bindSize_(bindSize)
    {
        // A destructor does not run for a constructor that throws.
        try {
            open(wanted);
        } catch (...) {
            release();
            throw;
        }
    }
    ~TableReader() { release(); }
    TableReader(const TableReader &) = delete;
    TableReader &operator=(const TableReader &) = delete;

    int rowCount() const { return int(table_->num_rows); }
    bool next()
    {
        ++row_;
        return mdb_fetch_row(table_);
    }

    // The value of the i-th wanted column in the current row: null, text
    // (UTF-8, as libmdb gives it) or, for the OLE column, its bytes.
    QVariant value(int i)
    {
        MdbColumn *col = columns_.at(i);
        if (col->cur_value_len == 0)
            return QVariant(); // a null (libmdb cannot tell an empty short text from it)
        const size_t stored = (col->col_type == MDB_OLE || col->col_type == MDB_MEMO) ? checkLongValue(col) : 0;
        if (col->col_type == MDB_OLE) {
            const QByteArray bytes = oleBytes(col);
            if (size_t(bytes.size()) != stored)
                damagedValue(col, QStringLiteral("%1 of its %2 bytes read").arg(bytes.size()).arg(stored));
            return bytes;
        }
        const QByteArray text(buffers_.at(i), lengths_.at(i));
        if (stored > 0 && text.isEmpty())
            damagedValue(col, QCoreApplication::translate("AccessImport", "它的 %1 个字节一个也没有读到").arg(stored));
        // The conversion stops before a character that does not fit whole
        // (up to 4 bytes), and a byte is kept for the terminator: a text
        // this long may have been cut.
        const bool mayBeCut = size_t(text.size()) + 5 >= bindSize_;
        if (mayBeCut && bindSize_ < LargestBindSize)
            throw BindSizeReached{std::min(LargestBindSize, std::max(bindSize_ * 2, utf8Bound(col)))};
        if (mayBeCut)
            fail(QCoreApplication::translate("AccessImport", "%1 中有一个值超过 %2 个字节").arg(name_, QString::number(bindSize_)));
        if (col->col_type == MDB_LONGINT || col->col_type == MDB_INT)
            return text.toInt();
        return QString::fromUtf8(text);
    }

private:
    void open(const Table &wanted)
    {
        MdbCatalogEntry *entry = findTable(mdb_, wanted.name);
        if (!entry)
            fail(QCoreApplication::translate("AccessImport", "Access 文件中没有表 %1").arg(name_));
        table_ = mdb_read_table(entry);
        if (!table_ || !mdb_read_columns(table_))
            fail(QCoreApplication::translate("AccessImport", "Access 文件的表 %1 无法读取").arg(name_));
        for (const QString &column : wanted.columns)
            bind(column);
        mdb_rewind_table(table_);
    }
    void release()
    {
        for (char *buffer : std::as_const(buffers_))
            g_free(buffer);
        buffers_.clear();
        if (table_)
            mdb_free_tabledef(table_);
        table_ = nullptr;
    }
    void bind(const QString &column)
    {
        for (unsigned int c = 0; c < table_->num_cols; ++c) {
            auto *col = static_cast<MdbColumn *>(g_ptr_array_index(table_->columns, c));
            if (QString::fromUtf8(col->name).compare(column, Qt::CaseInsensitive) != 0)
                continue;
            buffers_ << static_cast<char *>(g_malloc0(bindSize_));
            lengths_ << 0;
            columns_ << col;
            return;
        }
        fail(QCoreApplication::translate("AccessImport", "Access 文件的表 %1 没有列 %2").arg(name_, column));
    }

public:
    // Binding after all buffers exist: the length array must not move.
    void bindAll()
    {
        for (int i = 0; i < columns_.size(); ++i)
            for (unsigned int c = 0; c < table_->num_cols; ++c)
                if (g_ptr_array_index(table_->columns, c) == columns_.at(i))
                    mdb_bind_column(table_, int(c) + 1, buffers_[i], &lengths_[i]);
    }

private:
    // A memo's stored length is in its field's first four bytes. Its UTF-8
    // takes at most twice as many bytes (three for a two-byte UTF-16 or GBK
    // character, two for a one-byte one).
    size_t utf8Bound(MdbColumn *col) const
    {
        if (col->col_type != MDB_MEMO)
            return 0;
        const size_t stored = size_t(mdb_get_int32(mdb_->pg_buf, col->cur_value_start)) & 0x3fffffffu;
        return 2 * stored + 16;
    }

    [[noreturn]] void damagedValue(MdbColumn *col, const QString &what) const
    {
        fail(QCoreApplication::translate("AccessImport", "Access 文件已损坏：表 %1，第 %2 行，列 %3：长值已断（%4）")
                 .arg(name_, QString::number(row_), QString::fromUtf8(col->name), what));
    }

    // A memo or OLE value's field: its stored length (flags in the top
    // bits) and, unless kept in the row itself, the page and row of its
    // first part; a longer one chains its parts by the first four bytes of
    // each. Every part must lie on a data page of the file. Returns the
    // stored length.
    size_t checkLongValue(MdbColumn *col)
    {
        if (col->cur_value_len < 12)
            damagedValue(col, QCoreApplication::translate("AccessImport", "%1 个字节的字段").arg(col->cur_value_len));
        const quint32 head = quint32(mdb_get_int32(mdb_->pg_buf, col->cur_value_start));
        const size_t stored = head & 0x3fffffffu;
        if (head & 0x80000000u)
            return stored; // in the row
        const bool onePart = head & 0x40000000u;
        quint32 pgRow = quint32(mdb_get_int32(mdb_->pg_buf, col->cur_value_start + 4));
        size_t found = 0;
        struct stat file {};
        fstat(fileno(mdb_->f->stream), &file);
        const quint64 pages = quint64(file.st_size) / quint64(mdb_->fmt->pg_size);
        for (int part = 0; pgRow != 0 && found < stored; ++part) {
            const quint32 page = pgRow >> 8;
            if (part > 100000 || page == 0 || page >= pages)
                damagedValue(col, QCoreApplication::translate("AccessImport", "第 %1 页上的一段（共 %2 页）").arg(page).arg(pages));
            void *buffer = nullptr;
            int offset = 0;
            size_t length = 0;
            if (mdb_find_pg_row(mdb_, int(pgRow), &buffer, &offset, &length) != 0
                || static_cast<unsigned char *>(buffer)[0] != 0x01 || length == 0)
                damagedValue(col, QCoreApplication::translate("AccessImport", "第 %1 页上没有这一段").arg(page));
            if (onePart)
                return length >= stored ? stored : (damagedValue(col, QCoreApplication::translate("AccessImport", "一段太短")), 0);
            if (length <= 4)
                damagedValue(col, QCoreApplication::translate("AccessImport", "第 %1 页上的一段是空的").arg(page));
            found += length - 4;
            pgRow = quint32(mdb_get_int32(static_cast<unsigned char *>(buffer), offset));
        }
        if (found < stored)
            damagedValue(col, QStringLiteral("%1 of its %2 bytes found").arg(found).arg(stored));
        return stored;
    }

    QByteArray oleBytes(MdbColumn *col)
    {
        size_t size = 0;
        void *data = mdb_ole_read_full(mdb_, col, &size);
        if (!data)
            fail(QCoreApplication::translate("AccessImport", "%1 中有一个 OLE 值无法读取").arg(name_));
        const QByteArray bytes(static_cast<const char *>(data), qsizetype(size));
        free(data);
        return bytes;
    }

    MdbHandle *mdb_;
    QString name_;
    size_t bindSize_;
    int row_ = 0;
    MdbTableDef *table_ = nullptr;
    QVector<MdbColumn *> columns_;
    QVector<char *> buffers_;
    QVector<int> lengths_;
};

// A table came over whole only when libmdb read it without a complaint and
// gave as many rows as the table counts.
void checkWhole(const LibmdbComplaints &complaints, const QString &table, int rows, int counted)
{
    const QString complaint = complaints.firstLine();
    if (!complaint.isEmpty())
        fail(QCoreApplication::translate("AccessImport", "%1：读了 %2 行（共 %3 行）后读取出错（libmdb：%4）").arg(table, QString::number(rows), QString::number(counted), complaint));
    if (rows != counted)
        fail(QCoreApplication::translate("AccessImport", "%1：读到 %2 行，但表中记有 %3 行").arg(table, QString::number(rows), QString::number(counted)));
}

void checkRoot(QSqlDatabase &db, int rows, int counted)
{
    QSqlQuery root(db);
    if (!root.exec(QStringLiteral("select count(*) from ywzx_ywlb where lbbh='00000'")) || !root.next())
        fail(root.lastError().text());
    if (root.value(0).toInt() == 0)
        fail(QCoreApplication::translate("AccessImport", "ywzx_ywlb：读到的 %1 行中没有根章节 \"00000\"（表中记有 %2 行）")
                 .arg(QString::number(rows), QString::number(counted)));
}

int copyRows(TableReader &reader, QSqlDatabase &db, const Table &table, const Progress &progress)
{
    const QString names = table.columns.join(QLatin1Char(','));
    QStringList marks;
    for (int i = 0; i < table.columns.size(); ++i)
        marks << QStringLiteral("?");
    BookSchema::exec(db, QStringLiteral("delete from %1").arg(QLatin1String(table.name)));
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("insert into %1 (%2) values (%3)")
                       .arg(QLatin1String(table.name), names, marks.join(QLatin1Char(','))));
    int rows = 0;
    reader.bindAll();
    while (reader.next()) {
        for (int i = 0; i < table.columns.size(); ++i)
            BoundValue::bind(insert, i, reader.value(i));
        if (!insert.exec())
            fail(QCoreApplication::translate("AccessImport", "%2 的第 %1 行无法写入：%3")
                     .arg(QString::number(rows + 1), QLatin1String(table.name), insert.lastError().text()));
        ++rows;
        if (progress && (rows % 200 == 0 || rows == reader.rowCount()))
            progress(QLatin1String(table.name), rows, reader.rowCount());
    }
    return rows;
}

} // namespace

namespace {

Counts writeBookWith(const QString &accessPath, const QString &path, const Progress &progress, size_t bindSize,
                     BookSchema::Index index)
{
    const LibmdbComplaints complaints;
    MdbHandle *mdb = mdb_open(QFile::encodeName(accessPath).constData(), MDB_NOFLAGS);
    if (!mdb)
        fail(QCoreApplication::translate("AccessImport", "%1 不是 Access 数据库").arg(accessPath));
    struct Close {
        MdbHandle *mdb;
        ~Close() { mdb_close(mdb); }
    } closing{mdb};
    useExactTextConversion(mdb);
    mdb_set_bind_size(mdb, bindSize);
    mdb_set_date_fmt(mdb, "%Y-%m-%d %H:%M:%S");
    if (!mdb_read_catalog(mdb, MDB_TABLE) || !complaints.firstLine().isEmpty())
        fail(QCoreApplication::translate("AccessImport", "%1 已损坏：它的目录无法读取").arg(accessPath));
    TableReader chapters(mdb, Chapters, bindSize);
    TableReader articles(mdb, Articles, bindSize);
    Counts counts;
    const Progress shown = complaints.around(progress);
    BookSchema::writeNewFile(path, [&](QSqlDatabase &db) {
        counts.chapters = copyRows(chapters, db, Chapters, shown);
        checkWhole(complaints, QLatin1String(Chapters.name), counts.chapters, chapters.rowCount());
        checkRoot(db, counts.chapters, chapters.rowCount());
        counts.articles = copyRows(articles, db, Articles, shown);
        checkWhole(complaints, QLatin1String(Articles.name), counts.articles, articles.rowCount());
    }, index);
    return counts;
}

} // namespace

Counts writeBook(const QString &accessPath, const QString &path, const Progress &progress, BookSchema::Index index)
{
    checkAccessFile(accessPath);
    for (size_t bindSize = FirstBindSize;;) {
        try {
            return writeBookWith(accessPath, path, progress, bindSize, index);
        } catch (const BindSizeReached &reached) {
            bindSize = reached.wanted;
            TemporaryFiles::add(path); // the file begun is gone: its next one is kept in mind again
        }
    }
}

} // namespace AccessImport
