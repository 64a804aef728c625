#include "search/FindDialog.h"

#include "widgets/Handlers.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QCompleter>
#include <QKeyEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <QCoreApplication>

FindDialog::FindDialog(QWidget *owner, const QString &name, int options)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(name);
    setWindowTitle(QCoreApplication::translate("FindDialog", "查找"));
    setModal(false);
    setAttribute(Qt::WA_QuitOnClose, false);

    FindLabel = new QLabel(QCoreApplication::translate("FindDialog", "查找内容(&N):"), this);
    FindEdit = new QLineEdit(this);
    FindEdit->setObjectName(QStringLiteral("FindEdit"));
    FindEdit->setMaxLength(255);
    FindEdit->setMinimumWidth(220);
    FindLabel->setBuddy(FindEdit);
    WholeWordBox = new QCheckBox(QCoreApplication::translate("FindDialog", "全字匹配(&W)"), this);
    WholeWordBox->setObjectName(QStringLiteral("WholeWordBox"));
    MatchCaseBox = new QCheckBox(QCoreApplication::translate("FindDialog", "区分大小写(&C)"), this);
    MatchCaseBox->setObjectName(QStringLiteral("MatchCaseBox"));
    fjtc_chk = new QCheckBox(QCoreApplication::translate("FindDialog", "繁简通查"), this);
    fjtc_chk->setObjectName(QStringLiteral("fjtc_chk"));
    fjtc_chk->setToolTip(QCoreApplication::translate("FindDialog", "简体字与繁体字（如 黄鹤楼 与 黃鶴樓）一并查找"));
    DirectionBox = new QGroupBox(QCoreApplication::translate("FindDialog", "方向"), this);
    DirectionBox->setObjectName(QStringLiteral("DirectionBox"));
    UpButton = new QRadioButton(QCoreApplication::translate("FindDialog", "向上(&U)"), DirectionBox);
    UpButton->setObjectName(QStringLiteral("UpButton"));
    DownButton = new QRadioButton(QCoreApplication::translate("FindDialog", "向下(&D)"), DirectionBox);
    DownButton->setObjectName(QStringLiteral("DownButton"));
    DownButton->setChecked(true);
    auto *directions = new QHBoxLayout(DirectionBox);
    directions->addWidget(UpButton);
    directions->addWidget(DownButton);

    FindNextButton = new QPushButton(QCoreApplication::translate("FindDialog", "查找下一个(&F)"), this);
    FindNextButton->setObjectName(QStringLiteral("FindNextButton"));
    FindNextButton->setDefault(true);
    FindNextButton->setEnabled(false);
    CancelButton = new QPushButton(QCoreApplication::translate("FindDialog", "取消"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(FindLabel, 0, 0);
    grid->addWidget(FindEdit, 0, 1, 1, 2);
    grid->addWidget(FindNextButton, 0, 3);
    auto *boxes = new QVBoxLayout;
    boxes->addWidget(WholeWordBox);
    boxes->addWidget(MatchCaseBox);
    boxes->addWidget(fjtc_chk);
    boxes->addStretch(1);
    grid->addLayout(boxes, 1, 0, 1, 2);
    grid->addWidget(DirectionBox, 1, 2);
    grid->addWidget(CancelButton, 1, 3, Qt::AlignTop);

    MatchCaseBox->setVisible(!(options & HideMatchCase));
    WholeWordBox->setVisible(!(options & HideWholeWord));
    DirectionBox->setVisible(!(options & HideUpDown));
    fjtc_chk->setVisible(options & OfferVariants);

    Handlers::connect(FindEdit, &QLineEdit::textChanged, this,
            [this](const QString &text) { FindNextButton->setEnabled(!text.isEmpty()); });
    Handlers::connect(FindNextButton, &QPushButton::clicked, this, [this] {
        if (!FindEdit->text().isEmpty())
            emit find();
    });
    Handlers::connect(CancelButton, &QPushButton::clicked, this, &QDialog::hide);
    if (options & OfferVariants)
        offerVariantsKey();
}

// Alt+J works the 繁简通查 box as an accelerator would, without the "(&J)"
// an accelerator shows in the box's caption.
void FindDialog::offerVariantsKey()
{
    const QKeySequence keys(Qt::ALT | Qt::Key_J);
    auto *key = new QShortcut(keys, this);
    key->setObjectName(QStringLiteral("fjtc_key"));
    Handlers::connect(key, &QShortcut::activated, this, [this] {
        fjtc_chk->setFocus(Qt::ShortcutFocusReason);
        fjtc_chk->click();
    });
    const QString keyText = keys.toString(QKeySequence::NativeText);
    fjtc_chk->setToolTip(fjtc_chk->toolTip() + QCoreApplication::translate("FindDialog", "（%1）").arg(keyText));
    fjtc_chk->setAccessibleName(fjtc_chk->text());
    fjtc_chk->setAccessibleDescription(QCoreApplication::translate("FindDialog", "快捷键 %1").arg(keyText));
}

QString FindDialog::text() const { return FindEdit->text(); }
void FindDialog::setText(const QString &text) { FindEdit->setText(text); }
bool FindDialog::wholeWord() const { return WholeWordBox->isChecked(); }
bool FindDialog::matchCase() const { return MatchCaseBox->isChecked(); }
bool FindDialog::variants() const { return fjtc_chk->isVisibleTo(this) && fjtc_chk->isChecked(); }
bool FindDialog::down() const { return DownButton->isChecked(); }

void FindDialog::setDown(bool down)
{
    (down ? DownButton : UpButton)->setChecked(true);
}

void FindDialog::offerCompletions(QCompleter *completer)
{
    FindEdit->setCompleter(completer);
    completer->popup()->installEventFilter(this);
}

bool FindDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        // The list takes the key and closes; the search follows once the
        // chosen text is in the box.
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            QMetaObject::invokeMethod(FindNextButton, &QPushButton::click, Qt::QueuedConnection);
    }
    return QDialog::eventFilter(watched, event);
}

void FindDialog::execute()
{
    if (!placed_ && parentWidget()) {
        adjustSize();
        const QRect owner = parentWidget()->frameGeometry();
        move(owner.left() + qMax(0, owner.width() - width() - 40), owner.top() + 80);
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
    FindEdit->setFocus();
    FindEdit->selectAll();
}
