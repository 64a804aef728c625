// The browser window's frame: layout, toolbar, status bar, clock, printing,
// the pane's edit menu and the about button.
#include "browser/fm_ywzx.h"

#include "browser/BookTree.h"
#include "browser/MC_About.h"
#include "browser/TextZoom.h"
#include "common/AccessibleNames.h"
#include "common/AppError.h"
#include "common/DateTimeText.h"
#include "common/Handlers.h"
#include "common/Labels.h"
#include "common/LineEdits.h"
#include "common/MessageBoxes.h"
#include "search/FindDialog.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrintDialog>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTextEdit>
#include <QTextDocument>
#include <QTextFrame>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

Tywzxform *ywzxform = nullptr;

namespace {

const QColor InfoBk(0xFF, 0xFF, 0xE1); // the tooltip background
const QColor Silver(0xC0, 0xC0, 0xC0);
const QString CopyrightLine = QStringLiteral("版权所有 © 2026 墨川软件");
const QString SupportLine = QStringLiteral("墨川电子阅读系统 1.0版    技术支持：support@mochuan.example    QQ：800012345");

template <class W>
W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QFrame *panel(QWidget *parent, const char *name, bool bevel = true)
{
    auto *frame = named(new QFrame(parent), name);
    frame->setFrameStyle(bevel ? QFrame::Panel | QFrame::Raised : QFrame::NoFrame);
    return frame;
}

QToolButton *speedButton(QWidget *parent, const char *name, const QString &caption, QStyle::StandardPixmap glyph,
                         int left, bool visible = true)
{
    auto *button = named(new QToolButton(parent), name);
    button->setText(caption);
    button->setIcon(parent->style()->standardIcon(glyph));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    button->setGeometry(left, 1, 99, 33);
    button->setVisible(visible);
    return button;
}

QLineEdit *readOnlyEdit(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *edit = named(new QLineEdit(parent), name);
    edit->setReadOnly(true);
    LineEdits::showBeginningWhenSet(edit);
    edit->setGeometry(geometry);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, Silver);
    edit->setPalette(palette);
    return edit;
}

// A status panel whose text gives way to the window's width: it elides
// instead of raising the window's minimum width (which would cancel the
// maximised state under a window manager). The whole text is its tooltip.
class ElidingPanel : public QLabel {
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }
    QSize sizeHint() const override { return minimumSizeHint(); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        drawFrame(&painter);
        const QRect area = contentsRect().adjusted(2, 0, -2, 0);
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
    }
};

QAction *menuItem(QMenu *menu, const char *name, const QString &caption)
{
    QAction *action = caption == QLatin1String("-") ? menu->addSeparator() : menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

} // namespace

std::function<bool(QPrinter &, QWidget *)> Tywzxform::runPrintDialog = [](QPrinter &printer, QWidget *parent) {
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("PrintDialog1"));
    return dialog.exec() == QDialog::Accepted;
};

Tywzxform::Tywzxform(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("ywzxform"));
    setWindowTitle(Labels::DesignedCaption);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    setFont(font);
    resize(790, 541);

    sbClient = named(new QWidget(this), "sbClient");
    setCentralWidget(sbClient);
    auto *layout = new QVBoxLayout(sbClient);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildToolbar();
    buildTree();
    buildRightSide();
    buildStatusBar();
    buildMenus();
    FindDialog1 = new FindDialog(this, QStringLiteral("FindDialog1"), FindDialog::HideMatchCase);
    FindDialog1->setDown(true);
    FindDialog2 = new FindDialog(this, QStringLiteral("FindDialog2"),
                                 FindDialog::HideMatchCase | FindDialog::HideWholeWord | FindDialog::HideUpDown
                                     | FindDialog::OfferVariants);
    connectHandlers();
    buildKeyboardCommands();
    PaneZoom = new TextZoom(memo1, this);

    // The designed content until the book's name is read.
    TreeView->addTopLevelItem(
        newNode({Labels::rootLabel(Labels::DesignedRootName), Labels::RootCode, Labels::DesignedRootName}, 0, false));
    // The arrow keys walk the chapters as soon as the window opens.
    TreeView->setFocus();
}

Tywzxform::~Tywzxform()
{
    if (ywzxform == this)
        ywzxform = nullptr;
}

Tywzxform *Tywzxform::create(QWidget *parent)
{
    auto *window = new Tywzxform(parent);
    Handlers::run([window] { window->FormCreate(); });
    return window;
}

