#include "maintenance/ywnrwhFrm.h"

#include "widgets/BookNode.h"
#include "widgets/AccessibleNames.h"
#include "common/DateTimeText.h"
#include "widgets/Handlers.h"
#include "common/Labels.h"
#include "data/BookQuery.h"
#include "data/ywzxDM.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <memory>
#include <QCoreApplication>

namespace {

inline QString AddCaption() { return QCoreApplication::translate("ywnrwhFrm", "确定添加"); }
inline QString EditCaption() { return QCoreApplication::translate("ywnrwhFrm", "确定修改"); }

QFrame *panel(QWidget *parent, const char *name)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(QLatin1String(name));
    return frame;
}

} // namespace

TywnrwhForm::TywnrwhForm()
    : MaintenanceDialog(QStringLiteral("ywnrwhForm"), QCoreApplication::translate("ywnrwhFrm", "文章内容维护"), QSize(543, 438))
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    buildRecordArea();
    Panel10 = panel(this, "Panel10");
    auto *row = new QHBoxLayout(Panel10);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    Panel12 = panel(Panel10, "Panel12");
    Panel12->setFixedWidth(0);
    auto *inner = new QVBoxLayout;
    inner->setSpacing(0);
    nr_memo = contentPane(Panel10, Window);
    nameFields();
    PopupMenu2 = paneMenu(nr_memo, {"N3", "N4", "N7", "N1", "N2", "N5", "N6"});
    buildButtonStrip();
    inner->addWidget(nr_memo, 1);
    inner->addWidget(Panel11);
    row->addWidget(Panel12);
    row->addLayout(inner, 1);
    column->addWidget(Panel9);
    column->addWidget(Panel10, 1);

    // The form state: every record field read-only and silver, but the date
    // field writable, and the text pane writable in the window colour.
    for (QLineEdit *field : {nr_flbh_Edit, nr_flmc_Edit, nr_nrbh_Edit, nr_nrbt_Edit, nr_xgrq_DateEdit, nr_xgr_Edit})
        setWritable(field, false);
    nr_xgrq_DateEdit->setReadOnly(false);

    Handlers::connect(insert_nr_Btn, &QPushButton::clicked, this, &TywnrwhForm::insert_nr_BtnClick);
    Handlers::connect(edit_nr_btn, &QPushButton::clicked, this, &TywnrwhForm::edit_nr_btnClick);
    Handlers::connect(delete_nr_btn, &QPushButton::clicked, this, &TywnrwhForm::delete_nr_btnClick);
    Handlers::connect(ok_nr_btn, &QPushButton::clicked, this, &TywnrwhForm::ok_nr_btnClick);
    Handlers::connect(cancel_nr_btn, &QPushButton::clicked, this, &TywnrwhForm::cancel_nr_btnClick);
    Handlers::connect(exit_btn, &QPushButton::clicked, this, &TywnrwhForm::exit_btnClick);
}

void TywnrwhForm::buildRecordArea()
{
    Panel9 = panel(this, "Panel9");
    Panel9->setFixedHeight(177);
    RxLabel13 = caption(Panel9, "RxLabel13", QCoreApplication::translate("ywnrwhFrm", "章节编号:"), 7, 14);
    nr_flbh_Edit = edit(Panel9, "nr_flbh_Edit", QRect(80, 11, 345, 23), 5);
    RxLabel14 = caption(Panel9, "RxLabel14", QCoreApplication::translate("ywnrwhFrm", "章节名称:"), 7, 43);
    nr_flmc_Edit = edit(Panel9, "nr_flmc_Edit", QRect(80, 40, 345, 23), 20);
    RxLabel11 = caption(Panel9, "RxLabel11", QCoreApplication::translate("ywnrwhFrm", "章节编号:"), 7, 72);
    nr_nrbh_Edit = edit(Panel9, "nr_nrbh_Edit", QRect(80, 69, 345, 23), 5);
    RxLabel12 = caption(Panel9, "RxLabel12", QCoreApplication::translate("ywnrwhFrm", "章节标题:"), 7, 102);
    nr_nrbt_Edit = edit(Panel9, "nr_nrbt_Edit", QRect(80, 99, 345, 23), 40);
    RxLabel15 = caption(Panel9, "RxLabel15", QCoreApplication::translate("ywnrwhFrm", "修改日期:"), 7, 135);
    nr_xgrq_DateEdit = edit(Panel9, "nr_xgrq_DateEdit", QRect(80, 128, 193, 23), 0);
    RxLabel16 = caption(Panel9, "RxLabel16", QCoreApplication::translate("ywnrwhFrm", "修改员工:"), 284, 133);
    nr_xgr_Edit = edit(Panel9, "nr_xgr_Edit", QRect(357, 130, 68, 23), 3);
    RxLabel17 = caption(Panel9, "RxLabel17", QCoreApplication::translate("ywnrwhFrm", "文章详细内容:"), 7, 160);
}

