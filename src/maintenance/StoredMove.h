#pragma once

#include "widgets/BookNode.h"
#include "maintenance/MaintenanceDialog.h"

class QPushButton;

// A confirmed drop in the staff edition, written to the book: the dragged
// chapter's parent or the dragged article's chapter becomes the target. It
// is saved as the dialogs save, never shown: the row is checked against
// what the tree shows (a change made elsewhere is asked about) and written
// in one transaction under the book's write lock, where the target is
// checked too: a chapter of the book, and not inside the chapter moved.
class StoredMove : public MaintenanceDialog {
    Q_OBJECT
public:
    // True when the move was written; otherwise nothing was, and the reason
    // was shown (or the question about another program's change declined).
    static bool store(QTreeWidgetItem *node, QTreeWidgetItem *target, QWidget *window);

protected:
    void load(const QString &) override {}
    void remove() override {}
    void beginAdd() override {}
    void beginEdit() override {}
    QWidget *browseButtons() const override;
    QPushButton *cancelButton() const override { return unused_; }
    void lockFields() override {}
    void addNext() override {}

private:
    StoredMove(QTreeWidgetItem *node, QTreeWidgetItem *target);
    bool run();
    SaveChecks checks() const;
    // Under the lock: why the target cannot take the record (empty when it can).
    QString targetRefusal() const;
    bool liesInsideMoved(QString chapterCode) const;
    void write();

    BookNode::Kind kind_;
    QString targetCode_;
    QLineEdit *codeField_, *targetField_;
    QPushButton *unused_;
    QString refusal_;
    QString storedName_;
};
