#include "search/ShowjbywnrFrm.h"

#include "widgets/PaneText.h"
#include "widgets/ReadingLook.h"
#include "widgets/TextZoom.h"
#include "widgets/AccessibleNames.h"
#include "common/AppInfo.h"
#include "widgets/Handlers.h"
#include "common/Labels.h"
#include "widgets/LineEdits.h"
#include "widgets/MessageBoxes.h"
#include "widgets/OwnedWindow.h"
#include "data/BookConnection.h"
#include "data/BookQuery.h"
#include "data/FullTextQuery.h"
#include "search/ResultList.h"
#include "search/TextMarks.h"

#include <QFrame>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <memory>
#include <QCoreApplication>

QString ResultChapterName;
QString ResultChapterCode;
QStringList ResultMarkTexts;
bool ResultMarkVariants = false;

namespace {

inline QString NothingFound() { return QCoreApplication::translate("ShowjbywnrFrm", "没有找到你需要的内容！！"); }

// A column of the dataset, or empty text when it does not have it.
QString fieldOrEmpty(const BookQuery &query, const QString &column)
{
    return query.columnNames().contains(column, Qt::CaseInsensitive) ? query.fieldAsText(column) : QString();
}

void infoBackground(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, QColor(0xFF, 0xFF, 0xE1));
    widget->setPalette(palette);
}

// The narrowing's messages: a plain box under the application's title.
void plainMessage(QWidget *parent, const QString &text)
{
    MessageBoxes::show({parent, AppInfo::Title(), text, QMessageBox::NoIcon, QMessageBox::Ok, QMessageBox::Ok});
}

// Values bound as one JSON list, however many there are.
QString jsonList(const QStringList &values)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(values)).toJson(QJsonDocument::Compact));
}

} // namespace

Seam<int(TShowjbywnrForm &)> TShowjbywnrForm::runModal([](TShowjbywnrForm &form) { return form.exec(); });