void Tywzxform::offerMaintenance()
{
    for (QToolButton *button : {Insert_lb_btn, Edit_lb_btn, delete_lb_btn, Insert_nr_btn, edit_nr_btn, delete_nr_btn})
        button->show();
    nrwh_Panel->show();
}

void Tywzxform::buildToolbar()
{
    Panel1 = panel(sbClient, "Panel1");
    Panel1->setFixedHeight(36);
    sbClient->layout()->addWidget(Panel1);
    auto *row = new QHBoxLayout(Panel1);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    Panel6 = panel(Panel1, "Panel6", false);
    Panel6->setFixedWidth(200);
    RxSpeedButton1 = speedButton(Panel6, "RxSpeedButton1", QStringLiteral("章节查找(&A)"),
                                 QStyle::SP_FileDialogContentsView, 2);
    RxSpeedButton2 = speedButton(Panel6, "RxSpeedButton2", QStringLiteral("内容查找(&S)"),
                                 QStyle::SP_FileDialogDetailedView, 101);

    // The maintenance buttons are defined hidden; the panel keeps its band.
    lbwh_Panel = panel(Panel1, "lbwh_Panel", false);
    lbwh_Panel->setFixedWidth(299);
    Insert_lb_btn = speedButton(lbwh_Panel, "Insert_lb_btn", QStringLiteral("章节添加(&D)"), QStyle::SP_FileDialogNewFolder, 2, false);
    Edit_lb_btn = speedButton(lbwh_Panel, "Edit_lb_btn", QStringLiteral("章节修改(&F)"), QStyle::SP_FileDialogInfoView, 101, false);
    delete_lb_btn = speedButton(lbwh_Panel, "delete_lb_btn", QStringLiteral("章节删除(&G)"), QStyle::SP_TrashIcon, 200, false);

    nrwh_Panel = panel(Panel1, "nrwh_Panel", false);
    nrwh_Panel->setFixedWidth(316);
    nrwh_Panel->hide();
    Insert_nr_btn = speedButton(nrwh_Panel, "Insert_nr_btn", QStringLiteral("内容添加(&H)"), QStyle::SP_FileIcon, 1, false);
    edit_nr_btn = speedButton(nrwh_Panel, "edit_nr_btn", QStringLiteral("内容修改(&J)"), QStyle::SP_FileDialogInfoView, 100, false);
    delete_nr_btn = speedButton(nrwh_Panel, "delete_nr_btn", QStringLiteral("内容删除(&K)"), QStyle::SP_TrashIcon, 199, false);

    row->addWidget(Panel6);
    row->addWidget(lbwh_Panel);
    row->addWidget(nrwh_Panel);
    row->addStretch(1);
}

void Tywzxform::buildRightSide()
{
    Panel2 = panel(Splitter1, "Panel2", false);
    auto *column = new QVBoxLayout(Panel2);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    Panel3 = panel(Panel2, "Panel3");
    Panel3->setFixedHeight(83);
    RxLabel2 = named(new QLabel(QStringLiteral("标题:"), Panel3), "RxLabel2");
    RxLabel2->move(8, 27);
    Edit1 = readOnlyEdit(Panel3, "Edit1", QRect(55, 22, 360, 20));
    Edit2 = readOnlyEdit(Panel3, "Edit2", QRect(519, 32767, 360, 20));
    Edit2->setFocusPolicy(Qt::NoFocus); // never seen, so never a Tab stop
    RxLabel4 = named(new QLabel(QStringLiteral("业务详细内容:"), Panel3), "RxLabel4");
    RxLabel4->setGeometry(8, 60, 159, 15);
    BitBtn3 = named(new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("打印(&P)"), Panel3), "BitBtn3");
    BitBtn3->setGeometry(118, 52, 75, 25);
    BitBtn2 = named(new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("退出[&E]"), Panel3), "BitBtn2");
    BitBtn2->setGeometry(208, 52, 73, 25);
    BitBtn1 = named(new QPushButton(style()->standardIcon(QStyle::SP_MessageBoxInformation), QStringLiteral("关于"), Panel3), "BitBtn1");
    BitBtn1->setGeometry(339, 52, 75, 25);
    for (QPushButton *button : {BitBtn1, BitBtn2, BitBtn3})
        button->setAutoDefault(false);

    Panel4 = panel(Panel2, "Panel4");
    auto *frame = new QVBoxLayout(Panel4);
    frame->setContentsMargins(1, 1, 1, 1);
    memo1 = named(new QTextEdit(Panel4), "memo1");
    memo1->setAcceptRichText(false);
    memo1->setLineWrapMode(QTextEdit::WidgetWidth);
    memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette palette = memo1->palette();
    palette.setColor(QPalette::Base, InfoBk);
    memo1->setPalette(palette);
    QFont song(QStringLiteral("宋体"));
    song.setPixelSize(12);
    memo1->setFont(song); // the designed size: zoom and printing start from it
    memo1->setContextMenuPolicy(Qt::CustomContextMenu);
    memo1->setTabChangesFocus(true); // Tab leaves the pane instead of typing into it
    frame->addWidget(memo1);

    AccessibleNames::tie({{RxLabel2, Edit1, {}}, {RxLabel4, memo1, {}}});
    column->addWidget(Panel3);
    column->addWidget(Panel4, 1);
    Splitter1->addWidget(Panel2);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({248, 542});
}

