#pragma once

#include "data/BookQuery.h"
#include "maintenance/MaintenanceDialog.h"
#include "maintenance/PhotoPicker.h"

#include <QByteArray>
#include <QLabel>
#include <functional>

class QCheckBox;
class QFrame;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;

// The chapter dialog ("章节内容维护"): one chapter with its parent; adds
// child chapters, changes or deletes the chapter, keeping the tree in step.
class TywlbwhForm : public MaintenanceDialog {
    Q_OBJECT
public:
    TywlbwhForm();

    // Record area
    QFrame *RecordPanel;
    QLabel *Label2, *Label3, *Label5, *Label6, *Label7;
    QLineEdit *lb_flbh_Edit, *lb_flmc_Edit, *lb_lbbh_Edit, *lb_lbmc_Edit, *lb_xgrq_dateedit, *lb_xgr_Edit;
    QPushButton *Button1;
    PictureBox *Image1;
    QLabel *Label1;
    // Content pane
    QFrame *Panel1;
    QScrollArea *ScrollBox1;
    QPlainTextEdit *nr_memo;
    QMenu *PopupMenu2;
    // Button bar
    QFrame *ButtonBar;
    QFrame *whPanel;
    QPushButton *Insert_lb_Btn, *edit_lb_btn, *delete_lb_btn, *ok_lb_btn, *cancel_lb_btn, *exit_btn;
    QCheckBox *CheckBox1;

    // The dialog's own query of the next row id.
    BookQuery Query1;

    void LoadChapter(const QString &code);
    void LockFields();
    void UnlockFields();
    void BeginAdd();
    void BeginEdit();
    static QString NewRandomCode();
    bool SaveChapter();
    void DeleteChapter();

    // Event handlers
    void FormShow();
    void Insert_lb_BtnClick();
    void edit_lb_btnClick();
    void delete_lb_btnClick();
    void ok_lb_btnClick();
    void cancel_lb_btnClick();
    void exit_btnClick();
    void Button1Click();
    void Image1DblClick();

    bool isAddState() const;
    // The photo the dialog remembers for the loaded chapter.
    QByteArray rememberedPhoto() const { return storedPhoto_; }
    // Shows the picture chooser (OpenPictureDialog1); an empty path is Cancel.
    static Seam<QString(QWidget *)> OpenPictureDialog1;

protected:
    void showEvent(QShowEvent *event) override;

protected:
    void load(const QString &code) override { LoadChapter(code); }
    void remove() override { DeleteChapter(); }
    void beginAdd() override { BeginAdd(); }
    void beginEdit() override { BeginEdit(); }
    void lockFields() override { LockFields(); }
    void addNext() override { Insert_lb_BtnClick(); }
    QWidget *browseButtons() const override;
    QPushButton *cancelButton() const override { return cancel_lb_btn; }

private:
    void buildRecordArea();
    void buildButtonBar();
    void showPicture(const QPixmap &picture);
    bool hasPickedPhoto() const;
    void showStoredPhoto(bool ticked);
    void writeRow(bool insert, int nextId);
    QByteArray photoToStore() const;
    QList<QWidget *> recordFields() const;

    QByteArray storedPhoto_;
    QByteArray pickedPhoto_; // the picture picked in this dialog, as read when picked
    bool shownOnce_ = false;
};

// The entry of the chapter dialog: mode 0 browse, 1 add children, 2 change,
// 3 delete (without showing the window).
void ShowChapterDialog(const QString &code, QTreeWidget *tree, int mode);