TShowjbywnrForm::TShowjbywnrForm(BookQuery &resultSet)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      ResultSet(resultSet), shown_(std::make_unique<BookQuery>(resultSet.connection(), QStringLiteral("ShownResult")))
{
    setObjectName(QStringLiteral("ShowjbywnrForm"));
    setWindowTitle(QCoreApplication::translate("ShowjbywnrFrm", "基本内容"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(640, 509);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(15);
    setFont(font);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    Panel9 = new QFrame(this);
    Panel9->setObjectName(QStringLiteral("Panel9"));
    Panel9->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel9->setFixedHeight(145);
    RxLabel13 = caption("RxLabel13", QCoreApplication::translate("ShowjbywnrFrm", "章节编号:"), 7, 10);
    nr_flbh_Edit = field("nr_flbh_Edit", QRect(80, 7, 373, 23), 5, true);
    RxLabel11 = caption("RxLabel11", QCoreApplication::translate("ShowjbywnrFrm", "章节编号:"), 7, 40);
    nr_nrbh_Edit = field("nr_nrbh_Edit", QRect(80, 37, 373, 23), 5, true);
    RxLabel12 = caption("RxLabel12", QCoreApplication::translate("ShowjbywnrFrm", "章节标题:"), 7, 70);
    nr_nrbt_Edit = field("nr_nrbt_Edit", QRect(80, 67, 373, 23), 40, true);
    RxLabel15 = caption("RxLabel15", QCoreApplication::translate("ShowjbywnrFrm", "修改日期:"), 7, 101);
    nr_xgrq_dateedit = field("nr_xgrq_dateedit", QRect(80, 96, 201, 23), 32767, false);
    RxLabel16 = caption("RxLabel16", QCoreApplication::translate("ShowjbywnrFrm", "修改员工:"), 297, 100);
    nr_xgr_Edit = field("nr_xgr_Edit", QRect(370, 97, 83, 23), 3, true);
    RxLabel17 = caption("RxLabel17", QCoreApplication::translate("ShowjbywnrFrm", "文章详细内容:"), 7, 127);
    Button1 = new QPushButton(QCoreApplication::translate("ShowjbywnrFrm", "在结果中继续查找"), Panel9);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(459, 6, 128, 25);
    Button1->setAutoDefault(false);
    Edit1 = field("Edit1", QRect(459, 35, 175, 23), 32767, false);
    exit_btn = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QCoreApplication::translate("ShowjbywnrFrm", "退出(&E)"), Panel9);
    exit_btn->setObjectName(QStringLiteral("exit_btn"));
    exit_btn->setGeometry(460, 94, 82, 26);
    exit_btn->setAutoDefault(false);
    column->addWidget(Panel9);

    Panel10 = new QFrame(this);
    Panel10->setObjectName(QStringLiteral("Panel10"));
    auto *row = new QHBoxLayout(Panel10);
    row->setContentsMargins(0, 0, 0, 0);
    Splitter1 = new QSplitter(Qt::Horizontal, Panel10);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(3);
    Panel1 = new QFrame(Splitter1);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    auto *list = new QVBoxLayout(Panel1);
    list->setContentsMargins(0, 0, 0, 0);
    nrbtListBox = new ResultList(Panel1);
    nrbtListBox->setObjectName(QStringLiteral("nrbtListBox"));
    nrbtListBox->setSelectionMode(QAbstractItemView::SingleSelection);
    nrbtListBox->setUniformItemSizes(true);
    infoBackground(nrbtListBox);
    list->addWidget(nrbtListBox);
    nr_memo = new TextPane(Splitter1);
    nr_memo->setObjectName(QStringLiteral("nr_memo"));
    nr_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    nr_memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    nr_memo->setTabChangesFocus(true);
    nr_memo->setFont(font);
    auto *zoom = new TextZoom(nr_memo, this); // after its designed font
    infoBackground(nr_memo);
    ReadingLook::dress(nr_memo, *zoom); // the reading pane's scheme and face
    Splitter1->addWidget(Panel1);
    Splitter1->addWidget(nr_memo);
    Splitter1->setSizes({224, 411});
    row->addWidget(Splitter1);
    column->addWidget(Panel10, 1);

    AccessibleNames::tie({{RxLabel13, nr_flbh_Edit, QCoreApplication::translate("ShowjbywnrFrm", "章节编号")},
                          {RxLabel11, nr_nrbh_Edit, QCoreApplication::translate("ShowjbywnrFrm", "文章编号")},
                          {RxLabel12, nr_nrbt_Edit, QCoreApplication::translate("ShowjbywnrFrm", "章节标题")},
                          {RxLabel15, nr_xgrq_dateedit, {}},
                          {RxLabel16, nr_xgr_Edit, {}},
                          {nullptr, Edit1, QCoreApplication::translate("ShowjbywnrFrm", "在结果中继续查找的文字")},
                          {nullptr, nrbtListBox, QCoreApplication::translate("ShowjbywnrFrm", "查找结果")},
                          {RxLabel17, nr_memo, {}}});
    Handlers::connect(exit_btn, &QPushButton::clicked, this, &QDialog::reject);
    Handlers::connect(Button1, &QPushButton::clicked, this, &TShowjbywnrForm::Button1Click);
    Handlers::connect(Edit1, &QLineEdit::returnPressed, Button1, &QPushButton::click); // Enter narrows
    // Tab as the window reads: the fields, the narrowing text before its
    // button, the exit, then the list and the text.
    for (auto [first, second] : {std::pair<QWidget *, QWidget *>{nr_xgr_Edit, Edit1}, {Edit1, Button1}, {Button1, exit_btn},
                                 {exit_btn, nrbtListBox}, {nrbtListBox, nr_memo}})
        setTabOrder(first, second);
    // The selection, not the current row: taking the focus makes the first
    // row current without selecting it, and a click on it must still count.
    Handlers::connect(nrbtListBox->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                      &TShowjbywnrForm::nrbtListBoxClick);
    nrbtListBox->setFocus();
}

TShowjbywnrForm::~TShowjbywnrForm() = default;

// A dataset of every column (as a caller may give) is read as it is; the
// search's own lists only keys, codes and names.
bool TShowjbywnrForm::textsListed() const
{
    return ResultSet.columnNames().contains(QStringLiteral("ywnr"), Qt::CaseInsensitive);
}

QString TShowjbywnrForm::keyColumn() const
{
    return textsListed() ? QStringLiteral("lbbh") : rowKeyColumn(ResultSet);
}

QLabel *TShowjbywnrForm::caption(const char *name, const QString &text, int left, int top)
{
    auto *label = new QLabel(text, Panel9);
    label->setObjectName(QLatin1String(name));
    label->move(left, top);
    return label;
}

QLineEdit *TShowjbywnrForm::field(const char *name, const QRect &geometry, int maxLength, bool readOnly)
{
    auto *edit = new QLineEdit(Panel9);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(geometry);
    edit->setReadOnly(readOnly);
    edit->setMaxLength(maxLength); // typing only: setText shows a value whole
    LineEdits::showBeginningWhenSet(edit);
    infoBackground(edit);
    return edit;
}

// The list's row is the dataset's: a hit's code and name are read from its
// row, never from its label (a bracket in a name must not make the label
// read back as another chapter).
void TShowjbywnrForm::fillFromResultSet()
{
    ResultSet.first();
    nrbtListBox->setRows(ResultSet); // nothing selected: no row is shown
    nrbtListBox->setCurrentRow(-1);
    showHitCount();
}

// The caption counts the chapters listed, with thousands separators the same
// whatever the user's locale (the window is Chinese throughout).
void TShowjbywnrForm::showHitCount()
{
    QLocale grouped = QLocale::c();
    grouped.setNumberOptions({});
    setWindowTitle(QCoreApplication::translate("ShowjbywnrFrm", "基本内容 — %1 条").arg(grouped.toString(nrbtListBox->count())));
}

void TShowjbywnrForm::choose(int row)
{
    const bool listed = row >= 0 && row < nrbtListBox->count();
    ResultChapterName = listed ? ResultSet.fieldAsText(row, QStringLiteral("lbmc")) : QString();
    ResultChapterCode = listed ? ResultSet.fieldAsText(row, QStringLiteral("lbbh")) : QString();
}

void TShowjbywnrForm::FillResultList()
{
    fillFromResultSet();
    choose(0);
}

// A null code or name shows as empty text, so such a chapter can still be
// read and chosen.
// The row's fields and text are read when it is shown: one statement.
void TShowjbywnrForm::ShowCurrentResult()
{
    const BookQuery *source = &ResultSet;
    if (!textsListed() && !ResultSet.isEmpty()) {
        shown_->close();
        shown_->setSql(rowShownByKey(ResultSet));
        shown_->setText(QStringLiteral("key"), ResultSet.fieldAsText(keyColumn()));
        shown_->open();
        source = shown_.get();
    }
    nr_flbh_Edit->setText(fieldOrEmpty(*source, QStringLiteral("lbbh")));
    nr_nrbh_Edit->setText(fieldOrEmpty(*source, QStringLiteral("lbbh")));
    nr_nrbt_Edit->setText(fieldOrEmpty(*source, QStringLiteral("lbmc")));
    nr_xgrq_dateedit->setText(fieldOrEmpty(*source, QStringLiteral("xgrq")));
    nr_xgr_Edit->setText(fieldOrEmpty(*source, QStringLiteral("xgr")));
    PaneText::show(nr_memo, fieldOrEmpty(*source, QStringLiteral("ywnr")));
    shown_->close(); // the text is the pane's now
    TextMarks::mark(nr_memo, ResultMarkTexts, ResultMarkVariants);
}

void TShowjbywnrForm::nrbtListBoxClick()
{
    const int row = nrbtListBox->selectedRow();
    if (row < 0)
        return;
    choose(row);
    ResultSet.moveTo(row);
    ShowCurrentResult();
}

// The narrowing runs apart from the hits: only when it finds chapters do
// they replace the hits, so a narrowing that finds nothing leaves the list,
// its records and the reader's choice as they were.
void TShowjbywnrForm::Button1Click()
{
    QStringList codes;
    for (int i = 0; i < nrbtListBox->count(); ++i)
        codes << ResultSet.fieldAsText(i, QStringLiteral("lbbh"));
    if (codes.isEmpty()) {
        plainMessage(this, NothingFound());
        return;
    }
    BookQuery probe(ResultSet.connection(), ResultSet.name());
    prepareTextSearch(probe, rowKeyColumn(probe), Edit1->text(),
                      QStringLiteral("lbbh in (select value from json_each(:codes))"), ResultMarkVariants);
    probe.setText(QStringLiteral("codes"), jsonList(codes));
    probe.open();
    if (probe.isEmpty()) {
        plainMessage(this, NothingFound());
        return;
    }
    QStringList rows;
    for (probe.first(); !probe.eof(); probe.next())
        rows << probe.firstFieldAsText();
    nrbtListBox->clear(); // before its dataset changes
    ResultSet.close();
    ResultSet.setSql(rowsByKey(ResultSet));
    ResultSet.setText(QStringLiteral("rows"), jsonList(rows));
    ResultSet.open();
    FillResultList();
    ResultMarkTexts << Edit1->text();
    TextMarks::mark(nr_memo, ResultMarkTexts, ResultMarkVariants);
}

int ShowSearchResults(BookQuery &dataset, bool showList, QWidget *owner)
{
    if (!dataset.isOpen())
        return QDialog::Rejected;
    auto form = std::make_unique<TShowjbywnrForm>(dataset);
    OwnedWindow::attach(form.get(), owner);
    form->Panel1->setVisible(showList);
    if (showList)
        form->FillResultList();
    form->ShowCurrentResult();
    return TShowjbywnrForm::runModal(*form);
}