void Tywzxform::buildStatusBar()
{
    StatusBar1 = named(new QStatusBar(this), "StatusBar1");
    StatusBar1->setFixedHeight(21);
    StatusBar1->setSizeGripEnabled(false);
    setStatusBar(StatusBar1);
    const int widths[3] = {250, 150, 0};
    for (int i = 0; i < 3; ++i) {
        StatusPanels[i] = widths[i] ? new QLabel(StatusBar1) : new ElidingPanel(StatusBar1);
        StatusPanels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        StatusPanels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (widths[i])
            StatusPanels[i]->setFixedWidth(widths[i]);
        StatusBar1->addWidget(StatusPanels[i], widths[i] ? 0 : 1);
    }
    StatusPanels[0]->setText(CopyrightLine);
    StatusPanels[2]->setText(SupportLine);
    StatusPanels[2]->setToolTip(SupportLine);
    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setInterval(1000);
    Timer1->start();
}

void Tywzxform::buildMenus()
{
    PopupMenu1 = named(new QMenu(this), "PopupMenu1");
    N9 = menuItem(PopupMenu1, "N9", QStringLiteral("全部展开"));
    N10 = menuItem(PopupMenu1, "N10", QStringLiteral("全部折叠"));
    N2 = menuItem(PopupMenu1, "N2", QStringLiteral("-"));
    N5 = menuItem(PopupMenu1, "N5", QStringLiteral("刷新"));
    N1 = menuItem(PopupMenu1, "N1", QStringLiteral("-"));
    N6 = menuItem(PopupMenu1, "N6", QStringLiteral("自动展开当前项目"));
    N6->setCheckable(true);
    N6->setChecked(true);

    PopupMenu2 = named(new QMenu(this), "PopupMenu2");
    N3 = menuItem(PopupMenu2, "N3", QStringLiteral("全选"));
    N4 = menuItem(PopupMenu2, "N4", QStringLiteral("拷贝"));
    N7 = menuItem(PopupMenu2, "N7", QStringLiteral("粘贴"));
    N8 = menuItem(PopupMenu2, "N8", QStringLiteral("-"));
    N11 = menuItem(PopupMenu2, "N11", QStringLiteral("删除"));
    N12 = menuItem(PopupMenu2, "N12", QStringLiteral("-"));
    N13 = menuItem(PopupMenu2, "N13", QStringLiteral("撤消"));
}

