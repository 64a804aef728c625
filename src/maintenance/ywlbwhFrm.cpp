#include "maintenance/ywlbwhFrm.h"

#include "widgets/AccessibleNames.h"
#include "common/DateTimeText.h"
#include "widgets/Handlers.h"
#include "common/Labels.h"
#include "widgets/MessageBoxes.h"
#include "data/BookTransaction.h"
#include "data/RecordStore.h"
#include "data/ywzxDM.h"

#include <QCheckBox>
#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <chrono>
#include <memory>
#include <QCoreApplication>

namespace {

inline QString AddCaption() { return QCoreApplication::translate("ywlbwhFrm", "确定添加"); }
inline QString EditCaption() { return QCoreApplication::translate("ywlbwhFrm", "确定修改"); }
const QString RootParentName = QStringLiteral("澜州省档案馆电子书刊");

} // namespace

TywlbwhForm::TywlbwhForm()
    : MaintenanceDialog(QStringLiteral("ywlbwhForm"), QCoreApplication::translate("ywlbwhFrm", "章节内容维护"), QSize(703, 529)),
      Query1(ywzxDMF->ydconn, QStringLiteral("Query1"))
{
    ChapterStore::setNextIdStatement(Query1);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    buildRecordArea();
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    auto *frame = new QVBoxLayout(Panel1);
    frame->setContentsMargins(0, 0, 0, 0);
    ScrollBox1 = new QScrollArea(Panel1);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setWidgetResizable(true);
    ScrollBox1->setFrameStyle(QFrame::NoFrame);
    ScrollBox1->setFocusPolicy(Qt::NoFocus); // the text inside takes the focus
    nr_memo = contentPane(ScrollBox1, QColor(0xFF, 0xFF, 0xE1));
    AccessibleNames::tie({{Label2, lb_flbh_Edit, QCoreApplication::translate("ywlbwhFrm", "上级章节编号")},
                          {Label3, lb_flmc_Edit, QCoreApplication::translate("ywlbwhFrm", "上级章节名称")},
                          {nullptr, lb_lbbh_Edit, QCoreApplication::translate("ywlbwhFrm", "章节编号")},
                          {Label5, lb_lbmc_Edit, QCoreApplication::translate("ywlbwhFrm", "章节名称")},
                          {Label6, lb_xgrq_dateedit, {}},
                          {Label7, lb_xgr_Edit, {}},
                          {nullptr, nr_memo, QCoreApplication::translate("ywlbwhFrm", "章节详细内容")}});
    ScrollBox1->setWidget(nr_memo);
    frame->addWidget(ScrollBox1);
    PopupMenu2 = paneMenu(nr_memo, {"N3", "N4", "N7", "N1", "N2", "N5", "N6"});
    buildButtonBar();
    column->addWidget(RecordPanel);
    column->addWidget(Panel1, 1);
    column->addWidget(ButtonBar);
    for (QWidget *field : recordFields())
        setWritable(field, false);
    setWritable(lb_xgrq_dateedit, true);
    QPalette silver = lb_xgrq_dateedit->palette();
    silver.setColor(QPalette::Base, Silver);
    lb_xgrq_dateedit->setPalette(silver);

    setTabOrder(lb_lbbh_Edit, lb_lbmc_Edit);
    setTabOrder(lb_lbmc_Edit, lb_xgr_Edit);
    setTabOrder(lb_xgr_Edit, lb_flmc_Edit);
    setTabOrder(lb_flmc_Edit, lb_flbh_Edit);
    setTabOrder(lb_flbh_Edit, lb_xgrq_dateedit);
    setTabOrder(lb_xgrq_dateedit, Button1);
    setTabOrder(Button1, Insert_lb_Btn);
    setTabOrder(Insert_lb_Btn, edit_lb_btn);
    setTabOrder(edit_lb_btn, delete_lb_btn);
    setTabOrder(delete_lb_btn, ok_lb_btn);
    setTabOrder(ok_lb_btn, cancel_lb_btn);
    setTabOrder(cancel_lb_btn, exit_btn);
    setTabOrder(exit_btn, CheckBox1);
    setTabOrder(CheckBox1, Image1);
    setTabOrder(Image1, nr_memo);

    Handlers::connect(Insert_lb_Btn, &QPushButton::clicked, this, &TywlbwhForm::Insert_lb_BtnClick);
    Handlers::connect(edit_lb_btn, &QPushButton::clicked, this, &TywlbwhForm::edit_lb_btnClick);
    Handlers::connect(delete_lb_btn, &QPushButton::clicked, this, &TywlbwhForm::delete_lb_btnClick);
    Handlers::connect(ok_lb_btn, &QPushButton::clicked, this, &TywlbwhForm::ok_lb_btnClick);
    Handlers::connect(cancel_lb_btn, &QPushButton::clicked, this, &TywlbwhForm::cancel_lb_btnClick);
    Handlers::connect(exit_btn, &QPushButton::clicked, this, &TywlbwhForm::exit_btnClick);
    Handlers::connect(Button1, &QPushButton::clicked, this, &TywlbwhForm::Button1Click);
    Handlers::connect(Image1, &PictureBox::doubleClicked, this, &TywlbwhForm::Image1DblClick);
}

