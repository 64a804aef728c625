#include "browser/BookmarksWindow.h"

#include "widgets/Handlers.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAccessibleName(QString(caption).remove(QLatin1Char('&')).section(QLatin1Char('('), 0, 0));
    b->setAutoDefault(false);
    return b;
}

} // namespace

BookmarksWindow::BookmarksWindow(QWidget *owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("BookmarksWindow"));
    setWindowTitle(QCoreApplication::translate("BookmarksWindow", "书签"));
    setAccessibleName(windowTitle());
    resize(520, 360);

    BookmarkList = new QTreeWidget(this);
    BookmarkList->setObjectName(QStringLiteral("BookmarkList"));
    BookmarkList->setAccessibleName(QCoreApplication::translate("BookmarksWindow", "书签列表"));
    BookmarkList->setHeaderLabels({QCoreApplication::translate("BookmarksWindow", "书签"), QCoreApplication::translate("BookmarksWindow", "位置")});
    BookmarkList->setRootIsDecorated(false);
    BookmarkList->setEditTriggers(QAbstractItemView::EditKeyPressed);
    BookmarkList->header()->resizeSection(0, 180);

    OpenButton = button(this, "OpenButton", QCoreApplication::translate("BookmarksWindow", "打开(&O)"));
    RenameButton = button(this, "RenameButton", QCoreApplication::translate("BookmarksWindow", "重命名(&R)"));
    RemoveButton = button(this, "RemoveButton", QCoreApplication::translate("BookmarksWindow", "删除(&D)"));
    CloseButton = button(this, "CloseButton", QCoreApplication::translate("BookmarksWindow", "关闭"));

    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {OpenButton, RenameButton, RemoveButton})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(CloseButton);
    auto *column = new QVBoxLayout(this);
    column->addWidget(BookmarkList);
    column->addLayout(buttons);

    Handlers::connect(BookmarkList, &QTreeWidget::itemActivated, this, [this] { openChosen(); });
    Handlers::connect(OpenButton, &QPushButton::clicked, this, [this] { openChosen(); });
    Handlers::connect(RenameButton, &QPushButton::clicked, this, [this] { renameChosen(); });
    Handlers::connect(RemoveButton, &QPushButton::clicked, this, [this] { removeChosen(); });
    Handlers::connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
    Handlers::connect(BookmarkList, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem *item) {
        if (!filling_)
            labelEdited(BookmarkList->indexOfTopLevelItem(item), item->text(0));
    });
}

void BookmarksWindow::showList(const QList<Bookmark> &bookmarks)
{
    const int row = std::max(chosenRow(), 0);
    bookmarks_ = bookmarks;
    filling_ = true;
    BookmarkList->clear();
    for (const Bookmark &bookmark : bookmarks_) {
        auto *item = new QTreeWidgetItem(BookmarkList, {bookmark.label, bookmark.path});
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        item->setToolTip(1, bookmark.path);
    }
    filling_ = false;
    if (!bookmarks_.isEmpty())
        BookmarkList->setCurrentItem(BookmarkList->topLevelItem(std::min(row, int(bookmarks_.size()) - 1)));
    for (QPushButton *b : {OpenButton, RenameButton, RemoveButton})
        b->setEnabled(!bookmarks_.isEmpty());
}

int BookmarksWindow::chosenRow() const
{
    QTreeWidgetItem *item = BookmarkList->currentItem();
    return item ? BookmarkList->indexOfTopLevelItem(item) : -1;
}

void BookmarksWindow::openChosen()
{
    const int row = chosenRow();
    if (row >= 0 && onOpen)
        onOpen(bookmarks_.at(row));
}

void BookmarksWindow::renameChosen()
{
    if (QTreeWidgetItem *item = BookmarkList->currentItem())
        BookmarkList->editItem(item, 0);
}

void BookmarksWindow::labelEdited(int row, const QString &label)
{
    if (row < 0 || row >= bookmarks_.size())
        return;
    const QString trimmed = label.trimmed();
    // An emptied label keeps the one it had: a row without a label cannot be told apart.
    const bool changed = !trimmed.isEmpty() && trimmed != bookmarks_.at(row).label;
    if (changed)
        bookmarks_[row].label = trimmed;
    // The row is changed in place: the editor that wrote it is still closing.
    filling_ = true;
    BookmarkList->topLevelItem(row)->setText(0, bookmarks_.at(row).label);
    filling_ = false;
    if (changed && onChange)
        onChange(bookmarks_);
}

void BookmarksWindow::removeChosen()
{
    const int row = chosenRow();
    if (row < 0)
        return;
    bookmarks_.removeAt(row);
    showList(bookmarks_);
    if (onChange)
        onChange(bookmarks_);
}

void BookmarksWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete) { // an open label editor keeps its own Delete
        removeChosen();
        return;
    }
    QDialog::keyPressEvent(event);
}
