#pragma once

#include "browser/ReadingPlaces.h"

#include <QDialog>
#include <functional>

class QPushButton;
class QTreeWidget;

// The list of the reader's bookmarks (Ctrl+B), beside the main window: one
// row a bookmark, its label and its path. A row opens by double click,
// Enter or 打开; 重命名 edits its label in place; 删除 (or Delete) removes it.
class BookmarksWindow : public QDialog {
    Q_OBJECT
public:
    explicit BookmarksWindow(QWidget *owner);

    void showList(const QList<Bookmark> &bookmarks);
    const QList<Bookmark> &bookmarks() const { return bookmarks_; }

    std::function<void(const Bookmark &)> onOpen;
    // The list after a rename or a removal.
    std::function<void(const QList<Bookmark> &)> onChange;

    QTreeWidget *BookmarkList;
    QPushButton *OpenButton, *RenameButton, *RemoveButton, *CloseButton;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void openChosen();
    void renameChosen();
    void removeChosen();
    void labelEdited(int row, const QString &label);
    int chosenRow() const;

    QList<Bookmark> bookmarks_;
    bool filling_ = false;
};
