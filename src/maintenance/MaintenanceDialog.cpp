#include "maintenance/MaintenanceDialog.h"

#include "widgets/FocusKeys.h"
#include "widgets/BookNode.h"
#include "common/DateTimeText.h"
#include "widgets/Handlers.h"
#include "widgets/LineEdits.h"
#include "widgets/MessageBoxes.h"
#include "widgets/OwnedWindow.h"
#include "common/TextHelpers.h"
#include "widgets/WaitCursor.h"
#include "common/AppError.h"
#include "data/BookTransaction.h"
#include "data/ywzxDM.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTreeWidget>
#include <QCoreApplication>

const QColor MaintenanceDialog::Silver(0xC0, 0xC0, 0xC0);
const QColor MaintenanceDialog::Window(Qt::white);

GbkLimitValidator::GbkLimitValidator(int maxBytes, QLineEdit *field)
    : QValidator(field), maxBytes_(maxBytes), field_(field)
{
    Handlers::connect(field, &QLineEdit::textChanged, this,
            [this](const QString &text) { shownBytes_ = TextHelpers::gbkByteLength(text); });
}

// The line edit keeps undo steps only for edits: a text without them was
// set by the program. Such a text, and an edit that does not lengthen an
// over-long one, are Intermediate, so a later lengthening keystroke is undone.
QValidator::State GbkLimitValidator::validate(QString &input, int &) const
{
    const int bytes = TextHelpers::gbkByteLength(input);
    if (bytes <= maxBytes_)
        return Acceptable;
    return !field_->isUndoAvailable() || bytes <= shownBytes_ ? Intermediate : Invalid;
}

Seam<int(QDialog &)> maintenanceDialogRunner([](QDialog &dialog) { return dialog.exec(); });

MaintenanceDialog::MaintenanceDialog(const QString &name, const QString &caption, const QSize &size)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(name);
    setWindowTitle(caption);
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(size);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(15);
    setFont(font);
}

QLineEdit *MaintenanceDialog::edit(QWidget *parent, const char *name, const QRect &geometry, int gbkLimit)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setGeometry(geometry);
    LineEdits::showBeginningWhenSet(field);
    FocusKeys::ctrlTabLeaves(field);
    if (gbkLimit > 0)
        field->setValidator(new GbkLimitValidator(gbkLimit, field));
    return field;
}

QLabel *MaintenanceDialog::caption(QWidget *parent, const char *name, const QString &text, int left, int top)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->move(left, top);
    return label;
}

QPushButton *MaintenanceDialog::button(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(geometry);
    b->setAutoDefault(false); // Enter belongs to the confirm button alone
    return b;
}

QPlainTextEdit *MaintenanceDialog::contentPane(QWidget *parent, QColor background)
{
    auto *pane = new QPlainTextEdit(parent);
    pane->setObjectName(QStringLiteral("nr_memo"));
    pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    pane->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(15);
    pane->setFont(font);
    QPalette palette = pane->palette();
    palette.setColor(QPalette::Base, background);
    pane->setPalette(palette);
    FocusKeys::ctrlTabLeaves(pane); // Tab types a tab here
    return pane;
}

QMenu *MaintenanceDialog::paneMenu(QPlainTextEdit *pane, const QStringList &itemNames)
{
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("PopupMenu2"));
    const QStringList captions = {QCoreApplication::translate("MaintenanceDialog", "全选"), QCoreApplication::translate("MaintenanceDialog", "拷贝"), QCoreApplication::translate("MaintenanceDialog", "粘贴"),
                                  QStringLiteral("-"), QCoreApplication::translate("MaintenanceDialog", "删除"), QStringLiteral("-"),
                                  QCoreApplication::translate("MaintenanceDialog", "撤消")};
    const std::function<void()> actions[] = {[pane] { pane->selectAll(); }, [pane] { pane->copy(); },
                                             [pane] { pane->paste(); }, {}, [pane] { pane->cut(); }, {},
                                             [pane] { pane->undo(); }};
    for (int i = 0; i < captions.size(); ++i) {
        QAction *action = captions[i] == QLatin1String("-") ? menu->addSeparator() : menu->addAction(captions[i]);
        action->setObjectName(itemNames.value(i));
        if (actions[i])
            Handlers::connect(action, &QAction::triggered, this, actions[i]);
    }
    pane->setContextMenuPolicy(Qt::CustomContextMenu);
    Handlers::connect(pane, &QWidget::customContextMenuRequested, this,
            [pane, menu](const QPoint &at) { menu->popup(pane->viewport()->mapToGlobal(at)); });
    return menu;
}