void TywlbwhForm::buildRecordArea()
{
    RecordPanel = new QFrame(this);
    RecordPanel->setObjectName(QStringLiteral("RecordPanel"));
    RecordPanel->setFixedHeight(176);
    Label2 = caption(RecordPanel, "Label2", QCoreApplication::translate("ywlbwhFrm", "章节编号:"), 11, 22);
    lb_flbh_Edit = edit(RecordPanel, "lb_flbh_Edit", QRect(81, 19, 283, 23), 5);
    Label3 = caption(RecordPanel, "Label3", QCoreApplication::translate("ywlbwhFrm", "章节名称:"), 10, 54);
    lb_flmc_Edit = edit(RecordPanel, "lb_flmc_Edit", QRect(81, 51, 283, 23), 200);
    Button1 = button(RecordPanel, "Button1", QCoreApplication::translate("ywlbwhFrm", "章节编号:"), QRect(4, 83, 77, 23));
    lb_lbbh_Edit = edit(RecordPanel, "lb_lbbh_Edit", QRect(81, 83, 283, 23), 5);
    Label5 = caption(RecordPanel, "Label5", QCoreApplication::translate("ywlbwhFrm", "章节名称:"), 10, 115);
    lb_lbmc_Edit = edit(RecordPanel, "lb_lbmc_Edit", QRect(81, 112, 283, 23), 200);
    Label6 = caption(RecordPanel, "Label6", QCoreApplication::translate("ywlbwhFrm", "修改日期:"), 11, 150);
    lb_xgrq_dateedit = edit(RecordPanel, "lb_xgrq_dateedit", QRect(80, 144, 129, 23), 0);
    Label7 = caption(RecordPanel, "Label7", QCoreApplication::translate("ywlbwhFrm", "修改员工:"), 224, 148);
    lb_xgr_Edit = edit(RecordPanel, "lb_xgr_Edit", QRect(297, 145, 68, 23), 3);
    Image1 = new PictureBox(RecordPanel);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(371, 19, 320, 130);
    Image1->setScaledContents(true);
    Image1->setToolTip(QCoreApplication::translate("ywlbwhFrm", "双击选择照片"));
    Image1->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    Image1->setFocusPolicy(Qt::StrongFocus);
    Image1->setAccessibleName(QCoreApplication::translate("ywlbwhFrm", "照片"));
    Image1->setAccessibleDescription(QCoreApplication::translate("ywlbwhFrm", "双击或按回车键、空格键选择照片"));
    Label1 = caption(RecordPanel, "Label1", QString(), 374, 155);
}

void TywlbwhForm::buildButtonBar()
{
    ButtonBar = new QFrame(this);
    ButtonBar->setObjectName(QStringLiteral("ButtonBar"));
    ButtonBar->setFixedHeight(50);
    whPanel = new QFrame(ButtonBar);
    whPanel->setObjectName(QStringLiteral("whPanel"));
    whPanel->setGeometry(0, 0, 224, 50);
    Insert_lb_Btn = button(whPanel, "Insert_lb_Btn", QCoreApplication::translate("ywlbwhFrm", "添加"), QRect(11, 8, 45, 25));
    edit_lb_btn = button(whPanel, "edit_lb_btn", QCoreApplication::translate("ywlbwhFrm", "修改"), QRect(72, 8, 45, 25));
    delete_lb_btn = button(whPanel, "delete_lb_btn", QCoreApplication::translate("ywlbwhFrm", "删除"), QRect(135, 8, 45, 25));
    ok_lb_btn = button(ButtonBar, "ok_lb_btn", EditCaption(), QRect(232, 8, 81, 25));
    ok_lb_btn->hide();
    cancel_lb_btn = button(ButtonBar, "cancel_lb_btn", QCoreApplication::translate("ywlbwhFrm", "取消"), QRect(323, 8, 45, 25));
    cancel_lb_btn->hide();
    exit_btn = button(ButtonBar, "exit_btn", QCoreApplication::translate("ywlbwhFrm", "退出"), QRect(323, 8, 45, 25));
    CheckBox1 = new QCheckBox(QCoreApplication::translate("ywlbwhFrm", "有照片"), ButtonBar);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(381, 14, 64, 16);
}

QList<QWidget *> TywlbwhForm::recordFields() const
{
    return {lb_lbbh_Edit, lb_lbmc_Edit, lb_flbh_Edit, lb_flmc_Edit, lb_xgrq_dateedit, lb_xgr_Edit};
}

