// The places of the browser window: back and forward through the places
// read, the place to resume at, and the reader's bookmarks.
#include "browser/fm_ywzx.h"

#include "browser/BookTree.h"
#include "browser/BookmarksWindow.h"
#include "browser/ChapterTree.h"
#include "browser/FrameParts.h"
#include "widgets/BookNode.h"
#include "widgets/Handlers.h"
#include "widgets/MessageBoxes.h"
#include "search/ChapterLanding.h"
#include "common/Labels.h"

#include <QAction>
#include <QBoxLayout>
#include <QCoreApplication>
#include <QFrame>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QToolButton>

using namespace FrameParts;

namespace {

// The mouse's back and forward buttons over a view: they move through the
// places read instead of reaching the view (whose press would select a row).
class SideButtons : public QObject {
public:
    SideButtons(QObject *parent, std::function<void(int)> step)
        : QObject(parent), step_(std::move(step))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease
            && type != QEvent::MouseButtonDblClick)
            return QObject::eventFilter(watched, event);
        const Qt::MouseButton button = static_cast<QMouseEvent *>(event)->button();
        if (button != Qt::BackButton && button != Qt::ForwardButton)
            return QObject::eventFilter(watched, event);
        if (type == QEvent::MouseButtonPress)
            step_(button == Qt::BackButton ? -1 : 1);
        return true;
    }

private:
    std::function<void(int)> step_;
};

} // namespace

void Tywzxform::buildPlaceCommands()
{
    const auto command = [this](const char *name, const QString &caption, const QKeySequence &keys) {
        auto *action = new QAction(caption, this);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(keys);
        addAction(action);
        return action;
    };
    BackAction = command("BackAction", QCoreApplication::translate("fm_ywzx", "后退"), QKeySequence(Qt::ALT | Qt::Key_Left));
    ForwardAction = command("ForwardAction", QCoreApplication::translate("fm_ywzx", "前进"), QKeySequence(Qt::ALT | Qt::Key_Right));
    AddBookmarkAction = command("AddBookmarkAction", QCoreApplication::translate("fm_ywzx", "添加书签"), QKeySequence(Qt::CTRL | Qt::Key_D));
    BookmarksAction = command("BookmarksAction", QCoreApplication::translate("fm_ywzx", "书签列表..."), QKeySequence(Qt::CTRL | Qt::Key_B));
    Handlers::connect(BackAction, &QAction::triggered, this, &Tywzxform::goBack);
    Handlers::connect(ForwardAction, &QAction::triggered, this, &Tywzxform::goForward);
    Handlers::connect(AddBookmarkAction, &QAction::triggered, this, &Tywzxform::addBookmark);
    Handlers::connect(BookmarksAction, &QAction::triggered, this, &Tywzxform::showBookmarks);
    // In the tree's menu: the pane's holds the design's edit commands.
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(AddBookmarkAction);
    PopupMenu1->addAction(BookmarksAction);
    buildPlaceButtons();
    auto *buttons = new SideButtons(this, [this](int step) { Handlers::run([&] { stepPlace(step); }); });
    TreeView->viewport()->installEventFilter(buttons);
    memo1->viewport()->installEventFilter(buttons);
    updatePlaceCommands();
}

// A small group after the two search buttons.
void Tywzxform::buildPlaceButtons()
{
    nav_Panel = panel(Panel1, "nav_Panel", false);
    nav_Panel->setFixedWidth(134);
    back_btn = speedButton(nav_Panel, "back_btn", BackAction->text(), QStyle::SP_ArrowBack, 2);
    forward_btn = speedButton(nav_Panel, "forward_btn", ForwardAction->text(), QStyle::SP_ArrowForward, 68);
    for (QToolButton *button : {back_btn, forward_btn}) {
        button->resize(66, 33);
        button->setAccessibleName(button->text());
        button->setFocusPolicy(Qt::NoFocus);
    }
    back_btn->setToolTip(withShortcut(back_btn->text(), BackAction->shortcut()));
    forward_btn->setToolTip(withShortcut(forward_btn->text(), ForwardAction->shortcut()));
    Handlers::connect(back_btn, &QToolButton::clicked, this, &Tywzxform::goBack);
    Handlers::connect(forward_btn, &QToolButton::clicked, this, &Tywzxform::goForward);
    static_cast<QBoxLayout *>(Panel1->layout())->insertWidget(1, nav_Panel);
}

void Tywzxform::updatePlaceCommands()
{
    BackAction->setEnabled(history_.canGoBack());
    ForwardAction->setEnabled(history_.canGoForward());
    back_btn->setEnabled(history_.canGoBack());
    forward_btn->setEnabled(history_.canGoForward());
}

int Tywzxform::paneScroll() const
{
    return memo1->verticalScrollBar()->value();
}

ReadingPlace Tywzxform::currentPlace() const
{
    ReadingPlace place = ReadingPlace::of(TreeView->currentItem());
    place.scroll = paneScroll();
    return place;
}