void TywnrwhForm::nameFields()
{
    AccessibleNames::tie({{RxLabel13, nr_flbh_Edit, QCoreApplication::translate("ywnrwhFrm", "所属章节编号")},
                          {RxLabel14, nr_flmc_Edit, QCoreApplication::translate("ywnrwhFrm", "所属章节名称")},
                          {RxLabel11, nr_nrbh_Edit, QCoreApplication::translate("ywnrwhFrm", "文章编号")},
                          {RxLabel12, nr_nrbt_Edit, QCoreApplication::translate("ywnrwhFrm", "文章标题")},
                          {RxLabel15, nr_xgrq_DateEdit, {}},
                          {RxLabel16, nr_xgr_Edit, {}},
                          {RxLabel17, nr_memo, {}}});
}

void TywnrwhForm::buildButtonStrip()
{
    Panel11 = panel(Panel10, "Panel11");
    Panel11->setFixedHeight(42);
    whPanel = panel(Panel11, "whPanel");
    whPanel->setGeometry(0, 0, 337, 42);
    insert_nr_Btn = button(whPanel, "insert_nr_Btn", QCoreApplication::translate("ywnrwhFrm", "添加"), QRect(11, 8, 45, 25));
    edit_nr_btn = button(whPanel, "edit_nr_btn", QCoreApplication::translate("ywnrwhFrm", "修改"), QRect(72, 8, 45, 25));
    delete_nr_btn = button(whPanel, "delete_nr_btn", QCoreApplication::translate("ywnrwhFrm", "删除"), QRect(133, 8, 45, 25));
    ok_nr_btn = button(Panel11, "ok_nr_btn", EditCaption(), QRect(376, 8, 73, 25));
    ok_nr_btn->hide();
    cancel_nr_btn = button(Panel11, "cancel_nr_btn", QCoreApplication::translate("ywnrwhFrm", "取消"), QRect(459, 8, 45, 25));
    cancel_nr_btn->hide();
    exit_btn = button(Panel11, "exit_btn", QCoreApplication::translate("ywnrwhFrm", "退出"), QRect(459, 8, 45, 25));
}

QList<QWidget *> TywnrwhForm::writableFields() const
{
    return {nr_nrbh_Edit, nr_nrbt_Edit, nr_xgrq_DateEdit, nr_xgr_Edit, nr_memo};
}

bool TywnrwhForm::isAddState() const
{
    return ok_nr_btn->text() == AddCaption();
}

void TywnrwhForm::LoadArticle(const QString &code)
{
    const BookQuery &query = ywzxDMF->articleStore.load(code);
    rememberLoadedRow(query);
    if (query.isEmpty()) {
        for (QLineEdit *field : {nr_nrbh_Edit, nr_nrbt_Edit, nr_xgrq_DateEdit, nr_xgr_Edit, nr_flbh_Edit, nr_flmc_Edit})
            field->clear();
        nr_memo->clear();
    } else {
        nr_nrbh_Edit->setText(code);
        // An article without a title opens with an empty one: it can be given one or deleted.
        nr_nrbt_Edit->setText(query.fieldAsText(QStringLiteral("nrbt")));
        nr_xgrq_DateEdit->setText(query.fieldAsText(QStringLiteral("xgrq")));
        nr_xgr_Edit->setText(query.fieldAsText(QStringLiteral("xgr")));
        nr_flbh_Edit->setText(query.fieldAsText(QStringLiteral("lbbh")));
        nr_flmc_Edit->setText(query.fieldAsText(QStringLiteral("flmc")));
        showStored(nr_memo, query.fieldAsText(QStringLiteral("ywnr")));
    }
    // Adding to a chapter without articles: the chapter is the selected node,
    // whose code and name are kept beside its label (a name may hold "[").
    if (currentCode.isEmpty() && tree && tree->currentItem()) {
        const QTreeWidgetItem *chapter = tree->currentItem();
        nr_flbh_Edit->setText(BookNode::code(chapter));
        nr_flmc_Edit->setText(BookNode::name(chapter));
    }
}

void TywnrwhForm::LockFields()
{
    for (QWidget *field : {static_cast<QWidget *>(nr_nrbh_Edit), static_cast<QWidget *>(nr_nrbt_Edit),
                           static_cast<QWidget *>(nr_flbh_Edit), static_cast<QWidget *>(nr_flmc_Edit),
                           static_cast<QWidget *>(nr_xgrq_DateEdit), static_cast<QWidget *>(nr_xgr_Edit),
                           static_cast<QWidget *>(nr_memo)})
        setWritable(field, false);
    for (QPushButton *b : {insert_nr_Btn, delete_nr_btn, edit_nr_btn})
        b->setEnabled(true);
    ok_nr_btn->hide();
    ok_nr_btn->setDefault(false);
    cancel_nr_btn->hide();
    exit_btn->show();
}

