#pragma once

#include "maintenance/MaintenanceDialog.h"

class QFrame;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;

// The article dialog ("文章内容维护"): one article with its chapter; adds
// articles to the chapter, changes or deletes the article, keeping the tree
// in step. The twin of the chapter dialog.
class TywnrwhForm : public MaintenanceDialog {
    Q_OBJECT
public:
    TywnrwhForm();

    QFrame *Panel9, *Panel10, *Panel11, *Panel12;
    QLabel *RxLabel13, *RxLabel14, *RxLabel11, *RxLabel12, *RxLabel15, *RxLabel16, *RxLabel17;
    QLineEdit *nr_flbh_Edit, *nr_flmc_Edit, *nr_nrbh_Edit, *nr_nrbt_Edit, *nr_xgrq_DateEdit, *nr_xgr_Edit;
    QPlainTextEdit *nr_memo;
    QMenu *PopupMenu2;
    QFrame *whPanel;
    QPushButton *insert_nr_Btn, *edit_nr_btn, *delete_nr_btn, *ok_nr_btn, *cancel_nr_btn, *exit_btn;

    void LoadArticle(const QString &code);
    void LockFields();
    void UnlockFields();
    void BeginAdd();
    void BeginEdit();
    bool SaveArticle();
    void DeleteArticle();

    void insert_nr_BtnClick();
    void edit_nr_btnClick();
    void cancel_nr_btnClick();
    void exit_btnClick();
    void ok_nr_btnClick();
    void delete_nr_btnClick();

    bool isAddState() const;

protected:
    void load(const QString &code) override { LoadArticle(code); }
    void remove() override { DeleteArticle(); }
    void beginAdd() override { BeginAdd(); }
    void beginEdit() override { BeginEdit(); }
    void lockFields() override { LockFields(); }
    void addNext() override { insert_nr_BtnClick(); }
    QWidget *browseButtons() const override;
    QPushButton *cancelButton() const override { return cancel_nr_btn; }

private:
    void buildRecordArea();
    void nameFields();
    void buildButtonStrip();
    void writeRow(bool insert);
    QList<QWidget *> writableFields() const;
};

// The entry of the article dialog: mode 0 browse, 1 add to the chapter,
// 2 change, 3 delete (without showing the window).
void ShowArticleDialog(const QString &code, QTreeWidget *tree, int mode);
