// The browser window's frame: layout, toolbar, status bar, clock, printing,
// the pane's edit menu and the about button.
#include "browser/fm_ywzx.h"

#include "browser/BookTree.h"
#include "browser/ChapterTree.h"
#include "browser/MC_About.h"
#include "browser/Citation.h"
#include "browser/FrameParts.h"
#include "browser/PanePrint.h"
#include "widgets/TextZoom.h"
#include "common/DateTimeText.h"
#include "widgets/Handlers.h"
#include "common/Labels.h"
#include "common/Language.h"
#include "maintenance/StoredMove.h"
#include "search/FindDialog.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>

Tywzxform *ywzxform = nullptr;

Tywzxform::Tywzxform(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("ywzxform"));
    setWindowTitle(Labels::DesignedCaption());
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    setFont(font);
    resize(790, 541);

    setupUi(*this);
    connectTree();
    FindDialog1 = new FindDialog(this, QStringLiteral("FindDialog1"), FindDialog::HideMatchCase);
    FindDialog1->setDown(true);
    FindDialog2 = new FindDialog(this, QStringLiteral("FindDialog2"),
                                 FindDialog::HideMatchCase | FindDialog::HideWholeWord | FindDialog::HideUpDown
                                     | FindDialog::OfferVariants);
    connectHandlers();
    buildKeyboardCommands();
    buildCitationCommands();
    buildPlaceCommands();
    // The Chinese toolbar keeps the design's places; a translation's longer
    // captions widen their buttons.
    if (Language::current() != Language::Choice::Chinese)
        for (QWidget *band : {Panel6, lbwh_Panel, nrwh_Panel, nav_Panel})
            FrameParts::fitCaptions(band);
    PaneZoom = new TextZoom(memo1, this);
    buildReadingCommands();

    // The designed content until the book's name is read.
    chapters_->showRoot(Labels::DesignedRootName);
    // The arrow keys walk the chapters as soon as the window opens.
    TreeView->setFocus();
}

Tywzxform::~Tywzxform()
{
    if (ywzxform == this)
        ywzxform = nullptr;
}

Tywzxform *Tywzxform::create(QWidget *parent, QWidget *splash)
{
    auto *window = new Tywzxform(parent);
    window->splash_ = splash;
    Handlers::run([window] { window->FormCreate(); });
    return window;
}

void Tywzxform::offerMaintenance()
{
    for (QToolButton *button : {Insert_lb_btn, Edit_lb_btn, delete_lb_btn, Insert_nr_btn, edit_nr_btn, delete_nr_btn})
        button->show();
    nrwh_Panel->show();
    chapters_->storeMove = [this](QTreeWidgetItem *node, QTreeWidgetItem *target) {
        return StoredMove::store(node, target, this);
    };
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
    if (!PanePrint::runDialog(printer, this))
        return;
    if (BarePrintAction->isChecked() || !TreeView->currentItem())
        PanePrint::print(memo1, PaneZoom->designedFont(), printer);
    else
        PanePrint::printCited(memo1, PaneZoom->designedFont(), printer, Citation::of(TreeView->currentItem()));
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