bool TywlbwhForm::isAddState() const
{
    return ok_lb_btn->text() == AddCaption();
}

void TywlbwhForm::showEvent(QShowEvent *event)
{
    MaintenanceDialog::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        Handlers::run([this] { FormShow(); });
    }
}

void TywlbwhForm::FormShow()
{
    focusWritable(lb_lbmc_Edit);
}

void TywlbwhForm::LoadChapter(const QString &code)
{
    const BookQuery &query = ywzxDMF->chapterStore.load(code);
    rememberLoadedRow(query);
    // In mode 0 a chapter loaded again (after a save, or 取消) shows its own
    // photo: a picture picked before must not go with it into the next save.
    // Mode 1 keeps it for each next chapter added.
    if (mode == Browse) {
        pickedPhoto_.clear();
        Label1->clear();
    }
    if (query.isEmpty()) {
        for (QLineEdit *field : {lb_lbbh_Edit, lb_lbmc_Edit, lb_xgrq_dateedit, lb_xgr_Edit, lb_flbh_Edit, lb_flmc_Edit})
            field->clear();
        nr_memo->clear();
        storedPhoto_.clear();
    } else {
        lb_lbbh_Edit->setText(code);
        // A chapter without a name opens with an empty one: it can be named or deleted.
        lb_lbmc_Edit->setText(query.fieldAsText(QStringLiteral("lbmc")));
        lb_xgrq_dateedit->setText(query.fieldAsText(QStringLiteral("xgrq")));
        lb_xgr_Edit->setText(query.fieldAsText(QStringLiteral("xgr")));
        lb_flbh_Edit->setText(query.fieldAsText(QStringLiteral("flbh")));
        lb_flmc_Edit->setText(query.fieldAsText(QStringLiteral("flmc")));
        showStored(nr_memo, query.fieldAsText(QStringLiteral("ywnr")));
        // The stored photo is shown and kept, so a save does not lose it.
        const bool hasPhoto = query.fieldAsText(QStringLiteral("checkimage")) == QLatin1String("1");
        storedPhoto_ = hasPhoto ? query.fieldAsBytes(QStringLiteral("photoimage")) : QByteArray();
        showStoredPhoto(hasPhoto);
    }
    if (code == Labels::RootCode) {
        lb_flbh_Edit->setText(Labels::RootCode);
        lb_flmc_Edit->setText(RootParentName);
    }
    edit_lb_btn->setVisible(code != Labels::RootCode);
    delete_lb_btn->setVisible(code != Labels::RootCode);
}

void TywlbwhForm::LockFields()
{
    for (QWidget *field : recordFields())
        setWritable(field, false);
    for (QPushButton *b : {Insert_lb_Btn, delete_lb_btn, edit_lb_btn})
        b->setEnabled(true);
    ok_lb_btn->hide();
    cancel_lb_btn->hide();
    exit_btn->show();
    ok_lb_btn->setDefault(false);
}

void TywlbwhForm::UnlockFields()
{
    for (QLineEdit *field : {lb_lbbh_Edit, lb_lbmc_Edit, lb_xgrq_dateedit, lb_xgr_Edit})
        setWritable(field, true);
    setWritable(lb_flbh_Edit, false);
    setWritable(lb_flmc_Edit, false);
    for (QPushButton *b : {Insert_lb_Btn, delete_lb_btn, edit_lb_btn})
        b->setEnabled(false);
    ok_lb_btn->show();
    ok_lb_btn->setDefault(true); // Enter confirms while it is shown
    cancel_lb_btn->show();
    exit_btn->hide();
}

void TywlbwhForm::BeginEdit()
{
    UnlockFields();
    ok_lb_btn->setText(EditCaption());
    lb_xgrq_dateedit->setText(todayText());
    lb_xgr_Edit->clear();
}

void TywlbwhForm::BeginAdd()
{
    UnlockFields();
    ok_lb_btn->setText(AddCaption());
    lb_flbh_Edit->setText(lb_lbbh_Edit->text());
    lb_flmc_Edit->setText(lb_lbmc_Edit->text());
    lb_lbbh_Edit->clear();
    lb_lbmc_Edit->clear();
    lb_xgrq_dateedit->setText(todayText());
    lb_xgr_Edit->clear();
    nr_memo->clear();
    lb_lbbh_Edit->setText(NewRandomCode());
    // A new chapter never inherits its parent's stored photo; a picture
    // picked in this dialog stays picked.
    storedPhoto_.clear();
    showStoredPhoto(false);
}

QString TywlbwhForm::NewRandomCode()
{
    QRandomGenerator random(quint32(std::chrono::high_resolution_clock::now().time_since_epoch().count()));
    QString code;
    for (int i = 0; i < 5; ++i)
        code += QChar(u'0' + random.bounded(9));
    return code;
}

