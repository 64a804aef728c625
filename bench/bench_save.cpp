// Times saving one chapter's text of each size given, on an indexed book
// file, and prints the figures:
//   bench_save BOOK SOURCE_BOOK MB...
// The text is SOURCE_BOOK's chapter texts run together, cut to MB
// megabytes of UTF-8. "dialog" is the chapter dialog's save from the
// click on 确定修改 to its return (the program keeps the index itself);
// "another program" is the same update sent by a plain connection, which
// the book's triggers keep the index for.
#include "app/EbookApplication.h"
#include "browser/BookTree.h"
#include "browser/fm_ywzx.h"
#include "widgets/MessageBoxes.h"
#include "data/ywzxDM.h"
#include "maintenance/ywlbwhFrm.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <cstdio>

namespace {

QString textOf(const QString &sourceBook, qint64 bytes)
{
    QString all;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("source"));
        db.setDatabaseName(sourceBook);
        db.open();
        QSqlQuery texts(QStringLiteral("select ywnr from ywzx_ywlb where ywnr is not null"), db);
        while (texts.next() && all.size() < 4000000)
            all += texts.value(0).toString();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("source"));
    QByteArray utf8;
    const QByteArray piece = all.toUtf8();
    while (utf8.size() < bytes)
        utf8 += piece;
    utf8.truncate(bytes);
    while (!utf8.isEmpty() && (uchar(utf8.back()) & 0xC0) == 0x80) // no character cut in two
        utf8.chop(1);
    if (!utf8.isEmpty() && uchar(utf8.back()) >= 0xC0)
        utf8.chop(1);
    return QString::fromUtf8(utf8);
}

QString leafCode(const QString &book, int offset)
{
    QSqlDatabase db = QSqlDatabase::database(QStringLiteral("plain"));
    QSqlQuery leaf(db);
    leaf.prepare(QStringLiteral("select lbbh from ywzx_ywlb where lbbh not in (select flbh from ywzx_ywlb)"
                                " and lbbh <> '00000' order by rowid limit 1 offset ?"));
    leaf.addBindValue(offset);
    leaf.exec();
    return leaf.next() ? leaf.value(0).toString() : QString();
    Q_UNUSED(book);
}

double dialogSave(const QString &code, const QString &text)
{
    ywzxform->landOnChapter(code);
    double ms = -1;
    const auto shown = maintenanceDialogRunner.replace([&](QDialog &dialog) {
        auto &d = static_cast<TywlbwhForm &>(dialog);
        d.edit_lb_btnClick();
        d.nr_memo->setPlainText(text);
        QElapsedTimer timer;
        timer.start();
        const bool saved = d.SaveChapter();
        ms = saved ? timer.nsecsElapsed() / 1e6 : -1;
        return 0;
    });
    ShowChapterDialog(code, ywzxform->TreeView, 2);
    return ms;
}

double plainSave(const QString &code, const QString &text)
{
    QSqlDatabase db = QSqlDatabase::database(QStringLiteral("plain"));
    QSqlQuery update(db);
    update.prepare(QStringLiteral("update ywzx_ywlb set ywnr = ? where lbbh = ?"));
    update.addBindValue(text);
    update.addBindValue(code);
    QElapsedTimer timer;
    timer.start();
    if (!update.exec()) {
        std::fprintf(stderr, "%s\n", qPrintable(update.lastError().text()));
        return -1;
    }
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    EbookApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_save BOOK SOURCE_BOOK MB...\n");
        return 2;
    }
    const QString book = QString::fromLocal8Bit(argv[1]);
    const auto boxes = MessageBoxes::show.replace([](const MessageBoxes::Request &) { return QMessageBox::Ok; });
    TywzxDMF dm;
    ywzxDMF = &dm;
    dm.ydconn.setDatabaseFile(book);
    dm.ydconn.open();
    std::unique_ptr<Tywzxform> window(Tywzxform::create());
    ywzxform = window.get();
    window->show();
    QSqlDatabase plain = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("plain"));
    plain.setDatabaseName(book);
    plain.open();
    std::printf("| text | characters | dialog ms | ms per MB | another program ms | ms per MB |\n|---|---|---|---|---|---|\n");
    for (int i = 3; i < argc; ++i) {
        const double mb = QByteArray(argv[i]).toDouble();
        const QString text = textOf(QString::fromLocal8Bit(argv[2]), qint64(mb * 1048576));
        const double dialog = dialogSave(leafCode(book, 2 * i), text);
        const double other = plainSave(leafCode(book, 2 * i + 1), text);
        std::printf("| %g MB | %lld | %.0f | %.0f | %.0f | %.0f |\n", mb, qint64(text.size()), dialog, dialog / mb, other,
                    other / mb);
        std::fflush(stdout);
    }
    return 0;
}
