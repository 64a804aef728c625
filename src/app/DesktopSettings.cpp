#include "app/DesktopSettings.h"

#include "widgets/TextZoom.h"
#include "browser/fm_ywzx.h"
#include "widgets/Handlers.h"
#include "search/FindDialog.h"
#include "data/ServerConfig.h"
#include "data/ywzxDM.h"

#include <QAction>
#include <QCheckBox>
#include <QCompleter>
#include <QUrl>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStringListModel>
#include <algorithm>
#include <memory>

namespace DesktopSettings {

namespace {

const QString Geometry = QStringLiteral("window/geometry");
const QString Maximised = QStringLiteral("window/maximised");
const QString Splitter = QStringLiteral("window/splitter");
const QString Zoom = QStringLiteral("pane/zoom");
const QString AutoExpand = QStringLiteral("tree/autoExpand");
const QString BarePrint = QStringLiteral("print/bare");
const QString InterfaceLanguage = QStringLiteral("interface/language");
const QString Night = QStringLiteral("pane/night");
const QString Face = QStringLiteral("pane/face");

QString historyKey(const FindDialog &dialog)
{
    return QStringLiteral("find/") + dialog.objectName();
}

QString variantsKey(const FindDialog &dialog)
{
    return QStringLiteral("find/") + dialog.objectName() + QStringLiteral("Variants");
}

QStringListModel *historyModel(const FindDialog &dialog)
{
    QCompleter *completer = dialog.FindEdit->completer();
    return completer ? qobject_cast<QStringListModel *>(completer->model()) : nullptr;
}

// The box offers the remembered texts as completions of what is typed.
void offerHistory(FindDialog &dialog, const QStringList &texts)
{
    if (!historyModel(dialog)) {
        auto *completer = new QCompleter(new QStringListModel(&dialog), &dialog);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        completer->setFilterMode(Qt::MatchContains);
        dialog.offerCompletions(completer);
    }
    historyModel(dialog)->setStringList(texts);
}

void remember(FindDialog &dialog)
{
    QStringList texts = history(dialog);
    texts.removeAll(dialog.text());
    texts.prepend(dialog.text());
    while (texts.size() > HistorySize)
        texts.removeLast();
    // Kept in the box's list only: the file is written at the end (save()),
    // never by a search (QSettings syncs the disk, up to 0.1 s here).
    offerHistory(dialog, texts);
}

void saveFindSettings(QSettings &settings, const FindDialog &dialog)
{
    settings.setValue(historyKey(dialog), history(dialog));
    settings.setValue(variantsKey(dialog), dialog.fjtc_chk->isChecked());
}

void restoreHistory(QSettings &settings, FindDialog &dialog)
{
    QStringList texts = settings.value(historyKey(dialog)).toStringList();
    texts.removeAll(QString());
    offerHistory(dialog, texts.mid(0, HistorySize));
    dialog.fjtc_chk->setChecked(settings.value(variantsKey(dialog), false).toBool());
    Handlers::connect(&dialog, &FindDialog::find, &dialog, [&dialog] { remember(dialog); });
}

constexpr int MostBookmarks = 10000;

// Where the reader was and the bookmarks belong to one book: its file's
// path or its server's address (never with a password).
QString bookGroup()
{
    const QString name = ywzxDMF ? placesBookName(ywzxDMF->ydconn.databaseFile(), ywzxDMF->ydconn.handle()) : QString();
    return QStringLiteral("books/") + QString::fromLatin1(QUrl::toPercentEncoding(name));
}

void writePlace(QSettings &settings, const QString &prefix, const ReadingPlace &place)
{
    settings.setValue(prefix + QStringLiteral("chapter"), place.chapterCode);
    settings.setValue(prefix + QStringLiteral("article"), place.articleCode);
    settings.setValue(prefix + QStringLiteral("scroll"), place.scroll);
}

ReadingPlace readPlace(const QSettings &settings, const QString &prefix)
{
    return {settings.value(prefix + QStringLiteral("chapter")).toString(),
            settings.value(prefix + QStringLiteral("article")).toString(),
            std::max(0, settings.value(prefix + QStringLiteral("scroll")).toInt())};
}

void writeBookmarks(const QList<Bookmark> &bookmarks)
{
    const std::unique_ptr<QSettings> settings = open();
    settings->beginGroup(bookGroup());
    // A shorter list would leave the removed bookmarks' entries in the file.
    settings->remove(QStringLiteral("bookmarks"));
    settings->beginWriteArray(QStringLiteral("bookmarks"), int(bookmarks.size()));
    for (int i = 0; i < bookmarks.size(); ++i) {
        settings->setArrayIndex(i);
        settings->setValue(QStringLiteral("label"), bookmarks.at(i).label);
        settings->setValue(QStringLiteral("path"), bookmarks.at(i).path);
        writePlace(*settings, QString(), bookmarks.at(i).place);
    }
    settings->endArray();
}

QList<Bookmark> readBookmarks(QSettings &settings)
{
    QList<Bookmark> bookmarks;
    // A damaged count must not keep the start reading empty entries.
    const int count = std::min(settings.beginReadArray(QStringLiteral("bookmarks")), MostBookmarks);
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        const Bookmark bookmark{settings.value(QStringLiteral("label")).toString(),
                                settings.value(QStringLiteral("path")).toString(), readPlace(settings, QString())};
        if (bookmark.place.isValid() && !bookmark.label.isEmpty())
            bookmarks.append(bookmark);
    }
    settings.endArray();
    return bookmarks;
}

// The place read last and the bookmarks of the open book.
void restorePlaces(QSettings &settings, Tywzxform &window)
{
    settings.beginGroup(bookGroup());
    window.setBookmarks(readBookmarks(settings));
    window.resumeAt(readPlace(settings, QStringLiteral("last/")));
    settings.endGroup();
    // Written as the reader adds, renames or removes one, not only at the end.
    Handlers::connect(&window, &Tywzxform::bookmarksChanged, &window,
                      [&window] { writeBookmarks(window.bookmarks()); });
}

int zoomOf(const QSettings &settings)
{
    bool ok = false;
    const int zoom = settings.value(Zoom).toInt(&ok);
    return ok ? zoom : 100;
}

// The night scheme and the reading face; a face uninstalled since is forgotten.
void restoreReadingLook(const QSettings &settings, Tywzxform &window)
{
    window.setNightScheme(settings.value(Night, false).toBool());
    const QString face = settings.value(Face).toString();
    if (!face.isEmpty() && QFontDatabase::hasFamily(face))
        window.setReadingFace(face);
}

bool onAnyScreen(const QRect &frame)
{
    for (const QScreen *screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(frame))
            return true;
    return false;
}

} // namespace