// Called as the tree's selection changes, before and after the new node is shown.
void Tywzxform::leavePlace()
{
    if (!stepping_)
        history_.keepScroll(paneScroll());
}

void Tywzxform::enterPlace(QTreeWidgetItem *node)
{
    if (stepping_)
        return;
    history_.visit(ReadingPlace::of(node));
    updatePlaceCommands();
}

void Tywzxform::goBack()
{
    stepPlace(-1);
}

void Tywzxform::goForward()
{
    stepPlace(1);
}

// A place gone from the book meanwhile is passed over and forgotten.
void Tywzxform::stepPlace(int step)
{
    history_.keepScroll(paneScroll());
    while (true) {
        const ReadingPlace place = history_.step(step);
        if (!place.isValid() || openPlace(place))
            break;
        history_.dropCurrent(step);
    }
    updatePlaceCommands();
}

QTreeWidgetItem *Tywzxform::nodeOf(const ReadingPlace &place)
{
    const ChapterLanding::TreeReads reads{[this](QTreeWidgetItem *node) { LoadChildren(node); },
                                          [this](QTreeWidgetItem *node) { chapters_->addNewChapters(node); }};
    QTreeWidgetItem *chapter = ChapterLanding::chapterNode(rootNode(), place.chapterCode, reads);
    if (!chapter || place.articleCode.isEmpty())
        return chapter;
    LoadChildren(chapter);
    for (int i = 0; i < chapter->childCount(); ++i)
        if (BookNode::isArticle(chapter->child(i)) && BookNode::code(chapter->child(i)) == place.articleCode)
            return chapter->child(i);
    return nullptr;
}

bool Tywzxform::openPlace(const ReadingPlace &place)
{
    QTreeWidgetItem *node = nodeOf(place);
    if (!node)
        return false;
    stepping_ = true;
    if (TreeView->currentItem() != node)
        ChapterLanding::revealAndSelect(TreeView, node);
    stepping_ = false;
    memo1->verticalScrollBar()->setValue(place.scroll);
    return true;
}

void Tywzxform::resumeAt(const ReadingPlace &place)
{
    resume_ = place;
    if (shown_)
        resumeReading();
}

// Silently stays on the design's first selection when the place is gone.
void Tywzxform::resumeReading()
{
    const ReadingPlace place = std::exchange(resume_, ReadingPlace());
    if (place.isValid())
        openPlace(place);
    history_.clear();
    history_.visit(currentPlace());
    updatePlaceCommands();
}

void Tywzxform::addBookmark()
{
    QTreeWidgetItem *node = TreeView->currentItem();
    const ReadingPlace place = currentPlace();
    if (!place.isValid())
        return;
    // Labelled as the tree shows the node; a node without a name by its code,
    // since a bookmark without a label is not kept.
    const QString name = Labels::shown(BookNode::name(node)).trimmed();
    const Bookmark bookmark{name.isEmpty() ? BookNode::code(node) : name, namePath(node), place};
    // One bookmark a node: adding it again keeps the new scroll position.
    const auto same = std::find_if(bookmarks_.begin(), bookmarks_.end(),
                                   [&](const Bookmark &b) { return b.place.sameNode(place); });
    if (same != bookmarks_.end())
        same->place.scroll = place.scroll;
    else
        bookmarks_.append(bookmark);
    bookmarksEdited(bookmarks_);
}

void Tywzxform::setBookmarks(const QList<Bookmark> &bookmarks)
{
    bookmarks_ = bookmarks;
    if (bookmarksWindow_)
        bookmarksWindow_->showList(bookmarks_);
}

void Tywzxform::bookmarksEdited(const QList<Bookmark> &bookmarks)
{
    setBookmarks(bookmarks);
    emit bookmarksChanged();
}

BookmarksWindow *Tywzxform::bookmarksWindow() const
{
    return bookmarksWindow_;
}

void Tywzxform::showBookmarks()
{
    if (!bookmarksWindow_) {
        bookmarksWindow_ = new BookmarksWindow(this);
        bookmarksWindow_->onOpen = [this](const Bookmark &bookmark) { openBookmark(bookmark); };
        // The window already shows its own change: only the kept list and the file follow.
        bookmarksWindow_->onChange = [this](const QList<Bookmark> &list) {
            bookmarks_ = list;
            emit bookmarksChanged();
        };
    }
    bookmarksWindow_->showList(bookmarks_);
    bookmarksWindow_->show();
    bookmarksWindow_->raise();
    bookmarksWindow_->activateWindow();
}

void Tywzxform::openBookmark(const Bookmark &bookmark)
{
    history_.keepScroll(paneScroll());
    if (!openPlace(bookmark.place)) {
        MessageBoxes::searchInfo(bookmarksWindow_ ? static_cast<QWidget *>(bookmarksWindow_) : this,
                                 QCoreApplication::translate("fm_ywzx", "书签“%1”所指的章节或内容已不在书中。").arg(bookmark.label));
        return;
    }
    // Opened from the list, the bookmark is a place moved to like any other.
    history_.visit(currentPlace());
    updatePlaceCommands();
}
