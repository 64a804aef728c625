#pragma once

#include "widgets/PaneText.h"
#include "common/Seam.h"

#include <QDialog>
#include <functional>
#include <memory>

class BookQuery;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class ResultList;
class QSplitter;

// The name of the chosen hit of a full-text search; the search moves the
// tree to it when the results window has closed.
extern QString ResultChapterName;
// The code of that hit, set with the name; null while no hit is chosen.
extern QString ResultChapterCode;
// The texts whose occurrences are marked in the results window and, after
// the move, in the reading pane: the search text and each narrowing text
// that found chapters.
extern QStringList ResultMarkTexts;
// Whether those texts match variants too (繁简通查), as the search did.
extern bool ResultMarkVariants;

// The results window of the full-text search ("基本内容"): the list of the
// chapters found, the fields and text of the chosen one, and narrowing.
class TShowjbywnrForm : public QDialog {
    Q_OBJECT
public:
    explicit TShowjbywnrForm(BookQuery &resultSet);
    ~TShowjbywnrForm() override;

    QFrame *Panel9;
    QLabel *RxLabel13, *RxLabel11, *RxLabel12, *RxLabel15, *RxLabel16, *RxLabel17;
    QLineEdit *nr_flbh_Edit, *nr_nrbh_Edit, *nr_nrbt_Edit, *nr_xgrq_dateedit, *nr_xgr_Edit;
    QPushButton *Button1;
    QLineEdit *Edit1;
    QPushButton *exit_btn;
    QFrame *Panel10;
    QFrame *Panel1;
    ResultList *nrbtListBox;
    QSplitter *Splitter1;
    TextPane *nr_memo;

    // The dataset the window reads; not owned.
    BookQuery &ResultSet;

    void FillResultList();
    void ShowCurrentResult();
    void nrbtListBoxClick();
    void Button1Click();

    // Runs the window modally; tests replace it to act as the reader.
    static Seam<int(TShowjbywnrForm &)> runModal;

private:
    void choose(int row);
    QLineEdit *field(const char *name, const QRect &geometry, int maxLength, bool readOnly);
    QLabel *caption(const char *name, const QString &text, int left, int top);
    void fillFromResultSet();
    void showHitCount();
    bool textsListed() const;
    QString keyColumn() const;

    // Reads the shown hit's fields and text when the list holds only keys.
    std::unique_ptr<BookQuery> shown_;
};

// Shows the chapters of an open dataset; returns the window's modal result,
// or at once (showing nothing) when the dataset is not open.
// owner: the window the results window belongs to.
int ShowSearchResults(BookQuery &dataset, bool showList, QWidget *owner);