void TywnrwhForm::UnlockFields()
{
    for (QWidget *field : writableFields())
        setWritable(field, true);
    for (QPushButton *b : {insert_nr_Btn, delete_nr_btn, edit_nr_btn})
        b->setEnabled(false);
    ok_nr_btn->show();
    ok_nr_btn->setDefault(true); // Enter confirms while it is shown
    cancel_nr_btn->show();
    exit_btn->hide();
}

void TywnrwhForm::BeginAdd()
{
    UnlockFields();
    ok_nr_btn->setText(AddCaption());
    nr_nrbh_Edit->clear();
    nr_nrbt_Edit->clear();
    nr_memo->clear();
    nr_xgrq_DateEdit->setText(todayText());
    nr_xgr_Edit->clear();
}

void TywnrwhForm::BeginEdit()
{
    UnlockFields();
    ok_nr_btn->setText(EditCaption());
    nr_xgrq_DateEdit->setText(todayText());
    nr_xgr_Edit->clear();
}

void TywnrwhForm::insert_nr_BtnClick()
{
    BeginAdd();
    nr_nrbh_Edit->setFocus();
}

// In browse mode 修改 prepares the edit state first, as the chapter
// dialog's does, so that the title can actually be changed.
void TywnrwhForm::edit_nr_btnClick()
{
    BeginEdit();
    nr_nrbt_Edit->setFocus();
}

void TywnrwhForm::cancel_nr_btnClick()
{
    if (mode != Browse)
        close();
    LoadArticle(currentCode);
    LockFields();
}

void TywnrwhForm::exit_btnClick()
{
    close();
}

void TywnrwhForm::ok_nr_btnClick()
{
    afterConfirm(SaveArticle());
}

void TywnrwhForm::delete_nr_btnClick()
{
    DeleteArticle();
    close();
}

bool TywnrwhForm::SaveArticle()
{
    const SaveChecks checks{nr_nrbh_Edit, nr_nrbt_Edit, nr_flbh_Edit,
                            QCoreApplication::translate("ywnrwhFrm", "内容编号字段不能为空。请完整输入后再试！"),
                            QCoreApplication::translate("ywnrwhFrm", "内容标题字段不能为空。请完整输入后再试！"),
                            QCoreApplication::translate("ywnrwhFrm", "父类编号字段不能为空。请完整输入后再试！"),
                            QCoreApplication::translate("ywnrwhFrm", "内容编号不能含有“[”或“]”。请重新输入编号后再试！"),
                            [](const QString &code) -> const BookQuery & { return ywzxDMF->articleStore.find(code); },
                            QCoreApplication::translate("ywnrwhFrm", "此编号已存在。内容编号不允许重复。请重新输入编号后再试！"),
                            QCoreApplication::translate("ywnrwhFrm", "此编号不存在。您不能修改不存在的编号。请重新输入编号后再试！"),
                            {QCoreApplication::translate("ywnrwhFrm", "系统检测到您修改了内容编号。"), QCoreApplication::translate("ywnrwhFrm", "此编号的原始内容标题为:"),
                             QCoreApplication::translate("ywnrwhFrm", "确定修改将替换此类别的原始数据,您是否确定修改?")},
                            QStringLiteral("nrbt"), QCoreApplication::translate("ywnrwhFrm", "此内容")};
    if (!save(checks, isAddState(), [&] { writeRow(isAddState()); }))
        return false;
    mirrorSave(BookNode::Kind::Article, nr_nrbh_Edit->text(),
               nr_nrbt_Edit->text(), isAddState());
    LoadArticle(currentCode);
    return true;
}

// The date is read before the statement runs: a bad date writes nothing.
void TywnrwhForm::writeRow(bool insert)
{
    const QDateTime changed = DateTimeText::parseTyped(nr_xgrq_DateEdit->text());
    const ArticleStore::Row row{nr_nrbh_Edit->text(), nr_nrbt_Edit->text(), nr_flbh_Edit->text(), changed,
                                nr_xgr_Edit->text(), storedText(nr_memo)};
    if (insert)
        ywzxDMF->articleStore.insert(row);
    else
        ywzxDMF->articleStore.update(row);
}

void TywnrwhForm::DeleteArticle()
{
    if (!confirm({QCoreApplication::translate("ywnrwhFrm", "删除功能将从数据库中删除选定内容的所有数据。"),
                  QCoreApplication::translate("ywnrwhFrm", "数据删除后将是不可恢复的,您确定要删除当前内容吗？")}))
        return;
    ywzxDMF->articleStore.remove(currentCode);
    deleteSelected();
}

QWidget *TywnrwhForm::browseButtons() const
{
    return whPanel;
}

void ShowArticleDialog(const QString &code, QTreeWidget *tree, int mode)
{
    TywnrwhForm().runEntry(code, tree, mode);
}
