#include "maintenance/MaintenanceDialog.h"

#include "widgets/FocusKeys.h"
#include "widgets/Handlers.h"
#include "widgets/LineEdits.h"
#include "common/TextHelpers.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QCoreApplication>

// The controls both maintenance dialogs are built of, and their two
// presentations (writable or read-only).

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
