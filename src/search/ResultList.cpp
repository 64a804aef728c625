#include "search/ResultList.h"

#include "common/Labels.h"
#include "data/BookQuery.h"

#include <QAbstractListModel>
#include <QItemSelectionModel>

// The dataset's rows as the list's model.
class HitRows : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void show(const BookQuery *rows)
    {
        beginResetModel();
        rows_ = rows;
        endResetModel();
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() || !rows_ ? 0 : rows_->recordCount();
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!rows_ || !index.isValid() || index.row() >= rows_->recordCount() || role != Qt::DisplayRole)
            return QVariant();
        return Labels::resultLabel(rows_->fieldAsText(index.row(), QStringLiteral("lbmc")),
                                   rows_->fieldAsText(index.row(), QStringLiteral("lbbh")));
    }

private:
    const BookQuery *rows_ = nullptr;
};

ResultList::ResultList(QWidget *parent)
    : QListView(parent), rows_(new HitRows(this))
{
    setModel(rows_);
}

ResultList::~ResultList() = default;

void ResultList::setRows(const BookQuery &rows)
{
    // A dataset without the columns fails here, where the caller reports
    // it, not while the list paints.
    rows.fieldAsText(0, QStringLiteral("lbmc"));
    rows.fieldAsText(0, QStringLiteral("lbbh"));
    rows_->show(&rows);
}

void ResultList::clear()
{
    rows_->show(nullptr);
}

int ResultList::count() const
{
    return rows_->rowCount();
}

QString ResultList::text(int row) const
{
    return rows_->data(rows_->index(row), Qt::DisplayRole).toString();
}

int ResultList::currentRow() const
{
    return currentIndex().row();
}

void ResultList::setCurrentRow(int row)
{
    selectionModel()->setCurrentIndex(rows_->index(row), QItemSelectionModel::ClearAndSelect);
}

int ResultList::selectedRow() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}