void TywlbwhForm::Insert_lb_BtnClick()
{
    BeginAdd();
    lb_lbmc_Edit->setFocus();
}

void TywlbwhForm::edit_lb_btnClick()
{
    BeginEdit();
    lb_lbmc_Edit->setFocus();
}

void TywlbwhForm::delete_lb_btnClick()
{
    DeleteChapter();
    close();
}

void TywlbwhForm::ok_lb_btnClick()
{
    afterConfirm(SaveChapter());
}

void TywlbwhForm::cancel_lb_btnClick()
{
    if (mode != Browse) {
        close();
        return;
    }
    LoadChapter(currentCode);
    LockFields();
}

void TywlbwhForm::exit_btnClick()
{
    close();
}

void TywlbwhForm::Button1Click()
{
    lb_lbbh_Edit->clear();
    lb_lbbh_Edit->setText(NewRandomCode());
}

bool TywlbwhForm::SaveChapter()
{
    const SaveChecks checks{lb_lbbh_Edit, lb_lbmc_Edit, lb_flbh_Edit,
                            QCoreApplication::translate("ywlbwhFrm", "类别编号字段不能为空。请完整输入后再试！"),
                            QCoreApplication::translate("ywlbwhFrm", "类别名称字段不能为空。请完整输入后再试！"),
                            QCoreApplication::translate("ywlbwhFrm", "父类编号字段不能为空。请完整输入后再试！"),
                            QCoreApplication::translate("ywlbwhFrm", "类别编号不能含有“[”或“]”。请重新输入类别编号后再试！"),
                            [](const QString &code) -> const BookQuery & { return ywzxDMF->chapterStore.find(code); },
                            QCoreApplication::translate("ywlbwhFrm", "此类别已存在。类别编号不允许重复。请重新输入类别编号后再试！"),
                            QCoreApplication::translate("ywlbwhFrm", "此类别不存在。您不能修改不存在的类别。请重新输入类别编号后再试！"),
                            {QCoreApplication::translate("ywlbwhFrm", "系统检测到您修改了类别编号。"), QCoreApplication::translate("ywlbwhFrm", "此类别原始类别名称为："),
                             QCoreApplication::translate("ywlbwhFrm", "确定修改将替换此类别的原始数据，您是否确定修改？")},
                            QStringLiteral("lbmc"), QCoreApplication::translate("ywlbwhFrm", "此类别")};
    // The next id is taken inside the saving transaction.
    const bool written = save(checks, isAddState(), [&] {
        const int nextId = ChapterStore::nextId(Query1);
        writeRow(isAddState(), nextId);
    });
    if (!written)
        return false;
    mirrorSave(BookNode::Kind::Chapter, lb_lbbh_Edit->text(),
               lb_lbmc_Edit->text(), isAddState());
    LoadChapter(currentCode);
    return true;
}

// Every value is read, converted and checked before the statement runs, so
// a bad date or an unreadable photo writes nothing.
void TywlbwhForm::writeRow(bool insert, int nextId)
{
    const QDateTime changed = DateTimeText::parseTyped(lb_xgrq_dateedit->text());
    const QByteArray photo = photoToStore();
    const ChapterStore::Row row{lb_lbbh_Edit->text(), lb_lbmc_Edit->text(), lb_flbh_Edit->text(), changed,
                                lb_xgr_Edit->text(), storedText(nr_memo), photo, CheckBox1->isChecked()};
    if (insert)
        ywzxDMF->chapterStore.insert(row, nextId);
    else
        ywzxDMF->chapterStore.update(row);
}

void TywlbwhForm::DeleteChapter()
{
    if (!confirm({QCoreApplication::translate("ywlbwhFrm", "删除功能将从数据库中删除选定类别的所有数据。"),
                  QCoreApplication::translate("ywlbwhFrm", "数据删除后将是不可恢复的,您确定要删除当前类别吗？")}))
        return;
    // Counted and deleted in one transaction: no child comes in between.
    BookTransaction transaction(ywzxDMF->ydconn);
    // The root names the book: it stays even in a book whose root row does
    // not name itself as its parent.
    if (ywzxDMF->chapterStore.childCount(currentCode) >= 1 || currentCode == Labels::RootCode) {
        transaction.rollback();
        MessageBoxes::inputError(boxOwner(), QCoreApplication::translate("ywlbwhFrm", "不能删除，因为指定类别拥有子类别。您应该先删除子类别！"));
        return;
    }
    ywzxDMF->chapterStore.remove(currentCode);
    transaction.commit();
    deleteSelected();
}

QWidget *TywlbwhForm::browseButtons() const
{
    return whPanel;
}

void ShowChapterDialog(const QString &code, QTreeWidget *tree, int mode)
{
    TywlbwhForm().runEntry(code, tree, mode);
}