void MaintenanceDialog::setWritable(QWidget *field, bool writable)
{
    if (auto *line = qobject_cast<QLineEdit *>(field))
        line->setReadOnly(!writable);
    else if (auto *pane = qobject_cast<QPlainTextEdit *>(field))
        pane->setReadOnly(!writable);
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, writable ? Window : Silver);
    field->setPalette(palette);
}

// QPlainTextEdit::toPlainText() turns non-breaking spaces into blanks; the
// raw text keeps every character, with its own separators for line breaks.
QString MaintenanceDialog::storedText(const QPlainTextEdit *pane)
{
    return TextHelpers::storedFromPane(pane->document()->toRawText());
}

void MaintenanceDialog::showStored(QPlainTextEdit *pane, const QString &stored)
{
    pane->setPlainText(TextHelpers::paneFromStored(stored));
}

void MaintenanceDialog::runEntry(const QString &code, QTreeWidget *tree, int mode)
{
    currentCode = code;
    this->mode = mode;
    this->tree = tree;
    if (tree)
        OwnedWindow::attach(this, tree->window());
    load(currentCode);
    browseButtons()->setVisible(mode == Browse);
    if (mode == Delete) {
        remove();
        return;
    }
    if (mode == Add)
        beginAdd();
    else if (mode == Edit)
        beginEdit();
    maintenanceDialogRunner(*this);
}

void MaintenanceDialog::afterConfirm(bool saved)
{
    if (!saved)
        return;
    if (mode == Browse)
        lockFields();
    else if (mode == Add)
        addNext();
    else if (mode == Edit)
        close();
}

// Esc runs 取消 while it is shown (in mode 0 that reloads and locks the
// record, the dialog stays); otherwise it closes the dialog as the close box.
void MaintenanceDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel) && cancelButton()->isVisibleTo(this)) {
        cancelButton()->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void MaintenanceDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    focusWritable(focusWidget());
}

static bool takesInput(const QWidget *widget, const QWidget *dialog)
{
    if (!widget || !widget->isVisibleTo(dialog) || !widget->isEnabled() || !(widget->focusPolicy() & Qt::TabFocus))
        return false;
    if (const auto *line = qobject_cast<const QLineEdit *>(widget))
        return !line->isReadOnly();
    if (const auto *text = qobject_cast<const QPlainTextEdit *>(widget))
        return !text->isReadOnly();
    return true;
}

void MaintenanceDialog::focusWritable(QWidget *preferred)
{
    QWidget *target = preferred;
    for (QWidget *w = nextInFocusChain(); !takesInput(target, this) && w && w != this; w = w->nextInFocusChain())
        target = w;
    if (takesInput(target, this))
        target->setFocus();
}

QString MaintenanceDialog::todayText()
{
    return DateTimeText::shortDate(QDate::currentDate());
}

void MaintenanceDialog::appendToSelected(BookNode::Kind kind, const QString &code, const QString &name)
{
    if (QTreeWidgetItem *selected = tree ? tree->currentItem() : nullptr)
        BookNode::appendChild(selected, kind, code, name);
}

void MaintenanceDialog::relabelSelected(const QString &code, const QString &name)
{
    if (QTreeWidgetItem *selected = tree ? tree->currentItem() : nullptr)
        BookNode::relabel(selected, code, name);
}

void MaintenanceDialog::deleteSelected()
{
    delete (tree ? tree->currentItem() : nullptr);
}

// A delete asks without showing the dialog: its question belongs to the
// window the dialog was opened from.
QWidget *MaintenanceDialog::boxOwner()
{
    return isVisible() || !parentWidget() ? static_cast<QWidget *>(this) : parentWidget();
}

bool MaintenanceDialog::confirm(const QStringList &lines)
{
    return MessageBoxes::confirmWarning(boxOwner(), lines.join(QLatin1Char('\r')));
}

void MaintenanceDialog::inputError(const QString &text, QWidget *focus)
{
    MessageBoxes::inputError(boxOwner(), text);
    focus->setFocus();
}

bool MaintenanceDialog::checkFields(const SaveChecks &checks, bool addState)
{
    const QString code = checks.code->text();
    // A stored code kept as it was loaded (an imported "7]") is no typed code.
    const bool typed = addState || code != currentCode;
    const struct {
        bool failed;
        QLineEdit *field;
        const QString &message;
    } rules[] = {
        {code.isEmpty(), checks.code, checks.emptyCode},
        {typed && (code.contains(QLatin1Char('[')) || code.contains(QLatin1Char(']'))), checks.code,
         checks.bracketInCode},
        {checks.name->text().isEmpty(), checks.name, checks.emptyName},
        {checks.parent->text().isEmpty(), checks.parent, checks.emptyParent},
    };
    for (const auto &rule : rules) {
        if (rule.failed) {
            inputError(rule.message, rule.field);
            return false;
        }
    }
    return true;
}