std::unique_ptr<QSettings> open()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("mochuan"),
                                       QStringLiteral("ebook-reader"));
}

void restore(Tywzxform &window)
{
    const std::unique_ptr<QSettings> settings = open();
    window.Splitter1->restoreState(settings->value(Splitter).toByteArray());
    window.PaneZoom->setPercent(zoomOf(*settings));
    const QVariant autoExpand = settings->value(AutoExpand);
    if (autoExpand.isValid() && autoExpand.canConvert<bool>() && autoExpand.toBool() != window.N6->isChecked())
        window.N6->trigger();
    window.BarePrintAction->setChecked(settings->value(BarePrint, false).toBool());
    restoreHistory(*settings, *window.FindDialog1);
    restoreHistory(*settings, *window.FindDialog2);
    restorePlaces(*settings, window);
    restoreReadingLook(*settings, window);
}

void showMainWindow(Tywzxform &window)
{
    const std::unique_ptr<QSettings> settings = open();
    if (!window.restoreGeometry(settings->value(Geometry).toByteArray())) {
        window.showMaximized();
        return;
    }
    if (!onAnyScreen(window.frameGeometry()))
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            window.move(screen->availableGeometry().topLeft());
    if (settings->value(Maximised, true).toBool())
        window.showMaximized();
    else
        window.showNormal();
}

void save(const Tywzxform &window)
{
    const std::unique_ptr<QSettings> settings = open();
    settings->setValue(Geometry, window.saveGeometry());
    // Full screen lasts one run: the next starts as the window was before it.
    settings->setValue(Maximised, window.isFullScreen() ? window.maximisedBeforeFullScreen() : window.isMaximized());
    settings->setValue(Splitter, window.Splitter1->saveState());
    settings->setValue(Zoom, window.PaneZoom->percent());
    settings->setValue(AutoExpand, window.autoExpand());
    settings->setValue(BarePrint, window.BarePrintAction->isChecked());
    settings->setValue(Night, window.nightScheme());
    settings->setValue(Face, window.readingFace());
    saveFindSettings(*settings, *window.FindDialog1);
    saveFindSettings(*settings, *window.FindDialog2);
    writePlace(*settings, bookGroup() + QStringLiteral("/last/"), window.currentPlace());
}

int paneZoom()
{
    return zoomOf(*open());
}

std::optional<Language::Choice> language()
{
    return Language::parse(open()->value(InterfaceLanguage).toString());
}

void setLanguage(Language::Choice choice)
{
    open()->setValue(InterfaceLanguage, Language::code(choice));
}

QStringList history(const FindDialog &dialog)
{
    const QStringListModel *model = historyModel(dialog);
    return model ? model->stringList() : QStringList();
}

} // namespace DesktopSettings
