// The browser window's controls, made and laid out as designed; the window
// wires them to its handlers.
#include "browser/BrowserLayout.h"

#include "browser/BookTree.h"
#include "browser/FrameParts.h"
#include "widgets/AccessibleNames.h"
#include "widgets/PaneText.h"

#include <QFrame>
#include <QMainWindow>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QCoreApplication>

using namespace FrameParts;

namespace {

const QColor InfoBk(0xFF, 0xFF, 0xE1); // the tooltip background
inline QString CopyrightLine() { return QCoreApplication::translate("BrowserLayout", "版权所有 © 2026 墨川软件"); }
inline QString SupportLine() { return QCoreApplication::translate("BrowserLayout", "墨川电子阅读系统 1.0版    技术支持：support@mochuan.example    QQ：800012345"); }

void buildTree(BrowserLayout &w)
{
    w.Splitter1 = new QSplitter(Qt::Horizontal, w.sbClient);
    w.Splitter1->setObjectName(QStringLiteral("Splitter1"));
    w.Splitter1->setHandleWidth(2);
    w.Splitter1->setChildrenCollapsible(false);
    w.sbClient->layout()->addWidget(w.Splitter1);

    w.TreeView = new BookTree(w.Splitter1);
    w.TreeView->setObjectName(QStringLiteral("TreeView"));
    w.TreeView->setContextMenuPolicy(Qt::CustomContextMenu);
    w.TreeView->setMinimumWidth(60);
    w.Splitter1->addWidget(w.TreeView);
}

void buildToolbar(BrowserLayout &w)
{
    w.Panel1 = panel(w.sbClient, "Panel1");
    w.Panel1->setFixedHeight(36);
    w.sbClient->layout()->addWidget(w.Panel1);
    auto *row = new QHBoxLayout(w.Panel1);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    w.Panel6 = panel(w.Panel1, "Panel6", false);
    w.Panel6->setFixedWidth(200);
    w.RxSpeedButton1 = speedButton(w.Panel6, "RxSpeedButton1", QCoreApplication::translate("BrowserLayout", "章节查找(&A)"),
                                 QStyle::SP_FileDialogContentsView, 2);
    w.RxSpeedButton2 = speedButton(w.Panel6, "RxSpeedButton2", QCoreApplication::translate("BrowserLayout", "内容查找(&S)"),
                                 QStyle::SP_FileDialogDetailedView, 101);

    // The maintenance buttons are defined hidden; the panel keeps its band.
    w.lbwh_Panel = panel(w.Panel1, "lbwh_Panel", false);
    w.lbwh_Panel->setFixedWidth(299);
    w.Insert_lb_btn = speedButton(w.lbwh_Panel, "Insert_lb_btn", QCoreApplication::translate("BrowserLayout", "章节添加(&D)"), QStyle::SP_FileDialogNewFolder, 2, false);
    w.Edit_lb_btn = speedButton(w.lbwh_Panel, "Edit_lb_btn", QCoreApplication::translate("BrowserLayout", "章节修改(&F)"), QStyle::SP_FileDialogInfoView, 101, false);
    w.delete_lb_btn = speedButton(w.lbwh_Panel, "delete_lb_btn", QCoreApplication::translate("BrowserLayout", "章节删除(&G)"), QStyle::SP_TrashIcon, 200, false);

    w.nrwh_Panel = panel(w.Panel1, "nrwh_Panel", false);
    w.nrwh_Panel->setFixedWidth(316);
    w.nrwh_Panel->hide();
    w.Insert_nr_btn = speedButton(w.nrwh_Panel, "Insert_nr_btn", QCoreApplication::translate("BrowserLayout", "内容添加(&H)"), QStyle::SP_FileIcon, 1, false);
    w.edit_nr_btn = speedButton(w.nrwh_Panel, "edit_nr_btn", QCoreApplication::translate("BrowserLayout", "内容修改(&J)"), QStyle::SP_FileDialogInfoView, 100, false);
    w.delete_nr_btn = speedButton(w.nrwh_Panel, "delete_nr_btn", QCoreApplication::translate("BrowserLayout", "内容删除(&K)"), QStyle::SP_TrashIcon, 199, false);

    row->addWidget(w.Panel6);
    row->addWidget(w.lbwh_Panel);
    row->addWidget(w.nrwh_Panel);
    row->addStretch(1);
}

void buildRightSide(BrowserLayout &w, QMainWindow &window)
{
    w.Panel2 = panel(w.Splitter1, "Panel2", false);
    auto *column = new QVBoxLayout(w.Panel2);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    w.Panel3 = panel(w.Panel2, "Panel3");
    w.Panel3->setFixedHeight(83);
    w.RxLabel2 = named(new QLabel(QCoreApplication::translate("BrowserLayout", "标题:"), w.Panel3), "RxLabel2");
    w.RxLabel2->move(8, 27);
    w.Edit1 = readOnlyEdit(w.Panel3, "Edit1", QRect(55, 22, 360, 20));
    w.Edit2 = readOnlyEdit(w.Panel3, "Edit2", QRect(519, 32767, 360, 20));
    w.Edit2->setFocusPolicy(Qt::NoFocus); // never seen, so never a Tab stop
    w.RxLabel4 = named(new QLabel(QCoreApplication::translate("BrowserLayout", "业务详细内容:"), w.Panel3), "RxLabel4");
    w.RxLabel4->setGeometry(8, 60, 159, 15);
    w.BitBtn3 = named(new QPushButton(window.style()->standardIcon(QStyle::SP_DialogSaveButton), QCoreApplication::translate("BrowserLayout", "打印(&P)"), w.Panel3), "BitBtn3");
    w.BitBtn3->setGeometry(118, 52, 75, 25);
    w.BitBtn2 = named(new QPushButton(window.style()->standardIcon(QStyle::SP_DialogCloseButton), QCoreApplication::translate("BrowserLayout", "退出[&E]"), w.Panel3), "BitBtn2");
    w.BitBtn2->setGeometry(208, 52, 73, 25);
    w.BitBtn1 = named(new QPushButton(window.style()->standardIcon(QStyle::SP_MessageBoxInformation), QCoreApplication::translate("BrowserLayout", "关于"), w.Panel3), "BitBtn1");
    w.BitBtn1->setGeometry(339, 52, 75, 25);
    for (QPushButton *button : {w.BitBtn1, w.BitBtn2, w.BitBtn3})
        button->setAutoDefault(false);

    w.Panel4 = panel(w.Panel2, "Panel4");
    auto *frame = new QVBoxLayout(w.Panel4);
    frame->setContentsMargins(1, 1, 1, 1);
    // Plain text: its layout reaches only the lines in view, so a long text
    // shows at once wherever it is scrolled to.
    w.memo1 = named(new TextPane(w.Panel4), "memo1");
    w.memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    w.memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    w.memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette palette = w.memo1->palette();
    palette.setColor(QPalette::Base, InfoBk);
    w.memo1->setPalette(palette);
    QFont song(QStringLiteral("宋体"));
    song.setPixelSize(12);
    w.memo1->setFont(song); // the designed size: zoom and printing start from it
    w.memo1->setContextMenuPolicy(Qt::CustomContextMenu);
    w.memo1->setTabChangesFocus(true); // Tab leaves the pane instead of typing into it
    frame->addWidget(w.memo1);

    AccessibleNames::tie({{w.RxLabel2, w.Edit1, {}}, {w.RxLabel4, w.memo1, {}}});
    column->addWidget(w.Panel3);
    column->addWidget(w.Panel4, 1);
    w.Splitter1->addWidget(w.Panel2);
    w.Splitter1->setStretchFactor(1, 1);
    w.Splitter1->setSizes({248, 542});
}

void buildStatusBar(BrowserLayout &w, QMainWindow &window)
{
    w.StatusBar1 = named(new QStatusBar(&window), "StatusBar1");
    w.StatusBar1->setFixedHeight(21);
    w.StatusBar1->setSizeGripEnabled(false);
    window.setStatusBar(w.StatusBar1);
    const int widths[3] = {250, 150, 0};
    for (int i = 0; i < 3; ++i) {
        w.StatusPanels[i] = widths[i] ? new QLabel(w.StatusBar1) : new ElidingPanel(w.StatusBar1);
        w.StatusPanels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        w.StatusPanels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (widths[i])
            w.StatusPanels[i]->setFixedWidth(widths[i]);
        w.StatusBar1->addWidget(w.StatusPanels[i], widths[i] ? 0 : 1);
    }
    w.StatusPanels[0]->setText(CopyrightLine());
    w.StatusPanels[2]->setText(SupportLine());
    w.StatusPanels[2]->setToolTip(SupportLine());
    w.Timer1 = named(new QTimer(&window), "Timer1");
    w.Timer1->setInterval(1000);
    w.Timer1->start();
}

void buildMenus(BrowserLayout &w, QMainWindow &window)
{
    w.PopupMenu1 = named(new QMenu(&window), "PopupMenu1");
    w.N9 = menuItem(w.PopupMenu1, "N9", QCoreApplication::translate("BrowserLayout", "全部展开"));
    w.N10 = menuItem(w.PopupMenu1, "N10", QCoreApplication::translate("BrowserLayout", "全部折叠"));
    w.N2 = menuItem(w.PopupMenu1, "N2", QStringLiteral("-"));
    w.N5 = menuItem(w.PopupMenu1, "N5", QCoreApplication::translate("BrowserLayout", "刷新"));
    w.N1 = menuItem(w.PopupMenu1, "N1", QStringLiteral("-"));
    w.N6 = menuItem(w.PopupMenu1, "N6", QCoreApplication::translate("BrowserLayout", "自动展开当前项目"));
    w.N6->setCheckable(true);
    w.N6->setChecked(true);

    w.PopupMenu2 = named(new QMenu(&window), "PopupMenu2");
    w.N3 = menuItem(w.PopupMenu2, "N3", QCoreApplication::translate("BrowserLayout", "全选"));
    w.N4 = menuItem(w.PopupMenu2, "N4", QCoreApplication::translate("BrowserLayout", "拷贝"));
    w.N7 = menuItem(w.PopupMenu2, "N7", QCoreApplication::translate("BrowserLayout", "粘贴"));
    w.N8 = menuItem(w.PopupMenu2, "N8", QStringLiteral("-"));
    w.N11 = menuItem(w.PopupMenu2, "N11", QCoreApplication::translate("BrowserLayout", "删除"));
    w.N12 = menuItem(w.PopupMenu2, "N12", QStringLiteral("-"));
    w.N13 = menuItem(w.PopupMenu2, "N13", QCoreApplication::translate("BrowserLayout", "撤消"));
    w.N3->setShortcut(QKeySequence::SelectAll);
    w.N4->setShortcut(QKeySequence::Copy);
    w.N7->setShortcut(QKeySequence::Paste);
    w.N11->setShortcut(QKeySequence::Cut);
    w.N13->setShortcut(QKeySequence::Undo);
    for (QAction *item : {w.N3, w.N4, w.N7, w.N11, w.N13})
        item->setShortcutContext(Qt::WidgetShortcut); // shown in the menu; the pane has its own keys
}

} // namespace

void BrowserLayout::setupUi(QMainWindow &window)
{
    BrowserLayout &w = *this;
    w.sbClient = named(new QWidget(&window), "sbClient");
    window.setCentralWidget(w.sbClient);
    auto *layout = new QVBoxLayout(w.sbClient);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildToolbar(w);
    buildTree(w);
    buildRightSide(w, window);
    buildStatusBar(w, window);
    buildMenus(w, window);
}