bool MaintenanceDialog::checkCode(const SaveChecks &checks, bool addState)
{
    const BookQuery &found = checks.find(checks.code->text());
    const bool exists = !found.isEmpty();
    if (exists && addState) {
        inputError(checks.exists, checks.code);
        checks.code->clear();
        return false;
    }
    if (!exists && !addState) {
        checks.code->setText(currentCode);
        inputError(checks.missing, checks.code);
        return false;
    }
    if (!addState && checks.code->text() != currentCode
        && !confirm({checks.changed.value(0), checks.changed.value(1) + found.fieldAsText(checks.nameColumn),
                     checks.changed.value(2)})) {
        checks.code->setText(currentCode);
        checks.code->setFocus();
        return false;
    }
    if (changesLoadedRow(checks, addState) && !sameAsLoaded(found))
        return overwriteOthersChange(checks, found);
    return true;
}

bool MaintenanceDialog::overwriteOthersChange(const SaveChecks &checks, const BookQuery &stored)
{
    const QString who = stored.fieldAsText(QStringLiteral("xgr"));
    const QString when = stored.fieldAsText(QStringLiteral("xgrq"));
    const QString unknown = QCoreApplication::translate("MaintenanceDialog", "（未填写）");
    if (!confirm({QCoreApplication::translate("MaintenanceDialog", "系统检测到%1在您打开之后已被其他程序修改。").arg(checks.record),
                  QCoreApplication::translate("MaintenanceDialog", "修改员工：%1，修改日期：%2。")
                      .arg(who.isEmpty() ? unknown : who, when.isEmpty() ? unknown : when),
                  QCoreApplication::translate("MaintenanceDialog", "确定修改将覆盖其他程序所做的修改，您是否确定修改？")}))
        return false;
    // Consented: that version is the one this save replaces.
    rememberLoadedRow(stored);
    return true;
}

// The edit state writes the row the dialog loaded when the code is kept. A
// row that did not load (nothing shown) has nothing to compare.
bool MaintenanceDialog::changesLoadedRow(const SaveChecks &checks, bool addState) const
{
    return !addState && checks.code->text() == currentCode && !loadedRow_.isEmpty();
}

void MaintenanceDialog::rememberLoadedRow(const BookQuery &query)
{
    loadedRow_.clear();
    if (query.isEmpty())
        return;
    for (const QString &column : query.columnNames())
        loadedRow_.insert(column.toLower(), query.fieldValue(column));
}

bool MaintenanceDialog::sameAsLoaded(const BookQuery &stored) const
{
    for (const QString &column : stored.columnNames()) {
        const auto loaded = loadedRow_.constFind(column.toLower());
        if (loaded == loadedRow_.cend())
            continue;
        const QVariant now = stored.fieldValue(column);
        if (loaded->isNull() != now.isNull() || (!now.isNull() && *loaded != now))
            return false;
    }
    return true;
}

// Under the write lock: the code is still free (add state) or still taken
// (edit state), and the row being changed is still the one accepted.
bool MaintenanceDialog::stillAsChecked(const SaveChecks &checks, bool addState)
{
    const BookQuery &found = checks.find(checks.code->text());
    if (found.isEmpty() != addState)
        return false;
    return !changesLoadedRow(checks, addState) || sameAsLoaded(found);
}

bool MaintenanceDialog::save(const SaveChecks &checks, bool addState, const std::function<void()> &write)
{
    if (!checkFields(checks, addState))
        return false;
    // Each new round follows another program's write; it ends in a message,
    // a question, or the save.
    for (;;) {
        if (!checkCode(checks, addState))
            return false;
        const Outcome outcome = writeInTransaction(checks, addState, write);
        if (outcome != Outcome::Stale)
            return outcome == Outcome::Written;
    }
}

MaintenanceDialog::Outcome MaintenanceDialog::writeInTransaction(const SaveChecks &checks, bool addState,
                                                                 const std::function<void()> &write)
{
    BookTransaction transaction(ywzxDMF->ydconn);
    if (!stillAsChecked(checks, addState)) {
        transaction.rollback();
        return Outcome::Stale;
    }
    try {
        const WaitCursor wait; // a long text takes seconds to write and index
        write();
        transaction.commit();
    } catch (const AppError &error) {
        // A server book's unique codes refuse a code another station saved
        // since the check: reported as the check reports a taken code.
        if (error.kind() != AppError::DuplicateCode)
            throw;
        transaction.rollback();
        inputError(checks.exists, checks.code);
        checks.code->clear();
        return Outcome::Refused;
    }
    return Outcome::Written;
}

void MaintenanceDialog::mirrorSave(BookNode::Kind kind, const QString &code, const QString &name, bool addState)
{
    if (addState) {
        appendToSelected(kind, code, name);
        return;
    }
    relabelSelected(code, name);
    currentCode = code;
}
