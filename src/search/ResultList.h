#pragma once

#include <QListView>
#include <QString>

class BookQuery;
class HitRows;

// The results window's list of hits: one row per row of the search's
// dataset, its label (名称[N编号]) made from the dataset's name and code
// when the row comes into view. Nothing is copied per hit, so a list of
// 20,000 hits fills and goes away at once.
class ResultList : public QListView {
    Q_OBJECT
public:
    explicit ResultList(QWidget *parent = nullptr);
    ~ResultList() override;

    // Lists the rows of the open dataset (not owned: it must outlive the
    // list, and be set again after it changes), none selected or current.
    void setRows(const BookQuery &rows);
    // Lists nothing.
    void clear();

    int count() const;
    // The row's label, as the list shows it.
    QString text(int row) const;
    int currentRow() const;
    // Makes the row current and selects it alone (-1: none), as a click does.
    void setCurrentRow(int row);
    // The selected row, or -1.
    int selectedRow() const;

private:
    HitRows *rows_;
};