void Tywzxform::connectHandlers()
{
    Handlers::connect(Timer1, &QTimer::timeout, this, &Tywzxform::Timer1Timer);
    Handlers::connect(Insert_lb_btn, &QToolButton::clicked, this, &Tywzxform::Insert_lb_btnClick);
    Handlers::connect(Edit_lb_btn, &QToolButton::clicked, this, &Tywzxform::Edit_lb_btnClick);
    Handlers::connect(delete_lb_btn, &QToolButton::clicked, this, &Tywzxform::delete_lb_btnClick);
    Handlers::connect(Insert_nr_btn, &QToolButton::clicked, this, &Tywzxform::Insert_nr_btnClick);
    Handlers::connect(edit_nr_btn, &QToolButton::clicked, this, &Tywzxform::edit_nr_btnClick);
    Handlers::connect(delete_nr_btn, &QToolButton::clicked, this, &Tywzxform::delete_nr_btnClick);
    Handlers::connect(RxSpeedButton1, &QToolButton::clicked, this, &Tywzxform::RxSpeedButton1Click);
    Handlers::connect(RxSpeedButton2, &QToolButton::clicked, this, &Tywzxform::RxSpeedButton2Click);
    Handlers::connect(FindDialog1, &FindDialog::find, this, &Tywzxform::FindDialog1Find);
    Handlers::connect(FindDialog2, &FindDialog::find, this, &Tywzxform::FindDialog2Find);
    Handlers::connect(BitBtn3, &QPushButton::clicked, this, &Tywzxform::BitBtn3Click);
    Handlers::connect(BitBtn2, &QPushButton::clicked, this, &QWidget::close);
    Handlers::connect(BitBtn1, &QPushButton::clicked, this, &Tywzxform::BitBtn1Click);
    Handlers::connect(N9, &QAction::triggered, this, &Tywzxform::N9Click);
    Handlers::connect(N10, &QAction::triggered, this, &Tywzxform::N10Click);
    Handlers::connect(N5, &QAction::triggered, this, &Tywzxform::N5Click);
    Handlers::connect(N6, &QAction::triggered, this, &Tywzxform::N6Click);
    Handlers::connect(N3, &QAction::triggered, this, &Tywzxform::N3Click);
    Handlers::connect(N4, &QAction::triggered, this, &Tywzxform::N4Click);
    Handlers::connect(N7, &QAction::triggered, this, &Tywzxform::N7Click);
    Handlers::connect(N11, &QAction::triggered, this, &Tywzxform::N11Click);
    Handlers::connect(N13, &QAction::triggered, this, &Tywzxform::N13Click);
    Handlers::connect(memo1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupMenu2->popup(memo1->viewport()->mapToGlobal(at)); });
}

void Tywzxform::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    Handlers::run([this] { FormShow(); });
}

QString Tywzxform::clockText(const QDateTime &now)
{
    return DateTimeText::display(now);
}

void Tywzxform::Timer1Timer()
{
    StatusPanels[1]->setText(clockText(QDateTime::currentDateTime()));
}

void Tywzxform::BitBtn3Click()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString());
    if (runPrintDialog(printer, this))
        printPane(printer);
}

QFont Tywzxform::printingFont(QFont font)
{
    // Qt's PDFs name each glyph by the first code point that maps to it, so
    // text copied from Noto CJK comes back with Kangxi radicals (⼀ for 一) and
    // without its digits. Pages are set in faces that copy exactly: Latin and
    // digits in Nimbus Roman, Chinese and its punctuation (mainland forms) in
    // AR PL SungtiL GB, what lies outside GB2312 in UMing.
    font.setFamilies({QStringLiteral("Nimbus Roman"), QStringLiteral("AR PL SungtiL GB"),
                      QStringLiteral("AR PL UMing CN")});
    // A pixel size means device pixels to a printer: print in points instead,
    // so the page shows the pane's text at the size the screen shows it.
    if (font.pixelSize() > 0)
        font.setPointSizeF(font.pixelSize() * 72.0 / 96.0);
    return font;
}

// Lays the pane's text out over the full printable area with nothing added:
// no margins of its own, no page numbers (QTextDocument::print adds both only
// to a document without a page size).
void Tywzxform::printPane(QPrinter &printer)
{
    printer.setDocName(QString());
    printer.setFullPage(false);
    std::unique_ptr<QTextDocument> document(memo1->document()->clone());
    document->documentLayout()->setPaintDevice(&printer);
    document->setDefaultFont(printingFont(PaneZoom->designedFont()));
    QTextFrameFormat frame = document->rootFrame()->frameFormat();
    frame.setMargin(0);
    document->rootFrame()->setFrameFormat(frame);
    const QSizeF page = printer.pageLayout().paintRectPixels(printer.resolution()).size();
    document->setPageSize(page);

    // A document with a page size is printed as it is laid out, the pages
    // the print dialog chose.
    document->print(&printer);
    if (printer.printerState() == QPrinter::Error)
        throw AppError(AppError::FileOpen, QStringLiteral("打印失败：打印机 \"%1\" 未能完成打印作业")
                                               .arg(printer.printerName().isEmpty() ? printer.outputFileName()
                                                                                    : printer.printerName()));
}


void Tywzxform::BitBtn1Click()
{
    TMac_About::showSingle();
}

void Tywzxform::N3Click() { memo1->selectAll(); }
void Tywzxform::N4Click() { memo1->copy(); }
void Tywzxform::N7Click() { memo1->paste(); }
void Tywzxform::N11Click() { memo1->cut(); }
void Tywzxform::N13Click() { memo1->undo(); }
