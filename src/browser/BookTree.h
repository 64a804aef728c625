#pragma once

#include <QTreeWidget>
#include <functional>

// The chapter tree control: a tree widget whose drops are handed to its
// window instead of moving rows by themselves.
class BookTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit BookTree(QWidget *parent = nullptr);

    std::function<void(const QPoint &)> onDrop;

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};
